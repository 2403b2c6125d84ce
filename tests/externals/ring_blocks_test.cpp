// The externals' block moves below Pd: start positions, wraps and counters for
// the cases a Pd block of 64 frames never reaches.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "externals/common/ring_blocks.h"

namespace {

using channel::kRingFrames;

struct BlockCase {
  const char* name;
  std::uint32_t count;   // writeCount (feed) or readCount (tap) before the block
  std::int32_t latency;  // receive latency word (feed only)
  int frames;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

const BlockCase kCases[] = {
    {"FromZeroWithLatency", 0, 2048, 64},
    {"CrossesTheEnd", 16382, 0, 4},
    {"LastFrameThenFromZero", 16383, 0, 64},
    {"LatencyPushesPast2To32", 0xFFFFFF00u, 8192, 300},
    {"LongerThanTheRing", 100, 256, 40000},
    {"EmptyBlock", 77, 512, 0},
    {"NegativeCount", 77, 512, -5},
};

class RingBlocks : public testing::TestWithParam<BlockCase> {
 protected:
  void SetUp() override {
    layout = std::make_unique<channel::ChannelLayout>();
    for (std::uint32_t i = 0; i < channel::kRingFloats; ++i) {
      layout->receiveRing[i] = -1.0f;
      layout->sendRing[i] = static_cast<float>(i);
    }
    layout->receiveHeader = {0, 5, 0};
    layout->sendHeader = {6, 0, 0};
  }
  std::unique_ptr<channel::ChannelLayout> layout;
};

TEST_P(RingBlocks, FeedWritesEachFrameAtItsPosition) {
  const BlockCase& c = GetParam();
  layout->receiveHeader.writeCount = c.count;
  layout->receiveHeader.latency = c.latency;
  const int n = c.frames > 0 ? c.frames : 0;
  std::vector<float> left(n), right(n);
  for (int i = 0; i < n; ++i) {
    left[i] = static_cast<float>(i);
    right[i] = -static_cast<float>(i) - 0.5f;
  }
  externals::feedBlock(layout->receiveRing, layout->receiveHeader, left.data(), right.data(), c.frames);

  // The model: frame i lands at (count + latency + i) mod ring, later frames
  // overwriting earlier ones.
  std::vector<float> expected(channel::kRingFloats, -1.0f);
  for (int i = 0; i < n; ++i) {
    const std::uint32_t f = (c.count + static_cast<std::uint32_t>(c.latency) + static_cast<std::uint32_t>(i)) % kRingFrames;
    expected[2 * f] = left[i];
    expected[2 * f + 1] = right[i];
  }
  for (std::uint32_t i = 0; i < channel::kRingFloats; ++i)
    ASSERT_EQ(layout->receiveRing[i], expected[i]) << "float " << i;
  EXPECT_EQ(layout->receiveHeader.writeCount, c.count + static_cast<std::uint32_t>(n));
  EXPECT_EQ(layout->receiveHeader.readCount, 5u);
}

TEST_P(RingBlocks, TapReadsEachFrameFromItsPosition) {
  const BlockCase& c = GetParam();
  layout->sendHeader.readCount = c.count;
  const int n = c.frames > 0 ? c.frames : 0;
  std::vector<float> left(n + 1, 99.0f), right(n + 1, 99.0f);
  externals::tapBlock(layout->sendRing, layout->sendHeader, left.data(), right.data(), c.frames);
  for (int i = 0; i < n; ++i) {
    const std::uint32_t f = (c.count + static_cast<std::uint32_t>(i)) % kRingFrames;
    ASSERT_EQ(left[i], static_cast<float>(2 * f)) << "frame " << i;
    ASSERT_EQ(right[i], static_cast<float>(2 * f + 1)) << "frame " << i;
  }
  EXPECT_EQ(left[n], 99.0f) << "wrote past the block";
  EXPECT_EQ(layout->sendHeader.readCount, c.count + static_cast<std::uint32_t>(n));
  EXPECT_EQ(layout->sendHeader.writeCount, 6u);
}

INSTANTIATE_TEST_SUITE_P(Externals, RingBlocks, testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
