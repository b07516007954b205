// CSV of records: header, quoting, UTF-8, ISO times, point decimals under a
// comma locale, the two error modes, blocks, write errors and Cancel.
#include <limits>

#include "ResultsFixture.h"
#include "history/HistRowText.h"
#include "history/RecordCsv.h"

using namespace zk7;

namespace {

class RecordCsv : public CResultsTest {
protected:
  CZK7Doc m_doc;
  void SetUp() override {
    CResultsTest::SetUp();
    CResultsFileBuilder b;
    b.nChannels = 3;
    b.strXml = CResultsFileBuilder::ThreeChannelXml("N, \"raw\"", 6);
    // 2026-01-01 00:00:00; a counter step of 100 ms; channel 0's offset moves the row time.
    b.aRecords.push_back({1767225600u, 0, {{0, 0, 21.26f}, {0, 0, 7.0f}, {0, 0, 123456.789f}}});
    b.aRecords.push_back({1767225600u, 1, {{-1, 0, -0.04f}, {5, 7, 0.0f}, {0, 12, 0.0f}}});
    b.aRecords.push_back({1767225659u, 9, {{999, 0, std::numeric_limits<float>::quiet_NaN()}, {0, 0, 1e9f}, {0, 0, 1.5f}}});
    Open(m_doc, b, "run.zk");
  }
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
}

TEST_F(RecordCsv, ErrorTextsInQuotesAndChosenChannels) {
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

  struct CFailingSink : IRecordSink {
    bool Write(const char*, size_t) override { return false; }
  } failing;
  EXPECT_EQ(WriteCsvLines(rows, 0, 3, CSV_ERRORS_EMPTY, failing), unsigned(EXPORT_WRITE_ERROR));

  // 200 rows of a bigger file: Cancel at the first progress call keeps 64 rows.
  CResultsFileBuilder b;
  b.nChannels = 1;
  b.strXml = CResultsFileBuilder::MakeXml({"inputchan"});
  b.AddRecords(200, 1, 1767225600u, 1, [](int i, int) { return sRawSample{0, 0, float(i)}; });
  CZK7Doc doc;
  Open(doc, b, "long.zk");
  CStringRecordSink cancelled;
  EXPECT_EQ(WriteCsvLines(CHistRowText(doc, sListOptions{}), 0, 200, CSV_ERRORS_EMPTY, cancelled,
                          [](int64_t, int64_t) { return false; }, &nWritten),
            0u);
  EXPECT_EQ(nWritten, 64);
  EXPECT_EQ(std::count(cancelled.Text().begin(), cancelled.Text().end(), '\n'), 65);
}

TEST(RecordCsvFields, QuotingNamesAndProposedFile) {
  const struct {
    const char* pszIn;
    bool bQuote;
    const char* pszOut;
  } cases[] = {{"plain", false, "plain"},  {"a,b", false, "\"a,b\""}, {"say \"hi\"", false, "\"say \"\"hi\"\"\""},
               {"two\nlines", false, "\"two\nlines\""}, {"cr\r", false, "\"cr\r\""}, {"Err. 7", true, "\"Err. 7\""},
               {"", false, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszIn);
    std::string s;
    AppendCsvField(s, c.pszIn, c.bQuote);
    EXPECT_EQ(s, c.pszOut);
  }
  EXPECT_EQ(ChannelColumnTitle("Oven", ""), "Oven");
  EXPECT_EQ(ChannelColumnTitle("Oven", "\xB0" "C"), "Oven [\xB0" "C]");
  std::string s;
  AppendLatin1AsUtf8(s, "a\xB0\xFF");
  EXPECT_EQ(s, "a\xC2\xB0\xC3\xBF");
  EXPECT_EQ(ProposeCsvFileName("run.2024.zk"), "run.2024.csv");
}

} // namespace
