#pragma once

// The worker thread through which a VXBasic project drives the VXBasic
// library: it compiles the program, downloads it to a first-generation board
// over a serial port it opens itself, and runs it in the library's simulator
// line by line with breakpoints, run to cursor, single steps, INPUT and
// watched values. It is the project's simulation (IVexaSimulator).
//
// Threads: everything public runs on the main thread. The state is read by
// any thread and changed by compare-and-swap, so the main thread's "source
// changed" (ready to not compiled) never overwrites a state the worker set.
// The library instance is used by one thread at a time: by the worker, and
// by the main thread only inside a call the worker waits for (the watch
// refresh). Project, module, dialogs and message view are used on the main
// thread only: synchronised calls for what the worker needs an answer to,
// posted calls for the download's and the run's messages.

#include "model/core/VexaIntfs.h"
#include "model/libraries/VxBas32Library.h"
#include "model/workers/WorkerKit.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace vexa::ide {

// What a TQuorin uses from outside; tests give fakes.
struct TQuorinSeams {
  std::shared_ptr<IMainThreadInvoker> Invoker;  // none: a Qt invoker made here
  std::shared_ptr<IWorkerClock> Clock;          // none: the steady clock
  std::shared_ptr<IDialogs> Dialogs;            // none: the installed Dialogs()
  TVxBas32Functions Functions;
};

class TQuorin final : public IVexaSimulator {
 public:
  enum class TState : std::uint8_t {
    NotCompiled = 0,
    Compiling = 1,
    Downloading = 2,
    Ready = 3,
    Paused = 4,
    Running = 5,
  };
  enum ECommand : int {
    CommandNone = 0,
    CommandCompile = 1,
    CommandCompileAndDownload = 2,
    CommandRun = 10,
    CommandStep = 11,
    CommandPause = 12,
    CommandStop = 13,
  };

  // Module and Project are the project's two sides; the worker holds them
  // weakly (the project owns the worker). Creates the library instance
  // (throws EVxBas32Exception "Internal error: QuorinCreate() failed") and
  // starts the thread in the not-compiled state.
  TQuorin(std::weak_ptr<IVexaModule> Module, std::weak_ptr<IVexaProject> Project,
          TQuorinSeams Seams = {});
  // Shutdown.
  ~TQuorin() override;
  TQuorin(const TQuorin&) = delete;
  TQuorin& operator=(const TQuorin&) = delete;

  // Stops and joins the thread without dispatching events (queued calls
  // never run; a waiting call, an open input dialog's included, is given up),
  // then frees the library instance. Idempotent; afterwards every request is
  // ignored and the state stays where it was.
  void Shutdown();

  // IVexaSimulator
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
  void UpdateBreakpoints() override;
  void Refresh() override;
  Ref<IVexaProject> GetProject() override;
  bool IsRunningAgain() override;

  // For the project.
  void Compile();
  void CompileAndDownload();
  bool CanCompile();
  // The program text changed: ready becomes not compiled; other states stay.
  void SourceChanged();

  TState State() const { return state_.load(std::memory_order_acquire); }
  // The thread has ended after an error.
  bool Finished() const { return kit_.Finished(); }

 private:
  struct TRequest {
    int Command = CommandNone;
    bool Refresh = false;  // a wake only: never replaces a command
  };
  // The compile's answers, handed from the worker to the main thread.
  struct TCompileResult {
    int Status = 0;
    int ErrorCount = 0;
    int CodeLength = 0;
    int SysCodeLength = 0;
    QString Messages;
    QByteArray LineInfos;
  };

  void Post(int Command);
  void Body(std::stop_token Stop);
  // Takes the pending command (the refresh flag goes with it) and applies it.
  void TakeAndApply();
  void Apply(int Command);
  void SetState(TState State);
  // From -> To when the state is From; true when it changed.
  bool ChangeState(TState From, TState To);
  void Notify(TState State);
  void RunCompile(bool Download);
  void RunDownload(int Port);
  void StepLoop();
  // Waits Duration in sleeps of 10 ms, applying commands, while running.
  void LongPause(int Duration);
  bool IsBreakpoint(int Line);
  void RefreshWatches();
  void RefreshWatch(const Ref<IVexaWatch>& Watch, bool Active);
  void PostMessage(bool IsError, QString Text);
  IDialogs& DialogsToUse();

  std::weak_ptr<IVexaModule> module_;
  std::weak_ptr<IVexaProject> project_;
  std::shared_ptr<IDialogs> dialogs_;

  std::unique_ptr<TVxBas32Library> library_;  // none after Shutdown
  std::atomic<TState> state_{TState::NotCompiled};
  std::atomic<int> cursorLine_{-1};
  std::mutex breakpointsLock_;
  std::vector<int> breakpointLines_;
  // Worker data.
  int lastLine_ = -1;
  std::int16_t inputValue_ = 0;
  bool singleStep_ = false;
  bool shutDown_ = false;

  TWorkerKit kit_;  // stopped first by Shutdown: the members above outlive the thread
  TWorkerRequests<TRequest> requests_;
};

}  // namespace vexa::ide
