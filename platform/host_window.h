// A top-level window on the user's display for a command-line host to embed a
// plug-in's editor in. No display types leak out: the window is handed to the
// plug-in as its native id.
//
// Thread rules: one thread creates, pumps and closes it, the same thread that
// makes the plug-in's editor requests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Opens and maps a fixed-size window of the given client size on $DISPLAY;
  // false with a one-line reason in error().
  bool open(int width, int height, const std::string& title);
  // The native window id (an X11 Window), for effEditOpen's pointer.
  std::uintptr_t nativeHandle() const;
  // Follows an editor that asks to change size.
  void resize(int width, int height);
  // Handles pending events without blocking; false once the user closed the
  // window (or it went away).
  bool pump();
  void close();
  const std::string& error() const { return error_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::string error_;
};

}  // namespace platform
