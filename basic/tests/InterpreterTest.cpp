// Token-code interpreter, grouped by opcode family; the code is written
// straight into program memory from address 4.
#include <gtest/gtest.h>

#include <vector>

#include "FakeClock.h"
#include "Interpreter.h"

namespace vxbasic {
namespace {

class Machine : public ::testing::Test {
protected:
    void load(const std::vector<uint8_t>& code) {
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
    uint8_t op;
    int16_t result;
};

TEST_F(Machine, ArithmeticAndLogic) {
    const ArithmeticCase cases[] = {
        {7, -2, 55, 1},         {-7, 2, 54, -3},       {-7, 2, 55, -1},         {300, 300, 53, 24464},
        {32767, 1, 51, -32768}, {-32768, -1, 54, -32768}, {-32768, 1, 52, 32767}, {1, 33, 46, 2},
        {-16, 2, 47, -4},       {-16, -31, 47, -8},    {0x0F0F, 0x00FF, 41, 0x000F}, {0x0F0F, 0x00FF, 42, -16},
        {0x0F00, 0x00F0, 43, 0x0FF0}, {0, 0, 44, -1},  {0x0FF0, 0x00FF, 45, 0x0F0F}, {3, 9, 58, 9},
        {3, 9, 59, 3},          {-1, 1, 60, 0},        {1, 1, 61, -1},          {-1, 1, 62, -1},
        {2, 1, 63, 0},          {5, 5, 64, -1},        {5, 5, 65, 0},
    };
    for (const ArithmeticCase& c : cases) {
        load({20, static_cast<uint8_t>(c.a >> 8), static_cast<uint8_t>(c.a), 20, static_cast<uint8_t>(c.b >> 8),
              static_cast<uint8_t>(c.b), c.op, 254, 0, 1});
        EXPECT_EQ(step(), stepResult(kStepLine, 1));
        EXPECT_EQ(m_.stack[0], c.result) << c.a << " op " << int(c.op) << " " << c.b;
    }
}

TEST_F(Machine, UnaryOperators) {
    struct Case {
        int16_t x;
        uint8_t op;
        int16_t result;
    };
    const Case cases[] = {{10, 57, 3},  {100, 57, 10}, {0, 57, 0},       {-5, 57, 0},     {1, 57, 1},
                          {32767, 57, 181}, {-5, 56, 5}, {-32768, 56, -32768}, {-5, 66, -1}, {0, 66, 0},
                          {9, 66, 1},   {5, 50, -5},   {-32768, 50, -32768}, {0, 40, -1},  {-1, 40, 0}};
    for (const Case& c : cases) {
        load({20, static_cast<uint8_t>(c.x >> 8), static_cast<uint8_t>(c.x), c.op, 254, 0, 1});
        step();
        EXPECT_EQ(m_.stack[0], c.result) << c.x << " op " << int(c.op);
    }
}

TEST_F(Machine, StackDiscipline) {
    load({20, 0, 1, 20, 0, 2, 20, 0, 3, 20, 0, 4, 20, 0, 5, 20, 0, 6, 20, 0, 7, 20, 0, 8, 51, 254, 0, 1});
    step();
    // 1 was pushed out; 7 + 8 into word 0; words 2-6 moved up, word 6 stays.
    EXPECT_EQ(std::vector<int16_t>(m_.stack.begin(), m_.stack.end()), (std::vector<int16_t>{15, 6, 5, 4, 3, 2, 2}));
    load({20, 0, 9, 1, 254, 0, 1});
    step();
    EXPECT_EQ(m_.stack[0], 0);
}

TEST_F(Machine, DivisionByZeroRollsBackAndRepeats) {
    load({254, 0, 1, 20, 0, 5, 25, 0, 20, 0, 0, 54, 254, 0, 2});
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
    load({254, 0, 1, 5, 0, 11, 255, 20, 0, 1, 20, 0, 0, 54, 6});
    step();
    EXPECT_EQ(step(), 0x0001FFFFu);
    EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(step(), 0x0001FFFFu);
    EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));

