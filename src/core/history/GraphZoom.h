// Wheel zoom and the zoom history of the history graph, without a widget: the
// range a wheel step leaves around the pointer, and the views the user went
// through, to step back and forward.
#pragma once
#include <array>
#include <cstddef>
#include <vector>

namespace zk7 {

struct sAxisRange {
  double dMin = 0.0;
  double dMax = 0.0;
  bool operator==(const sAxisRange&) const = default;
};

// One wheel notch (120 eighths of a degree) away from the user keeps this part
// of the span; towards the user divides by it.
constexpr double WHEEL_ZOOM_FACTOR = 0.8;
constexpr int WHEEL_NOTCH = 120;
// The narrowest time span a wheel zoom shows: 10 ms, in days.
constexpr double MIN_TIME_SPAN = 0.010 / 86400.0;

// The narrowest span of a value axis around dValue: a few steps of a float's
// precision, so that the labels still differ.
double MinValueSpan(double dValue);

// The range after nDelta wheel units (positive: zoom in) around dAnchor, the
// axis value under the pointer, which keeps its place on the axis. The span
// stays at least dMinSpan; it grows at most to the limits (the data's range
// joined with the present range, so that a wider view never shrinks by
// zooming out), and the range is then moved back inside them. Limits with
// dMin >= dMax do not limit.
sAxisRange WheelZoomRange(const sAxisRange& range, double dAnchor, int nDelta, const sAxisRange& limits,
                          double dMinSpan);

// What the graph showed at one time: the history period and the ranges of the
// X, Y1 and Y2 axes.
struct sGraphView {
  double dStart = 0.0;
  double dEnd = 0.0;
  std::array<sAxisRange, 3> aAxes{};
  bool operator==(const sGraphView&) const = default;
};

// The views the user went through, as a browser keeps pages: a new view after
// going back drops the views ahead.
class CZoomHistory {
public:
  static constexpr size_t MAX_VIEWS = 100;

  // v becomes the present view; the same view twice in a row is kept once.
  // Beyond MAX_VIEWS the oldest view is forgotten.
  void Record(const sGraphView& v);
  bool CanGoBack() const { return m_nPos > 0; }
  bool CanGoForward() const { return m_nPos + 1 < m_aViews.size(); }
  // The view before (after) the present one, which becomes the present one;
  // false and v untouched at the end.
  bool Back(sGraphView& v);
  bool Forward(sGraphView& v);
  void Clear();
  size_t GetCount() const { return m_aViews.size(); }

private:
  std::vector<sGraphView> m_aViews;
  size_t m_nPos = 0;  // the present view, when there is one
};

} // namespace zk7
