#include "history/StackedLanes.h"

#include <algorithm>
#include <cmath>

namespace zk7 {

namespace {

// Room above and below the extremes so that they do not run on the lane's frame.
constexpr double MARGIN_RATIO = 0.05;

void FitRange(const sLaneChannel& c, double& dMin, double& dMax) {
  if (!c.bHasValues || !std::isfinite(c.dMin) || !std::isfinite(c.dMax) || c.dMin > c.dMax) {
    dMin = 0, dMax = 1;
    return;
  }
  double dPad = (c.dMax - c.dMin) * MARGIN_RATIO;
  // A flat channel still needs a span for its line to sit in the middle of.
  if (dPad <= 0) dPad = std::max(std::fabs(c.dMax) * MARGIN_RATIO, 1.0);
  dMin = c.dMin - dPad;
  dMax = c.dMax + dPad;
}

} // namespace

std::vector<sStackedLane> StackedLanes(const std::vector<sLaneChannel>& aChannels) {
  std::vector<sStackedLane> aLanes;
  for (const sLaneChannel& c : aChannels)
    if (c.bDisplayed) {
      sStackedLane lane;
      lane.nChannel = c.nChannel;
      FitRange(c, lane.dMin, lane.dMax);
      aLanes.push_back(lane);
    }
  const double dHeight = aLanes.empty() ? 0 : 1.0 / static_cast<double>(aLanes.size());
  for (size_t i = 0; i < aLanes.size(); ++i) {
    aLanes[i].dTop = static_cast<double>(i) * dHeight;
    aLanes[i].dHeight = dHeight;
  }
  return aLanes;
}

} // namespace zk7
