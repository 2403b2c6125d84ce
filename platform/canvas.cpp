// Canvas on a cairo RGB24 image surface. Geometry is built from whole-pixel
// rectangles (exact at any antialias setting); diagonal lines are rasterised
// here because cairo's are not Bresenham even without antialiasing.
#include "platform/canvas.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/cairo_internal.h"

namespace platform {

Canvas::Impl::~Impl() {
  if (cr) cairo_destroy(cr);
  if (surface) cairo_surface_destroy(surface);
}

void Canvas::Impl::applyColor(Rgb color) {
  cairo_set_source_rgb(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0);
}

void Canvas::Impl::addDamage(const PixelRect& area) {
  const PixelRect visible = intersect(area, clip);
  if (!visible.empty()) damage = unite(damage, visible);
}

std::unique_ptr<Canvas> Canvas::create(int width, int height) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(impl->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  impl->cr = cairo_create(impl->surface);
  if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_set_antialias(impl->cr, CAIRO_ANTIALIAS_NONE);
  impl->width = width;
  impl->height = height;
  impl->clip = PixelRect{0, 0, width, height};
  impl->applyFont();
  return std::unique_ptr<Canvas>(new Canvas(std::move(impl)));
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Canvas::~Canvas() = default;

int Canvas::width() const { return impl_->width; }
int Canvas::height() const { return impl_->height; }

void Canvas::setClip(const PixelRect& clip) {
  Impl& d = *impl_;
  ++d.changes;
  d.clip = intersect(clip, PixelRect{0, 0, d.width, d.height});
  cairo_reset_clip(d.cr);
  cairo_rectangle(d.cr, d.clip.left, d.clip.top, d.clip.width(), d.clip.height());
  cairo_clip(d.cr);
}

void Canvas::setPenColor(Rgb color) {
  ++impl_->changes;
  impl_->pen = color;
}

void Canvas::setBrushColor(Rgb color) {
  ++impl_->changes;
  impl_->brush = color;
}

void Canvas::setTextColor(Rgb color) {
  ++impl_->changes;
  impl_->textColor = color;
}

void Canvas::setFont(const FontRequest& font) {
  Impl& d = *impl_;
  ++d.changes;
  d.font = font;
  d.fontFace = font.face ? font.face : "Arial";
  d.font.face = nullptr;  // the face text lives in fontFace
  d.applyFont();
}

void Canvas::Impl::applyFont() {
  cairo_select_font_face(cr, fontFace.c_str(), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, font.pixelSize > 0 ? font.pixelSize : 1);
  // Fixed options instead of the user's desktop settings, so every machine
  // renders the same text.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

void Canvas::fillRect(const PixelRect& area) {
  Impl& d = *impl_;
  ++d.operations;
  if (area.empty()) return;
  d.applyColor(d.brush);
  cairo_rectangle(d.cr, area.left, area.top, area.width(), area.height());
  cairo_fill(d.cr);
  d.addDamage(area);
}

namespace {

void fillSpan(Canvas::Impl& d, const PixelRect& area, Rgb color) {
  if (area.empty()) return;
  d.applyColor(color);
  cairo_rectangle(d.cr, area.left, area.top, area.width(), area.height());
  cairo_fill(d.cr);
  d.addDamage(area);
}

std::uint32_t packed(Rgb c) {
  return 0xff000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// Bresenham from (x0, y0) towards (x1, y1), leaving out the end point.
void diagonal(Canvas::Impl& d, int x0, int y0, int x1, int y1) {
  cairo_surface_flush(d.surface);
  unsigned char* data = cairo_image_surface_get_data(d.surface);
  const int stride = cairo_image_surface_get_stride(d.surface);
  const std::uint32_t value = packed(d.pen);
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  int x = x0;
  int y = y0;
  PixelRect touched{x0, y0, x0, y0};
  while (x != x1 || y != y1) {
    if (x >= d.clip.left && x < d.clip.right && y >= d.clip.top && y < d.clip.bottom) {
      std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4, &value, 4);
    }
    touched = unite(touched, PixelRect{x, y, x + 1, y + 1});
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  cairo_surface_mark_dirty(d.surface);
  d.addDamage(touched);
}

}  // namespace

void Canvas::line(int x0, int y0, int x1, int y1) {
  Impl& d = *impl_;
  ++d.operations;
  if (y0 == y1) {
    fillSpan(d, x1 >= x0 ? PixelRect{x0, y0, x1, y0 + 1} : PixelRect{x1 + 1, y0, x0 + 1, y0 + 1}, d.pen);
  } else if (x0 == x1) {
    fillSpan(d, y1 >= y0 ? PixelRect{x0, y0, x0 + 1, y1} : PixelRect{x0, y1 + 1, x0 + 1, y0 + 1}, d.pen);
  } else {
    diagonal(d, x0, y0, x1, y1);
  }
}

namespace {

// The system hands texts over as single bytes; cairo wants UTF-8 and puts the
// whole context into an error state on anything else. Valid UTF-8 passes,
// other bytes are read as Latin-1.
std::string toUtf8(const char* text) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const std::size_t n = std::strlen(text);
  bool valid = true;
  for (std::size_t i = 0; i < n && valid;) {
    const unsigned char c = p[i];
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
    if (len == 0 || i + len > n) {
      valid = false;
      break;
    }
    for (std::size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xc0) != 0x80) valid = false;
    }
    i += len;
  }
  if (valid) return std::string(text, n);
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xc0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    }
  }
  return out;
}

}  // namespace

