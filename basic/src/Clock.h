// Time source of the simulated board: monotonic milliseconds, sleeping and
// the local calendar time. Tests inject their own.
#pragma once

#include <cstdint>

namespace vxbasic {

struct LocalTime {
    int year = 0;       // e.g. 2026
    int month = 1;      // 1..12
    int day = 1;        // 1..31
    int dayOfWeek = 0;  // 0..6 from Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t milliseconds() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    virtual LocalTime localTime() = 0;
};

class SystemClock final : public Clock {
public:
    static SystemClock& instance();
    uint32_t milliseconds() override;
    void sleep(uint32_t milliseconds) override;
    LocalTime localTime() override;
};

}  // namespace vxbasic
