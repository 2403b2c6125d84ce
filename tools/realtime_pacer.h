// Holds a block loop to the sample rate's real-time pace, as an audio
// device's callback would be, so that Pd on its own clock keeps up.
#pragma once

#include <chrono>
#include <cstdint>

namespace kelbrahost {

class RealtimePacer {
 public:
  RealtimePacer(double sampleRate, bool enabled);
  // Sleeps until `frames` frames are due since the first call. Deadlines are
  // absolute, so a late block does not delay the ones after it.
  void waitUntilDue(std::int64_t frames);

 private:
  double sampleRate_;
  bool enabled_;
  bool started_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace kelbrahost
