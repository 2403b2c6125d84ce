// One Pd block moved through a ring: the whole work of the externals' perform
// routines, kept apart from Pd so that it can be measured alone.
//
// Real-time safe: no allocation, lock or system call; one position computation
// per block, then the frames in runs up to the ring's end, so that the copy
// loops have no branch and vectorise.
#pragma once

#include <cstdint>

#include "channel/channel_layout.h"

namespace externals {

// Frames from float `position` to the end of the ring, capped at `frames`.
inline std::uint32_t runToEnd(std::uint32_t position, std::uint32_t frames) noexcept {
  const std::uint32_t room = (channel::kRingFloats - position) / 2;
  return room < frames ? room : frames;
}

inline void interleave(float* __restrict ring, const float* __restrict left, const float* __restrict right,
                       std::uint32_t frames) noexcept {
  for (std::uint32_t i = 0; i < frames; ++i) {
    ring[2 * i] = left[i];
    ring[2 * i + 1] = right[i];
  }
}

inline void deinterleave(const float* __restrict ring, float* __restrict left, float* __restrict right,
                         std::uint32_t frames) noexcept {
  for (std::uint32_t i = 0; i < frames; ++i) {
    left[i] = ring[2 * i];
    right[i] = ring[2 * i + 1];
  }
}

// kelfeed~: writes n frames into `ring` at the header's writeCount plus its
// latency word, then advances writeCount.
inline void feedBlock(float* ring, channel::RingHeader& header, const float* left,
                      const float* right, int n) noexcept {
  if (n <= 0) return;
  std::uint32_t position =
      channel::writerPosition(channel::loadWord(header.writeCount), channel::loadLatency(header.latency));
  const auto frames = static_cast<std::uint32_t>(n);
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t run = runToEnd(position, frames - done);
    interleave(ring + position, left + done, right + done, run);
    done += run;
    position = (position + 2 * run) % channel::kRingFloats;
  }
  channel::advanceWord(header.writeCount, frames);
}

// keltap~: reads n frames from `ring` at the header's readCount, then advances
// readCount. `left` and `right` are distinct Pd signal vectors, apart from the
// ring.
inline void tapBlock(const float* ring, channel::RingHeader& header, float* left, float* right,
                     int n) noexcept {
  if (n <= 0) return;
  std::uint32_t position = channel::ringPosition(channel::loadWord(header.readCount));
  const auto frames = static_cast<std::uint32_t>(n);
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t run = runToEnd(position, frames - done);
    deinterleave(ring + position, left + done, right + done, run);
    done += run;
    position = (position + 2 * run) % channel::kRingFloats;
  }
  channel::advanceWord(header.readCount, frames);
}

}  // namespace externals
