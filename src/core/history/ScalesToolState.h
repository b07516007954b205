// The values of the "Scales" tool bar as the history window keeps them: the
// range texts of the axes, their flags, "Fixed to" and the history length.
#pragma once
#include <string>

#include "history/GraphPeriod.h"

namespace zk7 {

struct sScalesToolState {
  std::string m_strXMin, m_strXMax;
  std::string m_strY1Min, m_strY1Max;
  std::string m_strY2Min, m_strY2Max;
  bool m_bXChannelSet = false, m_bXManual = false;
  bool m_bY1Used = false, m_bY1Manual = false;
  bool m_bY2Used = false, m_bY2Manual = false;
  bool m_bFixedTo = false;
  std::string m_strFixedDate;
  std::string m_strDays;
  std::string m_strTime;
};

// A range limit as the tool bar shows it: 6 significant digits.
std::string FormatScaleLimit(double dValue);
// A typed limit; a text that is not a number gives the lowest double.
double ParseScaleLimit(const std::string& strText);

// The history texts: the end date ("Fixed to"), the whole days of the length
// and the rest of the length as hh:mm:ss.
void SetHistoryTexts(sScalesToolState& state, const sHistoryPeriod& period, bool bShowFraction, int nDigits);

// The text left above the graph: the history start as a date (date and time
// when the time axis counts the delay since the first record).
std::string FormatHistoryStartText(double dStart, int nTimeFormat);

// What a period command of the tool bar did. A text that the date parser
// refuses as a date format is TOOL_WRONG_FORMAT: the caller says "Wrong date
// format"; every other refusal changes nothing silently.
enum eToolResult { TOOL_APPLIED, TOOL_UNCHANGED, TOOL_WRONG_FORMAT };
// "Current Date:": with "Fixed to" ticked, the period of the same length ending
// at the typed date.
eToolResult ApplyFixedDate(const sScalesToolState& state, sHistoryPeriod& period);
// "History on:": the period of the typed days and hh:mm:ss ending at the present
// end; a negative length changes nothing.
eToolResult ApplyHistoryLength(const sScalesToolState& state, sHistoryPeriod& period);

} // namespace zk7
