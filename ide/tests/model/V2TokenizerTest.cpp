#include "model/text/V2Tokenizer.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using K = TV2TokenKind;
using Pieces = std::vector<std::pair<K, std::string>>;

struct Case {
  std::string line;
  Pieces expected;
  int range = V2RangeNormal;
  int endRange = V2RangeNormal;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << '"' << c.line << "\" from range " << c.range;
}

// The tokens as (kind, text), checked to cover the line without gap or overlap.
Pieces Split(const std::string& line, int range, int* endRange) {
  const TTokenizedLine tokens = TokenizeV2(line, range);
  Pieces result;
  int next = 0;
  for (const TToken& t : tokens.Tokens) {
    EXPECT_EQ(t.Start, next) << line;
    EXPECT_GT(t.Length, 0) << line;
    result.emplace_back(K(t.Kind), line.substr(std::size_t(t.Start), std::size_t(t.Length)));
    next = t.Start + t.Length;
  }
  EXPECT_EQ(next, int(line.size())) << line;
  *endRange = tokens.EndRange;
  return result;
}

void CheckCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    int endRange = -1;
    EXPECT_EQ(Split(c.line, c.range, &endRange), c.expected) << c;
    EXPECT_EQ(endRange, c.endRange) << c;
  }
}

TEST(V2Tokenizer, KeywordsMatchOnlyInLowerCase) {
  const std::string listed =
      "and break byte capture const continue do else float for function halt if inline int "
      "long loop nand nor not or quit release reset resume return returns run shl shr sleep "
      "step string thread type wait while xor yield";
  std::istringstream words(listed);
  int count = 0;
  for (std::string word; words >> word; ++count) {
    EXPECT_TRUE(IsV2Keyword(word)) << word;
    std::string upper = word;
    for (char& ch : upper) ch = char(ch - 'a' + 'A');
    EXPECT_FALSE(IsV2Keyword(upper)) << upper;
  }
  EXPECT_EQ(count, 39);

  CheckCases({
      {"while", {{K::Keyword, "while"}}},
      {"While", {{K::Identifier, "While"}}},
      {"WHILE", {{K::Identifier, "WHILE"}}},
      {"whiles retur", {{K::Identifier, "whiles"}, {K::Whitespace, " "}, {K::Identifier, "retur"}}},
      {"_int int2 x_1",
       {{K::Identifier, "_int"},
        {K::Whitespace, " "},
        {K::Identifier, "int2"},
        {K::Whitespace, " "},
        {K::Identifier, "x_1"}}},
      {"returns;", {{K::Keyword, "returns"}, {K::Symbol, ";"}}},
  });
}

TEST(V2Tokenizer, NumbersInEveryBase) {
  CheckCases({
      {"0x1F", {{K::Number, "0x1F"}}},
      {"0XaBc9", {{K::Number, "0XaBc9"}}},
      {"0b101", {{K::Number, "0b101"}}},
      {"0B1", {{K::Number, "0B1"}}},
      {"007", {{K::Number, "007"}}},
      {"3.14", {{K::Number, "3.14"}}},
      {"1.2.3", {{K::Number, "1.2.3"}}},
      // Any invalid character spoils the whole number.
      {"0b102", {{K::InvalidChars, "0b102"}}},
      {"0b1c", {{K::InvalidChars, "0b1c"}}},
      {"12abc", {{K::InvalidChars, "12abc"}}},
      {"1e5", {{K::InvalidChars, "1e5"}}},
      {"12_", {{K::InvalidChars, "12_"}}},
      {"0xFG", {{K::InvalidChars, "0xFG"}}},
      {"0x1.5", {{K::InvalidChars, "0x1.5"}}},
      {"0b1.0", {{K::InvalidChars, "0b1.0"}}},
      // A range: the number ends before the first of two dots.
      {"1..5", {{K::Number, "1"}, {K::Symbol, "."}, {K::Symbol, "."}, {K::Number, "5"}}},
      {"1.5..7", {{K::Number, "1.5"}, {K::Symbol, "."}, {K::Symbol, "."}, {K::Number, "7"}}},
      {"5+x", {{K::Number, "5"}, {K::Symbol, "+"}, {K::Identifier, "x"}}},
  });
}

