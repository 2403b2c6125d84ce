// The example patch, run headless as a user's pd would run it: it switches DSP
// on by itself and puts a tremolo between keltap~ and kelfeed~.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/externals/pd_fixture.h"

namespace pdtest {
namespace {

TEST_F(PdTest, DemoPatchPlaysATremoloHeadless) {
  std::ifstream in(std::string(KELBRA_PD_DIR) + "/kelbra-demo.pd");
  ASSERT_TRUE(in) << "kelbra-demo.pd is not beside the externals";
  std::stringstream text;
  text << in.rdbuf();
  // The demo's own identifier, made unique so parallel runs never meet.
  const std::string id = newId("demo");
  std::string patch = text.str();
  for (const char* box : {"keltap~ demo;", "kelfeed~ demo;"}) {
    const auto at = patch.find(box);
    ASSERT_NE(at, std::string::npos) << box;
    patch.replace(at, std::string(box).size(), std::string(box).substr(0, std::string(box).find(' ') + 1) + id + ";");
  }
  const std::string file = folder_.path() + "/demo.pd";
  std::ofstream(file) << patch;

  TestChannel plugin(id, 1024);
  ASSERT_TRUE(plugin.ok());
  auto& c = plugin.layout();
  for (std::uint32_t f = 0; f < channel::kRingFrames; ++f) {
    c.sendRing[2 * f] = 1.0f;
    c.sendRing[2 * f + 1] = 1.0f;
  }
  PdProcess pd(file);
  ASSERT_TRUE(pd.waitFor("kelfeed : CONNECTED -> VST[" + id + "]", 20s)) << pd.console();
  // Well over one ring of real-time audio, so every frame holds the tremolo.
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (channel::loadWord(c.receiveHeader.writeCount) < 3 * channel::kRingFrames &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(50ms);
  pd.kill();
  ASSERT_GE(channel::loadWord(c.receiveHeader.writeCount), 3 * channel::kRingFrames) << pd.console();

  // A full-depth 4 Hz tremolo of a constant 1: between 0 and 1, reaching both
  // ends within one ring (0.37 s), the same on both channels.
  const float* ring = c.receiveRing;
  const auto [low, high] = std::minmax_element(ring, ring + channel::kRingFloats);
  EXPECT_GE(*low, 0.0f);
  EXPECT_LT(*low, 0.02f);
  EXPECT_LE(*high, 1.0f);
  EXPECT_GT(*high, 0.98f);
  for (std::uint32_t f = 0; f < channel::kRingFrames; ++f) ASSERT_EQ(ring[2 * f], ring[2 * f + 1]) << "frame " << f;
}

}  // namespace
}  // namespace pdtest
