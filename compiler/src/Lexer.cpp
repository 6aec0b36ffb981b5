#include "Lexer.h"

#include "Token.h"

namespace vexa::vx2 {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isBlank(char c) { return static_cast<signed char>(c) <= 32; }
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void Lexer::scan(std::string_view source, TokenList& tokens) {
  tokens.clear();
  src_ = source;
  pos_ = 0;
  out_ = &tokens;
  for (;;) {
    skipBlanks();
    if (atEnd()) break;
    char c = src_[pos_];
    if (isLetter(c) || c == '_') {
      scanWord();
    } else if (isDigit(c)) {
      scanNumber();
    } else if (c == '"') {
      ++pos_;
      scanString();
    } else if (c == '\'') {
      ++pos_;
      scanChar();
    } else {
      ++pos_;
      scanOther(c);
    }
  }
  tokens.append(TOKEN_END, 0);
  tokens.recordSizes();
  out_ = nullptr;
}

bool Lexer::skipLineEnd() {
  char c = peek();
  if (c == '\n') {
    ++pos_;
    return true;
  }
  if (c == '\r') {
    ++pos_;
    if (peek() == '\n' && !atEnd()) ++pos_;
    return true;
  }
  return false;
}

void Lexer::skipBlanks() {
  while (!atEnd() && isBlank(src_[pos_])) {
    if (skipLineEnd())
      out_->append(TOKEN_LINE_END, 0);
    else
      ++pos_;
  }
}

void Lexer::scanWord() {
  size_t start = pos_;
  while (!atEnd() && isWordChar(src_[pos_])) ++pos_;
  std::string_view word = src_.substr(start, pos_ - start);
  int type = keywords_.lookup(word);
  if (type == TOKEN_IDENTIFIER)
    out_->appendText(TOKEN_IDENTIFIER, std::string(word));
  else
    out_->append(type, 0);
}

void Lexer::scanNumber() {
  uint32_t value = 0;
  if (peek() == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
    pos_ += 2;
    for (int h; !atEnd() && (h = hexValue(src_[pos_])) >= 0; ++pos_)
      value = value * 16 + static_cast<uint32_t>(h);
    out_->append(TOKEN_INTEGER, static_cast<int32_t>(value));
    return;
  }
  if (peek() == '0' && (peek(1) == 'b' || peek(1) == 'B')) {
    pos_ += 2;
    for (; !atEnd() && (src_[pos_] == '0' || src_[pos_] == '1'); ++pos_)
      value = value * 2 + (src_[pos_] - '0');
    out_->append(TOKEN_INTEGER, static_cast<int32_t>(value));
    return;
  }
  for (; !atEnd() && isDigit(src_[pos_]); ++pos_)
    value = value * 10 + static_cast<uint32_t>(src_[pos_] - '0');
  if (peek() != '.' || atEnd()) {
    out_->append(TOKEN_INTEGER, static_cast<int32_t>(value));
    return;
  }
  if (peek(1) == '.' && peek(2) == '.') {
    pos_ += 3;
    out_->append(TOKEN_INTEGER, static_cast<int32_t>(value));
    out_->append(TOKEN_ELLIPSIS, 0);
    return;
  }
  ++pos_;  // the decimal point
  double number = static_cast<double>(static_cast<int32_t>(value));
  double factor = 1.0;
  for (; !atEnd() && isDigit(src_[pos_]); ++pos_) {
    factor *= 0.1;
    number += (src_[pos_] - '0') * factor;
  }
  out_->appendDouble(TOKEN_FLOAT, number);
}

int Lexer::scanEscape() {
  if (atEnd()) return 0;
  char c = src_[pos_++];
  char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  switch (lower) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    default: break;
  }
  if (lower == 'x' || isDigit(c)) {
    uint32_t value = 0;
    if (lower == 'x') {
      for (int h; !atEnd() && (h = hexValue(src_[pos_])) >= 0; ++pos_)
        value = value * 16 + static_cast<uint32_t>(h);
    } else {
      value = static_cast<uint32_t>(c - '0');
      for (; !atEnd() && isDigit(src_[pos_]); ++pos_)
        value = value * 10 + static_cast<uint32_t>(src_[pos_] - '0');
    }
    skipBlanks();
    return static_cast<int>(value & 0xFF);
  }
  return static_cast<unsigned char>(c);
}

void Lexer::scanString() {
  std::string text;
  for (;;) {
    if (atEnd()) return;  // open at the end of the input: nothing
    char c = src_[pos_];
    if (c == '\n' || c == '\r') {
      out_->append(TOKEN_STRING_LINE_END, 0);
      out_->appendText(TOKEN_STRING, std::move(text));
      skipLineEnd();
      // The line end still counts as a line, so later line numbers stay right.
      out_->append(TOKEN_LINE_END, 0);
      return;
    }
    ++pos_;
    if (c == '\\') {
      text.push_back(static_cast<char>(scanEscape()));
    } else if (c == '"') {
      skipBlanks();
      if (peek() == '"' && !atEnd()) {
        ++pos_;
        continue;
      }
      out_->appendText(TOKEN_STRING, std::move(text));
      return;
    } else {
      text.push_back(c);
    }
  }
}

