// What the chain did to the signal's level: RMS and peak of input and output,
// and the output level in short windows, which shows a tremolo or a gate.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kelbrahost {

struct LevelSummary {
  double inputRms = 0.0, inputPeak = 0.0;
  double outputRms = 0.0, outputPeak = 0.0;
  // Output window RMS relative to the input's RMS, over the windows after the
  // output first came alive (the echo of the chain arrives late).
  double windowMin = 0.0, windowMax = 0.0;
  // How often per second the windowed level swings up through its middle;
  // empty when it does not swing at least twice.
  std::optional<double> swingsPerSecond;
};

class LevelMeter {
 public:
  // Windows of `windowFrames` frames; both channels count.
  LevelMeter(double sampleRate, int windowFrames);
  void record(const float* inL, const float* inR, const float* outL, const float* outR, int frames);
  LevelSummary summary() const;

 private:
  double sampleRate_;
  int windowFrames_;
  double inSquares_ = 0.0, outSquares_ = 0.0;
  double inPeak_ = 0.0, outPeak_ = 0.0;
  std::int64_t frames_ = 0;
  double windowSquares_ = 0.0;
  int windowFill_ = 0;
  std::vector<double> windowRms_;  // output, per complete window
};

// 20 log10, with silence shown as a floor instead of -inf.
double decibels(double linear);

}  // namespace kelbrahost
