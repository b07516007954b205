#include "format/Formatting.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "format/NumberScan.h"
#include "format/RegionalSettings.h"

namespace zk7 {

namespace {

const double POW10[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

int AutoDecimals(double v) {
  static const float THRESHOLDS[] = {999999.95f, 99999.995f, 9999.9995f, 999.99995f,
                                     99.999995f, 9.9999995f, 0.99999995f};
  const double a = std::fabs(v);
  int d = 0;
  for (float t : THRESHOLDS)
    if (static_cast<double>(t) > a) ++d;
  if (v < 0) --d;
  if (d < 0) d = 0;
  if (d > 6) d = 6;
  if (v < 0 && d > 5) d = 5;
  return d;
}

// Digits of v rounded to d decimals, as printf's "%.*f" prints them. The common
// case (a few significant digits, no rounding tie within reach of the double's
// error) is done in integers; anything else goes through to_chars, which rounds
// the exact binary value like printf does.
int FixedDigits(char* out, double v, int d) {
  const double a = std::fabs(v);
  const double r = a * POW10[d];
  if (r < 1e12) {
    const double fl = std::floor(r);
    const double frac = r - fl;
    if (std::fabs(frac - 0.5) > 1e-3) {
      uint64_t q = static_cast<uint64_t>(fl) + (frac > 0.5 ? 1 : 0);
      const uint64_t p = static_cast<uint64_t>(POW10[d]);
      char* o = out;
      if (std::signbit(v)) *o++ = '-';
      uint64_t nWhole = q / p;
      char rev[24];
      int nRev = 0;
      do {
        rev[nRev++] = static_cast<char>('0' + nWhole % 10);
        nWhole /= 10;
      } while (nWhole);
      while (nRev) *o++ = rev[--nRev];
      if (d > 0) {
        *o++ = '.';
        uint64_t f = q % p;
        for (int i = d - 1; i >= 0; --i) {
          o[i] = static_cast<char>('0' + f % 10);
          f /= 10;
        }
        o += d;
      }
      return static_cast<int>(o - out);
    }
  }
  auto res = std::to_chars(out, out + 400, v, std::chars_format::fixed, d);
  return static_cast<int>(res.ptr - out);
}

void ReplaceDecimalPoint(char* p, int n) {
  const char c = GetDecimalSeparator();
  if (c == '.') return;
  for (int i = 0; i < n; ++i)
    if (p[i] == '.') p[i] = c;
}

// Digits of the exponent of a "%e" text, without its sign and leading zeros.
int ExponentDigits(const char* p, const char* pEnd) {
  while (p < pEnd && *p != 'e') ++p;
  if (p < pEnd) ++p;
  if (p < pEnd && (*p == '+' || *p == '-')) ++p;
  while (pEnd - p > 1 && *p == '0') ++p;
  return static_cast<int>(pEnd - p);
}

} // namespace

char GetDecimalSeparator() { return GetRegionalSettings().GetDecimalSeparator(); }
char GetTimeSeparator() { return GetRegionalSettings().GetTimeSeparator(); }

void AppendNumber(std::string& strOut, double v, int w, int d, bool bTrim) {
  if (w < 1) w = 1;
  if (w > 64) w = 64;
  if (!std::isfinite(v)) {
    // Nothing meaningful fits: the same asterisks as a number too wide.
    strOut.append(static_cast<size_t>(w), '*');
    return;
  }
  if (d < 0) d = AutoDecimals(v);
  if (d > 9) d = 9;
  char buf[512];
  int n;
  if (v > 99999999.0 || v < -9999999.0) {
    const bool bNeg = v < 0;
    const int e = static_cast<int>(std::log10(std::fabs(v)));
    const int x = e < 10 ? 1 : (e < 100 ? 2 : 3);
    int p = w - x - (bNeg ? 1 : 0) - 3;
    if (p < 0) p = 0;
    char tmp[128];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::scientific, p);
    // Rounding can carry into one more exponent digit (9.9999e9 becomes 1.00e10):
    // give that digit a decimal back so the text still fits its field.
    if (p > 0 && ExponentDigits(tmp, r.ptr) > x) {
      --p;
      r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::scientific, p);
    }
    int nTmp = static_cast<int>(r.ptr - tmp);
    // Right-align as "%*.*e" would, then keep the mantissa and the 'e' and append
    // the exponent's digits without sign or leading zeros.
    int nPad = w > nTmp ? w - nTmp : 0;
    n = 0;
    for (int i = 0; i < nPad; ++i) buf[n++] = ' ';
    int k = 0;
    while (k < nTmp && tmp[k] != 'e') buf[n++] = tmp[k++];
    buf[n++] = 'e';
    ++k;
    if (k < nTmp && (tmp[k] == '+' || tmp[k] == '-')) ++k;
    while (k < nTmp - 1 && tmp[k] == '0') ++k;
    while (k < nTmp) buf[n++] = tmp[k++];
    buf[n] = '\0';
  } else {
    // The hot path of every list, export and printout: digits straight into the text.
    char digits[400];
    for (;;) {
      n = FixedDigits(digits, v, d);
      if (n <= w) break;
      if (d == 0) {
        strOut.append(static_cast<size_t>(w), '*');
        return;
      }
      d -= n - w;
      if (d < 0) d = 0;
    }
    ReplaceDecimalPoint(digits, n);
    if (!bTrim && n < w) strOut.append(static_cast<size_t>(w - n), ' ');
    strOut.append(digits, static_cast<size_t>(n));
    return;
  }
  char* p = buf;
  if (bTrim)
    while (n > 0 && *p == ' ') {
      ++p;
      --n;
    }
  ReplaceDecimalPoint(p, n);
  strOut.append(p, static_cast<size_t>(n));
}

