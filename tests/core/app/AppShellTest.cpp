#include "app/AboutTexts.h"
#include "app/CommandLine.h"
#include "app/DesktopEntry.h"
#include "app/RecentFileList.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"

namespace zk7 {
namespace {

TEST(CommandLineTest, RegServerTokenFileAndAFolderNamedRegServer) {
  // After a dash, a slash or a blank, in any case, and as a whole word.
  for (const char* psz : {"-RegServer", "/regserver", "x REGSERVER", "-a/RegServer-b"}) EXPECT_TRUE(HasRegServerToken(psz)) << psz;
  for (const char* psz : {"-RegServers", "-Reg Server", ""}) EXPECT_FALSE(HasRegServerToken(psz)) << psz;
  EXPECT_TRUE(ParseAppCommandLine({"/regserver"}).m_bRegServer);
  EXPECT_TRUE(ParseAppCommandLine({"-RegServer"}).m_strFile.empty());
  const sAppCommandLine cmd = ParseAppCommandLine({"-unknown", "data.zk", "other.zk"});
  EXPECT_FALSE(cmd.m_bRegServer);
  EXPECT_EQ(cmd.m_strFile, "data.zk");
  EXPECT_TRUE(ParseAppCommandLine({}).m_strFile.empty());

  CTempDir dir("zk7-cmdline");
  const std::string strFile = dir.Path() + "/RegServer/a.zk";
  WriteFileText(strFile, "x");
  const sAppCommandLine path = ParseAppCommandLine({strFile});
  EXPECT_FALSE(path.m_bRegServer);
  EXPECT_EQ(path.m_strFile, strFile);
}

TEST(RecentFileListTest, MovesUpDropsTheOldestAndIsSavedThroughTheStore) {
  CRecentFileList list;
  for (const char* p : {"/a", "/b", "/c", "/d"}) list.Add(p);
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/d", "/c", "/b", "/a"}));
  list.Add("/b");
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/b", "/d", "/c", "/a"}));
  list.Add("/e");
  list.Remove(1);
  list.Remove(7);
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/e", "/d", "/c"}));

  CTempDir dir("zk7-recent");
  const std::string strIni = dir.Path() + "/zk7.ini";
  {
    CRecentFileList saved;
    for (const char* p : {"/x/one file.zk", "/x/two.log", "/x/three.zk"}) saved.Add(p);
    auto pStore = CreateIniSettingsStore(strIni);
    saved.Save(*pStore);
    saved.Remove(0);
    saved.Save(*pStore);  // the removed entry must not come back
  }
  CRecentFileList loaded;
  loaded.Load(*CreateIniSettingsStore(strIni));
  EXPECT_EQ(loaded.GetPaths(), (std::vector<std::string>{"/x/two.log", "/x/one file.zk"}));
  EXPECT_EQ(CreateIniSettingsStore(strIni)->ReadText(RECENT_FILES_SECTION, "File1", ""), "/x/two.log");
}

TEST(DesktopEntryTest, ExecLinePointsAtTheProgramAndAboutLines) {
  EXPECT_EQ(MakeDesktopEntry("[Desktop Entry]\nName=ZK7\nExec=zk7 %f\nMimeType=application/x-zk7-results;\n", "/opt/zk7/bin/zk7"),
            "[Desktop Entry]\nName=ZK7\nExec=/opt/zk7/bin/zk7 %f\nMimeType=application/x-zk7-results;\n");
  EXPECT_EQ(QuoteExecArgument("/home/a b/zk7"), "\"/home/a b/zk7\"");
  // A quoted backslash is escaped for the Exec line, then again for the string value.
  EXPECT_EQ(QuoteExecArgument("/x/a$b\\c"), "\"/x/a\\\\$b\\\\\\\\c\"");
  EXPECT_EQ(QuoteExecArgument("/x/100%/zk7"), "/x/100%%/zk7");
  EXPECT_EQ(FormatAboutProductLine("ZK7 Desktop", "1.0.0"), "ZK7 Desktop Version: 1.0.0");
  EXPECT_EQ(FormatAboutComponentLine("QCustomPlot", "", "2.1.0"), "QCustomPlot Version: 2.1.0");
  EXPECT_EQ(FormatAboutComponentLine("Qt", "libQt6Core.so.6", "6.4.2"), "Qt (libQt6Core.so.6) Version: 6.4.2");
}

} // namespace
} // namespace zk7
