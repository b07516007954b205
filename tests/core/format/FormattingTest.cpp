// Numbers, dates, durations and their parsing in the user's conventions,
// whatever the C library's locale (which QApplication sets from the environment).

#include <cmath>
#include <cstdio>
#include <QLocale>
#include <clocale>

#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "format/NumberScan.h"
#include "format/RegionalSettings.h"
#include "history/GraphAxisText.h"
#include "history/GraphCursors.h"

using namespace zk7;

namespace {

using Formatting = CResultsTest;
CRegionalSettings Comma() { return CRegionalSettings(',', ':', '/', "dd/MM/yyyy"); }

TEST_F(Formatting, NumberAutomaticDecimalsAndWidth) {
  struct { double v; int w, d; const char* psz; } const cases[] = {
      {5, 9, -1, " 5.000000"},       {50, 9, -1, " 50.00000"},    {123.456, 9, -1, " 123.4560"},
      {1000, 9, -1, " 1000.000"},    {500000, 9, -1, " 500000.0"}, {2000000, 9, -1, "  2000000"},
      {-5, 9, -1, " -5.00000"},      {0.5, 9, -1, " 0.500000"},    {999999.96, 9, -1, "  1000000"},
      {3.14159f, 9, 2, "     3.14"}, {3.14159f, 9, 6, " 3.141590"}, {123456.789f, 9, 6, "123456.79"},
      {99999999, 9, 0, " 99999999"}, {99999999, 9, 2, " 99999999"}, {-9999999, 9, 3, " -9999999"},
      {1e9, 9, 3, "1.00000e9"},      {123456789, 9, 0, "1.23457e8"}, {-12345678, 9, 2, "-1.2346e7"},
      {1.5e100, 9, 0, "1.500e100"},  {12345, 3, 0, "***"},          {-12.5, 2, 1, "**"},
      {7, 9, 12, "7.0000000"},       {-9.999e9, 7, 0, "-1.0e10"},    {9.9999999e99, 9, 0, "1.000e100"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.v, c.w, c.d, false), c.psz) << c.v << " w" << c.w << " d" << c.d;
  EXPECT_EQ(FormatNumber(1.5, 9, 1, true) + "|" + FormatNumber(1e9, 9, 1, true), "1.5|1.00000e9");
  SetRegionalSettings(Comma());
  EXPECT_EQ(FormatNumber(1.5, 9, 1, false) + "|" + FormatNumber(123456789, 9, 0, false), "      1,5|1,23457e8");
}

TEST_F(Formatting, FixedFormMatchesPrintfDigitForDigit) {
  // Ties, near-ties, negative zero and every magnitude the list shows.
  std::vector<double> aValues = {0.5, 1.5, 2.5, 0.125, 0.0625, -0.0004, -0.0, 1.0005, 2.675, 1e-9, 999999.95,
                                 0.99999995, 123456.789f, 3.14159f, 8388608.5, -12.345};
  uint64_t x = 88172645463325252ULL;
  for (int i = 0; i < 20000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const double dMagnitude = std::pow(10.0, static_cast<double>(x % 17) - 8.0);
    const double v = (static_cast<double>(x >> 11) / 9007199254740992.0 - 0.3) * dMagnitude;
    aValues.push_back(i % 2 ? static_cast<double>(static_cast<float>(v)) : v);
  }
  for (double v : aValues) {
    for (int d = 0; d <= 9; ++d) {
      if (v > 99999999.0 || v < -9999999.0) continue;  // exponent form
      char buf[512];
      std::snprintf(buf, sizeof buf, "%*.*f", 40, d, v);
      std::string strExpected = buf;
      strExpected.erase(0, strExpected.find_first_not_of(' '));
      ASSERT_EQ(FormatNumber(v, 40, d, true), strExpected) << v << " d" << d;
    }
  }
}

TEST_F(Formatting, DateTimeRoundingAndFractions) {
  const double t = DayNumberFromCalendar(2026, 1, 2, 3, 4, 5.678);
  std::string strDate, strTime;
  EXPECT_EQ(FormatDateTime(t, true, true, 3, &strDate, &strTime), "01/02/2026 03:04:05.678");
  EXPECT_EQ(strDate + "|" + strTime, "01/02/2026|03:04:05.678");
  EXPECT_EQ(FormatDateTime(t, false, false, 3), "03:04:06") << "whole seconds round to the nearest";
  EXPECT_EQ(FormatDateTime(t, false, true, 1), "03:04:05.7");
  EXPECT_EQ(FormatDateTime(DayNumberFromCalendar(2026, 1, 2, 3, 4, 59.6), false, true, 1), "03:04:59.6");
  EXPECT_EQ(FormatDateTime(DayNumberFromCalendar(2026, 1, 2, 3, 4, 59.9996), false, true, 3), "03:05:00.000");
  EXPECT_EQ(FormatDateTime(DayNumberFromCalendar(2026, 12, 31, 23, 59, 59.9996), true, true, 3),
            "01/01/2027 00:00:00.000");
  EXPECT_EQ(FormatDateTime(DayNumberFromCalendar(1969, 12, 31, 23, 59, 59), true, false, 0), "12/31/1969 23:59:59");

  SetRegionalSettings(CRegionalSettings(',', '.', '-', "yyyy-MM-dd"));
  EXPECT_EQ(FormatDateTime(t, true, true, 2), "2026-01-02 03.04.05,68");
  SetRegionalSettings(CRegionalSettings('.', ':', '.', "d.M.yy"));
  EXPECT_EQ(FormatDateTime(t, true, false, 0), "2.1.26 03:04:06");

  // Time spans.
  EXPECT_EQ(FormatTimeSpan(1.5, false, 0), "36:00:00") << "hours are not folded into days";
  EXPECT_EQ(FormatTimeSpan(0.4999 / 86400, false, 0), "00:00:00");
  EXPECT_EQ(FormatTimeSpan(0.5 / 86400, false, 0), "00:00:01");
  EXPECT_EQ(FormatTimeSpan((3723 + 0.25) / 86400, true, 3), "01:02:03.250");
  EXPECT_EQ(FormatTimeSpan((59 + 0.9996) / 86400, true, 3), "00:01:00.000") << "a fraction that rounds up carries";
  SetRegionalSettings(Comma());
  EXPECT_EQ(FormatTimeSpan(1.25 / 86400, true, 2), "00:00:01,25");
}

TEST_F(Formatting, ParseDateTime) {
  // Typed, then shown again with three decimals ("" where it is refused).
  const struct { const char* pszTyped; eParseDate e; const char* pszShown; } aCases[] = {
      {"12/05/26 10:00:00", PARSE_DATE_OK, "12/05/2026 10:00:00.000"},
      {"12/05/86 10:00:00", PARSE_DATE_OK, "12/05/1986 10:00:00.000"},
      {"12/05/79", PARSE_DATE_OK, "12/05/2079 00:00:00.000"},
      {"12/05/2026 10:00:00.789", PARSE_DATE_OK, "12/05/2026 10:00:00.789"},
      {"12/05/2026 10:00:00.5", PARSE_DATE_OK, "12/05/2026 10:00:00.500"},  // decimals of the second
      {"10:20", PARSE_DATE_OK, "12/30/1899 10:20:00.000"},                  // a time alone
      {"12/05/2026 10:00:00.x", PARSE_DATE_INVALID, ""}, {"13/45/2026", PARSE_DATE_WRONG_FORMAT, ""},
      {"02/30/2026", PARSE_DATE_WRONG_FORMAT, ""}, {"12/05/2026 25:00", PARSE_DATE_WRONG_FORMAT, ""},
      {"yesterday", PARSE_DATE_WRONG_FORMAT, ""}, {"", PARSE_DATE_WRONG_FORMAT, ""},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.pszTyped);
    double d = 0;
    ASSERT_EQ(ParseDateTime(c.pszTyped, d), c.e);
    if (c.e == PARSE_DATE_OK) {
      EXPECT_EQ(FormatDateTime(d, true, true, 3), c.pszShown);
    }
  }
  double d = 0;
  SetRegionalSettings(Comma());
  ASSERT_EQ(ParseDateTime("05/12/26 10:00:00,250", d), PARSE_DATE_OK);
  EXPECT_EQ(FormatDateTime(d, true, true, 3), "05/12/2026 10:00:00,250");
  SetRegionalSettings(CRegionalSettings('.', ':', '-', "yyyy-MM-dd"));
  ASSERT_EQ(ParseDateTime("2026-03-04 05:06:07", d), PARSE_DATE_OK);
  EXPECT_EQ(FormatDateTime(d, true, false, 0), "2026-03-04 05:06:07") << "year first: the day is not widened";
}

