// Token-code interpreter, grouped by opcode family; the code is written
// straight into program memory from address 4.
#include <gtest/gtest.h>

#include <vector>

#include "FakeClock.h"
#include "Interpreter.h"
#include "TokenCode.h"

namespace vexa::vxbasic {
namespace {

using vexa::basic::assemble;
using vexa::basic::byteOf;
using vexa::basic::nameOf;

std::string push(int16_t value) { return "Push " + std::to_string(value); }

class Machine : public ::testing::Test {
 protected:
  void load(const std::vector<std::string>& lines) { loadBytes(assemble(lines)); }
  void loadBytes(const std::vector<uint8_t>& code) {
    mem_.fill(0);
    mem_[0] = static_cast<uint8_t>(code.size() >> 8);
    mem_[1] = static_cast<uint8_t>(code.size());
    std::copy(code.begin(), code.end(), mem_.begin() + 4);
    interp().reset();
  }
  Interpreter interp() { return Interpreter(mem_, m_, board_, clock_); }
  uint32_t step() { return interp().step(); }
  // Runs until the program end, a fault or an input request.
  uint32_t run(int limit = 1000) {
    uint32_t r = 0;
    for (int i = 0; i < limit; ++i) {
      r = step();
      uint16_t kind = static_cast<uint16_t>(r);
      if (kind == kStepEnd || kind == kStepError || kind == kStepInput) return r;
    }
    return r;
  }

  ProgramMemory mem_{};
  MachineState m_;
  Board board_;
  test::FakeClock clock_;
};

struct ArithmeticCase {
  int16_t a;
  int16_t b;
  Op op;
  int16_t result;
};

TEST_F(Machine, ArithmeticAndLogic) {
  const ArithmeticCase cases[] = {
      {7, -2, Op::Modulo, 1},
      {-7, 2, Op::Divide, -3},
      {-7, 2, Op::Modulo, -1},
      {300, 300, Op::Multiply, 24464},
      {32767, 1, Op::Add, -32768},
      {-32768, -1, Op::Divide, -32768},
      {-32768, 1, Op::Subtract, 32767},
      {1, 33, Op::Shl, 2},
      {-16, 2, Op::Shr, -4},
      {-16, -31, Op::Shr, -8},
      {0x0F0F, 0x00FF, Op::And, 0x000F},
      {0x0F0F, 0x00FF, Op::Nand, -16},
      {0x0F00, 0x00F0, Op::Or, 0x0FF0},
      {0, 0, Op::Nor, -1},
      {0x0FF0, 0x00FF, Op::Xor, 0x0F0F},
      {3, 9, Op::Max, 9},
      {3, 9, Op::Min, 3},
      {-1, 1, Op::Greater, 0},
      {1, 1, Op::GreaterEqual, -1},
      {-1, 1, Op::Less, -1},
      {2, 1, Op::LessEqual, 0},
      {5, 5, Op::Equal, -1},
      {5, 5, Op::NotEqual, 0},
  };
  for (const ArithmeticCase& c : cases) {
    load({push(c.a), push(c.b), std::string(nameOf(c.op)), "LineMarker 1"});
    EXPECT_EQ(step(), stepResult(kStepLine, 1));
    EXPECT_EQ(m_.stack[0], c.result) << c.a << " " << nameOf(c.op) << " " << c.b;
  }
}

TEST_F(Machine, UnaryOperators) {
  struct Case {
    int16_t x;
    Op op;
    int16_t result;
  };
  const Case cases[] = {
      {10, Op::Sqr, 3},
      {100, Op::Sqr, 10},
      {0, Op::Sqr, 0},
      {-5, Op::Sqr, 0},
      {1, Op::Sqr, 1},
      {32767, Op::Sqr, 181},
      {-5, Op::Abs, 5},
      {-32768, Op::Abs, -32768},
      {-5, Op::Sgn, -1},
      {0, Op::Sgn, 0},
      {9, Op::Sgn, 1},
      {5, Op::Negate, -5},
      {-32768, Op::Negate, -32768},
      {0, Op::Not, -1},
      {-1, Op::Not, 0},
  };
  for (const Case& c : cases) {
    load({push(c.x), std::string(nameOf(c.op)), "LineMarker 1"});
    step();
    EXPECT_EQ(m_.stack[0], c.result) << nameOf(c.op) << " " << c.x;
  }
}

TEST_F(Machine, StackDiscipline) {
  load({"0004 Push 1", "0007 Push 2", "000A Push 3", "000D Push 4", "0010 Push 5", "0013 Push 6",
        "0016 Push 7", "0019 Push 8", "001C Add", "001D LineMarker 1"});
  step();
  // 1 was pushed out; 7 + 8 into word 0; words 2-6 moved up, word 6 stays.
  EXPECT_EQ(std::vector<int16_t>(m_.stack.begin(), m_.stack.end()),
            (std::vector<int16_t>{15, 6, 5, 4, 3, 2, 2}));
  load({"0004 Push 9", "0007 ClearStack", "0008 LineMarker 1"});
  step();
  EXPECT_EQ(m_.stack[0], 0);
}

TEST_F(Machine, DivisionByZeroRollsBackAndRepeats) {
  load({"0004 LineMarker 1", "0007 Push 5", "000A StoreByte 0", "000C Push 0", "000F Divide",
        "0010 LineMarker 2"});
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  const MachineState before = m_;
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(m_.pc, before.pc);
  EXPECT_EQ(m_.stack, before.stack);
  EXPECT_EQ(board_.ram[0], 5);  // RAM changed by the failed step stays changed
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(m_.pc, before.pc);
}

TEST_F(Machine, RollBackKeepsGosubSlotsAndPendingInput) {
  // GOSUB into a division by zero: the slot taken by the failed step is free again.
  load({"0004 LineMarker 1", "0007 Gosub 000B", "000A End", "000B Push 1", "000E Push 0",
        "0011 Divide", "0012 Return"});
  step();
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));

