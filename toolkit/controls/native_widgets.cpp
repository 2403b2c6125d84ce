#include "toolkit/controls/native_widgets.h"

namespace toolkit {
namespace {

class PlatformWidgets final : public NativeWidgets {
 public:
  std::unique_ptr<platform::TextField> openTextField(std::uintptr_t parentWindow, const platform::TextFieldLook& look,
                                                     platform::TextFieldEvents* events) override {
    return platform::openTextField(parentWindow, look, events);
  }
  int runPopupMenu(const platform::PopupMenu& menu, const platform::PopupRequest& request) override {
    return platform::runPopupMenu(menu, request);
  }
};

PlatformWidgets platformWidgets;
NativeWidgets* active = nullptr;

}  // namespace

NativeWidgets& nativeWidgets() { return active ? *active : platformWidgets; }

void setNativeWidgets(NativeWidgets* widgets) { active = widgets; }

}  // namespace toolkit
