// A picture loaded from the library's resources by number, drawn opaquely,
// with one colour treated as transparent, or blended with a constant alpha.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/ccolor.h"
#include "toolkit/crect.h"
#include "toolkit/creference_counter.h"

namespace platform {
class Picture;
}

namespace toolkit {

class CDrawContext;

class CBitmap : public CReferenceCounter {
 public:
  // Loads at once; a missing resource leaves the bitmap empty.
  explicit CBitmap(int resourceId);
  ~CBitmap() override;

  void release() override { CReferenceCounter::release(); }
  void retain() override { CReferenceCounter::retain(); }
  // rect: destination in the context's coordinates; offset: the picture's
  // point that lands on rect's top-left corner; rect's size is copied.
  virtual void draw(CDrawContext* context, const CRect& rect, CPoint offset = CPoint(0, 0));
  virtual void drawTransparent(CDrawContext* context, const CRect& rect, CPoint offset = CPoint(0, 0));
  virtual void drawBlended(CDrawContext* context, const CRect& rect, CPoint offset, std::uint8_t alpha);
  virtual void unload();
  virtual bool load(int id);
  // Loading from any other source is not supported here.
  virtual bool loadOther(const void* source);

  int getResourceId() const { return resourceId; }
  int getWidth() const { return width; }
  int getHeight() const { return height; }
  bool isLoaded() const { return image != nullptr; }
  void setTransparentColor(const CColor& color) { transparentColor = color; }
  CColor getTransparentColor() const { return transparentColor; }

 protected:
  int resourceId;
  int width = 0;
  int height = 0;
  CColor transparentColor = kColorTransparent;
  std::unique_ptr<platform::Picture> image;
};

}  // namespace toolkit