void Lexer::scanChar() {
  if (atEnd()) return;
  // A line end right after the quote is left for the next token, so it still counts as a line.
  if (src_[pos_] == '\n' || src_[pos_] == '\r') return;
  size_t afterFirst = pos_ + 1;
  size_t tokensBefore = out_->size();
  int value;
  if (src_[pos_] == '\\') {
    ++pos_;
    value = scanEscape();
  } else {
    value = static_cast<unsigned char>(src_[pos_++]);
  }
  if (peek() == '\'' && !atEnd()) {
    ++pos_;
    out_->append(TOKEN_CHAR, value);
  } else {
    // Rescanned from after the first character: line ends the escape passed are counted then.
    out_->truncate(tokensBefore);
    pos_ = afterFirst;
  }
}

void Lexer::scanOther(char c) {
  char n = peek();
  switch (c) {
    case '!':
      if (n == '&') {
        ++pos_;
        out_->append(TOKEN_NAND, 0);
      } else if (n == '=') {
        ++pos_;
        out_->append(TOKEN_NOT_EQUAL, 0);
      } else if (n == '|') {
        ++pos_;
        out_->append(TOKEN_NOR, 0);
      } else
        out_->append(TOKEN_NOT, 0);
      return;
    case '~': out_->append(TOKEN_NOT, 0); return;
    case '%': out_->append(TOKEN_PERCENT, 0); return;
    case '&': out_->append(TOKEN_AND, 0); return;
    case '(': out_->append(TOKEN_LPAREN, 0); return;
    case ')': out_->append(TOKEN_RPAREN, 0); return;
    case '*': out_->append(TOKEN_STAR, 0); return;
    case '+': out_->append(TOKEN_PLUS, 0); return;
    case ',': out_->append(TOKEN_COMMA, 0); return;
    case '-': out_->append(TOKEN_MINUS, 0); return;
    case ';': out_->append(TOKEN_SEMICOLON, 0); return;
    case '[': out_->append(TOKEN_LBRACKET, 0); return;
    case ']': out_->append(TOKEN_RBRACKET, 0); return;
    case '^': out_->append(TOKEN_XOR, 0); return;
    case '{': out_->append(TOKEN_LBRACE, 0); return;
    case '|': out_->append(TOKEN_OR, 0); return;
    case '}': out_->append(TOKEN_RBRACE, 0); return;
    case '.':
      if (n == '.' && peek(1) == '.') {
        pos_ += 2;
        out_->append(TOKEN_ELLIPSIS, 0);
      } else {
        out_->append(TOKEN_DOT, 0);
      }
      return;
    case '/':
      if (n == '*') {
        ++pos_;
        while (!atEnd()) {
          if (src_[pos_] == '*' && peek(1) == '/') {
            pos_ += 2;
            return;
          }
          if (skipLineEnd())
            out_->append(TOKEN_LINE_END, 0);
          else
            ++pos_;
        }
      } else if (n == '/') {
        while (!atEnd() && src_[pos_] != '\n' && src_[pos_] != '\r') ++pos_;
      } else {
        out_->append(TOKEN_SLASH, 0);
      }
      return;
    case '<':
      if (n == '=') {
        ++pos_;
        out_->append(TOKEN_LESS_EQUAL, 0);
      } else if (n == '<') {
        ++pos_;
        out_->append(TOKEN_SHL, 0);
      } else
        out_->append(TOKEN_LESS, 0);
      return;
    case '>':
      if (n == '=') {
        ++pos_;
        out_->append(TOKEN_GREATER_EQUAL, 0);
      } else if (n == '>') {
        ++pos_;
        out_->append(TOKEN_SHR, 0);
      } else
        out_->append(TOKEN_GREATER, 0);
      return;
    case '=':
      if (n == '=') {
        ++pos_;
        out_->append(TOKEN_EQUAL, 0);
      } else
        out_->append(TOKEN_ASSIGN, 0);
      return;
    default: out_->appendText(TOKEN_INVALID, std::string(1, c)); return;
  }
}

bool isValidIdentifierText(const KeywordTable& keywords, std::string_view text) {
  TokenList tokens = TokenList::forName();
  Lexer(keywords).scan(text, tokens);
  return tokens.size() == 2 && tokens.at(0).type == TOKEN_IDENTIFIER &&
         tokens.at(1).type == TOKEN_END;
}

}  // namespace vexa::vx2
