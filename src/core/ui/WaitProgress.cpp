// Percentage rule of the wait dialog.
#include "ui/WaitProgress.h"

#include <cstdint>

namespace zk7 {

int GetWaitPercentage(int nPos, int nLower, int nUpper) {
  const int64_t nSpan = static_cast<int64_t>(nUpper) - nLower;
  if (nSpan == 0)
    return 0;
  int64_t nPercent = (static_cast<int64_t>(nPos) - nLower) * 100 / nSpan;
  if (nPercent != 100)
    nPercent %= 100;
  return static_cast<int>(nPercent);
}

std::string FormatWaitPercentage(int nPercent) { return std::to_string(nPercent) + "%"; }

} // namespace zk7
