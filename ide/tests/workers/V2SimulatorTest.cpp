#include "model/workers/V2Simulator.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "QStringPrinter.h"
#include "model/core/Services.h"
#include "model/libraries/Vx2CompLibrary.h"
#include "model/projects/VexaWatch.h"
#include "model/workers/MainThreadInvoker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;
using ::testing::_;
using ::testing::NiceMock;

// Module 1. A function one call deep.
const char* const kCalc =
    "int total;\n"                           // 1
    "float ratio;\n"                         // 2
    "string label;\n"                        // 3
    "function twice(int v) returns int {\n"  // 4
    "  total = total + v;\n"                 // 5
    "  return v * 2;\n"                      // 6
    "}\n";                                   // 7
// Module 2. A loop that calls it.
const char* const kMain =
    "int counter, result;\n"               // 1
    "byte small;\n"                        // 2
    "thread main {\n"                      // 3
    "  counter = 0;\n"                     // 4
    "  loop {\n"                           // 5
    "    counter = counter + 1;\n"         // 6
    "    result = calc.twice(counter);\n"  // 7
    "    small = counter % 200;\n"         // 8
    "    calc.ratio = 0.25;\n"             // 9
    "    calc.label = \"abc\";\n"          // 10
    "  }\n"                                // 11
    "}\n";                                 // 12

constexpr int kCalcModule = 1;
constexpr int kMainModule = 2;
const QString kSetValueError = QStringLiteral(
    "Der neue Wert konnte nicht gesetzt werden!\r\nÜberprüfen Sie, dass der neue Wert kompatibel "
    "zum Typ des Bezeichners ist.");

// Compiles the modules (in order, numbered from 1) into Base + ".dbg".
::testing::AssertionResult Compile(const std::vector<std::pair<QString, QByteArray>>& Modules,
                                   const QString& Base) {
  TVx2CompLibrary library(QStringLiteral("test"));
  std::vector<int> numbers;
  for (const auto& [name, text] : Modules) numbers.push_back(library.AddModule(name, text));
  library.BeginBuild();
  for (int number : numbers)
    if (library.CompileModule(number) != 0)
      return ::testing::AssertionFailure() << library.MessageText().toStdString();
  if (!library.FinishBuild())
    return ::testing::AssertionFailure() << library.MessageText().toStdString();
  library.WriteOutputFile(Base);
  return ::testing::AssertionSuccess();
}

// A German numeric locale (a decimal comma) while it lives, when the system has one.
class TGermanNumbers {
 public:
  TGermanNumbers() { std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); }
  ~TGermanNumbers() { Restore(); }
  void Restore() { std::setlocale(LC_NUMERIC, "C"); }
};

// The project's side: breakpoints and watches it hands out, and what it was told.
struct TProjectSide {
  std::shared_ptr<NiceMock<test::MockV2SimulationProject>> project =
      std::make_shared<NiceMock<test::MockV2SimulationProject>>();
  std::vector<std::pair<int, int>> breakpoints;
  std::vector<Ref<IVexaWatch>> watches;
  QStringList events;  // "RunningChanged(1)", "PausedAt(1,2,7)", "Watches"
  std::function<void()> onWatches;
  std::function<void(bool, int, int)> onPausedAt;
  std::function<void(bool)> onRunningChanged;

  TProjectSide() {
    ON_CALL(*project, RunningChanged(_)).WillByDefault([this](bool Running) {
      events << QStringLiteral("RunningChanged(%1)").arg(int(Running));
      if (onRunningChanged) onRunningChanged(Running);
    });
    ON_CALL(*project, PausedAt(_, _, _)).WillByDefault([this](bool Show, int Module, int Line) {
      events << QStringLiteral("PausedAt(%1,%2,%3)").arg(int(Show)).arg(Module).arg(Line);
      if (onPausedAt) onPausedAt(Show, Module, Line);
    });
    ON_CALL(*project, ForEachBreakpoint(_))
        .WillByDefault([this](const std::function<void(int, int)>& Callback) {
          for (auto it = breakpoints.rbegin(); it != breakpoints.rend(); ++it)
            Callback(it->first, it->second);
        });
    ON_CALL(*project, ForEachWatch(_))
        .WillByDefault([this](const std::function<void(const Ref<IVexaWatch>&)>& Callback) {
          for (const auto& watch : watches) Callback(watch);
          events << QStringLiteral("Watches");
          if (onWatches) onWatches();
        });
  }

