// The V2 simulator worker on a compiled counting loop, headless (the main
// thread pumps a manual invoker): steps per second of a run through the
// worker next to the raw step calls on the same program, and the time from
// a pause command to the project's PausedAt on the main thread.
#include <benchmark/benchmark.h>

#include "model/core/V2SimulationProject.h"
#include "model/libraries/Vx2CompLibrary.h"
#include "model/workers/MainThreadInvoker.h"
#include "model/workers/V2Simulator.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace {

using namespace std::chrono_literals;
using namespace vexa::ide;

// The project a simulation reports to: counts the pauses it shows, does nothing else.
class TProject final : public IV2SimulationProject {
 public:
  int pauses = 0;

  void PausedAt(bool Show, int, int) override {
    if (Show) ++pauses;
  }
  void ForEachBreakpoint(const std::function<void(int, int)>&) override {}
  void ForEachWatch(const std::function<void(const Ref<IVexaWatch>&)>&) override {}
  bool Activate() override { return false; }
  void AddWatch(const Ref<IVexaModule>&, int, const QString&) override {}
  Ref<IVexaWatch> AddWatchName(const QString&) override { return nullptr; }
  void Build() override {}
  bool CanBuild() override { return false; }
  bool CloseQuery() override { return true; }
  bool CanDeleteModule(const Ref<IVexaModule>&) override { return false; }
  bool CanDownload() override { return false; }
  bool CanEditModules(TModuleKind) override { return false; }
  bool CanFindDeclaration() override { return false; }
  bool CanReturnFromDefinition() override { return false; }
  bool CanInsertModule() override { return false; }
  bool IsModuleNameFree(const Ref<IVexaModule>&, const QString&) override { return false; }
  bool IsBuilt() override { return true; }
  void ClearAllBreakpoints() override {}
  void Close() override {}
  bool MayDeactivate() override { return true; }
  bool DeleteModule(const Ref<IVexaModule>&) override { return false; }
  void DeleteWatch(int) override {}
  void Download() override {}
  void EditModules(TModuleKind) override {}
  std::optional<QStringList> GetIdentCompletions(const Ref<IVexaModule>&, int,
                                                 const QString&) override {
    return std::nullopt;
  }
  void FindDeclaration(const Ref<IVexaModule>&, int, const QString&) override {}
  void ReturnFromDefinition() override {}
  bool HasBreakpoints() override { return false; }
  bool InsertModule() override { return false; }
  Ref<IVexaModule> FindModule(const QString&) override { return nullptr; }
  bool MoveModule(const Ref<IVexaModule>&, bool) override { return false; }
  bool Save() override { return true; }
  void ModuleChanged(const Ref<IVexaModule>&, bool) override {}
  void BreakpointsChanged() override {}
  int GetBreakpointCount() override { return 0; }
  int GetBreakpoint(int) override { return -1; }
  QString GetFileName() override { return {}; }
  QString GetName() override { return QStringLiteral("bench"); }
  bool IsSingleModule() override { return true; }
  bool HasChanges() override { return false; }
  int GetModuleCount() override { return 0; }
  Ref<IVexaModule> GetModule(int) override { return nullptr; }
  bool GetModified() override { return false; }
  bool IsRunning() override { return false; }
  Ref<IVexaWatch> GetWatch(int) override { return nullptr; }
  int GetWatchCount() override { return 0; }
  void RunningChanged(bool) override {}
};

const char* const kLoop =
    "int counter;\n"
    "thread main {\n"
    "  loop {\n"
    "    counter = counter + 1;\n"
    "  }\n"
    "}\n";

// The counting loop compiled into a temporary folder; empty base when it failed.
class TLoopProgram {
 public:
  TLoopProgram() {
    if (!dir_.isValid()) return;
    TVx2CompLibrary library(QStringLiteral("bench"));
    const int module = library.AddModule(QStringLiteral("main"), QByteArray(kLoop));
    library.BeginBuild();
    if (library.CompileModule(module) != 0 || !library.FinishBuild()) return;
    base_ = dir_.filePath(QStringLiteral("loop"));
    library.WriteOutputFile(base_);
  }
  const QString& base() const { return base_; }

 private:
  QTemporaryDir dir_;
  QString base_;
};

void BM_RawStepBursts(benchmark::State& state) {
  TLoopProgram program;
  const Vx2SimHandle machine = program.base().isEmpty()
                                   ? nullptr
                                   : createMachine(QFile::encodeName(program.base()).constData());
  if (!machine) {
    state.SkipWithError("no machine");
    return;
  }
  StepInfo info{};
  std::int64_t total = 0;
  for (auto _ : state) {
    int calls = 0;
    do {
      step(machine, &info);
      ++calls;
    } while (calls < TV2Simulator::kBurstSteps && (info.changes & 0xFFFF) == 0);
    total += calls;
  }
  state.counters["steps_per_second"] =
      benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
  destroyMachine(machine);
}
BENCHMARK(BM_RawStepBursts);

struct TWorkerSetup {
  TLoopProgram program;
  std::shared_ptr<TManualInvoker> invoker = std::make_shared<TManualInvoker>();
  std::shared_ptr<TProject> project = std::make_shared<TProject>();
  std::shared_ptr<TV2Simulator> sim;

  bool Start() {
    if (program.base().isEmpty()) return false;
    TV2Simulator::TSeams seams;
    seams.Invoker = invoker;
    sim = TV2Simulator::Create(project, program.base(), std::move(seams));
    return true;
  }
};

// Runs for 200 ms per iteration while the main thread pumps.
void BM_WorkerRunSteps(benchmark::State& state) {
  TWorkerSetup setup;
  if (!setup.Start()) {
    state.SkipWithError("no program");
    return;
  }
  setup.sim->Run();
  double seconds = 0;
  std::int64_t before = setup.sim->StepCount();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    setup.invoker->PumpUntil([] { return false; }, 200ms);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const std::int64_t steps = setup.sim->StepCount() - before;
  state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(steps) / seconds);
  setup.sim->Stop();
  setup.invoker->PumpUntil(
      [&] { return setup.sim->RunState() == TV2Simulator::TRunState::Stopped; }, 5s);
}
BENCHMARK(BM_WorkerRunSteps)->Iterations(10)->Unit(benchmark::kMillisecond);

// From Pause() to PausedAt on the main thread, the program running meanwhile.
void BM_PauseLatency(benchmark::State& state) {
  TWorkerSetup setup;
  if (!setup.Start()) {
    state.SkipWithError("no program");
    return;
  }
  double worst = 0;
  for (auto _ : state) {
    setup.sim->Run();
    setup.invoker->PumpUntil([&] { return false; }, 20ms);
    const int pauses = setup.project->pauses;
    const auto start = std::chrono::steady_clock::now();
    setup.sim->Pause();
    if (!setup.invoker->PumpUntil([&] { return setup.project->pauses > pauses; }, 5s)) {
      state.SkipWithError("no pause");
      break;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    worst = std::max(worst, elapsed);
    state.SetIterationTime(elapsed);
  }
  state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_PauseLatency)->UseManualTime()->Iterations(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
