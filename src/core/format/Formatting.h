// Numbers, dates and durations in the user's regional conventions.
#pragma once
#include <string>
#include <string_view>

namespace zk7 {

char GetDecimalSeparator();
char GetTimeSeparator();

// Text of at most nWidth (1..9) characters; nDecimals < 0 chooses seven
// significant digits; asterisks when it cannot fit; exponent form beyond
// 99,999,999 and -9,999,999.
std::string FormatNumber(double dValue, int nWidth, int nDecimals, bool bTrim);
void AppendNumber(std::string& strOut, double dValue, int nWidth, int nDecimals, bool bTrim);

// The dates the calendar can show: years 1 to 9999.
constexpr double MIN_SHOWABLE_DATE = -693593.0;  // 0001-01-01
constexpr double MAX_SHOWABLE_DATE = 2958466.0;  // 10000-01-01
bool IsShowableDate(double dDate);
// What a date or a duration outside that range (or not a number) shows.
constexpr const char* INVALID_DATE_TEXT = "???";

// Date (user's short date), one blank and hh:mm:ss[.fff]; or the time alone.
std::string FormatDateTime(double dDate, bool bWithDate, bool bWithFraction, int nDecimals,
                           std::string* pstrDatePart = nullptr, std::string* pstrTimePart = nullptr);
void AppendDateTime(std::string& strOut, double dDate, bool bWithDate, bool bWithFraction, int nDecimals);

// hh:mm:ss[.fff], hours not folded into days.
std::string FormatTimeSpan(double dDuration, bool bWithFraction, int nDecimals);

enum eParseDate { PARSE_DATE_OK, PARSE_DATE_INVALID, PARSE_DATE_WRONG_FORMAT };
// Parses a date and time typed by the user: every text FormatDateTime writes in
// the user's conventions, and ISO 8601 ("2026-01-01T12:00:00",
// "2026-01-01 12:00:00.000") in any. The digits after the decimal separator that
// follows the seconds are decimals of the second. PARSE_DATE_WRONG_FORMAT is the
// case in which the caller reports "Wrong date format" (string 10009); an
// unreadable fraction gives PARSE_DATE_INVALID silently.
eParseDate ParseDateTime(const std::string& strText, double& dDate);
// ISO 8601 only: YYYY-MM-DD, optionally followed by 'T' or a blank and
// hh:mm[:ss[.fraction]].
bool ParseIsoDateTime(std::string_view strText, double& dDate);

// Reads a decimal number (decimal separator of the user); trailing characters
// give dLower; the result is clamped to [dLower, dUpper]; an empty text is 0.
double ParseNumber(const std::string& strText, double dUpper, double dLower);

// General conversion with at most nDigits (<= 15) significant digits.
std::string FormatSignificant(double dValue, unsigned nDigits);

// Calendar helpers on day-number dates (days since 1899-12-30).
double DayNumberFromCalendar(int nYear, int nMonth, int nDay, int nHour, int nMinute, double dSecond);
void CalendarFromDayNumber(double dDate, int& nYear, int& nMonth, int& nDay, int& nHour, int& nMinute,
                           int& nSecond);
// Days of a month of the proleptic Gregorian calendar (month 1..12).
int DaysInMonth(int nYear, int nMonth);
// Replaces every occurrence of strFrom (not empty) in s by strTo, left to right.
void ReplaceAll(std::string& s, const std::string& strFrom, const std::string& strTo);
constexpr double ONE_MS = 1.0 / 86400000.0;
constexpr double ONE_SECOND = 1.0 / 86400.0;

} // namespace zk7
