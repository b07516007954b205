// The record list's selection blocks, mark and focus, the focus keys, the
// scrolling arithmetic, and the export of several blocks.
#include "ResultsFixture.h"
#include "history/HistRowText.h"
#include "history/RecordExport.h"
#include "history/RecordSelection.h"

using namespace zk7;

namespace {

TEST(RecordSelection, BlocksMergeAndCount) {
  CRecordSelection sel;
  EXPECT_FALSE(sel.HasSelection());
  EXPECT_EQ(sel.GetFirst(), -1);
  sel.Select(20, 10);
  sel.Select(30, 40);
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{10, 20}, {30, 40}}));
  EXPECT_EQ(sel.GetCount(), 22);
  sel.Select(21, 29);  // touches both: one block
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{10, 40}}));
  sel.Select(0, 2);
  sel.Select(5, 5);
  sel.Select(1, 6);
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{0, 6}, {10, 40}}));
  EXPECT_TRUE(sel.IsSelected(6));
  EXPECT_FALSE(sel.IsSelected(7));
  EXPECT_FALSE(sel.IsSelected(41));
  EXPECT_EQ(sel.GetSelectedRow(0), 0);
  EXPECT_EQ(sel.GetSelectedRow(7), 10) << "the eighth selected row is the first of the second block";
  EXPECT_EQ(sel.GetSelectedRow(37), 40);
  EXPECT_EQ(sel.GetSelectedRow(38), -1);

  CRecordSelection all;
  all.Select(0, 99999999);
  EXPECT_EQ(all.GetCount(), 100000000);
  EXPECT_EQ(all.GetBlocks().size(), 1u);
  EXPECT_EQ(all.GetLast(), 99999999);
}

TEST(RecordSelection, ClicksMarkAndFocus) {
  CRecordSelection sel;
  sel.ClickRow(5, true);  // Shift without a mark: a plain click
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{5, 5}}));
  EXPECT_EQ(sel.GetMark(), 5);
  sel.ClickRow(9, true);
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{5, 9}}));
  EXPECT_EQ(sel.GetFocus(), 9);
  sel.ClickRow(2, true);
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{2, 5}})) << "the mark stays where the block started";
  sel.ClickRow(7, false);
  EXPECT_EQ(sel.GetBlocks(), (std::vector<sRowBlock>{{7, 7}}));
  EXPECT_EQ(sel.GetMark(), 7);
  sel.Clear();
  EXPECT_FALSE(sel.HasSelection());
  EXPECT_EQ(sel.GetMark(), 7) << "deselecting keeps the mark";
  sel.Reset();
  EXPECT_EQ(sel.GetMark(), -1);
  EXPECT_EQ(sel.GetFocus(), -1);
}

TEST(RecordSelection, FocusKeysAndScrolling) {
  const struct {
    int nFocus;
    eListKey eKey;
    int nRows, nExpected;
  } aKeys[] = {{-1, LIST_KEY_DOWN, 100, 0}, {-1, LIST_KEY_END, 100, 99},   {0, LIST_KEY_UP, 100, 0},
               {5, LIST_KEY_PAGE_DOWN, 100, 14}, {95, LIST_KEY_PAGE_DOWN, 100, 99}, {5, LIST_KEY_PAGE_UP, 100, 0},
               {5, LIST_KEY_END, 100000000, 99999999}, {5, LIST_KEY_HOME, 100, 0}, {5, LIST_KEY_DOWN, 0, -1}};
  for (const auto& k : aKeys)
    EXPECT_EQ(StepFocusRow(k.nFocus, k.eKey, 10, k.nRows), k.nExpected) << k.nFocus << " " << k.eKey;
  EXPECT_EQ(ClampTopRow(95, 10, 100), 90);
  EXPECT_EQ(ClampTopRow(-3, 10, 100), 0);
  EXPECT_EQ(ClampTopRow(4, 10, 5), 0) << "fewer rows than a page";
  EXPECT_EQ(TopRowShowing(0, 99999999, 30, 100000000), 99999970);
  EXPECT_EQ(TopRowShowing(50, 55, 10, 100), 50) << "already in view: no scrolling";
  EXPECT_EQ(TopRowShowing(50, 60, 10, 100), 51);
  EXPECT_EQ(TopRowShowing(50, 20, 10, 100), 20);
}

using SelectionExport = CResultsTest;

TEST_F(SelectionExport, SeveralBlocksGiveExactlyTheSelectedRows) {
  CResultsFileBuilder b;
  b.nChannels = 1;
  b.strXml = "<fieldacq><session><numchan><name>N</name><display resolution=\"0\"/></numchan></session></fieldacq>";
  b.AddRecords(300, 1, 1767225600u, 10, [](int i, int) { return sRawSample{0, 0, float(i)}; });
  CZK7Doc doc;
  Open(doc, b);
  sListOptions opt;
  opt.m_nTimeFormat = 1;
  opt.m_bShowFraction = false;
  CHistRowText rows(doc, opt);
  CRecordSelection sel;
  sel.Select(250, 251);
  sel.Select(3, 4);
  CStringRecordSink sink;
  EXPECT_EQ(WriteRecordLines(rows, sel.GetBlocks(), sink), 0u);
  EXPECT_EQ(sink.Text(),
            "M\tN\xB0\tHour\tN ()\r\n"
            " \t4\t00:00:03\t        3\r\n \t5\t00:00:04\t        4\r\n"
            " \t251\t00:04:10\t      250\r\n \t252\t00:04:11\t      251\r\n");

  // Progress counts the rows of all blocks; a cancel keeps what was written.
  CRecordSelection two;
  two.Select(0, 99);
  two.Select(200, 299);
  std::vector<int64_t> aCalls;
  int64_t nWritten = 0;
  CStringRecordSink cancelled;
  WriteRecordLines(rows, two.GetBlocks(), cancelled,
                   [&](int64_t n, int64_t nTotal) {
                     aCalls.push_back(n);
                     EXPECT_EQ(nTotal, 200);
                     return n < 128;
                   },
                   &nWritten);
  EXPECT_EQ(aCalls, (std::vector<int64_t>{64, 128}));
  EXPECT_EQ(nWritten, 128);
  EXPECT_NE(cancelled.Text().find("\t228\t"), std::string::npos) << "row 128 of the selection is record 228";
  EXPECT_EQ(cancelled.Text().find("\t229\t"), std::string::npos);
}

} // namespace
