// Click-train round trip measurement.
#include "tools/round_trip.h"

#include <algorithm>
#include <cmath>

namespace kelbrahost {

ClickTrain clickTrainFor(int latencyFrames, int blockFrames, double sampleRate) {
  ClickTrain train;
  // Two latencies, a host block and a Pd block on each side, and room for the
  // scheduling jitter of two processes on their own clocks.
  const auto expected = static_cast<std::int64_t>(2 * latencyFrames + 2 * blockFrames + 128);
  const auto quarterSecond = static_cast<std::int64_t>(sampleRate / 4.0);
  train.period = std::max<std::int64_t>(2 * expected, quarterSecond);
  train.offset = std::max<std::int64_t>(blockFrames, 64);
  return train;
}

RoundTripMeter::RoundTripMeter(const ClickTrain& train) : train_(train) {}

void RoundTripMeter::record(const float* output, int frames) {
  if (frames > 0) returned_.insert(returned_.end(), output, output + frames);
}

std::optional<RoundTrip> RoundTripMeter::result(double threshold) const {
  if (train_.period <= 0 || train_.amplitude == 0.0f) return std::nullopt;
  const auto total = static_cast<std::int64_t>(returned_.size());
  std::vector<std::int64_t> lags;
  std::vector<double> gains;
  RoundTrip trip;
  for (std::int64_t click = train_.offset; click + train_.period <= total; click += train_.period) {
    ++trip.clicks;
    std::int64_t best = -1;
    float height = 0.0f;
    for (std::int64_t i = click; i < click + train_.period; ++i) {
      const float v = std::fabs(returned_[static_cast<std::size_t>(i)]);
      if (v > height) {
        height = v;
        best = i;
      }
    }
    const double gain = height / std::fabs(train_.amplitude);
    if (best < 0 || gain < threshold) continue;
    lags.push_back(best - click);
    gains.push_back(gain);
  }
  if (lags.empty()) return std::nullopt;
  trip.echoes = static_cast<int>(lags.size());
  std::vector<std::int64_t> sorted = lags;
  std::sort(sorted.begin(), sorted.end());
  trip.lag = sorted[sorted.size() / 2];
  trip.minLag = sorted.front();
  trip.maxLag = sorted.back();
  std::sort(gains.begin(), gains.end());
  trip.gain = gains[gains.size() / 2];
  return trip;
}

}  // namespace kelbrahost
