#include "format/RegionalSettings.h"

#include <QLocale>

#include <cstdio>
#include <memory>
#include <vector>

#include "format/Formatting.h"
#include "format/NumberScan.h"

namespace zk7 {

namespace {

CRegionalSettings::eDateOrder OrderOf(const std::string& strFormat) {
  auto d = strFormat.find('d');
  auto m = strFormat.find('M');
  auto y = strFormat.find('y');
  if (y != std::string::npos && (d == std::string::npos || y < d) && (m == std::string::npos || y < m))
    return CRegionalSettings::ORDER_YMD;
  if (m != std::string::npos && d != std::string::npos && m < d) return CRegionalSettings::ORDER_MDY;
  return CRegionalSettings::ORDER_DMY;
}

char Latin1Of(const QString& str, char cDefault) {
  if (str.isEmpty()) return cDefault;
  const QChar c = str.at(0);
  if (c.unicode() == 0 || c.unicode() > 0xFF) return cDefault;
  return static_cast<char>(c.unicode());
}

// First character of the format that is not a field letter.
char SeparatorOf(const QString& strFormat, char cDefault) {
  for (QChar c : strFormat)
    if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) return Latin1Of(QString(c), cDefault);
  return cDefault;
}

// One to nMaxDigits digits; the count read goes to *pnDigits.
bool ReadInt(std::string_view s, size_t& i, int nMaxDigits, int& nValue, int* pnDigits = nullptr) {
  const size_t nStart = i;
  if (!ScanDigits(s, i, 1, static_cast<size_t>(nMaxDigits), nValue)) return false;
  if (pnDigits) *pnDigits = static_cast<int>(i - nStart);
  return true;
}

void SkipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, size_t i, std::string_view strWord) {
  if (strWord.empty() || s.size() - i < strWord.size()) return false;
  for (size_t k = 0; k < strWord.size(); ++k)
    if (LowerAscii(s[i + k]) != LowerAscii(strWord[k])) return false;
  return true;
}

// The longest of the names that the text has at i; its index, or -1.
template <size_t N>
int MatchName(std::string_view s, size_t& i, const std::array<std::string, N>& a1, const std::array<std::string, N>& a2) {
  int nBest = -1;
  size_t nBestLen = 0;
  for (const auto* pa : {&a1, &a2})
    for (size_t k = 0; k < N; ++k)
      if ((*pa)[k].size() > nBestLen && StartsWithNoCase(s, i, (*pa)[k])) {
        nBest = static_cast<int>(k);
        nBestLen = (*pa)[k].size();
      }
  i += nBestLen;
  return nBest;
}

bool IsDateSeparator(char c) { return c == '/' || c == '-' || c == '.'; }

std::string Latin1(const QString& str) { return str.toLatin1().toStdString(); }

std::unique_ptr<CRegionalSettings>& Current() {
  static std::unique_ptr<CRegionalSettings> p;
  return p;
}

} // namespace

namespace {
template <size_t N>
void NamesOf(const QLocale& loc, std::array<std::string, N>& aShort, std::array<std::string, N>& aLong, bool bMonths) {
  for (size_t k = 0; k < N; ++k) {
    const int n = static_cast<int>(k) + 1;
    aShort[k] = Latin1(bMonths ? loc.monthName(n, QLocale::ShortFormat) : loc.dayName(n, QLocale::ShortFormat));
    aLong[k] = Latin1(bMonths ? loc.monthName(n, QLocale::LongFormat) : loc.dayName(n, QLocale::LongFormat));
  }
}
} // namespace

CRegionalSettings::CRegionalSettings(char cDecimal, char cTime, char cDate, std::string strShortDate)
    : m_cDecimal(cDecimal), m_cTime(cTime), m_cDate(cDate), m_strShortDate(std::move(strShortDate)),
      m_eOrder(OrderOf(m_strShortDate)) {
  const QLocale c = QLocale::c();
  NamesOf(c, m_aMonthShort, m_aMonthLong, true);
  NamesOf(c, m_aDayShort, m_aDayLong, false);
}

