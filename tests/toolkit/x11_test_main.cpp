// Entry of the X11 suite: starts an Xvfb of its own; without Xvfb the suite
// skips (77), unless CI=true requires it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tests/toolkit/xvfb_server.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (toolkit_test::XvfbServer::findProgram().empty()) {
    if (toolkit_test::toolsRequired()) {
      std::fprintf(stderr, "Xvfb is not installed, and CI=true requires it\n");
      return 1;
    }
    std::fprintf(stderr, "Xvfb is not installed: skipping\n");
    return 77;
  }
  auto server = std::make_unique<toolkit_test::XvfbServer>();
  if (!server->running()) {
    std::fprintf(stderr, "could not start Xvfb: %s\n", server->error().c_str());
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  server.reset();
  return result;
}
