// The percentage a wait dialog shows for a position of its progress range.
#pragma once
#include <string>

namespace zk7 {

// (nPos - nLower) * 100 / (nUpper - nLower) in integer arithmetic, reduced modulo
// 100 unless it is exactly 100: position 15 of 0..10 gives 50. Computed in 64 bits
// so that byte counts near 2^31 do not overflow; equal bounds give 0 instead of a
// division by zero.
int GetWaitPercentage(int nPos, int nLower, int nUpper);

// "40%": the number followed by the percent sign.
std::string FormatWaitPercentage(int nPercent);

} // namespace zk7