  // INPUT taken, then a fault: the retried step pushes the same input again.
  load({"0004 Input", "0005 StoreByte 0", "0007 Push 0", "000A Divide", "000B LineMarker 1"});
  EXPECT_EQ(static_cast<uint16_t>(step()), kStepInput);
  m_.inputValue = 7;
  m_.waiting = false;
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(m_.pendingInput, byteOf(Op::Input));
  EXPECT_EQ(step(), 0x0001FFFFu);
  EXPECT_EQ(board_.ram[0], 7);
}

TEST_F(Machine, EndOfProgramMemory) {
  load({"0004 Jump EA5F"});  // jump to 59999, a NOP, then the fetch at 60000
  EXPECT_EQ(step(), 0x0002FFFFu);
  EXPECT_EQ(m_.pc, 4);
  load({"0004 Push 0x752E", "0007 LookTab 0004", "000A LineMarker 1"});  // LOOKTAB beyond the end
  EXPECT_EQ(step(), 0x0002FFFFu);
}

TEST_F(Machine, GosubSlotsAndReturn) {
  // Five nested GOSUBs: the fifth return address is lost.
  load({"0004 Gosub 0007", "0007 Gosub 000A", "000A Gosub 000D", "000D Gosub 0010",
        "0010 Gosub 0013", "0013 LineMarker 1"});
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{7, 10, 13, 16}));
  load({"0004 Return", "0005 LineMarker 1"});  // RETURN without a slot goes on
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  load({"0004 Gosub 0008", "0007 End", "0008 Return"});  // RETURN frees the slot and comes back
  EXPECT_EQ(step(), stepResult(kStepEnd, 0));
  EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(m_.pc, 4);
}

TEST_F(Machine, ConditionalJumpAndWaitRound) {
  load({"0004 Nop", "0005 WaitMark", "0006 Push 0", "0009 JumpIfZero 0005", "000C LineMarker 9"});
  EXPECT_EQ(step(), stepResult(kStepWait, 0));
  EXPECT_EQ(step(), stepResult(kStepWait, 0));
  load({"0004 Push 1", "0007 JumpIfZero 0004", "000A LineMarker 9"});
  EXPECT_EQ(step(), stepResult(kStepLine, 9));
}