TextExtent Canvas::measure(const char* text) {
  Impl& d = *impl_;
  TextExtent extent;
  cairo_font_extents_t font{};
  cairo_font_extents(d.cr, &font);
  extent.ascent = static_cast<int>(font.ascent + 0.5);
  extent.descent = static_cast<int>(font.descent + 0.5);
  if (!text) return extent;
  const std::string utf8 = toUtf8(text);
  cairo_text_extents_t ink{};
  cairo_text_extents(d.cr, utf8.c_str(), &ink);
  extent.advance = static_cast<int>(ink.x_advance + 0.5);
  return extent;
}

void Canvas::text(const char* text, const PixelRect& box, TextAlign align, bool opaque) {
  Impl& d = *impl_;
  ++d.operations;
  if (!text) return;
  const TextExtent extent = measure(text);
  int x = box.left;
  if (align == TextAlign::center) {
    x = box.left + (box.width() - extent.advance) / 2;
  } else if (align == TextAlign::right) {
    x = box.right - extent.advance;
  }
  const int cellHeight = extent.ascent + extent.descent;
  const int baseline = box.top + (box.height() - cellHeight) / 2 + extent.ascent;
  const PixelRect cell{x, baseline - extent.ascent, x + extent.advance, baseline + extent.descent};
  if (opaque) fillSpan(d, cell, d.brush);
  d.applyColor(d.textColor);
  cairo_move_to(d.cr, x, baseline);
  const std::string utf8 = toUtf8(text);
  cairo_show_text(d.cr, utf8.c_str());
  cairo_new_path(d.cr);
  if (d.font.underline) fillSpan(d, PixelRect{x, baseline + 1, x + extent.advance, baseline + 2}, d.textColor);
  d.addDamage(cell);
}

namespace {

void paintSurface(Canvas::Impl& d, cairo_surface_t* source, const PixelRect& dst, int srcX, int srcY,
                  double alpha) {
  if (dst.empty() || !source) return;
  cairo_save(d.cr);
  cairo_rectangle(d.cr, dst.left, dst.top, dst.width(), dst.height());
  cairo_clip(d.cr);
  cairo_set_source_surface(d.cr, source, dst.left - srcX, dst.top - srcY);
  cairo_pattern_set_filter(cairo_get_source(d.cr), CAIRO_FILTER_NEAREST);
  if (alpha >= 1.0) {
    cairo_paint(d.cr);
  } else {
    cairo_paint_with_alpha(d.cr, alpha);
  }
  cairo_restore(d.cr);
  d.addDamage(dst);
}

}  // namespace

void Canvas::drawPicture(const Picture& picture, const PixelRect& dst, int srcX, int srcY) {
  ++impl_->operations;
  paintSurface(*impl_, picture.impl().opaque, dst, srcX, srcY, 1.0);
}

void Canvas::drawPictureKeyed(const Picture& picture, const PixelRect& dst, int srcX, int srcY, Rgb key) {
  ++impl_->operations;
  paintSurface(*impl_, picture.impl().keyedSurface(key), dst, srcX, srcY, 1.0);
}

void Canvas::drawPictureBlended(const Picture& picture, const PixelRect& dst, int srcX, int srcY,
                                std::uint8_t alpha) {
  ++impl_->operations;
  paintSurface(*impl_, picture.impl().opaque, dst, srcX, srcY, alpha / 255.0);
}

void Canvas::copyFrom(const Canvas& source, const PixelRect& dst, int srcX, int srcY) {
  ++impl_->operations;
  if (&source == this) return;
  paintSurface(*impl_, source.impl().surface, dst, srcX, srcY, 1.0);
}

Rgb Canvas::pixel(int x, int y) const {
  const Impl& d = *impl_;
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) return Rgb{};
  cairo_surface_flush(d.surface);
  const unsigned char* data = cairo_image_surface_get_data(d.surface);
  std::uint32_t value = 0;
  std::memcpy(&value, data + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(d.surface) +
                          static_cast<std::ptrdiff_t>(x) * 4,
              4);
  return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value)};
}

std::uint64_t Canvas::drawOperations() const { return impl_->operations; }
std::uint64_t Canvas::deviceChanges() const { return impl_->changes; }

PixelRect Canvas::takeDamage() {
  const PixelRect damage = impl_->damage;
  impl_->damage = PixelRect{};
  return damage;
}

}  // namespace platform
