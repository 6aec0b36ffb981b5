#pragma once

// The kit of the IDE's worker threads (V2 compiler, V2 simulator, VXBasic).
//
// A worker owns a TWorkerKit and, usually, a TWorkerRequests<its request
// fields>. Its shape:
//
//   class TMyWorker {
//    public:
//     TMyWorker(TWorkerKit::TSeams Seams) : kit_(std::move(Seams), "Internal error in TMyWorker") {
//       // ... every member the thread uses is made before this line
//       kit_.Start([this](std::stop_token Stop) { Body(Stop); },
//                  [this] { kit_.Call([this] { ReportState(0); }); });
//     }
//     ~TMyWorker() { kit_.Stop(); /* then free what the thread used */ }
//     void Build() { requests_.Post([](TRequest& r) { r.build = true; }); }  // main thread
//    private:
//     void Body(std::stop_token Stop) {
//       while (requests_.Wait(Stop)) {
//         TRequest taken = requests_.Take([](TRequest& r) { return std::exchange(r, {}); });
//         ...                               // library calls, never under the request lock
//         kit_.Call([&] { /* IDE objects, on the main thread */ });
//       }
//     }
//     TWorkerKit kit_;  // stopped first by ~TMyWorker, so the members below outlive the thread
//     TWorkerRequests<TRequest> requests_;
//   };
//
// Threads: Start, Stop, Post and the destructor run on the main thread;
// Call, Sleep and the request box's Wait and Take on the worker thread.
// Stop requests the stop, cancels every queued call of this worker (a
// cancelled call never runs; a waiting Call returns false), wakes every wait
// and sleep through the stop token and joins. It dispatches no events. An
// exception escaping a function run on the main thread becomes an error box
// there; an exception escaping the body becomes an error box, then
// ReportIdle runs on the worker thread and the thread ends (Finished()).

#include "model/core/Dialogs.h"
#include "model/workers/MainThreadInvoker.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <type_traits>

namespace vexa::platform {
class Clock;
}

namespace vexa::ide {

// Time as a worker sees it: a monotonic millisecond count and sleeps that
// end when the worker is told to stop.
class IWorkerClock {
 public:
  virtual ~IWorkerClock() = default;
  // Milliseconds from an arbitrary start; never goes back, never wraps.
  virtual std::chrono::milliseconds Now() = 0;
  // Sleeps Duration (0: gives up the time slice); false when Stop was or
  // became requested, at once.
  virtual bool SleepFor(std::chrono::milliseconds Duration, std::stop_token Stop) = 0;
};

// std::chrono::steady_clock.
class TSteadyWorkerClock final : public IWorkerClock {
 public:
  std::chrono::milliseconds Now() override;
  bool SleepFor(std::chrono::milliseconds Duration, std::stop_token Stop) override;
};

// A platform clock (a test's fake one, or the system's): its 32-bit count is
// widened so that it never wraps; a sleep is the clock's cancellable one.
class TPlatformWorkerClock final : public IWorkerClock {
 public:
  explicit TPlatformWorkerClock(platform::Clock& Clock);
  std::chrono::milliseconds Now() override;
  bool SleepFor(std::chrono::milliseconds Duration, std::stop_token Stop) override;

 private:
  platform::Clock& clock_;
  std::mutex mutex_;
  std::uint32_t last_ = 0;
  std::int64_t high_ = 0;
  bool started_ = false;
};

// A worker's request fields and its "signalled" flag under one mutex. Post
// changes fields and raises the flag in one critical section; the worker's
// Take reads and changes fields and lowers the flag in one critical section.
// So a request posted at any moment is either seen by the Take in progress
// or leaves the flag raised for the next Wait: none is lost, none is
// answered twice. Never make another call (Call, a library) inside Fn.
template <class TRequest>
class TWorkerRequests {
 public:
  // Any thread: Change(fields), flag raised, worker woken.
  template <class F>
  void Post(F&& Change) {
    {
      std::lock_guard lock(mutex_);
      Change(fields_);
      signalled_ = true;
    }
    wake_.notify_all();
  }

  // Worker: waits until the flag is raised or Stop is requested. True when
  // raised and not stopping; the flag stays raised until the next Take.
  bool Wait(std::stop_token Stop) {
    std::unique_lock lock(mutex_);
    return wake_.wait(lock, Stop, [this] { return signalled_; }) && !Stop.stop_requested();
  }

  // Worker: Fn(fields) with the flag lowered, in one critical section; Fn's result.
  template <class F>
  auto Take(F&& Fn) {
    std::lock_guard lock(mutex_);
    signalled_ = false;
    return Fn(fields_);
  }

