// The graph's point store: one pass over the records, progress and cancel, and
// an envelope that keeps every extreme at screen resolution.
#include <cmath>
#include <limits>
#include <random>

#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "history/GraphPoints.h"

using namespace zk7;

namespace {

constexpr uint32_t BASE = 1767225600u;  // 2026-01-01 00:00:00

class GraphPoints : public CResultsTest {
protected:
  CZK7Doc m_doc;
  std::vector<float> m_aValues;  // channel 1 values, record order

  // nRecords records one second apart (counter in 100 ms units); channel 0 a
  // ramp, channel 1 random values with NaN samples, channel 2 offset by 7 ms.
  void Make(int nRecords, bool bNaN = false) {
    CResultsFileBuilder b;
    b.nChannels = 3;
    b.strXml = CResultsFileBuilder::MakeXml({"inputchan", "inputchan", "calcchan"});
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-100.0f, 100.0f);
    for (int i = 0; i < nRecords; ++i) {
      float f = dist(rng);
      if (bNaN && i % 97 == 5) f = std::numeric_limits<float>::quiet_NaN();
      m_aValues.push_back(f);
      b.aRecords.push_back({BASE, static_cast<uint32_t>(10 * i),
                            {{0, 0, static_cast<float>(i)}, {0, static_cast<uint16_t>(i % 50 == 3 ? 7 : 0), f},
                             {7, 0, -static_cast<float>(i)}}});
    }
    Open(m_doc, b, "p.zk");
  }
};

TEST_F(GraphPoints, OnePassGivesTheDocumentsPointsWithTheirOwnTimes) {
  Make(300);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 20, 219, 0.0, -1), CGraphPoints::LOAD_OK);
  ASSERT_EQ(pts.GetPointCount(), 200);
  EXPECT_EQ(pts.GetFirstRecord(), 20);
  EXPECT_EQ(pts.GetChannelCount(), 3);
  for (int i = 0; i < 200; i += 13) {
    for (int c = 0; c < 3; ++c) {
      unsigned nError;
      double t;
      const float f = m_doc.GetChannelValue(c, 20 + i, nError, t);
      EXPECT_EQ(pts.GetY(c, i), static_cast<double>(f)) << "record " << 20 + i << " channel " << c;
      EXPECT_NEAR(pts.GetX(c, i), t, 1e-10) << "record " << 20 + i << " channel " << c;
    }
  }
  // A sample in error is plotted with its stored value.
  EXPECT_EQ(pts.GetY(1, 53 - 20), static_cast<double>(m_aValues[53]));
  // Channel 2 lies 7 ms after channel 0.
  EXPECT_NEAR((pts.GetX(2, 0) - pts.GetX(0, 0)) / ONE_MS, 7.0, 1e-3);

  // With a time base the times shift; against an X channel x is that channel's value.
  ASSERT_EQ(pts.Load(m_doc, 0, 9, m_doc.GetRecordTime(0, 0), -1), CGraphPoints::LOAD_OK);
  EXPECT_NEAR(pts.GetX(0, 4) / ONE_SECOND, 4.0, 1e-6);
  ASSERT_EQ(pts.Load(m_doc, 0, 299, 0.0, 2), CGraphPoints::LOAD_OK);
  EXPECT_EQ(pts.GetXChannel(), 2);
  EXPECT_EQ(pts.GetX(0, 17), -17.0);
  EXPECT_EQ(pts.GetX(1, 17), -17.0);
  double dMin, dMax;
  ASSERT_TRUE(pts.GetXRange(dMin, dMax));
  EXPECT_EQ(dMin, -299.0);
  EXPECT_EQ(dMax, 0.0);
}

TEST_F(GraphPoints, ProgressEvery5000RecordsAndCancelLeavesNothing) {
  Make(12001);
  CGraphPoints pts;
  std::vector<int> aCalls;
  ASSERT_EQ(pts.Load(m_doc, 0, 12000, 0.0, -1, [&](int n) { aCalls.push_back(n); return true; }),
            CGraphPoints::LOAD_OK);
  EXPECT_EQ(aCalls, (std::vector<int>{0, 5000, 10000}));
  EXPECT_EQ(pts.GetPointCount(), 12001);

  aCalls.clear();
  EXPECT_EQ(pts.Load(m_doc, 0, 12000, 0.0, -1, [&](int n) { aCalls.push_back(n); return n < 5000; }),
            CGraphPoints::LOAD_CANCELLED);
  EXPECT_EQ(aCalls, (std::vector<int>{0, 5000}));
  EXPECT_TRUE(pts.IsEmpty());
  EXPECT_EQ(pts.GetChannelCount(), 0);
  std::vector<double> x, y;
  pts.GetDrawPoints(0, 0, 1e9, 100, x, y);
  EXPECT_TRUE(x.empty());
}

