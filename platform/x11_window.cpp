// The frame's child window: created inside the host's window, painted from a
// client-side back buffer through one cairo-xlib surface, and torn down
// safely whichever side destroys its window first.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>

#include "platform/cairo_internal.h"
#include "platform/native_window.h"
#include "platform/x11_display.h"

namespace platform {

struct NativeWindow::Impl final : x11::EventTarget {
  x11::Connection* connection = nullptr;
  ::Window window = 0;
  ::Colormap colormap = 0;
  Visual* visual = nullptr;
  bool alive = false;
  WindowEvents* events = nullptr;
  std::unique_ptr<Canvas> backBuffer;
  cairo_surface_t* screen = nullptr;  // cairo-xlib surface of the window
  PixelRect pendingExpose{};
  bool exposePending = false;

  void handleEvent(XEvent& event) override;
  void finishPump() override;
  ~Impl();
};

namespace {

PointerButtons buttonsFromState(unsigned int state, unsigned int altMask) {
  PointerButtons b;
  // The state mask carries logical buttons: the pointer mapping is applied by
  // the server, so a left-handed set-up already reports its left press as 3.
  b.left = (state & Button1Mask) != 0;
  b.middle = (state & Button2Mask) != 0;
  b.right = (state & Button3Mask) != 0;
  b.shift = (state & ShiftMask) != 0;
  b.control = (state & ControlMask) != 0;
  b.alt = (state & altMask) != 0;
  return b;
}

unsigned int cursorGlyph(PointerCursor shape) {
  switch (shape) {
    case PointerCursor::wait: return XC_watch;
    case PointerCursor::resizeHorizontal: return XC_sb_h_double_arrow;
    case PointerCursor::resizeVertical: return XC_sb_v_double_arrow;
    case PointerCursor::resizeAll: return XC_fleur;
    case PointerCursor::resizeNeSw: return XC_bottom_left_corner;
    case PointerCursor::resizeNwSe: return XC_bottom_right_corner;
    case PointerCursor::notAllowed: return XC_X_cursor;
    case PointerCursor::hand: return XC_hand2;
    case PointerCursor::standard: break;
  }
  return XC_left_ptr;
}

}  // namespace

void NativeWindow::Impl::handleEvent(XEvent& event) {
  switch (event.type) {
    case Expose: {
      const PixelRect area{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                           event.xexpose.y + event.xexpose.height};
      pendingExpose = unite(pendingExpose, area);
      exposePending = true;
      break;
    }
    case ButtonPress: {
      PointerButtons state = buttonsFromState(event.xbutton.state, connection->altMask);
      if (event.xbutton.button == Button1) state.left = true;
      if (event.xbutton.button == Button2) state.middle = true;
      if (event.xbutton.button == Button3) state.right = true;
      if (events) events->windowButtonPressed(static_cast<int>(event.xbutton.button), event.xbutton.x, event.xbutton.y, state);
      break;
    }
    case DestroyNotify:
      if (event.xdestroywindow.window == window && alive) {
        alive = false;
        exposePending = false;
        x11::removeTarget(window);
        if (events) events->windowDestroyed();
      }
      break;
    default:
      break;
  }
}

void NativeWindow::Impl::finishPump() {
  if (!exposePending || !alive) return;
  exposePending = false;
  const PixelRect area = pendingExpose;
  pendingExpose = PixelRect{};
  if (events) events->windowExposed(area);
}

NativeWindow::Impl::~Impl() {
  if (!connection) return;
  ::Display* display = connection->display;
  x11::removeTarget(window);
  {
    x11::ErrorTrap trap(display);
    // cairo frees its server-side objects here, which fails harmlessly when
    // the window is already gone.
    if (screen) {
      cairo_surface_finish(screen);
      cairo_surface_destroy(screen);
      screen = nullptr;
    }
    // Take what is already queued: a DestroyNotify there means the host's
    // window, and ours with it, is gone.
    XSync(display, False);
    XEvent event;
    while (alive && XCheckTypedWindowEvent(display, window, DestroyNotify, &event)) {
      if (event.xdestroywindow.window == window) alive = false;
    }
    if (alive) XDestroyWindow(display, window);
    if (colormap) XFreeColormap(display, colormap);
  }
  x11::release();
}

std::unique_ptr<NativeWindow> NativeWindow::create(std::uintptr_t parent, int width, int height,
                                                   WindowEvents* events) {
  if (parent == 0 || width <= 0 || height <= 0) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->backBuffer = Canvas::create(width, height);
  if (!impl->backBuffer) return nullptr;
  x11::Connection* connection = x11::acquire();
  if (!connection) return nullptr;
  impl->connection = connection;  // from here on the destructor releases it
  ::Display* display = connection->display;
  const int screen = DefaultScreen(display);
  XVisualInfo info{};
  if (!XMatchVisualInfo(display, screen, 24, TrueColor, &info)) return nullptr;
  impl->visual = info.visual;
  const auto parentWindow = static_cast<::Window>(parent);
  {
    x11::ErrorTrap trap(display);
    impl->colormap = XCreateColormap(display, parentWindow, info.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = impl->colormap;
    attributes.border_pixel = 0;  // needed when the parent's depth differs
    attributes.background_pixmap = None;  // no flicker: every pixel is painted by us
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask |
                            StructureNotifyMask | PropertyChangeMask;
    impl->window = XCreateWindow(display, parentWindow, 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, 24, InputOutput, info.visual,
                                 CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    if (trap.failed()) {
      if (impl->colormap) XFreeColormap(display, impl->colormap);
      impl->colormap = 0;
      impl->window = 0;
      return nullptr;  // Impl's destructor releases the connection
    }
    XStoreName(display, impl->window, "Window");
    XMapWindow(display, impl->window);
  }
  impl->alive = true;
  impl->events = events;
  impl->screen = cairo_xlib_surface_create(display, impl->window, info.visual, width, height);
  x11::addTarget(impl->window, impl.get());
  // Hosts look at the child right after open returns.
  XFlush(display);
  return std::unique_ptr<NativeWindow>(new NativeWindow(std::move(impl)));
}

NativeWindow::NativeWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
NativeWindow::~NativeWindow() = default;

std::uintptr_t NativeWindow::id() const { return impl_->window; }
bool NativeWindow::alive() const { return impl_->alive; }
Canvas& NativeWindow::backBuffer() { return *impl_->backBuffer; }

void NativeWindow::present() {
  Impl& d = *impl_;
  const PixelRect damage = d.backBuffer->takeDamage();
  if (!d.alive || damage.empty() || !d.screen) return;
  x11::ErrorTrap trap(d.connection->display);
  cairo_t* cr = cairo_create(d.screen);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, d.backBuffer->impl().surface, 0, 0);
  cairo_rectangle(cr, damage.left, damage.top, damage.width(), damage.height());
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(d.screen);
  XFlush(d.connection->display);
}

bool NativeWindow::resize(int width, int height) {
  Impl& d = *impl_;
  if (!d.alive || width <= 0 || height <= 0) return false;
  auto buffer = Canvas::create(width, height);
  if (!buffer) return false;
  buffer->copyFrom(*d.backBuffer, PixelRect{0, 0, width, height}, 0, 0);
  buffer->takeDamage();
  d.backBuffer = std::move(buffer);
  x11::ErrorTrap trap(d.connection->display);
  XResizeWindow(d.connection->display, d.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  cairo_xlib_surface_set_size(d.screen, width, height);
  return !trap.failed();
}

bool NativeWindow::screenOrigin(int& x, int& y) const {
  const Impl& d = *impl_;
  if (!d.alive) return false;
  ::Display* display = d.connection->display;
  x11::ErrorTrap trap(display);
  ::Window child = 0;
  int rx = 0;
  int ry = 0;
  XTranslateCoordinates(display, d.window, DefaultRootWindow(display), 0, 0, &rx, &ry, &child);
  if (trap.failed()) return false;
  x = rx;
  y = ry;
  return true;
}

void NativeWindow::setCursor(PointerCursor shape) {
  Impl& d = *impl_;
  if (!d.alive) return;
  ::Display* display = d.connection->display;
  x11::ErrorTrap trap(display);
  if (shape == PointerCursor::standard) {
    XUndefineCursor(display, d.window);  // back to the cursor the window inherits
  } else {
    ::Cursor& cursor = d.connection->cursors[static_cast<int>(shape)];
    if (!cursor) cursor = XCreateFontCursor(display, cursorGlyph(shape));
    XDefineCursor(display, d.window, cursor);
  }
  XFlush(display);
}

void NativeWindow::pumpEvents() { x11::pump(); }
bool NativeWindow::dispatchOneExpose() { return x11::dispatchOneExpose(); }

bool NativeWindow::queryGeometry(std::uintptr_t window, WindowGeometry& geometry) {
  x11::Connection* c = x11::current();
  if (!c || window == 0) return false;
  ::Display* display = c->display;
  x11::ErrorTrap trap(display);
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, static_cast<::Window>(window), &root, &parent, &children, &count)) return false;
  if (children) XFree(children);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, static_cast<::Window>(window), &attributes)) return false;
  if (trap.failed()) return false;
  geometry.id = window;
  geometry.parent = parent == root ? 0 : parent;
  geometry.x = attributes.x;
  geometry.y = attributes.y;
  geometry.width = attributes.width;
  geometry.height = attributes.height;
  return true;
}

bool queryPointer(int& rootX, int& rootY, PointerButtons& buttons) {
  x11::Connection* c = x11::current();
  if (!c) return false;
  ::Display* display = c->display;
  x11::ErrorTrap trap(display);
  ::Window root = 0;
  ::Window child = 0;
  int wx = 0;
  int wy = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &wx, &wy, &mask)) {
    return false;
  }
  buttons = buttonsFromState(mask, c->altMask);
  return true;
}

bool buttonsSwapped() {
  x11::Connection* c = x11::current();
  return c && c->buttonsSwapped;
}

int displayConnectionUsers() {
  x11::Connection* c = x11::current();
  return c ? c->users : 0;
}

}  // namespace platform
