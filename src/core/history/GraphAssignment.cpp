// Curve placement, captions, channel choices and alarm lines from the key state.
#include "history/GraphAssignment.h"

#include <cstdio>

#include "results/ZK7Doc.h"
#include "settings/SettingsRecord.h"

namespace zk7 {

namespace {

struct sAxisUse {
  int nCount = 0;
  bool bUnitsDiffer = false;
  std::string strName, strUnit;

  void Add(const std::string& strChanName, const std::string& strChanUnit) {
    if (nCount == 0) {
      strName = strChanName;
      strUnit = strChanUnit;
    } else if (strChanUnit != strUnit) {
      bUnitsDiffer = true;
    }
    ++nCount;
  }
  std::string Caption() const {
    if (nCount == 1) return AxisCaption(strName, strUnit);
    if (nCount == 0 || bUnitsDiffer) return "";
    return strUnit;
  }
};

} // namespace

std::string AxisCaption(const std::string& strName, const std::string& strUnit) {
  if (strName.empty() || strUnit.empty()) return strName + strUnit;
  return strName + " (" + strUnit + ")";
}

sGraphAssignment AssignPlots(const CZK7Doc& doc, const std::vector<sChannelState>& aStates) {
  sGraphAssignment a;
  const int nChannels = doc.GetChannelCount();
  a.aPlotPlace.assign(static_cast<size_t>(nChannels > 0 ? nChannels : 0), PLOT_HIDDEN);
  sAxisUse y1, y2;
  for (const sChannelState& s : aStates) {
    if (s.nChannel < 0 || s.nChannel >= nChannels || !s.bChecked) continue;
    const std::string strName = doc.GetChannelName(s.nChannel), strUnit = doc.GetChannelUnit(s.nChannel);
    int& nPlace = a.aPlotPlace[static_cast<size_t>(s.nChannel)];
    if (s.nScale == SCALE_X) {
      if (a.nXChannel >= 0) a.aPlotPlace[static_cast<size_t>(a.nXChannel)] = PLOT_HIDDEN;
      a.nXChannel = s.nChannel;
      a.strXCaption = AxisCaption(strName, strUnit);
      nPlace = PLOT_IS_X;
      continue;
    }
    (s.nScale == SCALE_Y2 ? y2 : y1).Add(strName, strUnit);
    nPlace = s.nScale == SCALE_Y2 ? PLOT_Y2 : PLOT_Y1;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.3d", s.nChannel + 1);
    a.aChoiceTexts.push_back(buf);
    a.aChoiceChannels.push_back(s.nChannel);
  }
  a.nY1Count = y1.nCount;
  a.nY2Count = y2.nCount;
  a.strY1Caption = y1.Caption();
  a.strY2Caption = y2.Caption();
  return a;
}

int KeepChannelChoice(int nChoice, int nChoiceCount) {
  return nChoice >= 0 && nChoice < nChoiceCount ? nChoice : 0;
}

std::array<sAlarmLine, 4> GetAlarmLines(const CZK7Doc& doc, int nChannel, const sSettingsRecord& settings) {
  std::array<sAlarmLine, 4> a;
  for (int k = 0; k < 4; ++k) {
    sAlarmLine& l = a[static_cast<size_t>(k)];
    l.nColour = GetDisplayColour(settings, DISPLAY_COLOUR_ALARM0 + k + 1);
    if (nChannel < 0) continue;
    float fValue = 0;
    bool bHigh = false;
    if (doc.GetChannelLimit(nChannel, k, fValue, bHigh)) {
      l.bShown = true;
      l.dValue = fValue;
    }
  }
  return a;
}

} // namespace zk7
