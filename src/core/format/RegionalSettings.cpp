#include "format/RegionalSettings.h"

#include <QDate>
#include <QLocale>

#include <cctype>
#include <memory>
#include <vector>

#include "format/Formatting.h"

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

bool ReadInt(const std::string& s, size_t& i, int nMaxDigits, int& nValue) {
  size_t nStart = i;
  nValue = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && static_cast<int>(i - nStart) < nMaxDigits) {
    nValue = nValue * 10 + (s[i] - '0');
    ++i;
  }
  return i > nStart;
}

void SkipBlanks(const std::string& s, size_t& i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
}

std::unique_ptr<CRegionalSettings>& Current() {
  static std::unique_ptr<CRegionalSettings> p;
  return p;
}

} // namespace

CRegionalSettings::CRegionalSettings(char cDecimal, char cTime, char cDate, std::string strShortDate)
    : m_cDecimal(cDecimal), m_cTime(cTime), m_cDate(cDate), m_strShortDate(std::move(strShortDate)),
      m_eOrder(OrderOf(m_strShortDate)) {}

CRegionalSettings CRegionalSettings::FromSystem() {
  const QLocale loc = QLocale::system();
  const QString strDate = loc.dateFormat(QLocale::ShortFormat);
  const QString strTime = loc.timeFormat(QLocale::ShortFormat);
  std::string strShort = strDate.toLatin1().toStdString();
  if (strDate.isEmpty() || QString::fromLatin1(strShort.c_str()) != strDate) strShort = "MM/dd/yyyy";
  return CRegionalSettings(Latin1Of(loc.decimalPoint(), '.'), SeparatorOf(strTime, ':'), SeparatorOf(strDate, '/'),
                           strShort);
}

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
    } else if (c == 'd' || c == 'M' || c == 'y') {
      // Names of days and months: the locale writes them.
      const QString strField = QLocale::system().toString(QDate(nYear, nMonth, nDay), QString(n, QChar(c)));
      out += strField.toLatin1().toStdString();
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

bool CRegionalSettings::ParseDateTime(const std::string& strText, double& dDayNumber) const {
  size_t i = 0;
  SkipBlanks(strText, i);
  int aFields[3] = {0, 0, 0};
  int nFields = 0;
  int nYearDigits = 0;
  bool bHasDate = false;
  // A date: three numbers joined by the date separator (or '/', '-').
  {
    size_t j = i;
    int v;
    size_t nBefore = j;
    if (ReadInt(strText, j, 4, v)) {
      const bool bDateSep = j < strText.size() && (strText[j] == m_cDate || strText[j] == '/' || strText[j] == '-');
      if (bDateSep) {
        aFields[0] = v;
        int nDigits0 = static_cast<int>(j - nBefore);
        nFields = 1;
        int nDigitsLast = nDigits0;
        while (nFields < 3 && j < strText.size() &&
               (strText[j] == m_cDate || strText[j] == '/' || strText[j] == '-')) {
          ++j;
          size_t nStart = j;
          if (!ReadInt(strText, j, 4, aFields[nFields])) return false;
          nDigitsLast = static_cast<int>(j - nStart);
          ++nFields;
        }
        if (nFields != 3) return false;
        nYearDigits = (m_eOrder == ORDER_YMD) ? nDigits0 : nDigitsLast;
        bHasDate = true;
        i = j;
      }
    }
  }
  int nYear = 1899, nMonth = 12, nDay = 30;
  if (bHasDate) {
    switch (m_eOrder) {
      case ORDER_DMY: nDay = aFields[0]; nMonth = aFields[1]; nYear = aFields[2]; break;
      case ORDER_MDY: nMonth = aFields[0]; nDay = aFields[1]; nYear = aFields[2]; break;
      case ORDER_YMD: nYear = aFields[0]; nMonth = aFields[1]; nDay = aFields[2]; break;
    }
    if (nYearDigits <= 2) nYear += (nYear < 30) ? 2000 : 1900;
    if (nMonth < 1 || nMonth > 12 || nDay < 1 || nYear < 100 || nDay > DaysInMonth(nYear, nMonth)) return false;
  }
  int nHour = 0, nMinute = 0, nSecond = 0;
  SkipBlanks(strText, i);
  if (i < strText.size()) {
    if (bHasDate && i > 0 && strText[i - 1] != ' ' && strText[i - 1] != '\t') return false;
    if (!ReadInt(strText, i, 2, nHour)) return false;
    if (i < strText.size() && (strText[i] == m_cTime || strText[i] == ':')) {
      ++i;
      if (!ReadInt(strText, i, 2, nMinute)) return false;
      if (i < strText.size() && (strText[i] == m_cTime || strText[i] == ':')) {
        ++i;
        if (!ReadInt(strText, i, 2, nSecond)) return false;
      }
    } else if (!bHasDate) {
      return false;  // a lone number is neither a date nor a time
    }
    SkipBlanks(strText, i);
    if (i != strText.size()) return false;
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
