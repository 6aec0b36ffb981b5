#include "boardemu/V2Board.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "vexa/platform/SerialPort.h"

namespace vexa::boardemu {
namespace {

using namespace std::chrono_literals;
using vexa::platform::SerialPort;
using vexa::platform::SerialTimeouts;
using Bytes = std::vector<std::uint8_t>;

// A started board and a host port on it. The first byte of an answer may take long on a
// busy machine, so that a late answer is not cut off and pushed into the next read; a read
// of more than the answer ends half a second after its last byte.
struct Bench {
  static constexpr SerialTimeouts kAnswer{500, 10, 10000, 0, 0};

  std::unique_ptr<V2Board> board;
  SerialPort port;

  bool start(V2BoardOptions options, FaultOptions faults = {}) {
    board = std::make_unique<V2Board>(std::move(options), faults);
    return board->start();
  }
  void connect(std::uint32_t baud) {
    port.close();
    ASSERT_TRUE(port.open(board->path())) << port.lastError();
    ASSERT_TRUE(port.configure(baud));
    port.setTimeouts(kAnswer);
  }
  void send(const Bytes& bytes) { ASSERT_TRUE(port.write(bytes.data(), bytes.size()).ok()); }
  Bytes receive(std::size_t count) {
    Bytes out(count);
    const auto r = port.read(out.data(), count);
    out.resize(r.count);
    return out;
  }
  // Exactly `count` bytes that the board sends, then nothing more.
  Bytes receiveAll(std::size_t count) {
    Bytes out = receive(count);
    const Bytes more = receiveSilence(1);
    out.insert(out.end(), more.begin(), more.end());
    return out;
  }
  // What the board sends within a short window where it is expected to stay silent.
  Bytes receiveSilence(std::size_t count) {
    port.setTimeouts(SerialTimeouts{0, 0, 300, 0, 0});
    Bytes out = receive(count);
    port.setTimeouts(kAnswer);
    return out;
  }
  std::string receiveText(std::size_t count) {
    const Bytes b = receive(count);
    return std::string(b.begin(), b.end());
  }
  // HOST mode: the speed switch command, then the host follows the board.
  void switchToFastSpeed() {
    send({0x08});
    ASSERT_TRUE(board->recording().waitForEvent("switch-speed", 2s));
    connect(57600);
  }
  // The BOOT-mode handshake at the fast speed; the identification answered.
  std::string bootHandshake() {
    connect(57600);
    send({0x00});
    return receiveText(32);
  }
};

#define START(bench, ...) \
  if (!(bench).start(__VA_ARGS__)) GTEST_SKIP() << "no pseudo-terminal can be opened here"

Bytes vmcImage() {
  Bytes image = {32, 0, 0, 0, 16, 0, 0, 0};
  for (int i = 0; i < 32; ++i) image.push_back(static_cast<std::uint8_t>(200 + i % 50));
  for (int i = 0; i < 32; ++i) image.push_back(static_cast<std::uint8_t>(i));
  return image;
}

TEST(V2BoardHost, AnswersQueriesAtTheSlowSpeedOnly) {
  Bench b;
  V2BoardOptions options;
  options.identifyReply = "ID";
  options.info1Reply = std::string("A\0B", 3);
  options.info2Reply = "INFO-2";
  START(b, options);
  b.connect(19200);
  struct Case {
    std::uint8_t command;
    std::string reply;
  } const cases[] = {{0x00, "ID"}, {0x01, std::string("A\0B", 3)}, {0x02, "INFO-2"}};
  for (const Case& c : cases) {
    b.send({c.command});
    EXPECT_EQ(b.receiveText(32), c.reply) << int(c.command);
  }
  // At the wrong speed the board takes the command for noise.
  b.connect(57600);
  b.send({0x01});
  EXPECT_TRUE(b.receiveSilence(32).empty());
  EXPECT_TRUE(b.board->recording().hasEvent("ignored 0x01 at 57600 baud"));
}

TEST(V2BoardHost, TakesAVMCImageWithEchoAndEndsAtEndLoad) {
  Bench b;
  START(b, V2BoardOptions{});
  b.connect(19200);
  b.switchToFastSpeed();
  b.send({0x06});
  EXPECT_EQ(b.receive(1), Bytes{0x06});
  b.send({0x04});
  const Bytes image = vmcImage();
  for (std::size_t at = 0; at < image.size(); at += 8) {
    const Bytes block(image.begin() + at, image.begin() + at + 8);
    b.send(block);
    EXPECT_EQ(b.receive(8), block);
  }
  ASSERT_TRUE(b.board->recording().waitForEvent("program-vmc", 2s));
  EXPECT_EQ(b.board->recording().image("program"), image);
  b.send({0x09});
  EXPECT_TRUE(b.board->recording().waitForEvent("end-load", 2s));
}

TEST(V2BoardHost, LoadWithoutEraseIsRefused) {
  Bench b;
  START(b, V2BoardOptions{});
  b.connect(19200);
  b.switchToFastSpeed();
  b.send({0x05, 0x11});
  EXPECT_EQ(b.receiveSilence(2), Bytes{});
  EXPECT_TRUE(b.board->recording().hasEvent("load without erase"));
}

TEST(V2BoardBoot, TakesBootloaderThenEchoedOSRecords) {
  Bench b;
  V2BoardOptions options;
  options.mode = V2Mode::Boot;
  options.bootSize = 64;
  START(b, options);
  EXPECT_EQ(b.bootHandshake(), "VX2 BOOT");
  Bytes boot(64);
  for (int i = 0; i < 64; ++i) boot[i] = static_cast<std::uint8_t>(i * 3);
  b.send(boot);
  ASSERT_TRUE(b.board->recording().waitForEvent("boot-complete", 2s));
  EXPECT_EQ(b.board->recording().image("boot"), boot);
  Bytes os(35, 0x42);
  os.push_back(0xFF);
  os.push_back(0xFF);
  b.send(os);
  EXPECT_EQ(b.receive(os.size()), os);
  ASSERT_TRUE(b.board->recording().waitForEvent("os-complete", 2s));
  EXPECT_EQ(b.board->recording().image("os"), os);
}

TEST(V2BoardBoot, PauseEndsTheBootloaderWhenNoSizeIsGiven) {
  Bench b;
  V2BoardOptions options;
  options.mode = V2Mode::Boot;
  options.bootGapMs = 50;
  START(b, options);
  EXPECT_EQ(b.bootHandshake(), "VX2 BOOT");
  b.send(Bytes(40, 0x33));
  ASSERT_TRUE(b.board->recording().waitForEvent("boot-complete", 2s));
  EXPECT_EQ(b.board->recording().image("boot").size(), 40u);
}

// Each fault against the same exchange: an identify query, then an erase
// and an echoed block of 8 bytes.
TEST(V2BoardFaults, EachFaultShowsOnTheLine) {
  struct Case {
    FaultOptions faults;
    std::string identify;  // reply to the query
    Bytes echo;            // what comes back for the block 1..8
  } const cases[] = {
      {{FaultKind::None, 0, 0}, "VX2 HOST", {1, 2, 3, 4, 5, 6, 7, 8}},
      {{FaultKind::NoAnswer, 0, 0}, "", {}},
      {{FaultKind::WrongEcho, 3, 0}, "VX2 HOST", {1, 2, 3, 4 ^ 0xFF, 5, 6, 7, 8}},
      {{FaultKind::DropEcho, 0, 0}, "VX2 HOST", {2, 3, 4, 5, 6, 7, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(faultKindName(c.faults.kind));
    Bench b;
    START(b, V2BoardOptions{}, c.faults);
    b.connect(19200);
    const bool answers = !c.identify.empty();
    b.send({0x00});
    const Bytes identify = b.receiveAll(c.identify.size());
    EXPECT_EQ(std::string(identify.begin(), identify.end()), c.identify);
    b.switchToFastSpeed();
    b.send({0x06});
    EXPECT_EQ(b.receiveAll(answers ? 1 : 0), answers ? Bytes{0x06} : Bytes{});
    b.send({0x04});
    b.send({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(b.receiveAll(c.echo.size()), c.echo);
  }
}

TEST(V2BoardFaults, SlowAnswerArrivesLate) {
  Bench b;
  START(b, V2BoardOptions{}, FaultOptions{FaultKind::SlowAnswer, 0, 150});
  b.connect(19200);
  b.port.setTimeouts(SerialTimeouts{0, 0, 1000, 0, 0});
  const auto start = std::chrono::steady_clock::now();
  b.send({0x00});
  EXPECT_EQ(b.receiveText(8), "VX2 HOST");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);
}

TEST(V2BoardFaults, HangUpKillsTheLine) {
  Bench b;
  START(b, V2BoardOptions{}, FaultOptions{FaultKind::HangUp, 1, 0});
  b.connect(19200);
  b.send({0x00});
  EXPECT_EQ(b.receiveText(8), "VX2 HOST");
  b.send({0x02});
  ASSERT_TRUE(b.board->recording().waitForEvent("hang-up", 2s));
  std::uint8_t buffer[8];
  EXPECT_EQ(b.port.read(buffer, 8).error, EIO);
}

TEST(V2BoardFaults, ChatterNeverStops) {
  Bench b;
  START(b, V2BoardOptions{}, FaultOptions{FaultKind::Chatter, 0, 0});
  b.connect(19200);
  b.send({0x00});
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(b.receive(256).size(), 256u) << round;
    std::this_thread::sleep_for(20ms);
  }
}

TEST(FaultNames, RoundTrip) {
  for (FaultKind kind :
       {FaultKind::None, FaultKind::NoAnswer, FaultKind::SlowAnswer, FaultKind::WrongEcho,
        FaultKind::DropEcho, FaultKind::HangUp, FaultKind::Chatter}) {
    EXPECT_EQ(parseFaultKind(faultKindName(kind)), kind);
  }
  EXPECT_FALSE(parseFaultKind("bogus").has_value());
}

}  // namespace
}  // namespace vexa::boardemu