// The C library's numeric locale for one test, restored afterwards.
struct CNumericLocale {
  std::string m_strOld = std::setlocale(LC_ALL, nullptr);
  bool m_bSet;
  explicit CNumericLocale(const char* pszName) : m_bSet(std::setlocale(LC_ALL, pszName) != nullptr) {}
  ~CNumericLocale() { std::setlocale(LC_ALL, m_strOld.c_str()); }
  bool IsSet() const { return m_bSet; }
};

using Locales = CResultsTest;

TEST_F(Locales, TheScannerReadsPlainDecimalsOnly) {
  struct { const char* psz; bool bExponent, bOk; double d; } const cases[] = {
      {"12.5", false, true, 12.5},  {"-0.25", false, true, -0.25}, {"+7", false, true, 7},   {".5", false, true, 0.5},
      {"5.", false, true, 5},       {"1e3", true, true, 1000},     {"1.5E-2", true, true, 0.015},
      {"1e3", false, false, 0},     {"nan", true, false, 0},       {"inf", true, false, 0},  {"-infinity", true, false, 0},
      {"0x1p3", true, false, 0},    {"0x10", false, false, 0},     {".", false, false, 0},   {"+-5", false, false, 0},
      {"1,5", false, false, 0},     {"", false, false, 0},         {"1e", true, false, 0},   {" 1", false, false, 0},
  };
  for (const auto& c : cases) {
    double d = -99;
    EXPECT_EQ(ScanDecimal(c.psz, d, c.bExponent), c.bOk) << c.psz;
    if (c.bOk) { EXPECT_EQ(d, c.d) << c.psz; }
  }
  double d = 0;
  EXPECT_TRUE(ScanDecimal(std::string(MAX_NUMBER_DIGITS, '1'), d));
  EXPECT_FALSE(ScanDecimal(std::string(MAX_NUMBER_DIGITS + 1, '1'), d)) << "an over-long digit run";
  EXPECT_TRUE(ScanDecimal("1e999", d, true) && std::isinf(d));
  EXPECT_EQ(ParseNumber("1e999", 100, -100), 100) << "beyond the double is beyond the bound";
  for (const char* psz : {"nan", "inf", "0x1p3", "1e3x"}) EXPECT_EQ(ParseNumber(psz, 100, -100), -100) << psz;
  int64_t n = 0;
  EXPECT_FALSE(ScanInt("99999999999999999999", INT64_MIN, INT64_MAX, n)) << "beyond int64";
  EXPECT_TRUE(ScanInt("-42", -100, 100, n) && n == -42);

  // Typed numbers and significant digits.
  // Characters after the number refuse it (the lower bound); out of range clamps;
  // at most 79 characters are read.
  const std::pair<std::string, double> aCases[] = {{"12.5", 12.5}, {"12.5a", -100}, {"", 0}, {"abc", -100},
                                                   {"1e3", 100}, {"-1e3", -100}};
  for (const auto& [str, d] : aCases) EXPECT_EQ(ParseNumber(str, 100, -100), d) << str;
  EXPECT_EQ(ParseNumber(std::string(100, '1'), 1e200, 0), 1.1111111111111111e78);
  EXPECT_EQ(FormatSignificant(0.000012345, 3) + "|" + FormatSignificant(2.5, 40) + "|" + FormatSignificant(1.0 / 3.0, 40),
            "1.23E-05|2.5|0.333333333333333");
}

