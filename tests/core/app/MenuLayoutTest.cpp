#include "app/MenuLayout.h"
#include "app/CommandIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zk7 {
namespace {

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
TEST(MenuLayoutTest, EveryToolButtonAndKeyCommandIsInAMenu) {
  const std::set<unsigned> keyOnly = {
      ID_NEXT_PANE, ID_PREV_PANE, ID_EDIT_UNDO, ID_FILE_NEW, ID_FILE_SAVE,  // the frame's window keys
      ID_CONTEXT_HELP, ID_HIST_UNUSED_F2, ID_REFRESH,                       // Shift+F1, F2, F5
      ID_HIST_PREVIOUS, ID_HIST_NEXT,                                       // the graph's paging buttons
  };
  for (unsigned nMenu : {IDR_MAINFRAME, IDR_RESULTS, IDR_LOG}) {
    SCOPED_TRACE(nMenu);
    const std::set<unsigned> ids = MenuIds(nMenu);
    EXPECT_FALSE(ids.empty());
    EXPECT_FALSE(GetToolBarLayout(nMenu).empty());
    for (const sToolButton& b : GetToolBarLayout(nMenu)) {
      if (b.m_nId != 0 && !keyOnly.count(b.m_nId)) {
        EXPECT_TRUE(ids.count(b.m_nId)) << b.m_nId << " " << b.m_strText;
      }
    }
  }
  // The frame's keys work in every window: those that act on a document are in the results menu.
  const std::set<unsigned> results = MenuIds(IDR_RESULTS);
  for (unsigned nTable : {IDR_MAINFRAME, IDR_RESULTS}) {
    for (const sAccelerator& a : GetAcceleratorTable(nTable)) {
      SCOPED_TRACE(a.m_strKey);
      EXPECT_TRUE(results.count(a.m_nId) || keyOnly.count(a.m_nId)) << a.m_nId;
    }
  }
  EXPECT_TRUE(GetAcceleratorTable(IDR_LOG).empty());
  EXPECT_TRUE(GetMenuLayout(127).empty());
  EXPECT_TRUE(GetToolBarLayout(131).empty());
}

TEST(MenuLayoutTest, RecentFileItemNumbersAndEscapesAmpersands) {
  EXPECT_EQ(FormatRecentFileItem(0, "/data/a.zk"), "&1 /data/a.zk");
  EXPECT_EQ(FormatRecentFileItem(3, "/data/R&D.log"), "&4 /data/R&&D.log");
}

} // namespace
} // namespace zk7