  Ref<IVexaWatch> AddWatch(const QString& Name) {
    watches.push_back(std::make_shared<TVexaV2Watch>(Name));
    return watches.back();
  }

  int LastIndexOf(const QString& Prefix) const {
    for (qsizetype i = events.size() - 1; i >= 0; --i)
      if (events[i].startsWith(Prefix)) return int(i);
    return -1;
  }
};

class V2SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(Compile({{"calc", kCalc}, {"main", kMain}}, Base()));
  }

  QString Base(const QString& Name = QStringLiteral("prog")) const { return dir_.filePath(Name); }

  std::shared_ptr<TV2Simulator> Make(TProjectSide& Side, const QString& Base,
                                     const TVx2SimFunctions& Functions = {}) {
    TV2Simulator::TSeams seams;
    seams.Functions = Functions;
    seams.Invoker = invoker_;
    seams.Dialogs = dialogs_;
    return TV2Simulator::Create(Side.project, Base, std::move(seams));
  }

  // Pumps until the simulation has come to rest paused: Expected among the
  // events that come from now on, the watches refreshed after it.
  ::testing::AssertionResult WaitPaused(TProjectSide& Side, TV2Simulator& Sim,
                                        const QString& Expected) {
    const int from = int(Side.events.size());
    const bool done = invoker_->PumpUntil(
        [&] {
          const int paused = Side.LastIndexOf(Expected);
          return Sim.RunState() == TV2Simulator::TRunState::Paused && paused >= from &&
                 Side.LastIndexOf("Watches") > paused;
        },
        10s);
    if (done) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no " << Expected.toStdString() << "; run state " << static_cast<int>(Sim.RunState())
           << ", events " << Side.events.mid(from).join(' ').toStdString();
  }

  // Pumps until the simulation has come to rest stopped, from now on.
  ::testing::AssertionResult WaitStopped(TProjectSide& Side, TV2Simulator& Sim) {
    const int from = int(Side.events.size());
    const bool done = invoker_->PumpUntil(
        [&] {
          const int stopped = Side.LastIndexOf("RunningChanged(0)");
          return Sim.RunState() == TV2Simulator::TRunState::Stopped && stopped >= from &&
                 Side.LastIndexOf("Watches") > stopped;
        },
        10s);
    if (done) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "not stopped; events " << Side.events.mid(from).join(' ').toStdString();
  }

  static QString At(int Module, int Line, bool Show = true) {
    return QStringLiteral("PausedAt(%1,%2,%3)").arg(int(Show)).arg(Module).arg(Line);
  }

  QTemporaryDir dir_;
  std::shared_ptr<TManualInvoker> invoker_ = std::make_shared<TManualInvoker>();
  std::shared_ptr<test::TFakeDialogs> dialogs_ = std::make_shared<test::TFakeDialogs>();
};