TEST_F(Locales, NumbersIgnoreTheCLibrarysCommaLocale) {
  CNumericLocale loc("de_DE.UTF-8");
  ASSERT_TRUE(loc.IsSet()) << "scripts/deps.sh generates de_DE.UTF-8";
  // The XML always uses the point.
  CResultsFileBuilder b;
  b.strXml = CResultsFileBuilder::MakeXml({"inputchan", "inputchan"}, "Test",
                                          "<limit number=\"1\" onoff=\"on\" level=\"high\" value=\"12.5\"/>");
  b.aRecords.push_back({1000000000u, 0, {{0, 0, 1.5f}, {0, 0, 2.5f}}});
  b.aRecords.push_back({1000000001u, 5, {{0, 0, 1.5f}, {0, 0, 2.5f}}});
  CZK7Doc& doc = Opened(b);
  float f = 0; bool bHigh = false;
  EXPECT_TRUE(doc.GetChannelLimit(0, 0, f, bHigh) && f == 12.5f);
  EXPECT_EQ(doc.GetFileInformation().strDuration, "0 h 0 mn 1.500 s");

  // What is typed uses the regional separator; a point still reads.
  EXPECT_EQ(std::pair(ParseNumber("1.5", 100, -100), FormatSignificant(1234.5678, 6)), std::pair(1.5, std::string("1234.57")));
  SetRegionalSettings(CRegionalSettings(',', ':', '.', "dd.MM.yyyy"));
  EXPECT_EQ(std::pair(ParseNumber("-0,25", 100, -100), FormatSignificant(1234.5678, 6)), std::pair(-0.25, std::string("1234,57")));
  EXPECT_EQ(ParseNumber(FormatSignificant(1.5e20, 6), 1e300, -1e300), 1.5e20) << "a scale text read back";
}

