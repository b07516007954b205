// The graph's point store: one pass over the records, progress and cancel, and
// an envelope that keeps every extreme at screen resolution, on small files and
// on one large enough for the envelope's upper levels and its cache.
#include <cmath>
#include <fstream>
#include <limits>
#include <algorithm>
#include <random>

#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "history/GraphPoints.h"

using namespace zk7;

namespace {

// Column k of nColumns over [dXMin, dXMax] holds the groups of nGroup records
// whose first record lies in it (the last column its right edge too). The
// points drawn from the column's first record to its last must reach exactly
// the finite extremes of those records, with two points each when bTwo; the
// neighbours beyond the edges keep the line running off the plot.
void ExpectColumnExtremes(const std::vector<double>& aT, const std::vector<float>& aV, int nGroup, double dXMin,
                          double dXMax, int nColumns, const std::vector<double>& x, const std::vector<double>& y,
                          bool bTwo) {
  ASSERT_EQ(x.size(), y.size());
  EXPECT_LE(x.size(), 2u * nColumns + 4) << "about two points per column";
  const double dWidth = (dXMax - dXMin) / nColumns;
  const size_t nGroupSize = static_cast<size_t>(nGroup);
  int nSeen = 0;
  for (int k = 0; k < nColumns; ++k) {
    const double a = dXMin + k * dWidth, b = k + 1 == nColumns ? dXMax : dXMin + (k + 1) * dWidth;
    const size_t nFirst = static_cast<size_t>(std::lower_bound(aT.begin(), aT.end(), a) - aT.begin());
    float fMin = INFINITY, fMax = -INFINITY; double dFirst = NAN, dLast = NAN;
    for (size_t g = (nFirst + nGroupSize - 1) / nGroupSize * nGroupSize;
         g < aT.size() && (aT[g] < b || (aT[g] == b && k + 1 == nColumns)); g += nGroupSize) {
      if (std::isnan(dFirst)) dFirst = aT[g];
      for (size_t i = g; i < std::min(aT.size(), g + nGroupSize); ++i)
        fMin = std::min(fMin, aV[i]), fMax = std::max(fMax, aV[i]), dLast = aT[i];  // NaN never wins
    }
    if (std::isnan(dFirst) || fMin > fMax) continue;
    ++nSeen;
    double dDrawnMin = INFINITY, dDrawnMax = -INFINITY; int nDrawn = 0;
    for (size_t j = 0; j < x.size(); ++j)
      if (x[j] >= dFirst && x[j] <= dLast && !std::isnan(y[j]))
        ++nDrawn, dDrawnMin = std::min(dDrawnMin, y[j]), dDrawnMax = std::max(dDrawnMax, y[j]);
    if (bTwo) { ASSERT_EQ(nDrawn, 2) << "column " << k; }
    ASSERT_EQ(std::pair(dDrawnMin, dDrawnMax), std::pair(double(fMin), double(fMax))) << "column " << k;
  }
  EXPECT_GT(nSeen, nColumns / 2);
  if (aT.front() < dXMin) { EXPECT_LT(x.front(), dXMin) << "the neighbour before the left edge"; }
  if (aT.back() > dXMax) { EXPECT_GT(x.back(), dXMax) << "the neighbour beyond the right edge"; }
}

constexpr uint32_t BASE = 1767225600u;  // 2026-01-01 00:00:00

struct GraphPoints : CResultsTest {
  CZK7Doc m_doc;
  std::vector<float> m_aValues;  // channel 1 values, record order

