// Named shared memory with the lifetime of a reference-counted kernel object:
// a block lives while any process holds it; when the last holder lets go the
// name is free, and a block whose holders all died counts as absent.
//
// NOT real-time safe: every operation makes system calls and takes the
// per-user lock. Never call it from an audio callback.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class SharedMemory {
 public:
  enum class Outcome { created, joined, failed };

  SharedMemory() = default;
  ~SharedMemory();
  SharedMemory(SharedMemory&& other) noexcept;
  SharedMemory& operator=(SharedMemory&& other) noexcept;
  SharedMemory(const SharedMemory&) = delete;
  SharedMemory& operator=(const SharedMemory&) = delete;

  // Creates a zeroed block of `size` bytes named by `id`, or joins the live
  // block of that name (which must have the same size).
  static Outcome createOrJoin(std::string_view id, std::size_t size, SharedMemory& out) noexcept;

  // Opens the live block named by `id`; fails when no live process holds one.
  static bool openExisting(std::string_view id, std::size_t size, SharedMemory& out) noexcept;

  // Maps the whole block read-write; null on failure. Mapping twice answers the
  // existing address.
  void* map() noexcept;
  void unmap() noexcept;
  // Lets go of the block; the last holder frees the name.
  void close() noexcept;

  bool isOpen() const noexcept { return fd_ >= 0; }
  void* address() const noexcept { return address_; }
  std::size_t size() const noexcept { return size_; }

  // The POSIX object name for an identifier: per user, injective for every byte
  // string, free of slashes. Empty when the identifier is empty or too long to
  // name.
  static std::string objectName(std::string_view id);

 private:
  int fd_ = -1;
  void* address_ = nullptr;
  std::size_t size_ = 0;
  std::string name_;
};

}  // namespace platform
