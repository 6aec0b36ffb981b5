#pragma once

#include <cstdint>

namespace vexa::platform {

class CancelSignal;

// The calendar time of the local time zone.
struct LocalTime {
  int year = 0;       // e.g. 2026
  int month = 1;      // 1..12
  int day = 1;        // 1..31
  int dayOfWeek = 0;  // 0..6 from Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool daylightSaving = false;
};

// Time as a program running in real time sees it: a millisecond counter that
// never goes back, sleeping, and the local calendar time. Code takes a Clock&
// so tests can hand in one they move by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds from an arbitrary start; wraps around after 2^32.
  virtual std::uint32_t milliseconds() = 0;
  virtual void sleep(std::uint32_t milliseconds) = 0;
  virtual LocalTime localTime() = 0;
  // Sleeps, but ends early once the signal is raised; true when it was. This
  // one sleeps in full and looks at the signal before and after.
  virtual bool sleepCancellable(std::uint32_t milliseconds, const CancelSignal& signal);
};

// The operating system's clocks.
class SystemClock final : public Clock {
 public:
  static SystemClock& instance();
  std::uint32_t milliseconds() override;
  void sleep(std::uint32_t milliseconds) override;
  LocalTime localTime() override;
  bool sleepCancellable(std::uint32_t milliseconds, const CancelSignal& signal) override;
};

}  // namespace vexa::platform
