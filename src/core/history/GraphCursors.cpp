// Cursor readouts and keyboard moves.
#include "history/GraphCursors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "format/Formatting.h"
#include "strings/StringTable.h"

namespace zk7 {

std::string FormatCursorX(double dX, bool bXChannel, bool bShowFraction, int nDigits) {
  if (bXChannel) return FormatSignificant(dX, 6);
  // Two lines, date then time: a date such as "1 Jan 2026" keeps its blanks.
  std::string strDate, strTime;
  const std::string str = FormatDateTime(dX, true, bShowFraction, nDigits, &strDate, &strTime);
  if (!IsShowableDate(dX)) return str;
  return strDate + "\r\n" + strTime;
}

std::string FormatCursorY(double dY) { return FormatSignificant(dY, 6); }

std::string FormatDeltaX(double dX, bool bXChannel, bool bShowFraction, int nDigits) {
  if (bXChannel) return FormatSignificant(dX, 6);
  std::string str;
  if (dX < 0) {
    str = "-";
    dX = -dX;
  }
  // Split after rounding to the resolution, so that the time part never reads 24:00:00.
  const int d = bShowFraction ? std::min(std::max(nDigits, 0), 9) : 0;
  const double dUnits = 86400.0 * std::pow(10.0, d);
  dX = std::round(dX * dUnits) / dUnits;
  const double dDays = std::floor(dX);
  if (!(dDays < 2147483647.0)) return str + INVALID_DATE_TEXT;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d%s\r\n", static_cast<int>(dDays), LoadString(IDS_DAYS_SUFFIX).c_str());
  str += buf;
  str += FormatTimeSpan(dX - dDays, bShowFraction, nDigits);
  return str;
}

double FreeCursorStep(double dMin, double dMax, int nPixels, bool bCtrl) {
  const double dHalf = nPixels > 1 ? nPixels / 2.0 : 1.0;
  const double dStep = (dMax - dMin) / dHalf;
  return bCtrl ? 10.0 * dStep : dStep;
}

bool MoveFreeCursor(int nKey, double& dX, double& dY, const sAxisBox& box, double dStepX, double dStepY) {
  switch (nKey) {
    case CURSOR_KEY_HOME:
      dX = box.dXMin;
      dY = (box.dYMin + box.dYMax) / 2;
      return true;
    case CURSOR_KEY_END:
      dX = box.dXMax;
      dY = (box.dYMin + box.dYMax) / 2;
      return true;
    case CURSOR_KEY_LEFT:
      if (box.dXMin + dStepX < dX) dX -= dStepX;
      return true;
    case CURSOR_KEY_RIGHT:
      if (box.dXMax - dStepX > dX) dX += dStepX;
      return true;
    case CURSOR_KEY_UP:
      if (box.dYMax - dStepY > dY) dY += dStepY;
      return true;
    case CURSOR_KEY_DOWN:
      if (box.dYMin + dStepY < dY) dY -= dStepY;
      return true;
    default: return false;
  }
}

sLockedMove MoveLockedCursor(int nKey, int nPoint, int nCount) {
  sLockedMove m;
  switch (nKey) {
    case CURSOR_KEY_HOME:
      if (nPoint >= 1 && nCount > 0) m = {sLockedMove::TO_POINT, 0};
      break;
    case CURSOR_KEY_LEFT:
      if (nPoint > 0 && nCount > 0) m = {sLockedMove::TO_POINT, std::min(nPoint, nCount) - 1};
      break;
    case CURSOR_KEY_RIGHT:
      if (nPoint + 1 < nCount)
        m = {sLockedMove::TO_POINT, nPoint + 1};
      else
        m = {sLockedMove::TO_AXIS_END, nCount};
      break;
    case CURSOR_KEY_END: m = {sLockedMove::TO_AXIS_END, nCount}; break;
    case CURSOR_KEY_UP: m.m_eKind = sLockedMove::PREVIOUS_CHANNEL; break;
    case CURSOR_KEY_DOWN: m.m_eKind = sLockedMove::NEXT_CHANNEL; break;
    default: break;
  }
  return m;
}

int StepChannelChoice(int nChoice, int nCount, bool bUp) {
  if (nCount <= 0) return 0;
  if (nChoice < 0 || nChoice >= nCount) nChoice = 0;
  if (bUp) return nChoice == 0 ? nCount - 1 : nChoice - 1;
  return nChoice + 1 == nCount ? 0 : nChoice + 1;
}

} // namespace zk7
