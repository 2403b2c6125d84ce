// Opens and maps an existing channel for a Pd object. Pd allocates its objects
// as raw zeroed memory, so the hold lives on the heap behind a plain pointer
// that fits the object record's handle field.
//
// NOT real-time safe: call from object creation and release only.
#pragma once

#include "platform/shared_memory.h"

namespace externals {

enum class OpenResult { opened, noChannel, cannotMap };

// On `opened`, `mapping` holds the channel and `base` is its mapped address;
// otherwise both are null and nothing is held.
OpenResult openChannel(const char* id, platform::SharedMemory*& mapping, void*& base) noexcept;

// Unmaps and lets go; safe on null fields. Leaves both fields null.
void releaseChannel(platform::SharedMemory*& mapping, void*& base) noexcept;

}  // namespace externals
