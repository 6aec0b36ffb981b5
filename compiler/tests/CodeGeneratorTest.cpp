#include <cstring>

#include "CompilerFixture.h"

namespace {

// A statement in the main thread, with the globals it uses, and the words it must give
// (the thread's closing jump left out).
struct WordsCase {
  const char* globals;
  const char* body;
  std::vector<uint16_t> words;
};

class GeneratedWords : public CompilerFixture, public ::testing::WithParamInterface<WordsCase> {};

TEST_P(GeneratedWords, MatchTheInstructionTable) {
  const WordsCase& c = GetParam();
  auto code = codeOf(std::string(c.globals) + "\nthread main {\n" + c.body + "\n}\n");
  ASSERT_GE(code.size(), 2u) << messages();
  code.resize(code.size() - 2);
  EXPECT_EQ(code, c.words) << c.globals << " | " << c.body;
}

INSTANTIATE_TEST_SUITE_P(
    Operators, GeneratedWords,
    ::testing::Values(
        WordsCase{"int x;", "x = 200;", {51268, 148, 20}},
        WordsCase{"int x;", "x = 1000;", {134, 1000, 148, 20}},
        WordsCase{"long x;", "x = 100000;", {137, 5, 149, 20}},
        WordsCase{"byte b;", "b = 7;", {1860, 147, 20}},
        WordsCase{"int i;", "i = -5;", {134, 65531, 148, 20}},
        WordsCase{"float f;", "f = 2.5;", {138, 5, 150, 20}},
        WordsCase{"int i;", "i = 70000 / 2;", {137, 5, 26, 148, 20}},
        WordsCase{"int a; float b;", "b = a + b;", {140, 20, 142, 22, 581, 150, 22}},
        WordsCase{"int i;", "i = -i;", {140, 20, 33, 148, 20}},
        WordsCase{"float f;", "f = -f;", {142, 20, 35, 150, 20}},
        WordsCase{"long l;", "l = not l;", {141, 20, 31, 149, 20}},
        WordsCase{"float f; int i;", "i = not f;", {142, 20, 32, 148, 28}},
        WordsCase{"int i; long l;", "i = l;", {141, 22, 26, 148, 20}},
        WordsCase{"int i; float f;", "f = i;", {140, 20, 25, 150, 22}},
        WordsCase{"float f; long l;", "l = f;", {142, 20, 29, 149, 28}},
        WordsCase{"long l; float f;", "f = l;", {141, 20, 27, 150, 24}},
        WordsCase{"float f; int i;", "i = f;", {142, 20, 28, 148, 28}},
        WordsCase{"int i;", "i = i < 5;", {140, 20, 1348, 78, 148, 20}},
        WordsCase{"int i;", "i = i >= 5;", {140, 20, 1348, 77, 148, 20}},
        WordsCase{"int i;", "i = i == 5;", {140, 20, 1348, 74, 148, 20}},
        WordsCase{"int i;", "i = i != 5;", {140, 20, 1348, 75, 148, 20}},
        WordsCase{"int i;", "i = i > 5;", {140, 20, 1348, 76, 148, 20}},
        WordsCase{"int i;", "i = i <= 5;", {140, 20, 1348, 79, 148, 20}},
        WordsCase{"int i; long l;", "i = i and l;", {140, 20, 141, 22, 336, 26, 148, 20}},
        WordsCase{"int i; float f;", "i = f or i;", {142, 22, 140, 20, 1618, 148, 20}},
        WordsCase{"int i;", "i = i nand 3;", {140, 20, 836, 81, 148, 20}},
        WordsCase{"int i;", "i = i nor 3;", {140, 20, 836, 83, 148, 20}},
        WordsCase{"int i;", "i = i xor 3;", {140, 20, 836, 84, 148, 20}},
        WordsCase{"int i;", "i = i shl 2;", {140, 20, 580, 86, 148, 20}},
        WordsCase{"int i;", "i = i shr 2;", {140, 20, 580, 87, 148, 20}},
        WordsCase{"long l;", "l = l % 3;", {141, 20, 836, 841, 149, 20}},
        WordsCase{"long l;", "l = l - 1;", {141, 20, 324, 838, 149, 20}},
        WordsCase{"float f;", "f = f * f;", {142, 20, 142, 20, 2119, 150, 20}},
        WordsCase{"long l; float f;", "f = l / f;", {141, 20, 142, 24, 1352, 150, 24}},
        WordsCase{"int i;", "i = (1 + 2) * 3 - 2 * (4 - 1);", {836, 148, 20}},
        WordsCase{"int i;", "i = 2 + i * 3;", {580, 140, 20, 836, 71, 69, 148, 20}},
        WordsCase{"int i;", "i = i - 1 - 2;", {140, 20, 324, 70, 580, 70, 148, 20}},
        // Locals of 5 bytes (c after the aligned int): the frame is rounded up to 6.
        WordsCase{"", "byte a; int b; byte c; a = 1;", {131, 6, 324, 151, 0}},
        // a[i].f: address of a, plus i times the size of T, plus the field's offset, loaded indirectly.
        WordsCase{"type T { int x; long f; }\nT a[3]; int i; long r;", "r = a[i].f;",
                  {134, 20, 140, 38, 1604, 71, 69, 580, 69, 14, 149, 40}}),
    [](const ::testing::TestParamInfo<WordsCase>& info) { return "Case" + std::to_string(info.index); });

using Generator = CompilerFixture;

TEST_F(Generator, WholeProgramOfTheWorkedExample) {
  int m = add("M", "int g;\nthread main {\n g = g + 1;\n}\n");
  ASSERT_TRUE(build({m})) << messages();
  EXPECT_EQ(messages(), "compilation ready, VMC available\n");
  auto img = image();
  EXPECT_EQ(img.code, (std::vector<uint16_t>{140, 20, 324, 69, 148, 20, 132, 65528}));
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
  const std::vector<uint16_t> expected = {
      131, 8, 324, 151, 0, 132, 65531,                      // main: AdjustSp 8; a = 1; jump back
      129, 18, 324, 580, 25, 129, 19, 149, 40, 132, 65525,  // t: call f; g(1, 2.0); store t2; jump
      6,                                                    // f: Return
      144, 65522, 24, 449, 14,                              // g: load x (-10 - 4), to long, ReturnValue long
      68, 24, 449, 14};                                     // g's closing return of 0
  EXPECT_EQ(img.code, expected);
  auto word = [&](int i) { return img.constants[2 * i] | img.constants[2 * i + 1] << 8; };
  // Thread table: two threads, contexts of 40 bytes, t2 at 40, main's stack at 44 with frame 8,
  // t's stack after main's 104 bytes.
  EXPECT_EQ(word(0), 2);
  EXPECT_EQ(std::vector<int>({word(1), word(2), word(3), word(4)}), std::vector<int>({0, 44, 52, 32}));
  EXPECT_EQ(std::vector<int>({word(5), word(6), word(7), word(8)}), std::vector<int>({7, 148, 148, 0}));
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
  EXPECT_EQ(std::string(img.constants.begin() + 32, img.constants.begin() + 36), "\x03" "abc");
  EXPECT_EQ(word(18), 20);
  EXPECT_EQ(word(19), 21);
  EXPECT_EQ(std::string(img.constants.begin() + 40, img.constants.begin() + 46), std::string("\x01x\x02yz\0", 6));
  // The folded 70000.5 is a new float constant after them.
  std::memcpy(&half, &img.constants[46], 8);
  EXPECT_EQ(half, 70000.5);
  const std::vector<uint16_t> start = {131, 32,             // frame of the temporary string
                                       134, 307, 148, 20,   // i = B + I, folded
                                       134, 13, 580, 69, 9, 148, 20};  // i = A[2]
  EXPECT_EQ(std::vector<uint16_t>(img.code.begin(), img.code.begin() + start.size()), start);
}

}  // namespace
