#include "TokenCode.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace vexa::basic {

namespace {

constexpr TokenCode kTable[] = {
#define VXBASIC_TOKEN_ROW(name, number, operand, family) \
  TokenCode{Op::name, #name, OperandKind::operand, Family::family},
    VXBASIC_TOKEN_CODES(VXBASIC_TOKEN_ROW)
#undef VXBASIC_TOKEN_ROW
};

constexpr bool numbersAreUnique() {
  std::size_t defined = 0;
  for (bool d : detail::kByteIndex.defined) defined += d;
  return defined == std::size(kTable);
}
static_assert(numbersAreUnique(), "two opcodes share a number");

std::string hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

uint16_t wordAt(std::span<const uint8_t> code, std::size_t at) {
  return static_cast<uint16_t>(code[at] << 8 | code[at + 1]);
}

std::string quoted(std::span<const uint8_t> text) {
  std::string out = "\"";
  for (uint8_t c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c >= 0x20 && c < 0x7F) {
          out += static_cast<char>(c);
        } else {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\x%02X", c);
          out += escape;
        }
    }
  }
  return out + "\"";
}

// Bytes of the instruction at `at` including its operand, or 0 when the code ends inside it.
std::size_t instructionLength(std::span<const uint8_t> code, std::size_t at) {
  const OperandKind kind = operandOf(static_cast<Op>(code[at]));
  if (kind == OperandKind::Text) {
    for (std::size_t i = at + 1; i < code.size(); ++i)
      if (code[i] == 0) return i - at + 1;
    return 0;
  }
  const std::size_t length = 1 + static_cast<std::size_t>(operandSize(kind));
  return at + length <= code.size() ? length : 0;
}

std::string operandText(OperandKind kind, std::span<const uint8_t> operand) {
  switch (kind) {
    case OperandKind::None: return {};
    case OperandKind::Byte: return std::to_string(operand[0]);
    case OperandKind::Word: return std::to_string(static_cast<int16_t>(wordAt(operand, 0)));
    case OperandKind::Address: return hex4(wordAt(operand, 0));
    case OperandKind::ByteAddress:
      return std::to_string(operand[0]) + " " + hex4(wordAt(operand, 1));
    case OperandKind::Text: return quoted(operand.first(operand.size() - 1));
    case OperandKind::Line: return std::to_string(wordAt(operand, 0));
  }
  return {};
}

// Reads the words of one assembler line.
class LineReader {
 public:
  explicit LineReader(const std::string& line) : line_(line) {}

  bool atEnd() {
    skipBlanks();
    return pos_ >= line_.size();
  }
  std::string_view word() {
    skipBlanks();
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
    return std::string_view(line_).substr(start, pos_ - start);
  }
  // A decimal, or hexadecimal after "0x"; `base` 16 reads hexadecimal digits alone.
  long number(long min, long max, int base = 10) {
    std::string_view text = word();
    if (base == 10 && text.starts_with("0x")) {
      text.remove_prefix(2);
      base = 16;
    }
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value < min ||
        value > max)
      fail();
    return value;
  }
  void text(std::vector<uint8_t>& out) {
    skipBlanks();
    if (pos_ >= line_.size() || line_[pos_] != '"') fail();
    for (++pos_; pos_ < line_.size() && line_[pos_] != '"'; ++pos_) {
      char c = line_[pos_];
      if (c == '\\') {
        if (++pos_ >= line_.size()) fail();
        c = escaped();
      }
      out.push_back(static_cast<uint8_t>(c));
    }
    if (pos_ >= line_.size()) fail();
    ++pos_;
  }
  [[noreturn]] void fail() const {
    throw std::invalid_argument("cannot assemble \"" + line_ + "\"");
  }

 private:
  void skipBlanks() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  }
  char escaped() {
    switch (line_[pos_]) {
      case 'r': return '\r';
      case 'n': return '\n';
      case 't': return '\t';
      case '"': return '"';
      case '\\': return '\\';
      case 'x': {
        unsigned value = 0;
        const char* first = line_.data() + pos_ + 1;
        // A NUL would end the text.
        if (pos_ + 2 >= line_.size() ||
            std::from_chars(first, first + 2, value, 16).ptr != first + 2 || value == 0)
          fail();
        pos_ += 2;
        return static_cast<char>(value);
      }
      default: fail();
    }
  }

  const std::string& line_;
  std::size_t pos_ = 0;
};

void putWord(std::vector<uint8_t>& out, long value) {
  out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

bool isAddress(std::string_view word) {
  if (word.size() != 4) return false;
  for (char c : word)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

std::span<const TokenCode> tokenCodes() { return kTable; }

std::string_view nameOf(Op op) {
  for (const TokenCode& t : kTable)
    if (t.op == op) return t.name;
  return {};
}

const TokenCode* findTokenCode(std::string_view name) {
  for (const TokenCode& t : kTable)
    if (t.name == name) return &t;
  return nullptr;
}

std::vector<std::string> disassemble(std::span<const uint8_t> code, uint16_t origin) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < code.size()) {
    std::string line = hex4(static_cast<uint16_t>(origin + at)) + " ";
    const std::size_t length = isDefined(code[at]) ? instructionLength(code, at) : 0;
    if (length == 0) {
      lines.push_back(line + "Byte " + std::to_string(code[at]));
      ++at;
      continue;
    }
    const Op op = static_cast<Op>(code[at]);
    line += nameOf(op);
    if (length > 1) line += " " + operandText(operandOf(op), code.subspan(at + 1, length - 1));
    lines.push_back(std::move(line));
    at += length;
  }
  return lines;
}

std::vector<uint8_t> assemble(const std::vector<std::string>& lines, uint16_t origin) {
  std::vector<uint8_t> out;
  for (const std::string& line : lines) {
    LineReader in(line);
    std::string_view name = in.word();
    if (isAddress(name)) {
      if (std::stoul(std::string(name), nullptr, 16) != origin + out.size()) in.fail();
      name = in.word();
    }
    // Data: one or more bytes, or words high byte first.
    if (name == "Byte" || name == "Word") {
      do {
        if (name == "Byte")
          out.push_back(static_cast<uint8_t>(in.number(0, 255)));
        else
          putWord(out, in.number(-32768, 65535));
      } while (!in.atEnd());
      continue;
    }
    const TokenCode* token = findTokenCode(name);
    if (!token) in.fail();
    out.push_back(byteOf(token->op));
    switch (token->operand) {
      case OperandKind::None: break;
      case OperandKind::Byte: out.push_back(static_cast<uint8_t>(in.number(0, 255))); break;
      case OperandKind::Word: putWord(out, in.number(-32768, 65535)); break;
      case OperandKind::Address: putWord(out, in.number(0, 0xFFFF, 16)); break;
      case OperandKind::ByteAddress:
        out.push_back(static_cast<uint8_t>(in.number(0, 255)));
        putWord(out, in.number(0, 0xFFFF, 16));
        break;
      case OperandKind::Text:
        in.text(out);
        out.push_back(0);
        break;
      case OperandKind::Line: putWord(out, in.number(0, 0xFFFF)); break;
    }
    if (!in.atEnd()) in.fail();
  }
  return out;
}

}  // namespace vexa::basic
