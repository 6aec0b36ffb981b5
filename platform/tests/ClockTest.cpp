#include "vexa/platform/Clock.h"

#include "vexa/platform/CancelSignal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace vexa::platform {
namespace {

// Sets the time zone for one test and puts the old one back.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (hadOld_)
      ::setenv("TZ", old_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

TEST(SystemClock, LocalTimeIsTheCalendarTimeOfTheZone) {
  SystemClock& clock = SystemClock::instance();
  struct Case {
    const char* zone;
    long offsetSeconds;  // east of UTC
  } const cases[] = {{"UTC0", 0}, {"XYZ-3", 3 * 3600}, {"ABC+11", -11 * 3600}};
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.zone);
    std::time_t before = 0;
    LocalTime t;
    // Read again when the second turned over in between.
    for (int attempt = 0; attempt < 3; ++attempt) {
      before = std::time(nullptr);
      t = clock.localTime();
      if (std::time(nullptr) == before) break;
    }
    const std::time_t shifted = before + c.offsetSeconds;
    std::tm expected{};
    ::gmtime_r(&shifted, &expected);
    EXPECT_EQ(t.year, expected.tm_year + 1900) << c.zone;
    EXPECT_EQ(t.month, expected.tm_mon + 1) << c.zone;
    EXPECT_EQ(t.day, expected.tm_mday) << c.zone;
    EXPECT_EQ(t.dayOfWeek, expected.tm_wday) << c.zone;
    EXPECT_EQ(t.hour, expected.tm_hour) << c.zone;
    EXPECT_EQ(t.minute, expected.tm_min) << c.zone;
    EXPECT_EQ(t.second, expected.tm_sec) << c.zone;
    EXPECT_FALSE(t.daylightSaving) << c.zone;
  }
}

TEST(SystemClock, DaylightSavingOfTheZone) {
  // Summer time from the first day of the year to the last.
  ScopedTimeZone zone("ABC-1DEF,J1/0,J365/25");
  EXPECT_TRUE(SystemClock::instance().localTime().daylightSaving);
}

TEST(SystemClock, MillisecondsFollowASleep) {
  SystemClock& clock = SystemClock::instance();
  const std::uint32_t start = clock.milliseconds();
  clock.sleep(30);
  const std::uint32_t elapsed = clock.milliseconds() - start;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 2000u);
}

// A clock that only counts its sleeps.
class CountingClock final : public Clock {
 public:
  std::uint32_t milliseconds() override { return now; }
  void sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  LocalTime localTime() override { return {}; }
  std::uint32_t now = 0;
  std::vector<std::uint32_t> sleeps;
};

TEST(CancellableSleep, SystemClockWakesOnTheSignalOtherClocksSleepInFull) {
  using Steady = std::chrono::steady_clock;
  SystemClock& clock = SystemClock::instance();
  CancelSignal signal;
  auto start = Steady::now();
  EXPECT_FALSE(clock.sleepCancellable(60, signal));
  EXPECT_GE(Steady::now() - start, std::chrono::milliseconds(60));

  std::thread raiser([&signal] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    signal.raise();
  });
  start = Steady::now();
  EXPECT_TRUE(clock.sleepCancellable(10000, signal));
  raiser.join();
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(3000));
  // Raised before: no sleep at all.
  start = Steady::now();
  EXPECT_TRUE(clock.sleepCancellable(10000, signal));
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(500));

  CountingClock counting;
  EXPECT_TRUE(counting.sleepCancellable(250, signal));
  EXPECT_TRUE(counting.sleeps.empty());
  signal.reset();
  EXPECT_FALSE(signal.isRaised());
  EXPECT_FALSE(counting.sleepCancellable(250, signal));
  EXPECT_EQ(counting.sleeps, std::vector<std::uint32_t>{250});
  // A reset signal no longer wakes a real sleep.
  start = Steady::now();
  EXPECT_FALSE(clock.sleepCancellable(30, signal));
  EXPECT_GE(Steady::now() - start, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace vexa::platform
