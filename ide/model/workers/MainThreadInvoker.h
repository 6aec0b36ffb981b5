#pragma once

// Carries functions from a worker thread to the main thread, where every IDE
// object lives. Queue never waits and never runs the task itself; waiting,
// cancelling and error boxes are the worker kit's business (WorkerKit.h).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vexa::ide {

class IMainThreadInvoker {
 public:
  virtual ~IMainThreadInvoker() = default;
  // Any thread: Task runs later on the main thread, after the tasks queued
  // before it. Task must not throw.
  virtual void Queue(std::function<void()> Task) = 0;
  // True on the main thread.
  virtual bool IsMainThread() const = 0;
};

// Runs the tasks from the event loop of the thread that made it (the main
// thread), one queued event per task: a modal box inside one task does not
// hold up the next. Made and destroyed on the main thread; tasks still queued
// at its destruction never run.
class TQtMainThreadInvoker final : public IMainThreadInvoker {
 public:
  TQtMainThreadInvoker();
  ~TQtMainThreadInvoker() override;
  TQtMainThreadInvoker(const TQtMainThreadInvoker&) = delete;
  TQtMainThreadInvoker& operator=(const TQtMainThreadInvoker&) = delete;

  void Queue(std::function<void()> Task) override;
  bool IsMainThread() const override;

 private:
  class TTarget;
  std::unique_ptr<TTarget> target_;
};

// Keeps the tasks until a test runs them with Pump. The thread that made it
// counts as the main thread and is the one that must pump.
class TManualInvoker final : public IMainThreadInvoker {
 public:
  TManualInvoker();

  void Queue(std::function<void()> Task) override;
  bool IsMainThread() const override;

  // Runs the tasks queued so far and those they queue, in order; returns how many ran.
  int Pump();
  // Waits up to Timeout until at least one task is queued; true when one is.
  bool WaitForTask(std::chrono::milliseconds Timeout);
  // Pumps, waiting for tasks in between, until Done answers true or Timeout
  // passes; true when Done answered true.
  bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout);
  int QueuedCount() const;

 private:
  const std::thread::id mainThread_;
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace vexa::ide
