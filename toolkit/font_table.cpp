#include "toolkit/font_table.h"

namespace toolkit {
namespace {

constexpr FontInfo kFonts[kNumFonts] = {
    {"Arial", 12, true, false},  {"Arial", 18, false, false}, {"Arial", 14, false, false},
    {"Arial", 12, false, false}, {"Arial", 11, false, false}, {"Arial", 10, false, false},
    {"Arial", 9, false, false},  {"Symbol", 13, false, true},
};

}  // namespace

int validFontId(int fontId) { return fontId >= 0 && fontId < kNumFonts ? fontId : kFontSystem; }

const FontInfo& fontInfo(int fontId) { return kFonts[validFontId(fontId)]; }

}  // namespace toolkit
