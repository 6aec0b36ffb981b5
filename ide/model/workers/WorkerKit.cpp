#include "model/workers/WorkerKit.h"

#include "model/core/Helpers.h"

#include "vexa/platform/CancelSignal.h"
#include "vexa/platform/Clock.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vexa::ide {

std::chrono::milliseconds TSteadyWorkerClock::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

bool TSteadyWorkerClock::SleepFor(std::chrono::milliseconds Duration, std::stop_token Stop) {
  if (Stop.stop_requested()) return false;
  if (Duration.count() <= 0) {
    std::this_thread::yield();
    return !Stop.stop_requested();
  }
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  return !wake.wait_for(lock, Stop, Duration, [] { return false; }) && !Stop.stop_requested();
}

TPlatformWorkerClock::TPlatformWorkerClock(platform::Clock& Clock) : clock_(Clock) {}

std::chrono::milliseconds TPlatformWorkerClock::Now() {
  std::lock_guard lock(mutex_);
  const std::uint32_t now = clock_.milliseconds();
  if (started_ && now < last_) high_ += std::int64_t{1} << 32;
  started_ = true;
  last_ = now;
  return std::chrono::milliseconds(high_ + now);
}

bool TPlatformWorkerClock::SleepFor(std::chrono::milliseconds Duration, std::stop_token Stop) {
  if (Stop.stop_requested()) return false;
  platform::CancelSignal signal;
  std::stop_callback raise(Stop, [&signal] { signal.raise(); });
  const auto ms = std::clamp<std::int64_t>(Duration.count(), 0, UINT32_MAX);
  return !clock_.sleepCancellable(static_cast<std::uint32_t>(ms), signal) && !Stop.stop_requested();
}

// One queued call: queued, then running and done on the main thread, or
// cancelled by Stop at any point before it is done.
class TWorkerKit::TCallState {
 public:
  // Main thread: false when cancelled (the call must not run).
  bool Begin() {
    std::lock_guard lock(mutex_);
    if (state_ != State::Queued) return false;
    state_ = State::Running;
    return true;
  }

  void End(bool Ok) {
    {
      std::lock_guard lock(mutex_);
      if (state_ != State::Running) return;
      state_ = State::Done;
      ok_ = Ok;
    }
    changed_.notify_all();
  }

  void Cancel() {
    {
      std::lock_guard lock(mutex_);
      if (state_ == State::Done) return;
      state_ = State::Cancelled;
    }
    changed_.notify_all();
  }

  // Until done or cancelled; true when done and the function returned.
  bool Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return state_ == State::Done || state_ == State::Cancelled; });
    return state_ == State::Done && ok_;
  }

 private:
  enum class State { Queued, Running, Done, Cancelled };
  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::Queued;
  bool ok_ = false;
};

// What the queued calls need of the kit; they hold it weakly, so a call
// that outlives its kit finds it gone and does nothing.
struct TWorkerKit::TShared {
  QString title;
  std::shared_ptr<IDialogs> dialogs;
  std::mutex mutex;
  bool stopping = false;
  std::vector<std::shared_ptr<TCallState>> pending;

  void ShowError(const QString& Text) {
    if (dialogs)
      dialogs->ShowError(Text);
    else
      ::vexa::ide::ShowError(Text);
  }

  QString ExceptionText(const std::exception& E) const {
    return title + QStringLiteral("\r\n\r\n") + ExceptionClassName(E) + QStringLiteral(": ") +
           QString::fromLocal8Bit(E.what());
  }

  // Main thread: Fn inside a catch-all; true when it returned.
  bool Run(const std::function<void()>& Fn) {
    try {
      Fn();
      return true;
    } catch (const std::exception& e) {
      ShowError(ExceptionText(e));
    } catch (...) {
      ShowError(title);
    }
    return false;
  }

  void Forget(const std::shared_ptr<TCallState>& State) {
    std::lock_guard lock(mutex);
    std::erase(pending, State);
  }
};

TWorkerKit::TWorkerKit(TSeams Seams, QString Title)
    : invoker_(std::move(Seams.Invoker)),
      clock_(Seams.Clock ? std::move(Seams.Clock) : std::make_shared<TSteadyWorkerClock>()),
      shared_(std::make_shared<TShared>()) {
  if (!invoker_) throw std::invalid_argument("TWorkerKit needs a main-thread invoker");
  shared_->title = std::move(Title);
  shared_->dialogs = std::move(Seams.Dialogs);
}

TWorkerKit::~TWorkerKit() { Stop(); }

void TWorkerKit::Start(std::function<void(std::stop_token)> Run, std::function<void()> ReportIdle,
                       std::function<QString(const std::exception&)> FailureText) {
  if (started_) throw std::logic_error("TWorkerKit started twice");
  started_ = true;
  body_ = {std::move(Run), std::move(ReportIdle), std::move(FailureText)};
  thread_ = std::jthread([this, stop = stop_.get_token()] { RunBody(stop); });
}

void TWorkerKit::Stop() {
  stop_.request_stop();
  std::vector<std::shared_ptr<TCallState>> cancelled;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    cancelled.swap(shared_->pending);
  }
  for (const auto& state : cancelled) state->Cancel();
  if (thread_.joinable()) thread_.join();
}

void TWorkerKit::RunBody(std::stop_token Stop) {
  bool failed = true;
  try {
    if (body_.Run) body_.Run(Stop);
    failed = false;
  } catch (const std::exception& e) {
    QString text = shared_->title;
    try {
      text = body_.FailureText ? body_.FailureText(e) : ExceptionText(e);
    } catch (...) {}
    ShowErrorBox(text);
  } catch (...) {
    ShowErrorBox(shared_->title);
  }
  if (failed && body_.ReportIdle) {
    try {
      body_.ReportIdle();
    } catch (...) {
      // The worker is gone either way; nothing is left to tell.
    }
  }
  finished_.store(true, std::memory_order_release);
}

std::shared_ptr<TWorkerKit::TCallState> TWorkerKit::Queue(std::function<void()> Fn) {
  auto state = std::make_shared<TCallState>();
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopping) return nullptr;
    shared_->pending.push_back(state);
  }
  invoker_->Queue([weak = std::weak_ptr(shared_), state, fn = std::move(Fn)] {
    const std::shared_ptr<TShared> shared = weak.lock();
    if (!shared || !state->Begin()) return;
    const bool ok = shared->Run(fn);
    state->End(ok);
    shared->Forget(state);
  });
  return state;
}

bool TWorkerKit::Call(std::function<void()> Fn) {
  if (invoker_->IsMainThread()) {
    {
      std::lock_guard lock(shared_->mutex);
      if (shared_->stopping) return false;
    }
    return shared_->Run(Fn);
  }
  const std::shared_ptr<TCallState> state = Queue(std::move(Fn));
  return state && state->Wait();
}

void TWorkerKit::Post(std::function<void()> Fn) { Queue(std::move(Fn)); }

bool TWorkerKit::ShowErrorBox(const QString& Text) {
  return Call([shared = shared_, Text] { shared->ShowError(Text); });
}

bool TWorkerKit::Sleep(std::chrono::milliseconds Duration) {
  return clock_->SleepFor(Duration, stop_.get_token());
}

std::chrono::milliseconds TWorkerKit::Now() { return clock_->Now(); }

QString TWorkerKit::ExceptionText(const std::exception& E) const {
  return shared_->ExceptionText(E);
}

}  // namespace vexa::ide
