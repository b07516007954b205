// The user's regional conventions: separators, short date format, date parsing.
#pragma once
#include <cstdint>
#include <string>

namespace zk7 {

class CRegionalSettings {
public:
  enum eDateOrder { ORDER_DMY, ORDER_MDY, ORDER_YMD };

  // Explicit conventions (tests, tools). strShortDate uses Qt's date-format
  // letters (d, dd, M, MM, yy, yyyy) joined by the date separator.
  CRegionalSettings(char cDecimal, char cTime, char cDate, std::string strShortDate);
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
  // Date and time parser in these conventions: a date (in the short-date order,
  // with the date separator), a time (h[:m[:s]] with the time separator), or a
  // date, blanks and a time. A time alone is a time of day 1899-12-30.
  bool ParseDateTime(const std::string& strText, double& dDayNumber) const;

private:
  char m_cDecimal;
  char m_cTime;
  char m_cDate;
  std::string m_strShortDate;
  eDateOrder m_eOrder;
  mutable int64_t m_nCachedDay = INT64_MIN;
  mutable std::string m_strCachedDate;
};

// The conventions every formatting helper uses: read from the system once, on
// first use, and kept for the application's life. Tests replace them.
const CRegionalSettings& GetRegionalSettings();
void SetRegionalSettings(const CRegionalSettings& settings);

} // namespace zk7
