// Pictures as cairo image surfaces. The colour-keyed variant is converted once
// to premultiplied ARGB32 with alpha 0 on the key and then drawn with OVER.
#include "platform/picture.h"

#include <cstring>

#include "platform/cairo_internal.h"

namespace platform {

Picture::Impl::~Impl() {
  if (keyed) cairo_surface_destroy(keyed);
  if (opaque) cairo_surface_destroy(opaque);
}

cairo_surface_t* Picture::Impl::keyedSurface(Rgb key) {
  if (keyed && keyColor == key) return keyed;
  if (keyed) cairo_surface_destroy(keyed);
  keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(keyed) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(keyed);
    keyed = nullptr;
    return nullptr;
  }
  keyColor = key;
  cairo_surface_flush(opaque);
  cairo_surface_flush(keyed);
  const unsigned char* from = cairo_image_surface_get_data(opaque);
  unsigned char* to = cairo_image_surface_get_data(keyed);
  const int fromStride = cairo_image_surface_get_stride(opaque);
  const int toStride = cairo_image_surface_get_stride(keyed);
  const std::uint32_t keyValue = (std::uint32_t{key.red} << 16) | (std::uint32_t{key.green} << 8) | key.blue;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t value = 0;
      std::memcpy(&value, from + static_cast<std::ptrdiff_t>(y) * fromStride + x * 4, 4);
      value &= 0x00ffffffu;
      const std::uint32_t out = value == keyValue ? 0u : (0xff000000u | value);
      std::memcpy(to + static_cast<std::ptrdiff_t>(y) * toStride + x * 4, &out, 4);
    }
  }
  cairo_surface_mark_dirty(keyed);
  return keyed;
}

std::unique_ptr<Picture> Picture::fromRgb(int width, int height, const std::uint32_t* pixels) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || !pixels) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->opaque = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(impl->opaque) != CAIRO_STATUS_SUCCESS) return nullptr;
  impl->width = width;
  impl->height = height;
  cairo_surface_flush(impl->opaque);
  unsigned char* data = cairo_image_surface_get_data(impl->opaque);
  const int stride = cairo_image_surface_get_stride(impl->opaque);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t value = 0xff000000u | (pixels[static_cast<std::ptrdiff_t>(y) * width + x] & 0xffffffu);
      std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, &value, 4);
    }
  }
  cairo_surface_mark_dirty(impl->opaque);
  return std::unique_ptr<Picture>(new Picture(std::move(impl)));
}

Picture::Picture(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Picture::~Picture() = default;

int Picture::width() const { return impl_->width; }
int Picture::height() const { return impl_->height; }

Rgb Picture::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= impl_->width || y >= impl_->height) return Rgb{};
  cairo_surface_flush(impl_->opaque);
  std::uint32_t value = 0;
  std::memcpy(&value,
              cairo_image_surface_get_data(impl_->opaque) +
                  static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(impl_->opaque) + x * 4,
              4);
  return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value)};
}

}  // namespace platform
