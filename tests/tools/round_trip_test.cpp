// The click-train round trip: lags found through a fake chain of known delay
// and gain, weak echoes ignored, nothing reported when nothing comes back.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/round_trip.h"

namespace kelbrahost {
namespace {

// What a chain returns for a click train: each click delayed by `lag` and
// scaled by gain(k) for the k-th click.
template <typename Gain>
std::vector<float> chainOutput(const ClickTrain& train, std::int64_t frames, std::int64_t lag, Gain gain) {
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  int k = 0;
  for (std::int64_t c = train.offset; c + lag < frames; c += train.period, ++k) {
    out[static_cast<std::size_t>(c + lag)] = train.amplitude * static_cast<float>(gain(k));
  }
  return out;
}

std::optional<RoundTrip> measure(const ClickTrain& train, const std::vector<float>& out, int blockSize) {
  RoundTripMeter meter(train);
  for (std::size_t i = 0; i < out.size(); i += static_cast<std::size_t>(blockSize)) {
    const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(blockSize), out.size() - i));
    meter.record(out.data() + i, n);
  }
  return meter.result();
}

struct TrainCase {
  int latency;
  int block;
  double rate;
};

class ClickTrainFor : public ::testing::TestWithParam<TrainCase> {};

TEST_P(ClickTrainFor, LeavesRoomForTheEchoBeforeTheNextClick) {
  const TrainCase c = GetParam();
  const ClickTrain train = clickTrainFor(c.latency, c.block, c.rate);
  // The echo lands about two latencies and two blocks later; it must fall in
  // the click's own window with room to spare for jitter.
  EXPECT_GT(train.period, 2 * c.latency + 2 * c.block + 64);
  EXPECT_GE(train.offset, 0);
  const ClickTrain t = train;
  const auto out = chainOutput(t, t.offset + 5 * t.period, 2 * c.latency + c.block, [](int) { return 1.0; });
  const auto trip = measure(t, out, c.block);
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->lag, 2 * c.latency + c.block);
}

INSTANTIATE_TEST_SUITE_P(LatenciesAndBlocks, ClickTrainFor,
                         ::testing::Values(TrainCase{256, 64, 44100}, TrainCase{2048, 256, 44100},
                                           TrainCase{8192, 256, 44100}, TrainCase{8192, 8192, 48000},
                                           TrainCase{1024, 512, 8000}));

TEST(RoundTripMeter, ReportsTheMedianLagAndTheEchoHeight) {
  ClickTrain train{100, 1000, 0.5f};
  // One late echo (scheduling jitter) must not move the median.
  std::vector<float> out(100 + 6 * 1000, 0.0f);
  const std::int64_t lags[] = {300, 300, 310, 300, 700, 300};
  for (int k = 0; k < 6; ++k) out[static_cast<std::size_t>(100 + k * 1000 + lags[k])] = 0.25f;
  const auto trip = measure(train, out, 64);
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->lag, 300);
  EXPECT_EQ(trip->minLag, 300);
  EXPECT_EQ(trip->maxLag, 700);
  EXPECT_EQ(trip->echoes, 6);
  EXPECT_EQ(trip->clicks, 6);
  EXPECT_DOUBLE_EQ(trip->gain, 0.5);
}

TEST(RoundTripMeter, SkipsClicksATremoloSwallowed) {
  ClickTrain train{0, 500, 1.0f};
  // Every third click comes back at 1% of its height: too weak to trust.
  const auto out = chainOutput(train, 500 * 9, 123, [](int k) { return k % 3 == 0 ? 0.01 : 0.6; });
  const auto trip = measure(train, out, 100);
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->lag, 123);
  EXPECT_EQ(trip->echoes, 6);
  EXPECT_EQ(trip->clicks, 9);
}

TEST(RoundTripMeter, FindsNegativeEchoes) {
  ClickTrain train{10, 400, 0.5f};
  const auto out = chainOutput(train, 10 + 400 * 3, 77, [](int) { return -1.0; });
  const auto trip = measure(train, out, 32);
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->lag, 77);
}

TEST(RoundTripMeter, NothingBackMeansNoResult) {
  ClickTrain train{0, 400, 0.5f};
  EXPECT_FALSE(measure(train, std::vector<float>(4000, 0.0f), 64));
  // Too short for even one complete window.
  EXPECT_FALSE(measure(train, std::vector<float>(399, 0.5f), 64));
  EXPECT_FALSE(RoundTripMeter(ClickTrain{0, 0, 0.5f}).result());
}

}  // namespace
}  // namespace kelbrahost
