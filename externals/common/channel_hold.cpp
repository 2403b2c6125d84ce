// Channel holds for the Pd objects, over the plug-in's own shared-memory code.
#include "externals/common/channel_hold.h"

#include <new>

#include "channel/channel_layout.h"

namespace externals {

OpenResult openChannel(const char* id, platform::SharedMemory*& mapping, void*& base) noexcept {
  mapping = nullptr;
  base = nullptr;
  auto* hold = new (std::nothrow) platform::SharedMemory();
  if (!hold) return OpenResult::noChannel;
  if (!id || !platform::SharedMemory::openExisting(id, channel::kChannelBytes, *hold)) {
    delete hold;
    return OpenResult::noChannel;
  }
  void* address = hold->map();
  if (!address) {
    delete hold;  // closes the handle
    return OpenResult::cannotMap;
  }
  mapping = hold;
  base = address;
  return OpenResult::opened;
}

void releaseChannel(platform::SharedMemory*& mapping, void*& base) noexcept {
  if (mapping) {
    mapping->unmap();
    delete mapping;  // closes the handle
  }
  mapping = nullptr;
  base = nullptr;
}

}  // namespace externals
