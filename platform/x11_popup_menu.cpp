// Popup menus: one override-redirect window per open menu level, placed in
// screen coordinates and drawn by cairo into a back buffer. The menu is modal:
// it grabs pointer and keyboard and runs its own event loop on the process's
// connection until a choice is made or it is dismissed. Events of our other
// windows that arrive meanwhile are kept and put back for the host's idle,
// except pointer and key events, which belonged to the menu.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <poll.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/cairo_internal.h"
#include "platform/clock.h"
#include "platform/popup_menu.h"
#include "platform/popup_menu_layout.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

constexpr int kHoverOpenMs = 250;  // pointer rest before a submenu opens or closes
constexpr int kGrabRetryMs = 1000;

constexpr Rgb kMenuBack{240, 240, 240};
constexpr Rgb kMenuText{0, 0, 0};
constexpr Rgb kMenuGrey{150, 150, 150};
constexpr Rgb kHighlight{0, 120, 215};
constexpr Rgb kHighlightText{255, 255, 255};
constexpr Rgb kLine{190, 190, 190};

bool selectable(const PopupItem& item) {
  return item.kind == PopupItem::Kind::plain || item.kind == PopupItem::Kind::submenu;
}

struct MenuWindow {
  const PopupMenu* menu = nullptr;
  MenuLayout layout;
  ::Window window = 0;
  int x = 0;  // screen position
  int y = 0;
  int hover = -1;
  int openSubmenu = -1;  // item whose submenu is the next level
  std::unique_ptr<Canvas> canvas;
  cairo_surface_t* screen = nullptr;
  bool exposed = false;

  bool contains(int rootX, int rootY) const {
    return rootX >= x && rootY >= y && rootX < x + layout.width && rootY < y + layout.height;
  }
};

class PopupSession {
 public:
  PopupSession(::Display* display, const PopupRequest& request)
      : display_(display), request_(request), face_(request.face ? request.face : "Arial") {}
  ~PopupSession();

  int run(const PopupMenu& menu);

 private:
  bool openLevel(const PopupMenu& menu, int x, int y, int alternateX);
  void closeLevelsAbove(std::size_t level);
  void paint(MenuWindow& level);
  bool grab();
  void handle(XEvent& event);
  void pointerAt(int rootX, int rootY);
  void release(const XButtonEvent& event);
  void keyPress(XKeyEvent& event);
  void openSubmenuOf(std::size_t level, int item, bool hoverFirst);
  void activate(std::size_t level, int item);
  void moveHover(std::size_t level, int direction);
  int levelAt(int rootX, int rootY) const;
  void setHover(std::size_t level, int item);

  ::Display* display_;
  PopupRequest request_;
  std::string face_;
  ::Window transientFor_ = 0;
  std::vector<std::unique_ptr<MenuWindow>> levels_;
  std::vector<XEvent> keptEvents_;
  int result_ = -1;
  bool done_ = false;
  bool moved_ = false;       // the pointer moved since the menu opened
  bool pressInside_ = false;  // a press on one of the menus since it opened
  int startX_ = 0;
  int startY_ = 0;
  // A submenu opens (or a deeper one closes) once the pointer rests.
  std::size_t pendingLevel_ = 0;
  int pendingItem_ = -1;
  std::uint32_t pendingSince_ = 0;
  bool grabbed_ = false;
};

PopupSession::~PopupSession() {
  x11::ErrorTrap trap(display_);
  if (grabbed_) {
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
  }
  closeLevelsAbove(0);
  // Events of our other windows go back in their order for the host's idle.
  for (auto it = keptEvents_.rbegin(); it != keptEvents_.rend(); ++it) XPutBackEvent(display_, &*it);
  XFlush(display_);
}

void PopupSession::closeLevelsAbove(std::size_t level) {
  while (levels_.size() > level) {
    MenuWindow& top = *levels_.back();
    x11::ErrorTrap trap(display_);
    if (top.screen) {
      cairo_surface_finish(top.screen);
      cairo_surface_destroy(top.screen);
    }
    if (top.window) XDestroyWindow(display_, top.window);
    levels_.pop_back();
  }
  if (!levels_.empty()) {
    levels_.back()->openSubmenu = -1;
    paint(*levels_.back());
  }
}

