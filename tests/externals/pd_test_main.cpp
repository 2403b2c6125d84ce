// Entry of the Pd suites: without pd they skip (77), unless CI requires it.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/externals/pd_process.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!GTEST_FLAG_GET(list_tests) && pdtest::findPd().empty()) {
    if (pdtest::toolsRequired()) {
      std::fprintf(stderr, "pd is not installed, and CI=true requires it\n");
      return 1;
    }
    std::fprintf(stderr, "pd is not installed: skipping\n");
    return 77;
  }
  return RUN_ALL_TESTS();
}
