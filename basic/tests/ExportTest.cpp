// The exported functions as the IDE calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "vxbas32.h"

namespace {

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    h_ = QuorinCreate();
    ASSERT_NE(h_, nullptr);
  }
  void TearDown() override { QuorinDestroy(h_); }
  uint32_t compile(const std::string& source) {
    source_ = source;
    QuorinSetCompilerMessageBuffer(h_, messages_, sizeof messages_);
    QuorinSetMemSourcePointer(h_, source_.c_str());
    return QuorinCompile(h_, nullptr);
  }
  QuorinHandle h_ = nullptr;
  std::string source_;
  char messages_[8192];
};

TEST_F(Exports, MessageBufferIsZeroFilled) {
  std::vector<char> buffer(100, 'x');
  EXPECT_EQ(QuorinSetCompilerMessageBuffer(h_, buffer.data(), 100), 1);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\0'), 100);
  EXPECT_EQ(QuorinSetCompilerMessageBuffer(h_, nullptr, 100), 1);
  EXPECT_EQ(QuorinSetCompilerMessageBuffer(h_, buffer.data(), -5), 1);
}

TEST_F(Exports, CompileAndReadResults) {
  EXPECT_EQ(QuorinSetBASFileName(h_, "x.bas"), 0);
  EXPECT_EQ(QuorinCompile(h_, nullptr), static_cast<uint32_t>(QUORIN_COMPILE_NO_SOURCE));
  ASSERT_EQ(compile("DEFINE LED PORT[1]\nLED = ON\nSYSCODE\n1 2 3\nSYSEND"), 0u) << messages_;
  EXPECT_EQ(QuorinGetCodeLength(h_), 6);
  EXPECT_EQ(QuorinGetSysCodeLength(h_), 3);
  EXPECT_STREQ(messages_, "");
  EXPECT_EQ(QuorinMapSymbol(h_, "led"), 0x03020000u);
  EXPECT_EQ(QuorinMapSymbol(h_, "LED"), 0x03020000u);
  EXPECT_EQ(QuorinMapSymbol(h_, "Led"), 0x03020000u);
  EXPECT_EQ(QuorinMapSymbol(h_, "nothing"), 0u);
  EXPECT_EQ(QuorinMapSymbol(h_, nullptr), 0u);
  EXPECT_EQ(QuorinIsValidBreakPoint(h_, 2), 1);
  EXPECT_EQ(QuorinIsValidBreakPoint(h_, 1), 0);
  EXPECT_EQ(QuorinIsValidBreakPoint(h_, 3), 1);
  EXPECT_EQ(QuorinIsValidBreakPoint(h_, 4), 0);
}

TEST_F(Exports, LineInfosCopyOnlyTheLines) {
  ASSERT_EQ(compile("DEFINE A BYTE\nA = 1\nEND"), 0u);
  uint8_t infos[6];
  std::memset(infos, 0xEE, sizeof infos);
  EXPECT_EQ(QuorinGetModuleLineInfos(h_, infos, 6), 1);
  EXPECT_EQ(infos[0], 0);
  EXPECT_EQ(infos[1], 1);
  EXPECT_EQ(infos[2], 1);
  EXPECT_EQ(infos[3], 0xEE);
  std::memset(infos, 0xEE, sizeof infos);
  EXPECT_EQ(QuorinGetModuleLineInfos(h_, infos, 1), 1);
  EXPECT_EQ(infos[1], 0xEE);
  EXPECT_EQ(QuorinGetModuleLineInfos(h_, nullptr, 3), 0);
}

TEST_F(Exports, ErrorsAsStatusAndMessages) {
  uint32_t status = compile("NEXT\n\nGOTO X");
  EXPECT_EQ(status, (2u << 16) | 1u);
  EXPECT_STREQ(messages_,
               "BASIC-Modul (1) : NEXT ohne FOR\r\nBASIC-Modul (3) : undefiniertes Label X\r\n");
}

TEST(ExportsStandalone, MapCodeNeedsNoHandle) {
  EXPECT_EQ(MakeQuorinMapCode(3, 2, 5), 0x03020005u);
  EXPECT_EQ(MakeQuorinMapCode(1, 5, 0xFFFF), 0x0105FFFFu);
}

TEST(ExportsStandalone, UnknownHandlesAreRefused) {
  QuorinHandle live = QuorinCreate();
  QuorinHandle stale = QuorinCreate();
  QuorinDestroy(stale);
  int dummy = 0;
  auto bogus = reinterpret_cast<QuorinHandle>(&dummy);
  for (QuorinHandle h : {QuorinHandle{nullptr}, stale, bogus}) {
    char buffer[16] = "keep";
    uint8_t infos[4] = {7, 7, 7, 7};
    EXPECT_EQ(QuorinSetMemSourcePointer(h, "END"), 0);
    EXPECT_EQ(QuorinSetCompilerMessageBuffer(h, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(QuorinCompile(h, nullptr), static_cast<uint32_t>(QUORIN_COMPILE_NO_SOURCE));
    EXPECT_EQ(QuorinGetCodeLength(h), 0);
    EXPECT_EQ(QuorinGetModuleLineInfos(h, infos, 4), 0);
    EXPECT_EQ(infos[0], 7);
    EXPECT_EQ(QuorinIsValidBreakPoint(h, 1), 0);
    EXPECT_EQ(QuorinStep(h), static_cast<uint32_t>(QUORIN_STEP_ERROR));
    EXPECT_EQ(QuorinMapSymbol(h, "YEAR"), 0u);
    EXPECT_EQ(QuorinSetValue(h, 0x01010000, 1), 0);
    EXPECT_EQ(QuorinGetOutputString(h), nullptr);
    EXPECT_EQ(QuorinDumpFile(h, nullptr), 0);
    EXPECT_LT(QuorinDownload(h, -1), 0);
    QuorinResetProgram(h);
    QuorinSetInputValue(h, 1);
    QuorinSetADC(h, 0, 1);
    QuorinDestroy(h);  // ignored
  }
  EXPECT_EQ(QuorinSetMemSourcePointer(live, "END"), 1);
  QuorinDestroy(live);
}

}  // namespace
