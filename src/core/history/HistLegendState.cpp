#include "history/HistLegendState.h"

#include <algorithm>
#include <cstdio>


namespace zk7 {

namespace {

constexpr int KEY_FIXED_COLUMNS = 4;

bool ValidChannel(const sHistViewState& state, int nChannel) {
  return nChannel >= 0 && static_cast<size_t>(nChannel) < state.m_aChanStates.size();
}

} // namespace

sKeyColumnFormat KeyColumnFormat(int nColumn) {
  static const sKeyColumnFormat FIXED[KEY_FIXED_COLUMNS] = {
      {3, sKeyColumnFormat::RIGHT}, {20, sKeyColumnFormat::LEFT}, {5, sKeyColumnFormat::CENTRE}, {3, sKeyColumnFormat::CENTRE}};
  if (nColumn >= 0 && nColumn < KEY_FIXED_COLUMNS) return FIXED[nColumn];
  return {8, sKeyColumnFormat::RIGHT};
}

void NormaliseChanStates(sHistViewState& state, int nChannelCount) {
  state.m_aChanStates.resize(static_cast<size_t>(std::max(nChannelCount, 0)), _tChanStateLegend{true, 1});
}

std::vector<int> KeyRowChannels(const sHistViewState& state, bool bHideUnchecked) {
  std::vector<int> a;
  for (size_t i = 0; i < state.m_aChanStates.size(); ++i)
    if (!bHideUnchecked || state.m_aChanStates[i].m_bChecked) a.push_back(static_cast<int>(i));
  return a;
}

bool IsChannelChecked(const sHistViewState& state, int nChannel) {
  return !ValidChannel(state, nChannel) || state.m_aChanStates[static_cast<size_t>(nChannel)].m_bChecked;
}

void SetChannelChecked(sHistViewState& state, int nChannel, bool bChecked) {
  if (ValidChannel(state, nChannel)) state.m_aChanStates[static_cast<size_t>(nChannel)].m_bChecked = bChecked;
}

void SetChannelScale(sHistViewState& state, int nChannel, int nScale) {
  if (ValidChannel(state, nChannel)) state.m_aChanStates[static_cast<size_t>(nChannel)].m_nScale = nScale;
}

int GetChannelScale(const sHistViewState& state, int nChannel) {
  return ValidChannel(state, nChannel) ? state.m_aChanStates[static_cast<size_t>(nChannel)].m_nScale : SCALE_NONE;
}

std::vector<int> ApplyKeyCheck(sHistViewState& state, const std::vector<int>& aRowChannels,
                               const std::set<int>& aSelectedRows, int nRow, bool bChecked) {
  std::vector<int> aOthers;
  if (aSelectedRows.count(nRow))
    for (int r : aSelectedRows) {
      if (r == nRow || r < 0 || static_cast<size_t>(r) >= aRowChannels.size()) continue;
      SetChannelChecked(state, aRowChannels[static_cast<size_t>(r)], bChecked);
      aOthers.push_back(r);
    }
  if (nRow >= 0 && static_cast<size_t>(nRow) < aRowChannels.size())
    SetChannelChecked(state, aRowChannels[static_cast<size_t>(nRow)], bChecked);
  return aOthers;
}

std::vector<int> CheckedChannels(const sHistViewState& state) {
  std::vector<int> a;
  for (size_t i = 0; i < state.m_aChanStates.size(); ++i)
    if (state.m_aChanStates[i].m_bChecked) a.push_back(static_cast<int>(i));
  return a;
}

void AssignKeyScale(sHistViewState& state, const std::vector<int>& aRowChannels, const std::set<int>& aSelectedRows,
                    int nScale) {
  if (nScale != 0) {
    for (int r : aSelectedRows)
      if (r >= 0 && static_cast<size_t>(r) < aRowChannels.size())
        SetChannelScale(state, aRowChannels[static_cast<size_t>(r)], nScale);
    return;
  }
  int nXChannel = -1;
  for (int r : aSelectedRows)  // ordered: the first selected row from the top
    if (r >= 0 && static_cast<size_t>(r) < aRowChannels.size()) {
      nXChannel = aRowChannels[static_cast<size_t>(r)];
      break;
    }
  // Unlisted channels too: a hidden channel that stayed X would make a second X
  // channel as soon as it is shown again.
  for (size_t c = 0; c < state.m_aChanStates.size(); ++c) {
    _tChanStateLegend& s = state.m_aChanStates[c];
    if (static_cast<int>(c) == nXChannel) s.m_nScale = 0;
    else if (s.m_nScale == 0) s.m_nScale = 1;
  }
}

std::string KeyClipboardText(const sKeyTable& table) {
  std::string s;
  for (const std::vector<std::string>& aCells : table.aRows) {
    for (const std::string& strCell : aCells) {
      s += strCell;
      s += '\t';
    }
    s += "\r\n";
  }
  return s;
}

} // namespace zk7
