// The editor's own child window inside the host's window, and the pointer
// state, without X11 types so the toolkit can use them.
//
// All frames of the process share one display connection, opened with the
// first window and closed with the last. Nobody else reads that connection, so
// its events are taken from the host's idle calls (pumpEvents) and routed to
// the window they belong to. Everything here runs on the host's UI thread.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/pixel_types.h"

namespace platform {

class Canvas;

class WindowEvents {
 public:
  // area: the union of the window's pending expose rectangles.
  virtual void windowExposed(const PixelRect& area) = 0;
  // button: the X button number (1-3 buttons, 4/5 wheel up/down, 6/7 left/right).
  // state: buttons and modifiers at the press, the pressed button included.
  virtual void windowButtonPressed(int button, int x, int y, const PointerButtons& state) = 0;
  // The window is gone (its parent was destroyed first): draw nothing more.
  virtual void windowDestroyed() = 0;

 protected:
  ~WindowEvents() = default;
};

struct WindowGeometry {
  std::uintptr_t id = 0;
  std::uintptr_t parent = 0;  // 0 when the parent is the root window
  int x = 0;                  // in the parent's coordinates
  int y = 0;
  int width = 0;
  int height = 0;
};

class NativeWindow {
 public:
  // A mapped child window of parent at (0, 0). nullptr when no display can be
  // opened or parent is not a window.
  static std::unique_ptr<NativeWindow> create(std::uintptr_t parent, int width, int height, WindowEvents* events);
  // Safe whichever went first: our window or the host's.
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  std::uintptr_t id() const;
  bool alive() const;
  // Drawing goes here; present() puts what was drawn on the screen.
  Canvas& backBuffer();
  void present();
  bool resize(int width, int height);
  // Screen position of the window's top-left corner.
  bool screenOrigin(int& x, int& y) const;
  void setCursor(PointerCursor shape);

  // Takes every pending event of the process's connection and routes it.
  static void pumpEvents();
  // Handles at most one pending expose event; true when there was one.
  static bool dispatchOneExpose();
  static bool queryGeometry(std::uintptr_t window, WindowGeometry& geometry);

  struct Impl;

 private:
  explicit NativeWindow(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Pointer position on the screen and the logical buttons and modifiers down
// now (the server's state, not the event queue). False without a connection
// (no editor window open in the process).
bool queryPointer(int& rootX, int& rootY, PointerButtons& buttons);
// The pointer mapping swaps the first and third buttons (left-handed set-up).
bool buttonsSwapped();
// Holders of the process's display connection (windows, drop sites, edit
// fields); 0 when it is closed.
int displayConnectionUsers();

}  // namespace platform
