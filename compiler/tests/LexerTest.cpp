#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CompilerTexts.h"
#include "KeywordTable.h"
#include "Lexer.h"
#include "Token.h"

namespace vexa::vx2 {
namespace {

struct Tok {
  int type;
  std::string value;  // integer, float or text value as text; empty when none
  bool operator==(const Tok&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Tok& t) {
  return out << "{" << t.type << "," << t.value << "}";
}

std::vector<Tok> scan(std::string_view source) {
  static const KeywordTable keywords;
  TokenList list;
  Lexer(keywords).scan(source, list);
  std::vector<Tok> out;
  for (size_t i = 0; i < list.size(); ++i) {
    const auto& item = list.at(i);
    std::string value;
    switch (item.type) {
      case TOKEN_INTEGER:
      case TOKEN_CHAR: value = std::to_string(item.value); break;
      case TOKEN_FLOAT: {
        char buf[64];
        snprintf(buf, sizeof buf, "%.17g", list.doubleAt(item.value));
        value = buf;
        break;
      }
      case TOKEN_STRING:
      case TOKEN_IDENTIFIER:
      case TOKEN_INVALID: value = list.textAt(item.value); break;
      default: break;
    }
    out.push_back({item.type, value});
  }
  return out;
}

TEST(KeywordTable, EveryKeywordSitsInItsBucket) {
  const std::vector<std::pair<std::string, int>> buckets = {
      {"not", 66},     {"and", 241},      {"nand", 56},     {"or", 190},     {"nor", 114},
      {"xor", 94},     {"shl", 40},       {"shr", 88},      {"inline", 182}, {"module", 23},
      {"thread", 121}, {"function", 216}, {"returns", 57},  {"return", 140}, {"const", 240},
      {"byte", 197},   {"int", 76},       {"long", 68},     {"float", 261},  {"string", 226},
      {"type", 193},   {"run", 215},      {"halt", 105},    {"resume", 137}, {"sleep", 111},
      {"wait", 87},    {"capture", 201},  {"release", 220}, {"reset", 89},   {"yield", 53},
      {"quit", 163},   {"if", 122},       {"else", 18},     {"loop", 129},   {"for", 98},
      {"while", 141},  {"do", 156},       {"step", 131},    {"break", 176},  {"continue", 267}};
  KeywordTable table;
  ASSERT_EQ(buckets.size(), 40u);
  for (size_t i = 0; i < buckets.size(); ++i) {
    int type = 30 + static_cast<int>(i);
    EXPECT_EQ(tokenSpelling(type), buckets[i].first);
    EXPECT_EQ(keywordHash(buckets[i].first), buckets[i].second) << buckets[i].first;
    EXPECT_EQ(table.bucketOf(type), buckets[i].second) << buckets[i].first;
    EXPECT_EQ(table.lookup(buckets[i].first), type);
  }
  EXPECT_EQ(table.longest(), 8u);
}

TEST(KeywordTable, CaseAndUnknownWordsAreIdentifiers) {
  KeywordTable table;
  for (const char* word : {"IF", "Mod", "mod", "If", "continues", "functional", "x", "main"})
    EXPECT_EQ(table.lookup(word), TOKEN_IDENTIFIER) << word;
  EXPECT_EQ(table.lookup("if"), 61);
}

TEST(CompilerTexts, MessagesAndSpellingsWordForWord) {
  const std::vector<std::string> texts = {"V2 ver. ",
                                          "compiling...",
                                          "...ready",
                                          "error(s)",
                                          "or",
                                          "invalid symbol",
                                          "expected",
                                          "unexpected",
                                          "unknown",
                                          "end of line",
                                          "end of file",
                                          "keyword",
                                          "integer constant",
                                          "float constant",
                                          "constant char",
                                          "constant string",
                                          "identifier",
                                          "identifier of a thread",
                                          "identifier of a function",
                                          "identifier of a type",
                                          "identifier of a constant",
                                          "identifier of a variable",
                                          "multiple declaration of",
                                          "simple type",
                                          "type mismatch",
                                          "constant expression",
                                          "recursive type",
                                          "division by zero in constant expression",
                                          "array too big",
                                          "no main thread found",
                                          "too many threads",
                                          "too much constant data",
                                          "too much variable data",
                                          "program too big",
                                          "fatal error, cannot create VMC",
                                          "compilation ready, VMC available"};
  ASSERT_EQ(texts.size(), 36u);
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(compilerText(static_cast<int>(i)), texts[i]) << i;
  const std::vector<std::pair<int, std::string>> spellings = {{0, "keyword"},
                                                              {1, ""},
                                                              {2, ""},
                                                              {3, "end of line"},
                                                              {4, "end of file"},
                                                              {5, "{"},
                                                              {11, ";"},
                                                              {12, ":"},
                                                              {14, "..."},
                                                              {16, "?"},
                                                              {19, "!="},
                                                              {27, "/"},
                                                              {28, ""},
                                                              {29, "mod"},
                                                              {36, "shl"},
                                                              {69, "continue"},
                                                              {70, ""},
                                                              {71, "integer constant"},
                                                              {72, "float constant"},
                                                              {73, "constant char"},
                                                              {74, "constant string"},
                                                              {75, "identifier"}};
  for (const auto& [type, text] : spellings) EXPECT_EQ(tokenSpelling(type), text) << type;
  EXPECT_EQ(composeExpected(TOKEN_SEMICOLON), "; expected");
  EXPECT_EQ(composeUnexpected(TOKEN_END), "unexpected end of file");
  EXPECT_EQ(composeUnknownIdentifier("x"), "unknown identifier \"x\"");
  EXPECT_EQ(composeKindExpected(6), "identifier of a variable expected");
  EXPECT_EQ(composeKindExpected(7), "identifier of a constant expected");
  EXPECT_EQ(composeMessageLine("M", 7, "type mismatch"), "M (7) : type mismatch\n");
}

struct ScanCase {
  const char* source;
  std::vector<Tok> tokens;  // without the final end token
};

class ScannerTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScannerTable, GivesTheTokens) {
  auto tokens = scan(GetParam().source);
  ASSERT_FALSE(tokens.empty());
  EXPECT_EQ(tokens.back(), (Tok{TOKEN_END, ""}));
  tokens.pop_back();
  EXPECT_EQ(tokens, GetParam().tokens) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, ScannerTable,
    ::testing::Values(
        ScanCase{"a<<b", {{75, "a"}, {36, ""}, {75, "b"}}},
        ScanCase{"a!b", {{75, "a"}, {30, ""}, {75, "b"}}},
        ScanCase{"a!=b", {{75, "a"}, {19, ""}, {75, "b"}}},
        ScanCase{"!& !| ~ ^ | & % >= >> > <= < == =",
                 {{32, ""},
                  {34, ""},
                  {30, ""},
                  {35, ""},
                  {33, ""},
                  {31, ""},
                  {28, ""},
                  {22, ""},
                  {37, ""},
                  {20, ""},
                  {23, ""},
                  {21, ""},
                  {18, ""},
                  {17, ""}}},
        ScanCase{"0x1F 0b101 012 0X 4294967297",
                 {{71, "31"}, {71, "5"}, {71, "12"}, {71, "0"}, {71, "1"}}},
        ScanCase{"3.25 1. 0...9", {{72, "3.25"}, {72, "1"}, {71, "0"}, {14, ""}, {71, "9"}}},
        ScanCase{"1..", {{72, "1"}, {13, ""}}},
        ScanCase{". .. ...", {{13, ""}, {13, ""}, {13, ""}, {14, ""}}},
        ScanCase{"\"ab\" \n \"cd\"", {{3, ""}, {74, "abcd"}}},
        ScanCase{"\"ab\nx", {{2, ""}, {74, "ab"}, {3, ""}, {75, "x"}}},
        ScanCase{"\"ab\r\nx", {{2, ""}, {74, "ab"}, {3, ""}, {75, "x"}}}, ScanCase{"\"open", {}},
        ScanCase{"\"\\x41\\66\\q\\Q\\N\"", {{74, "ABqQ\n"}}},
        ScanCase{"'\\n' '\\x41' 'a'", {{73, "10"}, {73, "65"}, {73, "97"}}},
        ScanCase{"'ab'", {{75, "b"}}},
        ScanCase{"'\nx '\rx", {{3, ""}, {75, "x"}, {3, ""}, {75, "x"}}},
        ScanCase{"'\\65\nx", {{71, "65"}, {3, ""}, {75, "x"}}},
        ScanCase{"'\\65\n'", {{3, ""}, {73, "65"}}},
        ScanCase{"/* a\n b\n c */x", {{3, ""}, {3, ""}, {75, "x"}}},
        ScanCase{"a // c\nb / c", {{75, "a"}, {3, ""}, {75, "b"}, {27, ""}, {75, "c"}}},
        ScanCase{"a\xE4"
                 "b",
                 {{75, "a"}, {75, "b"}}},
        ScanCase{"a\rb\r\nc\n\rd",
                 {{75, "a"}, {3, ""}, {75, "b"}, {3, ""}, {75, "c"}, {3, ""}, {3, ""}, {75, "d"}}},
        ScanCase{"a : b ? #", {{75, "a"}, {1, ":"}, {75, "b"}, {1, "?"}, {1, "#"}}},
        ScanCase{"if IF _x1 mod", {{61, ""}, {75, "IF"}, {75, "_x1"}, {75, "mod"}}}),
    [](const ::testing::TestParamInfo<ScanCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(Lexer, UnreadableOrEmptyInputGivesOnlyTheEndToken) {
  EXPECT_EQ(scan(""), (std::vector<Tok>{{TOKEN_END, ""}}));
}

TEST(Lexer, ValidIdentifierTexts) {
  KeywordTable table;
  for (const char* ok : {"motor", "  motor  ", "motor // note", "_a1"})
    EXPECT_TRUE(isValidIdentifierText(table, ok)) << ok;
  for (const char* bad : {"", "a b", "1abc", "a.b", "if", "motor\n", "a;"})
    EXPECT_FALSE(isValidIdentifierText(table, bad)) << bad;
}

}  // namespace
}  // namespace vexa::vx2
