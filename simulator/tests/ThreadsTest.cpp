// Calls and returns, thread starts, slices, sleeping and semaphores.
#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

TEST(SimCalls, CallAndReturnNRestoreFrameSpPcAndDepth) {
  // PushInt 9 (a parameter); Call f; after: Jump after; f: AdjustSp 6; ReturnN 6
  constexpr uint16_t after = 4;
  constexpr uint16_t function = 6;
  ProgramBuilder p = singleThread();
  p.emit(Op::PushInt, {.operand = 9});
  p.emit(Op::Call, {.operand = function});
  ASSERT_EQ(p.jump(Op::Jump, after), after);
  ASSERT_EQ(p.emit(Op::AdjustSp, {.operand = 6}), function);  // locals
  p.emit(Op::ReturnN, {.operand = 6});                        // the parameter and the saved pair
  auto m = load(p);
  steps(*m, 1 + 2);
  EXPECT_EQ(m->pc(), function);
  EXPECT_EQ(m->frame(), kStackBase + 6);
  EXPECT_EQ(m->callDepth[0], 1);
  EXPECT_EQ(m->load<uint16_t>(m->frame() - 2), after);
  EXPECT_EQ(m->load<uint16_t>(m->frame() - 4), kStackBase);
  steps(*m, 2);
  EXPECT_EQ(m->pc(), after);
  EXPECT_EQ(m->frame(), kStackBase);
  EXPECT_EQ(m->sp(), kStackBase);
  EXPECT_EQ(m->callDepth[0], 0);
}

TEST(SimCalls, ReturnValueKeepsTheResultOfEachType) {
  struct Case {
    uint8_t type;
    Op push;
    uint16_t width;
  };
  const Case cases[] = {{0, Op::PushInt, 2}, {1, Op::PushConstLong, 4}, {2, Op::PushConstFloat, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ProgramBuilder p = singleThread();
    const uint16_t k = c.type == 1 ? p.constant(int32_t{-123456}) : p.constant(2.5);
    p.emit(Op::PushInt, {.operand = 1});  // a parameter
    p.emit(Op::Call, {.operand = 6});
    const uint16_t after = p.jump(Op::Jump, p.here());
    p.emit(c.push, {.operand = c.type == 0 ? uint16_t{777} : k});
    p.emit(Op::ReturnValue, {.byte = c.type, .operand = 6});
    auto m = load(p);
    steps(*m, 1 + 4);
    EXPECT_EQ(m->pc(), after);
    EXPECT_EQ(m->callDepth[0], 0);
    EXPECT_EQ(m->sp(), kStackBase + c.width);
    switch (c.type) {
      case 0: EXPECT_EQ(m->top<uint16_t>(), 777); break;
      case 1: EXPECT_EQ(m->top<int32_t>(), -123456); break;
      default: EXPECT_EQ(m->top<double>(), 2.5); break;
    }
  }
}

TEST(SimCalls, PlainReturnPopsTheSavedPair) {
  ProgramBuilder p = singleThread();
  p.emit(Op::Call, {.operand = 4});
  const uint16_t after = p.jump(Op::Jump, p.here());
  p.emit(Op::Return);
  auto m = load(p);
  steps(*m, 1 + 2);
  EXPECT_EQ(m->pc(), after);
  EXPECT_EQ(m->sp(), kStackBase);
  EXPECT_EQ(m->frame(), kStackBase);
  EXPECT_EQ(m->callDepth[0], 0);
}

TEST(SimStack, PushChecksTheWholeWidthAgainstTheLimit) {
  // Thread 1's limit is thread 2's initial sp, 0x108: a long at 0x106 would cross it.
  ProgramBuilder p(2);
  p.statement(1, 1);
  p.emit(Op::PushConstLong, {.operand = p.constant(int32_t{-1})});
  p.jump(Op::Jump, p.here());
  p.thread(1, {0, 0x106, 0x106, 255});
  p.thread(2, {2, 0x108, 0x108, 0});
  auto m = load(p);
  steps(*m, 2);
  EXPECT_TRUE(m->stackOverflow);
  EXPECT_EQ(m->pc(), 0);
  EXPECT_EQ(m->sp(), 0x106);
  EXPECT_EQ(m->load<uint32_t>(0x106), 0u);
}

TEST(SimStack, LastThreadDoesNotWrapIntoTheContexts) {
  ProgramBuilder p(1);
  p.thread(1, {0, 0xFFFC, 0xFFFE, 255});
  p.statement(1, 1);
  p.emit(Op::PushInt, {.operand = 0xABCD});
  auto m = load(p);
  steps(*m, 2);
  EXPECT_TRUE(m->stackOverflow);
  EXPECT_EQ(m->pc(), 0);  // context at RAM 0 intact
  EXPECT_EQ(m->sp(), 0xFFFE);
  EXPECT_EQ(m->ram[0xFFFE], 0);
}

TEST(SimThreads, StartOfTheCurrentThreadContinuesAtItsEntry) {
  ProgramBuilder p = singleThread();
  p.emit(Op::IncInt, {.operand = 0x40});
  p.emit(Op::DropInt);
  p.emit(Op::ThreadStart, {.byte = 0});
  auto m = load(p);
  steps(*m, 1 + 3);
  EXPECT_EQ(m->pc(), 0);
  steps(*m, 3);
  EXPECT_EQ(m->load<uint16_t>(0x40), 2);
  EXPECT_EQ(m->pc(), 0);
}

TEST(SimThreads, StartOfAnotherThreadResetsItAndClearsItsSemaphore) {
  ProgramBuilder p(2);
  p.statement(1, 1);
  const uint16_t t1 = p.emit(Op::PushInt, {.operand = 0x50});
  p.emit(Op::Capture);
  p.emit(Op::Yield);
  p.emit(Op::ThreadStart, {.byte = 2});
  p.jump(Op::Jump, p.here());
  p.statement(1, 2);
  const uint16_t t2 = p.emit(Op::PushInt, {.operand = 0x50});
  p.emit(Op::Capture);
  p.jump(Op::Jump, p.here());
  p.thread(1, {t1, 0x100, 0x100, 3});
  p.thread(2, {t2, 0x180, 0x180, 2});
  auto m = load(p);
  steps(*m, 1 + 3);  // thread 1 captures and yields
  EXPECT_EQ(m->ram[0x50], 1);
  steps(*m, 2);  // thread 2 pushes and waits on the byte
  EXPECT_EQ(m->load<uint16_t>(20 + context::kSemaphore), 0x50);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kPc), t2 + 2);
  steps(*m, 1);  // thread 1 restarts thread 2
  EXPECT_EQ(m->ram[0x50], 0);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kSemaphore), 0);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kPc), t2);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kSp), 0x180);
}

