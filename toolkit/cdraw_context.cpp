#include "toolkit/cdraw_context.h"

#include "platform/canvas.h"
#include "platform/native_window.h"
#include "toolkit/cframe.h"
#include "toolkit/input_source.h"

namespace toolkit {
namespace {

platform::Rgb rgbOf(const CColor& color) { return platform::Rgb{color.red, color.green, color.blue}; }

platform::PixelRect pixels(const CRect& rect) { return platform::PixelRect{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

CDrawContext::CDrawContext(CFrame* drawFrame, platform::Canvas* drawDevice, platform::NativeWindow* drawWindow)
    : device(drawDevice), window(drawWindow), frame(drawFrame) {
  if (frame) {
    frame->getBounds(clipRect);
  } else {
    clipRect = CRect(0, 0, 1000, 1000);
  }
  if (!device && window) device = &window->backBuffer();
  if (device) device->setClip(pixels(clipRect));
  if (window) {
    int x = 0;
    int y = 0;
    if (window->screenOrigin(x, y)) windowOrigin = CPoint(x, y);
  }
  setLineColor(kColorWhite);
  setLineWidth(1);
  setFillColor(kColorBlack);
  setTextColor(kColorWhite);
  selectFont(kFontSystem, 0, 0);
}

CDrawContext::~CDrawContext() {
  if (window) window->present();
}

void CDrawContext::setLineColor(const CColor& color) {
  if (color == lineColor) return;
  lineColor = color;
  if (device) device->setPenColor(rgbOf(color));
}

void CDrawContext::setLineWidth(int width) {
  if (width == lineWidth) return;
  lineWidth = width;
  // Lines are one pixel whatever the width: the system only ever sets 1.
  if (device) device->setPenColor(rgbOf(lineColor));
}

void CDrawContext::setFillColor(const CColor& color) {
  if (color == fillColor) return;
  fillColor = color;
  if (device) device->setBrushColor(rgbOf(color));
}

void CDrawContext::setTextColor(const CColor& color) {
  textColor = color;
  if (device) device->setTextColor(rgbOf(color));
}

void CDrawContext::selectFont(int id, int size, int style) {
  id = validFontId(id);
  const FontInfo& info = fontInfo(id);
  const int wantedSize = size == 0 ? info.defaultSize : size;
  if (id == fontId && wantedSize == fontSize && style == fontStyle) return;
  fontStyle = style;
  fontId = id;
  fontSize = wantedSize;
  if (!device) return;
  platform::FontRequest request;
  request.face = info.face;
  request.pixelSize = wantedSize;
  request.bold = (style & kStyleBold) != 0 || info.alwaysBold;
  request.italic = (style & kStyleItalic) != 0;
  request.underline = (style & kStyleUnderline) != 0;
  device->setFont(request);
}

void CDrawContext::setClipRect(const CRect& clip) {
  CRect moved = clip;
  moved.offset(offset.h, offset.v);
  if (moved == clipRect) return;
  clipRect = moved;
  if (device) device->setClip(pixels(clipRect));
}

void CDrawContext::getClipRect(CRect& clip) const {
  clip = clipRect;
  clip.offset(-offset.h, -offset.v);
}

void CDrawContext::moveTo(const CPoint& point) { penPosition = CPoint(point.h + offset.h, point.v + offset.v); }

void CDrawContext::lineTo(const CPoint& point) {
  const CPoint end(point.h + offset.h, point.v + offset.v);
  if (device) device->line(penPosition.h, penPosition.v, end.h, end.v);
  penPosition = end;
}

void CDrawContext::frameRect(const CRect& rect) {
  moveTo(CPoint(rect.left, rect.top));
  lineTo(CPoint(rect.right - 1, rect.top));
  lineTo(CPoint(rect.right - 1, rect.bottom - 1));
  lineTo(CPoint(rect.left, rect.bottom - 1));
  lineTo(CPoint(rect.left, rect.top));
}

void CDrawContext::fillRect(const CRect& rect) {
  if (!device) return;
  // The left column and top row stay unfilled: an outline drawn with
  // frameRect covers them.
  device->fillRect(platform::PixelRect{rect.left + 1 + offset.h, rect.top + 1 + offset.v, rect.right + offset.h,
                                       rect.bottom + offset.v});
}

void CDrawContext::drawText(const char* text, const CRect& rect, bool opaque, int alignment) {
  if (!text || !device) return;
  CRect box = rect;
  box.offset(offset.h, offset.v);
  platform::TextAlign align = platform::TextAlign::left;
  if (alignment == kAlignCenter) {
    align = platform::TextAlign::center;
  } else if (alignment == kAlignRight) {
    align = platform::TextAlign::right;
  } else {
    box.left += 1;
  }
  device->text(text, pixels(box), align, opaque);
}

int CDrawContext::queryButtons() { return currentButtons(); }

}  // namespace toolkit
