// Entry of the drag-and-drop X11 suite: runs it in an Xvfb of its own; without
// Xvfb it skips (77), unless CI=true requires it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tests/dnd/xvfb_display.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (dnd_test::XvfbDisplay::findProgram().empty()) {
    if (dnd_test::toolsRequired()) {
      std::fprintf(stderr, "Xvfb is not installed, and CI=true requires it\n");
      return 1;
    }
    std::fprintf(stderr, "Xvfb is not installed: skipping\n");
    return 77;
  }
  auto display = std::make_unique<dnd_test::XvfbDisplay>();
  if (!display->running()) {
    std::fprintf(stderr, "could not start Xvfb: %s\n", display->error().c_str());
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  display.reset();
  return result;
}
