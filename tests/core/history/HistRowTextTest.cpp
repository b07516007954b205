// The record list's columns, cells and lines, and the export writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "format/RegionalSettings.h"
#include "history/HistRowText.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"

using namespace zk7;

namespace {

class HistRowText : public ::testing::Test {
protected:
  std::string m_strDir = MakeTempDir("zk7-rows");
  CZK7Doc m_doc;
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
    for (uint32_t i = 0; i < 200; ++i)
      b.aRecords.push_back({1767225600u, 10 * i, {{0, 0, 20.0f + 0.5f * i}, {12, 0, float(i)}, {-7, static_cast<uint16_t>(i == 2 ? 12 : 0), 1.5f}}});
    b.WriteTo(m_strDir + "/run.2024.zk");
    ASSERT_TRUE(m_doc.OnOpenDocument(m_strDir + "/run.2024.zk"));
  }
  void TearDown() override { std::filesystem::remove_all(m_strDir); }
};

TEST_F(HistRowText, ColumnsFollowTheOptions) {
  sListOptions opt;
  opt.m_nTimeFormat = TimeFormatFromFile(m_doc);
  EXPECT_EQ(opt.m_nTimeFormat, 1) << "one calendar day: time only";
  CHistRowText rows(m_doc, opt);
  EXPECT_EQ(rows.GetTitleLine(), "M\tN\xB0\tHour\tT1 (\xB0" "C)\tN ()\tP (kW)");
  ASSERT_EQ(rows.GetColumnCount(), 6);
  EXPECT_EQ(rows.GetColumns()[0].nMinWidth, 2);
  EXPECT_EQ(rows.GetColumns()[1].nMinWidth, 6);
  EXPECT_EQ(rows.GetColumns()[2].nMinWidth, 23);
  EXPECT_EQ(rows.GetColumns()[2].nAlign, 0);
  EXPECT_EQ(rows.GetColumns()[3].nMinWidth, 10);
  EXPECT_EQ(rows.GetColumns()[3].nAlign, 1);

  opt.m_nTimeFormat = 0;
  opt.m_bMsOffsetColumns = true;
  opt.m_aDisplayedChannels = {2, 0};
  CHistRowText shown(m_doc, opt);
  EXPECT_EQ(shown.GetTitleLine(), "M\tN\xB0\tDate\tms\tP (kW)\tms\tT1 (\xB0" "C)");
  EXPECT_EQ(shown.GetCellText(2, 3), "-7");
  EXPECT_EQ(shown.GetCellText(2, 4), "Err. 12");
  EXPECT_EQ(shown.GetCellText(2, 5), "0");
  EXPECT_EQ(shown.GetCellText(2, 6), "     21.0");
  EXPECT_EQ(shown.GetCellText(2, 7), "") << "beyond the displayed channels";
  EXPECT_EQ(shown.GetCellText(2, 2), "01/01/2026 00:00:02.000");

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
  EXPECT_EQ(rows.GetRowMarker(3), MARKER_CURSOR1);
  EXPECT_EQ(rows.GetRowMarker(7), MARKER_CURSOR2);
  EXPECT_EQ(rows.GetRowMarker(5), MARKER_FIXED);
  EXPECT_EQ(rows.GetRowMarker(6), MARKER_NONE);
  EXPECT_EQ(rows.GetRowLine(3), "2\t4\t00:00:03.0\t     21.5\t        3\t    1.500") << "a mark number is kept";
  EXPECT_EQ(rows.GetRowLine(7), ">>\t8\t00:00:07.0\t     23.5\t        7\t    1.500");
  EXPECT_EQ(rows.GetRowLine(6), " \t7\t00:00:06.0\t     23.0\t        6\t    1.500");

  opt.m_aFixedMarks.clear();
  opt.m_nCursor2Record = 3;
  CHistRowText both(m_doc, opt);
  EXPECT_EQ(both.GetRowMarker(3), MARKER_BOTH);
  EXPECT_EQ(both.GetRowLine(3).substr(0, 4), ">>>\t");
  opt.m_nCursor2Record = -1;
  CHistRowText one(m_doc, opt);
  EXPECT_EQ(one.GetRowLine(3).substr(0, 2), ">\t");
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
  EXPECT_EQ(WriteRecordLines(rows, 0, 150, sink,
                             [&](int64_t n, int64_t nTotal) {
                               aCalls.push_back(n);
                               EXPECT_EQ(nTotal, 150);
                               return true;
                             },
                             &nWritten),
            0u);
  EXPECT_EQ(aCalls, (std::vector<int64_t>{64, 128}));
  EXPECT_EQ(nWritten, 150);

  // A cancel during the first 100 rows stops at the next multiple of 64.
  CStringRecordSink cancelled;
  EXPECT_EQ(WriteRecordLines(rows, 0, 200, cancelled, [](int64_t n, int64_t) { return n < 100; }, &nWritten), 0u);
  EXPECT_EQ(nWritten, 128);
  const std::string& s = cancelled.Text();
  EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), 129) << "the title line and 128 rows stay";

  struct CFailingSink : IRecordSink {
    bool Write(const char*, size_t) override { return false; }
  } failing;
  EXPECT_EQ(WriteRecordLines(rows, 0, 3, failing), static_cast<unsigned>(EXPORT_WRITE_ERROR));
}

TEST(RecordExport, ProposedFileName) {
  EXPECT_EQ(ProposeExportFileName("run.2024.zk"), "run.2024.txt");
  EXPECT_EQ(ProposeExportFileName("plant.zk"), "plant.txt");
  EXPECT_EQ(ProposeExportFileName("noextension"), "noextension.txt");  // never ".txt", a hidden file
  EXPECT_EQ(ProposeExportFileName("a:b"), "a.txt");
  EXPECT_EQ(ProposeExportFileName("a:b*c.zk"), "a.txt");
  EXPECT_EQ(ProposeExportFileName("x|y.zk"), "x.txt");
}

} // namespace
