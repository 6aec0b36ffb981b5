// Download into a first-generation board emulated on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "Download.h"
#include "QuorinInstance.h"
#include "TokenCode.h"
#include "boardemu/FirstGenBoard.h"
#include "vxbas32.h"

using vexa::boardemu::FaultKind;
using vexa::boardemu::FaultOptions;
using vexa::boardemu::FirstGenBoard;

namespace {

constexpr vexa::vxbasic::DownloadTimeouts kShort{5, 150};

class Download : public ::testing::Test {
 protected:
  void TearDown() override {
    if (fd_ >= 0) ::close(fd_);
  }
  // Starts the board and opens its line as the caller would.
  void start(FirstGenBoard& board) {
    ASSERT_TRUE(board.start()) << board.linkError();
    fd_ = ::open(board.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd_, 0);
  }
  static vexa::vxbasic::DownloadImage image(std::vector<uint8_t> code,
                                            std::vector<uint8_t> sysCode) {
    vexa::vxbasic::DownloadImage img;
    img.codeLength = static_cast<uint16_t>(code.size());
    std::copy(code.begin(), code.end(), img.code.begin());
    img.sysCodeLength = static_cast<uint16_t>(sysCode.size());
    std::copy(sysCode.begin(), sysCode.end(), img.sysCode.begin());
    return img;
  }
  int32_t run(const vexa::vxbasic::DownloadImage& img) {
    return vexa::vxbasic::download(img, fd_, progress_, kShort);
  }
  int fd_ = -1;
  std::atomic<uint16_t> progress_{77};
};

TEST_F(Download, CodeAndSystemCodeWithEcho) {
  FirstGenBoard board;
  start(board);
  auto img = image({10, 20, 30, 40, 50, 255}, {7, 8, 9});
  EXPECT_EQ(run(img), 9);
  EXPECT_EQ(progress_.load(), 100);
  ASSERT_TRUE(board.recording().waitForEvent("syscode done", std::chrono::seconds(2)));
  EXPECT_EQ(board.recording().received(), (std::vector<uint8_t>{0x01, 0x02, 0x00, 0x06, 10, 20, 30,
                                                                40, 50, 255, 0x08, 0x03, 7, 8, 9}));
  EXPECT_EQ(board.recording().image("code"), (std::vector<uint8_t>{10, 20, 30, 40, 50, 255}));
  EXPECT_TRUE(board.recording().hasEvent("greeting at 9600"));
}

TEST_F(Download, WithoutSystemCodeNoSysCommand) {
  FirstGenBoard board("VEXAN-BASIC Version 9.9 (01.01.99)\r");
  start(board);
  auto img = image({1, 2, 3, 4}, {});
  EXPECT_EQ(run(img), 4);
  ASSERT_TRUE(board.recording().waitForEvent("code done", std::chrono::seconds(2)));
  EXPECT_EQ(board.recording().received(),
            (std::vector<uint8_t>{0x01, 0x02, 0x00, 0x04, 1, 2, 3, 4}));
}

struct FaultCase {
  const char* name;
  std::string banner;
  FaultOptions faults;
  int32_t result;
  uint16_t progress;
};

TEST_F(Download, FaultsEndWithTheirResult) {
  const std::string good = "VEXAN-BASIC Version 1.1 (20.12.96)\r";
  const FaultCase cases[] = {
      {"other board", "VEXAM-BASIC Version 1.1 (20.12.96)\r", {}, -1, 0},
      {"short banner", "VEXAN-BASIC", {}, -1, 0},
      {"no answer", good, {FaultKind::NoAnswer, 0, 0}, -3, 0},
      {"wrong echo", good, {FaultKind::WrongEcho, 4, 0}, -4, 20},
      {"missing echo", good, {FaultKind::DropEcho, 1, 0}, -3, 0},
      {"hang-up", good, {FaultKind::HangUp, 2, 0}, -3, 0},
  };
  for (const FaultCase& c : cases) {
    FirstGenBoard board(c.banner, c.faults);
    start(board);
    progress_ = 77;
    EXPECT_EQ(run(image({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {})), c.result) << c.name;
    EXPECT_EQ(progress_.load(), c.progress) << c.name;
    ::close(fd_);
    fd_ = -1;
  }
}

TEST_F(Download, ChatteringBoardCannotHoldTheDrain) {
  FirstGenBoard board("VEXAN-BASIC Version 1.1 (20.12.96)\r", {FaultKind::Chatter, 0, 0});
  start(board);
  const uint8_t wake = 0;
  ASSERT_EQ(::write(fd_, &wake, 1), 1);
  const auto begin = std::chrono::steady_clock::now();
  int32_t result = run(image({1, 2}, {}));
  EXPECT_LT(result, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
}

TEST_F(Download, DescriptorNotOpenFailsAtOnce) {
  int closed = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  ASSERT_GE(closed, 0);
  ::close(closed);
  for (int descriptor : {-1, closed}) {
    progress_ = 77;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(vexa::vxbasic::download(image({1, 2}, {}), descriptor, progress_), -2) << descriptor;
    EXPECT_EQ(progress_.load(), 0) << descriptor;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(500))
        << descriptor;
  }
}

TEST_F(Download, ThroughTheExport) {
  FirstGenBoard board;
  start(board);
  QuorinHandle h = QuorinCreate();
  std::string source = "DEFINE LED PORT[1]\nLED = ON\nSYSCODE\n&H12 &H34\nSYSEND";
  QuorinSetMemSourcePointer(h, source.c_str());
  ASSERT_EQ(QuorinCompile(h, nullptr), 0u);
  EXPECT_EQ(QuorinDownload(h, fd_), 8);
  EXPECT_EQ(QuorinGetProgress(h), 100);
  ASSERT_TRUE(board.recording().waitForEvent("syscode done", std::chrono::seconds(2)));
  EXPECT_EQ(board.recording().image("code"),
            vexa::basic::assemble({"0004 Push -1", "0007 StorePortBit 0", "0009 End"}));
  EXPECT_EQ(board.recording().image("syscode"), (std::vector<uint8_t>{0x12, 0x34}));
  QuorinDestroy(h);
}

}  // namespace
