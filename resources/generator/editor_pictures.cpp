#include "resources/generator/editor_pictures.h"

#include <algorithm>

#include "platform/canvas.h"
#include "toolkit/coffscreen_context.h"

namespace pictures {
namespace {

using toolkit::CColor;
using toolkit::CRect;

constexpr CColor kBlack{0, 0, 0, 255};
constexpr CColor kWhite{255, 255, 255, 255};
constexpr CColor kMidGrey{128, 128, 128, 255};
constexpr CColor kLightGrey{192, 192, 192, 255};
constexpr CColor kLogoBlue{0, 56, 180, 255};
// The stripe cycle, starting on the first row below the border.
constexpr std::uint8_t kStripes[4] = {255, 239, 241, 254};

// Fills the pixels left..right-1, top..bottom-1. The context's fillRect
// leaves its rectangle's first row and column for an outline, hence the -1.
void fill(toolkit::CDrawContext& context, int left, int top, int right, int bottom, CColor color) {
  context.setFillColor(color);
  context.fillRect(CRect(left - 1, top - 1, right, bottom));
}

// A 1-pixel outline on the edge of the pixels left..right, top..bottom
// (inclusive, as the layout gives its boxes).
void outline(toolkit::CDrawContext& context, int left, int top, int right, int bottom, CColor color) {
  fill(context, left, top, right + 1, top + 1, color);
  fill(context, left, bottom, right + 1, bottom + 1, color);
  fill(context, left, top, left + 1, bottom + 1, color);
  fill(context, right, top, right + 1, bottom + 1, color);
}

// Stripes with a 2-pixel mid-grey edge along the top and the left, in the
// phase of the panel's own top-left corner. The whole picture is one such
// panel and the status bar another, so the bar matches the picture's corner.
void stripedPanel(toolkit::CDrawContext& context, int left, int top, int width, int height) {
  for (int row = 0; row < height; ++row) {
    const std::uint8_t level = kStripes[(row + 2) % 4];
    fill(context, left, top + row, left + width, top + row + 1, CColor{level, level, level, 255});
  }
  fill(context, left, top, left + width, top + 2, kMidGrey);
  fill(context, left, top, left + 2, top + height, kMidGrey);
}

// A framed white box (inclusive corners) with its caption centred above it.
void captionedBox(toolkit::CDrawContext& context, const char* caption, int left, int top, int right, int bottom) {
  fill(context, left, top, right + 1, bottom + 1, kWhite);
  outline(context, left, top, right, bottom, kBlack);
  context.setTextColor(kBlack);
  context.selectFont(toolkit::kFontSmall);
  context.drawText(caption, CRect(left - 15, top - 15, right + 16, top - 1), false, toolkit::kAlignCenter);
}

// The resync button's face: black, white and black frames around a face.
template <typename Plot>
void buttonFace(Plot plot, int top, std::uint8_t face) {
  constexpr std::uint8_t kFrames[3] = {0, 15, 0};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < kButtonWidth; ++x) {
      const int edge = std::min(std::min(x, kButtonWidth - 1 - x), std::min(y, 15 - y));
      plot(x, top + y, edge < 3 ? kFrames[edge] : face);
    }
  }
}

constexpr std::uint8_t kPaletteBlack = 0;
constexpr std::uint8_t kPaletteLightGrey = 7;
constexpr std::uint8_t kPaletteCyan = 14;

}  // namespace

std::vector<std::uint32_t> paintBackground() {
  toolkit::COffscreenContext context(nullptr, kBackgroundWidth, kBackgroundHeight, kWhite);
  stripedPanel(context, 0, 0, kBackgroundWidth, kBackgroundHeight);

  // The connection identifier: caption and a black field in a grey outline.
  context.setTextColor(kBlack);
  context.selectFont(toolkit::kFontLarge, 0, toolkit::kStyleBold);
  context.drawText("ID :", CRect(10, 24, 49, 46), false, toolkit::kAlignLeft);
  fill(context, 50, 24, 151, 46, kBlack);
  outline(context, 50, 24, 150, 45, kMidGrey);

  captionedBox(context, "send", 20, 65, 49, 80);
  captionedBox(context, "recieve", 70, 65, 99, 80);
  captionedBox(context, "dry", 120, 65, 149, 80);
  captionedBox(context, "buffer", 20, 101, 49, 116);

  // The resync button's place shows its released image, so the window looks
  // the same before and after the button first draws itself.
  context.setTextColor(kBlack);
  context.selectFont(toolkit::kFontSmall);
  context.drawText("resync", CRect(105, 86, 165, 100), false, toolkit::kAlignCenter);
  buttonFace(
      [&](int x, int y, std::uint8_t index) {
        const std::uint32_t rgb = kStandardPalette[index];
        fill(context, 120 + x, 101 + y, 121 + x, 102 + y,
             CColor{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb), 255});
      },
      0, kPaletteLightGrey);

  context.setTextColor(kLogoBlue);
  context.selectFont(toolkit::kFontLarge, 17, toolkit::kStyleBold | toolkit::kStyleItalic);
  context.drawText("kelbra", CRect(51, 98, 119, 120), false, toolkit::kAlignCenter);

  // The status line's empty bar.
  stripedPanel(context, 20, 127, 130, 16);

  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(kBackgroundWidth * kBackgroundHeight));
  const platform::Canvas* canvas = context.getDevice();
  for (int y = 0; y < kBackgroundHeight; ++y) {
    for (int x = 0; x < kBackgroundWidth; ++x) {
      const platform::Rgb p = canvas ? canvas->pixel(x, y) : platform::Rgb{};
      pixels.push_back(static_cast<std::uint32_t>(p.red) << 16 | static_cast<std::uint32_t>(p.green) << 8 | p.blue);
    }
  }
  return pixels;
}

std::vector<std::uint8_t> paintButtonImages() {
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(kButtonWidth * kButtonHeight), kPaletteBlack);
  auto plot = [&](int x, int y, std::uint8_t index) {
    indices[static_cast<std::size_t>(y * kButtonWidth + x)] = index;
  };
  buttonFace(plot, 0, kPaletteLightGrey);
  buttonFace(plot, 16, kPaletteCyan);
  return indices;
}

}  // namespace pictures