TEST_F(GraphPoints, EnvelopeKeepsEveryColumnsExtremes) {
  Make(100000, true);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 0, 99999, 0.0, -1), CGraphPoints::LOAD_OK);
  const double t0 = m_doc.GetRecordTime(0, 0);
  struct sView { double dFrom, dTo; int nColumns; };
  // Whole file, a ragged middle, a narrow window just above the raw threshold.
  for (const sView v : {sView{0, 99999, 1600}, sView{1234.5, 77777.25, 997}, sView{500.3, 1700.9, 300}}) {
    const double dXMin = t0 + v.dFrom * ONE_SECOND, dXMax = t0 + v.dTo * ONE_SECOND;
    std::vector<double> x, y;
    pts.GetDrawPoints(1, dXMin, dXMax, v.nColumns, x, y);
    ASSERT_EQ(x.size(), y.size());
    EXPECT_LE(x.size(), 2u * v.nColumns + 2) << "about two points per column";
    const double dWidth = (dXMax - dXMin) / v.nColumns;
    // Every column: the smallest and largest finite value of its records are drawn, nothing beyond.
    for (int k = 0; k < v.nColumns; ++k) {
      const double a = dXMin + k * dWidth, b = k + 1 == v.nColumns ? dXMax : dXMin + (k + 1) * dWidth;
      float fMin = INFINITY, fMax = -INFINITY;
      for (int i = static_cast<int>(std::max(0.0, std::floor(v.dFrom + k * (v.dTo - v.dFrom) / v.nColumns) - 1));
           i < 100000; ++i) {
        const double t = m_doc.GetRecordTime(i, 0);
        if (t > b + 1e-12) break;
        if (t < a || (t >= b && k + 1 != v.nColumns)) continue;
        if (std::isfinite(m_aValues[i])) fMin = std::min(fMin, m_aValues[i]), fMax = std::max(fMax, m_aValues[i]);
      }
      if (fMin > fMax) continue;
      double dDrawnMin = INFINITY, dDrawnMax = -INFINITY;
      for (size_t j = 0; j < x.size(); ++j)
        if (x[j] >= a - 1e-12 && x[j] <= b && !std::isnan(y[j])) dDrawnMin = std::min(dDrawnMin, y[j]), dDrawnMax = std::max(dDrawnMax, y[j]);
      ASSERT_EQ(dDrawnMin, fMin) << "column " << k;
      ASSERT_EQ(dDrawnMax, fMax) << "column " << k;
    }
    // The neighbours beyond both edges keep the line running off the plot.
    if (v.dFrom > 0) {
      EXPECT_LT(x.front(), dXMin);
    }
    if (v.dTo < 99999) {
      EXPECT_GT(x.back(), dXMax);
    }
  }
  double dMin, dMax;
  ASSERT_TRUE(pts.GetValueRange(1, dMin, dMax));
  float fMin = INFINITY, fMax = -INFINITY;
  for (float f : m_aValues)
    if (std::isfinite(f)) fMin = std::min(fMin, f), fMax = std::max(fMax, f);
  EXPECT_EQ(dMin, fMin);
  EXPECT_EQ(dMax, fMax);
}

TEST_F(GraphPoints, FewPointsAreDrawnThemselvesWithGapsForNaN) {
  Make(1000, true);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 0, 999, 0.0, -1), CGraphPoints::LOAD_OK);
  const double t0 = m_doc.GetRecordTime(0, 0);
  std::vector<double> x, y;
  // Records 90..110 on 20 columns: 21 records, raw, with one neighbour each side.
  pts.GetDrawPoints(2, t0 + 90 * ONE_SECOND, t0 + 110 * ONE_SECOND, 20, x, y);
  ASSERT_EQ(x.size(), 23u);
  for (size_t j = 0; j < x.size(); ++j) {
    EXPECT_EQ(y[j], -static_cast<double>(89 + j));
    EXPECT_NEAR(x[j], m_doc.GetRecordTime(static_cast<int>(89 + j), 2), 1e-10);
  }
  pts.GetDrawPoints(1, t0 + 100 * ONE_SECOND, t0 + 104 * ONE_SECOND, 20, x, y);
  ASSERT_EQ(y.size(), 7u);
  EXPECT_TRUE(std::isnan(y[3])) << "record 102 holds NaN: a gap";
  EXPECT_EQ(y[2], m_aValues[101]);
}

TEST_F(GraphPoints, NearestPointAndPlotAgainstAnXChannel) {
  Make(50);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 10, 49, 0.0, -1), CGraphPoints::LOAD_OK);
  const double t0 = m_doc.GetRecordTime(0, 0);
  EXPECT_EQ(pts.FindPoint(0, t0 + 12.4 * ONE_SECOND), 2);
  EXPECT_EQ(pts.FindPoint(0, t0 + 12.5 * ONE_SECOND), 3) << "a tie goes to the later point";
  EXPECT_EQ(pts.FindPoint(0, t0), 0);
  EXPECT_EQ(pts.FindPoint(0, t0 + 1e3), 39);

  // Channel 0 against channel 2 (x = -i): a line through 40 distinct points,
  // 4 per pixel column on a 10-column grid: the points of one pixel fold.
  ASSERT_EQ(pts.Load(m_doc, 0, 39, 0.0, 2), CGraphPoints::LOAD_OK);
  std::vector<double> x, y;
  pts.GetXYDrawPoints(0, -40, 0, 0, 40, 10, 1, x, y);
  // x = 0 alone in the column at the right edge, then four points per column.
  std::vector<double> aKept{0, 1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 39};
  EXPECT_EQ(y, aKept) << "the first point of each pixel, and the last point";
  pts.GetXYDrawPoints(0, -40, 0, 0, 40, 400, 400, x, y);
  EXPECT_EQ(x.size(), 40u) << "fine grid: every point";
  EXPECT_EQ(pts.FindPoint(1, -7.2), 7);
}

} // namespace
