#pragma once

// The worker thread that runs a built V2 program in the simulator library:
// it steps the machine in bursts, stops at breakpoints, step targets and
// run-time errors, tells its project when the program starts, stops or
// pauses at a line, and refreshes the project's watches.
//
// Threads: everything public runs on the main thread; it only posts
// commands, sets the run-to-cursor target and replaces the breakpoint copy.
// The worker alone steps the machine. Every call into the project (events,
// watches, error boxes) runs on the main thread through the kit's Call, and
// the watch refresh reads the machine there while the worker waits parked
// in that Call. The worker never holds a strong reference to the simulation:
// its main-thread calls hold it weakly and keep it alive only while they
// run, so a simulation released inside one of its own error boxes is
// destroyed when that call returns, without a deadlock.

#include "model/core/V2SimulationProject.h"
#include "model/core/VexaIntfs.h"
#include "model/libraries/Vx2SimLibrary.h"
#include "model/workers/WorkerKit.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <utility>
#include <vector>

namespace vexa::ide {

// What a TV2Simulator uses from outside; tests give fakes.
struct TV2SimulatorSeams {
  TVx2SimFunctions Functions;
  std::shared_ptr<IMainThreadInvoker> Invoker;  // none: a Qt invoker made here
  std::shared_ptr<IWorkerClock> Clock;          // none: the steady clock
  std::shared_ptr<IDialogs> Dialogs;            // none: the installed Dialogs()
};

class TV2Simulator final : public IVexaSimulator,
                           public std::enable_shared_from_this<TV2Simulator> {
 public:
  using TSeams = TV2SimulatorSeams;

  // Run states, in this order (below Running the program waits).
  enum class TRunState : int { Stopped = 0, Paused = 1, Running = 2 };
  // Pending commands (Refresh travels apart from them).
  enum ECommand : int {
    CmdNone = 0,
    CmdRun = 1,
    CmdStepInto = 2,
    CmdStepOver = 3,
    CmdStepOut = 4,
    CmdPause = 5,
    CmdStop = 6,
  };
  // Most step calls between two looks at commands, breakpoints and targets.
  static constexpr int kBurstSteps = 1001;
  // Least time between two watch refreshes while the program runs.
  static constexpr std::chrono::milliseconds kRefreshInterval{200};

  // Loads OutputBaseName + ".dbg" into a new machine and starts the thread,
  // stopped. Throws EV2SimException "Internal error: createMachine() failed"
  // when the machine cannot be made. Main thread.
  static std::shared_ptr<TV2Simulator> Create(const Ref<IV2SimulationProject>& Project,
                                              const QString& OutputBaseName, TSeams Seams = {});
  // Stops and joins the thread without dispatching events (queued calls are
  // cancelled), then frees the machine.
  ~TV2Simulator() override;
  TV2Simulator(const TV2Simulator&) = delete;
  TV2Simulator& operator=(const TV2Simulator&) = delete;

  // IVexaSimulator.
  bool CanClose() override;
  bool IsRunning() override;
  bool IsPaused() override;
  bool CanRun() override;
  bool IsPausedAgain() override;
  bool CanStepInto() override;
  bool CanStepOver() override;
  bool CanStepOut() override;
  void Pause() override;
  void Stop() override;
  void Run() override;
  void RunToCursor(int Module, int Line) override;
  void StepInto() override;
  void StepOver() override;
  void StepOut() override;
  // Copies the project's breakpoints (module number, line) for the worker.
  void UpdateBreakpoints() override;
  // Asks the worker for a watch refresh; only while paused or running.
  void Refresh() override;
  // The project, none when it is gone (the simulation holds it weakly).
  Ref<IVexaProject> GetProject() override;
  bool IsRunningAgain() override;

  TRunState RunState() const { return runState_.load(std::memory_order_acquire); }
  // Step calls since the last reset.
  std::int64_t StepCount() const { return stepCount_.load(std::memory_order_relaxed); }
  // Call depth at the last step.
  int ShownDepth() const { return shownDepth_.load(std::memory_order_relaxed); }
  // The thread ended after an internal error.
  bool Finished() const { return kit_.Finished(); }

 private:
  struct TPassKey {};

 public:
  // Use Create.
  TV2Simulator(TPassKey, const Ref<IV2SimulationProject>& Project, const QString& OutputBaseName,
               TSeams Seams);

 private:
  struct TRequest {
    int Command = CmdNone;  // a newer command replaces one not yet taken
    bool Refresh = false;
  };
  struct TBreakpoint {
    int Module = 0;
    int Line = 0;
  };

  void Start();
  void Post(int Command);
  void Body(std::stop_token Stop);
  void Apply(int Command);
  void SetRunState(TRunState State);
  // One burst of step calls.
  void Burst();
  // A run-time error changes the run state and shows its box; true when one did.
  bool HandleRunTimeError();
  bool StepTargetReached();
  // Notes where the current thread stands after a burst that changed
  // something; true when it has just come back from a call into the
  // statement that made it (the library reports that as a new statement).
  bool ReturnedIntoCaller();
  bool BreakpointHit();
  void ResetMachine();
  // Worker: Fn on the main thread with the simulation alive, the worker
  // parked meanwhile; false when cancelled or the simulation is gone.
  bool CallParked(std::function<void(TV2Simulator& Self)> Fn);
  void RefreshWatches();
  // Main thread, worker parked.
  void RefreshWatch(IVexaWatch& Watch);
  void ShowError(const QString& Text);

  std::weak_ptr<IV2SimulationProject> project_;
  std::shared_ptr<IDialogs> dialogs_;  // none: the installed Dialogs()
  TVx2SimLibrary machine_;

  // Guards the breakpoint copy and the run-to-cursor target.
  std::mutex lock_;
  std::vector<TBreakpoint> breakpoints_;
  int cursorModule_ = 0;
  int cursorLine_ = 0;
  bool cursorActive_ = false;

  std::atomic<TRunState> runState_{TRunState::Stopped};
  std::atomic<int> shownDepth_{0};
  std::atomic<std::int64_t> stepCount_{0};
  // The worker waits in CallParked: the main thread may use the machine.
  std::atomic<bool> parked_{false};

  // Worker data (read on the main thread only while the worker is parked).
  int pendingChanges_ = 0;
  StepInfo stepInfo_{};
  bool stepping_ = false;
  bool stepOverCalls_ = false;
  int targetThread_ = 0;
  int startStatement_ = 0;
  int targetDepth_ = 0;
  // Per thread (from 1), the statement last seen at each call depth.
  std::vector<std::vector<int>> statementAtDepth_;
  bool returnedIntoCaller_ = false;

  TWorkerKit kit_;  // stopped first by the destructor: the members above outlive the thread
  TWorkerRequests<TRequest> requests_;
};

// Makes builds create their simulation with TV2Simulator (sets the service
// V2SimulationFactory).
void RegisterV2Simulator();

}  // namespace vexa::ide
