// Real-time pacing on the monotonic clock.
#include "tools/realtime_pacer.h"

#include <thread>

namespace kelbrahost {

RealtimePacer::RealtimePacer(double sampleRate, bool enabled) : sampleRate_(sampleRate), enabled_(enabled) {}

void RealtimePacer::waitUntilDue(std::int64_t frames) {
  if (!enabled_) return;
  if (!started_) {
    start_ = std::chrono::steady_clock::now();
    started_ = true;
  }
  const auto due = start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(static_cast<double>(frames) / sampleRate_));
  std::this_thread::sleep_until(due);
}

}  // namespace kelbrahost
