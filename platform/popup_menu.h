// A popup menu of our own: override-redirect windows at a screen position,
// modal until a choice is made or the menu is dismissed. No X11 types here.
// UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct PopupMenu;

struct PopupItem {
  enum class Kind { plain, greyed, title, separator, submenu };
  Kind kind = Kind::plain;
  std::string text;
  int id = -1;
  bool checked = false;
  bool columnBreak = false;  // the item starts a new column
  std::unique_ptr<PopupMenu> submenu;
};

struct PopupMenu {
  std::vector<PopupItem> items;
};

struct PopupRequest {
  std::uintptr_t ownerWindow = 0;  // our window the popup belongs to
  int x = 0;                      // screen position of the top-left corner
  int y = 0;
  bool trackRightButton = false;  // the right button chooses too
  const char* face = "Arial";
  int pixelSize = 12;
};

// Shows the menu and waits until it closes. The chosen item's id, or -1 when
// it closed without a choice (or could not open).
int runPopupMenu(const PopupMenu& menu, const PopupRequest& request);

}  // namespace platform
