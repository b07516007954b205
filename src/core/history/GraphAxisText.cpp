// Time axis labels and tick placement.
#include "history/GraphAxisText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "format/Formatting.h"

namespace zk7 {

namespace {

constexpr double MS_PER_DAY = 86400000.0;

int LabelDigits(bool bShowFraction, int nDigits) {
  if (!bShowFraction || nDigits <= 0) return 0;
  return std::min(nDigits, 3);
}

} // namespace

std::string GetTimeAxisFormat(int nTimeFormat, bool bShowFraction, int nDigits) {
  std::string str = nTimeFormat == 0 ? "mm/dd/yy " : "";
  str += "hh:nn:ss";
  switch (LabelDigits(bShowFraction, nDigits)) {
    case 1: str += ".0"; break;
    case 2: str += ".#0"; break;
    case 3: str += ".##0"; break;
    default: break;
  }
  return str;
}

int GetTimeAxisDivisions(int nTimeFormat) { return nTimeFormat == 0 ? 3 : 5; }

std::string FormatTimeAxisLabel(double dDate, int nTimeFormat, bool bShowFraction, int nDigits) {
  if (!IsShowableDate(dDate)) return INVALID_DATE_TEXT;
  const int nShown = LabelDigits(bShowFraction, nDigits);
  // Round once to the last digit shown, so that the date and the time agree
  // across midnight.
  const double dUnit = std::pow(10.0, 3 - nShown);  // in ms
  const double dMs = std::round(dDate * MS_PER_DAY / dUnit) * dUnit;
  const double dDay = std::floor(dMs / MS_PER_DAY);
  const long long nMsOfDay = static_cast<long long>(dMs - dDay * MS_PER_DAY);
  int nYear, nMonth, nDayOfMonth, nHour, nMinute, nSecond;
  CalendarFromDayNumber(dDay, nYear, nMonth, nDayOfMonth, nHour, nMinute, nSecond);
  const long long nSeconds = nMsOfDay / 1000;
  char buf[32];
  std::string str;
  if (nTimeFormat == 0) {
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d ", nMonth % 100, nDayOfMonth % 100, ((nYear % 100) + 100) % 100);
    str = buf;
  }
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", nSeconds / 3600 % 100, (nSeconds / 60) % 60, nSeconds % 60);
  str += buf;
  if (nShown > 0) {
    const long long nFraction = (nMsOfDay % 1000) / static_cast<long long>(dUnit);
    std::snprintf(buf, sizeof buf, "%03lld", nFraction % 1000);
    str += '.';
    str.append(buf + (3 - nShown), static_cast<size_t>(nShown));
  }
  return str;
}

std::vector<double> GetTimeAxisTicks(double dMin, double dMax, int nDivisions, bool bShowFraction, int nDigits) {
  std::vector<double> aTicks;
  if (!(dMax > dMin) || !std::isfinite(dMin) || !std::isfinite(dMax)) return aTicks;
  if (nDivisions < 1) nDivisions = 1;
  static const double STEPS_MS[] = {1,       2,       5,       10,       20,       50,       100,     200,
                                    500,     1000,    2000,    5000,     10000,    15000,    30000,   60000,
                                    120000,  300000,  600000,  900000,   1800000,  3600000,  7200000, 10800000,
                                    21600000, 43200000, 86400000};
  const double dFinest = std::pow(10.0, 3 - LabelDigits(bShowFraction, nDigits));
  const double dWanted = std::max((dMax - dMin) * MS_PER_DAY / nDivisions, dFinest);
  double dStep = 0;
  for (double s : STEPS_MS) {
    if (s >= dWanted) {
      dStep = s;
      break;
    }
  }
  if (dStep == 0) {
    // Beyond a day: 1, 2, 5 times a power of ten days.
    const double dDays = dWanted / MS_PER_DAY;
    const double dPow = std::pow(10.0, std::floor(std::log10(dDays)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
      if (m * dPow >= dDays) {
        dStep = m * dPow * MS_PER_DAY;
        break;
      }
    }
  }
  const double dFirst = std::ceil(dMin * MS_PER_DAY / dStep - 1e-9);
  const double dLast = std::floor(dMax * MS_PER_DAY / dStep + 1e-9);
  for (double k = dFirst; k <= dLast && aTicks.size() < 1000; k += 1) aTicks.push_back(k * dStep / MS_PER_DAY);
  return aTicks;
}

} // namespace zk7
