// The clock of the exported machines: the system's calendar time, and milliseconds counted
// from the first reading in the process, as a process clock counts them.
#pragma once

#include <cstdint>

#include "vexa/platform/Clock.h"

namespace vexa::vx2sim {

class ProcessClock final : public vexa::platform::Clock {
 public:
  static ProcessClock& instance();
  std::uint32_t milliseconds() override;
  void sleep(std::uint32_t milliseconds) override;
  vexa::platform::LocalTime localTime() override;

 private:
  ProcessClock();
  std::uint32_t start_;
};

}  // namespace vexa::vx2sim
