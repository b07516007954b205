// The lanes of the stacked graph: one horizontal band per displayed channel,
// top to bottom in channel order, all of the same height, each with a value
// range of its own fitted to the channel's points.
#pragma once
#include <vector>

namespace zk7 {

struct sLaneChannel {
  int nChannel = -1;
  bool bDisplayed = false;
  bool bHasValues = false;  // false: no finite value to fit
  double dMin = 0, dMax = 0;
};

struct sStackedLane {
  int nChannel = -1;
  double dTop = 0, dHeight = 0;  // fractions of the plot height, from its top
  double dMin = 0, dMax = 0;     // the lane's value range
};

// The lanes of the displayed channels, in the order given.
std::vector<sStackedLane> StackedLanes(const std::vector<sLaneChannel>& aChannels);

} // namespace zk7
