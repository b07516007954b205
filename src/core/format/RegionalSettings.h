// The user's regional conventions: separators, short date format, date parsing.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class QLocale;

namespace zk7 {

class CRegionalSettings {
public:
  enum eDateOrder { ORDER_DMY, ORDER_MDY, ORDER_YMD };

  // Explicit conventions (tests, tools). strShortDate uses Qt's date-format
  // letters (d, dd, M, MM, MMM, MMMM, yy, yyyy) joined by the date separator;
  // names of months and days are the English ones.
  CRegionalSettings(char cDecimal, char cTime, char cDate, std::string strShortDate);
  // The conventions of a locale, its month and day names included.
  static CRegionalSettings FromLocale(const QLocale& locale);
  // The conventions of the system locale.
  static CRegionalSettings FromSystem();
  // Plain conventions: '.', ':', '/', "MM/dd/yyyy".
  static CRegionalSettings Plain();

  char GetDecimalSeparator() const { return m_cDecimal; }
  char GetTimeSeparator() const { return m_cTime; }
  char GetDateSeparator() const { return m_cDate; }
  const std::string& GetShortDateFormat() const { return m_strShortDate; }
  eDateOrder GetDateOrder() const { return m_eOrder; }

  // The short date of a calendar day.
  std::string FormatShortDate(int nYear, int nMonth, int nDay) const;
  // The same for a whole day number, cached: consecutive records share a day.
  const std::string& ShortDateOfDay(int64_t nDayNumber) const;
  // Date and time parser in these conventions: a date written as the short
  // date format writes it (numbers, month names; '/', '-' or '.' for any date
  // separator; a two-digit year is 2000-2079 or 1980-1999), a time
  // (h[:m[:s]] with the time separator or ':'), or a date, blanks and a time.
  // A time alone is a time of day 1899-12-30. No fraction of a second.
  bool ParseDateTime(std::string_view strText, double& dDayNumber) const;

private:
  // The date at i as the short date format writes it; i moves past it.
  bool ParseDate(std::string_view s, size_t& i, int& nYear, int& nMonth, int& nDay) const;

  char m_cDecimal;
  char m_cTime;
  char m_cDate;
  std::string m_strShortDate;
  eDateOrder m_eOrder;
  // Latin-1 names, January and Monday first.
  std::array<std::string, 12> m_aMonthShort, m_aMonthLong;
  std::array<std::string, 7> m_aDayShort, m_aDayLong;
  mutable int64_t m_nCachedDay = INT64_MIN;
  mutable std::string m_strCachedDate;
};

// The conventions every formatting helper uses: read from the system once, on
// first use, and kept for the application's life. Tests replace them.
const CRegionalSettings& GetRegionalSettings();
void SetRegionalSettings(const CRegionalSettings& settings);

} // namespace zk7
