// The shared audio channel: one block of 262168 bytes that the plug-in and the
// Pd externals map by name. Two rings of interleaved stereo floats run in
// opposite directions, each followed by a header of three 32-bit words.
//
// Thread rules: every function here is real-time safe (no allocation, lock or
// system call). Header words are shared with other processes and are only ever
// touched as relaxed 32-bit atomics; sample floats are plain memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace channel {

inline constexpr std::uint32_t kRingFrames = 16384;
inline constexpr std::uint32_t kRingFloats = 2 * kRingFrames;  // 32768
inline constexpr std::size_t kRingBytes = kRingFloats * sizeof(float);
inline constexpr std::size_t kSampleAreaBytes = 2 * kRingBytes;
inline constexpr std::size_t kSendRingOffset = 0;
inline constexpr std::size_t kReceiveRingOffset = kRingBytes;
inline constexpr std::size_t kSendHeaderOffset = kSampleAreaBytes;
inline constexpr std::size_t kReceiveHeaderOffset = kSampleAreaBytes + 12;
inline constexpr std::size_t kChannelBytes = kSampleAreaBytes + 24;

// Frames that each writer runs ahead of its reader after a reset.
inline constexpr std::int32_t kLatencyChoices[6] = {256, 512, 1024, 2048, 4096, 8192};

struct RingHeader {
  std::uint32_t writeCount;  // frames written since the last reset
  std::uint32_t readCount;   // frames read since the last reset
  std::int32_t latency;      // frames the writer starts ahead of the reader
};

struct ChannelLayout {
  float sendRing[kRingFloats];     // plug-in -> keltap~
  float receiveRing[kRingFloats];  // kelfeed~ -> plug-in
  RingHeader sendHeader;
  RingHeader receiveHeader;
};

static_assert(sizeof(RingHeader) == 12);
static_assert(offsetof(RingHeader, writeCount) == 0);
static_assert(offsetof(RingHeader, readCount) == 4);
static_assert(offsetof(RingHeader, latency) == 8);
static_assert(sizeof(ChannelLayout) == 262168);
static_assert(kChannelBytes == 262168);
static_assert(offsetof(ChannelLayout, sendRing) == kSendRingOffset);
static_assert(offsetof(ChannelLayout, receiveRing) == kReceiveRingOffset);
static_assert(offsetof(ChannelLayout, sendHeader) == kSendHeaderOffset);
static_assert(offsetof(ChannelLayout, receiveHeader) == kReceiveHeaderOffset);
static_assert(alignof(ChannelLayout) == 4);
static_assert(std::atomic_ref<std::uint32_t>::required_alignment <= alignof(RingHeader));
static_assert(std::atomic_ref<std::uint32_t>::is_always_lock_free);

inline ChannelLayout* layoutAt(void* base) noexcept { return static_cast<ChannelLayout*>(base); }

// Float index of the left sample of the frame that `count` selects. The count
// is reduced as an unsigned 32-bit number, so any value another process writes
// into a header still lands inside the ring.
constexpr std::uint32_t ringPosition(std::uint32_t count) noexcept {
  return 2u * (count % kRingFrames);
}

inline std::uint32_t loadWord(std::uint32_t& word) noexcept {
  return std::atomic_ref<std::uint32_t>(word).load(std::memory_order_relaxed);
}
inline void storeWord(std::uint32_t& word, std::uint32_t value) noexcept {
  std::atomic_ref<std::uint32_t>(word).store(value, std::memory_order_relaxed);
}
inline std::int32_t loadLatency(std::int32_t& word) noexcept {
  return std::atomic_ref<std::int32_t>(word).load(std::memory_order_relaxed);
}
inline void storeLatency(std::int32_t& word, std::int32_t value) noexcept {
  std::atomic_ref<std::int32_t>(word).store(value, std::memory_order_relaxed);
}

// An advance is a load, an addition and a store by the word's one advancing
// party: a reset by another party may land on either side of it.
inline void advanceWord(std::uint32_t& word, std::uint32_t frames) noexcept {
  storeWord(word, loadWord(word) + frames);
}

// Start position of a writer: its counter plus the latency, wrapping modulo 2^32.
inline std::uint32_t writerPosition(std::uint32_t writeCount, std::int32_t latency) noexcept {
  return ringPosition(writeCount + static_cast<std::uint32_t>(latency));
}

inline void resetCounters(RingHeader& header) noexcept {
  storeWord(header.writeCount, 0);
  storeWord(header.readCount, 0);
}

// Frames from float `position` to the end of the ring, capped at `frames`.
// Blocks are moved in runs up to the ring's end: one comparison per run
// handles the wrap, and the copy loops have no branch, so they vectorise.
inline std::uint32_t framesToRingEnd(std::uint32_t position, std::uint32_t frames) noexcept {
  const std::uint32_t room = (kRingFloats - position) / 2;
  return room < frames ? room : frames;
}

inline std::uint32_t stepPosition(std::uint32_t position, std::uint32_t frames) noexcept {
  position += 2 * frames;
  return position == kRingFloats ? 0 : position;
}

// Writes n frames from two mono blocks into a ring, starting at float
// `position`; answers the position after the block. `left` and `right` may be
// the same block; neither may lie inside the ring.
inline std::uint32_t writeFrames(float* ring, std::uint32_t position, const float* left, const float* right,
                                 int n) noexcept {
  for (std::uint32_t done = 0, frames = n > 0 ? static_cast<std::uint32_t>(n) : 0; done < frames;) {
    const std::uint32_t run = framesToRingEnd(position, frames - done);
    float* __restrict out = ring + position;
    const float* a = left + done;
    const float* b = right + done;
    for (std::uint32_t i = 0; i < run; ++i) {
      out[2 * i] = a[i];
      out[2 * i + 1] = b[i];
    }
    done += run;
    position = stepPosition(position, run);
  }
  return position;
}

// Reads n frames from a ring into two distinct mono blocks, starting at float
// `position`; answers the position after the block.
inline std::uint32_t readFrames(const float* ring, std::uint32_t position, float* left, float* right,
                                int n) noexcept {
  for (std::uint32_t done = 0, frames = n > 0 ? static_cast<std::uint32_t>(n) : 0; done < frames;) {
    const std::uint32_t run = framesToRingEnd(position, frames - done);
    const float* __restrict in = ring + position;
    float* __restrict a = left + done;
    float* __restrict b = right + done;
    for (std::uint32_t i = 0; i < run; ++i) {
      a[i] = in[2 * i];
      b[i] = in[2 * i + 1];
    }
    done += run;
    position = stepPosition(position, run);
  }
  return position;
}

}  // namespace channel
