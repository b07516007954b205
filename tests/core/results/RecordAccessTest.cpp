// Record times, values, the search by time and the information values.
#include <cmath>

#include "ResultsFixture.h"
#include "format/Formatting.h"

using namespace zk7;

namespace {

using RecordAccess = CResultsTest;

TEST_F(RecordAccess, RecordTimesWrapAndOffsets) {
  CResultsFileBuilder b;
  b.nTimeUnit = 100;
  b.aRecords.push_back({1000000000u, 250, {{-20, 0, 1.0f}, {7, 0, 2.0f}}});
  b.aRecords.push_back({1000000000u, 50000000u, {{0, 0, 1.0f}, {-32768, 0, 2.0f}}});
  b.aRecords.push_back({0xFFFFFFFFu, 0, {{0, 0, 1.0f}, {0, 0, 2.0f}}});  // one second before 1970
  CZK7Doc doc;
  Open(doc, b);
  EXPECT_EQ(FormatDateTime(doc.GetRecordTime(0, 0), true, true, 3), "09/09/2001 01:47:04.980");
  EXPECT_EQ(FormatDateTime(doc.GetRecordTime(0, 1), true, true, 3), "09/09/2001 01:47:05.007");
  // 100 x 50,000,000 ms wraps to 705,032,704 ms.
  const double dBase = SecondsToDayNumber(1000000000);
  EXPECT_NEAR((doc.GetRecordTime(1, 0) - dBase) * 86400000.0, 705032704.0, 0.01);
  EXPECT_NEAR((doc.GetRecordTime(1, 1) - dBase) * 86400000.0, 705032704.0 - 32768.0, 0.01);
  EXPECT_EQ(doc.GetRecordTime(2, 0), 25568.0 + 86399.0 / 86400.0) << "before 1970 stays well defined";
  EXPECT_EQ(FormatDateTime(doc.GetRecordTime(2, 0), true, false, 0), "12/31/1969 23:59:59");
  EXPECT_EQ(SecondsToDayNumber(-86400 * 365LL), 25569.0 - 365.0);

  unsigned nError = 99;
  double dTime = 0;
  EXPECT_EQ(doc.GetChannelValue(1, 0, nError, dTime), 2.0f);
  EXPECT_EQ(nError, 0u);
  EXPECT_EQ(dTime, doc.GetRecordTime(0, 1));
  double dFirst, dLast;
  EXPECT_TRUE(doc.GetTimeRange(dFirst, dLast));
  EXPECT_EQ(dFirst, doc.GetRecordTime(0, 0));
  EXPECT_EQ(dLast, doc.GetRecordTime(2, 0));
}

TEST_F(RecordAccess, FindRecordByTimeTiesAndBounds) {
  CResultsFileBuilder b;
  b.AddRecords(101, 2, 1700000000u, 10, [](int, int) { return sRawSample{}; });
  CZK7Doc doc;
  Open(doc, b);
  const double t0 = doc.GetRecordTime(0, 0);
  const double dSecond = 1.0 / 86400.0;
  EXPECT_EQ((std::vector<int>{doc.FindRecordByTime(t0 - 10), doc.FindRecordByTime(t0),
                              doc.FindRecordByTime(t0 + 1000 * dSecond), doc.FindRecordByTime(t0 + 100 * dSecond)}),
            (std::vector<int>{0, 0, 100, 100}));
  for (int r = 0; r < 100; ++r) {
    const double dMid = (doc.GetRecordTime(r, 0) + doc.GetRecordTime(r + 1, 0)) / 2;
    EXPECT_EQ(doc.FindRecordByTime(dMid - 0.01 * dSecond), r);
    EXPECT_EQ(doc.FindRecordByTime(dMid + 0.01 * dSecond), r + 1);
    EXPECT_EQ(doc.FindRecordByTime(doc.GetRecordTime(r, 0)), r);
  }

  // Records two days apart at midnight: their midpoints are exact ties.
  CResultsFileBuilder days;
  for (uint32_t i = 0; i < 9; ++i) days.aRecords.push_back({1767225600u + i * 172800u, 0, {{0, 0, 0.0f}, {0, 0, 0.0f}}});
  CZK7Doc dayDoc;
  Open(dayDoc, days);
  for (int r = 0; r < 8; ++r)
    EXPECT_EQ(dayDoc.FindRecordByTime(46023.0 + 2 * r + 1), r + 1) << "an exact tie goes to the later record, r=" << r;
}

TEST_F(RecordAccess, ChannelValuesAndErrors) {
  CResultsFileBuilder b;
  b.nChannels = 4;
  b.strXml =
      "<fieldacq><session>"
      "<inputchan><display resolution=\"2\"/></inputchan><inputchan><display resolution=\"6\"/></inputchan>"
      "<inputchan><display resolution=\"auto\"/></inputchan><inputchan><display resolution=\"12\"/></inputchan>"
      "</session></fieldacq>";
  b.aRecords.push_back({0, 0, {{0, 0, 3.14159f}, {0, 0, 3.14159f}, {0, 0, 123456.789f}, {0, 0, 2.5f}}});
  b.aRecords.push_back({0, 1, {{0, 7, 3.0f}, {0, 0, 1e9f}, {0, 999, 0.0f}, {0, 0, 1e9f}}});
  CZK7Doc doc;
  Open(doc, b);
  // Resolutions 2, 6, auto and 12 (decimals above 9 shortened to fit), then errors.
  const std::vector<std::string> aTexts = {"     3.14", " 3.141590", "123456.79", "2.5000000",
                                           "Err. 7",    "1.00000e9", "Err. 999",  "1.00000e9"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(doc.FormatChannelValue(i % 4, i / 4), aTexts[static_cast<size_t>(i)]) << i;
  EXPECT_FALSE(doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_ONLY)) << "unchanged";
  EXPECT_TRUE(doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_AND_MEANING));
  EXPECT_EQ(doc.FormatChannelValue(0, 1), "Err. 7 (Overload (too high))");
  EXPECT_EQ(doc.FormatChannelValue(2, 1), "Err. 999 (?" "?" "?)");
  SetRegionalSettings(CRegionalSettings(',', ':', '/', "dd/MM/yyyy"));
  EXPECT_EQ(doc.FormatChannelValue(0, 0), "     3,14");

  float fValue = 0;
  bool bHigh = false;
  for (auto [nChannel, nLimit] : {std::pair{0, 4}, {9, 0}, {0, 0}})
    EXPECT_FALSE(doc.GetChannelLimit(nChannel, nLimit, fValue, bHigh)) << nChannel << " " << nLimit;
}

TEST_F(RecordAccess, InformationValues) {
  CResultsFileBuilder b;
  b.aRecords.push_back({1000000000u, 250, {{-20, 0, 0.0f}, {0, 0, 0.0f}}});
  // 1 h 2 min 3.5 s later.
  b.aRecords.push_back({1000000000u, 250 + 37235, {{-20, 0, 0.0f}, {0, 0, 0.0f}}});
  CZK7Doc doc;
  Open(doc, b);
  const sResultsFileInfo info = doc.GetFileInformation();
  EXPECT_EQ((std::vector<std::string>{info.strTitle, info.strConfigName, info.strAcqStart, info.strFirstRecord,
                                      info.strDuration, info.strCycles, info.strChannels}),
            (std::vector<std::string>{"Informations about fle 'f.zk'", "Test", "09/09/2001 01:46:40",
                                      "09/09/2001 01:47:04.980", "1 h 2 mn 3.500 s", "2", "2"}));
}

} // namespace
