#include "model/text/V2Tokenizer.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace vexa::ide {

namespace {

using Kind = TV2TokenKind;

// Sorted, for the binary search.
constexpr std::array<std::string_view, 39> kKeywords = {
    "and",    "break",  "byte",     "capture", "const", "continue", "do",      "else",
    "float",  "for",    "function", "halt",    "if",    "inline",   "int",     "long",
    "loop",   "nand",   "nor",      "not",     "or",    "quit",     "release", "reset",
    "resume", "return", "returns",  "run",     "shl",   "shr",      "sleep",   "step",
    "string", "thread", "type",     "wait",    "while", "xor",      "yield",
};

constexpr std::string_view kSingleSymbols = "%&()*+,-.:;?[]^{|}~";

static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end()));

bool IsLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsLetter(c) || IsDigit(c); }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class TScanner {
 public:
  TScanner(std::string_view line, int range) : line_(line), range_(range) {}

  TTokenizedLine Run() {
    TTokenizedLine result;
    while (pos_ < line_.size()) {
      const std::size_t start = pos_;
      const Kind kind = Next();
      result.Tokens.push_back({int(kind), int(start), int(pos_ - start)});
    }
    result.EndRange = range_;
    return result;
  }

 private:
  // NUL past the end, so that every rule sees the end of the line there.
  char At(std::size_t i) const { return i < line_.size() ? line_[i] : '\0'; }

  std::size_t EndOfLineText(std::size_t p) const {
    while (!IsLineEnd(At(p))) ++p;
    return p;
  }

  Kind Next() {
    const char c = line_[pos_];
    if (range_ == V2RangeBlockComment && !IsLineEnd(c)) return BlockComment(pos_);
    const auto u = static_cast<unsigned char>(c);
    if (c == '\0') {  // a NUL inside the text: the end-of-line kind
      ++pos_;
      return Kind::InvalidChars;
    }
    if (c == '\n') {
      ++pos_;
      return Kind::Whitespace;
    }
    if (c == '\r') {
      pos_ += At(pos_ + 1) == '\n' ? 2 : 1;
      return Kind::Whitespace;
    }
    if (u <= 32) {
      ++pos_;
      while (!IsLineEnd(At(pos_)) && static_cast<unsigned char>(At(pos_)) <= 32) ++pos_;
      return Kind::Whitespace;
    }
    if (IsLetter(c)) return Word();
    if (IsDigit(c)) return Number();
    switch (c) {
      case '"': return String();
      case '\'': return CharLiteral();
      case '/':
        if (At(pos_ + 1) == '*') {
          range_ = V2RangeBlockComment;
          return BlockComment(pos_ + 2);
        }
        if (At(pos_ + 1) == '/') {
          pos_ = EndOfLineText(pos_);
          return Kind::Comment;
        }
        return Symbol(1);
      case '!': {
        const char n = At(pos_ + 1);
        return Symbol(n == '&' || n == '=' || n == '|' ? 2 : 1);
      }
      case '=': return Symbol(At(pos_ + 1) == '=' ? 2 : 1);
      case '<': {
        const char n = At(pos_ + 1);
        return Symbol(n == '<' || n == '=' ? 2 : 1);
      }
      case '>': {
        const char n = At(pos_ + 1);
        return Symbol(n == '=' || n == '>' ? 2 : 1);
      }
      default:
        if (kSingleSymbols.find(c) != std::string_view::npos) return Symbol(1);
        ++pos_;
        return Kind::InvalidChars;
    }
  }

  Kind Symbol(std::size_t length) {
    pos_ += length;
    return Kind::Symbol;
  }

  // A comment up to and including "*/" from p on, or to the line end.
  Kind BlockComment(std::size_t p) {
    while (!IsLineEnd(At(p))) {
      if (At(p) == '*' && At(p + 1) == '/') {
        p += 2;
        range_ = V2RangeNormal;
        break;
      }
      ++p;
    }
    pos_ = p;
    return Kind::Comment;
  }

  Kind Word() {
    const std::size_t start = pos_;
    while (IsIdentChar(At(pos_))) ++pos_;
    return IsV2Keyword(line_.substr(start, pos_ - start)) ? Kind::Keyword : Kind::Identifier;
  }

  Kind Number() {
    int base = 10;
    bool invalid = false;
    if (At(pos_) == '0' && (At(pos_ + 1) == 'b' || At(pos_ + 1) == 'B')) {
      base = 2;
      pos_ += 2;
    } else if (At(pos_) == '0' && (At(pos_ + 1) == 'x' || At(pos_ + 1) == 'X')) {
      base = 16;
      pos_ += 2;
    }
    for (;; ++pos_) {
      const char c = At(pos_);
      if (c == '0' || c == '1') continue;
      if (c >= '2' && c <= '9') {
        invalid |= base == 2;
      } else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
        invalid |= base != 16;
      } else if (IsLetter(c)) {  // g..z, G..Z and "_"
        invalid = true;
      } else if (c == '.') {
        if (At(pos_ + 1) == '.') break;  // a range "1..5"
        invalid |= base != 10;
      } else {
        break;
      }
    }
    return invalid ? Kind::InvalidChars : Kind::Number;
  }

  // An escape at p (a backslash); returns the position after it.
  std::size_t Escape(std::size_t p) const {
    if (At(p + 1) == 'x') {
      p += 2;
      while (IsHexDigit(At(p))) ++p;
      return p;
    }
    return IsLineEnd(At(p + 1)) ? p + 1 : p + 2;
  }

  Kind String() {
    std::size_t p = pos_ + 1;
    for (;;) {
      const char c = At(p);
      if (IsLineEnd(c)) {
        pos_ = p;
        return Kind::InvalidChars;
      }
      if (c == '"') {
        pos_ = p + 1;
        return Kind::String;
      }
      p = c == '\\' ? Escape(p) : p + 1;
    }
  }

  Kind CharLiteral() {
    std::size_t p = pos_ + 1;
    if (IsLineEnd(At(p))) {
      pos_ = p;
      return Kind::InvalidChars;
    }
    p = At(p) == '\\' ? Escape(p) : p + 1;
    if (At(p) == '\'') {
      pos_ = p + 1;
      return Kind::String;
    }
    pos_ = EndOfLineText(p);
    return Kind::InvalidChars;
  }

  std::string_view line_;
  std::size_t pos_ = 0;
  int range_;
};

}  // namespace

bool IsV2Keyword(std::string_view Word) {
  return std::binary_search(kKeywords.begin(), kKeywords.end(), Word);
}

TTokenizedLine TokenizeV2(std::string_view Line, int Range) {
  return TScanner(Line, Range == V2RangeBlockComment ? V2RangeBlockComment : V2RangeNormal).Run();
}

std::string_view V2SampleSource() {
  return "/* Beispielmodul:\n"
         "   Syntaxhervorhebung */\n"
         "const LIMIT = 0x1F;\n"
         "string text = \"Wert: \\x41\";\n"
         "int count, mask = 0b1010;\n"
         "\n"
         "thread main {\n"
         "  float level = 3.14;\n"
         "  loop {\n"
         "    count = count + 1;  // weiter\n"
         "    if count >= LIMIT && mask != 0\n"
         "      count = 0;\n"
         "    sleep 100;\n"
         "  }\n"
         "}\n"
         "mark = 'x'; 12abc $\n";
}

}  // namespace vexa::ide