TEST_F(V2SimulatorTest, FirstStepAfterAResetStopsAtTheFirstStatement) {
  TProjectSide side;
  auto sim = Make(side, Base());
  EXPECT_EQ(sim->RunState(), TV2Simulator::TRunState::Stopped);
  EXPECT_TRUE(sim->CanRun());
  EXPECT_FALSE(sim->CanStepOut());
  EXPECT_EQ(sim->GetProject(), side.project);

  for (int round = 0; round < 2; ++round) {
    side.events.clear();
    sim->StepOver();
    ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 4)));
    EXPECT_EQ(side.events.mid(0, 2), (QStringList{"RunningChanged(1)", At(kMainModule, 4)}));
    EXPECT_TRUE(sim->IsPaused());
    EXPECT_TRUE(sim->CanStepInto());
    // Stopping resets the machine: the next step starts from the top again.
    sim->Stop();
    ASSERT_TRUE(WaitStopped(side, *sim));
    EXPECT_EQ(sim->StepCount(), 0);
  }
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_F(V2SimulatorTest, BreakpointsAndStepsStopWhereTheUserExpects) {
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto sim = Make(side, Base());
  sim->UpdateBreakpoints();

  // A breakpoint on line 7 of the main module.
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  EXPECT_EQ(side.events.first(), "RunningChanged(1)");
  EXPECT_EQ(sim->ShownDepth(), 0);
  EXPECT_FALSE(sim->CanStepOut());

  // Step over the call: the next line, same depth; the breakpoint does not
  // fire again when the call returns into its line.
  sim->StepOver();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 8)));
  EXPECT_EQ(sim->ShownDepth(), 0);

  // Round the loop to the breakpoint again, into the call, and out of it.
  side.events.clear();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  EXPECT_EQ(side.events.first(), At(kMainModule, 8, false));
  sim->StepInto();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kCalcModule, 5)));
  EXPECT_EQ(sim->ShownDepth(), 1);
  EXPECT_TRUE(sim->CanStepOut());
  sim->StepOver();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kCalcModule, 6)));
  // Out of the call: back on the caller's line, one level up.
  sim->StepOut();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  EXPECT_EQ(sim->ShownDepth(), 0);
  EXPECT_FALSE(sim->CanStepOut());
  sim->StepOver();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 8)));

  // Step out at depth 0 behaves like step over.
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  side.events.clear();
  sim->StepOut();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 8)));
  EXPECT_EQ(side.events.indexOf(At(kCalcModule, 5)), -1);

  // Run to the cursor: stops there once, later runs pass it.
  side.events.clear();
  sim->RunToCursor(kMainModule, 10);
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 10)));
  for (int round = 0; round < 2; ++round) {
    sim->Run();
    ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  }
  EXPECT_EQ(side.events.count(At(kMainModule, 10)), 1) << side.events.join(' ').toStdString();
  EXPECT_EQ(side.events.count(At(kMainModule, 7)), 2);

  // Without breakpoints a run goes on until paused.
  side.events.clear();
  side.breakpoints.clear();
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->StepCount() > 20000; }, 10s));
  EXPECT_TRUE(sim->IsRunning());
  EXPECT_FALSE(sim->CanRun());
  EXPECT_FALSE(sim->CanStepOver());
  EXPECT_EQ(side.events.count(At(kMainModule, 7)), 0);
  sim->Pause();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->IsPaused(); }, 10s));
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_F(V2SimulatorTest, WatchesGetValuesAndTypesAndTakeNewValues) {
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto counter = side.AddWatch("main.counter");
  auto small = side.AddWatch("main.small");
  auto ratio = side.AddWatch("calc.ratio");
  auto label = side.AddWatch("calc.label");
  auto unknown = side.AddWatch("main.nothing");
  auto sim = Make(side, Base());
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));

  EXPECT_EQ(counter->GetType(), TWatchType::Int);
  EXPECT_EQ(counter->GetValueText(), "2");
  EXPECT_EQ(small->GetType(), TWatchType::Byte);
  EXPECT_EQ(small->GetValueText(), "1");
  EXPECT_EQ(ratio->GetType(), TWatchType::Float);
  EXPECT_EQ(ratio->GetValueText(), "0.25");
  EXPECT_EQ(label->GetType(), TWatchType::String);
  EXPECT_EQ(label->GetValueText(), "\"abc\"");
  EXPECT_FALSE(unknown->HasValue());
  EXPECT_EQ(unknown->GetIndex(), -1);
  EXPECT_EQ(unknown->GetValueText(), QString::fromUtf16(kNoValueText));

  // A refresh with new value texts: the int takes "40 + 1", the float
  // round-trips the text the watch shows.
  // The texts do not depend on the process's numeric locale.
  TGermanNumbers german;
  counter->SetTypeText("40 + 1");
  ratio->SetFloatValue(-1.5e-3);
  ratio->SetTypeText(ratio->GetValueText());
  const int watchesBefore = int(side.events.count("Watches"));
  sim->Refresh();
  ASSERT_TRUE(
      invoker_->PumpUntil([&] { return side.events.count("Watches") > watchesBefore; }, 10s));
  EXPECT_EQ(counter->GetValueText(), "41");
  EXPECT_EQ(counter->GetTypeText(), QString());
  EXPECT_EQ(ratio->GetValueText(), "-0.0015");
  EXPECT_TRUE(dialogs_->calls.empty());
  german.Restore();

  // "abc" does not fit an int: the box, the text cleared, the value kept.
  counter->SetTypeText("abc");
  sim->Refresh();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return !dialogs_->calls.empty(); }, 10s));
  ASSERT_EQ(dialogs_->Texts(), QStringList{kSetValueError});
  EXPECT_EQ(counter->GetTypeText(), QString());
  EXPECT_EQ(counter->GetValueText(), "41");

  // The program goes on with the value the user set.
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  EXPECT_EQ(counter->GetValueText(), "42");

  // Stopped: no value anywhere.
  sim->Stop();
  ASSERT_TRUE(WaitStopped(side, *sim));
  for (const auto& watch : side.watches) {
    EXPECT_FALSE(watch->HasValue()) << watch->GetName().toStdString();
    EXPECT_EQ(watch->GetIndex(), -1);
  }
}

