#include "model/text/BasicTokenizer.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>

namespace vexa::ide {

namespace {

using Kind = TBasicTokenKind;

constexpr std::string_view kConstants = "ON OFF R1200 R2400 R4800 R9600 SELF";
constexpr std::string_view kKeywords =
    "DEFINE BIT BYTE WORD PORT BYTEPORT WORDPORT AD DA YEAR MONTH DAY DOW HOUR MINUTE SECOND "
    "TIMER FREQ FREQ1 FREQ2 MOD SQR ABS SIG MAX MIN NOT AND NAND OR NOR XOR SHL SHR RANDOMIZE "
    "RAND GOTO GOSUB RETURN FOR TO STEP NEXT IF THEN ELSE TABLE TABEND LOOKTAB SYSCODE SYSEND "
    "SYS GET PUT PRINT INPUT BAUD RXD OPEN# READ WRITE APPEND PRINT# INPUT# CLOSE# EOF "
    "FILEFREE PAUSE WAIT SLOWMODE TOG PULSE DEACT BEEP END NETWORK MAILSLOT INITMODEM SENDMAIL "
    "GETMAIL AT";

constexpr std::string_view kSingleSymbols = "$%()*+,-./:;<=>@[]";

bool IsLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsLetter(c) || IsDigit(c) || c == '#'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::string Upper(std::string_view word) {
  std::string result(word);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return result;
}

// The words of both lists by their upper-case spelling; a literal splits at
// every character that is not an identifier character.
class TWordTable {
 public:
  TWordTable() {
    Register(kConstants, Kind::Constant);
    Register(kKeywords, Kind::Keyword);
  }

  Kind Classify(std::string_view word) const {
    const auto it = words_.find(Upper(word));
    return it == words_.end() ? Kind::Identifier : it->second;
  }

 private:
  void Register(std::string_view list, Kind kind) {
    std::size_t i = 0;
    while (i < list.size()) {
      while (i < list.size() && !IsIdentChar(list[i])) ++i;
      const std::size_t start = i;
      while (i < list.size() && IsIdentChar(list[i])) ++i;
      if (i > start) words_.emplace(Upper(list.substr(start, i - start)), kind);
    }
  }

  std::unordered_map<std::string, Kind> words_;
};

const TWordTable& WordTable() {
  static const TWordTable table;
  return table;
}

class TScanner {
 public:
  explicit TScanner(std::string_view line) : line_(line) {}

  TTokenizedLine Run() {
    TTokenizedLine result;
    while (pos_ < line_.size()) {
      const std::size_t start = pos_;
      const Kind kind = Next();
      result.Tokens.push_back({int(kind), int(start), int(pos_ - start)});
    }
    return result;
  }

 private:
  char At(std::size_t i) const { return i < line_.size() ? line_[i] : '\0'; }

  template <class Pred>
  void Skip(Pred pred) {
    while (pos_ < line_.size() && pred(line_[pos_])) ++pos_;
  }

  Kind Next() {
    const char c = line_[pos_];
    const auto u = static_cast<unsigned char>(c);
    if (c == '\0') {  // a NUL inside the text: the end-of-line kind
      ++pos_;
      return Kind::InvalidChars;
    }
    if (u <= 32) {
      Skip([](char x) { return x != '\0' && static_cast<unsigned char>(x) <= 32; });
      return Kind::Whitespace;
    }
    if (IsLetter(c)) {
      const std::size_t start = pos_;
      Skip(IsIdentChar);
      return ClassifyBasicWord(line_.substr(start, pos_ - start));
    }
    if (IsDigit(c)) {
      Skip(IsDigit);
      return Kind::Number;
    }
    switch (c) {
      case '&': {
        const char n = At(pos_ + 1);
        if (n == 'H' || n == 'h') {
          pos_ += 2;
          Skip(IsHexDigit);
          return Kind::Number;
        }
        if (n == 'B' || n == 'b') {
          pos_ += 2;
          Skip([](char x) { return x == '0' || x == '1'; });
          return Kind::Number;
        }
        ++pos_;
        return Kind::Symbol;
      }
      case '\'': Skip([](char x) { return !IsLineEnd(x); }); return Kind::Comment;
      case '"':
        ++pos_;
        Skip([](char x) { return x != '"' && !IsLineEnd(x); });
        if (At(pos_) == '"') ++pos_;
        return Kind::String;
      case '#':
        ++pos_;
        Skip(IsIdentChar);
        return Kind::Label;
      default:
        ++pos_;
        return kSingleSymbols.find(c) != std::string_view::npos ? Kind::Symbol : Kind::InvalidChars;
    }
  }

  std::string_view line_;
  std::size_t pos_ = 0;
};

}  // namespace

TBasicTokenKind ClassifyBasicWord(std::string_view Word) { return WordTable().Classify(Word); }

TTokenizedLine TokenizeBasic(std::string_view Line, int /*Range*/) { return TScanner(Line).Run(); }

std::string_view BasicSampleSource() {
  return "' Beispielprogramm\n"
         "DEFINE Zaehler BYTE\n"
         "DEFINE Ausgang PORT[1]\n"
         "BAUD R9600\n"
         "#Start\n"
         "Zaehler = Zaehler + &H0F\n"
         "PRINT \"Wert: \"; Zaehler\n"
         "IF Zaehler > 100 THEN Ausgang = ON ELSE Ausgang = OFF\n"
         "PAUSE 10 : GOTO #Start  ' weiter\n"
         "x! = 1\n";
}

}  // namespace vexa::ide
