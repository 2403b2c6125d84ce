// The native widgets the controls open: the one-line edit field and the
// popup menu. The platform provides them; tests install their own to script
// what a user types or chooses. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/popup_menu.h"
#include "platform/text_field.h"

namespace toolkit {

class NativeWidgets {
 public:
  virtual ~NativeWidgets() = default;
  virtual std::unique_ptr<platform::TextField> openTextField(std::uintptr_t parentWindow,
                                                             const platform::TextFieldLook& look,
                                                             platform::TextFieldEvents* events) = 0;
  virtual int runPopupMenu(const platform::PopupMenu& menu, const platform::PopupRequest& request) = 0;
};

NativeWidgets& nativeWidgets();
// nullptr puts the platform's widgets back. The caller keeps ownership.
void setNativeWidgets(NativeWidgets* widgets);

}  // namespace toolkit
