// Linux has no library-entry callback; a constructor function runs when the
// library is loaded and asks the dynamic linker which object it belongs to.
#include "plugin/module_handle.h"

#include <dlfcn.h>

namespace {
void* gModuleHandle = nullptr;
const char* gModulePath = "";

__attribute__((constructor)) void storeModuleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&storeModuleHandle), &info) != 0) {
    gModuleHandle = info.dli_fbase;
    if (info.dli_fname) gModulePath = info.dli_fname;
  }
}
}  // namespace

void* moduleHandle() noexcept { return gModuleHandle; }
const char* modulePath() noexcept { return gModulePath; }
