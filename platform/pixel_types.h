// Plain values the drawing and window layer passes across its boundary; no
// X11 or cairo types appear here so the toolkit can include it.
#pragma once

#include <cstdint>

namespace platform {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

// Device pixels; right and bottom are exclusive.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const PixelRect&) const = default;
};

inline PixelRect intersect(const PixelRect& a, const PixelRect& b) {
  PixelRect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

// Smallest rectangle holding both; an empty side does not count.
inline PixelRect unite(const PixelRect& a, const PixelRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return PixelRect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                   a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

struct FontRequest {
  const char* face = "Arial";
  int pixelSize = 12;  // character (em) height in pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

enum class TextAlign { left, center, right };

// Logical button and modifier state of the pointer device.
struct PointerButtons {
  bool left = false;
  bool middle = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;
};

enum class PointerCursor { standard, wait, resizeHorizontal, resizeVertical, resizeAll, resizeNeSw, resizeNwSe,
                         notAllowed, hand };

}  // namespace platform
