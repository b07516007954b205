// The key pane's columns and cells, check spreading, scale buttons, hidden
// rows, clipboard text; the key as a table; the list's menus and texts.
#include "ResultsFixture.h"
#include "app/CommandIds.h"
#include "history/HistLegendState.h"
#include "history/HistListCommands.h"
#include "history/KeyTable.h"

using namespace zk7;

namespace {

struct HistLegendState : CResultsTest {
  CZK7Doc& m_doc = Opened(CResultsFileBuilder::HistoryFile(20), "k.zk");
  sHistViewState m_state;
  void SetUp() override { NormaliseChanStates(m_state, m_doc.GetChannelCount()); }
};

TEST_F(HistLegendState, ColumnsCellsAndMarks) {
  ASSERT_EQ(m_state.m_aChanStates.size(), 3u);
  EXPECT_TRUE(m_state.m_aChanStates[2].m_bChecked && m_state.m_aChanStates[2].m_nScale == 1) << "a new window: checked, on Y1";
  EXPECT_EQ((std::vector<int>{KeyColumnFormat(0).nMinWidth, KeyColumnFormat(1).nMinWidth, KeyColumnFormat(4).nMinWidth,
                              KeyColumnFormat(2).nAlign, KeyColumnFormat(4).nAlign}),
            (std::vector<int>{3, 20, 8, sKeyColumnFormat::CENTRE, sKeyColumnFormat::RIGHT}));

  // The marks' columns hold each channel's value, or its error text, at those records.
  m_state.m_aFixedMarks = {2, 12};
  m_state.m_nTimeFormat = sHistViewState::TIME_FORMAT_TIME;
  m_state.m_nFractionDigits = 1;
  sKeyTable t = BuildKeyTable(m_doc, m_state, false);
  EXPECT_EQ(t.aTitles, (std::vector<std::string>{"N\xB0", "Channel", "Unit", "Scale", "1: 00:00:02.0", "2: 00:00:12.0"}));
  EXPECT_EQ(t.aRows[0], (std::vector<std::string>{"001", "T1", "\xB0" "C", "Y1", "     21.0", "     26.0"}));
  EXPECT_EQ(t.aRows[2][4], "Err. 12");
  EXPECT_EQ(KeyColumnWidths(t), (std::vector<int>{3, 7, 4, 5, 13, 13})) << "the longest of title and cells";

  m_state.m_aChanStates = {{true, 1}, {false, 2}, {true, 0}};
  t = BuildKeyTable(m_doc, m_state, false);
  EXPECT_EQ(t.aRows[1][3] + t.aRows[2][3], "Y2X");
  EXPECT_EQ(t.aChecked, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(BuildKeyTable(m_doc, m_state, true).aChannels, (std::vector<int>{0, 2})) << "unchecked rows hidden";
  m_state.m_aChanStates.clear();
  m_state.m_aFixedMarks.clear();
  m_state.m_nTimeFormat = 0;
  t = BuildKeyTable(m_doc, m_state, false);
  EXPECT_EQ(std::tuple(t.aTitles.size(), t.aChecked, t.aRows[2][3]), std::tuple(4u, std::vector<bool>(3, true), std::string("Y1")))
      << "no state: ticked, on Y1";
}

TEST_F(HistLegendState, ChecksSpreadOverTheSelectedRows) {
  const std::vector<int> aRows = KeyRowChannels(m_state, false);
  EXPECT_EQ(aRows, (std::vector<int>{0, 1, 2}));
  // Unchecking one of three selected rows unchecks all three.
  EXPECT_EQ(ApplyKeyCheck(m_state, aRows, {0, 1, 2}, 1, false), (std::vector<int>{0, 2}));
  EXPECT_TRUE(CheckedChannels(m_state).empty()) << "the list then shows every channel";
  // A row outside the selection changes alone.
  ApplyKeyCheck(m_state, aRows, {0, 1}, 2, true);
  EXPECT_EQ(CheckedChannels(m_state), (std::vector<int>{2}));
  // Hidden rows: only the checked channels are listed; their states stay.
  EXPECT_EQ(KeyRowChannels(m_state, true), (std::vector<int>{2}));
  EXPECT_EQ(KeyRowChannels(m_state, false), (std::vector<int>{0, 1, 2})) << "shown again";
  EXPECT_FALSE(IsChannelChecked(m_state, 0) || IsChannelChecked(m_state, 1)) << "still unchecked";
  // States survive a rebuild with more channels; the new ones start checked on Y1.
  NormaliseChanStates(m_state, 4);
  EXPECT_TRUE(!m_state.m_aChanStates[0].m_bChecked && m_state.m_aChanStates[3].m_bChecked);
  EXPECT_TRUE(GetChannelScale(m_state, 9) == SCALE_NONE && IsChannelChecked(m_state, 9));
}

TEST_F(HistLegendState, ScaleButtonsKeepOneXChannel) {
  const std::vector<int> aRows = {0, 1, 2};
  auto scales = [&] { return std::vector<int>{GetChannelScale(m_state, 0), GetChannelScale(m_state, 1), GetChannelScale(m_state, 2)}; };
  AssignKeyScale(m_state, aRows, {1, 2}, 2);
  EXPECT_EQ(scales(), (std::vector<int>{1, 2, 2}));
  AssignKeyScale(m_state, aRows, {0}, 0);
  EXPECT_EQ(scales(), (std::vector<int>{0, 2, 2}));
  // X with two rows selected: only the upper one; the former X returns to Y1.
  AssignKeyScale(m_state, aRows, {2, 1}, 0);
  EXPECT_EQ(scales(), (std::vector<int>{1, 0, 2}));
  // A hidden X channel does not stay X beside a new one.
  SetChannelChecked(m_state, 1, false);
  const std::vector<int> aShown = KeyRowChannels(m_state, true);
  EXPECT_EQ(aShown, (std::vector<int>{0, 2}));
  AssignKeyScale(m_state, aShown, {1}, 0);
  EXPECT_EQ(scales(), (std::vector<int>{1, 1, 0}));
  // X with nothing selected: no X channel any more.
  AssignKeyScale(m_state, aShown, {}, 0);
  EXPECT_EQ(GetChannelScale(m_state, 2), 1);
}

TEST_F(HistLegendState, ClipboardText) {
  m_state.m_aFixedMarks = {3};
  m_state.m_nTimeFormat = sHistViewState::TIME_FORMAT_TIME;
  SetChannelChecked(m_state, 1, false);
  EXPECT_EQ(KeyClipboardText(BuildKeyTable(m_doc, m_state, true)),
            "001\tT1\t\xB0" "C\tY1\t     21.5\t\r\n"
            "003\tP\tkW\tY1\t    1.500\t\r\n");
  EXPECT_EQ(KeyClipboardText(sKeyTable{}), "");
}

TEST(HistListCommands, MenusAndTexts) {
  const std::vector<sMenuItem>& aList = GetListContextMenu();
  ASSERT_EQ(aList.size(), 21u);
  EXPECT_EQ(aList[0].m_nId, ID_LIST_PANE_ONLY);
  EXPECT_EQ(aList[16].m_aItems[1].m_strText + "|" + aList[20].m_strText, "Number and meaning|Select &All\tCtrl+A");
  ASSERT_EQ(GetKeyContextMenu().size(), 6u);
  EXPECT_EQ(GetKeyContextMenu()[3].m_nId, ID_HIDE_UNCHECKED_CHANNELS);
  EXPECT_TRUE(!PrintNeedsConfirmation(3) && PrintNeedsConfirmation(4));
  EXPECT_EQ(PrintRecordsQuestion(1, 1000, 20), "Printing Records list\nfrom n\xB0" "1 to n\xB0" "1000,\n (20 pages) ?");
  EXPECT_EQ(ExportFileExistsText("a.txt"), "File \"a.txt\" already exists");
  EXPECT_EQ(ExportProgressText(64, 1000), "64 records from 1000 exported");
  EXPECT_EQ((std::vector<eCopyChoice>{PresetCopyChoice(PANE_GRAPH, true), PresetCopyChoice(PANE_KEY, true),
                                      PresetCopyChoice(PANE_LIST, true), PresetCopyChoice(PANE_LIST, false), PresetCopyChoice(PANE_NONE, false)}),
            (std::vector<eCopyChoice>{COPY_GRAPH, COPY_KEY, COPY_SELECTED_RECORDS, COPY_ALL_RECORDS, COPY_GRAPH}));

  // The graph printout's pages.
  // 100 lines of 10 units, 3 + 3 header and footer lines, 2 more: 92 key lines.
  // At least one line; no ticked row: the graph page only.
  EXPECT_EQ((std::vector<int>{GraphKeyLinesPerPage(1000, 10, 3, 3), GraphKeyLinesPerPage(50, 10, 3, 3), GraphKeyLinesPerPage(50, 0, 3, 3),
                              GraphPrintPageCount(0, 92), GraphPrintPageCount(92, 92), GraphPrintPageCount(93, 92)}),
            (std::vector<int>{92, 1, 1, 1, 2, 3}));
}

} // namespace
