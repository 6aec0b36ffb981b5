#include "vexa/isa.h"
#include "vexa/isa_testing.h"

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
      {Op::Nop, 0, 0x0000},
      {Op::Stop, 0, 0x0001},
      {Op::Return, 0, 0x0006},
      {Op::StoreFloatAt, 0, 0x0017},
      {Op::LoadFloatAtSum, 0, 0x002C},
      {Op::PopTwoB, 0, 0x003F},
      {Op::ThreadStart, 2, 0x0241},
      {Op::PushByte, 0xFF, 0xFF44},
      {Op::Add, 4, 0x0445},
      {Op::Max, 8, 0x085C},
      {Op::MathFunc, 12, 0x0C5D},
      {Op::LcdFunc, 9, 0x096A},
      {Op::Call, 0, 0x0081},
      {Op::Jump, 0, 0x0084},
      {Op::IncLocalFloat, 0, 0x00AA},
      {Op::ReturnValue, 1, 0x01C1},
      {Op::PopFour, 0, 0x00CC},
      {Op::Fill, 0xFF, 0xFFFF},
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

namespace {

// Values worth writing for each kind of byte and operand, edges included.
std::vector<uint8_t> bytesOf(ByteKind kind) {
  switch (kind) {
    case ByteKind::None:
    case ByteKind::Ignored: return {0};
    case ByteKind::TypePair: return {0, 5, 8, 9, 255};  // named pairs, then plain numbers
    case ByteKind::MathFunction: return {0, 14, 15};
    case ByteKind::ResultType: return {0, 2, 3};
    default: return {0, 1, 255};
  }
}

std::vector<uint16_t> operandsOf(OperandKind kind) {
  switch (kind) {
    case OperandKind::None:
    case OperandKind::Ignored: return {0};
    default: return {0, 4, 0x7FFF, 0x8000, 0xFFFA, 0xFFFF};
  }
}

TEST(IsaAssemble, EveryInstructionRoundTripsThroughItsText) {
  const uint16_t address = 0x0120;
  int lines = 0;
  for (const Instruction& in : instructions()) {
    for (uint8_t b : bytesOf(in.byteKind)) {
      for (uint16_t o : operandsOf(in.operandKind)) {
        const Encoded e = assemble(in.op, {.byte = b, .operand = o});
        const std::vector<uint16_t> words(e.words.begin(), e.words.begin() + e.length);
        const std::string text = disassemble(e.words[0], e.words[1], address);
        SCOPED_TRACE(text);
        EXPECT_EQ(assembleText({text}, address), words);
        ++lines;
      }
    }
  }
  EXPECT_GT(lines, 400);
}

TEST(IsaAssemble, ListingWithAddressesRoundTrips) {
  std::vector<uint16_t> code;
  for (const Instruction& in : instructions()) {
    const bool byte = in.hasByte() && in.byteKind != ByteKind::Ignored;
    const bool operand = in.hasOperand() && in.operandKind != OperandKind::Ignored;
    append(code, in.op,
           {.byte = static_cast<uint8_t>(byte ? 2 : 0),
            .operand = static_cast<uint16_t>(operand ? 0xFFF0 : 0)});
  }
  code.push_back(0x0100);  // undefined one-word
  for (uint16_t origin : {0, 0x0300}) {
    const std::vector<std::string> listing = disassembleAll(code, origin);
    EXPECT_EQ(listing.front().substr(0, 6), origin ? "0300: " : "0000: ");
    EXPECT_EQ(assembleText(std::vector<std::string_view>(listing.begin(), listing.end()), origin),
              code);
  }
}

TEST(IsaAssemble, WritesWhatTheReaderMeans) {
  struct Case {
    std::vector<std::string_view> lines;
    std::vector<uint16_t> words;
  };
  const Case cases[] = {
      {{"PushByte 200", "StoreInt [0014]"}, {0xC844, 0x0094, 0x0014}},
      {{"  PushInt   -5 "}, {0x0086, 0xFFFB}},
      {{"PushInt 65535"}, {0x0086, 0xFFFF}},
      {{"Add int16,float", "MathFunc 12", "ReturnValue int32 8"}, {0x0245, 0x0C5D, 0x01C1, 8}},
      {{"LoadLocalInt [frame-6]", "StoreLocalByte [frame+4]"}, {0x0090, 0xFFFA, 0x0097, 4}},
      {{"PushConstLong const 5", "Call 0058"}, {0x0089, 5, 0x0081, 0x0058}},
      {{"Jump -2", "JumpIfFalse 4 -> 0008"}, {0x0084, 0xFFFE, 0x0085, 4}},
      {{"PushZeroInt", "Nop1", "Fill"}, {0x00C3, 0, 0x0040, 0x00FF, 0}},
      {{".word 1234", ".word ffff"}, {0x1234, 0xFFFF}},
      {{"0000: Yield", "0001: Stop"}, {0x0002, 0x0001}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? "" : std::string(c.lines.front()));
    EXPECT_EQ(assembleText(c.lines), c.words);
  }
  // The addresses of jumps and listed lines count from the origin.
  EXPECT_EQ(assembleText({"0010: Jump -2 -> 0010"}, 0x10), (std::vector<uint16_t>{0x0084, 0xFFFE}));
}

TEST(IsaAssemble, RefusesLinesItCannotWriteExactly) {
  const char* const bad[] = {
      "pushint 5",      // names are spelled exactly
      "Frobnicate",     // no such instruction
      "PushInt",        // operand missing
      "PushInt 5 6",    // text left over
      "PushInt 65536",  // beyond 16 bits
      "PushInt -32769",
      "PushInt 0x10",    // decimal only
      "PushByte 256",    // beyond a byte
      "Nop1 7",          // an ignored byte cannot be written
      "Stop 1",          // no byte at all
      "Add int16,long",  // unknown type
      "Add int16",       // half a pair
      "MathFunc cosine",
      "ReturnValue 8",  // result type missing
      "StoreInt 0014",  // an address is bracketed
      "StoreInt [12345]",
      "LoadLocalInt [frame6]",  // sign needed
      "LoadLocalInt [frame+-6]",
      "LoadLocalInt [frame+32768]",
      "PushConstInt 5",   // "const" missing
      "Jump -2 -> 0001",  // target disagrees with the offset
      "Jump -2 => 0000",
      "0001: Yield",  // wrong address
      ".word 12345",
      ".word",
      "",  // an empty line is no instruction
  };
  for (const char* line : bad) {
    SCOPED_TRACE(line);
    EXPECT_THROW(assembleText({line}), std::invalid_argument);
  }
  try {
    assembleText({"Yield", "PushInt x"});
    ADD_FAILURE() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(std::string(e.what()), "line 2 \"PushInt x\": number expected, not \"x\"");
  }
}

}  // namespace

