// Measures the round trip through the plug-in and Pd: a train of one-frame
// clicks goes out, and for every click the strongest frame of the returned
// signal before the next click is its echo.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kelbrahost {

struct ClickTrain {
  std::int64_t offset = 0;  // frame of the first click
  std::int64_t period = 0;  // frames between clicks; also the longest lag looked for
  float amplitude = 0.5f;
};

// The click train for a configured latency: long enough apart that an echo
// (about two latencies plus a few blocks) always lands before the next click.
ClickTrain clickTrainFor(int latencyFrames, int blockFrames, double sampleRate);

struct RoundTrip {
  int echoes = 0;            // clicks whose echo came back
  int clicks = 0;            // clicks sent whose echo window was complete
  std::int64_t lag = 0;      // median lag in frames
  std::int64_t minLag = 0;
  std::int64_t maxLag = 0;
  double gain = 0.0;         // median echo height relative to the click
};

class RoundTripMeter {
 public:
  explicit RoundTripMeter(const ClickTrain& train);
  // Appends returned frames (one channel is enough: both carry the click).
  void record(const float* output, int frames);
  // Empty when no click came back. Echoes weaker than `threshold` x the
  // click's height count as missing, so a patch that swells and fades (a
  // tremolo) still gives the lags of the clicks it let through.
  std::optional<RoundTrip> result(double threshold = 0.05) const;

 private:
  ClickTrain train_;
  std::vector<float> returned_;
};

}  // namespace kelbrahost
