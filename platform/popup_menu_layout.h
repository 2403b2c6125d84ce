// Where the items of one popup menu level go: columns (an item marked as a
// column break starts the next one), item boxes and the window size. Pure
// arithmetic on measured text widths, so it is tested without a display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/pixel_types.h"
#include "platform/popup_menu.h"

namespace platform {

inline constexpr int kMenuCheckWidth = 20;  // room for a check mark left of the text
inline constexpr int kMenuArrowWidth = 20;  // room for a submenu arrow right of it
inline constexpr int kMenuBorder = 2;

struct MenuLayout {
  int width = 0;
  int height = 0;
  std::vector<PixelRect> boxes;   // one per item, in the menu window's coordinates
  std::vector<int> columnLefts;   // x of each column
  // The item under a point of the window, or -1 (separators count as none).
  int itemAt(int x, int y) const;
  std::vector<const PopupItem*> items;
};

MenuLayout layoutMenu(const PopupMenu& menu, int pixelSize, const std::function<int(const std::string&)>& textWidth);

}  // namespace platform