TEST_F(V2SimulatorTest, ANewerCommandReplacesOneNotYetTaken) {
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto sim = Make(side, Base());
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));

  // The worker takes the step and waits in its PausedAt(false) call while
  // Stop and then Pause are posted: only Pause is taken, after the step.
  side.events.clear();
  sim->StepInto();
  ASSERT_TRUE(invoker_->WaitForTask(10s));
  sim->Stop();
  sim->Pause();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kCalcModule, 5)));
  EXPECT_FALSE(invoker_->PumpUntil(
      [&] { return sim->RunState() != TV2Simulator::TRunState::Paused; }, 300ms));
  EXPECT_EQ(side.events.indexOf("RunningChanged(0)"), -1) << side.events.join(' ').toStdString();
}

TEST_F(V2SimulatorTest, ARefreshNeverReplacesAPendingRun) {
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto counter = side.AddWatch("main.counter");
  auto sim = Make(side, Base());
  sim->UpdateBreakpoints();
  // Posted from the first pause, while the worker waits in that call, so
  // both come before the worker takes Run.
  bool posted = false;
  side.onPausedAt = [&](bool Show, int, int) {
    if (!Show || posted) return;
    posted = true;
    sim->Run();
    sim->Refresh();
  };
  sim->Run();
  ASSERT_TRUE(invoker_->PumpUntil(
      [&] {
        return side.events.count(At(kMainModule, 7)) == 2 &&
               side.LastIndexOf("Watches") > side.LastIndexOf(At(kMainModule, 7));
      },
      10s))
      << side.events.join(' ').toStdString();
  EXPECT_TRUE(sim->IsPaused());
  EXPECT_EQ(counter->GetValueText(), "2");
}

TEST_F(V2SimulatorTest, ACommandGivenOnceTheStopIsShownIsKept) {
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto sim = Make(side, Base());
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));

  // Run from the project's RunningChanged(false): the program starts again.
  side.onRunningChanged = [&](bool Running) {
    if (!Running) sim->Run();
  };
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  side.events.clear();
  sim->Stop();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  EXPECT_EQ(side.events.mid(0, 4), (QStringList{"RunningChanged(0)", At(kMainModule, 7, false),
                                                "Watches", "RunningChanged(1)"}));
}

TEST_F(V2SimulatorTest, RunTimeErrorsShowTheirTextAndChangeTheRunState) {
  struct Case {
    const char* name;
    const char* source;
    TV2Simulator::TRunState runState;
    QString text;
  } cases[] = {
      {"ends", "int a;\nthread main {\n  a = 1;\n  halt;\n}\n", TV2Simulator::TRunState::Stopped,
       "Alle Threads im Programm gestoppt"},
      {"divides", "int a, b;\nthread main {\n  a = 1;\n  b = a / (a - 1);\n}\n",
       TV2Simulator::TRunState::Paused, "Ungültige mathematische Operation"},
      {"recurses",
       "int a;\nfunction deep(int n) returns int {\n  return deep(n + 1);\n}\n"
       "thread main {\n  a = deep(1);\n}\n",
       TV2Simulator::TRunState::Paused, "Stacküberlauf (Aufrufebene "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Compile({{"main", c.source}}, Base(c.name)));
    dialogs_->calls.clear();
    TProjectSide side;
    auto sim = Make(side, Base(c.name));
    sim->Run();
    ASSERT_TRUE(invoker_->PumpUntil([&] { return !dialogs_->calls.empty(); }, 10s));
    ASSERT_EQ(dialogs_->calls.size(), 1u);
    EXPECT_TRUE(dialogs_->calls[0].text.startsWith(c.text))
        << dialogs_->calls[0].text.toStdString();
    EXPECT_EQ(sim->RunState(), c.runState);
    if (c.runState == TV2Simulator::TRunState::Stopped) {
      EXPECT_TRUE(side.events.contains("RunningChanged(0)"));
    } else {
      EXPECT_EQ(side.events.indexOf("RunningChanged(0)"), -1);
      EXPECT_GE(side.LastIndexOf("PausedAt(1,1,"), 0) << side.events.join(' ').toStdString();
    }
  }
}

