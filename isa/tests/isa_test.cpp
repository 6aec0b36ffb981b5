#include "vexa/isa.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace vexa::isa;

namespace {

// Known words of the instruction set, written out independently of the table.
struct KnownWord {
  Op op;
  uint8_t byte;
  uint16_t word;
};

TEST(IsaTable, EncodesKnownWords) {
  const KnownWord cases[] = {
      {Op::Nop, 0, 0x0000},          {Op::Stop, 0, 0x0001},
      {Op::Return, 0, 0x0006},       {Op::StoreFloatAt, 0, 0x0017},
      {Op::LoadFloatAtSum, 0, 0x002C}, {Op::PopTwoB, 0, 0x003F},
      {Op::ThreadStart, 2, 0x0241},  {Op::PushByte, 0xFF, 0xFF44},
      {Op::Add, 4, 0x0445},          {Op::Max, 8, 0x085C},
      {Op::MathFunc, 12, 0x0C5D},    {Op::LcdFunc, 9, 0x096A},
      {Op::Call, 0, 0x0081},         {Op::Jump, 0, 0x0084},
      {Op::IncLocalFloat, 0, 0x00AA}, {Op::ReturnValue, 1, 0x01C1},
      {Op::PopFour, 0, 0x00CC},      {Op::Fill, 0xFF, 0xFFFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(name(c.op)));
    EXPECT_EQ(encode(c.op, c.byte), c.word);
    const Instruction* in = decode(c.word);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->op, c.op);
    EXPECT_EQ(byteOf(c.word), c.byte);
  }
}

TEST(IsaTable, DefinesEveryNumberOfEachClassOnce) {
  // Class 0x00: 0..63, 0x40 and 0x80: 0..42, 0xC0: 0..12 and 63.
  std::set<uint16_t> opcodes;
  int perClass[4] = {};
  for (const Instruction& in : instructions()) {
    EXPECT_TRUE(opcodes.insert(in.opcode()).second) << in.name;
    ++perClass[in.cls >> 6];
  }
  EXPECT_EQ(perClass[0], 64);
  EXPECT_EQ(perClass[1], 43);
  EXPECT_EQ(perClass[2], 43);
  EXPECT_EQ(perClass[3], 14);
  for (int n = 13; n <= 62; ++n) EXPECT_EQ(find(kClassByteOperand, n), nullptr) << n;
  for (int n = 43; n <= 63; ++n) {
    EXPECT_EQ(find(kClassByte, n), nullptr) << n;
    EXPECT_EQ(find(kClassOperand, n), nullptr) << n;
  }
}

TEST(IsaTable, EveryRowRoundTripsThroughNameEncodeAndDecode) {
  for (const Instruction& in : instructions()) {
    SCOPED_TRACE(std::string(in.name));
    EXPECT_EQ(findByName(in.name), &in);
    EXPECT_EQ(&info(in.op), &in);
    EXPECT_EQ(find(in.cls, in.number), &in);
    const uint8_t b = in.hasByte() ? 0x5A : 0;
    const uint16_t o = in.hasOperand() ? 0x1234 : 0;
    const Encoded e = assemble(in.op, {.byte = b, .operand = o});
    ASSERT_EQ(e.length, in.length());
    EXPECT_EQ(classOf(e.words[0]), in.cls);
    EXPECT_EQ(numberOf(e.words[0]), in.number);
    EXPECT_EQ(byteOf(e.words[0]), b);
    EXPECT_EQ(lengthOf(e.words[0]), in.length());
    EXPECT_EQ(decode(e.words[0]), &in);
    if (in.hasOperand()) {
      EXPECT_EQ(e.words[1], 0x1234);
    }
  }
  EXPECT_EQ(findByName("add"), nullptr);
  EXPECT_EQ(findByName(""), nullptr);
}

TEST(IsaTable, StackEffectsAndStoreFlags) {
  struct Effect {
    Op op;
    int pops, pushes;
    bool stores;
  };
  const Effect cases[] = {
      {Op::StoreFloatAt, 10, 0, true}, {Op::StoreLongBE, 8, 0, true},
      {Op::IncLongAt, 2, 4, false},    {Op::FloatToInt, 8, 2, false},
      {Op::PutLocalLong, 4, 4, true},  {Op::IncByte, 0, 2, false},
      {Op::Call, 0, 4, false},         {Op::JumpIfFalse, 2, 0, false},
      {Op::Equal, Varies, 2, false},   {Op::ReturnValue, Varies, Varies, false},
      {Op::PopFour, 8, 0, false},      {Op::PushZeroFloat, 0, 8, false},
  };
  for (const auto& c : cases) {
    const Instruction& in = info(c.op);
    SCOPED_TRACE(std::string(in.name));
    EXPECT_EQ(in.popBytes, c.pops);
    EXPECT_EQ(in.pushBytes, c.pushes);
    EXPECT_EQ((in.flags & StoresRam) != 0, c.stores);
  }
  int stores = 0;
  for (const Instruction& in : instructions()) stores += (in.flags & StoresRam) != 0;
  EXPECT_EQ(stores, 4 + 3 + 16);
}

