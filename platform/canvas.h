// A pixel surface with the state of a drawing device (pen, brush, text colour,
// font, clip), drawn by cairo in client memory. Windows present a Canvas that
// serves as their back buffer, offscreen contexts own one, and tests read its
// pixels back: one rasteriser for the screen and the headless tests.
//
// Pixel rules: fills and clips are whole-pixel rectangles; lines cover their
// start point and not their end point; everything is solid and opaque.
// Single-thread use; a Canvas belongs to the thread that draws the editor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/pixel_types.h"

namespace platform {

class Picture;

struct TextExtent {
  int advance = 0;
  int ascent = 0;
  int descent = 0;
};

class Canvas {
 public:
  // nullptr when the size is not positive or memory runs out.
  static std::unique_ptr<Canvas> create(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const;
  int height() const;

  // Device state. Each call is a device change (counted); callers skip calls
  // that would not change anything.
  void setClip(const PixelRect& clip);
  void setPenColor(Rgb color);
  void setBrushColor(Rgb color);
  void setTextColor(Rgb color);
  void setFont(const FontRequest& font);

  void fillRect(const PixelRect& area);     // brush colour
  void line(int x0, int y0, int x1, int y1);  // pen colour, end point excluded
  // One line of text in the text colour, vertically centred in the box;
  // opaque fills the text cell with the brush colour first.
  void text(const char* text, const PixelRect& box, TextAlign align, bool opaque);
  TextExtent measure(const char* text);

  void drawPicture(const Picture& picture, const PixelRect& dst, int srcX, int srcY);
  // Pixels equal to key are left out.
  void drawPictureKeyed(const Picture& picture, const PixelRect& dst, int srcX, int srcY, Rgb key);
  void drawPictureBlended(const Picture& picture, const PixelRect& dst, int srcX, int srcY,
                          std::uint8_t alpha);
  void copyFrom(const Canvas& source, const PixelRect& dst, int srcX, int srcY);

  Rgb pixel(int x, int y) const;
  // Drawing operations and device changes since creation: lets tests and
  // benchmarks see that an idle pass with nothing to do touched nothing.
  std::uint64_t drawOperations() const;
  std::uint64_t deviceChanges() const;
  // Union of the pixels drawn since the last call, within the clip.
  PixelRect takeDamage();

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  explicit Canvas(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The family fontconfig answers for a face name ("Arial" -> "Liberation Sans"
// when fonts-liberation is installed); empty when nothing matches.
std::string resolvedFontFamily(const char* face);

}  // namespace platform
