// The command-line host's top-level editor window over Xlib.
#include "platform/host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace platform {

struct HostWindow::State {
  Display* display = nullptr;
  Window window = 0;
  Atom deleteWindow = 0;
  bool closed = false;
};

namespace {

void fixSize(Display* display, Window window, int width, int height) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = width;
  hints->min_height = hints->max_height = height;
  XSetWMNormalHints(display, window, hints);
  XFree(hints);
}

}  // namespace

HostWindow::HostWindow() = default;

HostWindow::~HostWindow() { close(); }

bool HostWindow::open(int width, int height, const std::string& title) {
  close();
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) {
    error_ = "the editor asked for a window of " + std::to_string(width) + " x " + std::to_string(height);
    return false;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    error_ = "cannot open the display (is DISPLAY set?)";
    return false;
  }
  state_ = std::make_unique<State>();
  state_->display = display;
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.event_mask = StructureNotifyMask;
  state_->window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixel | CWEventMask, &attributes);
  XStoreName(display, state_->window, title.c_str());
  XClassHint* classHint = XAllocClassHint();
  if (classHint) {
    char name[] = "kelbra-host";
    char className[] = "Kelbra-host";
    classHint->res_name = name;
    classHint->res_class = className;
    XSetClassHint(display, state_->window, classHint);
    XFree(classHint);
  }
  fixSize(display, state_->window, width, height);
  state_->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, state_->window, &state_->deleteWindow, 1);
  XMapWindow(display, state_->window);
  // Editors check at once that their parent is viewable, so wait for the map.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  bool mapped = false;
  while (!mapped && std::chrono::steady_clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.window == state_->window) mapped = true;
    }
    if (!mapped) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  XFlush(display);
  return true;
}

std::uintptr_t HostWindow::nativeHandle() const { return state_ ? static_cast<std::uintptr_t>(state_->window) : 0; }

void HostWindow::resize(int width, int height) {
  if (!state_ || state_->closed || width <= 0 || height <= 0) return;
  fixSize(state_->display, state_->window, width, height);
  XResizeWindow(state_->display, state_->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(state_->display);
}

bool HostWindow::pump() {
  if (!state_ || state_->closed) return false;
  Display* display = state_->display;
  XFlush(display);
  while (XEventsQueued(display, QueuedAfterReading) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == state_->deleteWindow) {
      state_->closed = true;
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == state_->window) {
      state_->closed = true;
      state_->window = 0;
    }
  }
  return !state_->closed;
}

void HostWindow::close() {
  if (!state_) return;
  if (state_->window) XDestroyWindow(state_->display, state_->window);
  XCloseDisplay(state_->display);
  state_.reset();
}

}  // namespace platform