TEST_F(V2SimulatorTest, CanCloseAsksOnlyWhileTheProgramIsActive) {
  TProjectSide side;
  auto sim = Make(side, Base());
  EXPECT_TRUE(sim->CanClose());
  EXPECT_TRUE(dialogs_->calls.empty());

  sim->Run();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->IsRunning(); }, 10s));
  const QString question =
      QStringLiteral("Der Simulator ist aktiv, soll das laufende Programm abgebrochen werden?");
  dialogs_->confirmAnswers = {false, true};
  EXPECT_FALSE(sim->CanClose());
  EXPECT_FALSE(invoker_->PumpUntil([&] { return !sim->IsRunning(); }, 300ms));
  EXPECT_TRUE(sim->CanClose());
  ASSERT_TRUE(WaitStopped(side, *sim));
  EXPECT_EQ(dialogs_->Texts(), (QStringList{question, question}));
}

TEST_F(V2SimulatorTest, CreatingFromAMissingProgramThrowsTheInternalError) {
  TProjectSide side;
  try {
    Make(side, Base("missing"));
    FAIL() << "no exception";
  } catch (const EV2SimException& e) {
    EXPECT_STREQ(e.what(), "Internal error: createMachine() failed");
  }
}

TEST_F(V2SimulatorTest, DestroyingWhileACallIsQueuedReturnsPromptly) {
  TProjectSide side;
  auto sim = Make(side, Base());
  sim->Run();
  // The worker waits in its RunningChanged call, which is never pumped.
  ASSERT_TRUE(invoker_->WaitForTask(10s));
  const auto start = std::chrono::steady_clock::now();
  sim.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  // The cancelled call never reaches the project.
  invoker_->Pump();
  EXPECT_TRUE(side.events.isEmpty());
}

TEST_F(V2SimulatorTest, ReleasedInsideItsOwnErrorBoxItEndsWithoutDeadlockOrUseAfterFree) {
  // The project lets go of the simulation while the box is up (a build replaced it).
  struct TReleasingDialogs : test::TFakeDialogs {
    std::shared_ptr<TV2Simulator>* holder = nullptr;
    void ShowError(const QString& Text) override {
      TFakeDialogs::ShowError(Text);
      if (holder) holder->reset();
    }
  };
  auto releasing = std::make_shared<TReleasingDialogs>();
  dialogs_ = releasing;
  TProjectSide side;
  side.breakpoints = {{kMainModule, 7}};
  auto counter = side.AddWatch("main.counter");
  auto sim = Make(side, Base());
  releasing->holder = &sim;
  std::weak_ptr<TV2Simulator> weak = sim;
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(kMainModule, 7)));
  counter->SetTypeText("abc");
  sim->Refresh();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return weak.expired(); }, 10s));
  EXPECT_EQ(releasing->Texts(), QStringList{kSetValueError});
  // The rest of the refresh ran on the live simulation: the counter has its value.
  EXPECT_EQ(counter->GetValueText(), "1");
  EXPECT_EQ(invoker_->Pump(), 0);
}

// A machine of the fakes below: every step call reports what Script says.
struct TFakeMachine {
  std::mutex mutex;
  std::int64_t steps = 0;
  // Steps at which the record reports a change, and the record then.
  std::map<std::int64_t, StepInfo> script;
  // Runs on the worker during the step of that number.
  std::int64_t hookStep = 0;
  std::function<void()> hook;
};
TFakeMachine* fakeMachine = nullptr;

