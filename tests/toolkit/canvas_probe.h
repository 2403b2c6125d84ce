// Reading a canvas back in tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/canvas.h"
#include "toolkit/ccolor.h"
#include "toolkit/crect.h"

namespace toolkit_test {

inline platform::Rgb rgb(const toolkit::CColor& c) { return platform::Rgb{c.red, c.green, c.blue}; }

// How many pixels of the canvas have the colour.
inline int countPixels(const platform::Canvas& canvas, platform::Rgb color) {
  int n = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) n += canvas.pixel(x, y) == color ? 1 : 0;
  }
  return n;
}

// Every pixel inside rect (right/bottom exclusive) has the colour.
inline ::testing::AssertionResult allPixels(const platform::Canvas& canvas, const toolkit::CRect& rect,
                                            platform::Rgb color) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      const platform::Rgb p = canvas.pixel(x, y);
      if (!(p == color)) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(p.red) << ","
                                             << int(p.green) << "," << int(p.blue) << " not " << int(color.red)
                                             << "," << int(color.green) << "," << int(color.blue);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Bounding box of the pixels that differ from the background; empty if none.
inline toolkit::CRect inkBox(const platform::Canvas& canvas, platform::Rgb background) {
  toolkit::CRect box(canvas.width(), canvas.height(), 0, 0);
  bool any = false;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.pixel(x, y) == background) continue;
      any = true;
      if (x < box.left) box.left = x;
      if (y < box.top) box.top = y;
      if (x + 1 > box.right) box.right = x + 1;
      if (y + 1 > box.bottom) box.bottom = y + 1;
    }
  }
  return any ? box : toolkit::CRect();
}

}  // namespace toolkit_test
