// VM instruction set: names, encoding, decoding and a disassembler.
//
// An instruction word w holds the class (w & 0xC0), the number within the class (w & 0x3F)
// and, for classes 0x40 and 0xC0, a byte (w >> 8). Classes 0x80 and 0xC0 are followed by an
// operand word.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/isa_table.h"
#include "vexa/vm_contract.h"

namespace vexa::isa {

// Instruction classes, the value of w & 0xC0.
inline constexpr uint8_t kClassPlain = 0x00;        // one word, no byte
inline constexpr uint8_t kClassByte = 0x40;         // one word with a byte
inline constexpr uint8_t kClassOperand = 0x80;      // word and operand word
inline constexpr uint8_t kClassByteOperand = 0xC0;  // word with a byte, and operand word

inline constexpr uint16_t kPaddingWord = vm::kPaddingWord;  // code padding; executes as Fill

enum class Op : uint8_t {
#define VEXA_ISA_ENUM(name, cls, number, byteKind, operandKind, pops, pushes, flags) name,
  VEXA_ISA_INSTRUCTIONS(VEXA_ISA_ENUM)
#undef VEXA_ISA_ENUM
};

namespace detail {
inline constexpr uint8_t kClasses[] = {
#define VEXA_ISA_CLASS(name, cls, number, byteKind, operandKind, pops, pushes, flags) cls,
    VEXA_ISA_INSTRUCTIONS(VEXA_ISA_CLASS)
#undef VEXA_ISA_CLASS
};
inline constexpr uint8_t kNumbers[] = {
#define VEXA_ISA_NUMBER(name, cls, number, byteKind, operandKind, pops, pushes, flags) number,
    VEXA_ISA_INSTRUCTIONS(VEXA_ISA_NUMBER)
#undef VEXA_ISA_NUMBER
};
}  // namespace detail

// Class and number of an instruction, usable as case labels of a decoder's switch.
constexpr uint8_t classOf(Op op) { return detail::kClasses[static_cast<std::size_t>(op)]; }
constexpr uint8_t numberOf(Op op) { return detail::kNumbers[static_cast<std::size_t>(op)]; }
constexpr uint16_t opcodeOf(Op op) { return static_cast<uint16_t>(classOf(op) | numberOf(op)); }

// What the byte of the word means (classes 0x40 and 0xC0).
enum class ByteKind : uint8_t {
  None,          // the class has no byte
  Ignored,       // present but unused
  Immediate,     // a value 0..255
  Thread,        // thread number from 1; 0 = the current thread
  TypePair,      // operand types of an operator group, see typePair()
  MathFunction,  // one of MathFn
  SubFunction,   // function number of a system-function module
  ResultType,    // result type of ReturnValue: 0 int16, 1 int32, 2 float
};

// What the operand word means (classes 0x80 and 0xC0).
enum class OperandKind : uint8_t {
  None,         // the class has no operand
  Ignored,      // present but unused
  Immediate,    // a 16-bit value
  ConstIndex,   // constant index k: image byte offset 2k
  Address,      // RAM byte address
  FrameOffset,  // signed offset from the frame
  JumpOffset,   // signed; target = address of the instruction + 2 + offset
  CodeAddress,  // code word index
  ByteCount,    // signed number of stack bytes
};

inline constexpr int8_t Varies = -1;  // stack effect depends on the byte or the operand

inline constexpr uint8_t StoresRam = 0x1;  // a store into RAM (sets status bit 0x1)

struct Instruction {
  Op op;
  std::string_view name;
  uint8_t cls;
  uint8_t number;
  ByteKind byteKind;
  OperandKind operandKind;
  int8_t popBytes;   // Varies when not fixed
  int8_t pushBytes;  // Varies when not fixed
  uint8_t flags;

