#include "tests/editor/png_file.h"

#include <cairo.h>

#include <cstring>

namespace editor_test {

bool writePng(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.height; ++y) {
    // RGB24 keeps each pixel as a native 32-bit 0x00RRGGBB, as our images do.
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width),
                static_cast<std::size_t>(image.width) * 4);
  }
  cairo_surface_mark_dirty(surface);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

}  // namespace editor_test

namespace editor_test {

Image readPng(const std::string& path) {
  Image image;
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(surface);
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < image.width; ++x) image.pixels.push_back(row[x] & 0xffffff);
    }
  }
  cairo_surface_destroy(surface);
  return image;
}

}  // namespace editor_test