std::string FormatNumber(double v, int w, int d, bool bTrim) {
  std::string s;
  AppendNumber(s, v, w, d, bTrim);
  return s;
}

int DaysInMonth(int y, int m) {
  static const int a[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return (m == 2 && bLeap) ? 29 : a[m - 1];
}

void ReplaceAll(std::string& s, const std::string& strFrom, const std::string& strTo) {
  if (strFrom.empty()) return;
  std::string strOut;
  size_t i = 0;
  for (size_t j; (j = s.find(strFrom, i)) != std::string::npos; i = j + strFrom.size()) {
    strOut.append(s, i, j - i);
    strOut += strTo;
  }
  strOut.append(s, i, std::string::npos);
  s.swap(strOut);
}

double DayNumberFromCalendar(int y, int m, int d, int hh, int mm, double ss) {
  // Days from civil (proleptic Gregorian), shifted to 1899-12-30.
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t nDays1970 = era * 146097 + doe - 719468;
  return static_cast<double>(nDays1970 + 25569) + (hh * 3600.0 + mm * 60.0 + ss) / 86400.0;
}

namespace {

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// Whole seconds since 1899-12-30 of a day-number date, to the nearest second;
// dates beyond the calendar's years 1-9999 are held at its ends.
int64_t RoundedSeconds(double t) {
  if (std::isnan(t)) t = 0;
  t = std::clamp(t, MIN_SHOWABLE_DATE - 1, MAX_SHOWABLE_DATE + 1);
  return std::llround(t * 86400.0);
}

void SplitSeconds(int64_t s, int64_t& nDay, int& hh, int& mm, int& ss) {
  nDay = s / 86400;
  int64_t r = s % 86400;
  if (r < 0) {
    r += 86400;
    --nDay;
  }
  hh = static_cast<int>(r / 3600);
  mm = static_cast<int>((r / 60) % 60);
  ss = static_cast<int>(r % 60);
}

void AppendTwo(std::string& s, int n) {
  s += static_cast<char>('0' + n / 10);
  s += static_cast<char>('0' + n % 10);
}

void AppendFraction(std::string& s, double f, int d) {
  // f is a whole number below 10^d: its digits, zero-padded to d.
  char buf[16];
  uint64_t n = static_cast<uint64_t>(f);
  for (int i = d - 1; i >= 0; --i) {
    buf[i] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  s += GetDecimalSeparator();
  s.append(buf, static_cast<size_t>(d));
}

} // namespace

void CalendarFromDayNumber(double dDate, int& nYear, int& nMonth, int& nDay, int& nHour, int& nMinute, int& nSecond) {
  int64_t nDays;
  SplitSeconds(RoundedSeconds(dDate), nDays, nHour, nMinute, nSecond);
  CivilFromDays(nDays - 25569, nYear, nMonth, nDay);
}

namespace {

// Whole seconds and the fraction in units of 10^-d s, rounded as the list shows them.
void SplitFraction(double t, int d, int64_t& s, double& f) {
  s = RoundedSeconds(t);
  const double p = POW10[d];
  f = std::floor((t - static_cast<double>(s) / 86400.0) * p * 86400.0 + 0.5);
  if (f < 0) {
    s -= 1;
    f += p;
  }
}

} // namespace

void AppendDateTime(std::string& strOut, double t, bool bWithDate, bool bWithFraction, int d) {
  if (!IsShowableDate(t)) {
    strOut += INVALID_DATE_TEXT;
    return;
  }
  int64_t s = RoundedSeconds(t);
  double f = 0;
  const bool bFraction = bWithFraction && d >= 1;
  if (bFraction) {
    if (d > 9) d = 9;
    SplitFraction(t, d, s, f);
  }
  int64_t nDay;
  int hh, mm, ss;
  SplitSeconds(s, nDay, hh, mm, ss);
  if (bWithDate) {
    strOut += GetRegionalSettings().ShortDateOfDay(nDay);
    strOut += ' ';
  }
  const char cSep = GetTimeSeparator();
  AppendTwo(strOut, hh);
  strOut += cSep;
  AppendTwo(strOut, mm);
  strOut += cSep;
  AppendTwo(strOut, ss);
  if (bWithFraction && d >= 1) AppendFraction(strOut, f, d);
}

void AppendIsoDateTime(std::string& strOut, double t) {
  int64_t s;
  double f;
  SplitFraction(t, 3, s, f);
  int64_t nDay;
  int hh, mm, ss;
  SplitSeconds(s, nDay, hh, mm, ss);
  int y, mo, d;
  CivilFromDays(nDay - 25569, y, mo, d);
  // Years of 32-bit base times lie in 1901..2038: four digits always.
  const int ms = static_cast<int>(f);
  const char buf[23] = {static_cast<char>('0' + y / 1000 % 10), static_cast<char>('0' + y / 100 % 10),
                        static_cast<char>('0' + y / 10 % 10),   static_cast<char>('0' + y % 10),
                        '-',
                        static_cast<char>('0' + mo / 10),       static_cast<char>('0' + mo % 10),
                        '-',
                        static_cast<char>('0' + d / 10),        static_cast<char>('0' + d % 10),
                        'T',
                        static_cast<char>('0' + hh / 10),       static_cast<char>('0' + hh % 10),
                        ':',
                        static_cast<char>('0' + mm / 10),       static_cast<char>('0' + mm % 10),
                        ':',
                        static_cast<char>('0' + ss / 10),       static_cast<char>('0' + ss % 10),
                        '.',
                        static_cast<char>('0' + ms / 100),      static_cast<char>('0' + ms / 10 % 10),
                        static_cast<char>('0' + ms % 10)};
  strOut.append(buf, sizeof buf);
}

std::string FormatDateTime(double t, bool bWithDate, bool bWithFraction, int d, std::string* pstrDatePart,
                           std::string* pstrTimePart) {
  std::string s;
  AppendDateTime(s, t, bWithDate, bWithFraction, d);
  if (pstrDatePart || pstrTimePart) {
    // The time part never holds a blank: the date part is everything before the last one.
    const auto nLast = bWithDate ? s.rfind(' ') : std::string::npos;
    if (pstrDatePart) *pstrDatePart = bWithDate ? s.substr(0, nLast) : std::string();
    if (pstrTimePart) *pstrTimePart = bWithDate ? s.substr(nLast + 1) : s;
  }
  return s;
}

std::string FormatTimeSpan(double dDuration, bool bWithFraction, int d) {
  const double secs = dDuration * 86400.0;
  // Beyond about 30 million years the count of seconds no longer fits the text's integers.
  if (!(std::fabs(secs) < 1e15)) return INVALID_DATE_TEXT;
  double whole;
  double f = 0;
  const bool bFraction = bWithFraction && d >= 1;
  if (!bWithFraction) {
    whole = (secs - std::floor(secs) < 0.5) ? std::floor(secs) : std::ceil(secs);
  } else {
    whole = std::trunc(secs);
    if (bFraction) {
      if (d > 9) d = 9;
      const double p = POW10[d];
      f = std::floor((dDuration - whole / 86400.0) * p * 86400.0 + 0.5);
      if (f < 0) {
        whole -= 1;
        f += p;
      } else if (f >= p) {
        whole += 1;
        f -= p;
      }
    }
  }
  const long long n = static_cast<long long>(whole + 5.787037037037037e-6);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2lld%c%.2lld%c%.2lld", n / 3600, GetTimeSeparator(), (n / 60) % 60,
                GetTimeSeparator(), n % 60);
  std::string s = buf;
  if (bFraction) AppendFraction(s, f, d);
  return s;
}

double ParseNumber(const std::string& strText, double dUpper, double dLower) {
  std::string s = strText.substr(0, 79);
  const char c = GetDecimalSeparator();
  for (auto& ch : s)
    if (ch == c) ch = '.';
  std::string_view v(s);
  const auto IsBlank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; };
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
  if (v.empty()) return 0.0;
  // Exponents stay readable: the scale texts the program writes itself may hold one.
  double d = 0;
  if (!ScanDecimal(v, d, true)) return dLower;
  if (d > dUpper) return dUpper;
  if (d < dLower) return dLower;
  return d;
}

