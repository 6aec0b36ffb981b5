#pragma once

// Waiting in a test for what the main thread and the workers do.

#include "model/workers/MainThreadInvoker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <functional>

namespace vexa::ide::test {

// Runs the main thread's events (timers, queued calls) and, with Invoker, the
// workers' calls waiting in it, until Done answers true; false when Timeout
// passes first.
inline bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout,
                      TManualInvoker* Invoker = nullptr) {
  QElapsedTimer clock;
  clock.start();
  while (!Done()) {
    if (clock.elapsed() > Timeout.count()) return false;
    if (Invoker) Invoker->Pump();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // A moment for the workers; a call they queue ends it at once.
    if (Invoker)
      Invoker->WaitForTask(std::chrono::milliseconds(1));
    else
      QThread::msleep(1);
  }
  return true;
}

}  // namespace vexa::ide::test
