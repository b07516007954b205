// The view state a results-file window shares among its key, graph and list:
// time format and resolution, history period, channel states, marks and cursors.
#pragma once
#include <string>
#include <vector>

#include "history/ScalesToolState.h"

namespace zk7 {

// Per channel: ticked in the key, and the scale it is drawn against.
struct _tChanStateLegend {
  bool m_bChecked = true;
  int m_nScale = 1;   // 0 X, 1 Y1, 2 Y2: a new entry is drawn on Y1
};

struct sCursorState {
  bool m_bShown = false;
  bool m_bLocked = false;
  int m_nChannelChoice = 0;
  std::string m_strX;
  std::string m_strY;
};

struct sHistViewState {
  enum eTimeFormat { TIME_FORMAT_DATE_TIME = 0, TIME_FORMAT_TIME = 1, TIME_FORMAT_DELAY = 2 };

  int m_nTimeFormat = TIME_FORMAT_DATE_TIME;
  bool m_bShowFraction = true;
  int m_nFractionDigits = 3;           // 0..3; 3 is "1 ms"
  bool m_bMsOffsetColumns = false;
  double m_dHistoryStart = 0.0;        // day-number dates
  double m_dHistoryEnd = 0.0;
  std::vector<_tChanStateLegend> m_aChanStates;
  std::vector<int> m_aFixedMarks;      // record indexes, in the order added
  sCursorState m_aCursors[2];
  std::string m_strDeltaX;
  std::string m_strDeltaY;
  std::vector<std::string> m_aCursorChannelTexts;
  std::vector<int> m_aCursorChannels;
  sScalesToolState m_scales;           // values of the "Scales" tool bar
  int m_nAllPanesGraphHeight = 100;    // pixels, set at the first sizing
  int m_nAllPanesKeyWidth = 100;
  bool m_bCursorsBarWasVisible = false;
  bool m_bScalesBarWasVisible = false;
};

// The state of a new window: the history period is the day before dNow (a local
// day-number date), everything else at its initial value.
sHistViewState MakeInitialHistViewState(double dNow);

// Time format that suits a file: time only when the first and last record fall
// on the same day, else date and time.
int GetTimeFormatForRange(double dFirst, double dLast);

// The resolution commands: 0 digits means whole seconds (the fraction hidden).
void SetTimeResolution(sHistViewState& state, int nDigits);
// True when the resolution command of nDigits is the one in force.
bool IsTimeResolution(const sHistViewState& state, int nDigits);

} // namespace zk7
