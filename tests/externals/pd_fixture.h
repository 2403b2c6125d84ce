// Shared pieces of the Pd suites: a patch folder per test, identifier
// substitution, and the check that a test leaves no channel behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/externals/pd_patch.h"
#include "tests/externals/pd_process.h"
#include "tests/externals/test_channel.h"

namespace pdtest {

using namespace std::chrono_literals;

// Replaces every "@ID" in `text` with `id`.
inline std::string withId(std::string text, const std::string& id) {
  for (auto at = text.find("@ID"); at != std::string::npos; at = text.find("@ID", at + id.size()))
    text.replace(at, 3, id);
  return text;
}

class PdTest : public testing::Test {
 protected:
  void TearDown() override {
    for (const auto& id : ids_) EXPECT_FALSE(channelObjectExists(id)) << "channel left behind: " << id;
  }
  // A fresh identifier, checked for leftovers at the end of the test.
  std::string newId(const std::string& stem) {
    ids_.push_back(uniqueId(stem));
    return ids_.back();
  }
  // Runs a batch pd on the patch and answers its console once it has quit.
  std::string runBatch(const std::string& patch, const std::string& preload = {}) {
    PdProcess pd(patch, {"-batch"}, preload);
    EXPECT_TRUE(pd.started());
    EXPECT_EQ(pd.waitExit(60s), 0) << pd.console();
    return pd.console();
  }

  PatchFolder folder_;
  std::vector<std::string> ids_;
};

}  // namespace pdtest
