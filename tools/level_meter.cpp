// Level statistics for kelbra-host's closing report.
#include "tools/level_meter.h"

#include <algorithm>
#include <cmath>

namespace kelbrahost {

double decibels(double linear) { return linear > 1e-6 ? 20.0 * std::log10(linear) : -120.0; }

LevelMeter::LevelMeter(double sampleRate, int windowFrames)
    : sampleRate_(sampleRate), windowFrames_(std::max(windowFrames, 1)) {}

void LevelMeter::record(const float* inL, const float* inR, const float* outL, const float* outR, int frames) {
  for (int i = 0; i < frames; ++i) {
    const double a = inL[i], b = inR[i], c = outL[i], d = outR[i];
    inSquares_ += (a * a + b * b) / 2.0;
    const double out = (c * c + d * d) / 2.0;
    outSquares_ += out;
    inPeak_ = std::max({inPeak_, std::fabs(a), std::fabs(b)});
    outPeak_ = std::max({outPeak_, std::fabs(c), std::fabs(d)});
    windowSquares_ += out;
    if (++windowFill_ == windowFrames_) {
      windowRms_.push_back(std::sqrt(windowSquares_ / windowFrames_));
      windowSquares_ = 0.0;
      windowFill_ = 0;
    }
  }
  frames_ += frames;
}

LevelSummary LevelMeter::summary() const {
  LevelSummary s;
  if (frames_ == 0) return s;
  s.inputRms = std::sqrt(inSquares_ / static_cast<double>(frames_));
  s.outputRms = std::sqrt(outSquares_ / static_cast<double>(frames_));
  s.inputPeak = inPeak_;
  s.outputPeak = outPeak_;
  auto alive = std::find_if(windowRms_.begin(), windowRms_.end(), [](double w) { return w > 1e-4; });
  // The first live window straddles the echo's arrival; it is only partly filled.
  if (alive != windowRms_.end()) ++alive;
  if (alive == windowRms_.end() || s.inputRms <= 0.0) return s;
  std::vector<double> gains;
  for (auto it = alive; it != windowRms_.end(); ++it) gains.push_back(*it / s.inputRms);
  const auto [lo, hi] = std::minmax_element(gains.begin(), gains.end());
  s.windowMin = *lo;
  s.windowMax = *hi;
  // Upward crossings of the middle with 10% hysteresis, so window-to-window
  // ripple on a steady level does not count as swinging.
  const double middle = (*lo + *hi) / 2.0;
  const double margin = (*hi - *lo) * 0.1;
  if (*hi - *lo < 0.1 * *hi) return s;
  int crossings = 0;
  bool below = gains.front() < middle;
  std::size_t first = 0, last = 0;
  for (std::size_t i = 0; i < gains.size(); ++i) {
    if (below && gains[i] > middle + margin) {
      below = false;
      if (crossings++ == 0) first = i;
      last = i;
    } else if (!below && gains[i] < middle - margin) {
      below = true;
    }
  }
  if (crossings >= 3 && last > first) {
    const double seconds = static_cast<double>(last - first) * windowFrames_ / sampleRate_;
    s.swingsPerSecond = (crossings - 1) / seconds;
  }
  return s;
}

}  // namespace kelbrahost
