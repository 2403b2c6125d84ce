// Making and breaking the connection to the shared audio channel.
#include <cstring>

#include "channel/channel_layout.h"
#include "editor/aeff_editor.h"
#include "plugin/identifier_registry.h"
#include "plugin/kelbra.h"

void Kelbra::setConnectionId(const char* text) {
  if (!text) text = "";
  std::lock_guard conn(connectionMutex);
  releaseChannel(/*resetCounters=*/false);
  auto registry = IdentifierRegistry::instance().access();
  registry.erase(connectionId_);
  // The registry holds identifiers as they are kept (32 characters), so the
  // check compares the kept form: two texts that share their first 32
  // characters would otherwise end up on one channel inside one process.
  const std::string_view whole(text);
  const std::string kept(whole.substr(0, kIdentifierChars));
  if (kept.empty() || registry.contains(kept)) {
    showStatus("Invalid ID");
    connectionId_.clear();
    return;
  }
  storeConnectionId(whole);
  if (openChannel()) {
    mapChannel();
    registry.insert(connectionId_);  // registered even when mapping failed
  }
}

std::string Kelbra::connectionId() {
  std::lock_guard conn(connectionMutex);
  return connectionId_;
}

void Kelbra::storeConnectionId(std::string_view text) {
  const std::string_view kept = text.substr(0, kIdentifierChars);
  connectionId_.assign(kept);
  // `text` may be this very field (a program being selected): the std::string
  // above already holds the copy.
  char* field = currentProgram().identifier;
  std::memset(field, 0, kIdentifierChars + 1);
  std::memcpy(field, connectionId_.data(), connectionId_.size());
}

bool Kelbra::openChannel() {
  mapping.close();
  // Creating and joining are one step here: the handle we get is already a
  // hold on the existing channel, so there is no separate reopen by name.
  if (platform::SharedMemory::createOrJoin(connectionId_, channel::kChannelBytes, mapping) ==
      platform::SharedMemory::Outcome::failed) {
    showStatus("Filed CreateFileMapping()");
    return false;
  }
  return true;
}

bool Kelbra::mapChannel() {
  if (!mapping.isOpen()) return false;
  void* base = mapping.map();
  if (!base) {
    mapping.close();
    showStatus("Failed MapViewOfFile()");
    return false;
  }
  channel::ChannelLayout* layout = channel::layoutAt(base);
  const std::int32_t latency = latencyFrames.load(std::memory_order_relaxed);
  channel::storeLatency(layout->sendHeader.latency, latency);
  channel::storeLatency(layout->receiveHeader.latency, latency);
  channel::resetCounters(layout->sendHeader);
  channel::resetCounters(layout->receiveHeader);
  std::memset(base, 0, channel::kSampleAreaBytes);
  channelBase.publish(base);
  showStatus("All succeeded");
  return true;
}

void Kelbra::releaseChannel(bool resetCounters) {
  if (void* base = channelBase.withdraw()) {
    channel::ChannelLayout* layout = channel::layoutAt(base);
    if (resetCounters) {
      channel::resetCounters(layout->sendHeader);
      channel::resetCounters(layout->receiveHeader);
    }
    std::memset(base, 0, channel::kSampleAreaBytes);
  }
  mapping.close();
}

void Kelbra::showStatus(const char* text) {
  if (editor) editor->showStatus(text);
}
