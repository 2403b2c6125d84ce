// Texts handed to the host: at most `width` characters, zero bytes up to the
// width, then a terminator, so the host's buffer receives width + 1 bytes.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

inline void copyPadded(char* dest, std::string_view text, std::size_t width) noexcept {
  if (!dest) return;
  const std::size_t n = text.size() < width ? text.size() : width;
  std::memcpy(dest, text.data(), n);
  std::memset(dest + n, 0, width + 1 - n);
}

// A field that may lack its terminator: at most `width` characters.
inline std::string_view boundedText(const char* field, std::size_t width) noexcept {
  if (!field) return {};
  const void* end = std::memchr(field, 0, width);
  return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : width};
}
