#include "vexa/isa.h"

#include <cstdio>
#include <stdexcept>

namespace vexa::isa {
namespace {

constexpr Instruction kTable[] = {
#define VEXA_ISA_ROW(name, cls, number, byteKind, operandKind, pops, pushes, flags)          \
  Instruction{Op::name,        #name,                    cls, number, ByteKind::byteKind, \
              OperandKind::operandKind, pops, pushes, flags},
    VEXA_ISA_INSTRUCTIONS(VEXA_ISA_ROW)
#undef VEXA_ISA_ROW
};

constexpr std::size_t kCount = sizeof(kTable) / sizeof(kTable[0]);

// The byte and operand kinds must agree with the class.
constexpr bool tableIsConsistent() {
  for (std::size_t i = 0; i < kCount; ++i) {
    const Instruction& in = kTable[i];
    if (static_cast<std::size_t>(in.op) != i || in.number > 0x3F || (in.cls & 0x3F) != 0) return false;
    if (in.hasByte() != (in.byteKind != ByteKind::None)) return false;
    if (in.hasOperand() != (in.operandKind != OperandKind::None)) return false;
  }
  return true;
}
static_assert(tableIsConsistent());

// Decode index: class | number -> row, or -1.
struct DecodeIndex {
  std::array<int16_t, 256> row{};
  constexpr DecodeIndex() {
    row.fill(-1);
    for (std::size_t i = 0; i < kCount; ++i) row[kTable[i].opcode()] = static_cast<int16_t>(i);
  }
};
constexpr DecodeIndex kIndex;

constexpr bool noDuplicateOpcodes() {
  std::size_t defined = 0;
  for (int16_t r : kIndex.row) defined += r >= 0;
  return defined == kCount;
}
static_assert(noDuplicateOpcodes());

constexpr const char* kTypeNames[] = {"int16", "int32", "float"};
constexpr const char* kMathNames[] = {"square", "sqrt", "cbrt", "sin",   "cos",
                                      "tan",    "asin", "acos", "atan",  "log10",
                                      "ln",     "exp",  "pow",  "ceil",  "floor"};
static_assert(sizeof(kMathNames) / sizeof(kMathNames[0]) == kMathFnCount);

std::string byteText(ByteKind kind, uint8_t b) {
  switch (kind) {
    case ByteKind::None:
    case ByteKind::Ignored:
      return {};
    case ByteKind::TypePair:
      if (b < kTypePairCount)
        return std::string(kTypeNames[b / 3]) + "," + kTypeNames[b % 3];
      break;
    case ByteKind::MathFunction:
      if (b < kMathFnCount) return kMathNames[b];
      break;
    case ByteKind::ResultType:
      if (b < 3) return kTypeNames[b];
      break;
    case ByteKind::Immediate:
    case ByteKind::Thread:
    case ByteKind::SubFunction:
      break;
  }
  return std::to_string(b);
}

std::string hex4(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFFu);
  return buf;
}

std::string operandText(OperandKind kind, uint16_t o, uint16_t address) {
  const int s = static_cast<int16_t>(o);
  std::string text;
  switch (kind) {
    case OperandKind::None:
    case OperandKind::Ignored:
      break;
    case OperandKind::Immediate:
    case OperandKind::ByteCount:
      text = std::to_string(s);
      break;
    case OperandKind::ConstIndex:
      text.append("const ").append(std::to_string(o));
      break;
    case OperandKind::Address:
      text.append("[").append(hex4(o)).append("]");
      break;
    case OperandKind::FrameOffset:
      text.append(s < 0 ? "[frame" : "[frame+").append(std::to_string(s)).append("]");
      break;
    case OperandKind::JumpOffset:
      text.append(std::to_string(s)).append(" -> ").append(hex4(jumpTarget(address, o)));
      break;
    case OperandKind::CodeAddress:
      text = hex4(o);
      break;
  }
  return text;
}

}  // namespace

std::span<const Instruction> instructions() { return {kTable, kCount}; }

const Instruction& info(Op op) {
  const auto i = static_cast<std::size_t>(op);
  if (i >= kCount) throw std::invalid_argument("unknown instruction");
  return kTable[i];
}

const Instruction* findByName(std::string_view name) {
  for (const Instruction& in : kTable)
    if (in.name == name) return &in;
  return nullptr;
}

const Instruction* find(uint8_t cls, uint8_t number) {
  if ((cls & 0x3F) != 0 || number > 0x3F) return nullptr;
  const int16_t r = kIndex.row[cls | number];
  return r < 0 ? nullptr : &kTable[r];
}

const Instruction* decode(uint16_t w) {
  if (classOf(w) == kClassPlain && byteOf(w) != 0) return nullptr;
  const int16_t r = kIndex.row[w & 0xFF];
  return r < 0 ? nullptr : &kTable[r];
}

uint16_t encode(Op op, uint8_t byte) {
  const Instruction& in = info(op);
  if (byte != 0 && !in.hasByte())
    throw std::invalid_argument(std::string(in.name) + " takes no byte");
  return static_cast<uint16_t>(in.opcode() | (byte << 8));
}

Encoded assemble(Op op, Fields fields) {
  const Instruction& in = info(op);
  Encoded e;
  e.words[0] = encode(op, fields.byte);
  e.length = in.length();
  if (in.hasOperand())
    e.words[1] = fields.operand;
  else if (fields.operand != 0)
    throw std::invalid_argument(std::string(in.name) + " takes no operand");
  return e;
}

std::size_t append(std::vector<uint16_t>& code, Op op, Fields fields) {
  const Encoded e = assemble(op, fields);
  const std::size_t at = code.size();
  code.insert(code.end(), e.words.begin(), e.words.begin() + e.length);
  return at;
}

std::string disassemble(uint16_t word, uint16_t operand, uint16_t address) {
  const Instruction* in = decode(word);
  if (!in) return std::string(".word ").append(hex4(word));
  std::string text(in->name);
  for (const std::string& part : {byteText(in->byteKind, byteOf(word)),
                                  operandText(in->operandKind, operand, address)}) {
    if (!part.empty()) text.append(" ").append(part);
  }
  return text;
}

std::vector<std::string> disassembleAll(std::span<const uint16_t> code) {
  std::vector<std::string> lines;
  std::size_t pc = 0;
  while (pc < code.size()) {
    const uint16_t w = code[pc];
    const Instruction* in = decode(w);
    // Undefined two-word classes still occupy two words, as the machine advances.
    const std::size_t len = static_cast<std::size_t>(lengthOf(w));
    std::string text;
    if (len == 2 && pc + 1 >= code.size())
      text = in ? std::string(in->name).append(" ?") : std::string(".word ").append(hex4(w));
    else
      text = disassemble(w, len == 2 ? code[pc + 1] : 0, static_cast<uint16_t>(pc));
    lines.push_back(hex4(static_cast<unsigned>(pc)) + ": " + text);
    pc += len;
  }
  return lines;
}

}  // namespace vexa::isa
