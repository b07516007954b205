// The application shell: command line, recent files, desktop entry, about
// texts and the menus' coverage.

#include <gtest/gtest.h>
#include <set>
#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "app/AboutTexts.h"
#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/DesktopEntry.h"
#include "app/MenuLayout.h"
#include "app/RecentFileList.h"
#include "settings/SettingsStore.h"

namespace zk7 {

TEST(CommandLineTest, RegServerTokenFileFolderNamedRegServerDesktopEntryAndAbout) {
  // After a dash, a slash or a blank, in any case, and as a whole word.
  for (const char* psz : {"-RegServer", "/regserver", "x REGSERVER", "-a/RegServer-b"}) EXPECT_TRUE(HasRegServerToken(psz)) << psz;
  for (const char* psz : {"-RegServers", "-Reg Server", ""}) EXPECT_FALSE(HasRegServerToken(psz)) << psz;
  EXPECT_TRUE(ParseAppCommandLine({"/regserver"}).m_bRegServer && ParseAppCommandLine({"-RegServer"}).m_strFile.empty());
  const sAppCommandLine cmd = ParseAppCommandLine({"-unknown", "data.zk", "other.zk"});
  EXPECT_EQ(std::pair(cmd.m_bRegServer, cmd.m_strFile), std::pair(false, std::string("data.zk")));
  EXPECT_TRUE(ParseAppCommandLine({}).m_strFile.empty());

  CTempDir dir("zk7-cmdline");
  const std::string strFile = dir.Path() + "/RegServer/a.zk";
  WriteFileText(strFile, "x");
  const sAppCommandLine path = ParseAppCommandLine({strFile});
  EXPECT_EQ(std::pair(path.m_bRegServer, path.m_strFile), std::pair(false, strFile));

  // The desktop entry's Exec line, and the about lines.
  EXPECT_EQ(MakeDesktopEntry("[Desktop Entry]\nName=ZK7\nExec=zk7 %f\nMimeType=application/x-zk7-results;\n", "/opt/zk7/bin/zk7"),
            "[Desktop Entry]\nName=ZK7\nExec=/opt/zk7/bin/zk7 %f\nMimeType=application/x-zk7-results;\n");
  EXPECT_EQ(QuoteExecArgument("/home/a b/zk7"), "\"/home/a b/zk7\"");
  // A quoted backslash is escaped for the Exec line, then again for the string value.
  EXPECT_EQ(QuoteExecArgument("/x/a$b\\c"), "\"/x/a\\\\$b\\\\\\\\c\"");
  EXPECT_EQ(QuoteExecArgument("/x/100%/zk7"), "/x/100%%/zk7");
  EXPECT_EQ(FormatAboutProductLine("ZK7 Desktop", "1.0.0") + "|" + FormatAboutComponentLine("QCustomPlot", "", "2.1.0") + "|" +
                FormatAboutComponentLine("Qt", "libQt6Core.so.6", "6.4.2"),
            "ZK7 Desktop Version: 1.0.0|QCustomPlot Version: 2.1.0|Qt (libQt6Core.so.6) Version: 6.4.2");
}

TEST(RecentFileListTest, MovesUpDropsTheOldestAndIsSavedThroughTheStore) {
  CRecentFileList list;
  for (const char* p : {"/a", "/b", "/c", "/d"}) list.Add(p);
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/d", "/c", "/b", "/a"}));
  list.Add("/b");
  EXPECT_EQ(list.GetPaths(), (std::vector<std::string>{"/b", "/d", "/c", "/a"}));
  list.Add("/e"), list.Remove(1), list.Remove(7);
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

void CollectIds(const std::vector<sMenuItem>& aItems, std::set<unsigned>& ids) {
  for (const sMenuItem& item : aItems) {
    if (item.m_eKind == sMenuItem::COMMAND) ids.insert(item.m_nId);
    CollectIds(item.m_aItems, ids);
  }
}

std::set<unsigned> MenuIds(unsigned nMenu) {
  std::set<unsigned> ids;
  CollectIds(GetMenuLayout(nMenu), ids);
  return ids;
}

// A command reachable only by a tool button or a key is missed by people who
// use the menus; those that are so on purpose are named here, so that a new one
// is a decision. The texts themselves are compared with the built menus once,
// in the frame's test.
TEST(MenuLayoutTest, EveryToolButtonAndKeyCommandIsInAMenuAndRecentFileItems) {
  const std::set<unsigned> keyOnly = {
      ID_NEXT_PANE, ID_PREV_PANE, ID_EDIT_UNDO, ID_FILE_NEW, ID_FILE_SAVE,  // the frame's window keys
      ID_CONTEXT_HELP, ID_HIST_UNUSED_F2, ID_REFRESH,                       // Shift+F1, F2, F5
      ID_HIST_PREVIOUS, ID_HIST_NEXT,                                       // the graph's paging buttons
  };
  for (unsigned nMenu : {IDR_MAINFRAME, IDR_RESULTS, IDR_LOG}) {
    SCOPED_TRACE(nMenu);
    const std::set<unsigned> ids = MenuIds(nMenu);
    EXPECT_FALSE(ids.empty() || GetToolBarLayout(nMenu).empty());
    for (const sToolButton& b : GetToolBarLayout(nMenu))
      EXPECT_TRUE(b.m_nId == 0 || keyOnly.count(b.m_nId) || ids.count(b.m_nId)) << b.m_nId << " " << b.m_strText;
  }
  // The frame's keys work in every window: those that act on a document are in the results menu.
  const std::set<unsigned> results = MenuIds(IDR_RESULTS);
  for (unsigned nTable : {IDR_MAINFRAME, IDR_RESULTS})
    for (const sAccelerator& a : GetAcceleratorTable(nTable))
      EXPECT_TRUE(results.count(a.m_nId) || keyOnly.count(a.m_nId)) << a.m_nId << " " << a.m_strKey;
  EXPECT_TRUE(GetAcceleratorTable(IDR_LOG).empty() && GetMenuLayout(127).empty() && GetToolBarLayout(131).empty());

  // A recent file item numbers and escapes ampersands.
  EXPECT_EQ(FormatRecentFileItem(0, "/data/a.zk") + "|" + FormatRecentFileItem(3, "/data/R&D.log"), "&1 /data/a.zk|&4 /data/R&&D.log");
}

} // namespace zk7
