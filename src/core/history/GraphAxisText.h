// The time axis of the history graph: its label format, the label of a tick and
// where the ticks go.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

// The label format in the graph's own letters: "mm/dd/yy " for the date and
// time format, then "hh:nn:ss", then ".0", ".#0" or ".##0" for 1, 2 or 3 (or 4)
// fraction digits when the fraction is shown.
std::string GetTimeAxisFormat(int nTimeFormat, bool bShowFraction, int nDigits);

// The number of major divisions: 3 when dates are shown, else 5.
int GetTimeAxisDivisions(int nTimeFormat);

// The label of a day-number date in that format: "01/31/26 13:05:00.250".
std::string FormatTimeAxisLabel(double dDate, int nTimeFormat, bool bShowFraction, int nDigits);

// Tick positions in [dMin, dMax]: the smallest round step (1-2-5 of the
// fraction, 1-2-5-10-15-30 of seconds and minutes, 1-2-3-6-12 hours, days) of
// at least (dMax - dMin) / nDivisions and not finer than the labels show, at
// whole multiples of the step counted from midnight.
std::vector<double> GetTimeAxisTicks(double dMin, double dMax, int nDivisions, bool bShowFraction, int nDigits);

} // namespace zk7
