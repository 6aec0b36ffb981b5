#include "vexa/platform/CancelSignal.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vexa::platform {

CancelSignal::CancelSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelSignal::~CancelSignal() {
  if (fd_ >= 0) ::close(fd_);
}

void CancelSignal::raise() {
  std::lock_guard lock(mutex_);
  if (raised_.load(std::memory_order_relaxed)) return;
  raised_.store(true, std::memory_order_release);
  if (fd_ >= 0) {
    const std::uint64_t one = 1;
    // A full counter is still readable: nothing to do when the write fails.
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
  }
}

void CancelSignal::reset() {
  std::lock_guard lock(mutex_);
  if (!raised_.load(std::memory_order_relaxed)) return;
  raised_.store(false, std::memory_order_release);
  if (fd_ >= 0) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd_, &count, sizeof count);
  }
}

bool CancelSignal::wait(std::uint32_t milliseconds) const {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (!isRaised()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    if (fd_ < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(left));
      continue;
    }
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return true;
}

}  // namespace vexa::platform