bool IsShowableDate(double dDate) { return dDate >= MIN_SHOWABLE_DATE && dDate < MAX_SHOWABLE_DATE; }

namespace {

bool ReadDigits(std::string_view s, size_t& i, size_t nCount, int& n) { return ScanDigits(s, i, nCount, nCount, n); }

// Digits of a fraction of a second (at most 9), as a fraction of a day.
bool ReadFraction(std::string_view s, double& dDays) {
  if (s.empty() || s.size() > 9) return false;
  int64_t n = 0;
  if (!ScanInt(s, 0, 999999999, n) || s[0] == '+' || s[0] == '-') return false;
  dDays = static_cast<double>(n) / POW10[s.size()] / 86400.0;
  return true;
}

} // namespace

bool ParseIsoDateTime(std::string_view s, double& dDate) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  size_t i = 0;
  int y, mo, d, h = 0, mi = 0, sec = 0;
  if (!ReadDigits(s, i, 4, y) || i >= s.size() || s[i++] != '-' || !ReadDigits(s, i, 2, mo) || i >= s.size() ||
      s[i++] != '-' || !ReadDigits(s, i, 2, d))
    return false;
  double dFraction = 0;
  if (i < s.size()) {
    if (s[i] != 'T' && s[i] != ' ') return false;
    ++i;
    if (!ReadDigits(s, i, 2, h) || i >= s.size() || s[i++] != ':' || !ReadDigits(s, i, 2, mi)) return false;
    if (i < s.size()) {
      if (s[i++] != ':' || !ReadDigits(s, i, 2, sec)) return false;
      if (i < s.size()) {
        if (s[i] != '.' && s[i] != ',') return false;
        if (!ReadFraction(s.substr(i + 1), dFraction)) return false;
      }
    }
  }
  if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || sec > 59) return false;
  dDate = DayNumberFromCalendar(y, mo, d, h, mi, sec) + dFraction;
  return true;
}