CRegionalSettings CRegionalSettings::FromLocale(const QLocale& loc) {
  const QString strDate = loc.dateFormat(QLocale::ShortFormat);
  const QString strTime = loc.timeFormat(QLocale::ShortFormat);
  std::string strShort = strDate.toLatin1().toStdString();
  if (strDate.isEmpty() || QString::fromLatin1(strShort.c_str()) != strDate) strShort = "MM/dd/yyyy";
  CRegionalSettings rs(Latin1Of(loc.decimalPoint(), '.'), SeparatorOf(strTime, ':'), SeparatorOf(strDate, '/'),
                       strShort);
  NamesOf(loc, rs.m_aMonthShort, rs.m_aMonthLong, true);
  NamesOf(loc, rs.m_aDayShort, rs.m_aDayLong, false);
  return rs;
}

CRegionalSettings CRegionalSettings::FromSystem() { return FromLocale(QLocale::system()); }

CRegionalSettings CRegionalSettings::Plain() { return CRegionalSettings('.', ':', '/', "MM/dd/yyyy"); }

std::string CRegionalSettings::FormatShortDate(int nYear, int nMonth, int nDay) const {
  std::string out;
  const std::string& f = m_strShortDate;
  for (size_t i = 0; i < f.size();) {
    const char c = f[i];
    size_t n = 1;
    while (i + n < f.size() && f[i + n] == c) ++n;
    char buf[16];
    if (c == 'd' && n <= 2) {
      std::snprintf(buf, sizeof buf, n == 1 ? "%d" : "%02d", nDay);
      out += buf;
    } else if (c == 'M' && n <= 2) {
      std::snprintf(buf, sizeof buf, n == 1 ? "%d" : "%02d", nMonth);
      out += buf;
    } else if (c == 'y' && (n == 2 || n == 4)) {
      std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%04d", n == 2 ? ((nYear % 100) + 100) % 100 : nYear);
      out += buf;
    } else if (c == 'M' && nMonth >= 1 && nMonth <= 12) {
      out += (n == 3 ? m_aMonthShort : m_aMonthLong)[static_cast<size_t>(nMonth - 1)];
    } else if (c == 'd') {
      // Monday is 0; 1970-01-01 was a Thursday.
      const int64_t nDays = static_cast<int64_t>(DayNumberFromCalendar(nYear, nMonth, nDay, 0, 0, 0)) - 25569;
      const size_t nWeekDay = static_cast<size_t>(((nDays + 3) % 7 + 7) % 7);
      out += (n == 3 ? m_aDayShort : m_aDayLong)[nWeekDay];
    } else if (c == 'y') {
      std::snprintf(buf, sizeof buf, "%d", nYear);
      out += buf;
    } else if (c == '\'') {
      size_t j = f.find('\'', i + 1);
      if (j == std::string::npos) j = f.size();
      out += f.substr(i + 1, j - i - 1);
      i = j + 1;
      continue;
    } else {
      out.append(n, c);
    }
    i += n;
  }
  return out;
}

const std::string& CRegionalSettings::ShortDateOfDay(int64_t nDayNumber) const {
  if (nDayNumber != m_nCachedDay) {
    int y, m, d, hh, mm, ss;
    CalendarFromDayNumber(static_cast<double>(nDayNumber), y, m, d, hh, mm, ss);
    m_strCachedDate = FormatShortDate(y, m, d);
    m_nCachedDay = nDayNumber;
  }
  return m_strCachedDate;
}