TEST_F(Machine, CodeWithoutMarkersCannotHang) {
  load({"0004 Jump 0004"});
  EXPECT_EQ(static_cast<uint16_t>(step()), kStepWait);
}

TEST_F(Machine, PortsAndAnalogValues) {
  load({"0004 Push 1", "0007 StorePortBit 3", "0009 Push 0x1234", "000C StoreBytePort 1",
        "000E TogglePort 0", "0010 PulsePort 5", "0012 LineMarker 1"});
  step();
  EXPECT_EQ(board_.levels, 0x3409);
  EXPECT_EQ(board_.driven, 0xFF28);
  load({"0004 Push 0xA55A", "0007 StoreWordPort", "0008 DeactPort 1", "000A DeactBytePort 1",
        "000C LoadPortBit 1", "000E LoadBytePort 1", "0010 LoadWordPort", "0011 LineMarker 1"});
  step();
  EXPECT_EQ(board_.levels, 0xA55A);
  EXPECT_EQ(board_.driven, 0x00FD);
  EXPECT_EQ(m_.stack[0], static_cast<int16_t>(0xA55A));
  EXPECT_EQ(m_.stack[1], 0xA5);
  EXPECT_EQ(m_.stack[2], -1);
  load({"0004 DeactWordPort", "0005 LoadPortBit 40", "0007 LoadBytePort 7", "0009 Push 200",
        "000C StoreAnalogOut 1", "000E StoreAnalogOut 9", "0010 LoadAnalogIn 2",
        "0012 LoadAnalogIn 99", "0014 LineMarker 1"});
  board_.adc[2] = 77;
  step();
  EXPECT_EQ(board_.driven, 0);
  EXPECT_EQ(board_.dac[1], 200);
  EXPECT_EQ(m_.stack[0], 0);  // analog input 99 is outside the board
  EXPECT_EQ(m_.stack[1], 77);
  EXPECT_EQ(m_.stack[3], 0);  // byte port 7
  EXPECT_EQ(m_.stack[4], 0);  // port bit 40
}

TEST_F(Machine, RamBytesWordsAndBits) {
  load({"0004 Push 0x1234", "0007 StoreWord 1", "0009 Push 255", "000C StoreByte 200",
        "000E StoreBit 9", "0010 LoadByte 2", "0012 LoadWord 1", "0014 LoadBit 9",
        "0016 LoadByte 250", "0018 LoadWord 100", "001A LineMarker 1"});
  step();
  EXPECT_EQ(board_.ram[2], 0x12);
  EXPECT_EQ(board_.ram[3], 0x34);
  EXPECT_EQ(board_.ram[1], 0x02);  // bit 9
  EXPECT_EQ(m_.stack[0], 0);       // word 100 is outside the RAM
  EXPECT_EQ(m_.stack[1], 0);       // byte 250 too
  EXPECT_EQ(m_.stack[2], -1);
  EXPECT_EQ(m_.stack[3], 0x1234);
  EXPECT_EQ(m_.stack[4], 0x12);
}

TEST_F(Machine, RandomNumbers) {
  load({"0004 Push 1", "0007 Randomize", "0008 Rand", "0009 Rand", "000A LineMarker 1"});
  step();
  EXPECT_EQ(m_.stack[1], 251);
  EXPECT_EQ(m_.stack[0], -2535);
  load({"0004 Push 0", "0007 Randomize", "0008 Rand", "0009 LineMarker 1"});
  step();
  EXPECT_EQ(m_.stack[0], static_cast<int16_t>(1808 * 251));
}

TEST_F(Machine, SystemVariablesAndClock) {
  board_.options = kRealTimeOption;
  clock_.now = 2000;
  load({"0004 LoadSystem 0", "0006 LoadSystem 1", "0008 LoadSystem 4", "000A LoadSystem 7",
        "000C Push 99", "000F StoreSystem 6", "0011 StoreSystem 8", "0013 LoadSystem 8",
        "0015 LineMarker 1"});
  step();
  EXPECT_EQ(m_.stack[0], 99);  // TICKS reads the tone register
  EXPECT_EQ(board_.tone, 99);
  EXPECT_EQ(board_.ram[34], 99);
  EXPECT_EQ(m_.stack[2], 100);  // TIMER = 2000 ms / 20
  EXPECT_EQ(m_.stack[3], 19);
  EXPECT_EQ(m_.stack[4], 12);
  EXPECT_EQ(m_.stack[5], 26);
  board_.options = 0;
  interp().reset();
  EXPECT_EQ(board_.timer, 0);
  EXPECT_EQ(board_.ram[38], 0);
}

