// The step record, the scheduler and error roll-back, through the exported functions.
#include "ExportHarness.h"

namespace vexa::vx2sim::test {
namespace {

constexpr uint16_t kCount = 0x40;

// count = 0; loop: count++; jump loop   (module 1, lines 2..4)
ProgramBuilder countingLoop() {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.statement(1, 2);
  p.emit(Op::PushInt, {.operand = 0});
  p.emit(Op::StoreInt, {.operand = kCount});
  p.statement(1, 3);
  const uint16_t loop = p.emit(Op::IncInt, {.operand = kCount});
  p.emit(Op::DropInt);
  p.statement(1, 4);
  p.jump(Op::Jump, loop);
  p.variable("m.count", 1, kCount, 1);
  return p;
}

TEST(SimStepRecord, FirstStepReportsTheFirstStatementWithoutExecuting) {
  TempFiles files;
  Sim sim(files, countingLoop());
  ASSERT_TRUE(sim);
  const StepInfo r = sim.stepOnce();
  EXPECT_EQ(r.runState, 0);
  EXPECT_EQ(r.module, 1);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.statement, 0);
  EXPECT_EQ(r.thread, 1);
  EXPECT_EQ(r.callDepth, 0);
  EXPECT_EQ(r.changes & 0xFFFF, VX2SIM_CHANGED_STATEMENT);
  EXPECT_EQ(r.haltCode, 0);
}

TEST(SimStepRecord, CountingLoopReportsEachInstructionWithItsFlags) {
  TempFiles files;
  Sim sim(files, countingLoop());
  struct Expect {
    int32_t line;
    int32_t lowChanges;
  };
  // PushInt, StoreInt (new statement), IncInt, DropInt (new), Jump (new), IncInt ...
  const Expect expected[] = {
      {2, 0x4},       {2, 0},         {3, 0x4 | 0x2}, {3, 0},
      {4, 0x4 | 0x2}, {3, 0x4 | 0x2}, {3, 0},         {4, 0x4 | 0x2},
  };
  for (const Expect& e : expected) {
    StepInfo& r = sim.stepOnce();
    EXPECT_EQ(r.line, e.line);
    EXPECT_EQ(r.changes & 0xFFFF, e.lowChanges);
    r.changes &= 0xFFFF;  // the caller clears the status bits
  }
  EXPECT_EQ(sim.integer("m.count"), 2);
  sim.steps(3 * 100);
  EXPECT_EQ(sim.integer("m.count"), 102);
}

TEST(SimStepRecord, StatusBitsAccumulateUntilTheCallerClearsThem) {
  TempFiles files;
  Sim sim(files, countingLoop());
  sim.steps(2);
  EXPECT_EQ(sim.info().changes & 0xFFFF0000, 0);
  sim.stepOnce();  // StoreInt
  EXPECT_EQ(sim.info().changes >> 16, VX2SIM_STATUS_RAM);
  sim.steps(10);  // increments and jumps do not store, the bit stays
  EXPECT_EQ(sim.info().changes >> 16, VX2SIM_STATUS_RAM);
  sim.info().changes = 0;
  sim.stepOnce();
  EXPECT_EQ(sim.info().changes >> 16, 0);
}

TEST(SimStepRecord, FirstStatementAfterPrologueIsReportedOnce) {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.emit(Op::AdjustSp, {.operand = 0});  // prologue, no statement
  p.statement(1, 5);
  p.emit(Op::PushInt, {.operand = 5});
  p.emit(Op::StoreInt, {.operand = kCount});
  p.statement(1, 6);
  p.jump(Op::Jump, p.here());
  p.variable("m.count", 1, kCount, 1);
  TempFiles files;
  Sim sim(files, p);
  const StepInfo first = sim.stepOnce();
  EXPECT_EQ(first.line, 5);
  EXPECT_EQ(first.changes & VX2SIM_CHANGED_STATEMENT, VX2SIM_CHANGED_STATEMENT);
  const StepInfo second = sim.stepOnce();  // executes PushInt
  EXPECT_EQ(second.line, 5);
  EXPECT_EQ(second.changes & 0xFFFF, 0);
  const StepInfo third = sim.stepOnce();  // StoreInt
  EXPECT_EQ(third.line, 6);
  EXPECT_EQ(sim.integer("m.count"), 5);
  // A reset starts over and reports the statement again, once.
  ASSERT_EQ(resetMachine(sim.handle()), 1);
  EXPECT_EQ(sim.integer("m.count"), 0);
  EXPECT_EQ(sim.stepOnce().line, 5);
  EXPECT_EQ(sim.stepOnce().changes & 0xFFFF, 0);
}

// Two threads, each "Nop; Nop; Jump back" in its own statement.
ProgramBuilder twoThreads(uint16_t slice1, uint16_t slice2, Op secondOfThread1 = Op::Nop) {
  ProgramBuilder p(2);
  p.statement(1, 10);
  const uint16_t a = p.emit(Op::Nop);
  p.emit(secondOfThread1);
  p.jump(Op::Jump, a);
  p.statement(1, 20);
  const uint16_t b = p.emit(Op::Nop);
  p.emit(Op::Nop);
  p.jump(Op::Jump, b);
  p.thread(1, {a, 0x100, 0x100, slice1});
  p.thread(2, {b, 0x200, 0x200, slice2});
  return p;
}

TEST(SimScheduler, RoundRobinWithTimeSlices) {
  TempFiles files;
  Sim sim(files, twoThreads(3, 1));
  sim.stepOnce();
  std::vector<int> threads, switched;
  for (int i = 0; i < 12; ++i) {
    const StepInfo& r = sim.stepOnce();
    threads.push_back(r.thread);
    switched.push_back((r.changes & VX2SIM_CHANGED_THREAD) != 0);
  }
  // Three instructions of thread 1, one of thread 2: the record shows the thread to run next.
  EXPECT_EQ(threads, (std::vector<int>{1, 1, 2, 1, 1, 1, 2, 1, 1, 1, 2, 1}));
  EXPECT_EQ(switched, (std::vector<int>{0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1}));
}

TEST(SimScheduler, YieldEndsALongTurn) {
  TempFiles files;
  Sim sim(files, twoThreads(255, 1, Op::Yield));
  sim.stepOnce();
  EXPECT_EQ(sim.stepOnce().thread, 1);  // Nop
  EXPECT_EQ(sim.stepOnce().thread, 2);  // Yield
  EXPECT_EQ(sim.stepOnce().thread, 1);
}

TEST(SimScheduler, ThreadsWithSliceZeroArePassedOver) {
  TempFiles files;
  Sim sim(files, twoThreads(0, 2));
  const StepInfo r = sim.stepOnce();
  EXPECT_EQ(r.thread, 2);
  EXPECT_EQ(r.line, 20);
  EXPECT_EQ(sim.steps(10).thread, 2);
}

TEST(SimScheduler, StepReturnsWhenNoThreadCanRun) {
  TempFiles files;
  {
    Sim sim(files, twoThreads(0, 0), "stopped");
    EXPECT_EQ(sim.stepOnce().runState, VX2SIM_ALL_STOPPED);
    EXPECT_EQ(sim.stepOnce().changes & VX2SIM_CHANGED_RUN_STATE, VX2SIM_CHANGED_RUN_STATE);
  }
  {
    ProgramBuilder none(0);
    Sim sim(files, none, "none");
    ASSERT_TRUE(sim);
    const StepInfo r = sim.stepOnce();
    EXPECT_EQ(r.runState, VX2SIM_ALL_STOPPED);
    EXPECT_EQ(r.thread, 1);
  }
  {
    // The only thread stops itself outside any statement.
    ProgramBuilder p(1);
    p.thread(1, {0, 0x100, 0x100, 5});
    p.statement(1, 1);
    p.emit(Op::PushInt, {.operand = 0});
    p.noStatement();
    p.emit(Op::ThreadSetSlice, {.byte = 0});
    p.emit(Op::Nop);
    Sim sim(files, p, "self-stop");
    sim.steps(2);
    EXPECT_EQ(sim.info().runState, VX2SIM_ALL_STOPPED);
    EXPECT_EQ(sim.info().module, -1);
    EXPECT_EQ(sim.info().statement, 65535);
  }
}

TEST(SimScheduler, StepReturnsFromALoopOutsideAnyStatement) {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.jump(Op::Jump, 0);
  TempFiles files;
  Sim sim(files, p);
  const StepInfo r = sim.stepOnce();
  EXPECT_EQ(r.runState, VX2SIM_RUNNING);
  EXPECT_EQ(r.line, -1);
  EXPECT_EQ(r.statement, 65535);
}

TEST(SimHalt, StopAndPaddingSetTheHaltCode) {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.statement(1, 1);
  p.emit(Op::PushInt, {.operand = 7});
  p.emit(Op::Stop);
  p.statement(1, 2);
  p.emit(Op::Nop);
  p.word(vexa::isa::kPaddingWord);
  p.word(vexa::isa::kPaddingWord);
  p.statement(1, 3);
  p.jump(Op::Jump, p.here());
  TempFiles files;
  Sim sim(files, p);
  const StepInfo stopped = sim.steps(3);
  EXPECT_EQ(stopped.haltCode, 7);
  EXPECT_EQ(stopped.runState, VX2SIM_HALTED);
  EXPECT_EQ(stopped.line, 2);  // the thread continues after Stop
  const StepInfo filled = sim.steps(2);
  EXPECT_EQ(filled.haltCode, 0xFFFF);
  EXPECT_EQ(filled.line, 3);
  ASSERT_EQ(resetMachine(sim.handle()), 1);
  EXPECT_EQ(sim.stepOnce().haltCode, 0);
}

TEST(SimErrors, DivisionByZeroUndoesTheInstructionAndRepeats) {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.statement(1, 1);
  p.emit(Op::PushInt, {.operand = 1});
  p.emit(Op::PushInt, {.operand = 0});
  p.statement(1, 2);
  p.emit(Op::Div, {.byte = 0});
  TempFiles files;
  Sim sim(files, p);
  sim.steps(3);
  const StepInfo r = sim.stepOnce();
  EXPECT_EQ(r.runState, VX2SIM_MATH_ERROR);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.changes & VX2SIM_CHANGED_RUN_STATE, VX2SIM_CHANGED_RUN_STATE);
  const StepInfo copy = r;
  const StepInfo& again = sim.stepOnce();
  EXPECT_EQ(std::memcmp(&again, &copy, sizeof copy), 0);
}

