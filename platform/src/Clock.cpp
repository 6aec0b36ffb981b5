#include "vexa/platform/Clock.h"

#include "vexa/platform/CancelSignal.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vexa::platform {

bool Clock::sleepCancellable(std::uint32_t milliseconds, const CancelSignal& signal) {
  if (signal.isRaised()) return true;
  sleep(milliseconds);
  return signal.isRaised();
}

SystemClock& SystemClock::instance() {
  static SystemClock clock;
  return clock;
}

std::uint32_t SystemClock::milliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SystemClock::sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool SystemClock::sleepCancellable(std::uint32_t milliseconds, const CancelSignal& signal) {
  return signal.wait(milliseconds);
}

LocalTime SystemClock::localTime() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  ::localtime_r(&now, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_wday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec,  parts.tm_isdst > 0};
}

}  // namespace vexa::platform
