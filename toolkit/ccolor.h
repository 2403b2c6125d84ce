// Colours. Drawing uses red, green and blue only; alpha is carried along and
// takes part in comparisons.
#pragma once

#include <cstdint>

namespace toolkit {

struct CColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;
  constexpr bool operator==(const CColor&) const = default;
};

inline constexpr CColor kColorTransparent{255, 255, 255, 0};
inline constexpr CColor kColorBlack{0, 0, 0, 255};
inline constexpr CColor kColorWhite{255, 255, 255, 255};
inline constexpr CColor kColorGrey{127, 127, 127, 255};
inline constexpr CColor kColorRed{255, 0, 0, 255};

}  // namespace toolkit