    // INPUT taken, then a fault: the retried step pushes the same input again.
    load({35, 25, 0, 20, 0, 0, 54, 254, 0, 1});
    EXPECT_EQ(static_cast<uint16_t>(step()), kStepInput);
    m_.inputValue = 7;
    m_.waiting = false;
    EXPECT_EQ(step(), 0x0001FFFFu);
    EXPECT_EQ(m_.pendingInput, 35);
    EXPECT_EQ(step(), 0x0001FFFFu);
    EXPECT_EQ(board_.ram[0], 7);
}

TEST_F(Machine, EndOfProgramMemory) {
    load({3, 0xEA, 0x5F});  // jump to 59999, a NOP, then the fetch at 60000
    EXPECT_EQ(step(), 0x0002FFFFu);
    EXPECT_EQ(m_.pc, 4);
    load({20, 0x75, 0x2E, 27, 0, 4, 254, 0, 1});  // LOOKTAB beyond the end
    EXPECT_EQ(step(), 0x0002FFFFu);
}

TEST_F(Machine, GosubSlotsAndReturn) {
    // Five nested GOSUBs: the fifth return address is lost.
    load({5, 0, 7, 5, 0, 10, 5, 0, 13, 5, 0, 16, 5, 0, 19, 254, 0, 1});
    EXPECT_EQ(step(), stepResult(kStepLine, 1));
    EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{7, 10, 13, 16}));
    load({6, 254, 0, 1});  // RETURN without a slot goes on
    EXPECT_EQ(step(), stepResult(kStepLine, 1));
    load({5, 0, 8, 255, 6});  // RETURN frees the slot and comes back
    EXPECT_EQ(step(), stepResult(kStepEnd, 0));
    EXPECT_EQ(m_.gosub, (std::array<uint16_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(m_.pc, 4);
}

TEST_F(Machine, ConditionalJumpAndWaitRound) {
    load({0, 253, 20, 0, 0, 4, 0, 5, 254, 0, 9});
    EXPECT_EQ(step(), stepResult(kStepWait, 0));
    EXPECT_EQ(step(), stepResult(kStepWait, 0));
    load({20, 0, 1, 4, 0, 4, 254, 0, 9});
    EXPECT_EQ(step(), stepResult(kStepLine, 9));
}

TEST_F(Machine, CodeWithoutMarkersCannotHang) {
    load({3, 0, 4});
    EXPECT_EQ(static_cast<uint16_t>(step()), kStepWait);
}

TEST_F(Machine, PortsAndAnalogValues) {
    load({20, 0, 1, 13, 3, 20, 0x12, 0x34, 14, 1, 80, 0, 81, 5, 254, 0, 1});
    step();
    EXPECT_EQ(board_.levels, 0x3409);
    EXPECT_EQ(board_.driven, 0xFF28);
    load({20, 0xA5, 0x5A, 15, 82, 1, 83, 1, 10, 1, 11, 1, 12, 254, 0, 1});
    step();
    EXPECT_EQ(board_.levels, 0xA55A);
    EXPECT_EQ(board_.driven, 0x00FD);
    EXPECT_EQ(m_.stack[0], static_cast<int16_t>(0xA55A));
    EXPECT_EQ(m_.stack[1], 0xA5);
    EXPECT_EQ(m_.stack[2], -1);
    load({84, 10, 40, 11, 7, 20, 0, 200, 17, 1, 17, 9, 16, 2, 16, 99, 254, 0, 1});
    board_.adc[2] = 77;
    step();
    EXPECT_EQ(board_.driven, 0);
    EXPECT_EQ(board_.dac[1], 200);
    EXPECT_EQ(m_.stack[0], 0);   // analog input 99 is outside the board
    EXPECT_EQ(m_.stack[1], 77);
    EXPECT_EQ(m_.stack[3], 0);   // byte port 7
    EXPECT_EQ(m_.stack[4], 0);   // port bit 40
}

TEST_F(Machine, RamBytesWordsAndBits) {
    load({20, 0x12, 0x34, 26, 1, 20, 0, 0xFF, 25, 200, 24, 9, 22, 2, 23, 1, 21, 9, 22, 250, 23, 100, 254, 0, 1});
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
    load({20, 0, 1, 48, 49, 49, 254, 0, 1});
    step();
    EXPECT_EQ(m_.stack[1], 251);
    EXPECT_EQ(m_.stack[0], -2535);
    load({20, 0, 0, 48, 49, 254, 0, 1});
    step();
    EXPECT_EQ(m_.stack[0], static_cast<int16_t>(1808 * 251));
}

TEST_F(Machine, SystemVariablesAndClock) {
    board_.options = kRealTimeOption;
    clock_.now = 2000;
    load({28, 0, 28, 1, 28, 4, 28, 7, 20, 0, 99, 29, 6, 29, 8, 28, 8, 254, 0, 1});
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
    load({20, 0, 200, 2, 20, 0, 100, 2, 254, 0, 1});
    const uint16_t timer = board_.timer;
    EXPECT_EQ(step(), stepResult(kStepPause, 200));
    EXPECT_EQ(board_.timer, static_cast<uint16_t>(timer + 200));
    EXPECT_EQ(clock_.slept, 0u);
    EXPECT_EQ(step(), stepResult(kStepLine, 1));
    EXPECT_EQ(clock_.slept, 2000u);
    board_.options = 0;
    load({20, 0, 200, 2, 254, 0, 1});
    EXPECT_EQ(step(), stepResult(kStepLine, 1));
    EXPECT_EQ(clock_.slept, 2000u);
}

TEST_F(Machine, OutputAndInput) {
    load({20, 0x80, 0, 30, 31, 'h', 'i', 0, 20, 0, 65, 32, 34, 35, 254, 0, 1});
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
    std::vector<uint8_t> code = {70, 2, 20, 0, 11, 70, 5, 20, 0, 22, 70, 5, 70, 4, 254, 0, 1,
                                 70, 1, 70, 6, 70, 6, 71, 28, 12, 28, 11, 254, 0, 2, 255};
    load(code);
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
    load({70, 3, 20, 0, 1, 70, 5, 254, 0, 1});
    mem_[2] = 0xEA;  // stored length reaches the end of program memory
    mem_[3] = 0x52;
    EXPECT_EQ(step(), 0x0002FFFFu);
}

}  // namespace
}  // namespace vxbasic
