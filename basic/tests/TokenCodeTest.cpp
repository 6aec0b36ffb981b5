// The token-code table against the interpreter, and the listing format both
// ways.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <stdexcept>

#include "FakeClock.h"
#include "Interpreter.h"
#include "TokenCode.h"

namespace vexa::vxbasic {
namespace {

using vexa::basic::assemble;
using vexa::basic::byteOf;
using vexa::basic::disassemble;
using vexa::basic::Family;
using vexa::basic::OperandKind;
using vexa::basic::TokenCode;
using vexa::basic::tokenCodes;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

// One instruction at the first code address whose operand sends any jump to
// the byte right after it.
Bytes sampleInstruction(const TokenCode& t) {
  Bytes code{byteOf(t.op)};
  switch (t.operand) {
    case OperandKind::None: break;
    case OperandKind::Byte: code.push_back(1); break;
    case OperandKind::Word:
    case OperandKind::Line: code.insert(code.end(), {0, 1}); break;
    case OperandKind::Address: code.insert(code.end(), {0, 7}); break;
    case OperandKind::ByteAddress: code.insert(code.end(), {1, 0, 8}); break;
    case OperandKind::Text: code.insert(code.end(), {'A', 0}); break;
  }
  return code;
}

TEST(TokenCodeTable, NumbersNamesAndFamiliesAreOneToOne) {
  std::set<uint8_t> numbers;
  std::set<std::string_view> names;
  for (const TokenCode& t : tokenCodes()) {
    EXPECT_TRUE(numbers.insert(byteOf(t.op)).second) << t.name;
    EXPECT_TRUE(names.insert(t.name).second) << t.name;
    EXPECT_EQ(vexa::basic::findTokenCode(t.name), &t) << t.name;
    EXPECT_EQ(vexa::basic::nameOf(t.op), t.name);
    EXPECT_EQ(vexa::basic::familyOf(byteOf(t.op)), t.family) << t.name;
    EXPECT_EQ(vexa::basic::operandOf(t.op), t.operand) << t.name;
    EXPECT_NE(t.family, Family::Undefined) << t.name;
  }
  for (unsigned b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    EXPECT_EQ(vexa::basic::isDefined(byte), numbers.contains(byte)) << b;
    if (!numbers.contains(byte)) {
      EXPECT_EQ(vexa::basic::familyOf(byte), Family::Undefined) << b;
    }
  }
  EXPECT_EQ(vexa::basic::findTokenCode("push"), nullptr);
  EXPECT_EQ(vexa::basic::findTokenCode("Byte"), nullptr);
}

class TokenCodeRun : public ::testing::Test {
 protected:
  // Runs one step over `code` followed by a line marker.
  uint32_t runWithMarker(Bytes code) {
    code.insert(code.end(), {byteOf(Op::LineMarker), 0, 1});
    mem_.fill(0);
    std::copy(code.begin(), code.end(), mem_.begin() + 4);
    Interpreter interp(mem_, m_, board_, clock_);
    interp.reset();
    m_.stack.fill(1);  // no division by zero, no jump taken on zero
    return interp.step();
  }

