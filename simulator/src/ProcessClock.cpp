#include "ProcessClock.h"

namespace vexa::vx2sim {

using vexa::platform::SystemClock;

ProcessClock& ProcessClock::instance() {
  static ProcessClock clock;
  return clock;
}

ProcessClock::ProcessClock() : start_(SystemClock::instance().milliseconds()) {}

std::uint32_t ProcessClock::milliseconds() {
  return SystemClock::instance().milliseconds() - start_;
}

void ProcessClock::sleep(std::uint32_t milliseconds) {
  SystemClock::instance().sleep(milliseconds);
}

vexa::platform::LocalTime ProcessClock::localTime() { return SystemClock::instance().localTime(); }

}  // namespace vexa::vx2sim