TEST(V2Tokenizer, StringsAndCharacterLiterals) {
  CheckCases({
      {R"("abc")", {{K::String, R"("abc")"}}},
      {R"("a\"b" x)", {{K::String, R"("a\"b")"}, {K::Whitespace, " "}, {K::Identifier, "x"}}},
      {R"("\x41g")", {{K::String, R"("\x41g")"}}},
      {R"("")", {{K::String, R"("")"}}},
      // Unclosed: invalid up to the line end, which stays whitespace.
      {R"("open)", {{K::InvalidChars, R"("open)"}}},
      {"\"open\r\n", {{K::InvalidChars, "\"open"}, {K::Whitespace, "\r\n"}}},
      {R"("ab\)", {{K::InvalidChars, R"("ab\)"}}},
      {R"('a')", {{K::String, R"('a')"}}},
      {R"('\x41')", {{K::String, R"('\x41')"}}},
      {R"('\'')", {{K::String, R"('\'')"}}},
      {R"('"')", {{K::String, R"('"')"}}},
      {R"('ab' x)", {{K::InvalidChars, R"('ab' x)"}}},
      {"'a\n", {{K::InvalidChars, "'a"}, {K::Whitespace, "\n"}}},
      {"'", {{K::InvalidChars, "'"}}},
      {"'\r\n", {{K::InvalidChars, "'"}, {K::Whitespace, "\r\n"}}},
      {R"('\)", {{K::InvalidChars, R"('\)"}}},
  });
}

TEST(V2Tokenizer, LineAndBlockComments) {
  CheckCases({
      {"// c */ x", {{K::Comment, "// c */ x"}}},
      {"a // b\r\n",
       {{K::Identifier, "a"}, {K::Whitespace, " "}, {K::Comment, "// b"}, {K::Whitespace, "\r\n"}}},
      {"/* c */ x", {{K::Comment, "/* c */"}, {K::Whitespace, " "}, {K::Identifier, "x"}}},
      {"/**/x", {{K::Comment, "/**/"}, {K::Identifier, "x"}}},
      {"x /", {{K::Identifier, "x"}, {K::Whitespace, " "}, {K::Symbol, "/"}}},
      // Open at the line end: the next line starts in range 1.
      {"a /* open", {{K::Identifier, "a"}, {K::Whitespace, " "}, {K::Comment, "/* open"}}, 0, 1},
      {"/*/", {{K::Comment, "/*/"}}, 0, 1},
      {"/* open\r\n", {{K::Comment, "/* open"}, {K::Whitespace, "\r\n"}}, 0, 1},
      {"/* a */ /* b", {{K::Comment, "/* a */"}, {K::Whitespace, " "}, {K::Comment, "/* b"}}, 0, 1},
      // Continued from the line before.
      {" still */ y",
       {{K::Comment, " still */"}, {K::Whitespace, " "}, {K::Identifier, "y"}},
       1,
       0},
      {"*/", {{K::Comment, "*/"}}, 1, 0},
      {"no end", {{K::Comment, "no end"}}, 1, 1},
      {"while 1 // x\n", {{K::Comment, "while 1 // x"}, {K::Whitespace, "\n"}}, 1, 1},
      {"", {}, 1, 1},
      {"\r\n", {{K::Whitespace, "\r\n"}}, 1, 1},
      {"a */ /* b", {{K::Comment, "a */"}, {K::Whitespace, " "}, {K::Comment, "/* b"}}, 1, 1},
  });
}

