// Fonts are chosen by a small number; each has a face and a default size
// (character height in pixels).
#pragma once

namespace toolkit {

enum : int {
  kFontSystem = 0,
  kFontHuge,
  kFontLarge,
  kFontNormal,
  kFontSmall,
  kFontSmaller,
  kFontTiny,
  kFontSymbol,
  kNumFonts
};

enum : int { kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4 };

enum : int { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

struct FontInfo {
  const char* face;
  int defaultSize;
  bool alwaysBold;
  bool decorative;  // the symbol font: a decorative family, not the sans-serif one
};

// Identifiers outside the table are read as kFontSystem.
int validFontId(int fontId);
const FontInfo& fontInfo(int fontId);

}  // namespace toolkit
