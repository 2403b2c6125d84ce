// The host's side of an X server for the editor's tests: its own display
// connection, top-level windows for the editor to live in, real input through
// XTest, and window contents read back. No X11 types here, so gtest sources
// can include it. One session per thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace editor_test {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

struct WindowBox {
  unsigned long id = 0;
  int x = 0;  // on the screen
  int y = 0;
  int width = 0;
  int height = 0;
};

class X11Session {
 public:
  X11Session();  // connects to $DISPLAY
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  bool ok() const { return display_ != nullptr; }
  bool hasXTest();

  // A mapped top-level window, as a host's editor window would be.
  unsigned long makeHostWindow(int x, int y, int width, int height);
  void destroyWindow(unsigned long window);
  std::vector<unsigned long> childrenOf(unsigned long window);
  // The mapped override-redirect windows on the root (popup menus).
  std::vector<WindowBox> popups();
  Image capture(unsigned long window, int x, int y, int width, int height);

  void pointerTo(unsigned long window, int x, int y);
  void pointerToScreen(int x, int y);
  void button(unsigned int button, bool down);
  void click(unsigned int button = 1);
  // Presses and releases the key of an X keysym, with Shift where the keysym
  // needs it.
  void key(unsigned long keysym);
  void type(const std::string& text);  // printable ASCII
  void sync();

 private:
  void* display_ = nullptr;
};

}  // namespace editor_test
