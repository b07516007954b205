// The history graph's rules without a window: initial period, paging, zoom
// test, axis labels and ticks, cursor texts and moves, scales tool texts.

#include <cmath>
#include <cfloat>
#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "history/GraphAxisText.h"
#include "history/GraphCursors.h"
#include "history/GraphPeriod.h"
#include "history/ScalesToolState.h"

using namespace zk7;

namespace {

const double DAY0 = DayNumberFromCalendar(2026, 1, 31, 0, 0, 0);
constexpr double HOUR = 1.0 / 24;

using GraphView = CResultsTest;

// Both ends of the period within ten microseconds of those wanted.
::testing::AssertionResult Spans(const sHistoryPeriod& p, double dStart, double dEnd) {
  if (std::fabs(p.dStart - dStart) < 1e-10 && std::fabs(p.dEnd - dEnd) < 1e-10) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::setprecision(15) << p.dStart << ".." << p.dEnd << " instead of "
                                       << dStart << ".." << dEnd;
}

TEST_F(GraphView, InitialPeriodAndPlottedRangeOfAFile) {
  CResultsFileBuilder b(1, CResultsFileBuilder::MakeXml({"inputchan"}));
  b.AddRecords(100, 1, 1767225600u, 10, [](int, int) { return sRawSample{0, 0, 1.0f}; });
  CZK7Doc& doc = Opened(b);
  const sHistoryPeriod p = InitialHistoryPeriod(doc);
  double dFirst, dLast;
  doc.GetTimeRange(dFirst, dLast);
  EXPECT_EQ(std::pair(p.dStart, p.dEnd), std::pair(dFirst, dLast));
  // The first record is the nearest to 1 ms before the start (1 ms before record 10 is nearest to it).
  int nFirst, nLast;
  GetPlottedRecordRange(doc, {dFirst + 10.6 * ONE_SECOND, dFirst + 20.2 * ONE_SECOND}, nFirst, nLast);
  EXPECT_EQ(std::pair(nFirst, nLast), std::pair(11, 20));
  GetPlottedRecordRange(doc, {dFirst + 10 * ONE_SECOND, dFirst + 20 * ONE_SECOND}, nFirst, nLast);
  EXPECT_EQ(nFirst, 10);

  // The first record follows the ten million value rule.
  // 12,000,000 values: the last 3,333,333 records; exactly 10,000,000: the whole
  // file; a product beyond 2^32 must not wrap back under the limit.
  const int aCases[][3] = {{3, 4000000, 666667}, {10, 1000000, 0}, {10, 1000001, 1}, {7, 3, 0},
                           {2, 2147483647, 2147483647 - 5000000}, {256, 16777217, 16777217 - 39062}};
  for (const auto& c : aCases) EXPECT_EQ(InitialFirstRecord(c[0], c[1]), c[2]) << c[0] << " x " << c[1];
}

TEST_F(GraphView, PagingStopsAtTheEndsAndPeriodsFromCursorsDatesAndLengths) {
  const double dFirst = DAY0, dLast = DAY0 + 10 * HOUR;
  sHistoryPeriod p{dFirst + 0.5 * HOUR, dFirst + 1.5 * HOUR};
  EXPECT_TRUE(CanShowPrevious(p, dFirst));
  ASSERT_TRUE(ShowPreviousPeriod(p, dFirst));
  EXPECT_TRUE(Spans(p, dFirst, dFirst + HOUR)) << "the length stays";
  EXPECT_FALSE(CanShowPrevious(p, dFirst) || ShowPreviousPeriod(p, dFirst));
  p = {dLast - 1.5 * HOUR, dLast - 0.25 * HOUR};
  ASSERT_TRUE(ShowNextPeriod(p, dLast));
  EXPECT_TRUE(Spans(p, dLast - 1.25 * HOUR, dLast));
  EXPECT_FALSE(CanShowNext(p, dLast) || ShowNextPeriod(p, dLast));
  sHistoryPeriod empty{dFirst + HOUR, dFirst + HOUR};
  EXPECT_FALSE(ShowPreviousPeriod(empty, dFirst)) << "a period without length does not page";

  // Zoomed: the view moves by three quarters of its width, held inside the period.
  const sHistoryPeriod period{DAY0, DAY0 + 4 * HOUR};
  sHistoryPeriod v{DAY0 + 2 * HOUR, DAY0 + 3 * HOUR};
  EXPECT_TRUE(IsZoomed(false, period, v.dStart, v.dEnd));
  PageZoomedRange(v.dStart, v.dEnd, period, true);
  EXPECT_TRUE(Spans(v, DAY0 + 2.75 * HOUR, DAY0 + 3.75 * HOUR));
  PageZoomedRange(v.dStart, v.dEnd, period, true);
  EXPECT_TRUE(Spans(v, DAY0 + 3 * HOUR, DAY0 + 4 * HOUR)) << "held at the period's end";
  v = {DAY0 + 0.5 * HOUR, DAY0 + 1.5 * HOUR};
  PageZoomedRange(v.dStart, v.dEnd, period, false);
  EXPECT_TRUE(Spans(v, DAY0, DAY0 + HOUR)) << "held at the period's start";
  EXPECT_FALSE(IsZoomed(false, period, DAY0 + 0.2 * HOUR, DAY0 + 3.8 * HOUR)) << "90 % of the period";
  EXPECT_TRUE(IsZoomed(false, period, DAY0 + 0.21 * HOUR, DAY0 + 3.8 * HOUR));
  EXPECT_TRUE(IsZoomed(true, period, -1e9, 1e9)) << "an X channel always counts as zoomed";

  // Not zoomed: the whole period moves by its length while one end stays in the file.
  p = {DAY0 + 7 * HOUR, DAY0 + 9 * HOUR};
  ASSERT_TRUE(PagePeriod(p, dFirst, dLast, true));
  EXPECT_TRUE(Spans(p, DAY0 + 9 * HOUR, DAY0 + 11 * HOUR));
  EXPECT_FALSE(PagePeriod(p, dFirst, dLast, true)) << "both ends beyond the file";
  EXPECT_TRUE(Spans(p, DAY0 + 9 * HOUR, DAY0 + 11 * HOUR));
  ASSERT_TRUE(PagePeriod(p, dFirst, dLast, false));
  EXPECT_TRUE(Spans(p, DAY0 + 7 * HOUR, DAY0 + 9 * HOUR));

  // Periods from the cursors, a fixed date and a length.
  EXPECT_TRUE(Spans(PeriodFromCursors(DAY0 + 5 * HOUR, DAY0 + 2 * HOUR), DAY0 + 2 * HOUR, DAY0 + 5 * HOUR))
      << "cursor 2 left of cursor 1 still gives a period from left to right";
  EXPECT_TRUE(Spans(PeriodFromCursors(DAY0, DAY0 + HOUR), DAY0, DAY0 + HOUR));

  sScalesToolState s;
  s.m_strFixedDate = "02/03/2026 12:00:00";
  sHistoryPeriod q{DAY0, DAY0 + 2 * HOUR};
  EXPECT_EQ(ApplyFixedDate(s, q), TOOL_UNCHANGED) << "only with Fixed to ticked";
  s.m_bFixedTo = true;
  ASSERT_EQ(ApplyFixedDate(s, q), TOOL_APPLIED);
  const double dEnd = DayNumberFromCalendar(2026, 2, 3, 12, 0, 0);
  EXPECT_TRUE(Spans(q, dEnd - 2 * HOUR, dEnd)) << "the length stays";
  s.m_strFixedDate = "tomorrow";
  EXPECT_EQ(ApplyFixedDate(s, q), TOOL_WRONG_FORMAT);
  EXPECT_TRUE(Spans(q, dEnd - 2 * HOUR, dEnd));

  // The length typed in days and a time, before the same end; refused texts change nothing.
  const double dLength = 1 + 2.5 * HOUR;
  // A negative length would put the start after the end; the last three, a start before the calendar.
  const struct { const char *pszDays, *pszTime; eToolResult eResult; } aLengths[] = {
      {"1", "02:30:00", TOOL_APPLIED}, {"-2", "02:30:00", TOOL_UNCHANGED}, {"0", "xx", TOOL_WRONG_FORMAT},
      {"2147483648", "02:30:00", TOOL_WRONG_FORMAT}, {"1e300", "02:30:00", TOOL_WRONG_FORMAT}, {"3000000", "02:30:00", TOOL_WRONG_FORMAT}};
  for (const auto& c : aLengths) {
    s.m_strDays = c.pszDays, s.m_strTime = c.pszTime;
    EXPECT_EQ(ApplyHistoryLength(s, q), c.eResult) << c.pszDays << " " << c.pszTime;
    EXPECT_TRUE(Spans(q, dEnd - dLength, dEnd)) << c.pszDays << " " << c.pszTime;
  }

  SetHistoryTexts(s, {DAY0 + 3 * HOUR, DAY0 + 1 + 5.5 * HOUR + 1.6 * ONE_SECOND}, true, 3);
  EXPECT_EQ(s.m_strFixedDate, "02/01/2026 05:30:01.600");
  EXPECT_EQ(s.m_strDays + " " + s.m_strTime, "1 02:30:02") << "whole seconds, rounded";
  EXPECT_EQ(FormatHistoryStartText(DAY0 + 3 * HOUR, 0) + "|" + FormatHistoryStartText(DAY0 + 3 * HOUR, 2),
            "01/31/2026|01/31/2026 03:00:00");
  EXPECT_EQ(std::pair(ParseScaleLimit("12.5"), ParseScaleLimit("12.5x")), std::pair(12.5, -DBL_MAX));
  EXPECT_EQ(FormatScaleLimit(1234567.0), "1.23457E+06");
}

TEST_F(GraphView, AxisLabelFormatsAndTicks) {
  struct sCase { int nFormat; bool bFraction; int nDigits; const char* pszFormat; const char* pszLabel; };
  const double t = DAY0 + 13 * HOUR + 5 * ONE_SECOND / 60 * 60 + 0.2567 * ONE_SECOND;  // 13:00:05.2567
  const sCase aCases[] = {
      {0, false, 0, "mm/dd/yy hh:nn:ss", "01/31/26 13:00:05"}, {0, true, 1, "mm/dd/yy hh:nn:ss.0", "01/31/26 13:00:05.3"},
      {0, true, 2, "mm/dd/yy hh:nn:ss.#0", "01/31/26 13:00:05.26"}, {0, true, 3, "mm/dd/yy hh:nn:ss.##0", "01/31/26 13:00:05.257"},
      {0, true, 4, "mm/dd/yy hh:nn:ss.##0", "01/31/26 13:00:05.257"}, {1, false, 0, "hh:nn:ss", "13:00:05"},
      {1, true, 1, "hh:nn:ss.0", "13:00:05.3"}, {1, true, 3, "hh:nn:ss.##0", "13:00:05.257"}};
  for (const sCase& c : aCases) {
    EXPECT_EQ(GetTimeAxisFormat(c.nFormat, c.bFraction, c.nDigits), c.pszFormat) << c.pszFormat;
    EXPECT_EQ(FormatTimeAxisLabel(t, c.nFormat, c.bFraction, c.nDigits), c.pszLabel) << c.pszFormat;
  }
  // Rounding carries over midnight into the next date.
  EXPECT_EQ(FormatTimeAxisLabel(DAY0 + 1 - 0.4 * ONE_SECOND, 0, false, 0), "02/01/26 00:00:00");
  EXPECT_EQ(std::pair(GetTimeAxisDivisions(0), GetTimeAxisDivisions(1)), std::pair(3, 5));

  // Ticks at round steps, no finer than the labels.
  // One hour over 5 divisions: 15 minutes, from the quarter after the start.
  std::vector<double> a = GetTimeAxisTicks(DAY0 + 10.1 * HOUR, DAY0 + 11.1 * HOUR, 5, true, 3);
  ASSERT_EQ(a.size(), 4u);
  EXPECT_EQ(FormatTimeAxisLabel(a[0], 1, false, 0) + "-" + FormatTimeAxisLabel(a[3], 1, false, 0), "10:15:00-11:00:00");
  // Ten days over 3 divisions: five days.
  a = GetTimeAxisTicks(DAY0, DAY0 + 10, 3, true, 3);
  ASSERT_EQ(a.size(), 2u);
  EXPECT_NEAR(a[1] - a[0], 5.0, 1e-9);
  // 300 ms over 5 divisions would want 60 ms steps; whole seconds shown: at
  // most one tick, never two with the same label.
  a = GetTimeAxisTicks(DAY0 + 0.1 * ONE_SECOND, DAY0 + 0.4 * ONE_SECOND, 5, false, 0);
  EXPECT_TRUE(a.empty());
  a = GetTimeAxisTicks(DAY0 + 0.1 * ONE_SECOND, DAY0 + 0.4 * ONE_SECOND, 5, true, 3);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(FormatTimeAxisLabel(a[0], 1, true, 3) + "|" + FormatTimeAxisLabel(a[1], 1, true, 3), "00:00:00.100|00:00:00.200");
  EXPECT_TRUE(GetTimeAxisTicks(DAY0, DAY0, 5, true, 3).empty());
}

TEST_F(GraphView, CursorReadoutsDeltaTextsAndKeyboardMoves) {
  EXPECT_DOUBLE_EQ(FreeCursorStep(0, 100, 1000, false), 0.2);
  EXPECT_DOUBLE_EQ(FreeCursorStep(0, 100, 1000, true), 2.0) << "Ctrl: ten steps";
  // Steps of 2 and 0.5 in a box of 0..100 and -10..10; NaN: x as the step before left it.
  const sAxisBox box{0, 100, -10, 10};
  const struct { int nKey; double dFromX, dX, dY; } aFree[] = {{CURSOR_KEY_LEFT, 50, 48, 0},        {CURSOR_KEY_LEFT, 1.5, 1.5, 0},  // a step would leave the axis
               {CURSOR_KEY_RIGHT, 97, 99, 0},       {CURSOR_KEY_RIGHT, NAN, 99, 0},  {CURSOR_KEY_UP, NAN, 99, 0.5},
               {CURSOR_KEY_END, NAN, 100, 0},       {CURSOR_KEY_DOWN, NAN, 100, -0.5}, {CURSOR_KEY_HOME, NAN, 0, 0}};
  double x = 0, y = 0;
  for (const auto& m : aFree) {
    SCOPED_TRACE(std::to_string(m.nKey) + " from " + std::to_string(m.dFromX));
    if (!std::isnan(m.dFromX)) x = m.dFromX;
    EXPECT_TRUE(MoveFreeCursor(m.nKey, x, y, box, 2.0, 0.5));
    EXPECT_DOUBLE_EQ(x, m.dX);
    EXPECT_DOUBLE_EQ(y, m.dY);
  }
  EXPECT_FALSE(MoveFreeCursor(33, x, y, box, 2.0, 0.5));

  // Past the last point: the X axis maximum; back from it to the last point.
  const struct { int nKey, nPoint, nKind, nTo; } aLocked[] = {{CURSOR_KEY_RIGHT, 3, sLockedMove::TO_POINT, 4},         {CURSOR_KEY_RIGHT, 9, sLockedMove::TO_AXIS_END, -1},
                 {CURSOR_KEY_LEFT, 10, sLockedMove::TO_POINT, 9},         {CURSOR_KEY_LEFT, 0, sLockedMove::NONE, -1},
                 {CURSOR_KEY_HOME, 0, sLockedMove::NONE, -1},             {CURSOR_KEY_HOME, 6, sLockedMove::TO_POINT, 0},
                 {CURSOR_KEY_END, 2, sLockedMove::TO_AXIS_END, -1},       {CURSOR_KEY_UP, 2, sLockedMove::PREVIOUS_CHANNEL, -1}};
  for (const auto& m : aLocked) {
    const sLockedMove move = MoveLockedCursor(m.nKey, m.nPoint, 10);
    EXPECT_EQ(std::pair(int(move.m_eKind), m.nTo >= 0 ? move.m_nPoint : -1), std::pair(m.nKind, m.nTo)) << m.nKey << " at " << m.nPoint;
  }
  EXPECT_EQ((std::vector<int>{StepChannelChoice(0, 3, true), StepChannelChoice(2, 3, false),
                              StepChannelChoice(1, 3, false), StepChannelChoice(0, 0, false)}),
            (std::vector<int>{2, 0, 2, 0}));

  // Cursor readouts and delta texts.
  const double x1 = DAY0 + 1 + 14 * HOUR, x2 = DAY0 + 12 * HOUR;  // cursor 2 one day two hours left
  EXPECT_EQ(FormatCursorX(x1, false, true, 3) + "|" + FormatCursorX(x1, false, false, 0) + "|" + FormatCursorX(12.3456789, true, true, 3),
            "02/01/2026\r\n14:00:00.000|02/01/2026\r\n14:00:00|12.3457");
  SetRegionalSettings(CRegionalSettings('.', ':', '/', "d MMM yyyy"));
  EXPECT_EQ(FormatCursorX(x1, false, true, 3), "1 Feb 2026\r\n14:00:00.000") << "no break inside the date";
  SetRegionalSettings(CRegionalSettings::Plain());
  EXPECT_EQ(FormatCursorY(-0.000123456789), "-0.000123457");
  // A length that rounds to a whole day never reads 24:00:00; against an X channel dX is a value.
  EXPECT_EQ((std::vector<std::string>{FormatDeltaX(x2 - x1, false, true, 3), FormatDeltaX(x2 - x1, false, true, 1),
                                      FormatDeltaX(x1 - x2, false, false, 0), FormatDeltaX(2 * HOUR - 0.2 * ONE_MS, false, true, 3),
                                      FormatDeltaX(1 - 0.0004 * ONE_SECOND, false, true, 3), FormatDeltaX(-2.5, true, true, 3)}),
            (std::vector<std::string>{"-1j\r\n02:00:00.000", "-1j\r\n02:00:00.0", "1j\r\n02:00:00", "0j\r\n02:00:00.000",
                                      "1j\r\n00:00:00.000", "-2.5"}));
}

} // namespace
