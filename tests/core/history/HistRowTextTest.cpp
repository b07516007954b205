// The record list's columns, cells and lines, and the export writer.
#include "ResultsFixture.h"
#include "history/HistRowText.h"
#include "history/RecordExport.h"

using namespace zk7;

namespace {

class HistRowText : public CResultsTest {
protected:
  CZK7Doc m_doc;
  void SetUp() override {
    CResultsTest::SetUp();
    CResultsFileBuilder b;
    b.nChannels = 3;
    b.strXml = CResultsFileBuilder::ThreeChannelXml();
    b.AddRecords(200, 3, 1767225600u, 10, [](int i, int c) {
      return c == 0 ? sRawSample{0, 0, 20.0f + 0.5f * i} : c == 1 ? sRawSample{12, 0, float(i)}
                                                             : sRawSample{-7, uint16_t(i == 2 ? 12 : 0), 1.5f};
    });
    Open(m_doc, b, "run.2024.zk");
  }
};

TEST_F(HistRowText, ColumnsFollowTheOptions) {
  sListOptions opt;
  opt.m_nTimeFormat = TimeFormatFromFile(m_doc);
  EXPECT_EQ(opt.m_nTimeFormat, 1) << "one calendar day: time only";
  CHistRowText rows(m_doc, opt);
  EXPECT_EQ(rows.GetTitleLine(), "M\tN\xB0\tHour\tT1 (\xB0" "C)\tN ()\tP (kW)");
  ASSERT_EQ(rows.GetColumnCount(), 6);
  const auto& aCols = rows.GetColumns();
  EXPECT_EQ((std::vector<int>{aCols[0].nMinWidth, aCols[1].nMinWidth, aCols[2].nMinWidth, aCols[3].nMinWidth}),
            (std::vector<int>{2, 6, 23, 10}));
  EXPECT_EQ(aCols[2].nAlign, 0);
  EXPECT_EQ(aCols[3].nAlign, 1);

  opt.m_nTimeFormat = 0;
  opt.m_bMsOffsetColumns = true;
  opt.m_aDisplayedChannels = {2, 0};
  CHistRowText shown(m_doc, opt);
  EXPECT_EQ(shown.GetTitleLine(), "M\tN\xB0\tDate\tms\tP (kW)\tms\tT1 (\xB0" "C)");
  const std::vector<std::string> aCells = {"01/01/2026 00:00:02.000", "-7", "Err. 12", "0", "     21.0", ""};
  for (int c = 2; c <= 7; ++c) EXPECT_EQ(shown.GetCellText(2, c), aCells[c - 2]) << "column " << c;

  opt.m_aDisplayedChannels = {};
  opt.m_bShowFraction = false;
  opt.m_bMsOffsetColumns = false;
  CHistRowText all(m_doc, opt);
  EXPECT_EQ(all.GetOptions().m_aDisplayedChannels, (std::vector<int>{0, 1, 2})) << "nothing displayed: every channel";
  EXPECT_EQ(all.GetCellText(199, 1), "200");
  EXPECT_EQ(all.GetCellText(199, 2), "01/01/2026 00:03:19");
}

TEST_F(HistRowText, MarkersAndTheMarkCell) {
  sListOptions opt;
  opt.m_nTimeFormat = 1;
  opt.m_nFractionDigits = 1;
  opt.m_aFixedMarks = {5, 3, 5};
  opt.m_nCursor1Record = 3;
  opt.m_nCursor2Record = 7;
  CHistRowText rows(m_doc, opt);
  EXPECT_EQ(rows.GetCellText(3, 0), "2");
  EXPECT_EQ(rows.GetCellText(5, 0), "1") << "the first mark on the record gives its number";
  EXPECT_EQ((std::vector<int>{rows.GetRowMarker(3), rows.GetRowMarker(7), rows.GetRowMarker(5), rows.GetRowMarker(6)}),
            (std::vector<int>{MARKER_CURSOR1, MARKER_CURSOR2, MARKER_FIXED, MARKER_NONE}));
  EXPECT_EQ(rows.GetRowLine(3), "2\t4\t00:00:03.0\t     21.5\t        3\t    1.500") << "a mark number is kept";
  EXPECT_EQ(rows.GetRowLine(7), ">>\t8\t00:00:07.0\t     23.5\t        7\t    1.500");
  EXPECT_EQ(rows.GetRowLine(6), " \t7\t00:00:06.0\t     23.0\t        6\t    1.500");

  opt.m_aFixedMarks.clear();
  opt.m_nCursor2Record = 3;
  CHistRowText both(m_doc, opt);
  EXPECT_EQ(both.GetRowMarker(3), MARKER_BOTH);
  EXPECT_EQ(both.GetRowLine(3).substr(0, 4), ">>>\t");
  opt.m_nCursor2Record = -1;
  EXPECT_EQ(CHistRowText(m_doc, opt).GetRowLine(3).substr(0, 2), ">\t");
}

TEST_F(HistRowText, ExportLinesProgressAndCancel) {
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
  auto progress = [&](int64_t n, int64_t nTotal) {
    aCalls.push_back(n);
    EXPECT_EQ(nTotal, 150);
    return true;
  };
  EXPECT_EQ(WriteRecordLines(rows, 0, 150, sink, progress, &nWritten), 0u);
  EXPECT_EQ(aCalls, (std::vector<int64_t>{64, 128}));
  EXPECT_EQ(nWritten, 150);

  // A cancel during the first 100 rows stops at the next multiple of 64.
  CStringRecordSink cancelled;
  EXPECT_EQ(WriteRecordLines(rows, 0, 200, cancelled, [](int64_t n, int64_t) { return n < 100; }, &nWritten), 0u);
  EXPECT_EQ(nWritten, 128);
  EXPECT_EQ(std::count(cancelled.Text().begin(), cancelled.Text().end(), '\n'), 129) << "the title and 128 rows stay";

  struct CFailingSink : IRecordSink {
    bool Write(const char*, size_t) override { return false; }
  } failing;
  EXPECT_EQ(WriteRecordLines(rows, 0, 3, failing), static_cast<unsigned>(EXPORT_WRITE_ERROR));
}

TEST(RecordExport, ProposedFileName) {
  // Never ".txt" alone, a hidden file; a colon or bar ends the name.
  const std::pair<const char*, const char*> aCases[] = {{"run.2024.zk", "run.2024.txt"}, {"plant.zk", "plant.txt"},
                                                        {"noextension", "noextension.txt"}, {"a:b", "a.txt"},
                                                        {"a:b*c.zk", "a.txt"}, {"x|y.zk", "x.txt"}};
  for (const auto& [pszIn, pszOut] : aCases) EXPECT_EQ(ProposeExportFileName(pszIn), pszOut) << pszIn;
}

} // namespace
