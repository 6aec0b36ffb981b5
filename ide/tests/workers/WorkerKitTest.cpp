#include "model/workers/WorkerKit.h"

#include "FakeDialogs.h"
#include "model/workers/MainThreadInvoker.h"

#include "CoreApp.h"
#include "vexa/platform/Clock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;

const QString kTitle = "Internal error in TTestWorker";

QCoreApplication& App() { return test::CoreApp(); }

// Counts what was queued, so a test knows a call waits in the queue.
class TCountingInvoker final : public IMainThreadInvoker {
 public:
  explicit TCountingInvoker(std::shared_ptr<IMainThreadInvoker> Inner) : inner_(std::move(Inner)) {}
  void Queue(std::function<void()> Task) override {
    inner_->Queue(std::move(Task));
    queued.fetch_add(1);
  }
  bool IsMainThread() const override { return inner_->IsMainThread(); }
  std::atomic<int> queued{0};

 private:
  std::shared_ptr<IMainThreadInvoker> inner_;
};

// Error boxes in the order they came, with the thread they came on.
class TRecordingDialogs final : public test::TFakeDialogs {
 public:
  void ShowError(const QString& Text) override {
    TFakeDialogs::ShowError(Text);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<std::thread::id> threads;
};

// Each test runs once with the manual invoker a test pumps and once with the
// Qt one that runs from the event loop.
class WorkerKitTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "qt") {
      App();
      inner_ = std::make_shared<TQtMainThreadInvoker>();
    } else {
      manual_ = std::make_shared<TManualInvoker>();
      inner_ = manual_;
    }
    invoker_ = std::make_shared<TCountingInvoker>(inner_);
  }

  TWorkerKit::TSeams Seams() { return {invoker_, nullptr, dialogs_}; }

  // Runs the main thread's side until Done answers true or 5 s pass.
  bool RunUntil(const std::function<bool()>& Done) {
    if (manual_) return manual_->PumpUntil(Done, 5s);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!Done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  // Runs what is queued now.
  void Flush() {
    if (manual_)
      manual_->Pump();
    else
      QCoreApplication::processEvents(QEventLoop::AllEvents);
  }

  bool WaitQueued(int Count) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (invoker_->queued.load() < Count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  std::shared_ptr<TRecordingDialogs> dialogs_ = std::make_shared<TRecordingDialogs>();
  std::shared_ptr<TManualInvoker> manual_;
  std::shared_ptr<IMainThreadInvoker> inner_;
  std::shared_ptr<TCountingInvoker> invoker_;
};

TEST_P(WorkerKitTest, NoRequestIsLostOrTakenTwiceUnderManyPosts) {
  struct TCount {
    int posted = 0;
  };
  TWorkerRequests<TCount> requests;
  std::atomic<int> taken{0};
  std::atomic<int> emptyTakes{0};
  TWorkerKit kit(Seams(), kTitle);
  kit.Start([&](std::stop_token Stop) {
    while (requests.Wait(Stop)) {
      const int n = requests.Take([](TCount& c) { return std::exchange(c.posted, 0); });
      if (n == 0) emptyTakes.fetch_add(1);
      taken.fetch_add(n);
    }
  });

  constexpr int kPerThread = 4000;
  auto post = [&] {
    for (int i = 0; i < kPerThread; ++i) requests.Post([](TCount& c) { ++c.posted; });
  };
  std::thread other1(post), other2(post);
  post();
  other1.join();
  other2.join();
  EXPECT_TRUE(RunUntil([&] { return taken.load() == 3 * kPerThread; })) << taken.load();
  EXPECT_EQ(emptyTakes.load(), 0);
  kit.Stop();
  EXPECT_EQ(taken.load(), 3 * kPerThread);
}

TEST_P(WorkerKitTest, DestroyingWhileACallIsQueuedReturnsAtOnceAndTheCallNeverRuns) {
  for (bool destroy : {false, true}) {
    std::atomic<bool> ran{false};
    std::atomic<int> callResult{-1};
    const int before = invoker_->queued.load();
    auto kit = std::make_unique<TWorkerKit>(Seams(), kTitle);
    TWorkerKit* worker = kit.get();
    kit->Start([&, worker](std::stop_token) {
      callResult = worker->Call([&] { ran = true; });
      callResult = callResult + 10 * worker->Call([&] { ran = true; });  // refused once stopping
    });
    ASSERT_TRUE(WaitQueued(before + 1));

    const auto start = std::chrono::steady_clock::now();
    if (destroy)
      kit.reset();
    else
      kit->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(callResult.load(), 0);
    EXPECT_EQ(invoker_->queued.load(), before + 1);

    Flush();
    EXPECT_FALSE(ran.load()) << (destroy ? "destroyed" : "stopped");
    kit.reset();
    Flush();
    EXPECT_FALSE(ran.load());
  }
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_P(WorkerKitTest, ExceptionInACallBecomesAnErrorBoxOnTheMainThread) {
  std::vector<int> results;
  std::atomic<bool> done{false};
  int mainValue = 0;
  TWorkerKit kit(Seams(), kTitle);
  kit.Start([&](std::stop_token) {
    results.push_back(kit.Call([] { throw std::runtime_error("kaputt"); }));
    results.push_back(kit.Call([] { throw 42; }));
    results.push_back(kit.Call([&] { mainValue = 7; }));
    const std::optional<int> answer = kit.CallFor([&] { return mainValue + 1; });
    results.push_back(answer.value_or(-1));
    done = true;
  });
  ASSERT_TRUE(RunUntil([&] { return done.load(); }));
  kit.Stop();

  EXPECT_EQ(results, (std::vector<int>{0, 0, 1, 8}));
  EXPECT_EQ(dialogs_->Texts(), (QStringList{kTitle + "\r\n\r\nruntime_error: kaputt", kTitle}));
  for (std::thread::id id : dialogs_->threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_P(WorkerKitTest, ExceptionInTheBodyShowsItsBoxThenReportsIdle) {
  std::vector<QString> events;  // main thread only
  struct TEventDialogs : test::TFakeDialogs {
    std::vector<QString>* events;
    void ShowError(const QString& Text) override { events->push_back("box: " + Text); }
  };
  auto eventDialogs = std::make_shared<TEventDialogs>();
  eventDialogs->events = &events;
  std::thread::id idleThread;

  TWorkerKit kit({invoker_, nullptr, eventDialogs}, kTitle);
  kit.Start(
      [](std::stop_token) { throw std::runtime_error("compileModule"); },
      [&] {
        idleThread = std::this_thread::get_id();
        kit.Call([&] { events.push_back("idle"); });
      },
      [](const std::exception& E) { return QString("dll function %1() failed").arg(E.what()); });
  ASSERT_TRUE(RunUntil([&] { return kit.Finished(); }));
  kit.Stop();

  EXPECT_EQ(events, (std::vector<QString>{"box: dll function compileModule() failed", "idle"}));
  EXPECT_NE(idleThread, std::this_thread::get_id());
}

TEST_P(WorkerKitTest, PostedCallsRunInOrderOnTheMainThreadAndNoneAfterStop) {
  std::vector<int> order;  // main thread only
  std::atomic<bool> done{false};
  TWorkerKit kit(Seams(), kTitle);
  kit.Start([&](std::stop_token) {
    for (int i = 0; i < 50; ++i) kit.Post([&order, i] { order.push_back(i); });
    kit.Call([&] { order.push_back(-1); });
    done = true;
  });
  ASSERT_TRUE(RunUntil([&] { return done.load(); }));
  ASSERT_EQ(order.size(), 51u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(order.back(), -1);

  // On the main thread a call runs at once, not through the queue.
  EXPECT_TRUE(kit.Call([&] { order.push_back(100); }));
  EXPECT_EQ(order.back(), 100);

  kit.Stop();
  kit.Post([&] { order.push_back(200); });
  EXPECT_FALSE(kit.Call([&] { order.push_back(300); }));
  Flush();
  EXPECT_EQ(order.back(), 100);
}

INSTANTIATE_TEST_SUITE_P(Invokers, WorkerKitTest, ::testing::Values("manual", "qt"));

// The Qt invoker alone must order the hand-over for ThreadSanitizer: Qt's own
// locks are invisible to it. So the thread below tells the main thread only
// through a relaxed flag, which orders nothing, and the main thread takes the
// event without reading the event loop's wake-up (sendPostedEvents, or the
// invoker's destruction). In the TSan build a missing order is a race report.
class QtInvokerHandOver : public ::testing::Test {
 protected:
  void SetUp() override { App(); }

  // Queues Task from a new thread and waits until it is queued; the caller
  // joins the thread.
  std::thread QueueFromAnotherThread(IMainThreadInvoker& Invoker, std::function<void()> Task) {
    queued_.store(false, std::memory_order_relaxed);
    std::thread other([this, &Invoker, Task = std::move(Task)]() mutable {
      Invoker.Queue(std::move(Task));
      queued_.store(true, std::memory_order_relaxed);
    });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!queued_.load(std::memory_order_relaxed) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(queued_.load(std::memory_order_relaxed));
    return other;
  }

  std::atomic<bool> queued_{false};
};

TEST_F(QtInvokerHandOver, ATaskFromAnotherThreadRunsOnTheMainThread) {
  TQtMainThreadInvoker invoker;
  int runs = 0;
  std::thread::id ranOn;
  std::thread other = QueueFromAnotherThread(invoker, [&] {
    ++runs;
    ranOn = std::this_thread::get_id();
  });
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  other.join();
}

TEST_F(QtInvokerHandOver, ATaskStillQueuedIsDroppedWithTheInvoker) {
  auto ran = std::make_shared<bool>(false);
  std::weak_ptr<bool> task = ran;
  auto invoker = std::make_unique<TQtMainThreadInvoker>();
  std::thread other = QueueFromAnotherThread(*invoker, [ran] { *ran = true; });
  ran.reset();
  EXPECT_FALSE(task.expired()) << "the queued task holds it";
  invoker.reset();
  EXPECT_TRUE(task.expired()) << "the task went with the invoker";
  QCoreApplication::sendPostedEvents();
  other.join();
}

// A clock whose time a test sets.
class TSetClock final : public platform::Clock {
 public:
  std::uint32_t milliseconds() override { return now.load(); }
  void sleep(std::uint32_t) override {}
  platform::LocalTime localTime() override { return {}; }
  std::atomic<std::uint32_t> now{0};
};

TEST(WorkerClock, StopEndsEverySleepAndWaitAtOnce) {
  struct Case {
    const char* what;
    std::shared_ptr<IWorkerClock> clock;
  } const cases[] = {
      {"steady", std::make_shared<TSteadyWorkerClock>()},
      {"platform", std::make_shared<TPlatformWorkerClock>(platform::SystemClock::instance())},
  };
  for (const Case& c : cases) {
    for (bool sleeping : {true, false}) {
      auto invoker = std::make_shared<TManualInvoker>();
      TWorkerRequests<int> requests;
      std::atomic<bool> started{false};
      std::atomic<int> result{-1};
      TWorkerKit kit({invoker, c.clock, nullptr}, kTitle);
      kit.Start([&](std::stop_token Stop) {
        started = true;
        result = sleeping ? kit.Sleep(1h) : requests.Wait(Stop);
      });
      while (!started) std::this_thread::yield();
      std::this_thread::sleep_for(20ms);
      const auto start = std::chrono::steady_clock::now();
      kit.Stop();
      EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << c.what << sleeping;
      EXPECT_EQ(result.load(), 0) << c.what << sleeping;
      EXPECT_FALSE(kit.Sleep(1ms)) << "a sleep after the stop ends at once";
    }
  }
}

TEST(WorkerClock, PlatformTimeNeverWrapsAround) {
  TSetClock platformClock;
  TPlatformWorkerClock clock(platformClock);
  platformClock.now = 0xFFFFFF00u;
  const auto before = clock.Now();
  platformClock.now = 0x10u;
  const auto after = clock.Now();
  EXPECT_EQ((after - before).count(), 0x110);
  platformClock.now = 0x20u;
  EXPECT_EQ((clock.Now() - before).count(), 0x120);
}

}  // namespace
}  // namespace vexa::ide
