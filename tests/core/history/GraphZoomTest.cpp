// Wheel zoom ranges and the zoom history of the history graph.

#include <gtest/gtest.h>
#include <cmath>
#include "history/GraphZoom.h"

using namespace zk7;

namespace {

// Where dValue sits on the range, 0 at its minimum and 1 at its maximum.
double Place(const sAxisRange& r, double dValue) { return (dValue - r.dMin) / (r.dMax - r.dMin); }

sGraphView View(double dXMin, double dXMax, double dStart = 0, double dEnd = 100) {
  sGraphView v;
  v.dStart = dStart, v.dEnd = dEnd, v.aAxes[0] = {dXMin, dXMax}, v.aAxes[1] = {-1, 1};
  return v;
}

} // namespace

TEST(GraphZoom, WheelKeepsThePointerValueInPlaceAndTheHistorySteps) {
  const double k = WHEEL_ZOOM_FACTOR;
  struct sCase { const char* pszWhat; sAxisRange range; double dAnchor; int nDelta; sAxisRange limits; double dMinSpan; sAxisRange expected; };
  const sCase CASES[] = {
      {"one notch in, middle", {0, 100}, 50, 120, {0, 100}, 1e-3, {50 - 50 * k, 50 + 50 * k}},
      {"one notch in, a quarter", {0, 100}, 25, 120, {0, 100}, 1e-3, {25 - 25 * k, 25 + 75 * k}},
      {"two notches in", {0, 100}, 50, 240, {0, 100}, 1e-3, {50 - 50 * k * k, 50 + 50 * k * k}},
      {"half a notch (a fine wheel)", {0, 100}, 0, 60, {0, 100}, 1e-3, {0, 100 * std::sqrt(k)}},
      {"out within the data", {40, 60}, 50, -120, {0, 100}, 1e-3, {50 - 10 / k, 50 + 10 / k}},
      {"out beyond the data: the data's range", {10, 90}, 50, -1200, {0, 100}, 1e-3, {0, 100}},
      {"out at the left edge slides back inside", {0, 50}, 10, -120, {0, 100}, 1e-3, {0, 50 / k}},
      {"out at the right edge slides back inside", {60, 100}, 95, -120, {0, 100}, 1e-3, {100 - 40 / k, 100}},
      {"a view wider than the data stays as wide", {-50, 150}, 50, -120, {0, 100}, 1e-3, {-50, 150}},
      {"no limits", {0, 10}, 5, -120, {}, 1e-3, {5 - 5 / k, 5 + 5 / k}},
      {"in to the narrowest span", {0, 1}, 0.5, 12000, {0, 100}, 0.01, {0.495, 0.505}},
      {"a pointer beyond the end zooms at that end", {0, 100}, 130, 120, {0, 100}, 1e-3, {100 - 100 * k, 100}},
      {"no wheel turn", {3, 4}, 3.5, 0, {0, 100}, 1e-3, {3, 4}},
      {"an empty range stays", {5, 5}, 5, 120, {0, 100}, 1e-3, {5, 5}},
  };
  for (const sCase& c : CASES) {
    SCOPED_TRACE(c.pszWhat);
    const sAxisRange r = WheelZoomRange(c.range, c.dAnchor, c.nDelta, c.limits, c.dMinSpan);
    EXPECT_TRUE(std::fabs(r.dMin - c.expected.dMin) < 1e-9 && std::fabs(r.dMax - c.expected.dMax) < 1e-9) << r.dMin << ".." << r.dMax;
  }
  // In and out again: back where it was, the anchor in place all along.
  const sAxisRange a{100.25, 100.75};
  const sAxisRange in = WheelZoomRange(a, 100.4, 360, {100, 101}, MIN_TIME_SPAN);
  EXPECT_NEAR(Place(in, 100.4), Place(a, 100.4), 1e-9);
  const sAxisRange out = WheelZoomRange(in, 100.4, -360, {100, 101}, MIN_TIME_SPAN);
  EXPECT_TRUE(std::fabs(out.dMin - a.dMin) < 1e-9 && std::fabs(out.dMax - a.dMax) < 1e-9) << out.dMin << ".." << out.dMax;
  // Out forever without limits: the view stays finite.
  const sAxisRange huge = WheelZoomRange({-1e300, 1e300}, 0, -120 * 100, {}, 1);
  EXPECT_TRUE(std::isfinite(huge.dMin) && std::isfinite(huge.dMax) && huge.dMin < huge.dMax);
  // The narrowest value span grows with the value: labels of 1e6 must still differ.
  EXPECT_TRUE(MinValueSpan(1e6) > MinValueSpan(1.0) && MinValueSpan(0.001) == MinValueSpan(1.0));

  // The history steps back and forward and drops the views ahead.
  CZoomHistory h;
  sGraphView v;
  EXPECT_FALSE(h.Back(v) || h.Forward(v));
  const sGraphView va = View(0, 100), b = View(20, 60), c = View(30, 40), d = View(35, 45), e = View(0, 50, 50, 150);
  for (const sGraphView& w : {va, b, b, c}) h.Record(w);  // the same view twice is one step
  EXPECT_EQ(h.GetCount(), 3u);
  struct sStep { const char* pszWhat; bool bBack, bMoves; sGraphView expected; };
  const sStep STEPS[] = {{"back to b", true, true, b},       {"back to a", true, true, va},
                         {"nothing before a", true, false, va}, {"forward to b", false, true, b},
                         {"forward to c", false, true, c},   {"nothing after c", false, false, c}};
  sGraphView now = c;
  for (const sStep& s : STEPS) {
    SCOPED_TRACE(s.pszWhat);
    EXPECT_EQ(s.bBack ? h.Back(now) : h.Forward(now), s.bMoves);
    EXPECT_EQ(now, s.expected);
  }
  // Back twice, then a new view: the ones ahead (b, c) are gone.
  h.Back(v);
  h.Back(v);
  EXPECT_EQ(v, va);
  h.Record(d);
  EXPECT_EQ(std::pair(h.CanGoForward(), h.GetCount()), std::pair(false, size_t{2}));
  ASSERT_TRUE(h.Back(v));
  EXPECT_EQ(v, va);
  // A view of another period is another view even with the same ranges.
  h.Forward(v);
  h.Record(e);
  EXPECT_TRUE(h.Back(v) && v == d);
  // Only the latest MAX_VIEWS are kept.
  CZoomHistory full;
  for (size_t i = 0; i < CZoomHistory::MAX_VIEWS + 5; ++i) full.Record(View(0, 10 + static_cast<double>(i)));
  EXPECT_EQ(full.GetCount(), CZoomHistory::MAX_VIEWS);
  size_t nBack = 0;
  while (full.Back(v)) ++nBack;
  EXPECT_EQ(nBack, CZoomHistory::MAX_VIEWS - 1);
  EXPECT_EQ(v, View(0, 15));
  full.Clear();
  EXPECT_FALSE(full.CanGoBack() || full.CanGoForward());
}

