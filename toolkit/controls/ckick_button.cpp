#include "toolkit/controls/ckick_button.h"

#include "toolkit/button_state.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"

namespace toolkit {

CKickButton::CKickButton(const CRect& size, CControlListener* buttonListener, int buttonTag, CBitmap* picture,
                         int height, CPoint offset)
    : CControl(size, buttonListener, buttonTag, picture), imageOffset(offset), imageHeight(height) {}

bool CKickButton::isOfClass(const char* className) const {
  return isClassName(className, "CKickButton") || CControl::isOfClass(className);
}

void CKickButton::draw(CDrawContext* context) {
  CPoint position = imageOffset;
  clampValue();
  if (value != 0.0f) position.v += imageHeight;
  if (backgroundBitmap && context) {
    if (transparent) {
      backgroundBitmap->drawTransparent(context, bounds, position);
    } else {
      backgroundBitmap->draw(context, bounds, position);
    }
  }
  setDirty(false);
}

void CKickButton::onMouseDown(CDrawContext* context, CPoint where, int buttons) {
  if (!isMouseEnabled()) return;
  if (buttons == kButtonsQuery) buttons = CDrawContext::queryButtons();
  if (listener && hasModifier(buttons) && listener->onModifierClick(context, this, buttons) != 0) return;
  if (!(buttons & kButtonLeft)) return;
  const float entryValue = value;
  beginEdit();
  if (CDrawContext::queryButtons() == kButtonLeft) {
    do {
      // Edges count as inside: a press on the last column still kicks.
      if (where.h >= bounds.left && where.h <= bounds.right && where.v >= bounds.top && where.v <= bounds.bottom) {
        value = entryValue == 0.0f ? 1.0f : 0.0f;
      } else {
        value = entryValue;
      }
      if (isDirty() && listener) listener->valueChanged(context, this);
      getMousePosition(context, where);
      doIdleWork();
    } while (CDrawContext::queryButtons() == kButtonLeft);
  } else {
    value = value == 0.0f ? 1.0f : 0.0f;
    if (listener) listener->valueChanged(context, this);
  }
  value = 0.0f;
  if (listener) listener->valueChanged(context, this);
  endEdit();
}

}  // namespace toolkit