  // Any thread: Fn(fields) under the lock, the flag untouched; Fn's result.
  template <class F>
  auto With(F&& Fn) {
    std::lock_guard lock(mutex_);
    return Fn(fields_);
  }

  bool Signalled() {
    std::lock_guard lock(mutex_);
    return signalled_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable_any wake_;
  TRequest fields_{};
  bool signalled_ = false;
};

// One worker thread, its main-thread calls and its stop. See the top of the file.
class TWorkerKit {
 public:
  struct TSeams {
    std::shared_ptr<IMainThreadInvoker> Invoker;  // required
    std::shared_ptr<IWorkerClock> Clock;          // none: TSteadyWorkerClock
    std::shared_ptr<IDialogs> Dialogs;            // none: the installed Dialogs()
  };

  // Title heads the error box of an exception escaping the body or a call:
  // "Internal error in TV2Simulator.Execute()".
  TWorkerKit(TSeams Seams, QString Title);
  // Stops (see Stop). The owner calls Stop itself first when its own members
  // are used by the thread: they are destroyed before the kit.
  ~TWorkerKit();
  TWorkerKit(const TWorkerKit&) = delete;
  TWorkerKit& operator=(const TWorkerKit&) = delete;

  // Main thread, once, when everything the thread uses exists: starts the
  // thread with Run, the thread's work, which returns when its stop token is
  // requested (or earlier). ReportIdle runs on the worker thread after the
  // error box of an exception that escaped Run: it tells the owner the worker
  // is idle (and dead), and may use Call. FailureText makes that box's text;
  // none: the Title followed by an empty line and "<class name>: <message>".
  void Start(std::function<void(std::stop_token)> Run, std::function<void()> ReportIdle = {},
             std::function<QString(const std::exception&)> FailureText = {});
  // Main thread (never the worker thread); idempotent: stop requested, every
  // queued call cancelled, waits and sleeps woken, thread joined. Waits at
  // most for what the body is doing outside the kit (one library call or
  // serial operation). After it, Call and Post do nothing.
  void Stop();

  bool Started() const { return started_; }
  // The body has ended (returned or failed): the owner may replace the worker.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  bool StopRequested() const { return stop_.stop_requested(); }
  std::stop_token StopToken() const { return stop_.get_token(); }

  // Worker thread: runs Fn on the main thread and waits for it. True when Fn
  // ran and returned; false when the call was cancelled (Stop) or Fn threw
  // (its error box was shown on the main thread). On the main thread itself
  // Fn runs at once. Fn may outlive a cancelled Call only when Fn itself
  // stops this worker: capture by value what Fn uses after that.
  bool Call(std::function<void()> Fn);

  // Worker thread: Fn's result from the main thread, none when Call is false.
  template <class F, class R = std::invoke_result_t<F&>>
  std::optional<R> CallFor(F Fn) {
    auto result = std::make_shared<std::optional<R>>();
    if (!Call([result, fn = std::move(Fn)]() mutable { result->emplace(fn()); })) return {};
    return std::move(*result);
  }

  // Any thread: runs Fn on the main thread later, without waiting; dropped by Stop.
  void Post(std::function<void()> Fn);

  // Worker thread: an error box on the main thread; returns when it was closed.
  bool ShowErrorBox(const QString& Text);

  // Worker thread: sleeps; false when stopping (at once).
  bool Sleep(std::chrono::milliseconds Duration);
  std::chrono::milliseconds Now();
  IWorkerClock& Clock() { return *clock_; }
  IMainThreadInvoker& Invoker() { return *invoker_; }

  // The default body failure text: Title, an empty line, "<class>: <message>".
  QString ExceptionText(const std::exception& E) const;

 private:
  struct TShared;
  class TCallState;
  struct TBody {
    std::function<void(std::stop_token)> Run;
    std::function<void()> ReportIdle;
    std::function<QString(const std::exception&)> FailureText;
  };

  // Queues Fn with its call state; none when stopping.
  std::shared_ptr<TCallState> Queue(std::function<void()> Fn);
  void RunBody(std::stop_token Stop);

  std::shared_ptr<IMainThreadInvoker> invoker_;
  std::shared_ptr<IWorkerClock> clock_;
  std::shared_ptr<TShared> shared_;  // the queued calls hold it weakly
  TBody body_;
  std::stop_source stop_;
  std::atomic<bool> finished_{false};
  bool started_ = false;
  std::jthread thread_;  // last: joined before the rest goes
};

}  // namespace vexa::ide
