// The closing level report: steady gains, a tremolo's swing rate, and the
// silence before the chain's first echo left out of the window range.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tools/level_meter.h"

namespace kelbrahost {
namespace {

constexpr double kRate = 44100.0;

// A 220 Hz sine at 0.25 through a chain that returns it after `delay` frames
// scaled by gain(t).
template <typename Gain>
LevelSummary run(double seconds, std::int64_t delay, Gain gain) {
  LevelMeter meter(kRate, static_cast<int>(kRate / 100));
  const auto frames = static_cast<std::int64_t>(seconds * kRate);
  std::vector<float> in(256), out(256);
  for (std::int64_t start = 0; start < frames; start += 256) {
    for (int i = 0; i < 256; ++i) {
      const double t = static_cast<double>(start + i) / kRate;
      in[static_cast<std::size_t>(i)] = static_cast<float>(0.25 * std::sin(2 * std::numbers::pi * 220 * t));
      const double tOut = t - static_cast<double>(delay) / kRate;
      out[static_cast<std::size_t>(i)] =
          tOut < 0 ? 0.0f
                   : static_cast<float>(gain(tOut) * 0.25 * std::sin(2 * std::numbers::pi * 220 * tOut));
    }
    meter.record(in.data(), in.data(), out.data(), out.data(), 256);
  }
  return meter.summary();
}

TEST(LevelMeter, ASteadyHalfGainIsMinusSixDecibelsWithoutSwing) {
  const LevelSummary s = run(1.0, 2048, [](double) { return 0.5; });
  EXPECT_NEAR(decibels(s.inputRms), 20 * std::log10(0.25 / std::sqrt(2.0)), 0.05);
  EXPECT_NEAR(decibels(s.inputPeak), 20 * std::log10(0.25), 0.01);
  EXPECT_NEAR(decibels(s.outputPeak) - decibels(s.inputPeak), -6.02, 0.05);
  // The silent start before the echo is not part of the window range.
  EXPECT_NEAR(decibels(s.windowMin), -6.02, 0.5);
  EXPECT_NEAR(decibels(s.windowMax), -6.02, 0.5);
  EXPECT_FALSE(s.swingsPerSecond);
}

class LevelMeterSwing : public ::testing::TestWithParam<double> {};

TEST_P(LevelMeterSwing, ATremoloSwingsAtItsRate) {
  const double hz = GetParam();
  const LevelSummary s = run(3.0, 1024, [hz](double t) { return 0.5 + 0.5 * std::cos(2 * std::numbers::pi * hz * t); });
  ASSERT_TRUE(s.swingsPerSecond);
  EXPECT_NEAR(*s.swingsPerSecond, hz, 0.15 * hz);
  EXPECT_LT(decibels(s.windowMin), -20.0);
  EXPECT_NEAR(decibels(s.windowMax), 0.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Rates, LevelMeterSwing, ::testing::Values(1.0, 4.0, 10.0));

TEST(LevelMeter, SilenceReportsTheFloorNotInfinity) {
  LevelMeter meter(kRate, 441);
  std::vector<float> zero(1000, 0.0f);
  meter.record(zero.data(), zero.data(), zero.data(), zero.data(), 1000);
  const LevelSummary s = meter.summary();
  EXPECT_EQ(decibels(s.outputRms), -120.0);
  EXPECT_EQ(s.windowMax, 0.0);
  EXPECT_FALSE(s.swingsPerSecond);
  EXPECT_EQ(LevelMeter(kRate, 441).summary().inputRms, 0.0);
}

}  // namespace
}  // namespace kelbrahost
