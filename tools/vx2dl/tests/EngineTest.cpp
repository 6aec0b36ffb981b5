#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>

#include "TestSupport.h"
#include "boardemu/V2Board.h"
#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {
namespace {

using namespace std::chrono_literals;
using boardemu::FaultKind;
using boardemu::FaultOptions;
using boardemu::V2Board;
using boardemu::V2BoardOptions;
using boardemu::V2Mode;
using testing::hexDataLine;
using testing::MessageLog;
using testing::ScopedEnv;
using testing::sequence;
using testing::TempDir;
using testing::vmcText;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// The engine against an emulated board on COM2, with the protocol's waits
// recorded instead of slept.
class DownloadEngine : public ::testing::Test {
 protected:
  bool startBoard(V2BoardOptions options = {}, FaultOptions faults = {}) {
    env.reset();
    board.reset();
    board = std::make_unique<V2Board>(std::move(options), faults);
    if (!board->start()) return false;
    env = std::make_unique<ScopedEnv>("VEXA_COM2", board->path());
    return true;
  }
  void SetUp() override {
    engine.SetLanguage(kEnglish);
    log.attach(engine);
    engine.OnWait = [this](TVX2Downloader&, std::uint32_t ms, bool& cancel) {
      waits.push_back(ms);
      cancel = cancelWaitAt == waits.size();
    };
    engine.OnProgress = [this](TVX2Downloader&, std::size_t position, std::size_t total,
                               bool& cancel) {
      progress.emplace_back(position, total);
      cancel = cancelProgressAt == progress.size();
    };
  }
  void loadVMC(const std::vector<int>& bytes, const std::vector<int>& words) {
    ASSERT_TRUE(engine.LoadUserProgram(dir.write("p.vmc", vmcText(bytes, words))));
  }
  void loadHex(std::size_t records) {
    std::string text;
    for (std::size_t i = 0; i < records; ++i) {
      Bytes data(i % 2 == 0 ? 32 : 5);
      for (std::size_t k = 0; k < data.size(); ++k) data[k] = static_cast<std::uint8_t>(i * 40 + k);
      text += hexDataLine(static_cast<std::uint16_t>(i * 32), data) + "\r\n";
    }
    text += ":00000001FF\r\n";
    ASSERT_TRUE(engine.LoadUserProgram(dir.write("p.hex", text)));
  }
  void loadFirmware(std::size_t bootRecords, std::size_t osRecords) {
    std::string boot, os;
    for (std::size_t i = 0; i < bootRecords; ++i)
      boot +=
          hexDataLine(static_cast<std::uint16_t>(i * 32), Bytes(32, static_cast<std::uint8_t>(i))) +
          "\n";
    for (std::size_t i = 0; i < osRecords; ++i)
      os += hexDataLine(static_cast<std::uint16_t>(i * 32),
                        Bytes(i % 3 + 30, static_cast<std::uint8_t>(0x80 + i))) +
            "\n";
    ASSERT_TRUE(engine.LoadBootHex(dir.write("boot.hex", boot + ":00000001FF\n")));
    ASSERT_TRUE(engine.LoadOSHex(dir.write("os.hex", os + ":00000001FF\n")));
  }
  std::vector<std::string> progressTexts() const {
    std::vector<std::string> out;
    for (const auto& [kind, text] : log.entries) {
      if (kind == MessageKind::Progress) out.push_back(text);
    }
    return out;
  }

