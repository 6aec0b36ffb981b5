#include <cstring>

#include "CompilerFixture.h"
#include "vexa/isa_testing.h"

namespace {

using vexa::isa::testing::sameCode;

// A statement in the main thread, with the globals it uses, and the code it must give
// (the thread's closing jump left out).
struct WordsCase {
  const char* name;
  const char* globals;
  const char* body;
  std::vector<std::string_view> code;
};

void PrintTo(const WordsCase& c, std::ostream* os) { *os << c.globals << " | " << c.body; }

class GeneratedWords : public CompilerFixture, public ::testing::WithParamInterface<WordsCase> {};

TEST_P(GeneratedWords, MatchTheInstructionTable) {
  const WordsCase& c = GetParam();
  auto code = codeOf(std::string(c.globals) + "\nthread main {\n" + c.body + "\n}\n");
  ASSERT_GE(code.size(), 2u) << messages();
  code.resize(code.size() - 2);
  EXPECT_TRUE(sameCode(code, c.code)) << c.globals << " | " << c.body;
}

INSTANTIATE_TEST_SUITE_P(
    Operators, GeneratedWords,
    ::testing::Values(
        WordsCase{
            "IntAssignSmallConstant", "int x;", "x = 200;", {"PushByte 200", "StoreInt [0014]"}},
        WordsCase{
            "IntAssignWordConstant", "int x;", "x = 1000;", {"PushInt 1000", "StoreInt [0014]"}},
        WordsCase{"LongAssignConstantFromImage",
                  "long x;",
                  "x = 100000;",
                  {"PushConstLong const 5", "StoreLong [0014]"}},
        WordsCase{"ByteAssignConstant", "byte b;", "b = 7;", {"PushByte 7", "StoreByte [0014]"}},
        WordsCase{
            "IntAssignNegativeConstant", "int i;", "i = -5;", {"PushInt -5", "StoreInt [0014]"}},
        WordsCase{"FloatAssignConstantFromImage",
                  "float f;",
                  "f = 2.5;",
                  {"PushConstFloat const 5", "StoreFloat [0014]"}},
        WordsCase{"IntAssignFoldedLongConstant",
                  "int i;",
                  "i = 70000 / 2;",
                  {"PushConstLong const 5", "LongToInt", "StoreInt [0014]"}},
        WordsCase{"FloatAssignIntPlusFloat",
                  "int a; float b;",
                  "b = a + b;",
                  {"LoadInt [0014]", "LoadFloat [0016]", "Add int16,float", "StoreFloat [0016]"}},
        WordsCase{
            "IntNegate", "int i;", "i = -i;", {"LoadInt [0014]", "NegInt", "StoreInt [0014]"}},
        WordsCase{"FloatNegate",
                  "float f;",
                  "f = -f;",
                  {"LoadFloat [0014]", "NegFloat", "StoreFloat [0014]"}},
        WordsCase{
            "LongNot", "long l;", "l = not l;", {"LoadLong [0014]", "NotLong", "StoreLong [0014]"}},
        WordsCase{"IntAssignNotFloat",
                  "float f; int i;",
                  "i = not f;",
                  {"LoadFloat [0014]", "NotFloat", "StoreInt [001C]"}},
        WordsCase{"IntAssignLong",
                  "int i; long l;",
                  "i = l;",
                  {"LoadLong [0016]", "LongToInt", "StoreInt [0014]"}},
        WordsCase{"FloatAssignInt",
                  "int i; float f;",
                  "f = i;",
                  {"LoadInt [0014]", "IntToFloat", "StoreFloat [0016]"}},
        WordsCase{"LongAssignFloat",
                  "float f; long l;",
                  "l = f;",
                  {"LoadFloat [0014]", "FloatToLong", "StoreLong [001C]"}},
        WordsCase{"FloatAssignLong",
                  "long l; float f;",
                  "f = l;",
                  {"LoadLong [0014]", "LongToFloat", "StoreFloat [0018]"}},
        WordsCase{"IntAssignFloat",
                  "float f; int i;",
                  "i = f;",
                  {"LoadFloat [0014]", "FloatToInt", "StoreInt [001C]"}},
        WordsCase{"IntLessThanConstant",
                  "int i;",
                  "i = i < 5;",
                  {"LoadInt [0014]", "PushByte 5", "Less int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntGreaterEqualConstant",
                  "int i;",
                  "i = i >= 5;",
                  {"LoadInt [0014]", "PushByte 5", "GreaterEqual int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntEqualConstant",
                  "int i;",
                  "i = i == 5;",
                  {"LoadInt [0014]", "PushByte 5", "Equal int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntNotEqualConstant",
                  "int i;",
                  "i = i != 5;",
                  {"LoadInt [0014]", "PushByte 5", "NotEqual int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntGreaterThanConstant",
                  "int i;",
                  "i = i > 5;",
                  {"LoadInt [0014]", "PushByte 5", "Greater int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntLessEqualConstant",
                  "int i;",
                  "i = i <= 5;",
                  {"LoadInt [0014]", "PushByte 5", "LessEqual int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntAndLong",
                  "int i; long l;",
                  "i = i and l;",
                  {"LoadInt [0014]", "LoadLong [0016]", "And int16,int32", "LongToInt",
                   "StoreInt [0014]"}},
        WordsCase{"FloatOrInt",
                  "int i; float f;",
                  "i = f or i;",
                  {"LoadFloat [0016]", "LoadInt [0014]", "Or float,int16", "StoreInt [0014]"}},
        WordsCase{"IntNandConstant",
                  "int i;",
                  "i = i nand 3;",
                  {"LoadInt [0014]", "PushByte 3", "Nand int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntNorConstant",
                  "int i;",
                  "i = i nor 3;",
                  {"LoadInt [0014]", "PushByte 3", "Nor int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntXorConstant",
                  "int i;",
                  "i = i xor 3;",
                  {"LoadInt [0014]", "PushByte 3", "Xor int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntShiftLeft",
                  "int i;",
                  "i = i shl 2;",
                  {"LoadInt [0014]", "PushByte 2", "Shl int16,int16", "StoreInt [0014]"}},
        WordsCase{"IntShiftRight",
                  "int i;",
                  "i = i shr 2;",
                  {"LoadInt [0014]", "PushByte 2", "Shr int16,int16", "StoreInt [0014]"}},
        WordsCase{"LongModConstant",
                  "long l;",
                  "l = l % 3;",
                  {"LoadLong [0014]", "PushByte 3", "Mod int32,int16", "StoreLong [0014]"}},
        WordsCase{"LongMinusOne",
                  "long l;",
                  "l = l - 1;",
                  {"LoadLong [0014]", "PushByte 1", "Sub int32,int16", "StoreLong [0014]"}},
        WordsCase{"FloatTimesFloat",
                  "float f;",
                  "f = f * f;",
                  {"LoadFloat [0014]", "LoadFloat [0014]", "Mul float,float", "StoreFloat [0014]"}},
        WordsCase{"LongDividedByFloat",
                  "long l; float f;",
                  "f = l / f;",
                  {"LoadLong [0014]", "LoadFloat [0018]", "Div int32,float", "StoreFloat [0018]"}},
        WordsCase{"FoldedConstantExpression",
                  "int i;",
                  "i = (1 + 2) * 3 - 2 * (4 - 1);",
                  {"PushByte 3", "StoreInt [0014]"}},
        WordsCase{"ConstantPlusProduct",
                  "int i;",
                  "i = 2 + i * 3;",
                  {"PushByte 2", "LoadInt [0014]", "PushByte 3", "Mul int16,int16",
                   "Add int16,int16", "StoreInt [0014]"}},
        WordsCase{"SubtractionsFromTheLeft",
                  "int i;",
                  "i = i - 1 - 2;",
                  {"LoadInt [0014]", "PushByte 1", "Sub int16,int16", "PushByte 2",
                   "Sub int16,int16", "StoreInt [0014]"}},
        // Locals of 5 bytes (c after the aligned int): the frame is rounded up to 6.
        WordsCase{"OddLocalsRoundTheFrameUp",
                  "",
                  "byte a; int b; byte c; a = 1;",
                  {"AdjustSp 6", "PushByte 1", "StoreLocalByte [frame+0]"}},
        // a[i].f: address of a, plus i times the size of T, plus the field's offset, loaded
        // indirectly.
        WordsCase{
            "FieldOfArrayElement",
            "type T { int x; long f; }\nT a[3]; int i; long r;",
            "r = a[i].f;",
            {"PushInt 20", "LoadInt [0026]", "PushByte 6", "Mul int16,int16", "Add int16,int16",
             "PushByte 2", "Add int16,int16", "LoadLongAt", "StoreLong [0028]"}}),
    [](const ::testing::TestParamInfo<WordsCase>& info) { return std::string(info.param.name); });

using Generator = CompilerFixture;

TEST_F(Generator, WholeProgramOfTheWorkedExample) {
  int m = add("M", "int g;\nthread main {\n g = g + 1;\n}\n");
  ASSERT_TRUE(build({m})) << messages();
  EXPECT_EQ(messages(), "compilation ready, VMC available\n");
  auto img = image();
  EXPECT_TRUE(sameCode(img.code, {"LoadInt [0014]", "PushByte 1", "Add int16,int16",
                                  "StoreInt [0014]", "Jump -8 -> 0000"}));
  EXPECT_EQ(std::vector<uint8_t>(img.constants.begin(), img.constants.begin() + 12),
            (std::vector<uint8_t>{1, 0, 0, 0, 22, 0, 22, 0, 32, 0, 255, 255}));
  EXPECT_EQ(getRequiredVMCBufferSize(project), 8u + 32 + 32);
}

TEST_F(Generator, ThreadFrameFunctionsAndCalls) {
  int m = add("M",
              "long t2;\n"
              "thread main {\n byte a; int b; long c;\n a = 1;\n}\n"
              "function f() { }\n"
              "function g(int x, float y) returns long { return x; }\n"
              "thread t { f(); t2 = g(1, 2); }\n");
  ASSERT_TRUE(build({m})) << messages();
  auto img = image();
  EXPECT_TRUE(
      sameCode(img.code, {// main: its frame; a = 1; jump back
                          "AdjustSp 8", "PushByte 1", "StoreLocalByte [frame+0]", "Jump -5 -> 0002",
                          // t: call f; g(1, 2.0); store t2; jump back
                          "Call 0012", "PushByte 1", "PushByte 2", "IntToFloat", "Call 0013",
                          "StoreLong [0028]", "Jump -11 -> 0007",
                          // f
                          "Return",
                          // g: load x (-10 - 4), to long, return it; then g's closing return of 0
                          "LoadLocalInt [frame-14]", "IntToLong", "ReturnValue int32 14",
                          "PushByte 0", "IntToLong", "ReturnValue int32 14"}));
  auto word = [&](int i) { return img.constants[2 * i] | img.constants[2 * i + 1] << 8; };
  // Thread table: two threads, contexts of 40 bytes, t2 at 40, main's stack at 44 with frame 8,
  // t's stack after main's 104 bytes.
  EXPECT_EQ(word(0), 2);
  EXPECT_EQ(std::vector<int>({word(1), word(2), word(3), word(4)}),
            std::vector<int>({0, 44, 52, 32}));
  EXPECT_EQ(std::vector<int>({word(5), word(6), word(7), word(8)}),
            std::vector<int>({7, 148, 148, 0}));
}

TEST_F(Generator, ConstantsOfEveryShape) {
  int m = add("M",
              "const B = 7; const I = 300; const L = 70000; const F = 0.5;\n"
              "const A[] = 1, 2, 3;\nconst S = \"abc\";\nconst T[] = \"x\", \"yz\";\n"
              "const Unused = 99;\n"
              "int i; float f; string s;\n"
              "thread main {\n i = B + I; i = A[2]; s = S + T[1]; f = L + F;\n}\n");
  ASSERT_TRUE(build({m})) << messages();
  auto img = image();
  auto word = [&](int i) { return img.constants[2 * i] | img.constants[2 * i + 1] << 8; };
  // Used constants in declaration order from word 5: B, I, L (2 words), F (4 words), A (3 words),
  // S (2 words), T (a table of 2 words, then "x" in 1 word and "yz" in 2 words).
  EXPECT_EQ(word(5), 7);
  EXPECT_EQ(word(6), 300);
  EXPECT_EQ(word(7) | word(8) << 16, 70000);
  double half;
  std::memcpy(&half, &img.constants[18], 8);
  EXPECT_EQ(half, 0.5);
  EXPECT_EQ(std::vector<int>({word(13), word(14), word(15)}), std::vector<int>({1, 2, 3}));
  EXPECT_EQ(std::string(img.constants.begin() + 32, img.constants.begin() + 36),
            "\x03"
            "abc");
  EXPECT_EQ(word(18), 20);
  EXPECT_EQ(word(19), 21);
  EXPECT_EQ(std::string(img.constants.begin() + 40, img.constants.begin() + 46),
            std::string("\x01x\x02yz\0", 6));
  // The folded 70000.5 is a new float constant after them.
  std::memcpy(&half, &img.constants[46], 8);
  EXPECT_EQ(half, 70000.5);
  ASSERT_GE(img.code.size(), 13u);
  EXPECT_TRUE(sameCode(std::span(img.code).first(13),
                       {"AdjustSp 32",                     // frame of the temporary string
                        "PushInt 307", "StoreInt [0014]",  // i = B + I, folded
                        "PushInt 13", "PushByte 2", "Add int16,int16", "PushConstIntAt",
                        "StoreInt [0014]"}));  // i = A[2]
}

}  // namespace
