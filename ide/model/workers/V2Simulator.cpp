#include "model/workers/V2Simulator.h"

#include "model/core/Dialogs.h"
#include "model/core/Services.h"

#include <algorithm>
#include <cassert>

namespace vexa::ide {

namespace {

using namespace std::chrono_literals;

// Bits of the pending notifications.
constexpr int kRunningChanged = 1;
constexpr int kPausedChanged = 2;

constexpr std::int32_t kChangeMask = 0xFFFF;

// The watch type of a variable type of the library; any other code is a string.
TWatchType WatchTypeOf(std::int32_t VarType) {
  switch (VarType) {
    case VX2SIM_TYPE_BYTE: return TWatchType::Byte;
    case VX2SIM_TYPE_INT: return TWatchType::Int;
    case VX2SIM_TYPE_LONG: return TWatchType::Long;
    case VX2SIM_TYPE_FLOAT: return TWatchType::Float;
    default: return TWatchType::String;
  }
}

// The message of a run-time error of the program; empty for none.
QString RunTimeErrorText(const StepInfo& Info) {
  switch (Info.runState) {
    case VX2SIM_ALL_STOPPED: return QStringLiteral("Alle Threads im Programm gestoppt");
    case VX2SIM_STACK_OVERFLOW:
      return QStringLiteral("Stacküberlauf (Aufrufebene %1)").arg(Info.callDepth);
    case VX2SIM_MATH_ERROR: return QStringLiteral("Ungültige mathematische Operation");
    case VX2SIM_BAD_ARGUMENT: return QStringLiteral("Ungültiger Hardwarezugriff");
    default: return {};
  }
}

}  // namespace

std::shared_ptr<TV2Simulator> TV2Simulator::Create(const Ref<IV2SimulationProject>& Project,
                                                   const QString& OutputBaseName, TSeams Seams) {
  if (!Seams.Invoker) Seams.Invoker = std::make_shared<TQtMainThreadInvoker>();
  auto simulator =
      std::make_shared<TV2Simulator>(TPassKey{}, Project, OutputBaseName, std::move(Seams));
  // Started only now: the worker's calls hold the simulation weakly.
  simulator->Start();
  return simulator;
}

TV2Simulator::TV2Simulator(TPassKey, const Ref<IV2SimulationProject>& Project,
                           const QString& OutputBaseName, TSeams Seams)
    : project_(Project),
      dialogs_(Seams.Dialogs),
      machine_(OutputBaseName, Seams.Functions),
      kit_({Seams.Invoker, Seams.Clock, Seams.Dialogs},
           QStringLiteral("Internal error in TV2Simulator.Execute()")) {}

// The machine outlives the thread.
TV2Simulator::~TV2Simulator() { kit_.Stop(); }

void TV2Simulator::Start() {
  // After the error box of an internal error the thread is gone: the
  // project learns that the program no longer runs.
  kit_.Start([this](std::stop_token Stop) { Body(Stop); },
             [this] { SetRunState(TRunState::Stopped); });
}

// Main thread: the command replaces one not yet taken; a pending refresh stays.
void TV2Simulator::Post(int Command) {
  requests_.Post([Command](TRequest& r) { r.Command = Command; });
}

bool TV2Simulator::CanClose() {
  if (RunState() == TRunState::Stopped) return true;
  const QString text =
      QStringLiteral("Der Simulator ist aktiv, soll das laufende Programm abgebrochen werden?");
  if (!(dialogs_ ? dialogs_->Confirm(text) : Dialogs().Confirm(text))) return false;
  Stop();
  return true;
}

bool TV2Simulator::IsRunning() { return RunState() == TRunState::Running; }
bool TV2Simulator::IsPaused() { return RunState() == TRunState::Paused; }
bool TV2Simulator::CanRun() { return RunState() < TRunState::Running; }
bool TV2Simulator::IsPausedAgain() { return RunState() == TRunState::Paused; }
bool TV2Simulator::CanStepInto() { return RunState() < TRunState::Running; }
bool TV2Simulator::CanStepOver() { return RunState() < TRunState::Running; }
bool TV2Simulator::CanStepOut() { return RunState() < TRunState::Running && ShownDepth() >= 1; }
bool TV2Simulator::IsRunningAgain() { return RunState() == TRunState::Running; }

void TV2Simulator::Pause() { Post(CmdPause); }
void TV2Simulator::Stop() { Post(CmdStop); }
void TV2Simulator::Run() { Post(CmdRun); }
void TV2Simulator::StepInto() { Post(CmdStepInto); }
void TV2Simulator::StepOver() { Post(CmdStepOver); }
void TV2Simulator::StepOut() { Post(CmdStepOut); }

void TV2Simulator::RunToCursor(int Module, int Line) {
  {
    std::lock_guard lock(lock_);
    cursorModule_ = Module;
    cursorLine_ = Line;
    cursorActive_ = true;
  }
  Post(CmdRun);
}

void TV2Simulator::UpdateBreakpoints() {
  // Collected outside the lock: the worker never waits for the project.
  std::vector<TBreakpoint> breakpoints;
  if (const auto project = project_.lock())
    project->ForEachBreakpoint([&](int Module, int Line) {
      breakpoints.push_back({Module, Line});
    });
  std::lock_guard lock(lock_);
  breakpoints_ = std::move(breakpoints);
}

void TV2Simulator::Refresh() {
  const TRunState state = RunState();
  if (state == TRunState::Paused || state == TRunState::Running)
    requests_.Post([](TRequest& r) { r.Refresh = true; });
}

Ref<IVexaProject> TV2Simulator::GetProject() { return project_.lock(); }

void TV2Simulator::Body(std::stop_token Stop) {
  while (requests_.Wait(Stop)) {
    auto lastRefresh = kit_.Now();
    for (;;) {
      // The command and the refresh are taken, and the wake flag lowered, in
      // one critical section: a request posted after it wakes the next wait.
      const TRequest taken = requests_.Take([](TRequest& r) { return std::exchange(r, {}); });
      Apply(taken.Command);
      if (Stop.stop_requested()) return;
      if (RunState() < TRunState::Running) break;  // the refresh below covers a refresh request
      if (taken.Refresh) {
        RefreshWatches();
        lastRefresh = kit_.Now();
      }

      Burst();
      if (HandleRunTimeError()) break;
      if (stepping_ && StepTargetReached()) {
        SetRunState(TRunState::Paused);
        break;
      }
      if (BreakpointHit()) {
        SetRunState(TRunState::Paused);
        break;
      }
      if (kit_.Now() - lastRefresh >= kRefreshInterval) {
        RefreshWatches();
        lastRefresh = kit_.Now();
      }
      if (Stop.stop_requested()) return;
    }
    if (Stop.stop_requested()) return;
    if (RunState() == TRunState::Stopped) ResetMachine();
    RefreshWatches();
  }
}

void TV2Simulator::Apply(int Command) {
  switch (Command) {
    case CmdRun:
      stepping_ = false;
      SetRunState(TRunState::Running);
      break;
    case CmdStepInto:
    case CmdStepOver:
    case CmdStepOut:
      stepping_ = true;
      stepOverCalls_ = Command != CmdStepInto;
      targetThread_ = stepInfo_.thread;
      startStatement_ = stepInfo_.statement;
      targetDepth_ = stepInfo_.callDepth;
      if (Command == CmdStepOut && targetDepth_ > 0) --targetDepth_;
      SetRunState(TRunState::Running);
      break;
    case CmdPause: SetRunState(TRunState::Paused); break;
    case CmdStop: SetRunState(TRunState::Stopped); break;
    default: break;
  }
}

void TV2Simulator::SetRunState(TRunState State) {
  const TRunState old = RunState();
  if (State == old) return;
  if ((old == TRunState::Stopped) != (State == TRunState::Stopped))
    pendingChanges_ |= kRunningChanged;
  if ((old == TRunState::Paused) != (State == TRunState::Paused)) pendingChanges_ |= kPausedChanged;
  if (old == TRunState::Running) {
    std::lock_guard lock(lock_);
    cursorActive_ = false;
  }
  // A command given before the program stopped is void; one given after
  // the main thread could see the stop is kept.
  if (State == TRunState::Stopped) requests_.Take([](TRequest& r) { r.Command = CmdNone; });
  runState_.store(State, std::memory_order_release);
  if (kit_.StopRequested()) return;
  const int changes = std::exchange(pendingChanges_, 0);
  const int module = stepInfo_.module;
  const int line = stepInfo_.line;
  CallParked([changes, State, module, line](TV2Simulator& Self) {
    const auto project = Self.project_.lock();
    if (project) {
      if (changes & kRunningChanged) project->RunningChanged(State != TRunState::Stopped);
      if ((changes & kPausedChanged) && module > 0)
        project->PausedAt(State == TRunState::Paused, module, line);
    }
    Self.UpdateBreakpoints();
  });
}

void TV2Simulator::Burst() {
  int calls = 0;
  do {
    machine_.Step(stepInfo_);
    ++calls;
  } while (calls < kBurstSteps && (stepInfo_.changes & kChangeMask) == 0);
  stepCount_.fetch_add(calls, std::memory_order_relaxed);
  shownDepth_.store(stepInfo_.callDepth, std::memory_order_relaxed);
  returnedIntoCaller_ = (stepInfo_.changes & kChangeMask) != 0 && ReturnedIntoCaller();
}

bool TV2Simulator::ReturnedIntoCaller() {
  const int thread = stepInfo_.thread;
  if (thread < 1) return false;
  if (statementAtDepth_.size() < std::size_t(thread)) statementAtDepth_.resize(thread);
  std::vector<int>& seen = statementAtDepth_[thread - 1];
  const std::size_t depth = std::size_t(std::max(stepInfo_.callDepth, 0));
  const bool returned = depth + 1 < seen.size() && seen[depth] == stepInfo_.statement;
  seen.resize(depth + 1);
  seen[depth] = stepInfo_.statement;
  return returned;
}

bool TV2Simulator::HandleRunTimeError() {
  const QString text = RunTimeErrorText(stepInfo_);
  if (text.isEmpty()) return false;
  SetRunState(stepInfo_.runState == VX2SIM_ALL_STOPPED ? TRunState::Stopped : TRunState::Paused);
  CallParked([text](TV2Simulator& Self) { Self.ShowError(text); });
  return true;
}

bool TV2Simulator::StepTargetReached() {
  if (targetThread_ == 0) {
    // The step began where no thread stood at a statement: the first one reached ends it.
    targetThread_ = stepInfo_.thread;
    return true;
  }
  if (!(stepInfo_.changes & VX2SIM_CHANGED_STATEMENT) || stepInfo_.thread != targetThread_ ||
      stepInfo_.statement == startStatement_)
    return false;
  return !stepOverCalls_ || stepInfo_.callDepth <= targetDepth_;
}

// A breakpoint stops the program where it arrives at a statement: not in
// the middle of the statement it returns to from a call, whose breakpoint
// was checked before the call.
bool TV2Simulator::BreakpointHit() {
  if (!(stepInfo_.changes & VX2SIM_CHANGED_STATEMENT) || returnedIntoCaller_) return false;
  const int module = stepInfo_.module;
  const int line = stepInfo_.line;
  std::lock_guard lock(lock_);
  if (cursorActive_ && cursorModule_ == module && cursorLine_ == line) return true;
  for (auto it = breakpoints_.rbegin(); it != breakpoints_.rend(); ++it)
    if (it->Module == module && it->Line == line) return true;
  return false;
}

void TV2Simulator::ResetMachine() {
  stepCount_.store(0, std::memory_order_relaxed);
  shownDepth_.store(0, std::memory_order_relaxed);
  stepInfo_ = {};
  statementAtDepth_.clear();
  returnedIntoCaller_ = false;
  machine_.Reset();
}

bool TV2Simulator::CallParked(std::function<void(TV2Simulator& Self)> Fn) {
  parked_.store(true, std::memory_order_release);
  // The call holds the simulation only while it runs: released meanwhile
  // (inside a modal box), it is destroyed when the call returns, and its
  // destructor cancels this call, so the worker does not wait for it.
  const bool ok = kit_.Call([weak = weak_from_this(), fn = std::move(Fn)] {
    if (const std::shared_ptr<TV2Simulator> self = weak.lock()) fn(*self);
  });
  parked_.store(false, std::memory_order_release);
  return ok;
}

void TV2Simulator::RefreshWatches() {
  CallParked([](TV2Simulator& Self) {
    if (const auto project = Self.project_.lock())
      project->ForEachWatch([&Self](const Ref<IVexaWatch>& Watch) {
        if (Watch) Self.RefreshWatch(*Watch);
      });
  });
}

void TV2Simulator::RefreshWatch(IVexaWatch& Watch) {
  if (RunState() == TRunState::Stopped) {
    Watch.Reset();
    return;
  }
  // The machine belongs to the worker; it waits in this call.
  assert(parked_.load(std::memory_order_acquire));
  if (Watch.GetIndex() == -1) {
    VarInfo info{};
    if (!machine_.GetVarInfo(Watch.GetName(), info)) {
      Watch.Reset();
      return;
    }
    Watch.SetIndex(info.index);
    Watch.SetType(WatchTypeOf(info.type));
  }
  const int index = Watch.GetIndex();
  const QString newValue = Watch.GetTypeText();
  if (!newValue.isEmpty()) {
    const bool set = machine_.SetValueAsText(index, newValue);
    Watch.SetTypeText(QString());
    if (!set)
      ShowError(
          QStringLiteral("Der neue Wert konnte nicht gesetzt werden!\r\nÜberprüfen Sie, dass der "
                         "neue Wert kompatibel zum Typ des Bezeichners ist."));
  }
  bool read = false;
  switch (Watch.GetType()) {
    case TWatchType::Float:
      if (const std::optional<double> value = machine_.GetFloatValue(index)) {
        Watch.SetFloatValue(*value);
        read = true;
      }
      break;
    case TWatchType::String:
      if (const std::optional<QString> value = machine_.GetStringText(index)) {
        Watch.SetStringValue(*value);
        read = true;
      }
      break;
    default:
      if (const std::optional<std::int32_t> value = machine_.GetIntegerValue(index)) {
        Watch.SetIntValue(*value);
        read = true;
      }
      break;
  }
  if (!read) Watch.Invalidate();
}

void TV2Simulator::ShowError(const QString& Text) {
  if (dialogs_)
    dialogs_->ShowError(Text);
  else
    Dialogs().ShowError(Text);
}

namespace {

class TV2SimulatorFactory : public IV2SimulationFactory {
 public:
  Ref<IVexaSimulator> CreateSimulation(const Ref<IV2SimulationProject>& Project,
                                       const QString& OutputBaseName) override {
    return TV2Simulator::Create(Project, OutputBaseName);
  }
};

}  // namespace

void RegisterV2Simulator() { V2SimulationFactory = std::make_shared<TV2SimulatorFactory>(); }

}  // namespace vexa::ide
