#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "Support.h"
#include "boardemu/PtyLink.h"
#include "boardemu/V2Board.h"
#include "vexa/download/Link.h"

namespace vexa::download {
namespace {

using namespace std::chrono_literals;
using boardemu::V2Board;
using boardemu::V2BoardOptions;
using testing::CountingClock;
using testing::Messages;
using testing::TestTexts;
using Bytes = std::vector<std::uint8_t>;
using Steady = std::chrono::steady_clock;

class LinkSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    link.onMessage = [this](MessageKind kind, const std::string& text) {
      messages.entries.emplace_back(kind, text);
    };
    link.onProgress = [this](std::size_t position, std::size_t total, bool&) {
      progress.push_back(position);
      EXPECT_EQ(total, expectedTotal);
    };
  }

  TestTexts texts;
  CountingClock clock;
  Link link{texts, clock};
  Messages messages;
  std::vector<std::size_t> progress;
  std::size_t expectedTotal = 0;
};

// The IDE's variant of the user-program download, built from the steps: one
// open, the speed changed on the open port, one set of time-outs for both
// speeds, an identify with a 16-byte reply, a counted erase wait, the header
// and 32-byte blocks, and no end command.
TEST_F(LinkSteps, SpeedChangeOnTheOpenPortCarriesTheWholeDialogue) {
  V2BoardOptions options;
  options.identifyReply = "VX2 HOST V1.00 !";  // 16 bytes: the read ends on the count
  V2Board board(options);
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  const platform::SerialTimeouts both{1000, 10, 1000, 0, 0};
  const Bytes image = testing::vmcImage(64, 24);  // 8 + 112: three blocks and a rest of 16
  expectedTotal = image.size();

  ASSERT_TRUE(link.open("COM5", board.path()));
  ASSERT_TRUE(link.setup(19200, both));
  const int descriptor = link.port().nativeHandle();
  ASSERT_TRUE(link.writeByte(cmdSwitchSpeed));
  ASSERT_TRUE(link.wait(10));
  ASSERT_TRUE(link.setup(57600, both));
  EXPECT_EQ(link.port().nativeHandle(), descriptor);

  ASSERT_TRUE(link.writeByte(cmdIdentify));
  char reply[16];
  std::size_t received = 0;
  ASSERT_TRUE(link.readAnswer(reply, sizeof reply, received));
  EXPECT_EQ(std::string(reply, received), options.identifyReply);

  ASSERT_TRUE(link.writeByte(cmdEraseVMC));
  for (int step = 0; step < 25; ++step) ASSERT_TRUE(link.wait(100));
  std::uint8_t answer = 0;
  ASSERT_TRUE(link.readAnswer(&answer, 1, received));
  EXPECT_EQ(received, 1u);

  ASSERT_TRUE(link.writeByte(cmdLoadVMC));
  ASSERT_TRUE(link.writeEchoed(image.data(), kVMCHeaderSize));
  ASSERT_TRUE(link.sendBlocks(image.data(), image.size(), kVMCHeaderSize, kVMCBlockSize, true));
  link.close();

  ASSERT_TRUE(board.recording().waitForEvent("program-vmc", 2s));
  EXPECT_EQ(board.recording().image("program"), image);
  EXPECT_EQ(board.recording().events(),
            (std::vector<std::string>{"switch-speed", "identify", "erase-vmc", "load-vmc",
                                      "program-vmc"}));
  std::vector<std::uint32_t> sleeps{10};
  sleeps.insert(sleeps.end(), 25, 100);
  EXPECT_EQ(clock.sleeps, sleeps);
  EXPECT_EQ(progress, (std::vector<std::size_t>{40, 72, 104, 120}));
  EXPECT_TRUE(messages.entries.empty());
}

TEST_F(LinkSteps, FailedSetUpClosesThePortWithTheStepThatFailed) {
  boardemu::PtyLink pty;
  if (!pty.open()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  struct Case {
    bool open;
    std::uint32_t baud;
    std::string error;
  } const cases[] = {
      // A speed the line does not offer must not leave the old one set.
      {true, 12345, "setup COM7 SetCommState() " + std::to_string(EINVAL)},
      {false, 19200, "setup COM7 GetCommState() " + std::to_string(EBADF)},
  };
  for (const Case& c : cases) {
    messages.entries.clear();
    link.close();
    if (c.open) {
      ASSERT_TRUE(link.open("COM7", pty.path()));
    }
    EXPECT_FALSE(link.setup(c.baud, {}));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{c.error});
    EXPECT_FALSE(link.isOpen());
  }
  EXPECT_FALSE(link.open("COM8", "/nonexistent/tty"));
  EXPECT_EQ(messages.errors().back(), "open COM8 " + std::to_string(ENOENT));
}

// Each step that can block for long ends soon after cancel() from another
// thread, reports the cancel once and leaves the port closed.
struct BlockedStep {
  const char* name;
  std::function<bool(Link&)> run;
};

void PrintTo(const BlockedStep& step, std::ostream* out) { *out << step.name; }

class CancelFromAnotherThread : public ::testing::TestWithParam<BlockedStep> {};

TEST_P(CancelFromAnotherThread, WakesTheStepAndClosesThePort) {
  boardemu::PtyLink pty;  // nobody answers or reads
  if (!pty.open()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TestTexts texts;
  Link link(texts);  // the system clock: waits really sleep
  Messages messages;
  link.onMessage = [&messages](MessageKind kind, const std::string& text) {
    messages.entries.emplace_back(kind, text);
  };
  ASSERT_TRUE(link.open("COM2", pty.path()));
  ASSERT_TRUE(link.setup(57600, {0, 0, 10000, 0, 10000}));

  std::thread canceller([&link] {
    std::this_thread::sleep_for(150ms);
    link.cancel();
  });
  const auto start = Steady::now();
  const bool done = GetParam().run(link);
  const auto took = Steady::now() - start;
  canceller.join();

  EXPECT_FALSE(done);
  EXPECT_GE(took, 100ms);
  EXPECT_LT(took, 3s);
  EXPECT_EQ(messages.errors(), std::vector<std::string>{"canceled"});
  EXPECT_TRUE(link.cancelRequested());
  // Only a step of the line closes it; a cancelled wait leaves that to the caller.
  if (std::string(GetParam().name) != "Wait") {
    EXPECT_FALSE(link.isOpen());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CancelFromAnotherThread,
    ::testing::Values(BlockedStep{"Read",
                                  [](Link& link) {
                                    std::uint8_t buffer[4];
                                    std::size_t received = 0;
                                    return link.read(buffer, sizeof buffer, received);
                                  }},
                      BlockedStep{"Write",
                                  [](Link& link) {
                                    const Bytes big(1 << 20, 0x55);  // more than the terminal holds
                                    return link.write(big.data(), big.size());
                                  }},
                      BlockedStep{"EchoedBlock",
                                  [](Link& link) {
                                    const Bytes block(32, 0x11);
                                    return link.writeEchoed(block.data(), block.size());
                                  }},
                      BlockedStep{"Wait", [](Link& link) { return link.wait(10000); }}),
    [](const ::testing::TestParamInfo<BlockedStep>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vexa::download
