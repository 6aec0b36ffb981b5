#include "boardemu/FirstGenBoard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "vexa/platform/SerialPort.h"

namespace vexa::boardemu {
namespace {

using namespace std::chrono_literals;
using vexa::platform::SerialPort;
using Bytes = std::vector<std::uint8_t>;

struct Case {
  const char* name;
  Bytes sent;          // what the host writes, all at once
  std::string answer;  // what comes back: banner and echoes
  Bytes code;          // the images recorded, empty when none
  Bytes sysCode;
};

TEST(FirstGenBoard, AnswersGreetingAndEchoesImages) {
  const std::string banner = kFirstGenBanner;
  const Case cases[] = {
      {"greeting", {0x01}, banner, {}, {}},
      {"code", {0x02, 0x00, 0x03, 9, 8, 7}, std::string("\x00\x03\x09\x08\x07", 5), {9, 8, 7}, {}},
      {"code and system code",
       {0x02, 0x00, 0x01, 0xFF, 0x08, 0x02, 0x12, 0x34},
       std::string("\x00\x01\xFF\x02\x12\x34", 6),
       {0xFF},
       {0x12, 0x34}},
      // An empty code ends at once; the board is ready for the next command.
      {"empty code", {0x02, 0x00, 0x00, 0x01}, std::string("\x00\x00", 2) + banner, {}, {}},
      {"unknown bytes are ignored", {0x55, 0x01}, banner, {}, {}},
  };
  for (const Case& c : cases) {
    FirstGenBoard board;
    if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
    SerialPort port;
    ASSERT_TRUE(port.open(board.path())) << port.lastError();
    ASSERT_TRUE(port.configure(9600));
    port.setTimeouts({100, 10, 500, 0, 0});
    ASSERT_TRUE(port.write(c.sent.data(), c.sent.size()).ok()) << c.name;
    std::string answer(c.answer.size() + 1, '\0');
    answer.resize(port.read(answer.data(), answer.size()).count);
    EXPECT_EQ(answer, c.answer) << c.name;
    if (!c.code.empty()) {
      ASSERT_TRUE(board.recording().waitForEvent("code done", 1s)) << c.name;
      EXPECT_EQ(board.recording().image("code"), c.code) << c.name;
    }
    if (!c.sysCode.empty()) {
      ASSERT_TRUE(board.recording().waitForEvent("syscode done", 1s)) << c.name;
      EXPECT_EQ(board.recording().image("syscode"), c.sysCode) << c.name;
    }
    EXPECT_EQ(board.recording().hasEvent("greeting at 9600"),
              c.answer.find("VEXAN") != std::string::npos)
        << c.name;
  }
}

}  // namespace
}  // namespace vexa::boardemu
