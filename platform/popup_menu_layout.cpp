#include "platform/popup_menu_layout.h"

#include <algorithm>

namespace platform {

int MenuLayout::itemAt(int x, int y) const {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const PixelRect& box = boxes[i];
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
      return items[i]->kind == PopupItem::Kind::separator ? -1 : static_cast<int>(i);
    }
  }
  return -1;
}

MenuLayout layoutMenu(const PopupMenu& menu, int pixelSize, const std::function<int(const std::string&)>& textWidth) {
  MenuLayout layout;
  const int itemHeight = std::max(pixelSize, 1) + 8;
  const int separatorHeight = 8;
  // First pass: which column each item lands in and the widest text there.
  std::vector<int> columnOf;
  std::vector<int> widths(1, 0);
  for (const PopupItem& item : menu.items) {
    if (item.columnBreak && !columnOf.empty()) widths.push_back(0);
    columnOf.push_back(static_cast<int>(widths.size()) - 1);
    if (item.kind != PopupItem::Kind::separator) widths.back() = std::max(widths.back(), textWidth(item.text));
  }
  int x = kMenuBorder;
  for (int& width : widths) {
    layout.columnLefts.push_back(x);
    width = kMenuCheckWidth + width + kMenuArrowWidth;
    x += width + 1;  // one pixel for the line between columns
  }
  layout.width = x - 1 + kMenuBorder;
  std::vector<int> nextTop(widths.size(), kMenuBorder);
  int bottom = kMenuBorder;
  for (std::size_t i = 0; i < menu.items.size(); ++i) {
    const auto column = static_cast<std::size_t>(columnOf[i]);
    const int height = menu.items[i].kind == PopupItem::Kind::separator ? separatorHeight : itemHeight;
    const int left = layout.columnLefts[column];
    layout.boxes.push_back(PixelRect{left, nextTop[column], left + widths[column], nextTop[column] + height});
    layout.items.push_back(&menu.items[i]);
    nextTop[column] += height;
    bottom = std::max(bottom, nextTop[column]);
  }
  layout.height = bottom + kMenuBorder;
  return layout;
}

}  // namespace platform
