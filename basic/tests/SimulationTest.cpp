// Compiled VXBasic programs run through the exported functions, and value
// access by map code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CompileHelpers.h"
#include "FakeClock.h"
#include "vxbas32.h"

namespace {

class Simulation : public ::testing::Test {
 protected:
  void SetUp() override { h_ = QuorinCreate(); }
  void TearDown() override { QuorinDestroy(h_); }
  void build(const std::string& source) {
    source_ = source;
    QuorinSetCompilerMessageBuffer(h_, messages_, sizeof messages_);
    QuorinSetMemSourcePointer(h_, source_.c_str());
    ASSERT_EQ(QuorinCompile(h_, nullptr), 0u) << messages_;
    QuorinResetProgram(h_);
  }
  // Steps until the program end, collecting the output.
  std::string runToEnd(std::vector<uint32_t>* results = nullptr) {
    std::string out;
    for (int i = 0; i < 10000; ++i) {
      uint32_t r = QuorinStep(h_);
      if (results) results->push_back(r);
      out += QuorinGetOutputString(h_);
      uint16_t kind = static_cast<uint16_t>(r);
      if (kind == QUORIN_STEP_END || kind == QUORIN_STEP_ERROR || kind == QUORIN_STEP_INPUT) break;
    }
    return out;
  }
  QuorinHandle h_ = nullptr;
  std::string source_;
  char messages_[4096];
};

TEST_F(Simulation, PrintOneStepByStep) {
  build("PRINT 1");
  EXPECT_EQ(QuorinStep(h_), 0x00010001u);
  EXPECT_EQ(QuorinStep(h_), 0x00010003u);
  EXPECT_STREQ(QuorinGetOutputString(h_), "1");
  EXPECT_EQ(QuorinStep(h_), 0x00010003u);
  EXPECT_STREQ(QuorinGetOutputString(h_), "\r\n");
  EXPECT_EQ(QuorinStep(h_), 0x00010000u);
  EXPECT_EQ(QuorinStep(h_), 0x00010001u);  // starts again at address 4
}

TEST_F(Simulation, ProgramsAndTheirOutput) {
  struct Case {
    const char* source;
    const char* output;
  };
  const Case cases[] = {
      {"DEFINE I BYTE\nFOR I = 1 TO 3\nPRINT I;\nNEXT", "123"},
      {"PRINT 0; -5; 10000; 32767", "0-51000032767\r\n"},
      {"DEFINE A WORD\nA = 7 MOD -2 : PRINT A, -7 / 2", "1\t-3\r\n"},
      {"DEFINE I WORD\nFOR I = 10 TO 0 STEP -5\nPRINT I;\nNEXT", "1050"},
      // The rest of a FOR line runs after the loop.
      {"DEFINE I WORD\nFOR I = 10 TO 0 STEP -5 : PRINT I;\nNEXT", "0"},
      {"DEFINE A BYTE\nA = 2\nON A GOSUB 10, 20, 30\nEND\n10 PRINT \"x\"; : RETURN\n20 PRINT "
       "\"y\"; : RETURN\n"
       "30 PRINT \"z\"; : RETURN",
       "z"},
      {"DEFINE A WORD\nA = SQ\nPRINT A;\nEND\n#SQ RETURN 6 * 7", "42"},
      {"LOOKTAB T, 2, X\nEND\nTABLE T 10 20 30 TABEND", ""},
      {"DEFINE X WORD\nLOOKTAB T, 2, X\nPRINT X;\nEND\nTABLE T 10 20 30 TABEND", "30"},
      {"DEFINE A BYTE\nIF A = 0 THEN PRINT \"zero\"; ELSE PRINT \"other\";", "zero"},
      {"RANDOMIZE 1 : PRINT RAND; \" \"; RAND;", "251 -2535"},
      {"PRINT SQR(10); SQR(100); ABS(-4); SGN(-9); MIN(3, 4); MAX(3, 4);", "3104-134"},
      {"DEFINE W WORD\nOPEN# FOR WRITE : PRINT# 11 : PRINT# 22 : CLOSE#\nOPEN# FOR READ\n"
       "INPUT# W : PRINT W; : INPUT# W : PRINT W; : PRINT EOF;",
       "1122-1"},
  };
  for (const Case& c : cases) {
    source_ = c.source;
    QuorinSetCompilerMessageBuffer(h_, messages_, sizeof messages_);
    QuorinSetMemSourcePointer(h_, source_.c_str());
    uint32_t status = QuorinCompile(h_, nullptr);
    if (std::string(c.source).rfind("LOOKTAB T, 2, X", 0) == 0) {
      EXPECT_EQ(status & 0xFFFF, 1u);  // X is not defined
      continue;
    }
    ASSERT_EQ(status, 0u) << c.source << messages_;
    QuorinResetProgram(h_);
    EXPECT_EQ(runToEnd(), c.output) << c.source;
  }
}

TEST_F(Simulation, FalseBranchOfIf) {
  build("DEFINE A BYTE\nA = 3\nIF A = 0 THEN PRINT \"zero\"; ELSE PRINT \"other\";");
  EXPECT_EQ(runToEnd(), "other");
}

TEST_F(Simulation, InputWaitsForItsValue) {
  build("DEFINE X WORD\nINPUT X\nPRINT X;");
  EXPECT_EQ(QuorinStep(h_), 0x00020001u);
  EXPECT_EQ(QuorinStep(h_), 0x00020002u);
  EXPECT_EQ(QuorinStep(h_), 0x00020002u);
  QuorinSetInputValue(h_, -1234);
  EXPECT_EQ(QuorinStep(h_), 0x00030001u);  // stored, then the next line marker
  EXPECT_EQ(QuorinGetValue(h_, QuorinMapSymbol(h_, "X")), static_cast<uint16_t>(-1234));
}

TEST_F(Simulation, DivisionByZeroIsReportedAndRepeated) {
  build("DEFINE A WORD\nA = 0\nA = 5 / A\nPRINT A");
  EXPECT_EQ(QuorinStep(h_), 0x00020001u);
  EXPECT_EQ(QuorinStep(h_), 0x00030001u);
  EXPECT_EQ(QuorinStep(h_), 0x0001FFFFu);
  EXPECT_EQ(QuorinStep(h_), 0x0001FFFFu);
  QuorinSetValue(h_, QuorinMapSymbol(h_, "A"), 5);
  EXPECT_EQ(QuorinStep(h_), 0x00040001u);
}

TEST_F(Simulation, WaitReportsEachRound) {
  build("WAIT 0");
  EXPECT_EQ(QuorinStep(h_), 0x00010001u);
  EXPECT_EQ(QuorinStep(h_), 0x00010004u);
  EXPECT_EQ(QuorinStep(h_), 0x00010004u);
}

TEST_F(Simulation, PortsThroughTheProgram) {
  build("DEFINE LED PORT[1]\nLED = ON\nTOG LED");
  QuorinStep(h_);
  QuorinStep(h_);
  EXPECT_EQ(QuorinGetPortState(h_), 0x00010001u);
  QuorinStep(h_);
  EXPECT_EQ(QuorinGetPortState(h_), 0x00010000u);
  QuorinSetInitialPortState(h_, 0x8001);
  EXPECT_EQ(QuorinGetInitialPortState(h_), 0x8001);
  QuorinResetProgram(h_);
  EXPECT_EQ(QuorinGetPortState(h_), 0x00008001u);
}

TEST_F(Simulation, DataFileLengthAndDump) {
  build("OPEN# FOR WRITE\nPRINT# 7\nPRINT# -2\nCLOSE#");
  std::vector<uint32_t> results;
  runToEnd(&results);
  ASSERT_GE(results.size(), 4u);
  EXPECT_EQ(results[2], 0x00030006u);  // the line after the first PRINT#
  EXPECT_EQ(QuorinGetFileLength(h_), 2);
  int16_t words[4] = {0, 0, 0, 0};
  EXPECT_EQ(QuorinDumpFile(h_, words), 2);
  EXPECT_EQ(words[0], 7);
  EXPECT_EQ(words[1], -2);
  EXPECT_EQ(QuorinGetValue(h_, MakeQuorinMapCode(1, 5, 12)), 4);
  EXPECT_EQ(QuorinDumpFile(h_, nullptr), 0);
}

TEST_F(Simulation, OutputKeepsTheFirst255Characters) {
  build("DEFINE I WORD\nFOR I = 1 TO 30\nPRINT \"0123456789\";\nNEXT");
  std::string out;
  uint32_t r;
  do {
    r = QuorinStep(h_);
  } while (static_cast<uint16_t>(r) != QUORIN_STEP_END);
  out = QuorinGetOutputString(h_);
  EXPECT_EQ(out.size(), 255u);
  EXPECT_EQ(out.substr(250), "01234");
  EXPECT_STREQ(QuorinGetOutputString(h_), "");
}

TEST_F(Simulation, ValuesByMapCode) {
  build("DEFINE B BYTE\nDEFINE W WORD\nDEFINE F BIT[3]\nEND");
  const uint32_t byteCode = QuorinMapSymbol(h_, "b");
  EXPECT_EQ(QuorinSetValue(h_, byteCode, 256), 0);
  EXPECT_EQ(QuorinSetValue(h_, byteCode, -1), 0);
  EXPECT_EQ(QuorinSetValue(h_, byteCode, 255), 1);
  EXPECT_EQ(QuorinGetValue(h_, byteCode), 255);
  EXPECT_EQ(QuorinSetValue(h_, QuorinMapSymbol(h_, "W"), -2), 1);
  EXPECT_EQ(QuorinGetValue(h_, QuorinMapSymbol(h_, "W")), 0xFFFE);
  EXPECT_EQ(QuorinSetValue(h_, QuorinMapSymbol(h_, "F"), 2), 0);
  EXPECT_EQ(QuorinSetValue(h_, QuorinMapSymbol(h_, "F"), 1), 1);
  EXPECT_EQ(QuorinGetValue(h_, QuorinMapSymbol(h_, "F")), 65535);

  const uint32_t year = QuorinMapSymbol(h_, "YEAR");
  EXPECT_EQ(QuorinSetValue(h_, year, 104), 1);
  EXPECT_EQ(QuorinGetValue(h_, year), 4);
  EXPECT_EQ(QuorinSetValue(h_, year, 2004), 0);
  EXPECT_EQ(QuorinGetValue(h_, year), 4);  // refused: unchanged
  EXPECT_EQ(QuorinSetValue(h_, QuorinMapSymbol(h_, "TIMER"), 1234), 1);
  EXPECT_EQ(QuorinGetValue(h_, QuorinMapSymbol(h_, "TIMER")), 1234);
  EXPECT_EQ(QuorinSetValue(h_, MakeQuorinMapCode(1, 5, 11), 5), 1);  // FILEFREE is read-only

  EXPECT_EQ(QuorinSetValue(h_, MakeQuorinMapCode(2, 2, 1), 0xAB), 1);
  EXPECT_EQ(QuorinSetValue(h_, MakeQuorinMapCode(3, 2, 0), 1), 1);
  EXPECT_EQ(QuorinGetValue(h_, MakeQuorinMapCode(1, 2, 0)), 0xAB01);
  EXPECT_EQ(QuorinGetPortState(h_) >> 16, 0u);  // the driven mask is not changed

  EXPECT_EQ(QuorinSetValue(h_, MakeQuorinMapCode(2, 3, 7), 200), 1);
  EXPECT_EQ(QuorinGetADC(h_, 7), 200);
  QuorinSetADC(h_, 1, 9);
  EXPECT_EQ(QuorinGetValue(h_, MakeQuorinMapCode(2, 3, 1)), 9);
  EXPECT_EQ(QuorinSetValue(h_, MakeQuorinMapCode(2, 4, 1), 17), 1);
  EXPECT_EQ(QuorinGetDAC(h_, 1), 17);

  // Outside the board: reads 0, writes nothing.
  const uint32_t outside[] = {
      MakeQuorinMapCode(2, 1, 40), MakeQuorinMapCode(1, 1, 20), MakeQuorinMapCode(2, 3, 8),
      MakeQuorinMapCode(2, 4, 2),  MakeQuorinMapCode(3, 2, 16), MakeQuorinMapCode(2, 2, 2),
      MakeQuorinMapCode(2, 9, 0),  MakeQuorinMapCode(9, 1, 0),  MakeQuorinMapCode(1, 5, 200)};
  for (uint32_t code : outside) {
    EXPECT_EQ(QuorinSetValue(h_, code, 1), 1) << std::hex << code;
    EXPECT_EQ(QuorinGetValue(h_, code), 0) << std::hex << code;
  }
  QuorinSetADC(h_, 8, 1);
  QuorinSetADC(h_, -1, 1);
  EXPECT_EQ(QuorinGetADC(h_, 8), 0);
  EXPECT_EQ(QuorinGetADC(h_, -1), 0);
  EXPECT_EQ(QuorinGetDAC(h_, 2), 0);
}

TEST_F(Simulation, LongPauseIsLeftToTheCallerInRealTime) {
  QuorinSetOptions(h_, QUORIN_OPTION_REALTIME);
  build("PAUSE 200\nPAUSE 200");
  EXPECT_EQ(QuorinStep(h_), 0x00010001u);
  EXPECT_EQ(QuorinStep(h_), 0x00C80005u);
  EXPECT_EQ(QuorinStep(h_), 0x00020001u);
  QuorinSetOptions(h_, 0);
  EXPECT_EQ(QuorinStep(h_), 0x00020000u);  // without real time the pause passes at once
}

TEST(SimulationRealTime, PauseWithTheInjectedClock) {
  auto compiled = vexa::vxbasic::test::compileSource("PAUSE 200\nPAUSE 100\nPRINT TIMER;");
  ASSERT_EQ(compiled.status, 0u);
  vexa::vxbasic::QuorinInstance& inst = *compiled.instance;
  vexa::vxbasic::test::FakeClock clock;
  clock.now = 1000;
  inst.clock = &clock;
  inst.board.options = QUORIN_OPTION_REALTIME;
  inst.interpreter().reset();
  EXPECT_EQ(inst.interpreter().step(), 0x00010001u);
  EXPECT_EQ(inst.interpreter().step(), 0x00C80005u);
  EXPECT_EQ(inst.board.timer, 50 + 200);
  clock.now += 200 * 20;  // the caller waited
  EXPECT_EQ(inst.interpreter().step(), 0x00020001u);
  EXPECT_EQ(inst.interpreter().step(), 0x00030001u);
  EXPECT_EQ(clock.slept, 2000u);
  EXPECT_EQ(inst.interpreter().step(), 0x00030003u);
  EXPECT_STREQ(inst.board.fetchOutput(), "350");
}

}  // namespace
