#include "model/workers/MainThreadInvoker.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <utility>

namespace vexa::ide {

// The main-thread object the queued events go to. The task list lives here,
// under a mutex the worker and the main thread share; the Qt event itself
// carries nothing, only its own memory crosses threads inside Qt.
class TQtMainThreadInvoker::TTarget : public QObject {
  Q_OBJECT

 public:
  TTarget() = default;
  // QObject's destructor frees the events still queued, and tasks_ goes with
  // them; taking mutex_ once orders both after Add, as RunNext does.
  ~TTarget() override { std::lock_guard lock(mutex_); }

  // Posts under mutex_ on purpose: Qt allocates the event here and frees it
  // on the main thread after RunNext, and Qt's own locks are invisible to
  // ThreadSanitizer. RunNext taking mutex_ first orders that free after this
  // allocation for the sanitizer too.
  void Add(std::function<void()> Task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(Task));
    QMetaObject::invokeMethod(this, "RunNext", Qt::QueuedConnection);
  }

 public slots:
  void RunNext() {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

TQtMainThreadInvoker::TQtMainThreadInvoker() : target_(std::make_unique<TTarget>()) {}

TQtMainThreadInvoker::~TQtMainThreadInvoker() = default;

void TQtMainThreadInvoker::Queue(std::function<void()> Task) { target_->Add(std::move(Task)); }

bool TQtMainThreadInvoker::IsMainThread() const {
  return QThread::currentThread() == target_->thread();
}

TManualInvoker::TManualInvoker() : mainThread_(std::this_thread::get_id()) {}

void TManualInvoker::Queue(std::function<void()> Task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(Task));
  }
  queued_.notify_all();
}

bool TManualInvoker::IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

int TManualInvoker::Pump() {
  int count = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return count;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++count;
  }
}

bool TManualInvoker::WaitForTask(std::chrono::milliseconds Timeout) {
  std::unique_lock lock(mutex_);
  return queued_.wait_for(lock, Timeout, [this] { return !tasks_.empty(); });
}

bool TManualInvoker::PumpUntil(const std::function<bool()>& Done,
                               std::chrono::milliseconds Timeout) {
  const auto deadline = std::chrono::steady_clock::now() + Timeout;
  for (;;) {
    Pump();
    if (Done()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    // Short waits: Done may turn true without a task being queued.
    WaitForTask(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now),
                         std::chrono::milliseconds(5)));
  }
}

int TManualInvoker::QueuedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(tasks_.size());
}

}  // namespace vexa::ide

#include "MainThreadInvoker.moc"
