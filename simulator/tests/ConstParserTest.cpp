// The constant-expression evaluator behind setValueAsText.
#include <gtest/gtest.h>

#include "ConstParser.h"

namespace vexa::vx2sim {
namespace {

TEST(SimConstParser, EvaluatesLiteralsAndOperators) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"42", 42},         {"007", 7},
      {"0x1F", 31},       {"0XfF", 255},
      {"0b1010", 10},     {"1.25", 1.25},
      {"3.", 3},          {"'A'", 65},
      {"'\\n'", 10},      {"'\\x41'", 65},
      {"'\\65'", 65},     {"'\\\\'", 92},
      {"'\\T'", 9},       {"'\\''", 39},
      {"'\\xFF'", -1},    {"1 + 2 * 3", 7},
      {"(1 + 2) * 3", 9}, {"7 / 2", 3},
      {"-7 / 2", -3},     {"7.0 / 2", 3.5},
      {"1 / 2.0", 0},     {"7 % 3", 1},
      {"-7 % 3", -1},     {"7.5 % 2", 1},
      {"1 << 3", 8},      {"-16 >> 2", -4},
      {"1 << 33", 2},     {"6 & 3", 2},
      {"6 | 3", 7},       {"6 ^ 3", 5},
      {"6 !& 3", -3},     {"6 !| 3", -8},
      {"~0", -1},         {"!5", -6},
      {"~0.0", -1},       {"~2.5", 0},
      {"2.5 & 1", 1},     {"0.0 | 0", 0},
      {"3 > 2", -1},      {"3 < 2", 0},
      {"2 >= 2.0", -1},   {"1 != 1", 0},
      {"1 == 1.0", -1},   {"1 < 2 < 3", -1},
      {"3 > 2 > 1", 0},   {"2147483647 + 1", -2147483648.0},
      {"+-+4", -4},       {"1 2", 1},
      {"  9  ", 9},       {"1.5 * 2", 3},
      {"0x10 + 1", 17},
  };
  for (const Case& c : cases) {
    const auto v = ConstParser::evaluate(c.text);
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
}

TEST(SimConstParser, RejectsWhatItCannotRead) {
  const char* cases[] = {
      "",
      "   ",
      "x",
      "1 = 1",
      "\t1",
      "1 +",
      "(1",
      "(1 + 2",
      ")",
      "*2",
      "'a",
      "'ab'",
      "'\\q'",
      "0x",
      "0b2",
      "1 / 0",
      "1 % 0",
      "1.5 % 0",
      "'",
      // more than 32 tokens
      "1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1",
      // more than 15 values pending
      "1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+1)))))))))))))))",
  };
  for (const char* text : cases) EXPECT_FALSE(ConstParser::evaluate(text).has_value()) << text;
  EXPECT_TRUE(ConstParser::evaluate("1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1").has_value());
}

}  // namespace
}  // namespace vexa::vx2sim