  TempDir dir;
  TVX2Downloader engine;
  MessageLog log;
  std::vector<std::uint32_t> waits;
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  std::size_t cancelWaitAt = 0;  // 1-based call that cancels; 0 never
  std::size_t cancelProgressAt = 0;
  std::unique_ptr<V2Board> board;
  std::unique_ptr<ScopedEnv> env;
};

#define START_BOARD(...) \
  if (!startBoard(__VA_ARGS__)) GTEST_SKIP() << "no pseudo-terminal can be opened here"

TEST_F(DownloadEngine, VMCProgramArrivesByteForByte) {
  START_BOARD();
  loadVMC(sequence(64, 3, 7, 256), sequence(32, 1, 4099, 65536));
  ASSERT_TRUE(engine.DownloadUserProgram()) << (log.errors().empty() ? "" : log.errors()[0]);
  ASSERT_TRUE(board->recording().waitForEvent("end-load", 2s));
  EXPECT_EQ(board->recording().image("program"), engine.ProgramImage());
  EXPECT_EQ(board->recording().events(),
            (std::vector<std::string>{"switch-speed", "erase-vmc", "load-vmc", "program-vmc",
                                      "end-load"}));
  EXPECT_EQ(waits, (std::vector<std::uint32_t>{2500, 500}));
  // 8 + 32 x 4 bytes: the header, four full blocks, no remainder block.
  using P = std::pair<std::size_t, std::size_t>;
  EXPECT_EQ(progress,
            (std::vector<P>{{0, 136}, {40, 136}, {72, 136}, {104, 136}, {136, 136}, {136, 136}}));
  EXPECT_EQ(progressTexts(),
            (std::vector<std::string>{"The flash is being erased...",
                                      "Sending 128 bytes user program code", "OK"}));
  EXPECT_TRUE(log.errors().empty());
  EXPECT_EQ(engine.LinkMode(), 1);
}

TEST_F(DownloadEngine, HexProgramEndsWithTheEndMarkBlock) {
  START_BOARD();
  loadHex(3);
  ASSERT_EQ(engine.ProgramImage().size(), 107u);
  ASSERT_TRUE(engine.DownloadUserProgram()) << (log.errors().empty() ? "" : log.errors()[0]);
  ASSERT_TRUE(board->recording().waitForEvent("end-load", 2s));
  EXPECT_EQ(board->recording().image("program"), engine.ProgramImage());
  EXPECT_TRUE(board->recording().hasEvent("erase-hex"));
  EXPECT_TRUE(board->recording().hasEvent("load-hex"));
  EXPECT_EQ(waits, (std::vector<std::uint32_t>{1000, 500}));
  using P = std::pair<std::size_t, std::size_t>;
  EXPECT_EQ(progress, (std::vector<P>{{0, 107}, {35, 107}, {70, 107}, {105, 107}, {107, 107}}));
  EXPECT_EQ(progressTexts()[1], "Sending 98 bytes user program code");
}

TEST_F(DownloadEngine, ZapOSSendsBootloaderAndOS) {
  V2BoardOptions options;
  options.mode = V2Mode::Boot;
  options.bootSize = 96;
  START_BOARD(options);
  loadFirmware(3, 4);
  ASSERT_TRUE(engine.ZapOS()) << (log.errors().empty() ? "" : log.errors()[0]);
  ASSERT_TRUE(board->recording().waitForEvent("os-complete", 2s));
  EXPECT_EQ(board->recording().image("boot"), engine.BootImage());
  EXPECT_EQ(board->recording().image("os"), engine.OSImage());
  EXPECT_EQ(waits, (std::vector<std::uint32_t>{1250, 3000}));
  EXPECT_EQ(progressTexts(),
            (std::vector<std::string>{
                "Trying to connect to the Vexa II unit...", "Sending 96 bytes bootloader code",
                "OK", "The flash is being erased...", "Sending 130 bytes OS code", "OK"}));
  // Bootloader: 0, three blocks, the end; OS: 0, four records, the end mark block's end.
  EXPECT_EQ(progress.size(), 5u + 6u);
  EXPECT_EQ(engine.LinkMode(), 2);
  EXPECT_FALSE(board->recording().hasEvent("end-load"));
}

TEST_F(DownloadEngine, InfoRepliesAsReceived) {
  V2BoardOptions options;
  options.identifyReply = "VX2";
  options.info1Reply = std::string("v1\0x", 4);
  options.info2Reply = std::string(40, 'z');
  START_BOARD(options);
  EXPECT_EQ(engine.QueryInfo(TVX2Downloader::cmdIdentify), "VX2");
  EXPECT_EQ(engine.QueryInfo(TVX2Downloader::cmdInfo1), std::string("v1\0x", 4));
  // At most 32 bytes; the rest is left on the line.
  EXPECT_EQ(engine.QueryInfo(TVX2Downloader::cmdInfo2), std::string(32, 'z'));
  EXPECT_EQ(engine.LinkMode(), 1);
  EXPECT_TRUE(log.errors().empty());
}

TEST_F(DownloadEngine, PortThatCannotOpenGivesOneMessageAndNoReply) {
  struct Case {
    std::string device;
    std::string error;
  } const cases[] = {
      {"/nonexistent/tty", "Could not open COM2 - error code 2"},
      {dir.write("plain", "x"), "Could not open COM2 - error code 25"},
  };
  for (const Case& c : cases) {
    log.entries.clear();
    ScopedEnv device("VEXA_COM2", c.device);
    EXPECT_EQ(engine.QueryInfo(TVX2Downloader::cmdIdentify), "");
    EXPECT_EQ(log.errors(), std::vector<std::string>{c.error});
    EXPECT_EQ(engine.LinkMode(), 0);
  }
  engine.SetPortIndex(3);
  engine.SetLanguage(kGerman);
  log.entries.clear();
  ScopedEnv device("VEXA_COM4", "/nonexistent/tty");
  EXPECT_EQ(engine.QueryInfo(TVX2Downloader::cmdInfo1), "");
  EXPECT_EQ(log.errors(), std::vector<std::string>{"Konnte die COM4 nicht oeffnen - Fehlercode 2"});
}

enum class Operation { Program, ZapOS };

struct FaultCase {
  const char* name;
  Operation operation;
  V2Mode mode;
  FaultOptions faults;
  std::string error;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class TransferFaults : public DownloadEngine, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFaults, EndWithOneMessageAndClosedPort) {
  const FaultCase& c = GetParam();
  V2BoardOptions options;
  options.mode = c.mode;
  options.bootSize = 64;
  START_BOARD(options, c.faults);
  const bool zap = c.operation == Operation::ZapOS;
  if (zap) {
    loadFirmware(2, 3);
  } else {
    loadVMC(sequence(64, 3, 7, 256), sequence(32, 1, 4099, 65536));
  }
  const auto start = Clock::now();
  EXPECT_FALSE(zap ? engine.ZapOS() : engine.DownloadUserProgram());
  EXPECT_LT(Clock::now() - start, 8s);
  EXPECT_EQ(log.errors(), std::vector<std::string>{c.error});
  EXPECT_EQ(engine.LinkMode(), 0);
}

constexpr auto kProgram = Operation::Program;
constexpr auto kZap = Operation::ZapOS;

INSTANTIATE_TEST_SUITE_P(
    Board, TransferFaults,
    ::testing::Values(
        FaultCase{"NoAnswer",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::NoAnswer, 0, 0},
                  "No answer, check connection cable"},
        FaultCase{"SlowAnswer",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::SlowAnswer, 0, 1500},
                  "No answer, check connection cable"},
        FaultCase{"WrongMode", kProgram, V2Mode::Boot, {}, "No answer, check connection cable"},
        FaultCase{"WrongEcho",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::WrongEcho, 50, 0},
                  "Communication error - reply of data block is different"},
        FaultCase{"DropEchoInHeader",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::DropEcho, 3, 0},
                  "Communication error - truncated reply of data block (7/8 bytes)"},
        FaultCase{"DropEchoInBlock",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::DropEcho, 20, 0},
                  "Communication error - truncated reply of data block (31/32 bytes)"},
        FaultCase{"HangUp",
                  kProgram,
                  V2Mode::Host,
                  {FaultKind::HangUp, 5, 0},
                  "Error reading from COM - error code 5"},
        FaultCase{"ZapNoAnswer",
                  kZap,
                  V2Mode::Boot,
                  {FaultKind::NoAnswer, 0, 0},
                  "No answer, check connection cable"},
        FaultCase{"ZapWrongMode", kZap, V2Mode::Host, {}, "No answer, check connection cable"},
        // The handshake drain gives up on a unit that never stops; the first
        // echo then shows the noise.
        FaultCase{"ZapChatter",
                  kZap,
                  V2Mode::Boot,
                  {FaultKind::Chatter, 0, 0},
                  "Communication error - reply of data block is different"},
        FaultCase{"ZapWrongEcho",
                  kZap,
                  V2Mode::Boot,
                  {FaultKind::WrongEcho, 40, 0},
                  "Communication error - reply of data block is different"},
        FaultCase{"ZapHangUp",
                  kZap,
                  V2Mode::Boot,
                  {FaultKind::HangUp, 0, 0},
                  "Error reading from COM - error code 5"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(DownloadEngine, CancelledWaitOrProgressEndsTheTransfer) {
  loadVMC(sequence(32, 0, 1, 256), sequence(16, 0, 1, 65536));
  struct Case {
    std::size_t waitAt, progressAt;
  } const cases[] = {{1, 0}, {2, 0}, {0, 1}, {0, 2}};
  for (const Case& c : cases) {
    START_BOARD();
    log.entries.clear();
    waits.clear();
    progress.clear();
    cancelWaitAt = c.waitAt;
    cancelProgressAt = c.progressAt;
    EXPECT_FALSE(engine.DownloadUserProgram());
    EXPECT_EQ(log.errors(), std::vector<std::string>{"User request - canceled"});
    EXPECT_EQ(engine.LinkMode(), 0);
  }
}

TEST_F(DownloadEngine, WithoutHandlersWaitsAreSleptAndNothingCancels) {
  START_BOARD();
  loadHex(1);
  engine.OnWait = nullptr;
  engine.OnProgress = nullptr;
  const auto start = Clock::now();
  ASSERT_TRUE(engine.DownloadUserProgram()) << (log.errors().empty() ? "" : log.errors()[0]);
  EXPECT_GE(Clock::now() - start,
            1500ms);  // erase wait of a HEX program, then the wait before loading
  ASSERT_TRUE(board->recording().waitForEvent("end-load", 2s));
  EXPECT_EQ(board->recording().image("program"), engine.ProgramImage());
}

TEST_F(DownloadEngine, EchoBlockLimitAndMissingImages) {
  const Bytes block(129, 0);
  EXPECT_THROW(engine.WriteCOMReply(block.data(), block.size()), std::logic_error);
  EXPECT_FALSE(engine.DownloadUserProgram());
  EXPECT_FALSE(engine.ZapOS());
  EXPECT_EQ(log.errors().size(), 2u);
  EXPECT_EQ(engine.LinkMode(), 0);
}

}  // namespace
}  // namespace vexa::vx2dl
