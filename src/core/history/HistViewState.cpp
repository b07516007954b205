// Initial values and the resolution rules of the history window's view state.
#include "history/HistViewState.h"

#include <cmath>

namespace zk7 {

sHistViewState MakeInitialHistViewState(double dNow) {
  sHistViewState state;
  state.m_dHistoryStart = dNow - 1.0;
  state.m_dHistoryEnd = dNow;
  return state;
}

int GetTimeFormatForRange(double dFirst, double dLast) {
  return std::floor(dFirst) == std::floor(dLast) ? sHistViewState::TIME_FORMAT_TIME
                                                 : sHistViewState::TIME_FORMAT_DATE_TIME;
}

void SetTimeResolution(sHistViewState& state, int nDigits) {
  state.m_bShowFraction = nDigits > 0;
  state.m_nFractionDigits = nDigits > 0 ? nDigits : 0;
}

bool IsTimeResolution(const sHistViewState& state, int nDigits) {
  if (nDigits <= 0)
    return !state.m_bShowFraction;
  return state.m_bShowFraction && state.m_nFractionDigits == nDigits;
}

} // namespace zk7