Vx2SimHandle FakeCreate(const char*) { return reinterpret_cast<Vx2SimHandle>(fakeMachine); }
std::int32_t FakeDestroy(Vx2SimHandle) { return 1; }
std::int32_t FakeReset(Vx2SimHandle) { return 1; }
std::int32_t FakeStep(Vx2SimHandle Machine, StepInfo* Info) {
  auto* machine = reinterpret_cast<TFakeMachine*>(Machine);
  std::lock_guard lock(machine->mutex);
  if (++machine->steps == machine->hookStep) machine->hook();
  const auto it = machine->script.find(machine->steps);
  if (it != machine->script.end())
    *Info = it->second;
  else
    Info->changes &= ~0xFFFF;
  return 1;
}

// The machine functions of the fake: create, destroy, reset and step.
TVx2SimFunctions FakeMachineFunctions() {
  TVx2SimFunctions functions;
  functions.createMachine = &FakeCreate;
  functions.destroyMachine = &FakeDestroy;
  functions.resetMachine = &FakeReset;
  functions.step = &FakeStep;
  return functions;
}

TEST_F(V2SimulatorTest, BurstsAreAtMost1001StepsAndBreakpointsNeedANewStatement) {
  TFakeMachine machine;
  fakeMachine = &machine;
  // A line change without a new statement on the breakpoint's line, then
  // the statement itself.
  machine.script[1500] = StepInfo{0, VX2SIM_CHANGED_LINE, 0, 1, 5, 3, 1, 0};
  machine.script[1700] = StepInfo{0, VX2SIM_CHANGED_STATEMENT, 0, 1, 5, 4, 1, 0};
  TVx2SimFunctions functions = FakeMachineFunctions();
  TProjectSide side;
  side.breakpoints = {{1, 5}};
  auto sim = Make(side, "fake", functions);
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(1, 5)));
  // 1001 calls, then a burst ended early at 1500, then one at 1700.
  EXPECT_EQ(sim->StepCount(), 1700);
  EXPECT_EQ(side.events.count(At(1, 5)), 1);

  // Without changes every burst is exactly 1001 calls long.
  side.breakpoints.clear();
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->StepCount() > 50000; }, 10s));
  sim->Pause();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->IsPaused(); }, 10s));
  EXPECT_EQ((sim->StepCount() - 1700) % TV2Simulator::kBurstSteps, 0);
  sim.reset();
  fakeMachine = nullptr;
}

TEST_F(V2SimulatorTest, ACommandGivenWhileTheProgramStillRanIsVoidWhenItStops) {
  TFakeMachine machine;
  fakeMachine = &machine;
  machine.script[3000] = StepInfo{VX2SIM_ALL_STOPPED, VX2SIM_CHANGED_RUN_STATE, 0, 1, 3, 0, 1, 0};
  TVx2SimFunctions functions = FakeMachineFunctions();
  TProjectSide side;
  auto sim = Make(side, "fake", functions);
  // The user pauses during the burst in which the last thread stops.
  machine.hookStep = 2999;
  machine.hook = [&] { sim->Pause(); };
  sim->Run();
  ASSERT_TRUE(WaitStopped(side, *sim));
  EXPECT_FALSE(invoker_->PumpUntil(
      [&] { return sim->RunState() != TV2Simulator::TRunState::Stopped; }, 300ms));
  EXPECT_EQ(side.events, (QStringList{"RunningChanged(1)", "RunningChanged(0)", "Watches"}));
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Alle Threads im Programm gestoppt"});
  sim.reset();
  fakeMachine = nullptr;
}

std::int32_t FailingStep(Vx2SimHandle, StepInfo*) { return 0; }

TEST_F(V2SimulatorTest, AFailingLibraryCallEndsTheThreadWithItsBoxAndStopsTheProgram) {
  TFakeMachine machine;
  fakeMachine = &machine;
  TVx2SimFunctions functions = FakeMachineFunctions();
  functions.step = &FailingStep;
  TProjectSide side;
  auto sim = Make(side, "fake", functions);
  sim->Run();
  ASSERT_TRUE(invoker_->PumpUntil([&] { return sim->Finished(); }, 10s));
  invoker_->Pump();
  ASSERT_EQ(dialogs_->calls.size(), 1u);
  const QString text = dialogs_->calls[0].text;
  EXPECT_TRUE(text.startsWith("Internal error in TV2Simulator.Execute()\r\n\r\n"))
      << text.toStdString();
  EXPECT_TRUE(text.endsWith(": step() failed")) << text.toStdString();
  EXPECT_EQ(sim->RunState(), TV2Simulator::TRunState::Stopped);
  EXPECT_EQ(side.events, (QStringList{"RunningChanged(1)", "RunningChanged(0)"}));
  sim.reset();
  fakeMachine = nullptr;
}

