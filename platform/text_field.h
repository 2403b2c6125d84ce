// A one-line text field of our own: a child window over a control, with the
// keyboard focus while it is open. No X11 types here, so the toolkit can use
// it. UI thread only; its events arrive through the process's event pump.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/pixel_types.h"

namespace platform {

class TextFieldEvents {
 public:
  // Enter was pressed or the field lost the keyboard focus. The owner may
  // destroy the field from inside this call.
  virtual void textFieldEnded() = 0;

 protected:
  ~TextFieldEvents() = default;
};

struct TextFieldLook {
  PixelRect area;  // in the parent window's coordinates
  std::string text;
  const char* face = "Arial";
  int pixelSize = 12;
  TextAlign align = TextAlign::left;
  Rgb textColor{255, 255, 255};
  Rgb backColor{0, 0, 0};
  int maxBytes = 255;
};

// A key some hosts pass on through their own key requests instead of letting
// the keyboard focus reach our field.
enum class FieldKey { character, backspace, deleteForward, left, right, home, end, enter, escape };

struct HostKey {
  FieldKey key = FieldKey::character;
  std::uint32_t character = 0;  // code point, for FieldKey::character
  bool shift = false;           // extends the selection while moving
  bool control = false;         // moves by word
};

class TextField {
 public:
  virtual ~TextField() = default;
  virtual std::string text() const = 0;
  // Handles the key as if it had been typed into the field; false when the
  // field does not use it. Enter ends the field, and its owner may destroy
  // it from inside this call.
  virtual bool takeHostKey(const HostKey&) { return false; }
};

// Opens a field as a child of parentWindow (an X11 window id of ours), with
// the whole text selected and the keyboard focus. nullptr when that fails.
std::unique_ptr<TextField> openTextField(std::uintptr_t parentWindow, const TextFieldLook& look,
                                         TextFieldEvents* events);

}  // namespace platform
