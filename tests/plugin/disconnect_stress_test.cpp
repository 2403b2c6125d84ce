// One thread processes without pause while others connect, disconnect,
// resync and change the latency thousands of times. Run under
// ThreadSanitizer and AddressSanitizer: a disconnect that unmapped the channel
// under a processing call shows up as a crash or a report.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "plugin/kelbra.h"
#include "plugin/parameters.h"
#include "tests/plugin/test_support.h"

namespace {

TEST(DisconnectStress, ProcessingNeverTouchesAReleasedChannel) {
  Kelbra plugin(nullptr);
  const std::string idA = testing_support::uniqueId("stress-a");
  const std::string idB = testing_support::uniqueId("stress-b");
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::atomic<bool> finite{true};

  std::thread audio([&] {
    std::vector<float> in1(256, 0.25f), in2(256, -0.25f), out1(256), out2(256);
    float* ins[2] = {in1.data(), in2.data()};
    float* outs[2] = {out1.data(), out2.data()};
    while (!stop.load(std::memory_order_relaxed)) {
      plugin.processReplacing(ins, outs, 64 + static_cast<int>(blocks.load() % 192));
      if (!std::isfinite(out1[0]) || !std::isfinite(out2[0])) finite = false;
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });
  std::thread automation([&] {
    for (int i = 0; !stop.load(std::memory_order_relaxed); ++i) {
      plugin.setParameter(kParamLatency, static_cast<float>(i % 6));
      plugin.setParameter(kParamResync, 1.0f);
      plugin.setParameter(kParamSend, 0.5f);
      std::this_thread::yield();
    }
  });

  constexpr int kRounds = 2000;
  for (int i = 0; i < kRounds; ++i) {
    switch (i % 4) {
      case 0: plugin.setConnectionId(idA.c_str()); break;
      case 1: plugin.setConnectionId(idB.c_str()); break;
      case 2: plugin.mainsOn(); break;
      case 3: plugin.setConnectionId(""); break;  // refused: disconnects
    }
  }
  plugin.setConnectionId(idA.c_str());
  stop = true;
  audio.join();
  automation.join();
  EXPECT_TRUE(plugin.isConnected());
  EXPECT_TRUE(finite.load());
  EXPECT_GT(blocks.load(), 0);
  std::printf("processed %ld blocks across %d connection changes\n", blocks.load(), kRounds);
}

}  // namespace
