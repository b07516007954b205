// The key pane's columns and cells, check spreading, scale buttons, hidden
// rows, clipboard text; the list's menus and the print and copy texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/RegionalSettings.h"
#include "history/HistLegendState.h"
#include "history/HistListCommands.h"
#include "results/ZK7Doc.h"
#include "settings/SettingsRecord.h"

using namespace zk7;

namespace {

class HistLegendState : public ::testing::Test {
protected:
  std::string m_strDir = MakeTempDir("zk7-key");
  CZK7Doc m_doc;
  sHistViewState m_state;
  void SetUp() override {
    SetRegionalSettings(CRegionalSettings::Plain());
    CResultsFileBuilder b;
    b.nChannels = 3;
    b.strXml =
        "<fieldacq><session>"
        "<inputchan><name>T1</name><unit>\xB0" "C</unit><display resolution=\"1\"/></inputchan>"
        "<numchan><name>N</name><display resolution=\"0\"/></numchan>"
        "<calcchan><name>P</name><unit>kW</unit><display resolution=\"3\"/></calcchan>"
        "</session></fieldacq>";
    for (uint32_t i = 0; i < 20; ++i)
      b.aRecords.push_back({1767225600u, 10 * i, {{0, 0, 20.0f + i}, {0, 0, float(i)}, {0, static_cast<uint16_t>(i == 4 ? 7 : 0), 1.5f}}});
    b.WriteTo(m_strDir + "/k.zk");
    ASSERT_TRUE(m_doc.OnOpenDocument(m_strDir + "/k.zk"));
    NormaliseChanStates(m_state, m_doc.GetChannelCount());
  }
  void TearDown() override { std::filesystem::remove_all(m_strDir); }
};

TEST_F(HistLegendState, ColumnsCellsAndColours) {
  ASSERT_EQ(m_state.m_aChanStates.size(), 3u);
  EXPECT_TRUE(m_state.m_aChanStates[2].m_bChecked);
  EXPECT_EQ(m_state.m_aChanStates[2].m_nScale, 1) << "a new window: every channel checked, on Y1";
  EXPECT_EQ(KeyColumnFormat(0).nMinWidth, 3);
  EXPECT_EQ(KeyColumnFormat(1).nMinWidth, 20);
  EXPECT_EQ(KeyColumnFormat(2).nAlign, sKeyColumnFormat::CENTRE);
  EXPECT_EQ(KeyColumnFormat(4).nMinWidth, 8);
  EXPECT_EQ(KeyColumnFormat(4).nAlign, sKeyColumnFormat::RIGHT);

  // The texts the key shows after two fixed marks: the marks' columns hold each
  // channel's value, or its error text, at those records.
  m_state.m_aFixedMarks = {4, 12};
  m_state.m_nTimeFormat = sHistViewState::TIME_FORMAT_TIME;
  m_state.m_nFractionDigits = 1;
  const sKeyTable t = BuildKeyTable(m_doc, m_state, false);
  EXPECT_EQ(t.aTitles, (std::vector<std::string>{"N\xB0", "Channel", "Unit", "Scale", "1: 00:00:04.0", "2: 00:00:12.0"}));
  EXPECT_EQ(t.aRows[0], (std::vector<std::string>{"001", "T1", "\xB0" "C", "Y1", "     24.0", "     32.0"}));
  EXPECT_EQ(t.aRows[2][4], "Err. 7");

  // Channel 16 has the colour of channel 1: fifteen colours in turn.
  EXPECT_EQ(GetChannelColourIndex(15), GetChannelColourIndex(0));
  EXPECT_NE(GetChannelColourIndex(14), GetChannelColourIndex(0));
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
  EXPECT_FALSE(IsChannelChecked(m_state, 0));
  EXPECT_EQ(KeyRowChannels(m_state, false), (std::vector<int>{0, 1, 2})) << "shown again, still unchecked";
  EXPECT_FALSE(IsChannelChecked(m_state, 1));
  // States survive a rebuild with more channels; the new ones start checked on Y1.
  NormaliseChanStates(m_state, 4);
  EXPECT_FALSE(m_state.m_aChanStates[0].m_bChecked);
  EXPECT_TRUE(m_state.m_aChanStates[3].m_bChecked);
  EXPECT_EQ(GetChannelScale(m_state, 9), SCALE_NONE);
  EXPECT_TRUE(IsChannelChecked(m_state, 9));
}

TEST_F(HistLegendState, ScaleButtonsKeepOneXChannel) {
  const std::vector<int> aRows = {0, 1, 2};
  AssignKeyScale(m_state, aRows, {1, 2}, 2);
  EXPECT_EQ(GetChannelScale(m_state, 0), 1);
  EXPECT_EQ(GetChannelScale(m_state, 1), 2);
  EXPECT_EQ(GetChannelScale(m_state, 2), 2);
  AssignKeyScale(m_state, aRows, {0}, 0);
  EXPECT_EQ(GetChannelScale(m_state, 0), 0);
  // X with two rows selected: only the upper one; the former X returns to Y1.
  AssignKeyScale(m_state, aRows, {2, 1}, 0);
  EXPECT_EQ(GetChannelScale(m_state, 0), 1);
  EXPECT_EQ(GetChannelScale(m_state, 1), 0);
  EXPECT_EQ(GetChannelScale(m_state, 2), 2);
  // A hidden X channel does not stay X beside a new one.
  SetChannelChecked(m_state, 1, false);
  const std::vector<int> aShown = KeyRowChannels(m_state, true);
  EXPECT_EQ(aShown, (std::vector<int>{0, 2}));
  AssignKeyScale(m_state, aShown, {1}, 0);
  EXPECT_EQ(GetChannelScale(m_state, 2), 0);
  EXPECT_EQ(GetChannelScale(m_state, 1), 1);
  // X with nothing selected: no X channel any more.
  AssignKeyScale(m_state, aShown, {}, 0);
  EXPECT_EQ(GetChannelScale(m_state, 2), 1);
}

TEST_F(HistLegendState, ClipboardText) {
  m_state.m_aFixedMarks = {3};
  m_state.m_nTimeFormat = sHistViewState::TIME_FORMAT_TIME;
  SetChannelChecked(m_state, 1, false);
  EXPECT_EQ(KeyClipboardText(BuildKeyTable(m_doc, m_state, true)),
            "001\tT1\t\xB0" "C\tY1\t     23.0\t\r\n"
            "003\tP\tkW\tY1\t    1.500\t\r\n");
  EXPECT_EQ(KeyClipboardText(sKeyTable{}), "");
}

TEST(HistListCommands, MenusAndTexts) {
  const std::vector<sMenuItem>& aList = GetListContextMenu();
  ASSERT_EQ(aList.size(), 21u);
  EXPECT_EQ(aList[0].m_nId, ID_LIST_PANE_ONLY);
  EXPECT_EQ(aList[3].m_strText, "Go to Date...");
  EXPECT_EQ(aList[14].m_strText, "Time format");
  EXPECT_EQ(aList[16].m_aItems[1].m_strText, "Number and meaning");
  EXPECT_EQ(aList[20].m_strText, "Select &All\tCtrl+A");
  const std::vector<sMenuItem>& aKey = GetKeyContextMenu();
  ASSERT_EQ(aKey.size(), 6u);
  EXPECT_EQ(aKey[3].m_nId, ID_HIDE_UNCHECKED_CHANNELS);

  EXPECT_FALSE(PrintNeedsConfirmation(3));
  EXPECT_TRUE(PrintNeedsConfirmation(4));
  EXPECT_EQ(PrintRecordsQuestion(1, 1000, 20), "Printing Records list\nfrom n\xB0" "1 to n\xB0" "1000,\n (20 pages) ?");
  EXPECT_EQ(ExportFileExistsText("a.txt"), "File \"a.txt\" already exists");
  EXPECT_EQ(ExportProgressText(64, 1000), "64 records from 1000 exported");

  EXPECT_EQ(PresetCopyChoice(PANE_GRAPH, true), COPY_GRAPH);
  EXPECT_EQ(PresetCopyChoice(PANE_KEY, true), COPY_KEY);
  EXPECT_EQ(PresetCopyChoice(PANE_LIST, true), COPY_SELECTED_RECORDS);
  EXPECT_EQ(PresetCopyChoice(PANE_LIST, false), COPY_ALL_RECORDS);
  EXPECT_EQ(PresetCopyChoice(PANE_NONE, false), COPY_GRAPH);
}

} // namespace
