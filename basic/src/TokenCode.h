// Token-code opcodes by name, their operands, a disassembler and an assembler.
//
// A disassembly line is "AAAA Name operand": the program-memory address in four hex digits,
// the opcode's name and its operand: a byte and a line in decimal, a word as a signed
// decimal, an address in four hex digits, a text in double quotes with C escapes.
// A byte that starts no complete instruction shows as "Byte n".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "TokenCodeTable.h"

namespace vexa::basic {

enum class Op : uint8_t {
#define VXBASIC_TOKEN_ENUM(name, number, operand, family) name = number,
  VXBASIC_TOKEN_CODES(VXBASIC_TOKEN_ENUM)
#undef VXBASIC_TOKEN_ENUM
};

constexpr uint8_t byteOf(Op op) { return static_cast<uint8_t>(op); }

enum class OperandKind : uint8_t { None, Byte, Word, Address, ByteAddress, Text, Line };

// Which interpreter function executes an opcode.
enum class Family : uint8_t { Undefined, Flow, Ports, Memory, Arithmetic, Step };

// Operation byte of the File opcode.
enum class FileOp : uint8_t {
  OpenRead = 1,
  OpenWrite = 2,
  OpenAppend = 3,
  Close = 4,
  Write = 5,
  Read = 6
};

// Program-memory address of the first code byte.
inline constexpr uint16_t kCodeOrigin = 4;

struct TokenCode {
  Op op;
  std::string_view name;
  OperandKind operand;
  Family family;
};

namespace detail {
struct ByteIndex {
  Family family[256]{};
  OperandKind operand[256]{};
  bool defined[256]{};
  constexpr ByteIndex() {
#define VXBASIC_TOKEN_INDEX(name, number, kind, fam) \
  family[number] = Family::fam;                      \
  operand[number] = OperandKind::kind;               \
  defined[number] = true;
    VXBASIC_TOKEN_CODES(VXBASIC_TOKEN_INDEX)
#undef VXBASIC_TOKEN_INDEX
  }
};
inline constexpr ByteIndex kByteIndex;
}  // namespace detail

constexpr bool isDefined(uint8_t byte) { return detail::kByteIndex.defined[byte]; }
constexpr Family familyOf(uint8_t byte) { return detail::kByteIndex.family[byte]; }
constexpr OperandKind operandOf(Op op) { return detail::kByteIndex.operand[byteOf(op)]; }

// Bytes of an operand; a Text operand is as long as its text and the NUL, so -1.
constexpr int operandSize(OperandKind kind) {
  switch (kind) {
    case OperandKind::None: return 0;
    case OperandKind::Byte: return 1;
    case OperandKind::Word:
    case OperandKind::Address:
    case OperandKind::Line: return 2;
    case OperandKind::ByteAddress: return 3;
    case OperandKind::Text: return -1;
  }
  return 0;
}

// Every opcode, in table order.
std::span<const TokenCode> tokenCodes();
std::string_view nameOf(Op op);
// Opcode by its exact name; nullptr when there is none.
const TokenCode* findTokenCode(std::string_view name);

// One line per instruction of `code`, whose first byte lies at `origin`.
std::vector<std::string> disassemble(std::span<const uint8_t> code, uint16_t origin = kCodeOrigin);

// Bytes of disassembly lines; the address in front of a line is optional, and when given it
// must be the line's own. Throws std::invalid_argument naming the line it cannot read.
std::vector<uint8_t> assemble(const std::vector<std::string>& lines, uint16_t origin = kCodeOrigin);

}  // namespace vexa::basic
