#include "toolkit/controls/cparam_display.h"

#include <cstdio>

#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"

namespace toolkit {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int displayStyle)
    : CControl(size, nullptr, 0, background), style(displayStyle) {
  if (style & kNoDraw) setDirty(false);
}

bool CParamDisplay::isOfClass(const char* className) const {
  return isClassName(className, "CParamDisplay") || CControl::isOfClass(className);
}

void CParamDisplay::setFont(int newFontId) {
  if (newFontId != fontId) setDirty(true);
  fontId = newFontId;
}

void CParamDisplay::setFontColor(CColor color) {
  if (!(color == fontColor)) setDirty(true);
  fontColor = color;
}

void CParamDisplay::setBackColor(CColor color) {
  if (!(color == backColor)) setDirty(true);
  backColor = color;
}

void CParamDisplay::setFrameColor(CColor color) {
  if (!(color == frameColor)) setDirty(true);
  frameColor = color;
}

void CParamDisplay::setShadowColor(CColor color) {
  if (!(color == shadowColor)) setDirty(true);
  shadowColor = color;
}

void CParamDisplay::setTextAlign(int align) {
  if (align != textAlign) setDirty(true);
  textAlign = align;
}

void CParamDisplay::setValueFormatterWithData(ValueFormatterWithData formatter, void* data) {
  valueFormatterWithData = formatter;
  formatterData = data;
}

void CParamDisplay::setStyle(int newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  setDirty(true);
}

void CParamDisplay::setTextStyle(int newTextStyle) {
  if (newTextStyle != textStyle) setDirty(true);
  textStyle = newTextStyle;
}

void CParamDisplay::formatValue(char* text) const {
  text[0] = 0;
  if (valueFormatterWithData) {
    valueFormatterWithData(value, text, formatterData);
  } else if (valueFormatter) {
    valueFormatter(value, text);
  } else {
    std::snprintf(text, kTextBufferSize, "%2.2f", static_cast<double>(value));
  }
  text[kTextBufferSize - 1] = 0;  // a formatter that overran its limit still ends here
}

void CParamDisplay::draw(CDrawContext* context) {
  char text[kTextBufferSize];
  formatValue(text);
  drawDisplay(context, text);
}

void CParamDisplay::drawDisplay(CDrawContext* context, const char* text) {
  setDirty(false);
  if ((style & kNoDraw) || !context) return;

  if (backgroundBitmap) {
    if (transparent) {
      backgroundBitmap->drawTransparent(context, bounds, pictureOffset);
    } else {
      backgroundBitmap->draw(context, bounds, pictureOffset);
    }
  } else if (!transparent) {
    context->setFillColor(backColor);
    context->fillRect(bounds);
    if (!(style & (kNoFrame | kOutsetFrame | kInsetFrame))) {
      context->setLineColor(frameColor);
      context->frameRect(bounds);
    }
  }

  if (style & (kInsetFrame | kOutsetFrame)) {
    const int left = bounds.left;
    const int top = bounds.top + 1;
    const int right = bounds.right - 1;
    const int bottom = bounds.bottom - 1;
    const bool inset = (style & kInsetFrame) != 0;
    context->setLineWidth(1);
    context->setLineColor(inset ? backColor : frameColor);
    context->moveTo(CPoint(left, bottom));
    context->lineTo(CPoint(left, top));
    context->lineTo(CPoint(right, top));
    context->setLineColor(inset ? frameColor : backColor);
    context->moveTo(CPoint(right, top));
    context->lineTo(CPoint(right, bottom));
    context->lineTo(CPoint(left, bottom));
  }

  if ((style & kNoText) || !text) return;

  CRect savedClip;
  context->getClipRect(savedClip);
  CRect clip = bounds;
  clip.bound(savedClip);
  context->setClipRect(clip);
  context->selectFont(fontId, 0, textStyle);
  if (style & kShadowText) {
    CRect shadow = bounds;
    shadow.offset(1, 1);
    context->setTextColor(shadowColor);
    context->drawText(text, shadow, !textTransparency, textAlign);
  }
  context->setTextColor(fontColor);
  context->drawText(text, bounds, !textTransparency, textAlign);
  context->setClipRect(savedClip);
}

}  // namespace toolkit
