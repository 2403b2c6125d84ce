// The controls keep texts in 256-byte buffers: at most 255 bytes and a
// terminator.
#pragma once

#include <cstddef>
#include <cstring>

#include "toolkit/controls/cparam_display.h"

namespace toolkit {

// Copies source cut to 255 bytes; a cut never leaves half a UTF-8 character.
inline void copyTextBuffer(char* destination, const char* source) {
  std::size_t length = std::strlen(source);
  if (length > kTextBufferSize - 1) {
    length = kTextBufferSize - 1;
    // Back off continuation bytes and the lead byte they belong to.
    std::size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(source[end]) & 0xC0) == 0x80) --end;
    length = end;
  }
  std::memmove(destination, source, length);
  destination[length] = 0;
}

}  // namespace toolkit
