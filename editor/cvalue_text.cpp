#include "editor/cvalue_text.h"

#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"

using namespace toolkit;

namespace {

constexpr float kRangePixels = 200.0f;

}  // namespace

CValueText::CValueText(const CRect& size, CControlListener* textListener, int textTag) : CParamDisplay(size) {
  fineFactor = 1.5f;
  listener = textListener;
  tag = textTag;
}

bool CValueText::isOfClass(const char* className) const {
  return isClassName(className, "CValueText") || isClassName(className, "CParamDisplay") ||
         isClassName(className, "CControl") || isClassName(className, "CView");
}

void CValueText::onMouseDown(CDrawContext* context, CPoint where, int buttons) {
  if (!isMouseEnabled()) return;
  if (buttons == kButtonsQuery) buttons = CDrawContext::queryButtons();
  if (!(buttons & kButtonLeft)) return;
  if (listener && hasModifier(buttons) && listener->onModifierClick(context, this, buttons) != 0) return;
  if (resetOnControlClick(context, buttons)) return;

  auto stepFor = [this](int state) {
    const float range = (state & kModShift) ? fineFactor * kRangePixels : kRangePixels;
    return (maximum - minimum) / range;
  };
  float step = stepFor(buttons);
  const CPoint start = where;
  CPoint last(-1, -1);
  int lastButtons = buttons;
  float startValue = value;

  beginEdit();
  for (;;) {
    const int state = CDrawContext::queryButtons();
    if (where.h != last.h || where.v != last.v) {
      last = where;
      const auto delta = static_cast<float>((where.h - start.h) - (where.v - start.v));
      if (state != lastButtons) {
        // Re-anchor so the value stays put at the switch and moves by the
        // new step from here on.
        const float newStep = stepFor(state);
        startValue += (step - newStep) * delta;
        step = newStep;
        lastButtons = state;
      }
      value = startValue + delta * step;
      clampValue();
      if (isDirty() && listener) listener->valueChanged(context, this);
    }
    getMousePosition(context, where);
    doIdleWork();
    if (!(state & kButtonLeft)) break;
  }
  endEdit();
}
