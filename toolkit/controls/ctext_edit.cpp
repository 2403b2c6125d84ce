#include "toolkit/controls/ctext_edit.h"

#include <cstring>

#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/native_widgets.h"
#include "toolkit/view_messages.h"

namespace toolkit {
namespace {

const char kMsgLooseFocus[] = "LooseFocus";

platform::TextAlign fieldAlign(int align) {
  if (align == kAlignLeft) return platform::TextAlign::left;
  if (align == kAlignRight) return platform::TextAlign::right;
  return platform::TextAlign::center;
}

// The host's key as the field's key; false for one the field has no use for.
bool fieldKeyOf(const vst::VstKeyCode& keyCode, platform::HostKey& key) {
  key.shift = (keyCode.modifier & vst::MODIFIER_SHIFT) != 0;
  key.control = (keyCode.modifier & vst::MODIFIER_CONTROL) != 0;
  switch (keyCode.virt) {
    case 0:
      if (keyCode.character <= 0) return false;
      key.key = platform::FieldKey::character;
      key.character = static_cast<std::uint32_t>(keyCode.character);
      return true;
    case vst::VKEY_SPACE:
      key.key = platform::FieldKey::character;
      key.character = ' ';
      return true;
    case vst::VKEY_BACK: key.key = platform::FieldKey::backspace; return true;
    case vst::VKEY_DELETE: key.key = platform::FieldKey::deleteForward; return true;
    case vst::VKEY_LEFT: key.key = platform::FieldKey::left; return true;
    case vst::VKEY_RIGHT: key.key = platform::FieldKey::right; return true;
    case vst::VKEY_HOME: key.key = platform::FieldKey::home; return true;
    case vst::VKEY_END: key.key = platform::FieldKey::end; return true;
    case vst::VKEY_RETURN:
    case vst::VKEY_ENTER: key.key = platform::FieldKey::enter; return true;
    case vst::VKEY_ESCAPE: key.key = platform::FieldKey::escape; return true;
    default: return false;
  }
}

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* editListener, int editTag, const char* initialText)
    : CParamDisplay(size, nullptr, 0) {
  listener = editListener;
  tag = editTag;
  if (initialText) copyTextBuffer(text, initialText);
  setAcceptsFocus(true);
}

CTextEdit::~CTextEdit() = default;

bool CTextEdit::isOfClass(const char* className) const {
  return isClassName(className, "CTextEdit") || CParamDisplay::isOfClass(className);
}

void CTextEdit::setText(const char* newText) {
  if (newText) {
    if (std::strcmp(newText, text) == 0) return;
    copyTextBuffer(text, newText);
    setDirty(true);
  } else if (text[0] != 0) {
    text[0] = 0;
    setDirty(true);
  }
}

void CTextEdit::getText(char* buffer) const {
  if (buffer) std::memcpy(buffer, text, std::strlen(text) + 1);
}

void CTextEdit::setTextFormatterWithData(TextFormatterWithData formatter, void* data) {
  textFormatterWithData = formatter;
  formatterData = data;
}

void CTextEdit::draw(CDrawContext* context) {
  if (editing) {
    // The open field shows the text itself.
    setDirty(false);
    return;
  }
  char shown[kTextBufferSize] = {};
  if (textFormatterWithData) {
    textFormatterWithData(text, shown, formatterData);
  } else if (textFormatter) {
    textFormatter(text, shown);
  } else if (valueFormatterWithData || valueFormatter) {
    formatValue(shown);
    copyTextBuffer(text, shown);
  } else {
    std::memcpy(shown, text, sizeof shown);
  }
  shown[kTextBufferSize - 1] = 0;
  drawDisplay(context, shown);
  setDirty(false);
}

void CTextEdit::onMouseDown(CDrawContext* context, CPoint, int buttons) {
  if (!isMouseEnabled()) return;
  if (buttons == kButtonsQuery) buttons = CDrawContext::queryButtons();
  if (listener && hasModifier(buttons) && listener->onModifierClick(context, this, buttons) != 0) return;
  if (!(buttons & kButtonLeft)) return;
  if (parentFrame && parentFrame->getFocusView() == this) return;
  if ((style & kDoubleClickToEdit) && !isDoubleClick()) return;
  beginEdit();
  onFocusGained(context);
}

int CTextEdit::fieldFontSize(int fontSize, int boxHeight) {
  const int limit = boxHeight - 2;
  int size = fontSize < limit ? fontSize : limit;
  return size < 1 ? 1 : size;
}

void CTextEdit::onFocusGained(CDrawContext* context) {
  if (editing || !parentFrame) return;
  CRect r = bounds;
  for (CView* ancestor = parentView; ancestor; ancestor = ancestor->getParentView()) {
    if (ancestor->notify(this, kMsgCheckIfViewContainer) == 1) {
      CRect outer;
      ancestor->getBounds(outer);
      r.offset(outer.left, outer.top);
    }
  }
  if (context) r.offset(context->offset.h, context->offset.v);

  platform::TextFieldLook look;
  look.area = platform::PixelRect{r.left, r.top, r.right, r.bottom};
  look.text = text;
  const FontInfo& font = fontInfo(fontId);
  look.face = font.face;
  look.pixelSize = fieldFontSize(font.defaultSize, r.height());
  look.align = fieldAlign(textAlign);
  look.textColor = platform::Rgb{fontColor.red, fontColor.green, fontColor.blue};
  look.backColor = platform::Rgb{backColor.red, backColor.green, backColor.blue};
  look.maxBytes = kTextBufferSize - 1;
  nativeEdit = nativeWidgets().openTextField(parentFrame->getWindowId(), look, this);
  if (!nativeEdit) {
    // No field could open: end the edit at once rather than hold the focus.
    if (parentFrame->getFocusView() == this) {
      parentFrame->setFocusView(nullptr);
    } else {
      endEdit();
    }
    return;
  }
  editing = true;
}

std::int32_t CTextEdit::onKeyDown(vst::VstKeyCode& keyCode) {
  platform::HostKey key;
  if (!nativeEdit || closing || !fieldKeyOf(keyCode, key)) return -1;
  // Enter commits and closes the field inside this call: nothing of the
  // field is touched after it.
  return nativeEdit->takeHostKey(key) ? 1 : -1;
}

void CTextEdit::textFieldEnded() { onFocusLost(nullptr); }

void CTextEdit::onFocusLost(CDrawContext* context) {
  // Clearing the frame's focus view below calls us again: the outer call
  // does the work, so the host sees one end of the edit.
  if (closing) return;
  closing = true;
  endEdit();
  if (parentFrame && parentFrame->getFocusView() == this) parentFrame->setFocusView(nullptr);
  if (!nativeEdit) {
    closing = false;
    return;
  }
  char oldText[kTextBufferSize];
  std::memcpy(oldText, text, sizeof oldText);
  const std::string typed = nativeEdit->text();
  copyTextBuffer(text, typed.c_str());
  nativeEdit.reset();

  CDrawContext* drawContext = context;
  bool offsetChanged = false;
  CPoint savedOffset;
  if (drawContext) {
    drawContext->retain();
  } else if (parentFrame) {
    drawContext = parentFrame->createDrawContext();
    if (drawContext && parentView) {
      savedOffset = drawContext->offset;
      CRect parentBounds;
      parentView->getBounds(parentBounds);
      CPoint origin(0, 0);
      parentView->mapToFrame(origin);
      drawContext->offset = CPoint(parentBounds.left + origin.h, parentBounds.top + origin.v);
      offsetChanged = true;
    }
  }
  const bool changed = std::strcmp(text, oldText) != 0;
  if (changed && listener) listener->valueChanged(drawContext, this);
  editing = false;
  if (drawContext) {
    if (offsetChanged) drawContext->offset = savedOffset;
    drawContext->release();
  }
  if (changed) doIdleWork();
  if (parentView) {
    parentView->notify(this, kMsgLooseFocus);
  } else if (parentFrame) {
    parentFrame->notify(this, kMsgLooseFocus);
  }
  closing = false;
}

}  // namespace toolkit
