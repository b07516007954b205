// The lanes of the stacked graph: which channels get one, where, and the value
// range each lane shows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "history/StackedLanes.h"

namespace zk7 {

TEST(StackedLanes, LanesFollowTheDisplayedChannelsWithFittedRanges) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  struct sCase {
    const char* pszName;
    std::vector<sLaneChannel> aIn;
    std::vector<sStackedLane> aOut;
  };
  const sCase CASES[] = {
      {"none displayed", {{0, false, true, 0, 1}}, {}},
      {"one channel fills the plot, 5 % room", {{2, true, true, 0, 100}}, {{2, 0, 1, -5, 105}}},
      {"hidden channel leaves no lane, order kept",
       {{0, true, true, -10, 10}, {1, false, true, 0, 1}, {3, true, true, 1, 3}},
       {{0, 0, 0.5, -11, 11}, {3, 0.5, 0.5, 0.9, 3.1}}},
      {"flat channel centred", {{0, true, true, 20, 20}}, {{0, 0, 1, 19, 21}}},
      {"flat large value: 5 % of it", {{0, true, true, 1000, 1000}}, {{0, 0, 1, 950, 1050}}},
      {"no values: unit range", {{0, true, false, 0, 0}}, {{0, 0, 1, 0, 1}}},
      {"non-finite bounds: unit range", {{0, true, true, NaN, 5}}, {{0, 0, 1, 0, 1}}},
      {"three equal lanes",
       {{0, true, true, 0, 1}, {1, true, true, 0, 1}, {2, true, true, 0, 1}},
       {{0, 0, 1.0 / 3, -0.05, 1.05}, {1, 1.0 / 3, 1.0 / 3, -0.05, 1.05}, {2, 2.0 / 3, 1.0 / 3, -0.05, 1.05}}},
  };
  for (const sCase& c : CASES) {
    SCOPED_TRACE(c.pszName);
    const std::vector<sStackedLane> aLanes = StackedLanes(c.aIn);
    ASSERT_EQ(aLanes.size(), c.aOut.size());
    for (size_t i = 0; i < aLanes.size(); ++i) {
      EXPECT_EQ(aLanes[i].nChannel, c.aOut[i].nChannel);
      EXPECT_NEAR(aLanes[i].dTop, c.aOut[i].dTop, 1e-12);
      EXPECT_NEAR(aLanes[i].dHeight, c.aOut[i].dHeight, 1e-12);
      EXPECT_NEAR(aLanes[i].dMin, c.aOut[i].dMin, 1e-9);
      EXPECT_NEAR(aLanes[i].dMax, c.aOut[i].dMax, 1e-9);
    }
  }
}

} // namespace zk7
