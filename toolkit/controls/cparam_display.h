// A control that shows its value as text in a box: a background picture or a
// filled, framed rectangle, optional 3D edges, and a text in a chosen font,
// colour and alignment. The base of every text-showing control. UI thread only.
#pragma once

#include "toolkit/ccolor.h"
#include "toolkit/controls/ccontrol.h"
#include "toolkit/font_table.h"

namespace toolkit {

enum : int {
  kMultipleCheck = 0x1,
  kShadowText = 0x4,
  kInsetFrame = 0x80,
  kOutsetFrame = 0x100,
  kPopupAtTop = 0x200,
  kCheckCurrent = 0x400,
  kNoText = 0x800,
  kNoDraw = 0x1000,
  kDoubleClickToEdit = 0x2000,
  kNoFrame = 0x4000,
};

// Formatters write at most 255 characters and a terminator into a buffer of
// kTextBufferSize bytes.
inline constexpr int kTextBufferSize = 256;
using ValueFormatter = void (*)(float value, char* text);
using ValueFormatterWithData = void (*)(float value, char* text, void* data);
using TextParser = bool (*)(const char* text, float& value, void* data);

class CParamDisplay : public CControl {
 public:
  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int style = 0);

  void draw(CDrawContext* context) override;
  bool isOfClass(const char* className) const override;

  virtual void setFont(int newFontId);
  int getFont() const { return fontId; }
  virtual void setFontColor(CColor color);
  CColor getFontColor() const { return fontColor; }
  virtual void setBackColor(CColor color);
  CColor getBackColor() const { return backColor; }
  virtual void setFrameColor(CColor color);
  CColor getFrameColor() const { return frameColor; }
  virtual void setShadowColor(CColor color);
  CColor getShadowColor() const { return shadowColor; }
  virtual void setTextAlign(int align);
  int getTextAlign() const { return textAlign; }
  virtual void setValueFormatterWithData(ValueFormatterWithData formatter, void* data);
  virtual void setValueFormatter(ValueFormatter formatter) { valueFormatter = formatter; }
  virtual void setTextParser(TextParser parser) { textParser = parser; }
  virtual void setStyle(int newStyle);
  int getStyle() const { return style; }
  virtual void setTextStyle(int newTextStyle);
  int getTextStyle() const { return textStyle; }
  virtual void setTextTransparency(bool flag) { textTransparency = flag; }
  bool getTextTransparency() const { return textTransparency; }

  void drawDisplay(CDrawContext* context, const char* text);

 protected:
  // Writes the value's text the way draw shows it (formatter or "%2.2f").
  void formatValue(char* text) const;

  ValueFormatter valueFormatter = nullptr;
  ValueFormatterWithData valueFormatterWithData = nullptr;
  TextParser textParser = nullptr;
  void* formatterData = nullptr;
  int textAlign = kAlignCenter;
  int style;
  int fontId = kFontNormal;
  int textStyle = 0;
  CColor fontColor = kColorWhite;
  CColor backColor = kColorBlack;
  CColor frameColor = kColorBlack;
  CColor shadowColor = kColorRed;
  bool textTransparency = true;
};

}  // namespace toolkit
