// Private to platform/: the process's own display connection, the routing of
// its events to our windows, and a scoped error trap.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace platform::x11 {

// Something that owns windows on our connection: the frame window now, later
// an edit field or a popup menu.
class EventTarget {
 public:
  virtual void handleEvent(XEvent& event) = 0;
  // Called once after a pump that delivered events, to paint merged exposes.
  virtual void finishPump() {}

 protected:
  ~EventTarget() = default;
};

struct Connection {
  ::Display* display = nullptr;
  int users = 0;
  unsigned int altMask = Mod1Mask;
  bool buttonsSwapped = false;
  ::Cursor cursors[9] = {};
};

// Opens the connection for the first user; nullptr when no display is there.
Connection* acquire();
// Closes it after the last user.
void release();
// The open connection or nullptr.
Connection* current();

void addTarget(::Window window, EventTarget* target);
void removeTarget(::Window window);
// Protocol handlers (drag and drop) get the ClientMessage, SelectionNotify and
// PropertyNotify events of a window besides its main target. The window may
// be one we do not own: XDND messages sent through a proxy name the host's
// top-level window.
void addProtocolTarget(::Window window, EventTarget* target);
void removeProtocolTarget(::Window window);

void pump();
bool dispatchOneExpose();

// Errors of our connection raised between construction and destruction are
// recorded instead of reaching Xlib's default handler (which exits the host).
// Errors of other connections go to the handler that was there before. The
// destructor syncs so that all our requests have been answered.
class ErrorTrap {
 public:
  explicit ErrorTrap(::Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Syncs and tells whether an error arrived since the trap was set.
  bool failed();

 private:
  ::Display* display_;
};

}  // namespace platform::x11
