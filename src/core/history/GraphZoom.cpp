// Wheel zoom ranges and the zoom history.
#include "history/GraphZoom.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace zk7 {

double MinValueSpan(double dValue) { return std::max(1.0, std::fabs(dValue)) * 64.0 * FLT_EPSILON; }

sAxisRange WheelZoomRange(const sAxisRange& range, double dAnchor, int nDelta, const sAxisRange& limits,
                          double dMinSpan) {
  const double dSpan = range.dMax - range.dMin;
  if (!(dSpan > 0) || !std::isfinite(dSpan) || !std::isfinite(dAnchor) || nDelta == 0) return range;
  // The anchor's place on the axis, 0 at the minimum and 1 at the maximum; a
  // pointer beyond the ends zooms around the nearer end.
  const double dPlace = std::clamp((dAnchor - range.dMin) / dSpan, 0.0, 1.0);
  const double dAt = range.dMin + dPlace * dSpan;
  double dNew = dSpan * std::pow(WHEEL_ZOOM_FACTOR, static_cast<double>(nDelta) / WHEEL_NOTCH);
  dNew = std::max(dNew, dMinSpan);
  sAxisRange lim = limits;
  const bool bLimited = lim.dMin < lim.dMax;
  if (bLimited) {
    lim.dMin = std::min(lim.dMin, range.dMin);
    lim.dMax = std::max(lim.dMax, range.dMax);
    dNew = std::min(dNew, lim.dMax - lim.dMin);
  }
  sAxisRange r{dAt - dPlace * dNew, dAt + (1.0 - dPlace) * dNew};
  if (bLimited) {
    if (r.dMin < lim.dMin) r = {lim.dMin, lim.dMin + dNew};
    if (r.dMax > lim.dMax) r = {lim.dMax - dNew, lim.dMax};
  }
  // Zoomed out beyond what a double holds: the view stays.
  if (!std::isfinite(r.dMin) || !std::isfinite(r.dMax) || !(r.dMin < r.dMax)) return range;
  return r;
}

void CZoomHistory::Record(const sGraphView& v) {
  if (!m_aViews.empty()) {
    if (m_aViews[m_nPos] == v) return;
    m_aViews.resize(m_nPos + 1);
  }
  m_aViews.push_back(v);
  if (m_aViews.size() > MAX_VIEWS) m_aViews.erase(m_aViews.begin());
  m_nPos = m_aViews.size() - 1;
}

bool CZoomHistory::Back(sGraphView& v) {
  if (!CanGoBack()) return false;
  v = m_aViews[--m_nPos];
  return true;
}

bool CZoomHistory::Forward(sGraphView& v) {
  if (!CanGoForward()) return false;
  v = m_aViews[++m_nPos];
  return true;
}

void CZoomHistory::Clear() {
  m_aViews.clear();
  m_nPos = 0;
}

} // namespace zk7
