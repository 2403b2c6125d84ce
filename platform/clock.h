// Monotonic milliseconds and sleeping, for the editor's idle pacing and the
// toolkit's tick query.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed start; wraps after about 49 days.
std::uint32_t monotonicMilliseconds();
void sleepMilliseconds(int milliseconds);

}  // namespace platform
