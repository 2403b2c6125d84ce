// Window-tree queries shared by the X11 test suites.
#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace toolkit_test {

// The children of `window` in stacking order, after the server has seen
// every request sent so far.
inline std::vector<Window> childWindows(Display* display, Window window) {
  XSync(display, False);
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, window, &root, &parent, &children, &count)) {
    result.assign(children, children + count);
    if (children) XFree(children);
  }
  return result;
}

}  // namespace toolkit_test
