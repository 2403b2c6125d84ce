// A channel held the way the plug-in holds one, for the Pd tests: created,
// latency words written, counters reset, samples zeroed.
#pragma once

#include <cstdint>
#include <string>

#include "channel/channel_layout.h"
#include "platform/shared_memory.h"

namespace pdtest {

// An identifier no other test process uses: the pid and a running number.
std::string uniqueId(const std::string& stem);

class TestChannel {
 public:
  TestChannel(const std::string& id, std::int32_t latency);
  bool ok() const { return layout_ != nullptr; }
  channel::ChannelLayout& layout() { return *layout_; }
  const std::string& id() const { return id_; }
  // Lets go of the channel (as a plug-in that goes away).
  void release();

  // Frame `frame` of a ring as {left, right}.
  static std::pair<float, float> frameAt(const float* ring, std::uint32_t frame) {
    return {ring[2 * frame], ring[2 * frame + 1]};
  }

 private:
  std::string id_;
  platform::SharedMemory memory_;
  channel::ChannelLayout* layout_ = nullptr;
};

// Whether /dev/shm still holds a channel object named by `id`.
bool channelObjectExists(const std::string& id);

}  // namespace pdtest