TEST_F(Locales, EveryDateShownReadsBackInItsLocale) {
  const double aTimes[] = {DayNumberFromCalendar(2026, 1, 1, 10, 0, 0), DayNumberFromCalendar(2026, 12, 31, 23, 59, 59.5),
                           DayNumberFromCalendar(1999, 2, 28, 0, 0, 0.125), DayNumberFromCalendar(2079, 9, 9, 1, 46, 40.987)};
  for (const char* pszLocale : {"C.UTF-8", "en_US", "en_GB", "de_DE", "de_CH", "fr_FR", "ja_JP"}) {
    SCOPED_TRACE(pszLocale);
    const std::string strName = pszLocale;
    const QLocale locale(QString::fromLatin1(strName.substr(0, strName.find('.')).c_str()));
    CNumericLocale loc(strName.find('.') == std::string::npos ? (strName + ".UTF-8").c_str() : pszLocale);
    ASSERT_TRUE(loc.IsSet()) << "scripts/deps.sh generates the locales";
    SetRegionalSettings(CRegionalSettings::FromLocale(locale));
    for (double t : aTimes) {
      for (int nDecimals : {0, 1, 3}) {
        const std::string str = FormatDateTime(t, true, nDecimals > 0, nDecimals);
        SCOPED_TRACE(str);
        double d = 0;
        ASSERT_EQ(ParseDateTime(str, d), PARSE_DATE_OK);
        EXPECT_EQ(FormatDateTime(d, true, nDecimals > 0, nDecimals), str);
        EXPECT_NEAR(d, t, (nDecimals ? 0.5 * std::pow(10.0, -nDecimals) : 0.5) * ONE_SECOND + 1e-9);
      }
      std::string strDate;
      FormatDateTime(t, true, false, 0, &strDate);
      double d = 0;
      ASSERT_EQ(ParseDateTime(strDate, d), PARSE_DATE_OK) << strDate;
      EXPECT_EQ(d, std::floor(t + 0.5 * ONE_SECOND)) << strDate;
    }
    double d = 0;
    ASSERT_EQ(ParseDateTime("2026-01-01T12:00:00", d), PARSE_DATE_OK);
    EXPECT_EQ(d, DayNumberFromCalendar(2026, 1, 1, 12, 0, 0));
    ASSERT_EQ(ParseDateTime("2026-01-01 12:00:00.250", d), PARSE_DATE_OK);
    EXPECT_NEAR(d, DayNumberFromCalendar(2026, 1, 1, 12, 0, 0.25), 1e-10);
  }
  SetRegionalSettings(CRegionalSettings::FromLocale(QLocale(QStringLiteral("de_CH"))));
  double d = 0;
  ASSERT_EQ(FormatDateTime(DayNumberFromCalendar(2026, 1, 1, 10, 0, 0), true, true, 3), "01.01.26 10:00:00.000");
  ASSERT_EQ(ParseDateTime("01.01.26 10:00:00.000", d), PARSE_DATE_OK) << "date and decimal separators alike";
  EXPECT_EQ(d, DayNumberFromCalendar(2026, 1, 1, 10, 0, 0));
  SetRegionalSettings(CRegionalSettings::FromLocale(QLocale::c()));
  ASSERT_EQ(ParseDateTime("1 Jan 2026", d), PARSE_DATE_OK);
  EXPECT_EQ(ParseDateTime("1 Jam 2026", d), PARSE_DATE_WRONG_FORMAT);
}

TEST_F(Locales, TypedDatesOutsideTheCalendarAreRefusedWithoutUndefinedMaths) {
  double d = 7;
  struct { const char* psz; eParseDate e; } const cases[] = {
      {"12/05/2026 10:00:00.nan", PARSE_DATE_INVALID}, {"12/05/2026 10:00:00.inf", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.99999999999999999999", PARSE_DATE_INVALID}, {"12/05/2026 10:00:00.1e300", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.-5", PARSE_DATE_INVALID}, {"12/05/99999 10:00:00", PARSE_DATE_WRONG_FORMAT},
      {"12/05/2026 99999999999:00", PARSE_DATE_WRONG_FORMAT}, {"2026-02-30T00:00:00", PARSE_DATE_WRONG_FORMAT}};
  for (const auto& c : cases) EXPECT_EQ(ParseDateTime(c.psz, d), c.e) << c.psz;
  EXPECT_EQ(d, 7) << "a refused text leaves the date";
  const std::string strInvalid = INVALID_DATE_TEXT;
  for (double t : {double(NAN), double(INFINITY), 1e300, -1e300, 3e6})
    EXPECT_EQ(FormatDateTime(t, true, true, 3) + FormatTimeSpan(t * 1e10, true, 3) + FormatCursorX(t, false, true, 3) +
                  FormatTimeAxisLabel(t, 0, true, 3), strInvalid + strInvalid + strInvalid + strInvalid) << t;
  EXPECT_EQ(FormatDeltaX(1e300, false, true, 3), INVALID_DATE_TEXT);
}

} // namespace
