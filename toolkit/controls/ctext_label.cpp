#include "toolkit/controls/ctext_label.h"

#include <cstring>
#include <new>

namespace toolkit {

CTextLabel::CTextLabel(const CRect& size, CBitmap* background, int labelStyle)
    : CParamDisplay(size, background, labelStyle) {}

CTextLabel::~CTextLabel() { delete[] text; }

bool CTextLabel::isOfClass(const char* className) const {
  return isClassName(className, "CTextLabel") || CParamDisplay::isOfClass(className);
}

void CTextLabel::setText(const char* newText) {
  // Copy before freeing: the new text may be the one getText handed out.
  char* copy = nullptr;
  if (newText) {
    const std::size_t length = std::strlen(newText);
    copy = new (std::nothrow) char[length + 1];
    if (copy) std::memcpy(copy, newText, length + 1);
  }
  delete[] text;
  text = copy;
}

void CTextLabel::draw(CDrawContext* context) {
  drawDisplay(context, text);
  setDirty(false);
}

}  // namespace toolkit