TEST(SimThreads, SetAndRestoreSlice) {
  ProgramBuilder p(2);
  p.statement(1, 1);
  const uint16_t t1 = p.emit(Op::PushInt, {.operand = 0x0107});  // low byte 7
  p.emit(Op::ThreadSetSlice, {.byte = 2});
  p.emit(Op::ThreadRestoreSlice, {.byte = 2});
  p.jump(Op::Jump, p.here());
  p.statement(1, 2);
  const uint16_t t2 = p.jump(Op::Jump, p.here());
  p.thread(1, {t1, 0x100, 0x100, 3});
  p.thread(2, {t2, 0x180, 0x180, 4});
  auto m = load(p);
  steps(*m, 1 + 2);
  EXPECT_EQ(m->ram[20 + context::kSlice], 7);
  EXPECT_EQ(m->ram[20 + context::kSavedSlice], 4);
  steps(*m, 1);
  EXPECT_EQ(m->ram[20 + context::kSlice], 4);
}

TEST(SimSemaphores, SecondThreadWaitsUntilRelease) {
  // Each thread: capture 0x50; count its own variable; release; loop.
  ProgramBuilder p(2);
  uint16_t entries[2];
  for (int t = 0; t < 2; ++t) {
    p.statement(1, 10 * (t + 1));
    entries[t] = p.emit(Op::PushInt, {.operand = 0x50});
    p.emit(Op::Capture);
    p.emit(Op::Yield);  // hold the byte across a turn
    p.emit(Op::Release);
    p.jump(Op::Jump, entries[t]);
  }
  p.thread(1, {entries[0], 0x100, 0x100, 10});
  p.thread(2, {entries[1], 0x180, 0x180, 10});
  auto m = load(p);
  steps(*m, 1 + 3);  // thread 1: push, capture (gets it), yield
  EXPECT_EQ(m->ram[0x50], 1);
  EXPECT_EQ(m->threadIndex, 1);
  steps(*m, 2);  // thread 2: push, capture: waits, turn ends
  EXPECT_EQ(m->ram[0x50], 1);
  EXPECT_EQ(m->threadIndex, 0);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kPc), entries[1] + 2);
  const uint16_t sp2 = m->load<uint16_t>(20 + context::kSp);
  steps(*m, 1);  // thread 1 releases
  EXPECT_EQ(m->ram[0x50], 0);
  steps(*m, 3);  // thread 1: jump, push, capture again (free, takes it), ...
  EXPECT_EQ(m->ram[0x50], 1);
  steps(*m, 1);  // yield: thread 2 tries again, without popping again
  steps(*m, 1);
  EXPECT_EQ(m->load<uint16_t>(20 + context::kSp), sp2);
  EXPECT_EQ(m->ram[0x50], 1);
}

TestClock fakeClock;

TEST(SimSleep, WaitsUntilTheClockPassesTheEnd) {
  struct Case {
    int16_t duration;
    std::vector<int32_t> clock;  // clock value at each of thread 1's turns after the first
    int turnsAsleep;
  };
  const Case cases[] = {
      {0, {0}, 0}, {-5, {0}, 0}, {100, {50, 99, 100}, 2}, {100, {-10}, 0},  // the clock went back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    ProgramBuilder p(2);
    p.statement(1, 1);
    const uint16_t t1 = p.emit(Op::PushInt, {.operand = static_cast<uint16_t>(c.duration)});
    const uint16_t sleep = p.emit(Op::Sleep);
    const uint16_t done = p.jump(Op::Jump, p.here());
    p.statement(1, 2);
    const uint16_t t2 = p.jump(Op::Jump, p.here());
    p.thread(1, {t1, 0x100, 0x100, 5});
    p.thread(2, {t2, 0x180, 0x180, 1});
    auto m = load(p);
    m->clock = &fakeClock;
    fakeClock.now = 0;
    steps(*m, 1 + 2);  // push, sleep starts and ends the turn
    EXPECT_EQ(m->threadIndex, 1);
    EXPECT_EQ(m->load<uint16_t>(context::kPc), sleep);
    EXPECT_EQ(m->ram[context::kSleeping], 1);
    int asleep = 0;
    for (int32_t now : c.clock) {
      fakeClock.now = static_cast<uint32_t>(now);
      steps(*m, 2);  // thread 2's jump, then thread 1 re-executes Sleep
      if (m->load<uint16_t>(context::kPc) == sleep) ++asleep;
    }
    EXPECT_EQ(asleep, c.turnsAsleep);
    EXPECT_EQ(m->load<uint16_t>(context::kPc), done);
    EXPECT_EQ(m->ram[context::kSleeping], 0);
    EXPECT_EQ(m->sp(), 0x100);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
