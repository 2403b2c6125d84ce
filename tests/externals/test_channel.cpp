// Test channels, created through the same platform code as the plug-in.
#include "tests/externals/test_channel.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>

namespace pdtest {

std::string uniqueId(const std::string& stem) {
  static std::atomic<int> next{0};
  return stem + "_" + std::to_string(getpid()) + "_" + std::to_string(next++);
}

TestChannel::TestChannel(const std::string& id, std::int32_t latency) : id_(id) {
  if (platform::SharedMemory::createOrJoin(id, channel::kChannelBytes, memory_) ==
      platform::SharedMemory::Outcome::failed)
    return;
  void* base = memory_.map();
  if (!base) return;
  layout_ = channel::layoutAt(base);
  channel::storeLatency(layout_->sendHeader.latency, latency);
  channel::storeLatency(layout_->receiveHeader.latency, latency);
  channel::resetCounters(layout_->sendHeader);
  channel::resetCounters(layout_->receiveHeader);
  std::memset(layout_, 0, channel::kSampleAreaBytes);
}

void TestChannel::release() {
  memory_.close();
  layout_ = nullptr;
}

bool channelObjectExists(const std::string& id) {
  const std::string name = platform::SharedMemory::objectName(id);
  return !name.empty() && std::filesystem::exists("/dev/shm" + name);
}

}  // namespace pdtest
