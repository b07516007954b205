#include <gtest/gtest.h>
#include <climits>
#include "ui/WaitProgress.h"
#include "history/HistViewState.h"

namespace zk7 {

TEST(HistViewStateTest, InitialStateAndResolutionCommands) {
  sHistViewState state = MakeInitialHistViewState(46000.25);
  EXPECT_EQ(std::pair(state.m_dHistoryStart, state.m_dHistoryEnd), std::pair(45999.25, 46000.25));
  // Exactly one resolution command is ticked: the one last chosen.
  for (int nDigits : {3, 0, 1}) {
    if (nDigits != 3) SetTimeResolution(state, nDigits);
    EXPECT_EQ(std::pair(state.m_bShowFraction, state.m_nFractionDigits), std::pair(nDigits > 0, nDigits));
    for (int n = 0; n <= 3; ++n) EXPECT_EQ(IsTimeResolution(state, n), n == nDigits) << nDigits << " " << n;
  }

  EXPECT_EQ(std::pair(GetTimeFormatForRange(46000.1, 46000.9), GetTimeFormatForRange(46000.9, 46001.1)),
            std::pair(int(sHistViewState::TIME_FORMAT_TIME), int(sHistViewState::TIME_FORMAT_DATE_TIME)));

  // The wait dialog's percentage.
  struct { int nPos, nLower, nUpper, nPercent; } const aCases[] = {{3, 0, 6, 50},      {6, 0, 6, 100},   {0, 0, 6, 0},  {15, 0, 10, 50}, {20, 0, 10, 0}, {10, 0, 10, 100},
                      {1, 0, 3, 33},      {150, 100, 200, 50}, {5, 5, 5, 0},
                      // Large byte counts must not overflow.
                      {INT_MAX / 2, 0, INT_MAX, 49}, {INT_MAX, 0, INT_MAX, 100}};
  for (const auto& c : aCases)
    EXPECT_EQ(GetWaitPercentage(c.nPos, c.nLower, c.nUpper), c.nPercent) << c.nPos << " of " << c.nLower << ".." << c.nUpper;
  EXPECT_EQ(FormatWaitPercentage(40) + FormatWaitPercentage(100), "40%100%");
}

} // namespace zk7
