// The one number scanner of the program: plain decimal syntax read with
// std::from_chars, so that no number depends on the C library's locale.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zk7 {

// Longest run of digits a number may have; longer texts are not numbers.
constexpr size_t MAX_NUMBER_DIGITS = 80;

// A decimal number at the start of s: [+|-] digits [. digits], and with
// bExponent an optional [e|E [+|-] digits]. Never "nan", "inf" or hexadecimal.
// Returns the count of characters read, 0 when s does not start with a number
// (or its digit run is too long). A magnitude beyond the double's range gives
// +/- infinity.
size_t ScanDecimalPrefix(std::string_view s, double& dValue, bool bExponent = false);
// The whole of s is such a number.
bool ScanDecimal(std::string_view s, double& dValue, bool bExponent = false);

// A whole number at the start of s: [+|-] digits. Returns the count of
// characters read (0 when none); a value beyond int64 saturates.
size_t ScanIntPrefix(std::string_view s, int64_t& nValue);
// The whole of s is such a number and lies in [nMin, nMax].
bool ScanInt(std::string_view s, int64_t nMin, int64_t nMax, int64_t& nValue);

// Between nMin and nMax ASCII digits (no sign) at s[i], at most 9; i moves past them.
bool ScanDigits(std::string_view s, size_t& i, size_t nMin, size_t nMax, int& nValue);

} // namespace zk7
