// Numbers and dates whatever the locale: the C library's (which QApplication
// sets from the environment) and the user's regional conventions.
#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>
#include <cmath>
#include <string>

#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "format/NumberScan.h"
#include "history/GraphAxisText.h"
#include "history/GraphCursors.h"

using namespace zk7;

namespace {

// The C library's numeric locale for one test, restored afterwards.
class CNumericLocale {
public:
  explicit CNumericLocale(const char* pszName) : m_strOld(std::setlocale(LC_ALL, nullptr)) {
    m_bSet = std::setlocale(LC_ALL, pszName) != nullptr;
  }
  ~CNumericLocale() { std::setlocale(LC_ALL, m_strOld.c_str()); }
  bool IsSet() const { return m_bSet; }

private:
  std::string m_strOld;
  bool m_bSet = false;
};

using Locales = CResultsTest;

TEST_F(Locales, TheScannerReadsPlainDecimalsOnly) {
  struct {
    const char* psz;
    bool bExponent;
    bool bOk;
    double d;
  } const cases[] = {
      {"12.5", false, true, 12.5},  {"-0.25", false, true, -0.25}, {"+7", false, true, 7},   {".5", false, true, 0.5},
      {"5.", false, true, 5},       {"1e3", true, true, 1000},     {"1.5E-2", true, true, 0.015},
      {"1e3", false, false, 0},     {"nan", true, false, 0},       {"inf", true, false, 0},  {"-infinity", true, false, 0},
      {"0x1p3", true, false, 0},    {"0x10", false, false, 0},     {".", false, false, 0},   {"+-5", false, false, 0},
      {"1,5", false, false, 0},     {"", false, false, 0},         {"1e", true, false, 0},   {" 1", false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.psz);
    double d = -99;
    EXPECT_EQ(ScanDecimal(c.psz, d, c.bExponent), c.bOk);
    if (c.bOk) {
      EXPECT_EQ(d, c.d);
    }
  }
  double d = 0;
  EXPECT_TRUE(ScanDecimal(std::string(MAX_NUMBER_DIGITS, '1'), d));
  EXPECT_FALSE(ScanDecimal(std::string(MAX_NUMBER_DIGITS + 1, '1'), d)) << "an over-long digit run";
  EXPECT_TRUE(ScanDecimal("1e999", d, true));
  EXPECT_TRUE(std::isinf(d));
  EXPECT_EQ(ParseNumber("1e999", 100, -100), 100) << "beyond the double is beyond the bound";
  for (const char* psz : {"nan", "inf", "0x1p3", "1e3x"}) EXPECT_EQ(ParseNumber(psz, 100, -100), -100) << psz;
  int64_t n = 0;
  EXPECT_FALSE(ScanInt("99999999999999999999", INT64_MIN, INT64_MAX, n)) << "beyond int64";
  EXPECT_TRUE(ScanInt("-42", -100, 100, n));
  EXPECT_EQ(n, -42);
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
  CZK7Doc doc;
  Open(doc, b);
  float f = 0;
  bool bHigh = false;
  EXPECT_TRUE(doc.GetChannelLimit(0, 0, f, bHigh));
  EXPECT_EQ(f, 12.5f);
  EXPECT_EQ(doc.GetFileInformation().strDuration, "0 h 0 mn 1.500 s");

  // What is typed uses the regional separator; a point still reads.
  EXPECT_EQ(ParseNumber("1.5", 100, -100), 1.5);
  EXPECT_EQ(FormatSignificant(1234.5678, 6), "1234.57");
  SetRegionalSettings(CRegionalSettings(',', ':', '.', "dd.MM.yyyy"));
  EXPECT_EQ(ParseNumber("-0,25", 100, -100), -0.25);
  EXPECT_EQ(FormatSignificant(1234.5678, 6), "1234,57");
  EXPECT_EQ(ParseNumber(FormatSignificant(1.5e20, 6), 1e300, -1e300), 1.5e20) << "a scale text read back";
}

TEST_F(Locales, EveryDateShownReadsBackInItsLocale) {
  const double aTimes[] = {
      DayNumberFromCalendar(2026, 1, 1, 10, 0, 0),
      DayNumberFromCalendar(2026, 12, 31, 23, 59, 59.5),
      DayNumberFromCalendar(1999, 2, 28, 0, 0, 0.125),
      DayNumberFromCalendar(2079, 9, 9, 1, 46, 40.987),
  };
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
  struct {
    const char* psz;
    eParseDate e;
  } const cases[] = {
      {"12/05/2026 10:00:00.nan", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.inf", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.99999999999999999999", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.1e300", PARSE_DATE_INVALID},
      {"12/05/2026 10:00:00.-5", PARSE_DATE_INVALID},
      {"12/05/99999 10:00:00", PARSE_DATE_WRONG_FORMAT},
      {"12/05/2026 99999999999:00", PARSE_DATE_WRONG_FORMAT},
      {"2026-02-30T00:00:00", PARSE_DATE_WRONG_FORMAT},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDateTime(c.psz, d), c.e) << c.psz;
  EXPECT_EQ(d, 7) << "a refused text leaves the date";
  for (double t : {double(NAN), double(INFINITY), 1e300, -1e300, 3e6}) {
    EXPECT_EQ(FormatDateTime(t, true, true, 3), INVALID_DATE_TEXT) << t;
    EXPECT_EQ(FormatTimeSpan(t * 1e10, true, 3), INVALID_DATE_TEXT) << t;
    EXPECT_EQ(FormatCursorX(t, false, true, 3), INVALID_DATE_TEXT) << t;
    EXPECT_EQ(FormatTimeAxisLabel(t, 0, true, 3), INVALID_DATE_TEXT) << t;
  }
  EXPECT_EQ(FormatDeltaX(1e300, false, true, 3), INVALID_DATE_TEXT);
}

} // namespace