bool PopupSession::openLevel(const PopupMenu& menu, int x, int y, int alternateX) {
  auto level = std::make_unique<MenuWindow>();
  level->menu = &menu;
  level->canvas = Canvas::create(1, 1);
  if (!level->canvas) return false;
  FontRequest font;
  font.face = face_.c_str();
  font.pixelSize = request_.pixelSize;
  level->canvas->setFont(font);
  level->layout = layoutMenu(menu, request_.pixelSize,
                             [&](const std::string& text) { return level->canvas->measure(text.c_str()).advance; });
  level->canvas = Canvas::create(level->layout.width, level->layout.height);
  if (!level->canvas) return false;
  level->canvas->setFont(font);

  // Keep the menu on the screen: move it left (or to the other side of its
  // parent item) and up when it would pass an edge.
  const int screen = DefaultScreen(display_);
  const int screenWidth = DisplayWidth(display_, screen);
  const int screenHeight = DisplayHeight(display_, screen);
  if (x + level->layout.width > screenWidth) x = alternateX >= 0 ? alternateX - level->layout.width : screenWidth - level->layout.width;
  if (y + level->layout.height > screenHeight) y = screenHeight - level->layout.height;
  level->x = std::max(0, x);
  level->y = std::max(0, y);

  x11::ErrorTrap trap(display_);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                          StructureNotifyMask;
  level->window = XCreateWindow(display_, DefaultRootWindow(display_), level->x, level->y,
                                static_cast<unsigned>(level->layout.width), static_cast<unsigned>(level->layout.height),
                                0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel | CWEventMask,
                                &attributes);
  if (trap.failed() || !level->window) return false;
  const ::Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
  const ::Atom popupType = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
  XChangeProperty(display_, level->window, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&popupType), 1);
  if (transientFor_) XSetTransientForHint(display_, level->window, transientFor_);
  XStoreName(display_, level->window, "Menu");
  level->screen = cairo_xlib_surface_create(display_, level->window, DefaultVisual(display_, screen),
                                            level->layout.width, level->layout.height);
  XMapRaised(display_, level->window);
  XFlush(display_);
  levels_.push_back(std::move(level));
  return true;
}

void PopupSession::paint(MenuWindow& level) {
  if (!level.screen) return;
  Canvas& canvas = *level.canvas;
  const PixelRect all{0, 0, level.layout.width, level.layout.height};
  canvas.setClip(all);
  canvas.setBrushColor(kMenuBack);
  canvas.fillRect(all);
  canvas.setPenColor(kLine);
  canvas.line(0, 0, all.right - 1, 0);
  canvas.line(all.right - 1, 0, all.right - 1, all.bottom - 1);
  canvas.line(all.right - 1, all.bottom - 1, 0, all.bottom - 1);
  canvas.line(0, all.bottom - 1, 0, 0);
  for (int column = 1; column < static_cast<int>(level.layout.columnLefts.size()); ++column) {
    const int x = level.layout.columnLefts[static_cast<std::size_t>(column)] - 1;
    canvas.line(x, 2, x, all.bottom - 2);
  }
  for (std::size_t i = 0; i < level.menu->items.size(); ++i) {
    const PopupItem& item = level.menu->items[i];
    const PixelRect box = level.layout.boxes[i];
    if (item.kind == PopupItem::Kind::separator) {
      const int middle = (box.top + box.bottom) / 2;
      canvas.setPenColor(kLine);
      canvas.line(box.left + 2, middle, box.right - 2, middle);
      continue;
    }
    const bool lit = static_cast<int>(i) == level.hover && selectable(item);
    if (lit) {
      canvas.setBrushColor(kHighlight);
      canvas.fillRect(box);
    }
    const Rgb ink = lit ? kHighlightText : selectable(item) ? kMenuText : kMenuGrey;
    canvas.setTextColor(ink);
    canvas.setPenColor(ink);
    const PixelRect textBox{box.left + kMenuCheckWidth, box.top, box.right - kMenuArrowWidth, box.bottom};
    canvas.text(item.text.c_str(), textBox, TextAlign::left, false);
    const int middle = (box.top + box.bottom) / 2;
    if (item.checked) {
      // A tick: a short stroke down, a long one up.
      const int cx = box.left + 5;
      canvas.line(cx, middle, cx + 3, middle + 3);
      canvas.line(cx + 3, middle + 3, cx + 9, middle - 3);
      canvas.line(cx, middle + 1, cx + 3, middle + 4);
      canvas.line(cx + 3, middle + 4, cx + 9, middle - 2);
    }
    if (item.kind == PopupItem::Kind::submenu) {
      const int ax = box.right - 10;
      for (int k = 0; k < 4; ++k) canvas.line(ax + k, middle - 3 + k, ax + k, middle + 4 - k);
    }
  }
  canvas.takeDamage();
  x11::ErrorTrap trap(display_);
  cairo_t* cr = cairo_create(level.screen);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, canvas.impl().surface, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(level.screen);
  XFlush(display_);
}

