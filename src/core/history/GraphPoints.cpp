// Loading, envelope and drawing selection of the graph points.
#include "history/GraphPoints.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "format/Formatting.h"
#include "results/ZK7Doc.h"

namespace zk7 {

namespace {

constexpr int FAN_OUT = 16;          // each envelope level is 16 times coarser
constexpr int PROGRESS_STEP = 5000;  // records between two progress calls
constexpr float NO_MIN = std::numeric_limits<float>::infinity();
constexpr double GAP = std::numeric_limits<double>::quiet_NaN();

inline void Widen(float f, float& fMin, float& fMax) {
  if (!std::isfinite(f)) return;
  if (f < fMin) fMin = f;
  if (f > fMax) fMax = f;
}

inline double Drawable(float f) { return std::isfinite(f) ? static_cast<double>(f) : GAP; }

} // namespace

void CGraphPoints::Clear() {
  m_nChannels = 0;
  m_nCount = 0;
  m_nFirst = 0;
  m_nXChannel = -1;
  std::vector<double>().swap(m_aRecordX);
  std::vector<sChannel>().swap(m_aChannels);
}

CGraphPoints::eLoadResult CGraphPoints::Load(const CZK7Doc& doc, int nFirst, int nLast, double dTimeBase,
                                             int nXChannel, const ProgressFn& fnProgress) {
  Clear();
  const int nChannels = doc.GetChannelCount();
  if (nFirst < 0) nFirst = 0;
  if (nLast >= doc.GetRecordCount()) nLast = doc.GetRecordCount() - 1;
  if (nLast < nFirst || nChannels <= 0) {
    if (fnProgress && !fnProgress(0)) return LOAD_CANCELLED;
    return LOAD_OK;
  }
  if (nXChannel >= nChannels) nXChannel = -1;
  const int nCount = nLast - nFirst + 1;
  try {
    m_aChannels.resize(static_cast<size_t>(nChannels));
    for (sChannel& ch : m_aChannels) ch.aValues.resize(static_cast<size_t>(nCount));
    const bool bTime = nXChannel < 0;
    if (bTime) m_aRecordX.resize(static_cast<size_t>(nCount));

    int i = 0;
    bool bCancelled = false;
    doc.ForEachRecord(nFirst, nCount, [&](int, const ResultsRecord& rec) {
      if (i % PROGRESS_STEP == 0 && fnProgress && !fnProgress(i)) {
        bCancelled = true;
        return false;
      }
      const size_t k = static_cast<size_t>(i);
      if (bTime) {
        const double t0 = doc.GetRecordTime(rec, 0);
        m_aRecordX[k] = t0 - dTimeBase;
        for (int c = 1; c < nChannels; ++c) {
          const double dDelta = std::round((doc.GetRecordTime(rec, c) - t0) / ONE_MS);
          if (dDelta == 0.0) continue;
          std::vector<int32_t>& aDelta = m_aChannels[static_cast<size_t>(c)].aDeltaMs;
          if (aDelta.empty()) aDelta.assign(static_cast<size_t>(nCount), 0);
          aDelta[k] = static_cast<int32_t>(dDelta);
        }
      }
      for (int c = 0; c < nChannels; ++c) m_aChannels[static_cast<size_t>(c)].aValues[k] = rec.Sample(c).fValue;
      ++i;
      return true;
    });
    if (bCancelled) {
      Clear();
      return LOAD_CANCELLED;
    }
    for (sChannel& ch : m_aChannels) BuildEnvelope(ch);
    m_nChannels = nChannels;
    m_nCount = i;
    m_nFirst = nFirst;
    m_nXChannel = nXChannel;
  } catch (const std::bad_alloc&) {
    Clear();
    return LOAD_NO_MEMORY;
  } catch (const std::length_error&) {
    Clear();
    return LOAD_NO_MEMORY;
  }
  return LOAD_OK;
}

void CGraphPoints::BuildEnvelope(sChannel& ch) {
  ch.aLevels.clear();
  // Level 0 summarises the values, each further level the one below.
  size_t nBelow = ch.aValues.size();
  const float* pBelow = ch.aValues.data();
  bool bPairs = false;
  while (nBelow > 1) {
    const size_t nBuckets = (nBelow + FAN_OUT - 1) / FAN_OUT;
    std::vector<float> aLevel(2 * nBuckets);
    for (size_t b = 0; b < nBuckets; ++b) {
      float fMin = NO_MIN, fMax = -NO_MIN;
      const size_t nEnd = std::min(nBelow, (b + 1) * FAN_OUT);
      for (size_t j = b * FAN_OUT; j < nEnd; ++j) {
        if (bPairs) {
          fMin = std::min(fMin, pBelow[2 * j]);
          fMax = std::max(fMax, pBelow[2 * j + 1]);
        } else {
          Widen(pBelow[j], fMin, fMax);
        }
      }
      aLevel[2 * b] = fMin;
      aLevel[2 * b + 1] = fMax;
    }
    ch.aLevels.push_back(std::move(aLevel));
    pBelow = ch.aLevels.back().data();
    nBelow = nBuckets;
    bPairs = true;
  }
}

void CGraphPoints::RangeMinMax(const sChannel& ch, int nFrom, int nTo, float& fMin, float& fMax) const {
  fMin = NO_MIN;
  fMax = -NO_MIN;
  size_t lo = static_cast<size_t>(std::max(nFrom, 0));
  size_t hi = static_cast<size_t>(std::max(std::min(nTo, m_nCount), 0));
  // Walk up the levels: the ragged ends at each level, the aligned middle above.
  int nLevel = -1;
  while (lo < hi) {
    const bool bTop = nLevel + 1 >= static_cast<int>(ch.aLevels.size());
    const size_t loA = (lo + FAN_OUT - 1) / FAN_OUT * FAN_OUT;
    const size_t hiA = hi / FAN_OUT * FAN_OUT;
    const bool bScanAll = bTop || hi - lo < 2 * FAN_OUT || loA >= hiA;
    auto scan = [&](size_t a, size_t b) {
      if (nLevel < 0) {
        for (size_t j = a; j < b; ++j) Widen(ch.aValues[j], fMin, fMax);
      } else {
        const std::vector<float>& l = ch.aLevels[static_cast<size_t>(nLevel)];
        for (size_t j = a; j < b; ++j) {
          fMin = std::min(fMin, l[2 * j]);
          fMax = std::max(fMax, l[2 * j + 1]);
        }
      }
    };
    if (bScanAll) {
      scan(lo, hi);
      break;
    }
    scan(lo, loA);
    scan(hiA, hi);
    lo = loA / FAN_OUT;
    hi = hiA / FAN_OUT;
    ++nLevel;
  }
}

double CGraphPoints::GetX(int nChannel, int nPoint) const {
  const size_t k = static_cast<size_t>(nPoint);
  if (m_nXChannel >= 0) return static_cast<double>(m_aChannels[static_cast<size_t>(m_nXChannel)].aValues[k]);
  const std::vector<int32_t>& aDelta = m_aChannels[static_cast<size_t>(nChannel)].aDeltaMs;
  const double dX = m_aRecordX[k];
  return aDelta.empty() ? dX : dX + aDelta[k] * ONE_MS;
}

double CGraphPoints::GetY(int nChannel, int nPoint) const {
  return static_cast<double>(m_aChannels[static_cast<size_t>(nChannel)].aValues[static_cast<size_t>(nPoint)]);
}

int CGraphPoints::LowerBoundX(double dX) const {
  return static_cast<int>(std::lower_bound(m_aRecordX.begin(), m_aRecordX.end(), dX) - m_aRecordX.begin());
}

int CGraphPoints::FindPoint(int nChannel, double dX) const {
  if (m_nCount == 0 || nChannel < 0 || nChannel >= m_nChannels) return -1;
  int nBest = -1;
  double dBest = 0;
  auto consider = [&](int i) {
    const double d = std::fabs(GetX(nChannel, i) - dX);
    if (nBest < 0 || d <= dBest) {
      nBest = i;
      dBest = d;
    }
  };
  if (m_nXChannel >= 0) {
    for (int i = 0; i < m_nCount; ++i) consider(i);
    return nBest;
  }
  // The channel's own offsets are small beside the record spacing: look around
  // the record found by time.
  const int i = LowerBoundX(dX);
  for (int j = std::max(0, i - 2); j <= std::min(m_nCount - 1, i + 1); ++j) consider(j);
  return nBest;
}

bool CGraphPoints::GetValueRange(int nChannel, double& dMin, double& dMax) const {
  if (nChannel < 0 || nChannel >= m_nChannels || m_nCount == 0) return false;
  float fMin, fMax;
  RangeMinMax(m_aChannels[static_cast<size_t>(nChannel)], 0, m_nCount, fMin, fMax);
  if (fMin > fMax) return false;
  dMin = fMin;
  dMax = fMax;
  return true;
}

bool CGraphPoints::GetXRange(double& dMin, double& dMax) const {
  if (m_nCount == 0) return false;
  if (m_nXChannel >= 0) return GetValueRange(m_nXChannel, dMin, dMax);
  dMin = m_aRecordX.front();
  dMax = m_aRecordX.back();
  return true;
}

void CGraphPoints::GetDrawPoints(int nChannel, double dXMin, double dXMax, int nColumns, std::vector<double>& aX,
                                 std::vector<double>& aY) const {
  aX.clear();
  aY.clear();
  if (m_nCount == 0 || nChannel < 0 || nChannel >= m_nChannels || nColumns <= 0 || m_nXChannel >= 0) return;
  if (dXMax < dXMin) std::swap(dXMin, dXMax);
  const sChannel& ch = m_aChannels[static_cast<size_t>(nChannel)];
  const int i0 = LowerBoundX(dXMin);
  const int iEnd = static_cast<int>(std::upper_bound(m_aRecordX.begin(), m_aRecordX.end(), dXMax) - m_aRecordX.begin());
  auto pushPoint = [&](int i) {
    aX.push_back(GetX(nChannel, i));
    aY.push_back(Drawable(ch.aValues[static_cast<size_t>(i)]));
  };
  const int nFrom = std::max(0, i0 - 1), nTo = std::min(m_nCount, iEnd + 1);
  if (iEnd - i0 <= 2 * nColumns) {
    aX.reserve(static_cast<size_t>(nTo - nFrom));
    aY.reserve(static_cast<size_t>(nTo - nFrom));
    for (int i = nFrom; i < nTo; ++i) pushPoint(i);
    return;
  }
  aX.reserve(2 * static_cast<size_t>(nColumns) + 2);
  aY.reserve(2 * static_cast<size_t>(nColumns) + 2);
  if (nFrom < i0) pushPoint(nFrom);
  const double dWidth = (dXMax - dXMin) / nColumns;
  double dPrev = aY.empty() ? GAP : aY.back();
  int s = i0;
  for (int k = 0; k < nColumns && s < iEnd; ++k) {
    const int e = k + 1 == nColumns ? iEnd : std::max(s, LowerBoundX(dXMin + (k + 1) * dWidth));
    if (e <= s) continue;
    float fMin, fMax;
    RangeMinMax(ch, s, e, fMin, fMax);
    const double dFirstX = m_aRecordX[static_cast<size_t>(s)], dLastX = m_aRecordX[static_cast<size_t>(e - 1)];
    if (fMin > fMax) {
      aX.push_back(dFirstX);
      aY.push_back(GAP);
    } else {
      // Enter the column at the extreme nearer the line coming in.
      double a = fMin, b = fMax;
      if (!std::isnan(dPrev) && std::fabs(dPrev - fMax) < std::fabs(dPrev - fMin)) std::swap(a, b);
      aX.push_back(dFirstX);
      aY.push_back(a);
      aX.push_back(dLastX);
      aY.push_back(b);
    }
    dPrev = aY.back();
    s = e;
  }
  if (iEnd < nTo) pushPoint(iEnd);
}

void CGraphPoints::GetXYDrawPoints(int nChannel, double dXMin, double dXMax, double dYMin, double dYMax, int nColumns,
                                   int nRows, std::vector<double>& aX, std::vector<double>& aY) const {
  aX.clear();
  aY.clear();
  if (m_nCount == 0 || nChannel < 0 || nChannel >= m_nChannels || nColumns <= 0 || nRows <= 0) return;
  const double sx = dXMax > dXMin ? nColumns / (dXMax - dXMin) : 0.0;
  const double sy = dYMax > dYMin ? nRows / (dYMax - dYMin) : 0.0;
  auto cell = [](double v) {
    constexpr double LIMIT = 1e12;  // far outside any screen, inside int64
    return static_cast<int64_t>(std::floor(std::clamp(v, -LIMIT, LIMIT)));
  };
  bool bHave = false, bGap = false;
  int64_t cxLast = 0, cyLast = 0;
  for (int i = 0; i < m_nCount; ++i) {
    const double x = GetX(nChannel, i), y = GetY(nChannel, i);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      if (!bGap && bHave) {
        aX.push_back(GAP);
        aY.push_back(GAP);
      }
      bGap = true;
      bHave = false;
      continue;
    }
    const int64_t cx = cell((x - dXMin) * sx);
    const int64_t cy = cell((y - dYMin) * sy);
    const bool bLast = i + 1 == m_nCount;
    if (bHave && cx == cxLast && cy == cyLast && !bLast) continue;
    aX.push_back(x);
    aY.push_back(y);
    cxLast = cx;
    cyLast = cy;
    bHave = true;
    bGap = false;
  }
}

size_t CGraphPoints::GetMemoryBytes() const {
  size_t n = m_aRecordX.capacity() * sizeof(double) + m_aChannels.capacity() * sizeof(sChannel);
  for (const sChannel& ch : m_aChannels) {
    n += ch.aValues.capacity() * sizeof(float) + ch.aDeltaMs.capacity() * sizeof(int32_t);
    for (const std::vector<float>& l : ch.aLevels) n += l.capacity() * sizeof(float);
  }
  return n;
}

} // namespace zk7
