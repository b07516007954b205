#include "app/AboutTexts.h"
#include "app/CommandLine.h"
#include "app/DesktopEntry.h"
#include "app/RecentFileList.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace zk7 {
namespace {

TEST(CommandLineTest, RegServerTokenAfterDashSlashOrBlankInAnyCase) {
  EXPECT_TRUE(HasRegServerToken("-RegServer"));
  EXPECT_TRUE(HasRegServerToken("/regserver"));
  EXPECT_TRUE(HasRegServerToken("x REGSERVER"));
  EXPECT_TRUE(HasRegServerToken("-a/RegServer-b"));
  EXPECT_FALSE(HasRegServerToken("-RegServers"));
  EXPECT_FALSE(HasRegServerToken("-Reg Server"));
  EXPECT_FALSE(HasRegServerToken(""));
}

TEST(CommandLineTest, FileAndRequests) {
  EXPECT_TRUE(ParseAppCommandLine({"-RegServer"}).m_bRegServer);
  EXPECT_TRUE(ParseAppCommandLine({"/regserver"}).m_bRegServer);
  EXPECT_TRUE(ParseAppCommandLine({"-RegServer"}).m_strFile.empty());

  const sAppCommandLine cmd = ParseAppCommandLine({"-unknown", "data.zk", "other.zk"});
  EXPECT_FALSE(cmd.m_bRegServer);
  EXPECT_EQ(cmd.m_strFile, "data.zk");
  EXPECT_TRUE(ParseAppCommandLine({}).m_strFile.empty());
}

TEST(CommandLineTest, AnExistingFolderNamedRegServerIsAPath) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::filesystem::path folder = std::filesystem::path(dir.path().toStdString()) / "RegServer";
  std::filesystem::create_directories(folder);
  const std::string strFile = (folder / "a.zk").string();
  std::ofstream(strFile) << "x";
  const sAppCommandLine cmd = ParseAppCommandLine({strFile});
  EXPECT_FALSE(cmd.m_bRegServer);
  EXPECT_EQ(cmd.m_strFile, strFile);
}

TEST(RecentFileListTest, AddMovesUpAndDropsTheOldest) {
  CRecentFileList list;
  for (const char* p : {"/a", "/b", "/c", "/d"})
    list.Add(p);
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/d", "/c", "/b", "/a"}));
  list.Add("/b");
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/b", "/d", "/c", "/a"}));
  list.Add("/e");
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/e", "/b", "/d", "/c"}));
  list.Remove(1);
  list.Remove(7);
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/e", "/d", "/c"}));
}

TEST(RecentFileListTest, SavedAndLoadedThroughTheStore) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string strIni = dir.filePath("zk7.ini").toStdString();
  {
    CRecentFileList list;
    list.Add("/x/one file.zk");
    list.Add("/x/two.log");
    list.Add("/x/three.zk");
    auto pStore = CreateIniSettingsStore(strIni);
    list.Save(*pStore);
    list.Remove(0);
    list.Save(*pStore);  // the removed entry must not come back
  }
  CRecentFileList loaded;
  loaded.Load(*CreateIniSettingsStore(strIni));
  EXPECT_EQ(loaded.GetPaths(), (std::vector<std::string>{"/x/two.log", "/x/one file.zk"}));
  EXPECT_EQ(CreateIniSettingsStore(strIni)->ReadText(RECENT_FILES_SECTION, "File1", ""), "/x/two.log");
}

TEST(DesktopEntryTest, ExecLinePointsAtTheProgram) {
  const std::string strTemplate = "[Desktop Entry]\nName=ZK7\nExec=zk7 %f\nMimeType=application/x-zk7-results;\n";
  EXPECT_EQ(MakeDesktopEntry(strTemplate, "/opt/zk7/bin/zk7"),
            "[Desktop Entry]\nName=ZK7\nExec=/opt/zk7/bin/zk7 %f\nMimeType=application/x-zk7-results;\n");
  EXPECT_EQ(QuoteExecArgument("/home/a b/zk7"), "\"/home/a b/zk7\"");
  // A quoted backslash is escaped for the Exec line, then again for the string value.
  EXPECT_EQ(QuoteExecArgument("/x/a$b\\c"), "\"/x/a\\\\$b\\\\\\\\c\"");
  EXPECT_EQ(QuoteExecArgument("/x/100%/zk7"), "/x/100%%/zk7");
}

TEST(AboutTextsTest, LinesUseTheVersionWord) {
  EXPECT_EQ(FormatAboutProductLine("ZK7 Desktop", "1.0.0"), "ZK7 Desktop Version: 1.0.0");
  EXPECT_EQ(FormatAboutComponentLine("QCustomPlot", "", "2.1.0"), "QCustomPlot Version: 2.1.0");
  EXPECT_EQ(FormatAboutComponentLine("Qt", "libQt6Core.so.6", "6.4.2"), "Qt (libQt6Core.so.6) Version: 6.4.2");
}

} // namespace
} // namespace zk7
