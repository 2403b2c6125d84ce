// Which family fontconfig substitutes for a requested face: the same lookup
// cairo's font selection goes through.
#include <fontconfig/fontconfig.h>

#include <string>

#include "platform/canvas.h"

namespace platform {

std::string resolvedFontFamily(const char* face) {
  if (!face) return {};
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
  if (!pattern) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace platform