  // Word without byte (class | number).
  constexpr uint16_t opcode() const { return static_cast<uint16_t>(cls | number); }
  constexpr bool hasByte() const { return cls == kClassByte || cls == kClassByteOperand; }
  constexpr bool hasOperand() const { return (cls & 0x80) != 0; }
  constexpr int length() const { return hasOperand() ? 2 : 1; }
};

// The whole table, in enum order.
std::span<const Instruction> instructions();

// Row of an instruction.
const Instruction& info(Op op);
inline std::string_view name(Op op) { return info(op).name; }

// Instruction by its name (exact spelling); nullptr when unknown.
const Instruction* findByName(std::string_view name);

// Instruction by class (0x00, 0x40, 0x80, 0xC0) and number (0..63); nullptr when undefined.
const Instruction* find(uint8_t cls, uint8_t number);

// --- fields of a word ---
constexpr uint8_t classOf(uint16_t w) { return static_cast<uint8_t>(w & 0xC0); }
constexpr uint8_t numberOf(uint16_t w) { return static_cast<uint8_t>(w & 0x3F); }
constexpr uint8_t byteOf(uint16_t w) { return static_cast<uint8_t>(w >> 8); }
constexpr bool hasOperand(uint16_t w) { return (w & 0x80) != 0; }
constexpr int lengthOf(uint16_t w) { return hasOperand(w) ? 2 : 1; }

// Instruction a word encodes; nullptr for an undefined word (including a class 0x00 word whose
// high byte is not 0).
const Instruction* decode(uint16_t w);

// Jump target of an instruction at `address` with the signed operand.
constexpr uint16_t jumpTarget(uint16_t address, uint16_t operand) {
  return static_cast<uint16_t>(address + 2 + operand);
}
// Operand that makes an instruction at `address` jump to `target`.
constexpr uint16_t jumpOffset(uint16_t address, uint16_t target) {
  return static_cast<uint16_t>(target - address - 2);
}

// --- operator groups and math functions ---
using ValueType = vm::StackType;

// Byte of an operator group: 3 x left + right.
constexpr uint8_t typePair(ValueType left, ValueType right) {
  return static_cast<uint8_t>(3 * static_cast<int>(left) + static_cast<int>(right));
}
constexpr ValueType leftType(uint8_t pair) { return static_cast<ValueType>(pair / 3); }
constexpr ValueType rightType(uint8_t pair) { return static_cast<ValueType>(pair % 3); }
inline constexpr uint8_t kTypePairCount = 9;

enum class MathFn : uint8_t {
  Square,
  Sqrt,
  CubeRoot,
  Sin,
  Cos,
  Tan,
  Asin,
  Acos,
  Atan,
  Log10,
  Ln,
  Exp,
  Pow,
  Ceil,
  Floor,
};
inline constexpr uint8_t kMathFnCount = 15;

// --- typed families ---
// The member of a family for a kind, from its Byte member: typed(Op::LoadByte, Kind::Long) is
// LoadLong.
constexpr Op typed(Op byteMember, vm::Kind kind) {
  return static_cast<Op>(static_cast<int>(byteMember) + static_cast<int>(kind));
}
// The member of an Int/Long/Float family for a stack type: typed(Op::NegInt, ValueType::Float)
// is NegFloat.
constexpr Op typed(Op intMember, ValueType type) {
  return static_cast<Op>(static_cast<int>(intMember) + static_cast<int>(type));
}
static_assert(opcodeOf(typed(Op::LoadLocalByte, vm::Kind::Float)) == opcodeOf(Op::LoadLocalFloat));
static_assert(opcodeOf(typed(Op::StoreByteAt, vm::Kind::Long)) == opcodeOf(Op::StoreLongAt));
static_assert(opcodeOf(typed(Op::PushConstByte, vm::Kind::Float)) == opcodeOf(Op::PushConstFloat));
static_assert(opcodeOf(typed(Op::NegInt, ValueType::Float)) == opcodeOf(Op::NegFloat));

// --- encoding ---
struct Fields {
  uint8_t byte = 0;
  uint16_t operand = 0;
};

struct Encoded {
  std::array<uint16_t, 2> words{};
  int length = 0;
};

// First word of an instruction. Throws std::invalid_argument when a byte is given to an
// instruction whose class has none.
uint16_t encode(Op op, uint8_t byte = 0);

// The whole instruction: e.g. assemble(Op::PushInt, {.operand = 5}).
Encoded assemble(Op op, Fields fields = {});

// Appends the instruction's words; returns the address of its first word.
std::size_t append(std::vector<uint16_t>& code, Op op, Fields fields = {});

// --- disassembly ---
// One instruction as text, e.g. "PushInt 5", "Add int16,int32", "Jump -2 -> 0004".
// `address` is the word index of the instruction (for jump targets); `operand` is ignored for
// one-word instructions.
std::string disassemble(uint16_t word, uint16_t operand = 0, uint16_t address = 0);

// Every instruction of a code sequence, one line each: "0004: PushInt 5". A two-word
// instruction cut off at the end shows its operand as "?". `origin` is the address of code[0].
std::vector<std::string> disassembleAll(std::span<const uint16_t> code, uint16_t origin = 0);

// --- assembly ---
// Words of instructions written one per line as disassemble() prints them, the first at
// address `origin`: e.g. {"PushByte 200", "StoreInt [0014]", "Jump -8 -> 0000"}. A line may
// start with its address as disassembleAll() prints it ("0004: "); the address and a jump's
// "-> target" are checked, not needed. ".word 1234" is one raw word (hexadecimal). Bytes and
// operands that an instruction ignores assemble as 0. Throws std::invalid_argument naming the
// line that does not assemble.
std::vector<uint16_t> assembleText(const std::vector<std::string_view>& lines, uint16_t origin = 0);

}  // namespace vexa::isa
