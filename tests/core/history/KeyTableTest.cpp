// The key as a table of texts, and the page arithmetic of the graph printout.
#include <gtest/gtest.h>

#include <filesystem>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "format/RegionalSettings.h"
#include "history/HistViewState.h"
#include "history/KeyTable.h"
#include "results/ZK7Doc.h"

using namespace zk7;

namespace {

TEST(KeyTable, RowsColumnsMarksAndWidths) {
  SetRegionalSettings(CRegionalSettings::Plain());
  const std::string strDir = MakeTempDir("zk7-key");
  CResultsFileBuilder b;
  b.nChannels = 3;
  b.strXml = "<fieldacq><session><inputchan><name>Boiler temperature</name><unit>C</unit>"
             "<display resolution=\"1\"/></inputchan><inputchan><name>P</name></inputchan>"
             "<inputchan><name>Q</name><unit>m3/h</unit><display resolution=\"2\"/></inputchan></session></fieldacq>";
  for (uint32_t i = 0; i < 5; ++i)
    b.aRecords.push_back({1767225600u, 10 * i, {{0, 0, 20.5f + i}, {0, 7, 0.0f}, {0, 0, 1.25f}}});
  b.WriteTo(strDir + "/k.zk");
  CZK7Doc doc;
  ASSERT_TRUE(doc.OnOpenDocument(strDir + "/k.zk"));
  sHistViewState st;
  st.m_nTimeFormat = 1;
  st.m_aChanStates = {{true, 1}, {false, 2}, {true, 0}};
  st.m_aFixedMarks = {3, 1};
  sKeyTable t = BuildKeyTable(doc, st, false);
  ASSERT_EQ(t.aTitles, (std::vector<std::string>{"N\xB0", "Channel", "Unit", "Scale", "1: 00:00:03.000",
                                                   "2: 00:00:01.000"}));
  ASSERT_EQ(t.aRows.size(), 3u);
  EXPECT_EQ(t.aRows[0], (std::vector<std::string>{"001", "Boiler temperature", "C", "Y1", "     23.5", "     21.5"}));
  EXPECT_EQ(t.aRows[1][3], "Y2");
  EXPECT_EQ(t.aRows[1][4], "Err. 7");
  EXPECT_EQ(t.aRows[2][3], "X");
  EXPECT_EQ(t.aChecked, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(KeyColumnWidths(t), (std::vector<int>{3, 18, 4, 5, 15, 15}));

  t = BuildKeyTable(doc, st, true);
  EXPECT_EQ(t.aChannels, (std::vector<int>{0, 2})) << "unchecked rows hidden";
  st.m_aChanStates.clear();
  st.m_aFixedMarks.clear();
  st.m_nTimeFormat = 0;
  t = BuildKeyTable(doc, st, false);
  EXPECT_EQ(t.aTitles.size(), 4u);
  EXPECT_EQ(t.aChecked, (std::vector<bool>{true, true, true})) << "no state: ticked, on Y1";
  EXPECT_EQ(t.aRows[2][3], "Y1");
  std::filesystem::remove_all(strDir);
}

TEST(KeyTable, GraphPrintoutPages) {
  // 100 lines of 10 units, 3 + 3 header and footer lines, 2 more: 92 key lines.
  EXPECT_EQ(GraphKeyLinesPerPage(1000, 10, 3, 3), 92);
  EXPECT_EQ(GraphKeyLinesPerPage(50, 10, 3, 3), 1) << "at least one line";
  EXPECT_EQ(GraphKeyLinesPerPage(50, 0, 3, 3), 1);
  EXPECT_EQ(GraphPrintPageCount(0, 92), 1) << "no ticked row: the graph page only";
  EXPECT_EQ(GraphPrintPageCount(92, 92), 2);
  EXPECT_EQ(GraphPrintPageCount(93, 92), 3);
}

} // namespace
