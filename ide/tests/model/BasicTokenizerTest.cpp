#include "model/text/BasicTokenizer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using K = TBasicTokenKind;
using Pieces = std::vector<std::pair<K, std::string>>;

struct Case {
  std::string line;
  Pieces expected;
};

// The tokens as (kind, text), checked to cover the line without gap or overlap.
Pieces Split(const std::string& line) {
  const TTokenizedLine tokens = TokenizeBasic(line);
  EXPECT_EQ(tokens.EndRange, 0) << line;
  Pieces result;
  int next = 0;
  for (const TToken& t : tokens.Tokens) {
    EXPECT_EQ(t.Start, next) << line;
    EXPECT_GT(t.Length, 0) << line;
    result.emplace_back(K(t.Kind), line.substr(std::size_t(t.Start), std::size_t(t.Length)));
    next = t.Start + t.Length;
  }
  EXPECT_EQ(next, int(line.size())) << line;
  return result;
}

void CheckCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Split(c.line), c.expected) << '"' << c.line << '"';
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(BasicTokenizer, WordListsMatchInAnyCase) {
  struct List {
    const char* words;
    K kind;
    int count;
  } const lists[] = {
      {"ON OFF R1200 R2400 R4800 R9600 SELF", K::Constant, 7},
      {"DEFINE BIT BYTE WORD PORT BYTEPORT WORDPORT AD DA YEAR MONTH DAY DOW HOUR MINUTE SECOND "
       "TIMER FREQ FREQ1 FREQ2 MOD SQR ABS SIG MAX MIN NOT AND NAND OR NOR XOR SHL SHR RANDOMIZE "
       "RAND GOTO GOSUB RETURN FOR TO STEP NEXT IF THEN ELSE TABLE TABEND LOOKTAB SYSCODE SYSEND "
       "SYS GET PUT PRINT INPUT BAUD RXD OPEN# READ WRITE APPEND PRINT# INPUT# CLOSE# EOF "
       "FILEFREE PAUSE WAIT SLOWMODE TOG PULSE DEACT BEEP END NETWORK MAILSLOT INITMODEM SENDMAIL "
       "GETMAIL AT",
       K::Keyword, 81},
  };
  for (const List& list : lists) {
    std::istringstream words(list.words);
    int count = 0;
    for (std::string word; words >> word; ++count) {
      EXPECT_EQ(ClassifyBasicWord(word), list.kind) << word;
      EXPECT_EQ(ClassifyBasicWord(Lower(word)), list.kind) << word;
    }
    EXPECT_EQ(count, list.count);
  }

  CheckCases({
      {"print", {{K::Keyword, "print"}}},
      {"Print", {{K::Keyword, "Print"}}},
      {"PRINT", {{K::Keyword, "PRINT"}}},
      {"PRINT#", {{K::Keyword, "PRINT#"}}},
      // The digit belongs to the word, which is then no keyword.
      {"print#1", {{K::Identifier, "print#1"}}},
      {"print #1", {{K::Keyword, "print"}, {K::Whitespace, " "}, {K::Label, "#1"}}},
      {"R9600", {{K::Constant, "R9600"}}},
      {"r9600", {{K::Constant, "r9600"}}},
      {"R9601", {{K::Identifier, "R9601"}}},
      {"PRINTS _AT AT_",
       {{K::Identifier, "PRINTS"},
        {K::Whitespace, " "},
        {K::Identifier, "_AT"},
        {K::Whitespace, " "},
        {K::Identifier, "AT_"}}},
      {"x!", {{K::Identifier, "x"}, {K::InvalidChars, "!"}}},
  });
}

TEST(BasicTokenizer, DecimalHexadecimalAndBinaryNumbers) {
  CheckCases({
      {"123", {{K::Number, "123"}}},
      {"12abc", {{K::Number, "12"}, {K::Identifier, "abc"}}},
      {"1.5", {{K::Number, "1"}, {K::Symbol, "."}, {K::Number, "5"}}},
      {"&HFF", {{K::Number, "&HFF"}}},
      {"&h1a9", {{K::Number, "&h1a9"}}},
      {"&b101", {{K::Number, "&b101"}}},
      {"&B12", {{K::Number, "&B1"}, {K::Number, "2"}}},
      {"&HFG", {{K::Number, "&HF"}, {K::Identifier, "G"}}},
      // The letter alone still makes a number.
      {"&H", {{K::Number, "&H"}}},
      {"&b x", {{K::Number, "&b"}, {K::Whitespace, " "}, {K::Identifier, "x"}}},
      {"&X", {{K::Symbol, "&"}, {K::Identifier, "X"}}},
      {"& 1", {{K::Symbol, "&"}, {K::Whitespace, " "}, {K::Number, "1"}}},
  });
}

TEST(BasicTokenizer, LabelsCommentsAndStrings) {
  CheckCases({
      {"#Start", {{K::Label, "#Start"}}},
      {"#", {{K::Label, "#"}}},
      {"#1a#", {{K::Label, "#1a#"}}},
      {"GOTO #Loop", {{K::Keyword, "GOTO"}, {K::Whitespace, " "}, {K::Label, "#Loop"}}},
      {"' note", {{K::Comment, "' note"}}},
      {"x = 1 ' \"q\" 'r\r\n",
       {{K::Identifier, "x"},
        {K::Whitespace, " "},
        {K::Symbol, "="},
        {K::Whitespace, " "},
        {K::Number, "1"},
        {K::Whitespace, " "},
        {K::Comment, "' \"q\" 'r"},
        {K::Whitespace, "\r\n"}}},
      {"\"it's\" x", {{K::String, "\"it's\""}, {K::Whitespace, " "}, {K::Identifier, "x"}}},
      {"\"\"", {{K::String, "\"\""}}},
      // Unclosed: a string to the end of the line's text.
      {"\"open 'x", {{K::String, "\"open 'x"}}},
      {"\"open\r\n", {{K::String, "\"open"}, {K::Whitespace, "\r\n"}}},
  });
}

TEST(BasicTokenizer, SymbolsInvalidCharactersAndWhitespace) {
  const std::string symbols = "$%()*+,-./:;<=>@[]";
  Pieces expected;
  for (char c : symbols) expected.emplace_back(K::Symbol, std::string(1, c));
  const std::string invalid = "!?\\^`{|}~\x7F\xC3";
  Pieces expectedInvalid;
  for (char c : invalid) expectedInvalid.emplace_back(K::InvalidChars, std::string(1, c));
  CheckCases({
      {symbols, expected},
      {invalid, expectedInvalid},
      // Line ends are whitespace like any other control character.
      {"a \t\r\n", {{K::Identifier, "a"}, {K::Whitespace, " \t\r\n"}}},
      {"\x01\x1F", {{K::Whitespace, "\x01\x1F"}}},
      {std::string("a\0b", 3),
       {{K::Identifier, "a"}, {K::InvalidChars, std::string(1, '\0')}, {K::Identifier, "b"}}},
  });
}

TEST(BasicTokenizer, SampleSourceShowsEveryKind) {
  std::set<int> kinds;
  int range = 0;
  std::istringstream sample{std::string(BasicSampleSource())};
  for (std::string line; std::getline(sample, line);) {
    const TTokenizedLine tokens = TokenizeBasic(line, range);
    for (const TToken& t : tokens.Tokens) kinds.insert(t.Kind);
    range = tokens.EndRange;
  }
  EXPECT_EQ(int(kinds.size()), kBasicTokenKindCount);
}

}  // namespace
}  // namespace vexa::ide
