// Native widgets for headless tests: a text field whose typed text the test
// sets and whose end it triggers, and a popup that answers a scripted item.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/controls/native_widgets.h"

namespace controls_test {

class FakeWidgets;

class FakeField final : public platform::TextField {
 public:
  FakeField(FakeWidgets& owner, std::string initial) : owner_(owner), typed(std::move(initial)) {}
  ~FakeField() override;
  std::string text() const override { return typed; }
  // Records the key; Enter ends the field as the real one does, which
  // destroys this object inside the call.
  bool takeHostKey(const platform::HostKey& key) override;

 private:
  FakeWidgets& owner_;

 public:
  std::string typed;
};

// One level of a popup as the control built it, flattened for comparison.
struct SeenItem {
  platform::PopupItem::Kind kind;
  std::string text;
  int id;
  bool checked;
  bool columnBreak;
  int submenuItems;  // -1 without a submenu
};

class FakeWidgets final : public toolkit::NativeWidgets {
 public:
  FakeWidgets() { toolkit::setNativeWidgets(this); }
  ~FakeWidgets() override { toolkit::setNativeWidgets(nullptr); }
  FakeWidgets(const FakeWidgets&) = delete;
  FakeWidgets& operator=(const FakeWidgets&) = delete;

  std::unique_ptr<platform::TextField> openTextField(std::uintptr_t parentWindow, const platform::TextFieldLook& look,
                                                     platform::TextFieldEvents* events) override {
    ++fieldsOpened;
    lastParent = parentWindow;
    lastLook = look;
    fieldEvents = events;
    if (refuseField) return nullptr;
    auto field = std::make_unique<FakeField>(*this, look.text);
    openField = field.get();
    return field;
  }

  int runPopupMenu(const platform::PopupMenu& menu, const platform::PopupRequest& request) override {
    ++popupsRun;
    lastRequest = request;
    seen.clear();
    for (const auto& item : menu.items) {
      seen.push_back(SeenItem{item.kind, item.text, item.id, item.checked, item.columnBreak,
                              item.submenu ? static_cast<int>(item.submenu->items.size()) : -1});
    }
    lastMenuHadSubmenuIds.clear();
    collectIds(menu, lastMenuHadSubmenuIds);
    return popupAnswer;
  }

  static void collectIds(const platform::PopupMenu& menu, std::vector<int>& ids) {
    for (const auto& item : menu.items) {
      if (item.kind == platform::PopupItem::Kind::submenu && item.submenu) {
        collectIds(*item.submenu, ids);
      } else if (item.kind != platform::PopupItem::Kind::separator) {
        ids.push_back(item.id);
      }
    }
  }

  // Text field side.
  int fieldsOpened = 0;
  int fieldsClosed = 0;
  bool refuseField = false;
  std::uintptr_t lastParent = 0;
  platform::TextFieldLook lastLook;
  platform::TextFieldEvents* fieldEvents = nullptr;
  FakeField* openField = nullptr;
  std::vector<platform::HostKey> hostKeys;  // in the order the field got them
  bool takeHostKeys = true;                 // the field's answer to a host key

  // Popup side.
  int popupsRun = 0;
  int popupAnswer = -1;
  platform::PopupRequest lastRequest;
  std::vector<SeenItem> seen;
  std::vector<int> lastMenuHadSubmenuIds;
};

inline bool FakeField::takeHostKey(const platform::HostKey& key) {
  FakeWidgets& owner = owner_;
  owner.hostKeys.push_back(key);
  if (!owner.takeHostKeys) return false;
  if (key.key == platform::FieldKey::enter && owner.fieldEvents) owner.fieldEvents->textFieldEnded();
  return true;
}

inline FakeField::~FakeField() {
  ++owner_.fieldsClosed;
  if (owner_.openField == this) owner_.openField = nullptr;
}

}  // namespace controls_test
