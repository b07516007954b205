// Texts and period rules of the "Scales" tool bar.
#include "history/ScalesToolState.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "format/Formatting.h"

namespace zk7 {

std::string FormatScaleLimit(double dValue) { return FormatSignificant(dValue, 6); }

double ParseScaleLimit(const std::string& strText) { return ParseNumber(strText, DBL_MAX, -DBL_MAX); }

void SetHistoryTexts(sScalesToolState& state, const sHistoryPeriod& period, bool bShowFraction, int nDigits) {
  state.m_strFixedDate = FormatDateTime(period.dEnd, true, bShowFraction, nDigits);
  const double dLength = period.dEnd - period.dStart;
  const double dDays = std::floor(dLength);
  char buf[32];
  // Periods are bounded by the calendar, far below 2^31 days; the test keeps a
  // NaN or a stray value from reaching the cast.
  std::snprintf(buf, sizeof buf, "%d", std::fabs(dDays) < 2147483647.0 ? static_cast<int>(dDays) : 0);
  state.m_strDays = buf;
  state.m_strTime = FormatTimeSpan(dLength - dDays, false, 0);
}

std::string FormatHistoryStartText(double dStart, int nTimeFormat) {
  if (nTimeFormat == 2) return FormatDateTime(dStart, true, false, 0);
  std::string strDate;
  FormatDateTime(dStart, true, false, 0, &strDate);
  return strDate;
}

namespace {
eToolResult FromParse(eParseDate e) { return e == PARSE_DATE_WRONG_FORMAT ? TOOL_WRONG_FORMAT : TOOL_UNCHANGED; }
} // namespace

eToolResult ApplyFixedDate(const sScalesToolState& state, sHistoryPeriod& period) {
  if (!state.m_bFixedTo) return TOOL_UNCHANGED;
  double dDate = 0;
  const eParseDate e = ParseDateTime(state.m_strFixedDate, dDate);
  if (e != PARSE_DATE_OK) return FromParse(e);
  period = PeriodEndingAt(period, dDate);
  return TOOL_APPLIED;
}

eToolResult ApplyHistoryLength(const sScalesToolState& state, sHistoryPeriod& period) {
  const double dDays = ParseNumber(state.m_strDays, DBL_MAX, -DBL_MAX);
  double dTime = 0;
  const eParseDate e = ParseDateTime(state.m_strTime, dTime);
  if (e != PARSE_DATE_OK) return FromParse(e);
  // A length that starts before the calendar's first day (2^31 days and more
  // among them) is no period: the same answer as a time that does not read.
  if (dDays >= 0 && !IsShowableDate(period.dEnd - dDays - 1)) return TOOL_WRONG_FORMAT;
  return PeriodOfLength(period.dEnd, dDays, dTime, period) ? TOOL_APPLIED : TOOL_UNCHANGED;
}

} // namespace zk7
