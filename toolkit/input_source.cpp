#include "toolkit/input_source.h"

#include "platform/clock.h"
#include "platform/native_window.h"
#include "toolkit/button_state.h"

namespace toolkit {
namespace {

class SystemInput final : public InputSource {
 public:
  bool pointerPosition(CPoint& where) override {
    int x = 0;
    int y = 0;
    platform::PointerButtons state;
    if (!platform::queryPointer(x, y, state)) return false;
    where = CPoint(x, y);
    return true;
  }
  int buttons() override {
    int x = 0;
    int y = 0;
    platform::PointerButtons state;
    if (!platform::queryPointer(x, y, state)) return 0;
    return (state.left ? kButtonLeft : 0) | (state.middle ? kButtonMiddle : 0) | (state.right ? kButtonRight : 0) |
           (state.shift ? kModShift : 0) | (state.control ? kModControl : 0) | (state.alt ? kModAlt : 0);
  }
  std::uint32_t ticks() override { return platform::monotonicMilliseconds(); }
  void sleep(int milliseconds) override { platform::sleepMilliseconds(milliseconds); }
};

SystemInput systemInput;
InputSource* active = nullptr;
bool pressPending = false;
int pendingButtons = 0;

}  // namespace

InputSource& inputSource() { return active ? *active : systemInput; }

void setInputSource(InputSource* source) { active = source; }

void setPendingPress(int buttons) {
  pressPending = true;
  pendingButtons = buttons;
}

void clearPendingPress() { pressPending = false; }

int currentButtons() {
  if (pressPending) {
    pressPending = false;
    return pendingButtons;
  }
  return inputSource().buttons();
}

}  // namespace toolkit
