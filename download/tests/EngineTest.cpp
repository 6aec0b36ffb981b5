#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "Support.h"
#include "boardemu/PtyLink.h"
#include "boardemu/V2Board.h"
#include "vexa/download/Engine.h"

namespace vexa::download {
namespace {

using namespace std::chrono_literals;
using boardemu::FaultKind;
using boardemu::V2Board;
using boardemu::V2BoardOptions;
using boardemu::V2Mode;
using testing::CountingClock;
using testing::Messages;
using testing::ScopedEnv;
using testing::TestTexts;
using Bytes = std::vector<std::uint8_t>;
using Steady = std::chrono::steady_clock;

// 35-byte records of the given data bytes, then the end mark.
Bytes hexRecords(std::size_t records) {
  Bytes image;
  for (std::size_t r = 0; r < records; ++r) {
    image.push_back(static_cast<std::uint8_t>(r >> 3));
    image.push_back(static_cast<std::uint8_t>(r * 32));
    image.push_back(32);
    for (int k = 0; k < 32; ++k) image.push_back(static_cast<std::uint8_t>(r + k));
  }
  image.push_back(0xFF);
  image.push_back(0xFF);
  return image;
}

class EngineOnBoard : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.link().onMessage = [this](MessageKind kind, const std::string& text) {
      messages.entries.emplace_back(kind, text);
    };
  }
  bool startBoard(V2BoardOptions options = {}, boardemu::FaultOptions faults = {}) {
    env.reset();
    board.reset();
    board = std::make_unique<V2Board>(std::move(options), faults);
    if (!board->start()) return false;
    env = std::make_unique<ScopedEnv>("VEXA_COM2", board->path());
    return true;
  }

  TestTexts texts;
  CountingClock clock;
  Engine engine{texts, clock};
  Messages messages;
  std::unique_ptr<V2Board> board;
  std::unique_ptr<ScopedEnv> env;
};

#define START_BOARD(...) \
  if (!startBoard(__VA_ARGS__)) GTEST_SKIP() << "no pseudo-terminal can be opened here"

// Without a wait handler the protocol's waits go to the clock handed in:
// here they are counted, so the operations take no time of their own.
TEST_F(EngineOnBoard, WaitsSleepOnTheClockHandedIn) {
  const Bytes program = testing::vmcImage(32, 16);
  START_BOARD();
  const auto start = Steady::now();
  ASSERT_TRUE(engine.downloadUserProgram(program, false)) << messages.errors().front();
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{2500, 500}));
  ASSERT_TRUE(board->recording().waitForEvent("end-load", 2s));
  EXPECT_EQ(board->recording().image("program"), program);

  clock.sleeps.clear();
  V2BoardOptions boot;
  boot.mode = V2Mode::Boot;
  boot.bootSize = 64;
  START_BOARD(boot);
  const Bytes loader(64, 0x3C);
  const Bytes os = hexRecords(3);
  ASSERT_TRUE(engine.zapOS(loader, os)) << messages.errors().front();
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1250, 3000}));
  ASSERT_TRUE(board->recording().waitForEvent("os-complete", 2s));
  EXPECT_EQ(board->recording().image("boot"), loader);
  EXPECT_EQ(board->recording().image("os"), os);
  EXPECT_EQ(messages.of(MessageKind::Progress),
            (std::vector<std::string>{"erasing", "program 64", "OK", "connecting", "boot 64", "OK",
                                      "erasing", "os 98", "OK"}));
  // 8.25 s of protocol waits were counted, not slept.
  EXPECT_LT(Steady::now() - start, 5s);
}

TEST_F(EngineOnBoard, SameLinkModeKeepsThePortOtherModeReopens) {
  boardemu::PtyLink pty;
  if (!pty.open()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  ScopedEnv device("VEXA_COM2", pty.path());
  const std::uint8_t byte = 0x5A;
  std::uint8_t in = 0;
  std::size_t received = 0;

  engine.setLinkMode(1);
  ASSERT_EQ(engine.linkMode(), 1);
  EXPECT_EQ(pty.lineBaud(), 19200u);
  ASSERT_EQ(pty.send(&byte, 1), 1);
  engine.setLinkMode(1);  // no reopen: the byte is still there
  EXPECT_TRUE(engine.link().read(&in, 1, received));
  EXPECT_EQ(received, 1u);
  EXPECT_EQ(in, byte);

  ASSERT_EQ(pty.send(&byte, 1), 1);
  std::this_thread::sleep_for(10ms);
  engine.setLinkMode(2);  // reopened: input from before is gone
  EXPECT_EQ(pty.lineBaud(), 57600u);
  EXPECT_TRUE(engine.link().read(&in, 1, received));
  EXPECT_EQ(received, 0u);

  engine.setPortIndex(1);  // the same port: stays open
  EXPECT_EQ(engine.linkMode(), 2);
  engine.setPortIndex(2);
  EXPECT_EQ(engine.linkMode(), 0);
  EXPECT_EQ(engine.portName(), "COM3");
  EXPECT_TRUE(messages.errors().empty());
}

// A board that never answers: the operation blocks in the erase wait or the
// read of the answer until the cancel from another thread ends it.
TEST(EngineCancel, CancelFromAnotherThreadEndsTheOperationAtOnce) {
  V2Board board({}, {FaultKind::NoAnswer, 0, 0});
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  ScopedEnv device("VEXA_COM2", board.path());
  TestTexts texts;
  Engine engine(texts);  // the system clock: the erase wait is 2.5 s
  Messages messages;
  engine.link().onMessage = [&messages](MessageKind kind, const std::string& text) {
    messages.entries.emplace_back(kind, text);
  };
  const Bytes program = testing::vmcImage(32, 16);

  for (const auto delay : {0ms, 2600ms}) {  // in the wait; in the read after it
    SCOPED_TRACE(delay.count());
    board.recording().clear();
    messages.entries.clear();
    std::thread canceller([&] {
      if (board.recording().waitForEvent("erase-vmc", 5s)) std::this_thread::sleep_for(delay);
      engine.cancel();
    });
    const auto start = Steady::now();
    EXPECT_FALSE(engine.downloadUserProgram(program, false));
    const auto took = Steady::now() - start;
    canceller.join();
    EXPECT_LT(took, delay + 1500ms);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"canceled"});
    EXPECT_EQ(engine.linkMode(), 0);
    EXPECT_FALSE(engine.link().isOpen());
  }
  // The next operation starts without the old cancel.
  board.recording().clear();
  messages.entries.clear();
  EXPECT_EQ(engine.queryInfo(cmdIdentify), "");
  EXPECT_TRUE(messages.errors().empty());
  EXPECT_EQ(board.recording().received(), Bytes{cmdIdentify});
}

TEST(EngineImages, ImagesTooShortToSendAreRefusedBeforeTheLine) {
  TestTexts texts;
  Engine engine(texts);
  EXPECT_THROW(engine.downloadUserProgram({}, true), std::invalid_argument);
  EXPECT_THROW(engine.downloadUserProgram(Bytes(7, 0), false), std::invalid_argument);
  EXPECT_THROW(engine.zapOS({}, hexRecords(1)), std::invalid_argument);
  EXPECT_THROW(engine.zapOS(Bytes(32, 0), {}), std::invalid_argument);
  const Bytes block(kMaxEchoBlock + 1, 0);
  EXPECT_THROW(engine.link().writeEchoed(block.data(), block.size()), std::logic_error);
  EXPECT_EQ(engine.linkMode(), 0);
}

}  // namespace
}  // namespace vexa::download
