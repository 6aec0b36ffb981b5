// A clock the tests move by hand; sleeping advances it at once.
#pragma once

#include "vexa/platform/Clock.h"

namespace vexa::vxbasic::test {

class FakeClock final : public vexa::platform::Clock {
 public:
  uint32_t milliseconds() override { return now; }
  void sleep(uint32_t ms) override {
    slept += ms;
    now += ms;
  }
  vexa::platform::LocalTime localTime() override { return time; }

  uint32_t now = 0;
  uint32_t slept = 0;
  vexa::platform::LocalTime time{2026, 12, 8, 2, 19, 45, 30};
};

}  // namespace vexa::vxbasic::test