TEST_F(Machine, PauseInRealTime) {
  board_.options = kRealTimeOption;
  load({"0004 Push 200", "0007 Pause", "0008 Push 100", "000B Pause", "000C LineMarker 1"});
  const uint16_t timer = board_.timer;
  EXPECT_EQ(step(), stepResult(kStepPause, 200));
  EXPECT_EQ(board_.timer, static_cast<uint16_t>(timer + 200));
  EXPECT_EQ(clock_.slept, 0u);
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  EXPECT_EQ(clock_.slept, 2000u);
  board_.options = 0;
  load({"0004 Push 200", "0007 Pause", "0008 LineMarker 1"});
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  EXPECT_EQ(clock_.slept, 2000u);
}

TEST_F(Machine, OutputAndInput) {
  load({"0004 Push -32768", "0007 PrintNumber", R"(0008 PrintText "hi")", "000C Push 65",
        "000F Put", "0010 Get", "0011 Input", "0012 LineMarker 1"});
  EXPECT_EQ(step(), stepResult(kStepOutput, 0));
  EXPECT_EQ(step(), stepResult(kStepOutput, 0));
  EXPECT_EQ(step(), stepResult(kStepOutput, 0));
  EXPECT_STREQ(board_.fetchOutput(), "-32768hiA");
  EXPECT_EQ(step(), stepResult(kStepInput, 0));
  EXPECT_EQ(step(), stepResult(kStepInput, 0));
  m_.inputValue = 0x1234;
  m_.waiting = false;
  EXPECT_EQ(step(), stepResult(kStepInput, 0));  // GET took the low byte, INPUT waits
  EXPECT_EQ(m_.stack[0], 0x34);
  m_.waiting = false;
  EXPECT_EQ(step(), stepResult(kStepLine, 1));
  EXPECT_EQ(m_.stack[0], 0x1234);
}

TEST_F(Machine, DataFileInProgramMemory) {
  // OPEN# FOR WRITE, PRINT# 11 and 22, CLOSE#, OPEN# FOR READ, INPUT# twice, EOF.
  const std::vector<uint8_t> code = assemble(
      {"0004 File 2", "0006 Push 11", "0009 File 5", "000B Push 22", "000E File 5", "0010 File 4",
       "0012 LineMarker 1", "0015 File 1", "0017 File 6", "0019 File 6", "001B Eof",
       "001C LoadSystem 12", "001E LoadSystem 11", "0020 LineMarker 2", "0023 End"});
  loadBytes(code);
  EXPECT_EQ(step(), stepResult(kStepLineFileChanged, 1));
  EXPECT_EQ(board_.fileLength, 4);
  EXPECT_EQ(mem_[3], 4);
  const std::size_t start = 4 + code.size();
  EXPECT_EQ(mem_[start + 1], 11);
  EXPECT_EQ(mem_[start + 3], 22);
  EXPECT_EQ(step(), stepResult(kStepLine, 2));
  EXPECT_EQ(m_.stack[0], static_cast<int16_t>((60000 - start - 4) / 2));
  EXPECT_EQ(m_.stack[1], 2);
  EXPECT_EQ(m_.stack[2], -1);
  EXPECT_EQ(m_.stack[3], 22);
  EXPECT_EQ(m_.stack[4], 11);
}

TEST_F(Machine, DataFileAtTheEndOfMemory) {
  load({"0004 File 3", "0006 Push 1", "0009 File 5", "000B LineMarker 1"});
  mem_[2] = 0xEA;  // stored length reaches the end of program memory
  mem_[3] = 0x52;
  EXPECT_EQ(step(), 0x0002FFFFu);
}

}  // namespace
}  // namespace vexa::vxbasic
