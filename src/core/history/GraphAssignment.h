// What the key's channel states make of the graph: which axis each curve uses,
// the X channel, the axis captions, the cursors' channel choices, and the alarm
// lines of a channel's limits.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zk7 {

class CZK7Doc;
struct sSettingsRecord;

enum eScaleAssignment { SCALE_X = 0, SCALE_Y1 = 1, SCALE_Y2 = 2 };

// One key entry: the channel, its check box and its scale.
struct sChannelState {
  int nChannel = 0;
  bool bChecked = true;
  int nScale = SCALE_Y1;
};

// Where a curve goes.
enum ePlotPlace { PLOT_HIDDEN = 0, PLOT_Y1 = 1, PLOT_Y2 = 2, PLOT_IS_X = 3 };

struct sGraphAssignment {
  std::vector<int> aPlotPlace;           // per channel: ePlotPlace
  int nXChannel = -1;                    // -1: time on the X axis
  std::string strXCaption, strY1Caption, strY2Caption;
  int nY1Count = 0, nY2Count = 0;
  // The cursors' channel boxes: "%03.3d" of channel + 1, and the channel.
  std::vector<std::string> aChoiceTexts;
  std::vector<int> aChoiceChannels;
};

// Name and unit as an axis caption: "name (unit)", or name and unit run together
// when one of them is empty.
std::string AxisCaption(const std::string& strName, const std::string& strUnit);

// Walks the key's entries in order. Channels without an entry are hidden.
sGraphAssignment AssignPlots(const CZK7Doc& doc, const std::vector<sChannelState>& aStates);

// A cursor's channel choice stays when it is still a valid index of the choices.
int KeepChannelChoice(int nChoice, int nChoiceCount);

struct sAlarmLine {
  bool bShown = false;
  double dValue = 0;
  uint32_t nColour = 0;  // 0x00BBGGRR
};
// The four limits of a channel: line k in display colour k + 1, shown when the
// limit is on. All hidden for nChannel < 0 (no key row selected).
std::array<sAlarmLine, 4> GetAlarmLines(const CZK7Doc& doc, int nChannel, const sSettingsRecord& settings);

} // namespace zk7
