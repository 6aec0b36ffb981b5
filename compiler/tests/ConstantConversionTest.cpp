// Constants that the compiler truncates to integers: array dimensions and inline code words.
#include "CompilerFixture.h"

namespace {

struct DimensionCase {
  const char* dimension;
  const char* messages;
};

class Dimensions : public CompilerFixture, public ::testing::WithParamInterface<DimensionCase> {};

// A dimension beyond 32 bits must not wrap to a small one.
TEST_P(Dimensions, BeyondThirtyTwoBitsAreTooBig) {
  int m = add("M", std::string("byte a[") + GetParam().dimension + "];\nint b;\n");
  compileModule(project, m);
  EXPECT_EQ(messages(), GetParam().messages) << GetParam().dimension;
}

INSTANTIATE_TEST_SUITE_P(
    Parser, Dimensions,
    ::testing::Values(
        DimensionCase{"3.9", "M : OK\n"}, DimensionCase{"65535.5", "M : OK\n"},
        DimensionCase{"65536", "M (1) : array too big\n"},
        DimensionCase{"-1", "M (1) : array too big\n"},
        DimensionCase{"65536 * 65536 + 5", "M (1) : array too big\n"},
        DimensionCase{"-65536.0 * 65536 * 65536 * 32768", "M (1) : array too big\n"},
        DimensionCase{"100000.0 * 100000.0 * 100000.0 * 100000.0", "M (1) : array too big\n"},
        DimensionCase{"-100000.0 * 100000.0 * 100000.0 * 100000.0", "M (1) : array too big\n"}),
    [](const ::testing::TestParamInfo<DimensionCase>& info) {
      return "Case" + std::to_string(info.index);
    });

using InlineWords = CompilerFixture;

// An inline word keeps the low 16 bits of the machine's conversion: beyond the 64-bit range
// that is the indefinite integer, whose low bits are 0.
TEST_F(InlineWords, TruncateAsTheMachineConverts) {
  const std::vector<uint16_t> code = codeOf(
      "thread main {\n inline 70000.7;\n inline -1.9;\n inline 65536.0 * 65536.0 * 65536.0 * "
      "32767.0;\n"
      " inline 65536.0 * 65536.0 * 65536.0 * 32768.0;\n inline 100000.0 * 100000.0 * 100000.0 * "
      "100000.0;\n}\n");
  ASSERT_GE(code.size(), 5u);
  EXPECT_EQ(std::vector<uint16_t>(code.begin(), code.begin() + 5),
            (std::vector<uint16_t>{4464, 0xFFFF, 0, 0, 0}));
}

}  // namespace
