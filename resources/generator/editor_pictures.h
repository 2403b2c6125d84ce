// Paints the editor's two pictures: 101, the 170 x 150 background with its
// captions, boxes, logo and status bar, and 102, the resync button's released
// and pressed images. Captions are drawn through the toolkit's own text
// drawing, so they use the fonts the controls use.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pictures {

inline constexpr int kBackgroundWidth = 170;
inline constexpr int kBackgroundHeight = 150;
inline constexpr int kButtonWidth = 30;
inline constexpr int kButtonHeight = 32;  // two images of 16 rows

// The standard 16-colour palette, 0xRRGGBB, in its usual order.
inline constexpr std::array<std::uint32_t, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xc0c0c0,
    0x808080, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};

// 0xRRGGBB, top row first.
std::vector<std::uint32_t> paintBackground();
// Indices into kStandardPalette, top row first.
std::vector<std::uint8_t> paintButtonImages();

}  // namespace pictures
