// Steps per second through the exported step function, in bursts of 1001 calls as the IDE
// makes them.
#include <benchmark/benchmark.h>

#include "ProgramBuilder.h"
#include "vx2sim.h"

namespace {

using vexa::vx2sim::test::Op;
using vexa::vx2sim::test::ProgramBuilder;

constexpr int kBurst = 1001;

// count = count + 1 with a comparison and a conditional jump, every word in a statement.
ProgramBuilder countingLoop(int threads) {
  ProgramBuilder p(threads);
  for (int t = 0; t < threads; ++t) {
    const uint16_t counter = static_cast<uint16_t>(0x1000 + 4 * t);
    p.statement(1, 10 * t + 1);
    const uint16_t loop = p.emit(Op::LoadInt, {.operand = counter});
    p.emit(Op::PushInt, {.operand = 1});
    p.emit(Op::Add, {.byte = 0});
    p.emit(Op::StoreInt, {.operand = counter});
    p.statement(1, 10 * t + 2);
    p.emit(Op::LoadInt, {.operand = counter});
    p.emit(Op::PushInt, {.operand = 30000});
    p.emit(Op::Less, {.byte = 0});
    const uint16_t exit = p.emit(Op::JumpIfFalse, {.operand = 0});
    p.jump(Op::Jump, loop);
    p.patchJump(exit, loop);  // past the limit the counter wraps; the loop never ends
    p.thread(t + 1, {loop, static_cast<uint16_t>(0x2000 + 0x400 * t),
                     static_cast<uint16_t>(0x2000 + 0x400 * t), 32});
  }
  return p;
}

// One machine per benchmark thread; `programThreads` VM threads in each.
void runSteps(benchmark::State& state, int programThreads) {
  vexa::vx2sim::test::TempFiles files;
  const std::string base = files.write("loop", countingLoop(programThreads).dbg());
  const Vx2SimHandle machine = createMachine(base.c_str());
  if (!machine) {
    state.SkipWithError("createMachine failed");
    return;
  }
  StepInfo info{};
  int64_t total = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBurst; ++i) {
      step(machine, &info);
      if (info.changes & 0xFFFF) {
        info.changes &= 0xFFFF;  // the IDE ends a burst here; the work per call is the same
      }
    }
    total += kBurst;
  }
  benchmark::DoNotOptimize(info);
  state.SetItemsProcessed(total);
  state.counters["steps_per_second"] =
      benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
  destroyMachine(machine);
}

void BM_StepCountingLoop(benchmark::State& state) { runSteps(state, 1); }
void BM_StepFourVmThreads(benchmark::State& state) { runSteps(state, 4); }

BENCHMARK(BM_StepCountingLoop);
BENCHMARK(BM_StepCountingLoop)->Threads(2)->Threads(4)->UseRealTime();
BENCHMARK(BM_StepFourVmThreads);

}  // namespace

BENCHMARK_MAIN();
