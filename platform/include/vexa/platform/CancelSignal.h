#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace vexa::platform {

// A flag that one thread raises to stop another thread's waiting: a wait on
// it, or a poll() that includes descriptor(), returns as soon as it is
// raised. It stays raised until reset(). raise(), isRaised() and wait() may
// be called from any thread.
class CancelSignal {
 public:
  CancelSignal();
  ~CancelSignal();
  CancelSignal(const CancelSignal&) = delete;
  CancelSignal& operator=(const CancelSignal&) = delete;

  void raise();
  void reset();
  bool isRaised() const { return raised_.load(std::memory_order_acquire); }
  // Readable while raised; -1 when no descriptor could be made, in which case
  // waits are only ended by their time-out.
  int descriptor() const { return fd_; }
  // Waits up to the time or until raised; true when raised.
  bool wait(std::uint32_t milliseconds) const;

 private:
  int fd_ = -1;
  std::mutex mutex_;  // keeps the flag and the descriptor's count in step
  std::atomic<bool> raised_{false};
};

}  // namespace vexa::platform
