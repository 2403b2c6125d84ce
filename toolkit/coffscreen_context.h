// A drawing context on a private surface: containers draw themselves and
// their children into it and copy the finished picture to the window at once.
#pragma once

#include <memory>

#include "toolkit/cdraw_context.h"

namespace toolkit {

class COffscreenContext : public CDrawContext {
 public:
  // The new surface is entirely the background colour.
  COffscreenContext(CFrame* frame, int width, int height, const CColor& background = kColorBlack);
  ~COffscreenContext() override;

  // Copies destRect's size from the surface at source into the destination's
  // device at destRect's top-left (plus the destination's offset), replacing
  // the pixels there within the destination's clip.
  void copyTo(CDrawContext* destination, const CRect& destRect, CPoint source = CPoint(0, 0));

  int getWidth() const { return width; }
  int getHeight() const { return height; }

 protected:
  int height;
  int width;
  bool ownsSurface = true;
  CColor backgroundColor;
  std::unique_ptr<platform::Canvas> surface;
};

}  // namespace toolkit
