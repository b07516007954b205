// The two measurement cursors of the history graph without a window: their
// readout texts, the delta texts and the keyboard moves.
#pragma once
#include <string>

namespace zk7 {

// Keys of the cursor moves (virtual key numbers).
enum eCursorKey { CURSOR_KEY_END = 35, CURSOR_KEY_HOME = 36, CURSOR_KEY_LEFT = 37, CURSOR_KEY_UP = 38,
                  CURSOR_KEY_RIGHT = 39, CURSOR_KEY_DOWN = 40 };

// X readout: the date and time on two lines ("\r\n" for every blank), or the
// value of the X channel to 6 significant digits.
std::string FormatCursorX(double dX, bool bXChannel, bool bShowFraction, int nDigits);
// Y readout and dY: 6 significant digits.
std::string FormatCursorY(double dY);
// dX = x2 - x1: "-" when negative, the whole days followed by "j" and "\r\n",
// then hh:mm:ss with the resolution's fraction. Against an X channel the
// difference is a value, 6 significant digits.
std::string FormatDeltaX(double dX, bool bXChannel, bool bShowFraction, int nDigits);

// The step of a free cursor: the axis span over half the plot's extent in
// pixels (two pixels' worth), ten times that with Ctrl.
double FreeCursorStep(double dMin, double dMax, int nPixels, bool bCtrl);

struct sAxisBox {
  double dXMin = 0, dXMax = 0;
  double dYMin = 0, dYMax = 0;
};
// Moves a free cursor; it stays a step inside the box. False for other keys.
bool MoveFreeCursor(int nKey, double& dX, double& dY, const sAxisBox& box, double dStepX, double dStepY);

// A locked cursor sits on point nPoint of its curve of nCount points (nCount
// itself: parked at the X axis maximum after running past the last point).
struct sLockedMove {
  enum eKind { NONE, TO_POINT, TO_AXIS_END, PREVIOUS_CHANNEL, NEXT_CHANNEL };
  eKind m_eKind = NONE;
  int m_nPoint = -1;
};
sLockedMove MoveLockedCursor(int nKey, int nPoint, int nCount);

// The channel choice after Up (previous, the first goes to the last) or Down
// (next, the last goes to the first).
int StepChannelChoice(int nChoice, int nCount, bool bUp);

// The active cursor (1, 2 or 0 for none) once the cursors shown are known
// again, after a rebuild: the active one while it is shown, else the first
// cursor shown, else none. Keys and "Add a Fixed Mark" act on it.
int KeepActiveCursor(int nActive, bool bShown1, bool bShown2);

} // namespace zk7
