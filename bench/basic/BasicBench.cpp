// Compile speed of a large generated VXBasic source, and stepping speed of
// the interpreter.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "QuorinInstance.h"

namespace {

// Variables, labels, loops, branches, output and a table; `blocks` blocks of
// 10 lines each.
std::string generatedSource(int blocks) {
  std::string s = "DEFINE I BYTE\nDEFINE A WORD\nDEFINE B WORD\nDEFINE LED PORT[1]\n";
  for (int k = 0; k < blocks; ++k) {
    std::string n = std::to_string(k);
    s += "#L" + n + " A = A + " + n + " * 3 - (B / 7)\n";
    s += "IF A > " + n + " AND B <> 0 THEN B = B + 1 ELSE B = B - 1\n";
    s += "FOR I = 1 TO 10\n";
    s += "PRINT \"value \"; A, B\n";
    s += "NEXT\n";
    s += "LED = A SHL 1 OR B\n";
    s += "ON I GOSUB S" + n + ", L" + n + "\n";
    s += "LOOKTAB T, I, A ' table lookup\n";
    s += "IF A = 0 THEN GOTO L" + n + "\n";
    s += "#S" + n + " RETURN A MOD 5\n";
  }
  s += "END\nTABLE T 1 2 3 4 5 6 7 8 9 10 TABEND\n";
  return s;
}

void CompileLargeSource(benchmark::State& state) {
  const std::string source = generatedSource(static_cast<int>(state.range(0)));
  auto inst = std::make_unique<vexa::vxbasic::QuorinInstance>();
  inst->source = source.c_str();
  for (auto _ : state) {
    uint32_t status = vexa::vxbasic::compile(*inst, nullptr);
    if (status != 0) state.SkipWithError("compile failed");
    benchmark::DoNotOptimize(status);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
  state.SetLabel(std::to_string(source.size()) + " bytes");
}
BENCHMARK(CompileLargeSource)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void StepLoop(benchmark::State& state) {
  const std::string source =
      "DEFINE I WORD\nDEFINE S WORD\n#TOP FOR I = 1 TO 1000\nS = S + I * 3 MOD 7\nNEXT\nGOTO TOP\n";
  auto inst = std::make_unique<vexa::vxbasic::QuorinInstance>();
  inst->source = source.c_str();
  if (vexa::vxbasic::compile(*inst, nullptr) != 0) {
    state.SkipWithError("compile failed");
    return;
  }
  inst->interpreter().reset();
  for (auto _ : state) benchmark::DoNotOptimize(inst->interpreter().step());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(StepLoop);

}  // namespace

BENCHMARK_MAIN();
