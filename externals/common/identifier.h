// The connection identifier as both externals keep it: the first 32 characters
// of the creation argument, the same cut the plug-in makes, so one long
// identifier typed in both places names the same channel.
#pragma once

#include <cstddef>

namespace externals {

inline constexpr std::size_t kIdentifierChars = 32;

// Copies at most kIdentifierChars characters of `text` (null counts as empty)
// and always terminates; never writes past `field`.
inline void copyIdentifier(char (&field)[kIdentifierChars + 1], const char* text) noexcept {
  std::size_t i = 0;
  if (text) {
    for (; i < kIdentifierChars && text[i] != '\0'; ++i) field[i] = text[i];
  }
  field[i] = '\0';
}

}  // namespace externals
