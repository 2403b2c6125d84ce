// The process's display connection. Only our windows live on it, so the
// host's idle calls are the only place its events are read.
#include "platform/x11_display.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace platform::x11 {
namespace {

Connection connection;
std::vector<std::pair<::Window, EventTarget*>> targets;
std::vector<std::pair<::Window, EventTarget*>> protocolTargets;

int trapDepth = 0;
int trappedErrors = 0;
::Display* trappedDisplay = nullptr;
XErrorHandler previousHandler = nullptr;

int trapHandler(::Display* display, XErrorEvent* error) {
  if (display == trappedDisplay) {
    ++trappedErrors;
    return 0;
  }
  return previousHandler ? previousHandler(display, error) : 0;
}

unsigned int findAltMask(::Display* display) {
  unsigned int mask = Mod1Mask;
  XModifierKeymap* map = XGetModifierMapping(display);
  if (!map) return mask;
  const KeyCode altLeft = XKeysymToKeycode(display, XK_Alt_L);
  const KeyCode altRight = XKeysymToKeycode(display, XK_Alt_R);
  for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex; ++modifier) {
    for (int k = 0; k < map->max_keypermod; ++k) {
      const KeyCode code = map->modifiermap[modifier * map->max_keypermod + k];
      if (code != 0 && (code == altLeft || code == altRight)) {
        mask = 1u << modifier;
        XFreeModifiermap(map);
        return mask;
      }
    }
  }
  XFreeModifiermap(map);
  return mask;
}

bool readButtonsSwapped(::Display* display) {
  unsigned char map[32] = {};
  const int count = XGetPointerMapping(display, map, 32);
  return count >= 3 && map[0] == 3 && map[2] == 1;
}

EventTarget* targetOf(::Window window) {
  for (auto& [id, target] : targets) {
    if (id == window) return target;
  }
  return nullptr;
}

void route(XEvent& event) {
  // DestroyNotify is reported on the destroyed window itself for our windows.
  const ::Window window = event.type == DestroyNotify ? event.xdestroywindow.window : event.xany.window;
  if (EventTarget* target = targetOf(window)) target->handleEvent(event);
  if (event.type == ClientMessage || event.type == SelectionNotify || event.type == PropertyNotify) {
    for (auto& [id, target] : protocolTargets) {
      if (id == window) {
        target->handleEvent(event);
        break;
      }
    }
  }
}

}  // namespace

Connection* acquire() {
  if (connection.users == 0) {
    // No XInitThreads: it would have to be the process's first Xlib call, which
    // a plug-in cannot promise; libX11 1.8 makes connections thread-safe itself.
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    connection.display = display;
    connection.altMask = findAltMask(display);
    connection.buttonsSwapped = readButtonsSwapped(display);
  }
  ++connection.users;
  return &connection;
}

void release() {
  if (connection.users <= 0) return;
  if (--connection.users > 0) return;
  ::Display* display = connection.display;
  {
    ErrorTrap trap(display);
    for (::Cursor& cursor : connection.cursors) {
      if (cursor) XFreeCursor(display, cursor);
      cursor = 0;
    }
  }
  connection.display = nullptr;
  {
    // XCloseDisplay flushes; an error then must not reach the default handler.
    ErrorTrap trap(display);
    XCloseDisplay(display);
  }
  targets.clear();
  protocolTargets.clear();
}

void addProtocolTarget(::Window window, EventTarget* target) {
  removeProtocolTarget(window);
  protocolTargets.emplace_back(window, target);
}

void removeProtocolTarget(::Window window) {
  std::erase_if(protocolTargets, [window](const auto& entry) { return entry.first == window; });
}

Connection* current() { return connection.users > 0 ? &connection : nullptr; }

void addTarget(::Window window, EventTarget* target) {
  removeTarget(window);
  targets.emplace_back(window, target);
}

void removeTarget(::Window window) {
  targets.erase(std::remove_if(targets.begin(), targets.end(), [window](const auto& entry) { return entry.first == window; }),
                targets.end());
}

void pump() {
  Connection* c = current();
  if (!c) return;
  ::Display* display = c->display;
  ErrorTrap trap(display);
  XFlush(display);
  bool delivered = false;
  // Never block: take only what is already there.
  while (current() && XEventsQueued(display, QueuedAfterReading) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    route(event);
    delivered = true;
  }
  if (!delivered || !current()) return;
  // Handlers may add or remove targets while painting: walk a copy.
  std::vector<::Window> windows;
  for (const auto& entry : targets) windows.push_back(entry.first);
  for (::Window window : windows) {
    if (EventTarget* target = targetOf(window)) target->finishPump();
  }
}

bool dispatchOneExpose() {
  Connection* c = current();
  if (!c) return false;
  ErrorTrap trap(c->display);
  XEvent event;
  if (!XCheckTypedEvent(c->display, Expose, &event)) return false;
  if (EventTarget* target = targetOf(event.xany.window)) {
    target->handleEvent(event);
    target->finishPump();
  }
  return true;
}

ErrorTrap::ErrorTrap(::Display* display) : display_(display) {
  if (trapDepth++ == 0) {
    trappedErrors = 0;
    trappedDisplay = display;
    previousHandler = XSetErrorHandler(trapHandler);
  }
}

bool ErrorTrap::failed() {
  if (display_) XSync(display_, False);
  return trappedErrors > 0;
}

ErrorTrap::~ErrorTrap() {
  // The display may be gone when the trap guarded its closing.
  if (display_ && connection.display == display_) XSync(display_, False);
  if (--trapDepth == 0) {
    XSetErrorHandler(previousHandler);
    previousHandler = nullptr;
    trappedDisplay = nullptr;
  }
}

}  // namespace platform::x11
