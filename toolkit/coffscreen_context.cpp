#include "toolkit/coffscreen_context.h"

#include "platform/canvas.h"

namespace toolkit {

COffscreenContext::COffscreenContext(CFrame* drawFrame, int surfaceWidth, int surfaceHeight, const CColor& background)
    : CDrawContext(drawFrame, nullptr, nullptr), height(surfaceHeight), width(surfaceWidth), backgroundColor(background) {
  // A negative size spans from that value to 0.
  clipRect = CRect(width < 0 ? width : 0, height < 0 ? height : 0, width < 0 ? 0 : width, height < 0 ? 0 : height);
  surface = platform::Canvas::create(width, height);
  if (!surface) return;  // no device: settings are kept, drawing has no effect
  device = surface.get();
  // The context part chose its defaults without a device: select them now.
  const CColor line = lineColor;
  const CColor fill = fillColor;
  const int font = fontId;
  lineColor = CColor{};
  fillColor = CColor{};
  fontId = kNumFonts;
  device->setClip(platform::PixelRect{0, 0, width, height});
  setLineColor(line);
  setFillColor(fill);
  setTextColor(textColor);
  selectFont(font, fontSize, fontStyle);
  setFillColor(background);
  setLineColor(background);
  fillRect(CRect(0, 0, width, height));
  frameRect(CRect(0, 0, width, height));
}

COffscreenContext::~COffscreenContext() {
  device = nullptr;
  surface.reset();
}

void COffscreenContext::copyTo(CDrawContext* destination, const CRect& destRect, CPoint source) {
  if (!destination || !surface || !destination->getDevice()) return;
  platform::PixelRect target{destRect.left + destination->offset.h, destRect.top + destination->offset.v,
                             destRect.right + destination->offset.h, destRect.bottom + destination->offset.v};
  destination->getDevice()->copyFrom(*surface, target, source.h, source.v);
}

}  // namespace toolkit