eParseDate ParseDateTime(const std::string& strText, double& dDate) {
  double d = 0;
  if (ParseIsoDateTime(strText, d)) {
    dDate = d;
    return PARSE_DATE_OK;
  }
  const CRegionalSettings& rs = GetRegionalSettings();
  // The fraction of a second follows the seconds, after the last time
  // separator: the decimal separator may also separate the date's fields.
  std::string_view strDateTime(strText);
  double dFraction = 0;
  const size_t nLastTime = strText.find_last_of(std::string{rs.GetTimeSeparator(), ':'});
  if (nLastTime != std::string::npos) {
    const size_t nDec = strText.find(rs.GetDecimalSeparator(), nLastTime + 1);
    if (nDec != std::string::npos) {
      std::string_view strFraction = std::string_view(strText).substr(nDec + 1);
      while (!strFraction.empty() && strFraction.back() == ' ') strFraction.remove_suffix(1);
      // Digits after the separator are the decimals of the seconds, as
      // FormatDateTime writes them; anything else makes no date, silently.
      if (!ReadFraction(strFraction, dFraction)) return PARSE_DATE_INVALID;
      strDateTime = strDateTime.substr(0, nDec);
    }
  }
  if (!rs.ParseDateTime(strDateTime, d)) return PARSE_DATE_WRONG_FORMAT;
  dDate = d + dFraction;
  return PARSE_DATE_OK;
}

std::string FormatSignificant(double v, unsigned nDigits) {
  // The general conversion of printf ("%.*G"), without the C library's locale.
  char buf[64];
  const int nPrecision = static_cast<int>(nDigits < 15 ? nDigits : 15u);
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, nPrecision);
  std::string s(buf, r.ptr);
  const char c = GetDecimalSeparator();
  for (auto& ch : s) {
    if (ch == '.') ch = c;
    else if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return s;
}

} // namespace zk7
