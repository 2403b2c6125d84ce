// A display of a stored text that the user edits in place: a click opens a
// one-line field exactly over the control with the whole text selected;
// Enter or any loss of the keyboard focus closes it and commits the text,
// telling the listener once if it changed. There is no cancel key.
// UI thread only.
#pragma once

#include <memory>

#include "platform/text_field.h"
#include "toolkit/controls/cparam_display.h"
#include "toolkit/controls/text_buffer.h"

namespace toolkit {

using TextFormatter = void (*)(const char* text, char* displayText);
using TextFormatterWithData = void (*)(const char* text, char* displayText, void* data);

class CTextEdit : public CParamDisplay, private platform::TextFieldEvents {
 public:
  CTextEdit(const CRect& size, CControlListener* listener, int tag, const char* text = nullptr);
  // The open field goes with the control; its text is dropped then.
  ~CTextEdit() override;

  void draw(CDrawContext* context) override;
  void onMouseDown(CDrawContext* context, CPoint where, int buttons) override;
  void onFocusLost(CDrawContext* context) override;
  void onFocusGained(CDrawContext* context) override;
  // While the field is open, a key the host passes on goes into it: 1 when
  // the field took it, -1 otherwise (also with no field open).
  std::int32_t onKeyDown(vst::VstKeyCode& keyCode) override;
  bool isOfClass(const char* className) const override;

  virtual void setText(const char* newText);
  // buffer holds kTextBufferSize bytes.
  virtual void getText(char* buffer) const;
  virtual void setTextFormatterWithData(TextFormatterWithData formatter, void* data);
  virtual void setTextFormatter(TextFormatter formatter) { textFormatter = formatter; }

  bool isEditing() const { return editing; }
  // The open field, for whoever needs to look at it; none when closed.
  platform::TextField* getNativeEdit() const { return nativeEdit.get(); }
  // What the field of a box of this height uses for the font size.
  static int fieldFontSize(int fontSize, int boxHeight);

 protected:
  void textFieldEnded() override;

  std::unique_ptr<platform::TextField> nativeEdit;
  char text[kTextBufferSize] = {};
  TextFormatter textFormatter = nullptr;
  TextFormatterWithData textFormatterWithData = nullptr;
  bool editing = false;  // the field is open or still committing
  bool closing = false;  // inside onFocusLost: a nested call has nothing to do
};

}  // namespace toolkit
