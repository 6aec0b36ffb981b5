// Scanner of V2 source text into a token list.
#pragma once

#include <string_view>

#include "KeywordTable.h"
#include "TokenList.h"

namespace vexa::vx2 {

class Lexer {
 public:
  explicit Lexer(const KeywordTable& keywords) : keywords_(keywords) {}

  // Empties the list, scans the whole text, appends the end token and records the sizes.
  void scan(std::string_view source, TokenList& tokens);

 private:
  bool atEnd() const { return pos_ >= src_.size(); }
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0';
  }
  bool skipLineEnd();  // consumes CR, LF or CR LF; true when one was there
  void skipBlanks();
  void scanWord();
  void scanNumber();
  void scanString();
  void scanChar();
  int scanEscape();  // after the backslash
  void scanOther(char c);

  const KeywordTable& keywords_;
  std::string_view src_;
  size_t pos_ = 0;
  TokenList* out_ = nullptr;
};

// True when the text scans as exactly one identifier followed by the end of the text.
bool isValidIdentifierText(const KeywordTable& keywords, std::string_view text);

}  // namespace vexa::vx2