bool CRegionalSettings::ParseDate(std::string_view s, size_t& i, int& nYear, int& nMonth, int& nDay) const {
  const std::string& f = m_strShortDate;
  nYear = 1899;
  nMonth = 1;
  nDay = 1;
  for (size_t k = 0; k < f.size();) {
    const char c = f[k];
    size_t n = 1;
    while (k + n < f.size() && f[k + n] == c) ++n;
    if (c == 'd' && n <= 2) {
      if (!ReadInt(s, i, 2, nDay)) return false;
    } else if (c == 'd') {
      if (MatchName(s, i, m_aDayShort, m_aDayLong) < 0) return false;
    } else if (c == 'M' && n <= 2) {
      if (!ReadInt(s, i, 2, nMonth)) return false;
    } else if (c == 'M') {
      const int nMatch = MatchName(s, i, m_aMonthShort, m_aMonthLong);
      if (nMatch < 0) return false;
      nMonth = nMatch + 1;
    } else if (c == 'y') {
      int nDigits = 0;
      if (!ReadInt(s, i, 4, nYear, &nDigits)) return false;
      // Two digits are 2000-2079 or 1980-1999, whatever the format asks for.
      if (nDigits <= 2) nYear += nYear < 80 ? 2000 : 1900;
    } else if (c == '\'') {
      size_t j = f.find('\'', k + 1);
      if (j == std::string::npos) j = f.size();
      const std::string_view strLiteral = std::string_view(f).substr(k + 1, j - k - 1);
      if (!strLiteral.empty() && !StartsWithNoCase(s, i, strLiteral)) return false;
      i += strLiteral.size();
      k = j + 1;
      continue;
    } else if (c == ' ') {
      if (i >= s.size() || s[i] != ' ') return false;
      SkipBlanks(s, i);
    } else {
      for (size_t r = 0; r < n; ++r, ++i) {
        if (i >= s.size()) return false;
        const bool bSame = s[i] == c || (IsDateSeparator(c) && IsDateSeparator(s[i])) ||
                           (s[i] == m_cDate && IsDateSeparator(c));
        if (!bSame) return false;
      }
    }
    k += n;
  }
  return nMonth >= 1 && nMonth <= 12 && nDay >= 1 && nYear >= 1 && nDay <= DaysInMonth(nYear, nMonth);
}

bool CRegionalSettings::ParseDateTime(std::string_view s, double& dDayNumber) const {
  size_t i = 0;
  SkipBlanks(s, i);
  int nYear = 1899, nMonth = 12, nDay = 30;
  bool bHasDate = false;
  {
    size_t j = i;
    int y, m, d;
    // A date must end at a blank or at the end: "10:20" is a time, not the 10th.
    if (ParseDate(s, j, y, m, d) && (j == s.size() || s[j] == ' ' || s[j] == '\t')) {
      nYear = y;
      nMonth = m;
      nDay = d;
      bHasDate = true;
      i = j;
    }
  }
  int nHour = 0, nMinute = 0, nSecond = 0;
  SkipBlanks(s, i);
  if (i < s.size()) {
    if (!ReadInt(s, i, 2, nHour)) return false;
    if (i < s.size() && (s[i] == m_cTime || s[i] == ':')) {
      ++i;
      if (!ReadInt(s, i, 2, nMinute)) return false;
      if (i < s.size() && (s[i] == m_cTime || s[i] == ':')) {
        ++i;
        if (!ReadInt(s, i, 2, nSecond)) return false;
      }
    } else if (!bHasDate) {
      return false;  // a lone number is neither a date nor a time
    }
    SkipBlanks(s, i);
    if (i != s.size()) return false;
    if (nHour > 23 || nMinute > 59 || nSecond > 59) return false;
  } else if (!bHasDate) {
    return false;
  }
  dDayNumber = DayNumberFromCalendar(nYear, nMonth, nDay, nHour, nMinute, nSecond);
  return true;
}

const CRegionalSettings& GetRegionalSettings() {
  auto& p = Current();
  if (!p) p = std::make_unique<CRegionalSettings>(CRegionalSettings::FromSystem());
  return *p;
}

void SetRegionalSettings(const CRegionalSettings& settings) {
  Current() = std::make_unique<CRegionalSettings>(settings);
}

} // namespace zk7
