// A decoded picture held as a client-side image, ready to be copied onto a
// Canvas opaquely, with a colour key, or with a constant alpha.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/pixel_types.h"

namespace platform {

class Picture {
 public:
  // pixels: width * height values 0xRRGGBB, top row first. nullptr when the
  // size is not positive or memory runs out.
  static std::unique_ptr<Picture> fromRgb(int width, int height, const std::uint32_t* pixels);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int width() const;
  int height() const;
  Rgb pixel(int x, int y) const;

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  explicit Picture(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
