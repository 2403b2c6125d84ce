// Float to integer conversion that is defined for every float: the cast itself
// is undefined behaviour for NaN, infinities and values beyond the range.
#pragma once

#include <cstdint>
#include <optional>

// Truncates toward zero; nothing when the result does not fit an int32.
inline std::optional<std::int32_t> truncateToInt32(float value) noexcept {
  const double v = value;  // exact for every float
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::nullopt;  // also NaN
  return static_cast<std::int32_t>(v);
}
