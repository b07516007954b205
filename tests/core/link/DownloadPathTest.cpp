#include <gtest/gtest.h>

#include "link/DownloadPath.h"

namespace zk7 {
namespace {

TEST(DownloadPath, LayoutUnderTheDestination) {
  std::string strError;
  EXPECT_EQ(BuildDownloadPath("/d", "internal", "run1", "a.zk", strError), std::filesystem::path("/d/internal/run1/a.zk"));
  EXPECT_EQ(strError, "");
  // The unnamed directory adds no level.
  EXPECT_EQ(BuildDownloadPath("/d", "configs", "", "p.xml", strError), std::filesystem::path("/d/configs/p.xml"));
  EXPECT_EQ(DefaultDownloadDestination("/home/u/Documents", "10.0.0.7"),
            std::filesystem::path("/home/u/Documents/ZK7/10.0.0.7"));
  EXPECT_EQ(DefaultDownloadDestination("/home/u/Documents", ""), std::filesystem::path("/home/u/Documents/ZK7"));
}

TEST(DownloadPath, NamesFromTheModuleAreNotPaths) {
  struct {
    std::string strDir, strFile, strRefusal;
  } cases[] = {
      {"", "../x.zk", "Refused file name from the module: '../x.zk'"},
      {"", "a/b.zk", "Refused file name from the module: 'a/b.zk'"},
      {"", "a\\b.zk", "Refused file name from the module: 'a\\b.zk'"},
      {"", "..", "Refused file name from the module: '..'"},
      {"", ".", "Refused file name from the module: '.'"},
      {"", "", "Refused file name from the module: ''"},
      {"", std::string("nul\0.zk", 7), "Refused file name from the module: 'nul\\0.zk'"},
      {"", "bell\a.zk", "Refused file name from the module: 'bell\\x07.zk'"},
      {"", "line\nbreak.zk", "Refused file name from the module: 'line\\x0Abreak.zk'"},
      {"", "\x1B[2Jx.zk", "Refused file name from the module: '\\x1B[2Jx.zk'"},
      {"", "del\x7F.zk", "Refused file name from the module: 'del\\x7F.zk'"},
      {"tab\tdir", "x.zk", "Refused directory name from the module: 'tab\\x09dir'"},
      {"", "caf\xE9 \xA0.zk", ""},  // Latin-1 letters and spaces are names
      {"..", "x.zk", "Refused directory name from the module: '..'"},
      {".", "x.zk", "Refused directory name from the module: '.'"},
      {"/etc", "x.zk", "Refused directory name from the module: '/etc'"},
      {"run1", "..x.zk", ""},  // dots inside a name are fine
  };
  for (const auto& c : cases) {
    std::string strError;
    auto path = BuildDownloadPath("/d", "internal", c.strDir, c.strFile, strError);
    EXPECT_EQ(strError, c.strRefusal) << c.strDir << " | " << c.strFile;
    EXPECT_EQ(path.empty(), !c.strRefusal.empty());
  }
  EXPECT_EQ(CheckModuleSize("n.zk", -5), "Refused size -5 of 'n.zk' from the module");
  EXPECT_EQ(CheckModuleSize("n.zk", 0), "");
}

} // namespace
} // namespace zk7
