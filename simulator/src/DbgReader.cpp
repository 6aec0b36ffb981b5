#include "DbgReader.h"

#include <cctype>

namespace vexa::vx2sim {

int DbgReader::skipSpace() {
  int c = std::getc(file_);
  while (c != EOF && std::isspace(c)) c = std::getc(file_);
  return c;
}

std::optional<int32_t> DbgReader::number() {
  int c = skipSpace();
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = std::getc(file_);
  }
  if (c == EOF || !std::isdigit(c)) return std::nullopt;
  int64_t value = 0;
  while (c != EOF && std::isdigit(c)) {
    value = value * 10 + (c - '0');
    if (value > int64_t{1} << 32) return std::nullopt;
    c = std::getc(file_);
  }
  if (c != EOF) {
    if (!std::isspace(c)) return std::nullopt;
    std::ungetc(c, file_);
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<std::string> DbgReader::word() {
  int c = skipSpace();
  if (c == EOF) return std::nullopt;
  std::string text;
  while (c != EOF && !std::isspace(c)) {
    text.push_back(static_cast<char>(c));
    c = std::getc(file_);
  }
  if (c != EOF) std::ungetc(c, file_);
  return text;
}

}  // namespace vexa::vx2sim
