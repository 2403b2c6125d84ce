#include "toolkit/controls/ccontrol.h"

#include "toolkit/button_state.h"
#include "toolkit/cframe.h"

namespace toolkit {

CControl::CControl(const CRect& size, CControlListener* controlListener, int controlTag, CBitmap* background)
    : CView(size), listener(controlListener), tag(controlTag) {
  setBackgroundBitmap(background);
  setDirty(true);
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
  // An unordered comparison (NaN) counts as a change.
  return !(value == drawnValue) || CView::isDirty();
}

void CControl::setDirty(bool flag) {
  CView::setDirty(flag);
  if (flag) {
    drawnValue = value == -1.0f ? 0.0f : -1.0f;
  } else {
    drawnValue = value;
  }
}

bool CControl::isOfClass(const char* className) const {
  return isClassName(className, "CControl") || CView::isOfClass(className);
}

void CControl::doIdleWork() {
  if (parentFrame) parentFrame->doIdleWork();
}

void CControl::beginEdit() {
  if (!parentFrame) return;
  parentFrame->setFocusView(this);
  parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
  if (parentFrame) parentFrame->endEdit(tag);
}

void CControl::clampValue() {
  if (value > maximum) {
    value = maximum;
  } else if (value < minimum) {
    value = minimum;
  }
}

bool CControl::resetOnControlClick(CDrawContext* context, int buttons) {
  if (buttons != (kButtonLeft | kModControl)) return false;
  beginEdit();
  value = getDefaultValue();
  if (isDirty() && listener) listener->valueChanged(context, this);
  endEdit();
  return true;
}

bool CControl::isDoubleClick() {
  const auto ticks = static_cast<std::int32_t>(parentFrame ? parentFrame->getTicks() : 0u);
  // Wrapping difference, so a tick count that crosses 2^31 still compares.
  if (lastClickTicks > 0 && static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks) -
                                                      static_cast<std::uint32_t>(lastClickTicks)) < doubleClickTime) {
    lastClickTicks = 0;
    return true;
  }
  lastClickTicks = ticks;
  return false;
}

}  // namespace toolkit
