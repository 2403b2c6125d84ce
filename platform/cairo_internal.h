// Private to platform/: the cairo objects behind Canvas and Picture.
#pragma once

#include <cairo.h>

#include "platform/canvas.h"
#include "platform/picture.h"

namespace platform {

struct Picture::Impl {
  cairo_surface_t* opaque = nullptr;  // RGB24
  // Keyed copy, ARGB32 with alpha 0 where the pixel equals keyColor; made on
  // first keyed draw and remade only when the key changes.
  cairo_surface_t* keyed = nullptr;
  Rgb keyColor{};
  int width = 0;
  int height = 0;
  ~Impl();
  cairo_surface_t* keyedSurface(Rgb key);
};

struct Canvas::Impl {
  cairo_surface_t* surface = nullptr;  // RGB24 image
  cairo_t* cr = nullptr;
  int width = 0;
  int height = 0;
  PixelRect clip{};
  Rgb pen{};
  Rgb brush{};
  Rgb textColor{};
  FontRequest font{};
  std::string fontFace = "Arial";
  PixelRect damage{};
  std::uint64_t operations = 0;
  std::uint64_t changes = 0;
  ~Impl();
  void applyColor(Rgb color);
  void addDamage(const PixelRect& area);
  void applyFont();
};

}  // namespace platform