namespace {

using vexa::isa::testing::sameCode;

TEST(IsaSameCode, PassesOnlyOnTheExactWords) {
  const std::vector<uint16_t> code = {0xC844, 0x0094, 0x0014, 0x0084, 0xFFFB};
  EXPECT_TRUE(sameCode(code, {"PushByte 200", "StoreInt [0014]", "Jump -5 -> 0000"}));
  EXPECT_TRUE(sameCode(std::span(code).subspan(3), {"Jump -5 -> 0000"}, 3));

  const ::testing::AssertionResult differs = sameCode(code, {"PushByte 201", "StoreInt [0014]"});
  ASSERT_FALSE(differs);
  const std::string text = differs.message();
  EXPECT_NE(text.find("! 0000: PushByte 201    | 0000: PushByte 200"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  0001: StoreInt [0014] | 0001: StoreInt [0014]\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\n!                       | 0003: Jump -5 -> 0000\n"), std::string::npos)
      << text;

  // A byte the listing leaves out still counts.
  const ::testing::AssertionResult hidden = sameCode(std::vector<uint16_t>{0x0740}, {"Nop1"});
  ASSERT_FALSE(hidden);
  EXPECT_NE(std::string(hidden.message()).find("words: 1856\nexpected words: 64"),
            std::string::npos)
      << hidden.message();

  const ::testing::AssertionResult bad = sameCode(code, {"PushByte"});
  ASSERT_FALSE(bad);
  EXPECT_NE(std::string(bad.message()).find("does not assemble: line 1"), std::string::npos);
}

}  // namespace
