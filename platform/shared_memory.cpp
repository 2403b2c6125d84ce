// POSIX shared memory behind the create-or-join / open-only interface.
//
// POSIX names outlive their holders, so holders are tracked with flock: every
// holder keeps a shared lock on its own descriptor. A name whose exclusive lock
// can be taken has no live holder (its holders let go or crashed, and the
// kernel dropped their locks) and counts as absent. Opening and releasing are
// serialised by a short-lived per-user lock so that "am I the last holder?"
// and "is anybody there?" cannot interleave.
#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace platform {
namespace {

// NAME_MAX for a file below /dev/shm.
constexpr std::size_t kMaxObjectName = 255;

std::string userPrefix() {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "/kelbra.%u.", static_cast<unsigned>(geteuid()));
  return buffer;
}

// Holds the per-user lock for the lifetime of one open or release.
class UserLock {
 public:
  UserLock() {
    const std::string name = userPrefix() + "lock";
    fd_ = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~UserLock() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  }
  UserLock(const UserLock&) = delete;
  UserLock& operator=(const UserLock&) = delete;

 private:
  int fd_ = -1;
};

bool ownedByUs(int fd, std::size_t size) {
  struct stat st {};
  return fstat(fd, &st) == 0 && st.st_uid == geteuid() && static_cast<std::size_t>(st.st_size) == size;
}

bool nobodyHolds(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool holdShared(int fd) {
  int rc;
  while ((rc = flock(fd, LOCK_SH)) != 0 && errno == EINTR) {
  }
  return rc == 0;
}

int createFresh(const std::string& name, std::size_t size) {
  int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (ftruncate(fd, static_cast<off_t>(size)) != 0 || !holdShared(fd)) {
    ::close(fd);
    shm_unlink(name.c_str());
    return -1;
  }
  return fd;
}

}  // namespace

std::string SharedMemory::objectName(std::string_view id) {
  if (id.empty()) return {};
  // Identifiers live under "<prefix>id-", apart from the lock "<prefix>lock".
  // Percent-encode every byte outside a small safe set ('%' included), which
  // keeps the mapping injective and keeps '/' out of the name.
  std::string name = userPrefix() + "id-";
  static const char hex[] = "0123456789ABCDEF";
  for (unsigned char c : id) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
    if (safe) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += hex[c >> 4];
      name += hex[c & 15];
    }
  }
  if (name.size() > kMaxObjectName) return {};
  return name;
}

SharedMemory::~SharedMemory() { close(); }

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      address_(std::exchange(other.address_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      name_(std::move(other.name_)) {}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    address_ = std::exchange(other.address_, nullptr);
    size_ = std::exchange(other.size_, 0);
    name_ = std::move(other.name_);
  }
  return *this;
}

SharedMemory::Outcome SharedMemory::createOrJoin(std::string_view id, std::size_t size,
                                                 SharedMemory& out) noexcept {
  try {
    out.close();
    const std::string name = objectName(id);
    if (name.empty() || size == 0) return Outcome::failed;
    UserLock lock;
    Outcome outcome = Outcome::joined;
    int fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 && (!ownedByUs(fd, size) || nobodyHolds(fd))) {
      // Left behind by holders that are gone, or not ours to use: replace it.
      ::close(fd);
      shm_unlink(name.c_str());
      fd = -1;
    }
    if (fd >= 0) {
      if (!holdShared(fd)) {
        ::close(fd);
        return Outcome::failed;
      }
    } else {
      fd = createFresh(name, size);
      if (fd < 0) return Outcome::failed;
      outcome = Outcome::created;
    }
    out.fd_ = fd;
    out.size_ = size;
    out.name_ = name;
    return outcome;
  } catch (...) {
    return Outcome::failed;
  }
}

bool SharedMemory::openExisting(std::string_view id, std::size_t size, SharedMemory& out) noexcept {
  try {
    out.close();
    const std::string name = objectName(id);
    if (name.empty() || size == 0) return false;
    UserLock lock;
    const int fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (!ownedByUs(fd, size)) {
      ::close(fd);
      return false;
    }
    if (nobodyHolds(fd)) {
      // Its holders crashed: the name is absent, and we tidy it away.
      ::close(fd);
      shm_unlink(name.c_str());
      return false;
    }
    if (!holdShared(fd)) {
      ::close(fd);
      return false;
    }
    out.fd_ = fd;
    out.size_ = size;
    out.name_ = name;
    return true;
  } catch (...) {
    return false;
  }
}

void* SharedMemory::map() noexcept {
  if (fd_ < 0) return nullptr;
  if (address_) return address_;
  void* p = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  address_ = (p == MAP_FAILED) ? nullptr : p;
  return address_;
}

void SharedMemory::unmap() noexcept {
  if (address_) {
    munmap(address_, size_);
    address_ = nullptr;
  }
}

void SharedMemory::close() noexcept {
  unmap();
  if (fd_ < 0) return;
  {
    UserLock lock;
    // Drop our shared lock, then see whether anybody else still holds one.
    flock(fd_, LOCK_UN);
    if (nobodyHolds(fd_)) shm_unlink(name_.c_str());
    ::close(fd_);
  }
  fd_ = -1;
  size_ = 0;
  name_.clear();
}

}  // namespace platform
