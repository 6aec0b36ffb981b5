// Loads hand-assembled programs straight into a Machine for instruction-level tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "Machine.h"
#include "ProgramBuilder.h"

namespace vexa::vx2sim::test {

inline constexpr uint16_t kStackBase = 0x200;

// A clock the tests set by hand; sleeping moves it at once.
class TestClock final : public vexa::platform::Clock {
 public:
  uint32_t milliseconds() override { return now; }
  void sleep(uint32_t ms) override { now += ms; }
  vexa::platform::LocalTime localTime() override { return time; }

  uint32_t now = 0;
  vexa::platform::LocalTime time{2026, 3, 29, 0, 1, 59, 58, true};
};

// The clock of every machine that a test does not give its own.
inline TestClock& testClock() {
  static TestClock clock;
  return clock;
}

inline std::unique_ptr<Machine> load(const ProgramBuilder& p) {
  std::string text = p.dbg();
  std::FILE* f = fmemopen(text.data(), text.size(), "r");
  auto m = std::make_unique<Machine>(testClock());
  m->load(f);
  std::fclose(f);
  m->reset();
  return m;
}

// One thread at pc 0 with its stack at kStackBase and slice 255; every word in statement 0.
inline ProgramBuilder singleThread() {
  ProgramBuilder p(1);
  p.thread(1, {0, kStackBase, kStackBase, 255});
  p.statement(1, 1);
  return p;
}

// Steps n times; the first step after a reset only reports the first statement.
inline StepRecord steps(Machine& m, int n) {
  StepRecord r{};
  for (int i = 0; i < n; ++i) r = m.step(r.changes);
  return r;
}

// Runs every instruction of a single-thread program once; the program then waits in a jump to
// itself.
inline std::unique_ptr<Machine> runAll(const ProgramBuilder& p, int instructions) {
  ProgramBuilder q = p;
  q.jump(Op::Jump, q.here());
  auto m = load(q);
  steps(*m, instructions + 1);
  return m;
}

struct Instr {
  Op op;
  vexa::isa::Fields fields = {};
};

// A single-thread program of the given instructions, all executed.
inline std::unique_ptr<Machine> run(std::initializer_list<Instr> program,
                                    void (*prepare)(Machine&) = nullptr) {
  ProgramBuilder p = singleThread();
  for (const Instr& i : program) p.emit(i.op, i.fields);
  ProgramBuilder q = p;
  q.jump(Op::Jump, q.here());
  auto m = load(q);
  if (prepare) prepare(*m);
  steps(*m, static_cast<int>(program.size()) + 1);
  return m;
}

inline Instr push(uint16_t v) { return {Op::PushInt, {.operand = v}}; }

}  // namespace vexa::vx2sim::test
