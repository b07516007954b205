#include "app/MenuLayout.h"
#include "app/CommandIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zk7 {
namespace {

// The command texts of a pop-up in order, sub-menus as "<text>>" followed by their items.
std::vector<std::string> Texts(const std::vector<sMenuItem>& aItems) {
  std::vector<std::string> aTexts;
  for (const sMenuItem& item : aItems) {
    if (item.m_eKind == sMenuItem::COMMAND)
      aTexts.push_back(item.m_strText);
    else if (item.m_eKind == sMenuItem::RECENT_FILES)
      aTexts.push_back("<recent>");
    else if (item.m_eKind == sMenuItem::POPUP) {
      aTexts.push_back(item.m_strText + ">");
      for (const std::string& str : Texts(item.m_aItems))
        aTexts.push_back("  " + str);
    }
  }
  return aTexts;
}

const sMenuItem& Popup(unsigned nMenu, const std::string& strTitle) {
  for (const sMenuItem& item : GetMenuLayout(nMenu))
    if (item.m_strText == strTitle)
      return item;
  static const sMenuItem s_none;
  ADD_FAILURE() << "no pop-up " << strTitle << " in menu " << nMenu;
  return s_none;
}

std::vector<std::string> Titles(unsigned nMenu) {
  std::vector<std::string> a;
  for (const sMenuItem& item : GetMenuLayout(nMenu))
    a.push_back(item.m_strText);
  return a;
}

using V = std::vector<std::string>;

TEST(MenuLayoutTest, MainMenuHasTheItemsOfTheNoDocumentState) {
  EXPECT_EQ(Titles(IDR_MAINFRAME), (V{"&File", "&Instrument", "&View", "&?"}));
  EXPECT_EQ(Texts(Popup(IDR_MAINFRAME, "&File").m_aItems),
            (V{"&Open...\tCtrl+O", "P&rint Setup...", "<recent>", "E&xit"}));
  EXPECT_EQ(Texts(Popup(IDR_MAINFRAME, "&Instrument").m_aItems),
            (V{"Download Files...", "&Send configuration file..."}));
  EXPECT_EQ(Texts(Popup(IDR_MAINFRAME, "&View").m_aItems), (V{"&Toolbar", "&Status Bar"}));
  EXPECT_EQ(Texts(Popup(IDR_MAINFRAME, "&?").m_aItems), (V{"&Help Topics", "Error codes....", "&About ZK7..."}));
}

TEST(MenuLayoutTest, ResultsMenuKeepsItsTextsIncludingTheMisspelledAbout) {
  EXPECT_EQ(Titles(IDR_RESULTS), (V{"&File", "&Edit", "&Instrument", "&View", "&Window", "&?"}));
  EXPECT_EQ(Texts(Popup(IDR_RESULTS, "&File").m_aItems),
            (V{"&Open...\tCtrl+O", "&Close", "P&rint Setup...", "G&raph print preview", "&Print Graph...\tCtrl+P",
               "Save Graph As...", "Print Pre&view of Selected lines", "&Print selected &lines...", "&Export selected lines...",
               "<recent>", "E&xit"}));
  EXPECT_EQ(Texts(Popup(IDR_RESULTS, "&Edit").m_aItems), (V{"Co&py\tCtrl+C", "Select &All\tCtrl+A"}));
  EXPECT_EQ(Texts(Popup(IDR_RESULTS, "&View").m_aItems),
            (V{"Graph Pane only", "List Pane only", "Key Pane only", "All Panes", "&Cursors Tools", "&Scales Tools",
               "Statistics", "Historical &Global View\tEch", "&File Global View", "Zoom Back\tAlt+Left",
               "Zoom Forward\tAlt+Right", "&Go to>", "  Go to &Date",
               "  Go to C&ursor 1 in the List", "  Go to Cu&rsor 2 in the List", "&Cursors>",
               "  Go to C&ursor 1 in the List", "  Go to Cu&rsor 2 in the List",
               "  Select List &between Cursors 1 and 2", "  Define Cursor 1 according to list",
               "  Define Cursor 2 according to list", "  Define Historical Area from Cursors 1 and 2",
               "  Add a &Fixed Mark", "  Erase All Fi&xed Marks", "&Options>", "  Time Display Resolution>",
               "    1 s", "    100 ms", "    10 ms", "    1 ms", "  Link &Points", "  &Grid", "  S&tacked", "&Toolbar",
               "&Status Bar", "Informations about this results file...."}));
  EXPECT_EQ(Texts(Popup(IDR_RESULTS, "&Window").m_aItems),
            (V{"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "&Split", "Arrange &Columns"}));
  EXPECT_EQ(Texts(Popup(IDR_RESULTS, "&?").m_aItems), (V{"&Help Topics", "Error codes....", "&Aboute ZK7..."}));
}

TEST(MenuLayoutTest, LogMenuHasItsOwnPrintTexts) {
  EXPECT_EQ(Titles(IDR_LOG), (V{"&File", "&Edit", "&Instrument", "&View", "&Window", "&?"}));
  EXPECT_EQ(Texts(Popup(IDR_LOG, "&File").m_aItems),
            (V{"&Open...\tCtrl+O", "&Close", "P&rint Setup...", "Print Pre&view of Selected lines",
               "&Print selected lines...", "<recent>", "E&xit"}));
  EXPECT_EQ(Texts(Popup(IDR_LOG, "&Window").m_aItems), (V{"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
  EXPECT_EQ(Texts(Popup(IDR_LOG, "&?").m_aItems), (V{"&Help Topics", "Error codes....", "&About ZK7..."}));
  // The log window prints through the same commands as the graph does.
  for (const sMenuItem& item : Popup(IDR_LOG, "&File").m_aItems) {
    if (item.m_strText == "Print Pre&view of Selected lines") {
      EXPECT_EQ(item.m_nId, static_cast<unsigned>(ID_FILE_PRINT_PREVIEW));
    }
    if (item.m_strText == "&Print selected lines...") {
      EXPECT_EQ(item.m_nId, static_cast<unsigned>(ID_FILE_PRINT));
    }
  }
  EXPECT_TRUE(GetMenuLayout(127).empty());
}

TEST(MenuLayoutTest, ToolBarsListTheirCommandsWithSeparators) {
  auto ids = [](unsigned nBar) {
    std::vector<unsigned> a;
    for (const sToolButton& b : GetToolBarLayout(nBar))
      a.push_back(b.m_nId);
    return a;
  };
  EXPECT_EQ(ids(IDR_MAINFRAME), (std::vector<unsigned>{57601, 0, 57664}));
  EXPECT_EQ(ids(IDR_LOG), (std::vector<unsigned>{57601, 57602, 0, 57664}));
  EXPECT_EQ(ids(IDR_RESULTS), (std::vector<unsigned>{57601, 57602, 0, 57634, 0, 57607, 57609, 0, 40003, 40004, 40014,
                                                     0, 40019, 40016, 40018, 40017, 0, 40006, 40005, 0, 32786, 32787,
                                                     33020, 33021, 0, 57664}));
  EXPECT_TRUE(GetToolBarLayout(131).empty());
}

TEST(MenuLayoutTest, AcceleratorTables) {
  auto find = [](unsigned nTable, const std::string& strKey) -> unsigned {
    for (const sAccelerator& a : GetAcceleratorTable(nTable))
      if (a.m_strKey == strKey)
        return a.m_nId;
    return 0;
  };
  EXPECT_EQ(find(IDR_MAINFRAME, "Ctrl+Ins"), 57634u);
  EXPECT_EQ(find(IDR_MAINFRAME, "Ctrl+C"), 57634u);
  EXPECT_EQ(find(IDR_MAINFRAME, "Ctrl+P"), 57607u);
  EXPECT_EQ(find(IDR_MAINFRAME, "Shift+F6"), 57681u);
  EXPECT_EQ(find(IDR_MAINFRAME, "Alt+Backspace"), 57643u);
  EXPECT_EQ(find(IDR_RESULTS, "Esc"), 40034u);
  EXPECT_EQ(find(IDR_RESULTS, "F5"), 40001u);
  EXPECT_EQ(find(IDR_MAINFRAME, "F5"), 0u);
  EXPECT_TRUE(GetAcceleratorTable(IDR_LOG).empty());
}

TEST(MenuLayoutTest, RecentFileItemNumbersAndEscapesAmpersands) {
  EXPECT_EQ(FormatRecentFileItem(0, "/data/a.zk"), "&1 /data/a.zk");
  EXPECT_EQ(FormatRecentFileItem(3, "/data/R&D.log"), "&4 /data/R&&D.log");
}

} // namespace
} // namespace zk7
