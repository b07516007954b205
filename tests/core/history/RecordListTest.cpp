// The record list: columns, cells, markers and lines; the selection's blocks,
// mark, focus keys and scrolling; the export of lines and of CSV (header,
// quoting, UTF-8, ISO times, point decimals under a comma locale, the two error
// modes), with blocks, progress, Cancel and write errors.

#include <limits>
#include "ResultsFixture.h"
#include "history/HistRowText.h"
#include "history/RecordCsv.h"
#include "history/RecordExport.h"
#include "history/RecordSelection.h"

using namespace zk7;

namespace {

struct CFailingSink : IRecordSink {
  bool Write(const char*, size_t) override { return false; }
};

struct HistRowText : CResultsTest {
  CZK7Doc& m_doc = Opened(CResultsFileBuilder::HistoryFile(200), "run.2024.zk");
};

TEST_F(HistRowText, ColumnsFollowTheOptions) {
  sListOptions opt;
  opt.m_nTimeFormat = TimeFormatFromFile(m_doc);
  EXPECT_EQ(opt.m_nTimeFormat, 1) << "one calendar day: time only";
  CHistRowText rows(m_doc, opt);
  EXPECT_EQ(rows.GetTitleLine(), "M\tN\xB0\tHour\tT1 (\xB0" "C)\tN ()\tP (kW)");
  ASSERT_EQ(rows.GetColumnCount(), 6);
  const auto& aCols = rows.GetColumns();
  EXPECT_EQ((std::vector<int>{aCols[0].nMinWidth, aCols[1].nMinWidth, aCols[2].nMinWidth, aCols[3].nMinWidth,
                              aCols[2].nAlign, aCols[3].nAlign}), (std::vector<int>{2, 6, 23, 10, 0, 1}));

  opt.m_nTimeFormat = 0;
  opt.m_bMsOffsetColumns = true;
  opt.m_aDisplayedChannels = {2, 0};
  CHistRowText shown(m_doc, opt);
  EXPECT_EQ(shown.GetTitleLine(), "M\tN\xB0\tDate\tms\tP (kW)\tms\tT1 (\xB0" "C)");
  const std::vector<std::string> aCells = {"01/01/2026 00:00:02.000", "-7", "Err. 12", "0", "     21.0", ""};
  for (int c = 2; c <= 7; ++c) EXPECT_EQ(shown.GetCellText(2, c), aCells[c - 2]) << "column " << c;

  opt.m_aDisplayedChannels = {};
  opt.m_bShowFraction = opt.m_bMsOffsetColumns = false;
  CHistRowText all(m_doc, opt);
  EXPECT_EQ(all.GetOptions().m_aDisplayedChannels, (std::vector<int>{0, 1, 2})) << "nothing displayed: every channel";
  EXPECT_EQ(all.GetCellText(199, 1) + "|" + all.GetCellText(199, 2), "200|01/01/2026 00:03:19");
}

TEST_F(HistRowText, MarkersAndTheMarkCell) {
  sListOptions opt;
  opt.m_nTimeFormat = 1;
  opt.m_nFractionDigits = 1;
  opt.m_aFixedMarks = {5, 3, 5};
  opt.m_nCursor1Record = 3;
  opt.m_nCursor2Record = 7;
  CHistRowText rows(m_doc, opt);
  EXPECT_EQ(rows.GetCellText(3, 0) + rows.GetCellText(5, 0), "21") << "the first mark on the record gives its number";
  EXPECT_EQ((std::vector<int>{rows.GetRowMarker(3), rows.GetRowMarker(7), rows.GetRowMarker(5), rows.GetRowMarker(6)}),
            (std::vector<int>{MARKER_CURSOR1, MARKER_CURSOR2, MARKER_FIXED, MARKER_NONE}));
  EXPECT_EQ(rows.GetRowLine(3), "2\t4\t00:00:03.0\t     21.5\t        3\t    1.500") << "a mark number is kept";
  EXPECT_EQ(rows.GetRowLine(7), ">>\t8\t00:00:07.0\t     23.5\t        7\t    1.500");
  EXPECT_EQ(rows.GetRowLine(6), " \t7\t00:00:06.0\t     23.0\t        6\t    1.500");

  opt.m_aFixedMarks.clear();
  opt.m_nCursor2Record = 3;
  CHistRowText both(m_doc, opt);
  EXPECT_EQ(std::pair(both.GetRowMarker(3), both.GetRowLine(3).substr(0, 4)), std::pair(int(MARKER_BOTH), std::string(">>>\t")));
  opt.m_nCursor2Record = -1;
  EXPECT_EQ(CHistRowText(m_doc, opt).GetRowLine(3).substr(0, 2), ">\t");
}

TEST_F(HistRowText, ExportLinesAndBlocksProgressAndCancel) {
  sListOptions opt;
  opt.m_nTimeFormat = 1;
  opt.m_aDisplayedChannels = {1};
  CHistRowText rows(m_doc, opt);
  CStringRecordSink one;
  EXPECT_EQ(WriteRecordLines(rows, 4, 1, one), 0u);
  EXPECT_EQ(one.Text(), "M\tN\xB0\tHour\tN ()\r\n \t5\t00:00:04.000\t        4\r\n");

  std::vector<int64_t> aCalls;
  CStringRecordSink sink;
  int64_t nWritten = 0;
  auto progress = [&](int64_t n, int64_t nTotal) { return aCalls.push_back(n), nTotal == 150; };
  EXPECT_EQ(WriteRecordLines(rows, 0, 150, sink, progress, &nWritten), 0u);
  EXPECT_EQ(aCalls, (std::vector<int64_t>{64, 128}));
  EXPECT_EQ(nWritten, 150);

  // A cancel during the first 100 rows stops at the next multiple of 64.
  CStringRecordSink cancelled;
  EXPECT_EQ(WriteRecordLines(rows, 0, 200, cancelled, [](int64_t n, int64_t) { return n < 100; }, &nWritten), 0u);
  EXPECT_EQ(nWritten, 128);
  EXPECT_EQ(std::count(cancelled.Text().begin(), cancelled.Text().end(), '\n'), 129) << "the title and 128 rows stay";

  CFailingSink failing;
  EXPECT_EQ(WriteRecordLines(rows, 0, 3, failing), static_cast<unsigned>(EXPORT_WRITE_ERROR));

  // The CSV writer stops at the same steps: Cancel at the first progress call keeps 64 rows.
  CStringRecordSink csv;
  EXPECT_EQ(WriteCsvLines(CHistRowText(m_doc, sListOptions{}), 0, 200, CSV_ERRORS_EMPTY, csv,
                          [](int64_t, int64_t) { return false; }, &nWritten), 0u);
  EXPECT_EQ(nWritten, 64);
  EXPECT_EQ(std::count(csv.Text().begin(), csv.Text().end(), '\n'), 65) << "no title, 64 rows";

  // Several selected blocks give exactly their rows.
  opt.m_bShowFraction = false;
  CHistRowText whole(m_doc, opt);
  CRecordSelection sel;
  sel.Select(150, 151);
  sel.Select(3, 4);
  CStringRecordSink blocks;
  EXPECT_EQ(WriteRecordLines(whole, sel.GetBlocks(), blocks), 0u);
  EXPECT_EQ(blocks.Text(),
            "M\tN\xB0\tHour\tN ()\r\n"
            " \t4\t00:00:03\t        3\r\n \t5\t00:00:04\t        4\r\n"
            " \t151\t00:02:30\t      150\r\n \t152\t00:02:31\t      151\r\n");

  // Progress counts the rows of all blocks; a cancel keeps what was written.
  CRecordSelection two;
  two.Select(0, 49);
  two.Select(100, 199);
  aCalls.clear();
  CStringRecordSink part;
  WriteRecordLines(whole, two.GetBlocks(), part, [&](int64_t n, int64_t nTotal) { return aCalls.push_back(n), nTotal == 150 && n < 128; },
                   &nWritten);
  EXPECT_EQ(aCalls, (std::vector<int64_t>{64, 128}));
  EXPECT_EQ(nWritten, 128);
  // Row 128 of the selection is record 178.
  EXPECT_TRUE(part.Text().find("\t178\t") != std::string::npos && part.Text().find("\t179\t") == std::string::npos);
}

TEST(RecordSelection, BlocksClicksFocusKeysAndScrolling) {
  CRecordSelection sel;
  EXPECT_TRUE(!sel.HasSelection() && sel.GetFirst() == -1);
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
  EXPECT_EQ((std::vector<bool>{sel.IsSelected(6), sel.IsSelected(7), sel.IsSelected(41)}),
            (std::vector<bool>{true, false, false}));
  // The eighth selected row is the first of the second block.
  EXPECT_EQ((std::vector<int>{sel.GetSelectedRow(0), sel.GetSelectedRow(7), sel.GetSelectedRow(37), sel.GetSelectedRow(38)}),
            (std::vector<int>{0, 10, 40, -1}));

  CRecordSelection all;
  all.Select(0, 99999999);
  EXPECT_EQ(std::tuple(all.GetCount(), all.GetBlocks().size(), all.GetLast()), std::tuple(100000000, 1u, 99999999));

  // Clicks, the mark and the focus.
  CRecordSelection clicks;
  clicks.ClickRow(5, true);  // Shift without a mark: a plain click
  EXPECT_EQ(clicks.GetBlocks(), (std::vector<sRowBlock>{{5, 5}}));
  EXPECT_EQ(clicks.GetMark(), 5);
  clicks.ClickRow(9, true);
  EXPECT_TRUE(clicks.GetBlocks() == (std::vector<sRowBlock>{{5, 9}}) && clicks.GetFocus() == 9);
  clicks.ClickRow(2, true);
  EXPECT_EQ(clicks.GetBlocks(), (std::vector<sRowBlock>{{2, 5}})) << "the mark stays where the block started";
  clicks.ClickRow(7, false);
  EXPECT_TRUE(clicks.GetBlocks() == (std::vector<sRowBlock>{{7, 7}}) && clicks.GetMark() == 7);
  clicks.Clear();
  EXPECT_TRUE(!clicks.HasSelection() && clicks.GetMark() == 7) << "deselecting keeps the mark";
  clicks.Reset();
  EXPECT_EQ(std::pair(clicks.GetMark(), clicks.GetFocus()), std::pair(-1, -1));

  // Focus keys and scrolling.
  const struct { int nFocus; eListKey eKey; int nRows, nExpected; } aKeys[] = {{-1, LIST_KEY_DOWN, 100, 0}, {-1, LIST_KEY_END, 100, 99},   {0, LIST_KEY_UP, 100, 0},
               {5, LIST_KEY_PAGE_DOWN, 100, 14}, {95, LIST_KEY_PAGE_DOWN, 100, 99}, {5, LIST_KEY_PAGE_UP, 100, 0},
               {5, LIST_KEY_END, 100000000, 99999999}, {5, LIST_KEY_HOME, 100, 0}, {5, LIST_KEY_DOWN, 0, -1},
               {5, LIST_KEY_DOWN, 100, 6}, {99, LIST_KEY_DOWN, 100, 99}};
  for (const auto& k : aKeys)
    EXPECT_EQ(StepFocusRow(k.nFocus, k.eKey, 10, k.nRows), k.nExpected) << k.nFocus << " " << k.eKey;
  // Fewer rows than a page: 0; a row already in view: no scrolling.
  EXPECT_EQ((std::vector<int>{ClampTopRow(95, 10, 100), ClampTopRow(-3, 10, 100), ClampTopRow(4, 10, 5),
                              TopRowShowing(0, 99999999, 30, 100000000), TopRowShowing(50, 55, 10, 100),
                              TopRowShowing(50, 60, 10, 100), TopRowShowing(50, 20, 10, 100)}),
            (std::vector<int>{90, 0, 0, 99999970, 50, 51, 20}));
}

// 2026-01-01 00:00:00; a counter step of 100 ms; channel 0's offset moves the row time.
CResultsFileBuilder CsvFile() {
  CResultsFileBuilder b(3, CResultsFileBuilder::ThreeChannelXml("N, \"raw\"", 6));
  b.aRecords = {{1767225600u, 0, {{0, 0, 21.26f}, {0, 0, 7.0f}, {0, 0, 123456.789f}}},
                {1767225600u, 1, {{-1, 0, -0.04f}, {5, 7, 0.0f}, {0, 12, 0.0f}}},
                {1767225659u, 9, {{999, 0, std::numeric_limits<float>::quiet_NaN()}, {0, 0, 1e9f}, {0, 0, 1.5f}}}};
  return b;
}

struct RecordCsv : CResultsTest {
  CZK7Doc& m_doc = Opened(CsvFile(), "run.zk");
  std::string Csv(eCsvErrors e, sListOptions opt = {}, int nFirst = 0, int nCount = 3) {
    CHistRowText rows(m_doc, opt);
    CStringRecordSink sink;
    EXPECT_EQ(WriteCsvLines(rows, nFirst, nCount, e, sink), 0u);
    return sink.Text();
  }
};

TEST_F(RecordCsv, SameTextsUnderEveryRegionalConvention) {
  const std::string strExpected =
      "time,T1 [\xC2\xB0" "C],\"N, \"\"raw\"\"\",P [kW]\r\n"
      "2026-01-01T00:00:00.000,21.3,7,123456.79\r\n"
      "2026-01-01T00:00:00.099,-0.0,,\r\n"
      "2026-01-01T00:01:00.899,,1.00000e9,1.500000\r\n";
  for (const CRegionalSettings& rs : {CRegionalSettings::Plain(), CRegionalSettings(',', '.', '.', "dd.MM.yyyy")}) {
    SCOPED_TRACE(rs.GetDecimalSeparator());
    SetRegionalSettings(rs);
    EXPECT_EQ(Csv(CSV_ERRORS_EMPTY), strExpected);
  }

  // Error texts in quotes, and chosen channels.
  sListOptions opt;
  opt.m_aDisplayedChannels = {2, 1};
  const std::string strTitle = "time,P [kW],\"N, \"\"raw\"\"\"\r\n";
  EXPECT_EQ(Csv(CSV_ERRORS_TEXT, opt, 1, 1), strTitle + "2026-01-01T00:00:00.099,\"Err. 12\",\"Err. 7\"\r\n");
  m_doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_AND_MEANING);
  EXPECT_EQ(Csv(CSV_ERRORS_TEXT, opt, 1, 1),
            strTitle + "2026-01-01T00:00:00.099,\"Err. 12 (Broken wire (voltage))\",\"Err. 7 (Overload (too high))\"\r\n");
}

