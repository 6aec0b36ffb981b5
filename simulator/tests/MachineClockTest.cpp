// Date, clock and random readings come from the clock the machine was given.
#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

Instr date(uint8_t b) { return {Op::DateTimeGet, {.byte = b}}; }
Instr clockGet(uint8_t b) { return {Op::ClockGet, {.byte = b}}; }

TestClock clockAt(vexa::platform::LocalTime t, uint32_t ms = 0) {
  TestClock c;
  c.time = t;
  c.now = ms;
  return c;
}

TEST(SimMachineClock, DateFieldsAreTheClocksLocalTime) {
  struct Case {
    vexa::platform::LocalTime time;
    std::array<int16_t, 10> fields;  // b = 0..9
  };
  const Case cases[] = {
      {{2026, 3, 29, 0, 1, 59, 58, true}, {2026, 3, 29, 1, 59, 58, 0, -1, 0, 0}},
      {{1999, 12, 31, 5, 23, 0, 7, false}, {1999, 12, 31, 23, 0, 7, 5, 0, 0, 0}},
      {{2038, 1, 19, 2, 3, 14, 8, false}, {2038, 1, 19, 3, 14, 8, 2, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time.year);
    static TestClock clock;
    clock = clockAt(c.time);
    auto m = run(
        {date(0), date(1), date(2), date(3), date(4), date(5), date(6), date(7), date(8), date(9)},
        [](Machine& mm) { mm.clock = &clock; });
    for (int b = 0; b < 10; ++b)
      EXPECT_EQ(static_cast<int16_t>(m->load<uint16_t>(kStackBase + 2 * b)), c.fields[b])
          << "b " << b;
  }
}

TEST(SimMachineClock, MillisecondsAreTheClocksCounter) {
  const uint32_t readings[] = {0, 20, 123456, 0x7FFFFFFF, 0x80000010, 0xFFFFFFFF};
  for (uint32_t ms : readings) {
    SCOPED_TRACE(ms);
    static TestClock clock;
    clock.now = ms;
    auto m = run({clockGet(0), clockGet(9)}, [](Machine& mm) { mm.clock = &clock; });
    EXPECT_EQ(m->load<uint32_t>(kStackBase), ms);
    EXPECT_EQ(m->load<uint32_t>(kStackBase + 4), 0u);
  }
}

// Random readings of four counters and two clock sources after a reset.
std::vector<uint32_t> randomReadings(TestClock& clock) {
  ProgramBuilder p = singleThread();
  for (uint16_t i = 0; i < 4; ++i) {
    p.emit(Op::PushInt, {.operand = i});
    p.emit(Op::CounterGet);
  }
  p.emit(Op::ClockGet, {.byte = 1});
  p.emit(Op::ClockGet, {.byte = 6});
  p.jump(Op::Jump, p.here());
  std::string text = p.dbg();
  std::FILE* f = fmemopen(text.data(), text.size(), "r");
  Machine m(clock);
  m.load(f);
  std::fclose(f);
  m.reset();
  steps(m, 11);
  std::vector<uint32_t> values;
  for (int i = 0; i < 6; ++i) values.push_back(m.load<uint32_t>(kStackBase + 4 * i));
  return values;
}

TEST(SimMachineClock, RandomReadingsRepeatUnderTheSameTime) {
  TestClock a = clockAt({2026, 5, 4, 1, 10, 20, 30, false}, 5000);
  TestClock b = a;
  const std::vector<uint32_t> first = randomReadings(a);
  EXPECT_EQ(randomReadings(b), first);
  for (uint32_t v : first) EXPECT_LT(v, 10000u);
  TestClock later = a;
  later.time.second += 1;
  EXPECT_NE(randomReadings(later), first);
  TestClock otherMs = a;
  otherMs.now += 1;
  EXPECT_NE(randomReadings(otherMs), first);
}

}  // namespace
}  // namespace vexa::vx2sim::test