bool PopupSession::grab() {
  // Another client (or the host's own menu) may hold a grab for a moment.
  const ::Window window = levels_.front()->window;
  const std::uint32_t start = monotonicMilliseconds();
  bool pointer = false;
  bool keyboard = false;
  while (static_cast<int>(monotonicMilliseconds() - start) < kGrabRetryMs) {
    if (!pointer) {
      pointer = XGrabPointer(display_, window, True,
                             ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask,
                             GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    }
    if (!keyboard) {
      keyboard = XGrabKeyboard(display_, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    }
    if (pointer && keyboard) break;
    pollfd fd{ConnectionNumber(display_), 0, 0};
    poll(&fd, 0, 10);
  }
  grabbed_ = pointer || keyboard;
  if (pointer && !keyboard) XUngrabPointer(display_, CurrentTime);
  if (keyboard && !pointer) XUngrabKeyboard(display_, CurrentTime);
  return pointer && keyboard;
}

int PopupSession::levelAt(int rootX, int rootY) const {
  for (std::size_t k = levels_.size(); k-- > 0;) {
    if (levels_[k]->contains(rootX, rootY)) return static_cast<int>(k);
  }
  return -1;
}

void PopupSession::setHover(std::size_t level, int item) {
  MenuWindow& menu = *levels_[level];
  if (menu.hover == item) return;
  menu.hover = item;
  paint(menu);
}

void PopupSession::pointerAt(int rootX, int rootY) {
  if (std::abs(rootX - startX_) > 2 || std::abs(rootY - startY_) > 2) moved_ = true;
  const int level = levelAt(rootX, rootY);
  if (level < 0) {
    // Off the menus: the deepest menu forgets its highlight, unless it leads
    // to an open submenu.
    MenuWindow& deepest = *levels_.back();
    if (deepest.openSubmenu < 0) setHover(levels_.size() - 1, -1);
    pendingItem_ = -1;
    return;
  }
  MenuWindow& menu = *levels_[static_cast<std::size_t>(level)];
  const int item = menu.layout.itemAt(rootX - menu.x, rootY - menu.y);
  setHover(static_cast<std::size_t>(level), item);
  if (item != pendingItem_ || static_cast<std::size_t>(level) != pendingLevel_) {
    pendingLevel_ = static_cast<std::size_t>(level);
    pendingItem_ = item;
    pendingSince_ = monotonicMilliseconds();
  }
}

void PopupSession::openSubmenuOf(std::size_t level, int item, bool hoverFirst) {
  MenuWindow& menu = *levels_[level];
  if (item < 0 || menu.openSubmenu == item) return;
  closeLevelsAbove(level + 1);
  const PopupItem& entry = menu.menu->items[static_cast<std::size_t>(item)];
  if (entry.kind != PopupItem::Kind::submenu || !entry.submenu) return;
  const PixelRect box = menu.layout.boxes[static_cast<std::size_t>(item)];
  menu.openSubmenu = item;
  if (!openLevel(*entry.submenu, menu.x + box.right, menu.y + box.top - 1, menu.x + box.left)) return;
  if (hoverFirst) moveHover(levels_.size() - 1, 1);
}

void PopupSession::activate(std::size_t level, int item) {
  if (item < 0) return;
  const PopupItem& entry = levels_[level]->menu->items[static_cast<std::size_t>(item)];
  if (entry.kind == PopupItem::Kind::submenu) {
    openSubmenuOf(level, item, true);
  } else if (entry.kind == PopupItem::Kind::plain) {
    result_ = entry.id;
    done_ = true;
  }
}

void PopupSession::moveHover(std::size_t level, int direction) {
  MenuWindow& menu = *levels_[level];
  const auto count = static_cast<int>(menu.menu->items.size());
  if (count == 0) return;
  int item = menu.hover;
  for (int step = 0; step < count; ++step) {
    item = item < 0 ? (direction > 0 ? 0 : count - 1) : (item + direction + count) % count;
    if (selectable(menu.menu->items[static_cast<std::size_t>(item)])) {
      setHover(level, item);
      return;
    }
  }
}

void PopupSession::release(const XButtonEvent& event) {
  const bool chooses = event.button == Button1 || (event.button == Button3 && request_.trackRightButton);
  if (!chooses) return;
  const int level = levelAt(event.x_root, event.y_root);
  if (level < 0) return;
  // The release of the click that opened the menu chooses nothing unless the
  // pointer travelled to an item first.
  if (!moved_ && !pressInside_) return;
  MenuWindow& menu = *levels_[static_cast<std::size_t>(level)];
  activate(static_cast<std::size_t>(level), menu.layout.itemAt(event.x_root - menu.x, event.y_root - menu.y));
}

void PopupSession::keyPress(XKeyEvent& event) {
  KeySym keysym = NoSymbol;
  XLookupString(&event, nullptr, 0, &keysym, nullptr);
  const std::size_t level = levels_.size() - 1;
  MenuWindow& menu = *levels_[level];
  switch (keysym) {
    case XK_Up:
    case XK_KP_Up:
      moveHover(level, -1);
      break;
    case XK_Down:
    case XK_KP_Down:
      moveHover(level, 1);
      break;
    case XK_Right:
    case XK_KP_Right:
      if (menu.hover >= 0) openSubmenuOf(level, menu.hover, true);
      break;
    case XK_Left:
    case XK_KP_Left:
      if (level > 0) closeLevelsAbove(level);
      break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      activate(level, menu.hover);
      break;
    case XK_Escape:
      if (level > 0) {
        closeLevelsAbove(level);
      } else {
        done_ = true;
      }
      break;
    default:
      break;
  }
}

void PopupSession::handle(XEvent& event) {
  MenuWindow* target = nullptr;
  for (auto& level : levels_) {
    if (level->window == event.xany.window) target = level.get();
  }
  switch (event.type) {
    case Expose:
      if (target) {
        target->exposed = true;
        if (event.xexpose.count == 0) paint(*target);
      } else {
        keptEvents_.push_back(event);
      }
      break;
    case MotionNotify:
      pointerAt(event.xmotion.x_root, event.xmotion.y_root);
      break;
    case ButtonPress:
      if (levelAt(event.xbutton.x_root, event.xbutton.y_root) < 0) {
        done_ = true;  // a click outside dismisses the menu
      } else {
        pressInside_ = true;
        pointerAt(event.xbutton.x_root, event.xbutton.y_root);
      }
      break;
    case ButtonRelease:
      release(event.xbutton);
      break;
    case KeyPress:
      keyPress(event.xkey);
      break;
    case DestroyNotify:
      if (target) done_ = true;  // destroyed under us
      break;
    case KeyRelease:
    case EnterNotify:
    case LeaveNotify:
      break;
    default:
      if (!target) keptEvents_.push_back(event);
      break;
  }
}

int PopupSession::run(const PopupMenu& menu) {
  if (menu.items.empty()) return -1;
  // The popup belongs to the top-level window that holds ours.
  if (request_.ownerWindow) {
    x11::ErrorTrap trap(display_);
    ::Window current = static_cast<::Window>(request_.ownerWindow);
    for (int depth = 0; depth < 64 && current; ++depth) {
      ::Window root = 0;
      ::Window parent = 0;
      ::Window* children = nullptr;
      unsigned int count = 0;
      if (!XQueryTree(display_, current, &root, &parent, &children, &count)) break;
      if (children) XFree(children);
      if (parent == root || parent == 0) {
        transientFor_ = current;
        break;
      }
      current = parent;
    }
  }
  if (!openLevel(menu, request_.x, request_.y, -1)) return -1;
  {
    ::Window root = 0;
    ::Window child = 0;
    int wx = 0;
    int wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &startX_, &startY_, &wx, &wy, &mask);
  }
  // Grab once the menu is on the screen: a grab on an unmapped window fails.
  XSync(display_, False);
  if (!grab()) return -1;
  while (!done_) {
    while (!done_ && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      handle(event);
    }
    if (done_) break;
    if (pendingItem_ >= 0 && pendingLevel_ < levels_.size() &&
        static_cast<int>(monotonicMilliseconds() - pendingSince_) >= kHoverOpenMs) {
      MenuWindow& pending = *levels_[pendingLevel_];
      const PopupItem& item = pending.menu->items[static_cast<std::size_t>(pendingItem_)];
      if (item.kind == PopupItem::Kind::submenu) {
        openSubmenuOf(pendingLevel_, pendingItem_, false);
      } else if (pending.openSubmenu >= 0) {
        closeLevelsAbove(pendingLevel_ + 1);
      }
      pendingItem_ = -1;
    }
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, 10);
  }
  return result_;
}

}  // namespace

int runPopupMenu(const PopupMenu& menu, const PopupRequest& request) {
  // Our own hold on the connection for the time the menu is open.
  x11::Connection* connection = x11::acquire();
  if (!connection) return -1;
  int result = -1;
  {
    PopupSession session(connection->display, request);
    result = session.run(menu);
  }
  x11::release();
  return result;
}

}  // namespace platform