TEST_F(RecordCsv, BlocksProgressCancelAndWriteError) {
  CHistRowText rows(m_doc, sListOptions{});
  CStringRecordSink sink;
  int64_t nWritten = -1;
  EXPECT_EQ(WriteCsvLines(rows, {{2, 2}, {0, 0}}, CSV_ERRORS_EMPTY, false, sink, {}, &nWritten), 0u);
  EXPECT_EQ(nWritten, 2);
  EXPECT_EQ(sink.Text(), "2026-01-01T00:01:00.899,,1.00000e9,1.500000\r\n2026-01-01T00:00:00.000,21.3,7,123456.79\r\n")
      << "the blocks in the order given, without a header";

  CFailingSink failing;
  EXPECT_EQ(WriteCsvLines(rows, 0, 3, CSV_ERRORS_EMPTY, failing), unsigned(EXPORT_WRITE_ERROR));
}

TEST(RecordCsvFields, QuotingNamesAndProposedFile) {
  const struct { const char* pszIn; bool bQuote; const char* pszOut; } cases[] = {{"plain", false, "plain"},  {"a,b", false, "\"a,b\""}, {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
               {"two\nlines", false, "\"two\nlines\""}, {"cr\r", false, "\"cr\r\""}, {"Err. 7", true, "\"Err. 7\""},
               {"", false, ""}};
  std::string s;
  for (const auto& c : cases) {
    s.clear();
    AppendCsvField(s, c.pszIn, c.bQuote);
    EXPECT_EQ(s, c.pszOut) << c.pszIn;
  }
  EXPECT_EQ(ChannelColumnTitle("Oven", "") + "|" + ChannelColumnTitle("Oven", "\xB0" "C"), "Oven|Oven [\xB0" "C]");
  s.clear();
  AppendLatin1AsUtf8(s, "a\xB0\xFF");
  EXPECT_EQ(s, "a\xC2\xB0\xC3\xBF");
  EXPECT_EQ(ProposeCsvFileName("run.2024.zk"), "run.2024.csv");

  // The export's proposed file name.
  // Never ".txt" alone, a hidden file; a colon or bar ends the name.
  const std::pair<const char*, const char*> aCases[] = {{"run.2024.zk", "run.2024.txt"}, {"plant.zk", "plant.txt"},
                                                        {"noextension", "noextension.txt"}, {"a:b", "a.txt"},
                                                        {"a:b*c.zk", "a.txt"}, {"x|y.zk", "x.txt"}};
  for (const auto& [pszIn, pszOut] : aCases) EXPECT_EQ(ProposeExportFileName(pszIn), pszOut) << pszIn;
}

} // namespace
