// Ring positions and the block helpers every party of the channel uses.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "channel/channel_layout.h"

namespace {

struct PositionCase {
  std::uint32_t count;
  std::uint32_t position;
};

class RingPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(RingPosition, SelectsTheLeftFloatOfTheCountsFrame) {
  EXPECT_EQ(channel::ringPosition(GetParam().count), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Counts, RingPosition,
                         ::testing::Values(PositionCase{0, 0}, PositionCase{1, 2}, PositionCase{16383, 32766},
                                           PositionCase{16384, 0}, PositionCase{16385, 2},
                                           PositionCase{1u << 30, 0}, PositionCase{0xffffffffu, 32766}));

TEST(WriterPosition, WrapsTheSumBeforeTakingThePosition) {
  // 2^32 - 100 + 2048 wraps to 1948.
  EXPECT_EQ(channel::writerPosition(0xffffffffu - 99u, 2048), 2u * 1948u);
  EXPECT_EQ(channel::writerPosition(0, 8192), 16384u);
  EXPECT_EQ(channel::writerPosition(0, 2048), 4096u);
}

TEST(WriterPosition, AnyLatencyWordStaysInsideTheRing) {
  for (std::int32_t latency : {INT32_MIN, -1, 0, 16384, 123457, INT32_MAX}) {
    for (std::uint32_t count : {0u, 7u, 0xffffffffu}) {
      const std::uint32_t position = channel::writerPosition(count, latency);
      EXPECT_LT(position, channel::kRingFloats);
      EXPECT_EQ(position % 2, 0u);
    }
  }
}

TEST(WriteFrames, CrossesTheEndOfTheRingIntoFloatZero) {
  std::vector<float> ring(channel::kRingFloats, -1.0f);
  const float left[4] = {1, 2, 3, 4};
  const float right[4] = {11, 12, 13, 14};
  const std::uint32_t end = channel::writeFrames(ring.data(), channel::ringPosition(16382), left, right, 4);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(ring[32764], 1);
  EXPECT_EQ(ring[32765], 11);
  EXPECT_EQ(ring[32766], 2);
  EXPECT_EQ(ring[32767], 12);
  EXPECT_EQ(ring[0], 3);
  EXPECT_EQ(ring[1], 13);
  EXPECT_EQ(ring[2], 4);
  EXPECT_EQ(ring[3], 14);
  EXPECT_EQ(ring[4], -1.0f);
  EXPECT_EQ(ring[32763], -1.0f);
}

TEST(WriteFrames, BlockLongerThanTheRingWrapsAgain) {
  std::vector<float> ring(channel::kRingFloats, 0.0f);
  const int n = 16384 + 3;
  std::vector<float> left(n), right(n);
  for (int i = 0; i < n; ++i) {
    left[i] = static_cast<float>(i);
    right[i] = static_cast<float>(-i);
  }
  const std::uint32_t end = channel::writeFrames(ring.data(), 0, left.data(), right.data(), n);
  EXPECT_EQ(end, 6u);
  EXPECT_EQ(ring[0], 16384.0f);  // overwritten on the second lap
  EXPECT_EQ(ring[4], 16386.0f);
  EXPECT_EQ(ring[6], 3.0f);  // first lap
}

TEST(ReadFrames, ZeroFramesTouchNothing) {
  std::vector<float> ring(channel::kRingFloats, 5.0f);
  float out[2] = {-1, -1};
  EXPECT_EQ(channel::readFrames(ring.data(), 10, out, out + 1, 0), 10u);
  EXPECT_EQ(out[0], -1);
  EXPECT_EQ(out[1], -1);
}

TEST(ReadFrames, ReadsInterleavedFramesAcrossTheEnd) {
  std::vector<float> ring(channel::kRingFloats, 0.0f);
  ring[32766] = 1;
  ring[32767] = 2;
  ring[0] = 3;
  ring[1] = 4;
  float left[2], right[2];
  channel::readFrames(ring.data(), 32766, left, right, 2);
  EXPECT_EQ(left[0], 1);
  EXPECT_EQ(right[0], 2);
  EXPECT_EQ(left[1], 3);
  EXPECT_EQ(right[1], 4);
}

TEST(Counters, AdvanceWrapsModulo32Bits) {
  std::uint32_t word = 0xfffffff0u;
  channel::advanceWord(word, 0x20);
  EXPECT_EQ(word, 0x10u);
}

}  // namespace