TEST(IsaDecode, RejectsUndefinedWords) {
  EXPECT_EQ(decode(0x0100), nullptr);  // class 0x00 with a high byte
  EXPECT_EQ(decode(0x006B), nullptr);  // class 0x40 number 43
  EXPECT_EQ(decode(0x00BF), nullptr);  // class 0x80 number 63
  EXPECT_EQ(decode(0x00CD), nullptr);  // class 0xC0 number 13
  EXPECT_EQ(find(0x41, 0), nullptr);
  EXPECT_EQ(find(0x00, 64), nullptr);
  // The byte of a class 0x80 word is not part of its selection.
  ASSERT_NE(decode(0x0586), nullptr);
  EXPECT_EQ(decode(0x0586)->op, Op::PushInt);
}

TEST(IsaEncode, RejectsFieldsTheClassDoesNotHave) {
  EXPECT_THROW(encode(Op::Stop, 1), std::invalid_argument);
  EXPECT_THROW(encode(Op::PushInt, 1), std::invalid_argument);
  EXPECT_THROW(assemble(Op::PushByte, {.operand = 3}), std::invalid_argument);
  EXPECT_NO_THROW(assemble(Op::ReturnValue, {.byte = 2, .operand = 8}));
}

TEST(IsaEncode, AppendReturnsAddressAndJumpHelpersAgree) {
  std::vector<uint16_t> code;
  EXPECT_EQ(append(code, Op::PushInt, {.operand = 7}), 0u);
  EXPECT_EQ(append(code, Op::Nop), 2u);
  const std::size_t jump = append(code, Op::Jump, {.operand = jumpOffset(3, 0)});
  EXPECT_EQ(jump, 3u);
  EXPECT_EQ(code, (std::vector<uint16_t>{0x0086, 7, 0x0000, 0x0084, 0xFFFB}));
  EXPECT_EQ(jumpTarget(3, code[4]), 0);
  EXPECT_EQ(jumpTarget(10, 0xFFFE), 10);  // jumps to itself
  EXPECT_EQ(typePair(ValueType::Int32, ValueType::Float), 5);
  EXPECT_EQ(leftType(7), ValueType::Float);
  EXPECT_EQ(rightType(7), ValueType::Int32);
}

TEST(IsaDisassemble, FormatsBytesAndOperandsByKind) {
  struct Case {
    uint16_t word, operand, address;
    const char* text;
  };
  const Case cases[] = {
      {encode(Op::PushInt), 0xFFFF, 0, "PushInt -1"},
      {encode(Op::PushByte, 255), 0, 0, "PushByte 255"},
      {encode(Op::Add, 1), 0, 0, "Add int16,int32"},
      {encode(Op::Sub, 9), 0, 0, "Sub 9"},
      {encode(Op::MathFunc, 12), 0, 0, "MathFunc pow"},
      {encode(Op::ThreadStart, 2), 0, 0, "ThreadStart 2"},
      {encode(Op::LoadLocalInt), 0xFFFA, 0, "LoadLocalInt [frame-6]"},
      {encode(Op::StoreLocalByte), 4, 0, "StoreLocalByte [frame+4]"},
      {encode(Op::LoadLong), 0x0120, 0, "LoadLong [0120]"},
      {encode(Op::PushConstFloat), 12, 0, "PushConstFloat const 12"},
      {encode(Op::Jump), 0xFFFE, 0x10, "Jump -2 -> 0010"},
      {encode(Op::JumpIfFalse), 4, 0x10, "JumpIfFalse 4 -> 0016"},
      {encode(Op::Call), 0x40, 0, "Call 0040"},
      {encode(Op::ReturnValue, 1), 8, 0, "ReturnValue int32 8"},
      {encode(Op::Nop1, 7), 0, 0, "Nop1"},
      {kPaddingWord, kPaddingWord, 0, "Fill"},
      {0x0100, 0, 0, ".word 0100"},
  };
  for (const auto& c : cases) EXPECT_EQ(disassemble(c.word, c.operand, c.address), c.text);
}

TEST(IsaDisassemble, ListsCodeWithAddressesAndCutOperand) {
  std::vector<uint16_t> code;
  append(code, Op::PushInt, {.operand = 3});
  append(code, Op::StoreInt, {.operand = 0x40});
  append(code, Op::Yield);
  code.push_back(0x00CD);  // undefined class 0xC0 number, still two words
  code.push_back(0);
  code.push_back(encode(Op::Jump));  // operand missing
  const std::vector<std::string> expected = {"0000: PushInt 3", "0002: StoreInt [0040]",
                                             "0004: Yield", "0005: .word 00CD", "0007: Jump ?"};
  EXPECT_EQ(disassembleAll(code), expected);
}

}  // namespace

namespace {
// The constexpr accessors used as case labels agree with the table rows.
static_assert(vexa::isa::numberOf(vexa::isa::Op::Fill) == 63);
static_assert(vexa::isa::opcodeOf(vexa::isa::Op::Call) == 0x81);

TEST(IsaTable, ConstexprAccessorsMatchRows) {
  for (const Instruction& in : instructions()) {
    EXPECT_EQ(classOf(in.op), in.cls) << in.name;
    EXPECT_EQ(numberOf(in.op), in.number) << in.name;
    EXPECT_EQ(opcodeOf(in.op), in.opcode()) << in.name;
  }
}
}  // namespace
