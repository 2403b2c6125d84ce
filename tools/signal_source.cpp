// Generated test signals.
#include "tools/signal_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelbrahost {

GeneratedSignal::GeneratedSignal(const GeneratorSettings& settings) : settings_(settings) {}

float GeneratedSignal::sample() {
  const std::int64_t n = position_;
  switch (settings_.waveform) {
    case Waveform::sine: {
      // The phase is taken modulo one period in double precision so that long
      // runs keep a clean tone.
      const double cycles = static_cast<double>(n) * settings_.frequency / settings_.sampleRate;
      const double phase = cycles - std::floor(cycles);
      return static_cast<float>(settings_.amplitude * std::sin(2.0 * std::numbers::pi * phase));
    }
    case Waveform::noise: {
      std::uniform_real_distribution<double> uniform(-1.0, 1.0);
      return static_cast<float>(settings_.amplitude * uniform(random_));
    }
    case Waveform::clicks: {
      if (settings_.clickPeriod <= 0 || n < settings_.clickOffset) return 0.0f;
      return (n - settings_.clickOffset) % settings_.clickPeriod == 0 ? static_cast<float>(settings_.amplitude)
                                                                      : 0.0f;
    }
    case Waveform::silence:
      return 0.0f;
  }
  return 0.0f;
}

int GeneratedSignal::read(float* left, float* right, int frames) {
  int count = std::max(frames, 0);
  if (settings_.frames >= 0) count = static_cast<int>(std::min<std::int64_t>(count, settings_.frames - position_));
  for (int i = 0; i < count; ++i) {
    const float value = sample();
    left[i] = value;
    right[i] = value;
    ++position_;
  }
  return count;
}

int CutSignal::read(float* left, float* right, int frames) {
  const int want = static_cast<int>(std::min<std::int64_t>(std::max(frames, 0), left_));
  const int got = want > 0 ? inner_.read(left, right, want) : 0;
  left_ -= got;
  return got;
}

std::int64_t CutSignal::totalFrames() const {
  const std::int64_t total = inner_.totalFrames();
  return total < 0 ? left_ : std::min(total, left_);
}

}  // namespace kelbrahost
