// Period, paging and zoom rules of the history graph.
#include "history/GraphPeriod.h"

#include <cmath>
#include <utility>

#include "format/Formatting.h"
#include "results/ZK7Doc.h"

namespace zk7 {

int InitialFirstRecord(int nChannels, int nRecords) {
  if (nChannels <= 0 || nRecords <= 0) return 0;
  // In 64 bits: the product of a large file must not wrap below the limit.
  const long long nValues = static_cast<long long>(nChannels) * static_cast<long long>(nRecords);
  if (nValues <= INITIAL_VALUE_LIMIT) return 0;
  return nRecords - static_cast<int>(INITIAL_VALUE_LIMIT / nChannels);
}

sHistoryPeriod InitialHistoryPeriod(const CZK7Doc& doc) {
  sHistoryPeriod p;
  double dFirst = 0, dLast = 0;
  doc.GetTimeRange(dFirst, dLast);
  const int nFirst = InitialFirstRecord(doc.GetChannelCount(), doc.GetRecordCount());
  p.dStart = nFirst > 0 ? doc.GetRecordTime(nFirst, 0) : dFirst;
  p.dEnd = dLast;
  return p;
}

void GetPlottedRecordRange(const CZK7Doc& doc, const sHistoryPeriod& period, int& nFirst, int& nLast) {
  nFirst = doc.FindRecordByTime(period.dStart - ONE_MS);
  nLast = doc.FindRecordByTime(period.dEnd);
}

bool CanShowPrevious(const sHistoryPeriod& period, double dFileFirst) { return period.dStart > dFileFirst; }
bool CanShowNext(const sHistoryPeriod& period, double dFileLast) { return period.dEnd < dFileLast; }

bool ShowPreviousPeriod(sHistoryPeriod& period, double dFileFirst) {
  const double dSpan = period.dEnd - period.dStart;
  if (!(period.dStart > dFileFirst) || !(dSpan > 0)) return false;
  double dStart = period.dStart - dSpan;
  if (dStart < dFileFirst) dStart = dFileFirst;
  period.dStart = dStart;
  period.dEnd = dStart + dSpan;
  return true;
}

bool ShowNextPeriod(sHistoryPeriod& period, double dFileLast) {
  const double dSpan = period.dEnd - period.dStart;
  if (!(period.dEnd < dFileLast) || !(dSpan > 0)) return false;
  double dEnd = period.dEnd + dSpan;
  if (dEnd > dFileLast) dEnd = dFileLast;
  period.dEnd = dEnd;
  period.dStart = dEnd - dSpan;
  return true;
}

void PageZoomedRange(double& dMin, double& dMax, const sHistoryPeriod& period, bool bDown) {
  const double dWidth = dMax - dMin;
  double dNewMax = bDown ? dMax + 0.75 * dWidth : dMax - 0.75 * dWidth;
  double dNewMin = dNewMax - dWidth;
  if (dNewMax > period.dEnd) {
    dNewMax = period.dEnd;
    dNewMin = dNewMax - dWidth;
  }
  if (dNewMin < period.dStart) {
    dNewMin = period.dStart;
    dNewMax = dNewMin + dWidth;
  }
  dMin = dNewMin;
  dMax = dNewMax;
}

bool PagePeriod(sHistoryPeriod& period, double dFileFirst, double dFileLast, bool bDown) {
  const double dSpan = period.dEnd - period.dStart;
  const double dShift = bDown ? dSpan : -dSpan;
  const double dStart = period.dStart + dShift, dEnd = period.dEnd + dShift;
  auto inFile = [&](double t) { return t >= dFileFirst && t <= dFileLast; };
  if (!inFile(dStart) && !inFile(dEnd)) return false;
  period.dStart = dStart;
  period.dEnd = dEnd;
  return true;
}

bool IsZoomed(bool bXChannel, const sHistoryPeriod& period, double dXMin, double dXMax) {
  if (bXChannel) return true;
  return dXMax - dXMin < 0.9 * (period.dEnd - period.dStart);
}

sHistoryPeriod PeriodFromCursors(double dX1, double dX2) {
  if (dX2 < dX1) std::swap(dX1, dX2);
  return {dX1, dX2};
}

sHistoryPeriod PeriodEndingAt(const sHistoryPeriod& period, double dEnd) {
  const double dSpan = period.dEnd - period.dStart;
  return {dEnd - dSpan, dEnd};
}

bool PeriodOfLength(double dEnd, double dDays, double dTimeOfDay, sHistoryPeriod& period) {
  const double dLength = dDays + (dTimeOfDay - std::floor(dTimeOfDay));
  if (!std::isfinite(dLength) || dLength < 0) return false;
  period.dStart = dEnd - dLength;
  period.dEnd = dEnd;
  return true;
}

} // namespace zk7
