#include "format/NumberScan.h"

#include <charconv>
#include <limits>
#include <string>

namespace zk7 {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

} // namespace

size_t ScanDecimalPrefix(std::string_view s, double& dValue, bool bExponent) {
  size_t i = 0;
  const bool bNegative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t nIntStart = i;
  i = SkipDigits(s, i);
  size_t nDigits = i - nIntStart;
  if (i < s.size() && s[i] == '.') {
    const size_t nFracStart = i + 1;
    const size_t nFracEnd = SkipDigits(s, nFracStart);
    // "5." reads as 5 and ".5" as 0.5, but a lone point is no number.
    if (nDigits > 0 || nFracEnd > nFracStart) {
      nDigits += nFracEnd - nFracStart;
      i = nFracEnd;
    }
  }
  if (nDigits == 0 || nDigits > MAX_NUMBER_DIGITS) return 0;
  if (bExponent && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t nExpEnd = SkipDigits(s, j);
    if (nExpEnd > j && nExpEnd - j <= 6) i = nExpEnd;
  }
  // from_chars takes no '+'; the syntax is already checked, so it reads all of it.
  const size_t nFrom = (s[0] == '+') ? 1 : 0;
  double v = 0;
  const auto [p, ec] = std::from_chars(s.data() + nFrom, s.data() + i, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too small underflows to zero, too large is infinite: tell them apart by the exponent's sign.
    const auto nE = s.substr(0, i).find_first_of("eE");
    const bool bTiny = nE != std::string_view::npos && nE + 1 < i && s[nE + 1] == '-';
    v = bTiny ? 0.0 : std::numeric_limits<double>::infinity();
    if (bNegative) v = -v;
  } else if (ec != std::errc() || p != s.data() + i) {
    return 0;
  }
  dValue = v;
  return i;
}

bool ScanDecimal(std::string_view s, double& dValue, bool bExponent) {
  double v = 0;
  if (s.empty() || ScanDecimalPrefix(s, v, bExponent) != s.size()) return false;
  dValue = v;
  return true;
}

size_t ScanIntPrefix(std::string_view s, int64_t& nValue) {
  size_t i = 0;
  const bool bNegative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t nEnd = SkipDigits(s, i);
  if (nEnd == i) return 0;
  uint64_t n = 0;
  const auto [p, ec] = std::from_chars(s.data() + i, s.data() + nEnd, n);
  constexpr uint64_t nMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (ec == std::errc::result_out_of_range || p != s.data() + nEnd || n > nMaxPositive + (bNegative ? 1 : 0)) {
    nValue = bNegative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  } else if (bNegative) {
    nValue = n == nMaxPositive + 1 ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(n);
  } else {
    nValue = static_cast<int64_t>(n);
  }
  return nEnd;
}

bool ScanInt(std::string_view s, int64_t nMin, int64_t nMax, int64_t& nValue) {
  // from_chars takes a '-' of its own but no '+', so "+-5" cannot slip through.
  if (!s.empty() && s[0] == '+') {
    s.remove_prefix(1);
    if (!s.empty() && s[0] == '-') return false;
  }
  int64_t n = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size() || n < nMin || n > nMax) return false;
  nValue = n;
  return true;
}

bool ScanDigits(std::string_view s, size_t& i, size_t nMin, size_t nMax, int& nValue) {
  if (i > s.size() || nMax > 9) return false;
  size_t nEnd = i;
  while (nEnd < s.size() && nEnd - i < nMax && IsDigit(s[nEnd])) ++nEnd;
  if (nEnd - i < nMin || nEnd == i) return false;
  int n = 0;
  std::from_chars(s.data() + i, s.data() + nEnd, n);
  nValue = n;
  i = nEnd;
  return true;
}

} // namespace zk7
