// Ring positions, counters and resets after a known number of pd DSP blocks.
// pd runs as a batch process, so a patch stops DSP after exactly N blocks; the
// test process holds the channels as the plug-in would, and reads them after
// pd has quit.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/externals/pd_fixture.h"

namespace pdtest {
namespace {

constexpr std::uint32_t kBlock = 64;  // pd's default block
constexpr float kUntouched = 0.5f;    // never a value a test patch writes

using channel::kRingFrames;

void fillRing(float* ring, float value) { std::fill(ring, ring + channel::kRingFloats, value); }

struct Counters {
  std::uint32_t sendWrite, sendRead, receiveWrite, receiveRead;
};

void presetCounters(channel::ChannelLayout& c, Counters v) {
  channel::storeWord(c.sendHeader.writeCount, v.sendWrite);
  channel::storeWord(c.sendHeader.readCount, v.sendRead);
  channel::storeWord(c.receiveHeader.writeCount, v.receiveWrite);
  channel::storeWord(c.receiveHeader.readCount, v.receiveRead);
}

Counters countersOf(channel::ChannelLayout& c) {
  return {channel::loadWord(c.sendHeader.writeCount), channel::loadWord(c.sendHeader.readCount),
          channel::loadWord(c.receiveHeader.writeCount), channel::loadWord(c.receiveHeader.readCount)};
}

// Patch text: `objects` (numbered from 0), `connects` between them, and the
// run of `blocks` DSP blocks appended behind.
std::vector<std::string> patchOf(std::vector<std::string> objects, const std::vector<std::string>& connects,
                                 int blocks) {
  const int first = static_cast<int>(objects.size());
  auto run = runBlocksThenQuit(first, blocks);
  objects.insert(objects.end(), connects.begin(), connects.end());
  objects.insert(objects.end(), run.begin(), run.end());
  return objects;
}

// The first mismatching frame of a whole ring, or an empty text.
std::string firstMismatch(const float* ring, const std::vector<float>& expected) {
  for (std::uint32_t f = 0; f < kRingFrames; ++f) {
    if (ring[2 * f] != expected[2 * f] || ring[2 * f + 1] != expected[2 * f + 1])
      return "frame " + std::to_string(f) + ": (" + std::to_string(ring[2 * f]) + ", " +
             std::to_string(ring[2 * f + 1]) + ") expected (" + std::to_string(expected[2 * f]) + ", " +
             std::to_string(expected[2 * f + 1]) + ")";
  }
  return {};
}

struct FeedCase {
  std::int32_t latency;
  int blocks;
};

class FeedPositions : public PdTest, public testing::WithParamInterface<FeedCase> {};

// kelfeed~ writes frame k of its input at frame (latency + k) of the receive
// ring, wrapping at the end, and leaves the send ring alone.
TEST_P(FeedPositions, WritesAtLatencyAheadAndWraps) {
  const auto [latency, blocks] = GetParam();
  const std::string id = newId("feed");
  TestChannel plugin(id, latency);
  ASSERT_TRUE(plugin.ok());
  auto& c = plugin.layout();
  fillRing(c.receiveRing, kUntouched);
  fillRing(c.sendRing, kUntouched);
  presetCounters(c, {33, 44, 11, 22});

  // Left carries 1, 2, 3, ... (a running sum of ones), right its negative.
  const std::string console = runBatch(folder_.write(
      "feed.pd", patchOf({"#X obj 10 10 sig~ 1;", "#X obj 10 40 rpole~ 1;", "#X obj 100 70 *~ -1;",
                          "#X obj 10 100 kelfeed~ " + id + ";"},
                         {"#X connect 0 0 1 0;", "#X connect 1 0 2 0;", "#X connect 1 0 3 0;", "#X connect 2 0 3 1;"},
                         blocks)));

  const std::uint32_t frames = kBlock * static_cast<std::uint32_t>(blocks);
  std::vector<float> expected(channel::kRingFloats, kUntouched);
  for (std::uint32_t k = 0; k < frames; ++k) {
    const std::uint32_t f = (static_cast<std::uint32_t>(latency) + k) % kRingFrames;
    expected[2 * f] = static_cast<float>(k + 1);
    expected[2 * f + 1] = -static_cast<float>(k + 1);
  }
  EXPECT_EQ(firstMismatch(c.receiveRing, expected), "") << console;
  const Counters after = countersOf(c);
  EXPECT_EQ(after.receiveWrite, frames);
  EXPECT_EQ(after.receiveRead, 0u) << "DSP start resets the plug-in's counter too";
  EXPECT_EQ(after.sendWrite, 33u);
  EXPECT_EQ(after.sendRead, 44u);
  EXPECT_EQ(std::count(c.sendRing, c.sendRing + channel::kRingFloats, kUntouched), channel::kRingFloats);
}

INSTANTIATE_TEST_SUITE_P(Externals, FeedPositions,
                         testing::Values(FeedCase{2048, 3}, FeedCase{8192, 130}, FeedCase{256, 300}),
                         [](const auto& p) {
                           return "Latency" + std::to_string(p.param.latency) + "Blocks" +
                                  std::to_string(p.param.blocks);
                         });

class TapPositions : public PdTest, public testing::WithParamInterface<int> {};

// keltap~ reads the send ring from frame 0 on after DSP starts, wrapping at the
// end. Its outlets feed a kelfeed~ on a second channel, where the test sees them.
TEST_P(TapPositions, ReadsFromReadCountAndWraps) {
  const int blocks = GetParam();
  const std::string tapId = newId("tap");
  const std::string seeId = newId("see");
  TestChannel tapped(tapId, 2048);
  TestChannel seen(seeId, 256);
  ASSERT_TRUE(tapped.ok() && seen.ok());
  auto& a = tapped.layout();
  for (std::uint32_t f = 0; f < kRingFrames; ++f) {
    a.sendRing[2 * f] = static_cast<float>(f + 1);
    a.sendRing[2 * f + 1] = -static_cast<float>(f + 1);
  }
  fillRing(a.receiveRing, kUntouched);
  presetCounters(a, {33, 44, 11, 22});
  fillRing(seen.layout().receiveRing, kUntouched);

  const std::string console = runBatch(folder_.write(
      "tap.pd", patchOf({"#X obj 10 10 keltap~ " + tapId + ";", "#X obj 10 60 kelfeed~ " + seeId + ";"},
                        {"#X connect 0 0 1 0;", "#X connect 0 1 1 1;"}, blocks)));

  const std::uint32_t frames = kBlock * static_cast<std::uint32_t>(blocks);
  std::vector<float> expected(channel::kRingFloats, kUntouched);
  for (std::uint32_t k = 0; k < frames; ++k) {
    const std::uint32_t f = (256 + k) % kRingFrames;
    expected[2 * f] = static_cast<float>(k % kRingFrames + 1);
    expected[2 * f + 1] = -static_cast<float>(k % kRingFrames + 1);
  }
  EXPECT_EQ(firstMismatch(seen.layout().receiveRing, expected), "") << console;
  const Counters after = countersOf(a);
  EXPECT_EQ(after.sendRead, frames);
  EXPECT_EQ(after.sendWrite, 0u) << "DSP start resets the plug-in's counter too";
  EXPECT_EQ(after.receiveWrite, 11u);
  EXPECT_EQ(after.receiveRead, 22u);
  EXPECT_EQ(std::count(a.receiveRing, a.receiveRing + channel::kRingFloats, kUntouched), channel::kRingFloats);
}

INSTANTIATE_TEST_SUITE_P(Externals, TapPositions, testing::Values(3, 260),
                         [](const auto& p) { return "Blocks" + std::to_string(p.param); });

// Two keltap~ on one channel share its readCount: in every block they read two
// consecutive stretches, one after the other.
TEST_F(PdTest, TwoTapsReadConsecutiveStretches) {
  const std::string tapId = newId("two");
  const std::string seeId = newId("see");
  TestChannel tapped(tapId, 2048);
  TestChannel seen(seeId, 256);
  ASSERT_TRUE(tapped.ok() && seen.ok());
  for (std::uint32_t f = 0; f < kRingFrames; ++f) tapped.layout().sendRing[2 * f] = static_cast<float>(f);
  constexpr int kBlocks = 5;

  // The first tap's left channel lands left, the second tap's right.
  const std::string console = runBatch(folder_.write(
      "two.pd", patchOf({"#X obj 10 10 keltap~ " + tapId + ";", "#X obj 200 10 keltap~ " + tapId + ";",
                         "#X obj 10 60 kelfeed~ " + seeId + ";"},
                        {"#X connect 0 0 2 0;", "#X connect 1 0 2 1;"}, kBlocks)));

  const float* ring = seen.layout().receiveRing;
  // Which tap runs first is pd's choice, but it must stay the same.
  const bool leftFirst = ring[2 * 256] == 0.0f;
  for (std::uint32_t b = 0; b < kBlocks; ++b) {
    const std::uint32_t firstStretch = 2 * kBlock * b;
    for (std::uint32_t i = 0; i < kBlock; ++i) {
      const auto [l, r] = TestChannel::frameAt(ring, 256 + kBlock * b + i);
      const float expectedLeft = static_cast<float>(firstStretch + (leftFirst ? 0 : kBlock) + i);
      const float expectedRight = static_cast<float>(firstStretch + (leftFirst ? kBlock : 0) + i);
      ASSERT_EQ(l, expectedLeft) << "block " << b << " frame " << i << "\n" << console;
      ASSERT_EQ(r, expectedRight) << "block " << b << " frame " << i;
    }
  }
  EXPECT_EQ(channel::loadWord(tapped.layout().sendHeader.readCount), 2 * kBlock * kBlocks);
}

// A float on kelfeed~'s left inlet, with no signal connected, is written as the
// left channel; the unconnected right inlet is silence.
TEST_F(PdTest, FloatOnFeedLeftInlet) {
  const std::string id = newId("float");
  TestChannel plugin(id, 1024);
  ASSERT_TRUE(plugin.ok());
  fillRing(plugin.layout().receiveRing, kUntouched);
  const std::string console = runBatch(folder_.write(
      "float.pd", patchOf({"#X obj 10 10 loadbang;", "#X msg 10 40 0.25;", "#X obj 10 70 kelfeed~ " + id + ";"},
                          {"#X connect 0 0 1 0;", "#X connect 1 0 2 0;"}, 2)));
  for (std::uint32_t f = 1024; f < 1024 + 2 * kBlock; ++f) {
    const auto [l, r] = TestChannel::frameAt(plugin.layout().receiveRing, f);
    ASSERT_EQ(l, 0.25f) << "frame " << f << "\n" << console;
    ASSERT_EQ(r, 0.0f) << "frame " << f;
  }
  EXPECT_EQ(TestChannel::frameAt(plugin.layout().receiveRing, 1024 + 2 * kBlock).first, kUntouched);
}

// An unconnected keltap~ puts silence on its outlets, not the recycled vectors
// of the signal objects before it.
TEST_F(PdTest, UnconnectedTapCarriesSilence) {
  const std::string seeId = newId("see");
  TestChannel seen(seeId, 256);
  ASSERT_TRUE(seen.ok());
  fillRing(seen.layout().receiveRing, kUntouched);
  const std::string console = runBatch(folder_.write(
      "silent.pd",
      patchOf({"#X obj 300 10 sig~ 7;", "#X obj 300 40 *~ 1;", "#X obj 300 70 *~ 1;", "#X obj 300 100 *~ 1;",
               "#X obj 10 10 keltap~ " + uniqueId("nobody") + ";", "#X obj 10 60 kelfeed~ " + seeId + ";"},
              {"#X connect 0 0 1 0;", "#X connect 1 0 2 0;", "#X connect 2 0 3 0;", "#X connect 4 0 5 0;",
               "#X connect 4 1 5 1;"},
              4)));
  for (std::uint32_t f = 256; f < 256 + 4 * kBlock; ++f) {
    const auto [l, r] = TestChannel::frameAt(seen.layout().receiveRing, f);
    ASSERT_EQ(l, 0.0f) << "frame " << f << "\n" << console;
    ASSERT_EQ(r, 0.0f) << "frame " << f;
  }
}

// Connecting resets only the ring counter the object advances; DSP start (the
// other cases) resets both counters of its ring.
TEST_F(PdTest, ConnectResetsOnlyItsOwnCounter) {
  const std::string id = newId("conn");
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  presetCounters(plugin.layout(), {33, 44, 11, 22});
  runBatch(folder_.write("conn.pd", {"#X obj 10 10 kelfeed~ " + id + ";", "#X obj 10 40 keltap~ " + id + ";",
                                     "#X obj 200 10 loadbang;", "#X msg 200 40 \\; pd quit;", "#X connect 2 0 3 0;"}));
  const Counters after = countersOf(plugin.layout());
  EXPECT_EQ(after.sendWrite, 33u);
  EXPECT_EQ(after.sendRead, 0u);
  EXPECT_EQ(after.receiveWrite, 0u);
  EXPECT_EQ(after.receiveRead, 22u);
}

// Objects made before any plug-in holds their identifier never use the channel
// that appears later, not even when DSP starts. pd runs in real time here so
// that the channel can appear between the objects' creation and DSP start.
TEST_F(PdTest, ObjectsMadeBeforeTheChannelStayUnconnected) {
  const std::string id = newId("early");
  const std::string patch = folder_.write(
      "early.pd", {"#X obj 10 10 kelfeed~ " + id + ";", "#X obj 10 40 keltap~ " + id + ";", "#X obj 10 80 sig~ 1;",
                   "#X obj 200 10 loadbang;", "#X obj 200 40 delay 3000;", "#X msg 200 70 \\; pd dsp 1;",
                   "#X obj 300 70 print dsp-on;", "#X obj 200 100 delay 300;", "#X msg 200 130 \\; pd quit;",
                   "#X connect 2 0 0 0;", "#X connect 2 0 0 1;", "#X connect 3 0 4 0;", "#X connect 4 0 5 0;",
                   "#X connect 4 0 6 0;", "#X connect 4 0 7 0;", "#X connect 7 0 8 0;"});
  PdProcess pd(patch);
  ASSERT_TRUE(pd.started());
  ASSERT_TRUE(pd.waitFor("keltap " + id + ": error! invalid id or fatal error", 20s)) << pd.console();
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  presetCounters(plugin.layout(), {33, 44, 11, 22});
  ASSERT_EQ(countLines(pd.console(), "dsp-on"), 0) << "the channel came too late to show anything";
  ASSERT_EQ(pd.waitExit(20s), 0) << pd.console();
  EXPECT_EQ(countLines(pd.console(), "dsp-on"), 1);
  EXPECT_EQ(countLines(pd.console(), "kelfeed " + id + ": error! invalid id or fatal error"), 1);
  const Counters after = countersOf(plugin.layout());
  EXPECT_EQ(after.sendWrite, 33u);
  EXPECT_EQ(after.sendRead, 44u);
  EXPECT_EQ(after.receiveWrite, 11u);
  EXPECT_EQ(after.receiveRead, 22u);
  EXPECT_EQ(std::count(plugin.layout().receiveRing, plugin.layout().receiveRing + channel::kRingFloats, 0.0f),
            channel::kRingFloats);
}

}  // namespace
}  // namespace pdtest