  // nRecords records one second apart (counter in 100 ms units); channel 0 a
  // ramp, channel 1 random values with NaN samples, channel 2 offset by 7 ms.
  void Make(int nRecords, bool bNaN = false) {
    CResultsFileBuilder b(3, CResultsFileBuilder::MakeXml({"inputchan", "inputchan", "calcchan"}));
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

TEST_F(GraphPoints, OnePassGivesTheDocumentsPointsWithTheirOwnTimesAndTheNearest) {
  Make(300);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 20, 219, 0.0, -1), CGraphPoints::LOAD_OK);
  ASSERT_EQ(std::tuple(pts.GetPointCount(), pts.GetFirstRecord(), pts.GetChannelCount()), std::tuple(200, 20, 3));
  for (int i = 0; i < 200; i += 13) {
    for (int c = 0; c < 3; ++c) {
      unsigned nError; double t;
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
  EXPECT_EQ(std::tuple(pts.GetXChannel(), pts.GetX(0, 17), pts.GetX(1, 17)), std::tuple(2, -17.0, -17.0));
  double dMin, dMax;
  ASSERT_TRUE(pts.GetXRange(dMin, dMax));
  EXPECT_EQ(std::pair(dMin, dMax), std::pair(-299.0, 0.0));

  // The nearest point, and a plot against an X channel.
  ASSERT_EQ(pts.Load(m_doc, 10, 49, 0.0, -1), CGraphPoints::LOAD_OK);
  const double t0 = m_doc.GetRecordTime(0, 0);
  // A tie (12.5 s) goes to the later point.
  EXPECT_EQ((std::vector<int>{pts.FindPoint(0, t0 + 12.4 * ONE_SECOND), pts.FindPoint(0, t0 + 12.5 * ONE_SECOND),
                              pts.FindPoint(0, t0), pts.FindPoint(0, t0 + 1e3)}), (std::vector<int>{2, 3, 0, 39}));

  // Channel 0 against channel 2 (x = -i): a line through 40 distinct points,
  // 4 per pixel column on a 10-column grid: the points of one pixel fold.
  ASSERT_EQ(pts.Load(m_doc, 0, 39, 0.0, 2), CGraphPoints::LOAD_OK);
  std::vector<double> x, y;
  pts.GetXYDrawPoints(0, -40, 0, 0, 40, 10, 1, x, y);
  // x = 0 alone in the column at the right edge, then four points per column.
  EXPECT_EQ(y, (std::vector<double>{0, 1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 39})) << "each pixel's first point, and the last";
  pts.GetXYDrawPoints(0, -40, 0, 0, 40, 400, 400, x, y);
  EXPECT_EQ(x.size(), 40u) << "fine grid: every point";
  EXPECT_EQ(pts.FindPoint(1, -7.2), 7);
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
  EXPECT_TRUE(pts.IsEmpty() && pts.GetChannelCount() == 0);
  std::vector<double> x, y;
  pts.GetDrawPoints(0, 0, 1e9, 100, x, y);
  EXPECT_TRUE(x.empty());
}

TEST_F(GraphPoints, EnvelopeKeepsEveryColumnsExtremesAndFewPointsAreDrawnThemselves) {
  Make(100000, true);
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(m_doc, 0, 99999, 0.0, -1), CGraphPoints::LOAD_OK);
  std::vector<double> aT;
  for (int i = 0; i < 100000; ++i) aT.push_back(m_doc.GetRecordTime(i, 1));
  // Whole file, a ragged middle, a narrow window just above the raw threshold.
  for (const auto& [dFrom, dTo, nColumns] : {std::tuple{0.0, 99999.0, 1600}, {1234.5, 77777.25, 997}, {500.3, 1700.9, 300}}) {
    SCOPED_TRACE(nColumns);
    const double dXMin = aT[0] + dFrom * ONE_SECOND, dXMax = aT[0] + dTo * ONE_SECOND;
    std::vector<double> x, y;
    pts.GetDrawPoints(1, dXMin, dXMax, nColumns, x, y);
    ExpectColumnExtremes(aT, m_aValues, 1, dXMin, dXMax, nColumns, x, y, false);
  }
  double dMin, dMax;
  ASSERT_TRUE(pts.GetValueRange(1, dMin, dMax));
  float fMin = INFINITY, fMax = -INFINITY;
  for (float f : m_aValues) fMin = std::min(fMin, f), fMax = std::max(fMax, f);
  EXPECT_EQ(std::pair(dMin, dMax), std::pair(double(fMin), double(fMax))) << "NaN never an extreme";

  // Few points are drawn themselves, with gaps for NaN.
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
  EXPECT_TRUE(std::isnan(y[3]) && y[2] == m_aValues[101]) << "record 102 holds NaN: a gap";
}

// The same on a file large enough for the envelope: drawn extremes against a
// brute-force pass over the file, full-resolution points read on demand,
// append against a full build, and the cache. (The memory per value is
// measured by bench_graph, not asserted here.)
constexpr int CHANNELS = 4;
constexpr int RECORDS = 600000;  // beyond the records read at full resolution for drawing

struct GraphEnvelope : ::testing::Test {
  static void SetUpTestSuite() {
    s_strDir = MakeTempDir("zk7-envelope");
    // Random walks: a column's extremes lie anywhere, often near its ends.
    // Channel 2 is sampled 7 ms after the others.
    CResultsFileBuilder b(CHANNELS, CResultsFileBuilder::MakeXml({"inputchan", "inputchan", "inputchan", "calcchan"}));
    std::mt19937 rng(11);
    std::normal_distribution<float> step(0.0f, 1.0f);
    float v[CHANNELS] = {};
    for (int i = 0; i < RECORDS; ++i) {
      for (float& f : v) f += step(rng);
      b.aRecords.push_back({1767225600u, static_cast<uint32_t>(10 * i), {{0, 0, v[0]}, {0, 0, v[1]}, {7, 0, v[2]}, {0, 0, v[3]}}});
    }
    b.WriteTo(s_strDir + "/e.zk");
    // Envelope caches go under the test's own folder.
    const char* pszCache = std::getenv("XDG_CACHE_HOME");
    s_strOldCache = pszCache ? pszCache : "";
    ::setenv("XDG_CACHE_HOME", (s_strDir + "/cache").c_str(), 1);
    s_pDoc = new CZK7Doc;
    ASSERT_TRUE(s_pDoc->OnOpenDocument(s_strDir + "/e.zk"));
    // The truth: every record's x and values, read straight from the file.
    s_aX.reserve(RECORDS);
    s_aValues.assign(CHANNELS, {});
    s_pDoc->ForEachRecord(0, RECORDS, [](int, const ResultsRecord& rec) {
      s_aX.push_back(s_pDoc->GetRecordTime(rec, 0));
      for (int c = 0; c < CHANNELS; ++c) s_aValues[static_cast<size_t>(c)].push_back(rec.Sample(c).fValue);
      return true;
    });
  }
  static void TearDownTestSuite() {
    delete s_pDoc;
    std::filesystem::remove_all(s_strDir);
    s_strOldCache.empty() ? ::unsetenv("XDG_CACHE_HOME") : ::setenv("XDG_CACHE_HOME", s_strOldCache.c_str(), 1);
  }
  static inline std::string s_strOldCache;
  static inline std::string s_strDir;
  static inline CZK7Doc* s_pDoc = nullptr;
  static inline std::vector<double> s_aX;
  static inline std::vector<std::vector<float>> s_aValues;
};

TEST_F(GraphEnvelope, DrawnExtremesEqualTheRecordsOfEachColumnAtEveryLevel) {
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(*s_pDoc, 0, RECORDS - 1, 0.0, -1), CGraphPoints::LOAD_OK);
  ASSERT_LT(pts.GetMaxWindowRecords(), RECORDS / 2);
  const int B = pts.GetBucketSize();
  ASSERT_EQ(B, 64);
  struct sView { int nFrom, nTo, nColumns; };
  // Whole file on a wide plot, a ragged middle, and few columns that draw from
  // the upper levels; each spans more records than are read for drawing.
  for (const sView v : {sView{0, RECORDS - 1, 1600}, sView{12345, 543210, 997}, sView{777, 590001, 7}, sView{100, 499000, 1}}) {
    SCOPED_TRACE(std::to_string(v.nFrom) + ".." + std::to_string(v.nTo) + " on " + std::to_string(v.nColumns));
    const double dXMin = s_aX[static_cast<size_t>(v.nFrom)] + 0.3, dXMax = s_aX[static_cast<size_t>(v.nTo)] + 0.1;
    const int c = (v.nColumns % CHANNELS);
    std::vector<double> x, y;
    pts.GetDrawPoints(c, dXMin, dXMax, v.nColumns, x, y);
    ExpectColumnExtremes(s_aX, s_aValues[static_cast<size_t>(c)], B, dXMin, dXMax, v.nColumns, x, y, true);
  }
  double dMin, dMax;
  ASSERT_TRUE(pts.GetValueRange(2, dMin, dMax));
  const auto [itMin, itMax] = std::minmax_element(s_aValues[2].begin(), s_aValues[2].end());
  EXPECT_EQ(std::pair(dMin, dMax), std::pair(double(*itMin), double(*itMax)));
  ASSERT_TRUE(pts.GetXRange(dMin, dMax));
  EXPECT_EQ(std::pair(dMin, dMax), std::pair(s_aX.front(), s_aX.back()));
}

TEST_F(GraphEnvelope, FullResolutionPointsAndCursorsAreReadOnDemand) {
  CGraphPoints pts;
  ASSERT_EQ(pts.Load(*s_pDoc, 1000, RECORDS - 1, 0.0, -1), CGraphPoints::LOAD_OK);
  std::vector<double> x, y;
  // Zoomed in on 301 records over 800 columns: the records themselves.
  const int nAt = 421000;
  pts.GetDrawPoints(1, s_aX[nAt], s_aX[nAt + 300], 800, x, y);
  ASSERT_EQ(x.size(), 303u);
  for (size_t j = 0; j < x.size(); ++j) {
    ASSERT_EQ(y[j], s_aValues[1][nAt - 1 + j]) << j;
    ASSERT_NEAR(x[j], s_pDoc->GetRecordTime(static_cast<int>(nAt - 1 + j), 1), 1e-9) << j;
  }
  // Single points far from the view, and the nearest point to a time anywhere.
  for (const int r : {1000, 1063, 1064, 250777, 421150, RECORDS - 1}) {
    SCOPED_TRACE(r);
    const int k = r - 1000;
    for (int c = 0; c < CHANNELS; ++c) {
      EXPECT_EQ(pts.GetY(c, k), s_aValues[static_cast<size_t>(c)][static_cast<size_t>(r)]);
      EXPECT_NEAR(pts.GetX(c, k), s_pDoc->GetRecordTime(r, c), 1e-9);
    }
    EXPECT_EQ(pts.FindPoint(0, s_aX[static_cast<size_t>(r)] + 0.4 * (r + 1 < RECORDS ? s_aX[r + 1] - s_aX[r] : 1)), k);
    EXPECT_EQ(pts.FindPoint(0, s_aX[static_cast<size_t>(r)] - 0.4 * (s_aX[r] - s_aX[r - 1])), k);
  }
  EXPECT_EQ(std::pair(pts.FindPoint(0, s_aX.front() - 1e6), pts.FindPoint(0, s_aX.back() + 1e6)), std::pair(0, RECORDS - 1001));
  EXPECT_TRUE(std::isnan(pts.GetY(0, RECORDS))) << "beyond the points";
}

TEST_F(GraphEnvelope, AppendEqualsAFullBuild) {
  CGraphPoints full, grown;
  ASSERT_EQ(full.Load(*s_pDoc, 5, RECORDS - 1, 0.0, -1), CGraphPoints::LOAD_OK);
  // Ragged steps: bucket ends fall inside the appended blocks.
  ASSERT_EQ(grown.Load(*s_pDoc, 5, 100000, 0.0, -1), CGraphPoints::LOAD_OK);
  std::vector<int> aCalls;
  ASSERT_EQ(grown.Append(*s_pDoc, 300010, [&](int n) { aCalls.push_back(n); return true; }), CGraphPoints::LOAD_OK);
  for (size_t i = 0; i < aCalls.size(); ++i) EXPECT_EQ(aCalls[i], 5000 * static_cast<int>(i));
  EXPECT_EQ(aCalls.size(), 41u) << "only the new records are read, with progress every 5000";
  ASSERT_EQ(grown.Append(*s_pDoc, 300011), CGraphPoints::LOAD_OK);
  ASSERT_EQ(grown.Append(*s_pDoc, RECORDS + 50), CGraphPoints::LOAD_OK) << "clamped to the document";
  ASSERT_EQ(grown.GetPointCount(), full.GetPointCount());
  for (const int nColumns : {1600, 33, 1}) {
    std::vector<double> x1, y1, x2, y2;
    full.GetDrawPoints(3, s_aX[0], s_aX.back(), nColumns, x1, y1);
    grown.GetDrawPoints(3, s_aX[0], s_aX.back(), nColumns, x2, y2);
    EXPECT_TRUE(x1 == x2 && y1 == y2) << nColumns;
  }
  double a1, b1, a2, b2;
  ASSERT_TRUE(full.GetValueRange(3, a1, b1) && grown.GetValueRange(3, a2, b2));
  EXPECT_EQ(std::pair(a1, b1), std::pair(a2, b2));
  EXPECT_TRUE(grown.GetXRange(a2, b2) && b2 == s_aX.back());

  // A period still empty keeps its start and time base for what is appended.
  CGraphPoints empty;
  ASSERT_EQ(empty.Load(*s_pDoc, 70, 69, s_aX[0], -1), CGraphPoints::LOAD_OK);
  ASSERT_TRUE(empty.IsEmpty());
  ASSERT_EQ(empty.Append(*s_pDoc, 80), CGraphPoints::LOAD_OK);
  ASSERT_EQ(std::pair(empty.GetPointCount(), empty.GetFirstRecord()), std::pair(11, 70));
  EXPECT_NEAR(empty.GetX(0, 0), s_aX[70] - s_aX[0], 1e-12);
}

TEST_F(GraphEnvelope, CachedEnvelopeOnlyWhenItMatchesTheFile) {
  namespace fs = std::filesystem;
  const fs::path dir = s_strDir + "/cache/zk7/graph";
  fs::remove_all(dir);
  auto load = [](CGraphPoints& pts, double dBase = 0.0) {
    std::vector<int> aCalls;
    EXPECT_EQ(pts.Load(*s_pDoc, 3, RECORDS - 1, dBase, -1, [&](int n) { aCalls.push_back(n); return true; }),
              CGraphPoints::LOAD_OK);
    return aCalls.size() > 1 ? "read" : "cached";
  };
  auto same = [](const CGraphPoints& a, const CGraphPoints& b) {
    for (const int nColumns : {1600, 5}) {
      std::vector<double> x1, y1, x2, y2;
      a.GetDrawPoints(1, s_aX[0], s_aX.back(), nColumns, x1, y1);
      b.GetDrawPoints(1, s_aX[0], s_aX.back(), nColumns, x2, y2);
      if (x1 != x2 || y1 != y2 || a.GetPointCount() != b.GetPointCount()) return false;
    }
    return true;
  };
  CGraphPoints read, again;
  ASSERT_STREQ(load(read), "read");
  ASSERT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  const fs::path cache = fs::directory_iterator(dir)->path();
  ASSERT_STREQ(load(again), "cached");
  EXPECT_TRUE(same(read, again));
  EXPECT_EQ(again.GetY(2, 12345), s_aValues[2][12348]) << "points on demand as before";
  EXPECT_STREQ(load(again, 1.0), "read") << "another time base is another envelope";

  // A damaged or cut cache, or a file touched since, is never trusted.
  const auto nSize = fs::file_size(cache);
  std::fstream(cache, std::ios::in | std::ios::out | std::ios::binary).seekp(static_cast<std::streamoff>(nSize / 2)).put('\x5a');
  EXPECT_STREQ(load(again), "read") << "damaged";
  EXPECT_TRUE(same(read, again));
  EXPECT_STREQ(load(again), "cached") << "written afresh";
  fs::resize_file(cache, nSize - 8);
  EXPECT_STREQ(load(again), "read") << "cut";
  fs::last_write_time(s_strDir + "/e.zk", fs::last_write_time(s_strDir + "/e.zk") + std::chrono::seconds(1));
  EXPECT_STREQ(load(again), "read") << "touched";
  EXPECT_TRUE(same(read, again));
}

} // namespace