// Variables of the fake lookup: name, index, type code.
std::int32_t FakeVarInfo(Vx2SimHandle, const char* Name, VarInfo* Info) {
  static const std::map<std::string, VarInfo> vars = {{"v.byte", {1, VX2SIM_TYPE_BYTE}},
                                                      {"v.float", {2, VX2SIM_TYPE_FLOAT}},
                                                      {"v.text", {3, VX2SIM_TYPE_STRING}},
                                                      {"v.seven", {4, 7}},
                                                      {"v.minus", {5, -1}},
                                                      {"v.big", {6, 0x7FFFFFFF}}};
  const auto it = vars.find(Name);
  if (it == vars.end()) return 0;
  *Info = it->second;
  return 1;
}
std::int32_t FakeInteger(Vx2SimHandle, std::int32_t, std::int32_t* Value) {
  *Value = 0x1FF;
  return 1;
}
std::int32_t FakeFloat(Vx2SimHandle, std::int32_t, double* Value) {
  *Value = 0.5;
  return 1;
}
std::int32_t FakeString(Vx2SimHandle, std::int32_t Index, char* Text) {
  const std::string text = "s" + std::to_string(Index);
  std::memcpy(Text, text.c_str(), text.size() + 1);
  return 1;
}

TEST_F(V2SimulatorTest, AVariableTypeCodeTheIdeDoesNotKnowReadsAsAString) {
  TFakeMachine machine;
  fakeMachine = &machine;
  machine.script[10] = StepInfo{0, VX2SIM_CHANGED_STATEMENT, 0, 1, 5, 4, 1, 0};
  TVx2SimFunctions functions = FakeMachineFunctions();
  functions.getVarInfo = &FakeVarInfo;
  functions.getIntegerValue = &FakeInteger;
  functions.getFloatValue = &FakeFloat;
  functions.getStringText = &FakeString;
  TProjectSide side;
  side.breakpoints = {{1, 5}};
  auto byte = side.AddWatch("v.byte");
  auto real = side.AddWatch("v.float");
  auto text = side.AddWatch("v.text");
  auto seven = side.AddWatch("v.seven");
  auto minus = side.AddWatch("v.minus");
  auto big = side.AddWatch("v.big");
  auto sim = Make(side, "fake", functions);
  sim->UpdateBreakpoints();
  sim->Run();
  ASSERT_TRUE(WaitPaused(side, *sim, At(1, 5)));

  EXPECT_EQ(byte->GetType(), TWatchType::Byte);
  EXPECT_EQ(byte->GetValueText(), "255");
  EXPECT_EQ(real->GetType(), TWatchType::Float);
  EXPECT_EQ(real->GetValueText(), "0.5");
  EXPECT_EQ(text->GetType(), TWatchType::String);
  EXPECT_EQ(text->GetValueText(), "\"s3\"");
  // Codes outside the library's list are strings too.
  for (const auto& watch : {seven, minus, big}) {
    SCOPED_TRACE(watch->GetName().toStdString());
    EXPECT_EQ(watch->GetType(), TWatchType::String);
    EXPECT_EQ(watch->GetValueText(), QStringLiteral("\"s%1\"").arg(watch->GetIndex()));
  }
  EXPECT_EQ(big->GetIndex(), 6);
  EXPECT_TRUE(dialogs_->calls.empty());
  sim.reset();
  fakeMachine = nullptr;
}

TEST_F(V2SimulatorTest, RegisteredCreatorMakesTheSimulationOfABuild) {
  RegisterV2Simulator();
  ASSERT_TRUE(V2SimulationFactory);
  TProjectSide side;
  try {
    V2SimulationFactory->CreateSimulation(side.project, Base("missing"));
    ADD_FAILURE() << "no exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Internal error: createMachine() failed");
  }
  Ref<IVexaSimulator> sim = V2SimulationFactory->CreateSimulation(side.project, Base());
  ASSERT_TRUE(sim);
  EXPECT_EQ(sim->GetProject(), side.project);
  EXPECT_TRUE(sim->CanRun());
  sim.reset();
  V2SimulationFactory.reset();
}

}  // namespace
}  // namespace vexa::ide
