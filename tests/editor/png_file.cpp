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
