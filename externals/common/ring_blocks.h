// One Pd block moved through a ring: the whole work of the externals' perform
// routines, kept apart from Pd so that it can be measured alone.
//
// Real-time safe: no allocation, lock or system call; one position computation
// per block, then the channel's run-wise block copies.
#pragma once

#include <cstdint>

#include "channel/channel_layout.h"

namespace externals {

// kelfeed~: writes n frames into `ring` at the header's writeCount plus its
// latency word, then advances writeCount.
inline void feedBlock(float* ring, channel::RingHeader& header, const float* left,
                      const float* right, int n) noexcept {
  if (n <= 0) return;
  const std::uint32_t position =
      channel::writerPosition(channel::loadWord(header.writeCount), channel::loadLatency(header.latency));
  channel::writeFrames(ring, position, left, right, n);
  channel::advanceWord(header.writeCount, static_cast<std::uint32_t>(n));
}

// keltap~: reads n frames from `ring` at the header's readCount, then advances
// readCount. `left` and `right` are distinct Pd signal vectors, apart from the
// ring.
inline void tapBlock(const float* ring, channel::RingHeader& header, float* left, float* right,
                     int n) noexcept {
  if (n <= 0) return;
  const std::uint32_t position = channel::ringPosition(channel::loadWord(header.readCount));
  channel::readFrames(ring, position, left, right, n);
  channel::advanceWord(header.readCount, static_cast<std::uint32_t>(n));
}

}  // namespace externals
