// The typed number and date parsers in every kind of regional convention, and
// the formatting of what they accept: a date the program shows must read back
// as the same time. The first byte picks the conventions, the second the
// formatting choices; the rest is the typed text.
#include <cmath>
#include <cstdio>
#include <limits>

#include "FuzzSupport.h"
#include "format/Formatting.h"

using namespace zk7;

namespace {

void CheckNumber(const std::string& strText, uint8_t nChoice) {
  const double aBounds[][2] = {{1e300, -1e300}, {100.0, -100.0}, {1e9, 0.0}, {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()}};
  const auto& b = aBounds[nChoice % 4];
  const double v = ParseNumber(strText, b[0], b[1]);
  ZK7_FUZZ_CHECK(!std::isnan(v), "ParseNumber gave NaN");
  ZK7_FUZZ_CHECK(v == 0.0 || (v >= b[1] && v <= b[0]), "ParseNumber outside its bounds");
  // From 7 characters on, every number has a text that fits (the list uses 9).
  for (int nWidth = 7; nWidth <= 9; ++nWidth) {
    const std::string s = FormatNumber(v, nWidth, static_cast<int>(nChoice % 11) - 1, (nChoice & 0x80) != 0);
    ZK7_FUZZ_CHECK(static_cast<int>(s.size()) <= nWidth, "FormatNumber gave '" + s + "' for width " + std::to_string(nWidth));
  }
  FormatSignificant(v, nChoice % 17);
  if (std::fabs(v) < 1e7) FormatTimeSpan(v, (nChoice & 0x40) != 0, 1 + nChoice % 9);
}

void CheckDate(const std::string& strText, uint8_t nChoice) {
  double d = 0;
  if (ParseDateTime(strText, d) != PARSE_DATE_OK) return;
  ZK7_FUZZ_CHECK(std::isfinite(d), "an accepted date that is not a number");
  int nYear, nMonth, nDay, nHour, nMinute, nSecond;
  CalendarFromDayNumber(d, nYear, nMonth, nDay, nHour, nMinute, nSecond);
  const std::string strShown = FormatDateTime(d, true, true, 3);
  FormatDateTime(d, (nChoice & 1) != 0, (nChoice & 2) != 0, 1 + nChoice % 9);
  if (nYear >= 1000 && nYear <= 9999) {
    char szIso[32];
    std::snprintf(szIso, sizeof szIso, "%04d-%02d-%02dT%02d:%02d:%02d", nYear, nMonth, nDay, nHour, nMinute, nSecond);
    double dIso = 0;
    ZK7_FUZZ_CHECK(ParseDateTime(szIso, dIso) == PARSE_DATE_OK && std::fabs(dIso - d) <= ONE_SECOND,
                   std::string("the ISO date ") + szIso + " is refused or misread");
  }
  // Two-digit years make only these years' texts unambiguous.
  if (nYear < 1980 || nYear > 2079) return;
  double dAgain = 0;
  ZK7_FUZZ_CHECK(ParseDateTime(strShown, dAgain) == PARSE_DATE_OK, "the shown date '" + strShown + "' is refused");
  ZK7_FUZZ_CHECK(std::fabs(dAgain - d) <= 0.5001 * ONE_MS,
                 "the shown date '" + strShown + "' reads back as another time");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  if (nSize < 2) return 0;
  SetRegionalSettings(fuzz::RegionalSettingsOf(pData[0]));
  const std::string strText(reinterpret_cast<const char*>(pData + 2), nSize - 2);
  CheckNumber(strText, pData[1]);
  CheckDate(strText, pData[1]);
  return 0;
}
