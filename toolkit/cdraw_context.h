// All drawing goes through a context: it wraps one device (a window's back
// buffer or an offscreen surface) and keeps the state views set before they
// draw. A context serves one piece of work and is released at its end; a
// window's context puts what was drawn on the screen when it goes.
// UI thread only.
#pragma once

#include "toolkit/ccolor.h"
#include "toolkit/crect.h"
#include "toolkit/creference_counter.h"
#include "toolkit/font_table.h"

namespace platform {
class Canvas;
class NativeWindow;
}  // namespace platform

namespace toolkit {

class CFrame;

class CDrawContext : public CReferenceCounter {
 public:
  // Any argument may be none. Without a device but with a window, the window's
  // back buffer is used.
  CDrawContext(CFrame* frame, platform::Canvas* device, platform::NativeWindow* window);
  ~CDrawContext() override;

  void setLineColor(const CColor& color);
  CColor getLineColor() const { return lineColor; }
  void setLineWidth(int width);
  int getLineWidth() const { return lineWidth; }
  void setFillColor(const CColor& color);
  CColor getFillColor() const { return fillColor; }
  void setTextColor(const CColor& color);
  CColor getTextColor() const { return textColor; }
  // size 0: the font's default size. Unknown identifiers mean kFontSystem.
  void selectFont(int fontId, int size = 0, int style = 0);
  int getFont() const { return fontId; }
  int getFontSize() const { return fontSize; }
  int getFontStyle() const { return fontStyle; }

  void setClipRect(const CRect& clip);
  void getClipRect(CRect& clip) const;

  void moveTo(const CPoint& point);
  void lineTo(const CPoint& point);
  void frameRect(const CRect& rect);
  void fillRect(const CRect& rect);
  void drawText(const char* text, const CRect& rect, bool opaque = false, int alignment = kAlignCenter);

  // kButton* and kMod* bits of what is down now; needs no context.
  static int queryButtons();

  CFrame* getFrame() const { return frame; }
  platform::Canvas* getDevice() const { return device; }
  platform::NativeWindow* getWindow() const { return window; }

  CPoint windowOrigin;  // screen position of the window's top-left corner
  CPoint offset;        // added to every coordinate and to the clip

 protected:
  platform::Canvas* device = nullptr;
  platform::NativeWindow* window = nullptr;
  CFrame* frame = nullptr;
  int fontSize = -1;
  int fontStyle = 0;
  int fontId = kNumFonts;  // "none selected yet", so the defaults are applied
  CColor textColor{};
  int lineWidth = 0;
  CColor lineColor{};
  CColor fillColor{};
  CRect clipRect;  // device coordinates
  CPoint penPosition;  // device coordinates
};

}  // namespace toolkit