TEST(SimErrors, StackOverflowWritesNothingAndRepeatsExactly) {
  // Thread 1 recurses into the stack of thread 2 at 0x120.
  ProgramBuilder p(2);
  p.statement(1, 1);
  p.emit(Op::Call, {.operand = 0});
  p.statement(1, 2);
  const uint16_t idle = p.jump(Op::Jump, p.here());
  p.thread(1, {0, 0x100, 0x100, 255});
  p.thread(2, {idle, 0x120, 0x120, 0});
  p.variable("m.guard", 1, 0x120, 2);
  TempFiles files;
  Sim sim(files, p);
  sim.steps(1 + 8);  // eight calls fill 0x100..0x11F
  EXPECT_EQ(sim.info().callDepth, 8);
  EXPECT_EQ(sim.info().runState, VX2SIM_RUNNING);
  const StepInfo r = sim.stepOnce();
  EXPECT_EQ(r.runState, VX2SIM_STACK_OVERFLOW);
  EXPECT_EQ(r.callDepth, 8);
  EXPECT_EQ(sim.integer("m.guard"), 0);
  const StepInfo copy = r;
  for (int i = 0; i < 3; ++i) {
    const StepInfo& again = sim.stepOnce();
    EXPECT_EQ(std::memcmp(&again, &copy, sizeof copy), 0);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
