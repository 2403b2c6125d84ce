// CLOCK_MONOTONIC so that setting the wall clock never stalls or races idle pacing.
#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

std::uint32_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void sleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec wait{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
