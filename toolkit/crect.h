// Points and rectangles of the toolkit. A rectangle excludes its right column
// and bottom row for drawing, but hit and overlap tests treat all four edges as
// inside.
#pragma once

#include <cstdint>

namespace toolkit {

struct CPoint {
  std::int32_t h = 0;  // x
  std::int32_t v = 0;  // y

  constexpr CPoint() = default;
  constexpr CPoint(std::int32_t x, std::int32_t y) : h(x), v(y) {}
  constexpr CPoint& offset(std::int32_t x, std::int32_t y) {
    h += x;
    v += y;
    return *this;
  }
  constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
      : left(l), top(t), right(r), bottom(b) {}

  constexpr std::int32_t width() const { return right - left; }
  constexpr std::int32_t height() const { return bottom - top; }

  constexpr CRect& offset(std::int32_t x, std::int32_t y) {
    left += x;
    right += x;
    top += y;
    bottom += y;
    return *this;
  }

  // Intersection, clamped so that it is never inverted: an empty result has
  // zero width or height at the clamped position.
  constexpr CRect& bound(const CRect& other) {
    if (left < other.left) left = other.left;
    if (top < other.top) top = other.top;
    if (right > other.right) right = other.right;
    if (bottom > other.bottom) bottom = other.bottom;
    if (bottom < top) bottom = top;
    if (right < left) right = left;
    return *this;
  }

  // All four edges count as inside.
  constexpr bool pointInside(const CPoint& where) const {
    return where.h >= left && where.h <= right && where.v >= top && where.v <= bottom;
  }

  // Touching edges count as overlapping.
  constexpr bool rectOverlap(const CRect& other) const {
    return !(right < other.left || other.right < left || bottom < other.top || other.bottom < top);
  }

  constexpr bool operator==(const CRect&) const = default;
};

}  // namespace toolkit
