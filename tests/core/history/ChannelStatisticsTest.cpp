// Statistics between two records: hand-computed cases, and agreement with a
// plain two-pass computation over the record access operations.
#include <cmath>
#include <clocale>

#include "ResultsFixture.h"
#include "history/ChannelStatistics.h"
#include "samples/SampleWriter.h"

using namespace zk7;

namespace {

using ChannelStatisticsTest = CResultsTest;

TEST_F(ChannelStatisticsTest, ValuesErrorsExtremesTheBrokenTrapezoidAndTheProgramText) {
  CResultsFileBuilder b;
  b.nTimeUnit = 1000;  // one second per counter step
  // Channel 1: 1, 3, error, 5, 7 one second apart; channel 2 is 500 ms late and constant.
  const float aValues[] = {1, 3, 0, 5, 7};
  for (uint32_t i = 0; i < 5; ++i)
    b.aRecords.push_back({1767225600u, i, {{0, static_cast<uint16_t>(i == 2 ? 12 : 0), aValues[i]}, {500, 0, 2.0f}}});
  CZK7Doc& doc = Opened(b);

  std::vector<sChannelStatistics> a;
  ASSERT_TRUE(CChannelStatistics::Compute(doc, 0, 4, {0, 1, 7}, a));
  ASSERT_EQ(a.size(), 2u) << "a channel the file does not have is left out";
  const sChannelStatistics& s = a[0];
  EXPECT_EQ(std::tuple(s.nCount, s.nErrors, s.dMin, s.dMax), std::tuple(4, 1, 1.0, 7.0));
  EXPECT_DOUBLE_EQ(s.PeakToPeak(), 6.0);
  EXPECT_DOUBLE_EQ(s.dMean, 4.0);
  EXPECT_DOUBLE_EQ(s.dStdDev, std::sqrt(5.0));             // (9 + 1 + 1 + 9) / 4
  EXPECT_DOUBLE_EQ(s.dRms, std::sqrt((1 + 9 + 25 + 49) / 4.0));
  // 1..3 over one second, then the error breaks the run, then 5..7: 2 + 6.
  EXPECT_DOUBLE_EQ(s.dIntegral, 8.0);
  EXPECT_NEAR((s.dMaxTime - doc.GetRecordTime(4, 0)) * 86400.0, 0.0, 1e-6);

  const sChannelStatistics& c2 = a[1];
  EXPECT_EQ(std::tuple(c2.nCount, c2.dStdDev, c2.dIntegral), std::tuple(5, 0.0, 8.0));  // 2 units over 4 s
  EXPECT_NEAR((c2.dMinTime - doc.GetRecordTime(0, 1)) * 86400000.0, 0.0, 1e-3) << "the channel's own offset";

  // A single record: one value, no trapezoid; no cell for the integral.
  ASSERT_TRUE(CChannelStatistics::Compute(doc, 4, 4, {0}, a));
  EXPECT_EQ(std::tuple(a[0].nCount, a[0].dIntegral, StatisticsRowCells(doc, a[0]).back()), std::tuple(1, 0.0, std::string()));

  // Only errors: nothing to show but the counts.
  ASSERT_TRUE(CChannelStatistics::Compute(doc, 2, 2, {0}, a));
  EXPECT_EQ(std::pair(a[0].nCount, a[0].nErrors), std::pair(int64_t{0}, int64_t{1}));
  EXPECT_EQ(StatisticsTsvText(doc, a).substr(StatisticsTsvText(doc, a).find('\n') + 1),
            "1\t" + doc.GetChannelName(0) + "\t" + doc.GetChannelUnit(0) + "\t0\t1\tnan\tnan\tnan\tnan\tnan\t0\n");

  // The program's text ignores the numeric locale.
  CResultsFileBuilder two;
  two.aRecords.push_back({1767225600u, 0, {{0, 0, 0.1f}, {0, 0, 12345678.0f}}});
  two.aRecords.push_back({1767225600u, 10, {{0, 0, 0.2f}, {0, 0, 12345679.0f}}});
  CZK7Doc& twoDoc = Opened(two);
  std::vector<sChannelStatistics> aTwo;
  ASSERT_TRUE(CChannelStatistics::Compute(twoDoc, 0, 1, {0, 1}, aTwo));
  const char* pszOld = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  const std::string strTsv = StatisticsTsvText(twoDoc, aTwo);
  if (pszOld) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(strTsv.substr(0, strTsv.find('\n')), "channel\tname\tunit\tcount\terrors\tmin\tmax\tmean\trms\tstddev\tintegral_s");
  // float 0.1 and 0.2 at full float precision; the integral over one second.
  EXPECT_NE(strTsv.find("\t2\t0\t0.100000001\t0.200000003\t0.150000002\t"), std::string::npos) << strTsv;
  EXPECT_NE(strTsv.find("\t12345678\t12345679\t12345678.5\t"), std::string::npos) << strTsv;
  EXPECT_EQ(StatisticsTabText(twoDoc, aTwo).substr(0, 17), "Channel\tName\tUnit") << "the window's copy";
}

TEST_F(ChannelStatisticsTest, AgreesWithATwoPassComputationAndCancels) {
  sSampleSpec spec;
  spec.nChannels = 6, spec.nRecords = 150000, spec.nPeriodMs = 250;
  CSampleWriter writer(spec);
  ASSERT_TRUE(writer.WriteFile(Path("s.zk")));
  CZK7Doc doc;
  ASSERT_TRUE(doc.OnOpenDocument(Path("s.zk")));
  const int nFirst = 1234, nLast = 140000;
  std::vector<sChannelStatistics> a;
  ASSERT_TRUE(CChannelStatistics::Compute(doc, nFirst, nLast, {0, 1, 2, 3, 4, 5}, a));
  for (const sChannelStatistics& s : a) {
    SCOPED_TRACE(s.nChannel);
    // One plain pass in long double: sums, extremes, and trapezoids between runs of valid values.
    long double dSum = 0, dSquares = 0;
    double dIntegral = 0; double dMin = INFINITY, dMax = -INFINITY, dPrevT = NAN, dPrevV = 0;
    int64_t nCount = 0, nErrors = 0;
    for (int r = nFirst; r <= nLast; ++r) {
      unsigned nError; double dTime;
      const double v = doc.GetChannelValue(s.nChannel, r, nError, dTime);
      if (nError) { ++nErrors, dPrevT = NAN; continue; }
      ++nCount, dSum += v, dSquares += static_cast<long double>(v) * v;
      dMin = std::min(dMin, v), dMax = std::max(dMax, v);
      if (!std::isnan(dPrevT)) dIntegral += (dTime - dPrevT) * 86400.0 * (v + dPrevV) / 2;
      dPrevT = dTime, dPrevV = v;
    }
    const double dMean = static_cast<double>(dSum / nCount);
    const double dVar = static_cast<double>(dSquares / nCount - dSum / nCount * (dSum / nCount));
    EXPECT_EQ(std::tuple(s.nCount, s.nErrors, s.dMin, s.dMax), std::tuple(nCount, nErrors, dMin, dMax));
    const double dScale = std::max(1.0, std::fabs(dMean));
    EXPECT_NEAR(s.dMean, dMean, 1e-9 * dScale);
    EXPECT_NEAR(s.dStdDev, std::sqrt(dVar), 1e-6 * std::max(1.0, std::sqrt(dVar)));
    EXPECT_NEAR(s.dRms, std::sqrt(dVar + dMean * dMean), 1e-6 * dScale);
    EXPECT_NEAR(s.dIntegral, dIntegral, 1e-6 * std::max(1.0, std::fabs(dIntegral)));
  }

  int nCalls = 0;
  EXPECT_FALSE(CChannelStatistics::Compute(doc, 0, 149999, {0}, a,
                                           [&](int64_t nDone, int64_t nTotal) { return nTotal == 150000 && ++nCalls < 2 && nDone < nTotal; }));
  EXPECT_EQ(nCalls, 2) << "stopped at the first progress step after the start";
}

} // namespace
