#include "vexa/isa.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace vexa::isa {
namespace {

constexpr Instruction kTable[] = {
#define VEXA_ISA_ROW(name, cls, number, byteKind, operandKind, pops, pushes, flags)         \
  Instruction{Op::name, #name,  cls,  number, ByteKind::byteKind, OperandKind::operandKind, \
              pops,     pushes, flags},
    VEXA_ISA_INSTRUCTIONS(VEXA_ISA_ROW)
#undef VEXA_ISA_ROW
};

constexpr std::size_t kCount = sizeof(kTable) / sizeof(kTable[0]);

// The byte and operand kinds must agree with the class.
constexpr bool tableIsConsistent() {
  for (std::size_t i = 0; i < kCount; ++i) {
    const Instruction& in = kTable[i];
    if (static_cast<std::size_t>(in.op) != i || in.number > 0x3F || (in.cls & 0x3F) != 0)
      return false;
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
constexpr const char* kMathNames[] = {"square", "sqrt", "cbrt", "sin",  "cos",
                                      "tan",    "asin", "acos", "atan", "log10",
                                      "ln",     "exp",  "pow",  "ceil", "floor"};
static_assert(sizeof(kMathNames) / sizeof(kMathNames[0]) == kMathFnCount);

std::string byteText(ByteKind kind, uint8_t b) {
  switch (kind) {
    case ByteKind::None:
    case ByteKind::Ignored: return {};
    case ByteKind::TypePair:
      if (b < kTypePairCount) return std::string(kTypeNames[b / 3]) + "," + kTypeNames[b % 3];
      break;
    case ByteKind::MathFunction:
      if (b < kMathFnCount) return kMathNames[b];
      break;
    case ByteKind::ResultType:
      if (b < 3) return kTypeNames[b];
      break;
    case ByteKind::Immediate:
    case ByteKind::Thread:
    case ByteKind::SubFunction: break;
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
    case OperandKind::Ignored: break;
    case OperandKind::Immediate:
    case OperandKind::ByteCount: text = std::to_string(s); break;
    case OperandKind::ConstIndex: text.append("const ").append(std::to_string(o)); break;
    case OperandKind::Address: text.append("[").append(hex4(o)).append("]"); break;
    case OperandKind::FrameOffset:
      text.append(s < 0 ? "[frame" : "[frame+").append(std::to_string(s)).append("]");
      break;
    case OperandKind::JumpOffset:
      text.append(std::to_string(s)).append(" -> ").append(hex4(jumpTarget(address, o)));
      break;
    case OperandKind::CodeAddress: text = hex4(o); break;
  }
  return text;
}

// Whitespace-separated words of one line.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : rest_(text) {}

  bool atEnd() {
    skipSpace();
    return rest_.empty();
  }
  std::string_view next() {
    skipSpace();
    if (rest_.empty()) throw std::invalid_argument("line ends too early");
    std::size_t n = 0;
    while (n < rest_.size() && !isSpace(rest_[n])) ++n;
    const std::string_view token = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return token;
  }

 private:
  static bool isSpace(char c) { return c == ' ' || c == '\t'; }
  void skipSpace() {
    while (!rest_.empty() && isSpace(rest_.front())) rest_.remove_prefix(1);
  }
  std::string_view rest_;
};

[[noreturn]] void badField(std::string_view what, std::string_view token) {
  throw std::invalid_argument(std::string(what) + " expected, not \"" + std::string(token) + "\"");
}

long parseNumber(std::string_view token, int base, long low, long high, std::string_view what) {
  long value = 0;
  const char* end = token.data() + token.size();
  const auto [ptr, ec] = std::from_chars(token.data(), end, value, base);
  if (token.empty() || ec != std::errc() || ptr != end || value < low || value > high)
    badField(what, token);
  return value;
}

// A 16-bit operand written signed or unsigned.
uint16_t parseWord(std::string_view token) {
  return static_cast<uint16_t>(parseNumber(token, 10, -32768, 65535, "number"));
}

uint16_t parseHex(std::string_view token) {
  if (token.size() > 4) badField("four hexadecimal digits", token);
  return static_cast<uint16_t>(parseNumber(token, 16, 0, 0xFFFF, "four hexadecimal digits"));
}

// Index of `token` in `names`, or its number 0..255.
template <std::size_t N>
uint8_t parseNamedByte(std::string_view token, const char* const (&names)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (token == names[i]) return static_cast<uint8_t>(i);
  return static_cast<uint8_t>(parseNumber(token, 10, 0, 255, "byte"));
}

uint8_t parseByte(ByteKind kind, std::string_view token) {
  switch (kind) {
    case ByteKind::TypePair: {
      const std::size_t comma = token.find(',');
      if (comma != std::string_view::npos) {
        const uint8_t left = parseNamedByte(token.substr(0, comma), kTypeNames);
        const uint8_t right = parseNamedByte(token.substr(comma + 1), kTypeNames);
        if (left > 2 || right > 2) badField("type pair", token);
        return static_cast<uint8_t>(3 * left + right);
      }
      break;
    }
    case ByteKind::MathFunction: return parseNamedByte(token, kMathNames);
    case ByteKind::ResultType: return parseNamedByte(token, kTypeNames);
    default: break;
  }
  return static_cast<uint8_t>(parseNumber(token, 10, 0, 255, "byte"));
}

// The operand as operandText() writes it; reads "-> target" of a jump too.
uint16_t parseOperand(OperandKind kind, Tokens& tokens, uint16_t address) {
  const std::string_view token = tokens.next();
  switch (kind) {
    case OperandKind::Immediate:
    case OperandKind::ByteCount: return parseWord(token);
    case OperandKind::ConstIndex:
      if (token != "const") badField("\"const\"", token);
      return static_cast<uint16_t>(parseNumber(tokens.next(), 10, 0, 65535, "constant index"));
    case OperandKind::Address:
      if (token.size() < 3 || token.front() != '[' || token.back() != ']')
        badField("[address]", token);
      return parseHex(token.substr(1, token.size() - 2));
    case OperandKind::FrameOffset: {
      constexpr std::string_view kFrame = "[frame";
      if (token.size() < kFrame.size() + 3 || !token.starts_with(kFrame) || token.back() != ']')
        badField("[frame+offset]", token);
      std::string_view number = token.substr(kFrame.size(), token.size() - kFrame.size() - 1);
      const char sign = number.front();
      if (sign == '+') number.remove_prefix(1);
      if ((sign != '+' && sign != '-') || (sign == '+' && number.front() == '-'))
        badField("[frame+offset]", token);
      return static_cast<uint16_t>(parseNumber(number, 10, -32768, 32767, "frame offset"));
    }
    case OperandKind::JumpOffset: {
      const uint16_t offset = parseWord(token);
      if (!tokens.atEnd()) {
        const std::string_view arrow = tokens.next();
        if (arrow != "->") badField("\"->\"", arrow);
        const std::string_view target = tokens.next();
        if (parseHex(target) != jumpTarget(address, offset))
          throw std::invalid_argument("jump target is " + hex4(jumpTarget(address, offset)) +
                                      ", not " + std::string(target));
      }
      return offset;
    }
    case OperandKind::CodeAddress: return parseHex(token);
    case OperandKind::None:
    case OperandKind::Ignored: break;
  }
  return 0;
}

// One instruction line at `address`.
Encoded assembleLine(std::string_view line, uint16_t address) {
  Tokens tokens(line);
  std::string_view name = tokens.next();
  if (name.size() > 1 && name.back() == ':') {
    if (parseHex(name.substr(0, name.size() - 1)) != address)
      throw std::invalid_argument("the instruction is at " + hex4(address));
    name = tokens.next();
  }
  Encoded e;
  if (name == ".word") {
    e.words[0] = parseHex(tokens.next());
    e.length = 1;
  } else {
    const Instruction* in = findByName(name);
    if (!in) throw std::invalid_argument("unknown instruction \"" + std::string(name) + "\"");
    Fields fields;
    if (in->byteKind != ByteKind::None && in->byteKind != ByteKind::Ignored)
      fields.byte = parseByte(in->byteKind, tokens.next());
    if (in->operandKind != OperandKind::None && in->operandKind != OperandKind::Ignored)
      fields.operand = parseOperand(in->operandKind, tokens, address);
    e = assemble(in->op, fields);
  }
  if (!tokens.atEnd())
    throw std::invalid_argument("unexpected \"" + std::string(tokens.next()) + "\"");
  return e;
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
  for (const std::string& part :
       {byteText(in->byteKind, byteOf(word)), operandText(in->operandKind, operand, address)}) {
    if (!part.empty()) text.append(" ").append(part);
  }
  return text;
}

std::vector<std::string> disassembleAll(std::span<const uint16_t> code, uint16_t origin) {
  std::vector<std::string> lines;
  std::size_t pc = 0;
  while (pc < code.size()) {
    const uint16_t w = code[pc];
    const Instruction* in = decode(w);
    const auto address = static_cast<uint16_t>(origin + pc);
    // Undefined two-word classes still occupy two words, as the machine advances.
    const std::size_t len = static_cast<std::size_t>(lengthOf(w));
    std::string text;
    if (len == 2 && pc + 1 >= code.size())
      text = in ? std::string(in->name).append(" ?") : std::string(".word ").append(hex4(w));
    else
      text = disassemble(w, len == 2 ? code[pc + 1] : 0, address);
    lines.push_back(hex4(address) + ": " + text);
    pc += len;
  }
  return lines;
}

std::vector<uint16_t> assembleText(const std::vector<std::string_view>& lines, uint16_t origin) {
  std::vector<uint16_t> code;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto address = static_cast<uint16_t>(origin + code.size());
    try {
      const Encoded e = assembleLine(lines[i], address);
      code.insert(code.end(), e.words.begin(), e.words.begin() + e.length);
    } catch (const std::invalid_argument& error) {
      throw std::invalid_argument("line " + std::to_string(i + 1) + " \"" + std::string(lines[i]) +
                                  "\": " + error.what());
    }
  }
  return code;
}

}  // namespace vexa::isa