TEST(V2Tokenizer, BlockCommentCarriesAcrossLines) {
  const std::vector<std::string> lines = {"int a; /* first\n", "second\n", "\n",
                                          "third */ int b;\n", "c"};
  const std::vector<Pieces> expected = {
      {{K::Keyword, "int"},
       {K::Whitespace, " "},
       {K::Identifier, "a"},
       {K::Symbol, ";"},
       {K::Whitespace, " "},
       {K::Comment, "/* first"},
       {K::Whitespace, "\n"}},
      {{K::Comment, "second"}, {K::Whitespace, "\n"}},
      {{K::Whitespace, "\n"}},
      {{K::Comment, "third */"},
       {K::Whitespace, " "},
       {K::Keyword, "int"},
       {K::Whitespace, " "},
       {K::Identifier, "b"},
       {K::Symbol, ";"},
       {K::Whitespace, "\n"}},
      {{K::Identifier, "c"}},
  };
  int range = V2RangeNormal;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int endRange = -1;
    EXPECT_EQ(Split(lines[i], range, &endRange), expected[i]) << "line " << i + 1;
    range = endRange;
  }
  EXPECT_EQ(range, V2RangeNormal);
}

TEST(V2Tokenizer, SymbolsAndOperatorPairs) {
  CheckCases({
      {"!&", {{K::Symbol, "!&"}}},
      {"!=", {{K::Symbol, "!="}}},
      {"!|", {{K::Symbol, "!|"}}},
      {"!x", {{K::Symbol, "!"}, {K::Identifier, "x"}}},
      {"==", {{K::Symbol, "=="}}},
      {"= =", {{K::Symbol, "="}, {K::Whitespace, " "}, {K::Symbol, "="}}},
      {"<=", {{K::Symbol, "<="}}},
      {">=", {{K::Symbol, ">="}}},
      {"<<", {{K::Symbol, "<<"}}},
      {">>", {{K::Symbol, ">>"}}},
      {"<>", {{K::Symbol, "<"}, {K::Symbol, ">"}}},
      {"===", {{K::Symbol, "=="}, {K::Symbol, "="}}},
      {"&&", {{K::Symbol, "&"}, {K::Symbol, "&"}}},
  });
  const std::string singles = "%&()*+,-.:;?[]^{|}~";
  Pieces expected;
  for (char c : singles) expected.emplace_back(K::Symbol, std::string(1, c));
  CheckCases({{singles, expected}});
}

TEST(V2Tokenizer, InvalidCharactersAndWhitespace) {
  CheckCases({
      {"#$@\\`",
       {{K::InvalidChars, "#"},
        {K::InvalidChars, "$"},
        {K::InvalidChars, "@"},
        {K::InvalidChars, "\\"},
        {K::InvalidChars, "`"}}},
      {"\x7F", {{K::InvalidChars, "\x7F"}}},
      {"x\xC3\xB6", {{K::Identifier, "x"}, {K::InvalidChars, "\xC3"}, {K::InvalidChars, "\xB6"}}},
      {std::string("a\0b", 3),
       {{K::Identifier, "a"}, {K::InvalidChars, std::string(1, '\0')}, {K::Identifier, "b"}}},
      {"\t  x", {{K::Whitespace, "\t  "}, {K::Identifier, "x"}}},
      {"a\x01\x1F"
       "b",
       {{K::Identifier, "a"}, {K::Whitespace, "\x01\x1F"}, {K::Identifier, "b"}}},
      // Line ends are tokens of their own: CR LF one, a lone CR one.
      {"x \r\n", {{K::Identifier, "x"}, {K::Whitespace, " "}, {K::Whitespace, "\r\n"}}},
      {"\r\r\n", {{K::Whitespace, "\r"}, {K::Whitespace, "\r\n"}}},
      {"\n\n", {{K::Whitespace, "\n"}, {K::Whitespace, "\n"}}},
  });
}

TEST(V2Tokenizer, SampleSourceShowsEveryKind) {
  std::set<int> kinds;
  int range = 0;
  std::istringstream sample{std::string(V2SampleSource())};
  for (std::string line; std::getline(sample, line);) {
    const TTokenizedLine tokens = TokenizeV2(line, range);
    for (const TToken& t : tokens.Tokens) kinds.insert(t.Kind);
    range = tokens.EndRange;
  }
  EXPECT_EQ(int(kinds.size()), kV2TokenKindCount);
}

}  // namespace
}  // namespace vexa::ide
