// Preloaded into pd by one test: refuses to map any block of exactly the
// channel's size, so that an external opens its channel but cannot map it.
// Everything else goes straight to the kernel. Kept free of sys/mman.h, which
// only the platform layer includes.
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace {
constexpr std::size_t kChannelBytes = 262168;
constexpr int kSharedMapping = 0x01;  // MAP_SHARED
void* const kMapFailed = reinterpret_cast<void*>(-1);
}  // namespace

extern "C" __attribute__((visibility("default"))) void* mmap(void* addr, std::size_t length, int prot,
                                                             int flags, int fd, off_t offset) {
  if (length == kChannelBytes && (flags & kSharedMapping)) {
    errno = ENOMEM;
    return kMapFailed;
  }
  return reinterpret_cast<void*>(syscall(SYS_mmap, addr, length, prot, flags, fd, offset));
}

extern "C" __attribute__((visibility("default"))) void* mmap64(void* addr, std::size_t length, int prot,
                                                               int flags, int fd, off_t offset) {
  return mmap(addr, length, prot, flags, fd, offset);
}
