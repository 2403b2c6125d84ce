#include "tests/editor/x11_session.h"
#include "tests/toolkit/x11_windows.h"

// clang-format off
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

namespace editor_test {
namespace {

Display* dpy(void* display) { return static_cast<Display*>(display); }

}  // namespace

X11Session::X11Session() : display_(XOpenDisplay(nullptr)) {}

X11Session::~X11Session() {
  if (display_) XCloseDisplay(dpy(display_));
}

bool X11Session::hasXTest() {
  int event = 0;
  int error = 0;
  int major = 0;
  int minor = 0;
  return XTestQueryExtension(dpy(display_), &event, &error, &major, &minor);
}

unsigned long X11Session::makeHostWindow(int x, int y, int width, int height) {
  Display* d = dpy(display_);
  const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, 0, 0x404040);
  XSelectInput(d, window, StructureNotifyMask);
  XMapWindow(d, window);
  XEvent event;
  do {
    XWindowEvent(d, window, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
  return window;
}

void X11Session::destroyWindow(unsigned long window) {
  XDestroyWindow(dpy(display_), window);
  XSync(dpy(display_), False);
}

std::vector<unsigned long> X11Session::childrenOf(unsigned long window) {
  const std::vector<Window> children = toolkit_test::childWindows(dpy(display_), window);
  return {children.begin(), children.end()};
}

std::vector<WindowBox> X11Session::popups() {
  Display* d = dpy(display_);
  std::vector<WindowBox> result;
  for (const unsigned long child : childrenOf(DefaultRootWindow(d))) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, child, &attributes)) continue;
    if (!attributes.override_redirect || attributes.map_state != IsViewable) continue;
    result.push_back(WindowBox{child, attributes.x, attributes.y, attributes.width, attributes.height});
  }
  return result;
}

Image X11Session::capture(unsigned long window, int x, int y, int width, int height) {
  Image image;
  XImage* shot = XGetImage(dpy(display_), window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                           AllPlanes, ZPixmap);
  if (!shot) return image;
  image.width = width;
  image.height = height;
  image.pixels.reserve(static_cast<std::size_t>(width * height));
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      image.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(shot, column, row) & 0xffffff));
    }
  }
  XDestroyImage(shot);
  return image;
}

void X11Session::pointerTo(unsigned long window, int x, int y) {
  Display* d = dpy(display_);
  int rootX = 0;
  int rootY = 0;
  Window child = 0;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(d, DefaultScreen(d), rootX, rootY, CurrentTime);
  XSync(d, False);
}

void X11Session::pointerToScreen(int x, int y) {
  Display* d = dpy(display_);
  XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
  XSync(d, False);
}

void X11Session::button(unsigned int number, bool down) {
  XTestFakeButtonEvent(dpy(display_), number, down ? True : False, CurrentTime);
  XSync(dpy(display_), False);
}

void X11Session::click(unsigned int number) {
  button(number, true);
  button(number, false);
}

void X11Session::key(unsigned long keysym) {
  Display* d = dpy(display_);
  const KeyCode code = XKeysymToKeycode(d, keysym);
  if (code == 0) return;
  // Keysyms on the second level of their key need Shift.
  const bool shifted = XkbKeycodeToKeysym(d, code, 0, 0) != keysym && XkbKeycodeToKeysym(d, code, 0, 1) == keysym;
  const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
  if (shifted) XTestFakeKeyEvent(d, shift, True, CurrentTime);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  if (shifted) XTestFakeKeyEvent(d, shift, False, CurrentTime);
  XSync(d, False);
}

void X11Session::type(const std::string& text) {
  for (const char c : text) key(static_cast<unsigned char>(c));  // Latin-1 keysyms equal their codes
}

void X11Session::sync() { XSync(dpy(display_), False); }

}  // namespace editor_test
