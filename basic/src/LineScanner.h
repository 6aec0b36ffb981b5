// Reads blanks, words, characters and quoted text from one source line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::vxbasic {

class LineScanner {
 public:
  void reset(std::string text);

  // Blanks are every character up to and including the space.
  void skipBlanks();
  // End of the text or an apostrophe (a comment runs to the line end).
  bool atLineEnd();
  // The line ends or a ":" starts the next statement.
  bool atStatementEnd();
  // Next character after blanks, 0 at the end of the text.
  char peekChar();
  bool acceptChar(char c);
  // A word: optional "&" or "-", then letters, digits, "_" and "#",
  // upper-cased. May be empty.
  std::string readWord();
  std::string peekWord();
  // Text in double quotes; the opening quote is the next character.
  // Returns nothing when the line ends inside the quotes.
  std::optional<std::string> readQuoted();
  // The text from the read position to the end of the line.
  std::string rest() const;
  void skipToEnd() { pos_ = text_.size(); }
  std::size_t position() const { return pos_; }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

bool isWordChar(char c);
bool isLetter(char c);
bool isDigit(char c);
std::string toUpper(std::string_view text);

}  // namespace vexa::vxbasic
