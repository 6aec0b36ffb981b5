#include "LineScanner.h"

namespace vexa::vxbasic {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '#'; }

std::string toUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

void LineScanner::reset(std::string text) {
  text_ = std::move(text);
  pos_ = 0;
}

void LineScanner::skipBlanks() {
  while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') ++pos_;
}

bool LineScanner::atLineEnd() {
  skipBlanks();
  return pos_ >= text_.size() || text_[pos_] == '\'';
}

bool LineScanner::atStatementEnd() { return atLineEnd() || text_[pos_] == ':'; }

char LineScanner::peekChar() {
  skipBlanks();
  return pos_ < text_.size() ? text_[pos_] : '\0';
}

bool LineScanner::acceptChar(char c) {
  if (peekChar() != c || c == '\0') return false;
  ++pos_;
  return true;
}

std::string LineScanner::readWord() {
  skipBlanks();
  std::size_t start = pos_;
  if (pos_ < text_.size() && (text_[pos_] == '&' || text_[pos_] == '-')) ++pos_;
  while (pos_ < text_.size() && isWordChar(text_[pos_])) ++pos_;
  return toUpper(std::string_view(text_).substr(start, pos_ - start));
}

std::string LineScanner::peekWord() {
  std::size_t saved = pos_;
  std::string word = readWord();
  pos_ = saved;
  return word;
}

std::optional<std::string> LineScanner::readQuoted() {
  if (!acceptChar('"')) return std::nullopt;
  std::size_t end = text_.find('"', pos_);
  if (end == std::string::npos) {
    pos_ = text_.size();
    return std::nullopt;
  }
  std::string inner = text_.substr(pos_, end - pos_);
  pos_ = end + 1;
  return inner;
}

std::string LineScanner::rest() const {
  return pos_ < text_.size() ? text_.substr(pos_) : std::string();
}

}  // namespace vexa::vxbasic