  ProgramMemory mem_{};
  MachineState m_;
  Board board_;
  test::FakeClock clock_;
};

TEST_F(TokenCodeRun, InterpreterFetchesTheOperandTheTableGives) {
  for (const TokenCode& t : tokenCodes()) {
    const Bytes code = sampleInstruction(t);
    const uint16_t after = static_cast<uint16_t>(4 + code.size());
    const uint32_t r = runWithMarker(code);
    switch (static_cast<uint16_t>(r)) {
      case kStepLine:
        // The marker after the instruction, or the instruction itself.
        EXPECT_EQ(m_.pc, t.op == Op::LineMarker ? after : after + 3) << t.name;
        EXPECT_EQ(r, stepResult(kStepLine, 1)) << t.name;
        break;
      case kStepOutput:
      case kStepInput: EXPECT_EQ(m_.pc, after) << t.name; break;
      case kStepEnd: EXPECT_EQ(t.op, Op::End); break;
      default: ADD_FAILURE() << t.name << " gave " << std::hex << r;
    }
  }
}

TEST_F(TokenCodeRun, UndefinedOpcodesTakeOneByteAndDoNothing) {
  for (unsigned b = 0; b < 256; ++b) {
    if (vexa::basic::isDefined(static_cast<uint8_t>(b))) continue;
    EXPECT_EQ(runWithMarker({static_cast<uint8_t>(b)}), stepResult(kStepLine, 1)) << b;
    EXPECT_EQ(m_.pc, 8) << b;
    EXPECT_EQ(m_.stack, (std::array<int16_t, 7>{1, 1, 1, 1, 1, 1, 1})) << b;
  }
}

TEST(TokenCodeListing, EveryOpcodeRoundTrips) {
  for (const TokenCode& t : tokenCodes()) {
    const Bytes code = sampleInstruction(t);
    const Lines lines = disassemble(code);
    ASSERT_EQ(lines.size(), 1u) << t.name;
    EXPECT_EQ(lines[0].substr(0, 5 + t.name.size()), "0004 " + std::string(t.name));
    EXPECT_EQ(assemble(lines), code) << lines[0];
  }
}

TEST(TokenCodeListing, FormatsOperandsByKind) {
  struct Case {
    Bytes code;
    Lines lines;
  };
  const Case cases[] = {
      {{20, 0xFF, 0xFF, 20, 0x80, 0x00}, {"0004 Push -1", "0007 Push -32768"}},
      {{3, 0x0C, 0xE0, 8, 0x0C, 0xE0}, {"0004 Jump 0CE0", "0007 Sys 0CE0"}},
      {{74, 5, 0x00, 0x17, 25, 200}, {"0004 LoopTestByte 5 0017", "0008 StoreByte 200"}},
      {{254, 0x01, 0x00, 255}, {"0004 LineMarker 256", "0007 End"}},
      {{31, 'a', ' ', '"', '\\', 13, 10, 9, 1, 0xE4, 0},
       {R"(0004 PrintText "a \"\\\r\n\t\x01\xE4")"}},
      {{31, 0}, {R"(0004 PrintText "")"}},
      // Bytes that start no complete instruction.
      {{18, 85, 252}, {"0004 Byte 18", "0005 Byte 85", "0006 Byte 252"}},
      {{20, 0}, {"0004 Byte 20", "0005 Nop"}},
      {{31, 'h', 'i'}, {"0004 Byte 31", "0005 Byte 104", "0006 Byte 105"}},
      {{76, 1, 0}, {"0004 Byte 76", "0005 ClearStack", "0006 Nop"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(disassemble(c.code), c.lines);
    EXPECT_EQ(assemble(c.lines), c.code) << c.lines[0];
  }
  EXPECT_EQ(disassemble(Bytes{6, 6}, 0x100), (Lines{"0100 Return", "0101 Return"}));
}

TEST(TokenCodeListing, AssemblerTakesDataLinesAndOptionalAddresses) {
  EXPECT_EQ(assemble({"Push 0x1234", "Word 1 -1 65535", "Byte 7 255", "000F Return"}),
            (Bytes{20, 0x12, 0x34, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 7, 255, 6}));
  EXPECT_EQ(assemble({"0100 Jump 0100"}, 0x100), (Bytes{3, 1, 0}));
}

TEST(TokenCodeListing, AssemblerRefusesWhatItCannotRead) {
  const char* const bad[] = {
      "Pop",         // no such opcode
      "push 1",      // names are spelled exactly
      "Push",        // operand missing
      "Push 65536",  // word out of range
      "Push -32769",
      "StoreByte 256",  // byte out of range
      "StoreByte -1",
      "Jump 10000",  // address of more than four hex digits
      "Jump 00G0",
      "Return 5",  // operand on an opcode without one
      "Push 1 2",
      "LoopTestByte 1",        // address missing
      "PrintText AB",          // text not quoted
      "PrintText \"AB",        // text not closed
      R"(PrintText "A\x00")",  // a NUL would end the text early
      R"(PrintText "A\q")",
      "0005 Return",  // address is not the line's own
      "Byte",
      "Word 70000",
  };
  for (const char* line : bad) EXPECT_THROW(assemble({line}), std::invalid_argument) << line;
}

TEST(TokenCodeListing, AnyBytesRoundTrip) {
  std::mt19937 random(12);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 200; ++round) {
    Bytes code(static_cast<std::size_t>(1 + round % 40));
    for (uint8_t& b : code) b = static_cast<uint8_t>(byte(random));
    EXPECT_EQ(assemble(disassemble(code)), code) << ::testing::PrintToString(code);
  }
}

}  // namespace
}  // namespace vexa::vxbasic
