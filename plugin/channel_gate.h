// Hands the mapped channel to the audio thread without ever letting another
// thread unmap it underneath a processing call.
//
// The audio side announces itself (users + 1) before it loads the base, and
// leaves afterwards. A disconnect first withdraws the base, then waits until no
// caller is inside: with sequentially consistent operations on both sides,
// either the caller sees the withdrawn (null) base, or the withdrawing thread
// sees the caller and waits for it. Processing never waits on anybody; only the
// disconnecting thread waits, and for at most one processing call.
#pragma once

#include <atomic>
#include <thread>

class ChannelGate {
 public:
  // Real-time safe. Answers the base and keeps it alive until leave(), or null
  // (no leave() needed then).
  void* enter() noexcept {
    users_.fetch_add(1, std::memory_order_seq_cst);
    void* base = base_.load(std::memory_order_seq_cst);
    if (!base) users_.fetch_sub(1, std::memory_order_release);
    return base;
  }
  // Real-time safe.
  void leave() noexcept { users_.fetch_sub(1, std::memory_order_release); }

  // NOT real-time safe: may wait for a processing call to finish. Answers the
  // base that was published, which nobody uses any more.
  void* withdraw() noexcept {
    void* base = base_.exchange(nullptr, std::memory_order_seq_cst);
    while (users_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    return base;
  }
  void publish(void* base) noexcept { base_.store(base, std::memory_order_seq_cst); }
  bool isPublished() const noexcept { return base_.load(std::memory_order_relaxed) != nullptr; }

 private:
  std::atomic<void*> base_{nullptr};
  std::atomic<int> users_{0};
};
