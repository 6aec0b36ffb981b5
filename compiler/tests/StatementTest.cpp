#include "CompilerFixture.h"

namespace {

// Globals of every statement case: two threads, so globals start at 40 and constants at word 9.
constexpr const char* kGlobals = "int x; byte c; string s; int a[4]; string sa[2];\n";
constexpr const char* kOtherThread = "thread other { yield; }\n";

struct StatementCase {
  const char* body;
  std::vector<uint16_t> words;  // main's words without the closing jump
};

class StatementWords : public CompilerFixture, public ::testing::WithParamInterface<StatementCase> {};

TEST_P(StatementWords, GiveTheirCode) {
  auto code = codeOf(std::string(kGlobals) + kOtherThread + "thread main {\n" + GetParam().body + "\n}\n");
  ASSERT_GE(code.size(), 5u) << messages();
  code.erase(code.begin(), code.begin() + 3);  // other's yield and jump
  code.resize(code.size() - 2);                // main's jump
  EXPECT_EQ(code, GetParam().words) << GetParam().body;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementWords,
    ::testing::Values(
        // if / else: test, JumpIfFalse over the then part, Jump over the else part.
        StatementCase{"if x x = 1; else x = 2;", {140, 40, 133, 5, 324, 148, 40, 132, 3, 580, 148, 40}},
        StatementCase{"if x { x = 1; }", {140, 40, 133, 3, 324, 148, 40}},
        // while: jump to the test at the end; the test is "condition == 0" with JumpIfFalse back.
        StatementCase{"while x < 3 x = x + 1;", {132, 6, 140, 40, 324, 69, 148, 40, 140, 40, 836, 78, 68, 74, 133, 65522}},
        // for: start value, jump to the store and test; the step add; store and reload become Put.
        StatementCase{"for x = 1 ... 10 yield;", {324, 132, 5, 2, 140, 40, 324, 69, 156, 40, 2628, 76, 133, 65525}},
        StatementCase{"for x = 10 ... > 0 step -1 yield;", {2628, 132, 6, 2, 140, 40, 134, 65535, 69, 156, 40, 68, 79, 133, 65524}},
        StatementCase{"for x = 0 ... < 5 yield;", {68, 132, 5, 2, 140, 40, 324, 69, 156, 40, 1348, 77, 133, 65525}},
        StatementCase{"for x = 0 ... >= 5 yield;", {68, 132, 5, 2, 140, 40, 324, 69, 156, 40, 1348, 78, 133, 65525}},
        StatementCase{"for a[1] = 0 ... 3 yield;",
                      {68, 132, 8, 2, 134, 40, 580, 69, 13, 324, 69, 134, 40, 580, 69, 21, 134, 40, 580, 69, 13, 836, 76, 133, 65514}},
        StatementCase{"do x = x + 1 while x < 5;", {140, 40, 324, 69, 148, 40, 140, 40, 1348, 78, 68, 74, 133, 65522}},
        StatementCase{"loop { if x break; continue; }", {140, 40, 133, 2, 132, 4, 132, 65528, 132, 65526}},
        StatementCase{"wait x > 2;", {2, 140, 40, 580, 76, 133, 65529}},
        StatementCase{"sleep 10; quit 1; capture c; release; inline 0x1234; yield;",
                      {2628, 3, 324, 1, 134, 40, 4, 5, 0x1234, 2}},
        StatementCase{"run other; run 3; halt other; halt; resume other; resume; reset other; reset;",
                      {8260, 322, 836, 66, 134, 0, 322, 134, 0, 66, 323, 67, 321, 65}},
        StatementCase{"a[2] = 7; x = a[x];", {1860, 134, 42, 1092, 69, 21, 134, 42, 140, 40, 580, 71, 69, 13, 148, 40}},
        // String assignment: the parts into a temporary, then the temporary into the target.
        StatementCase{"s = \"ab\" + s + 65 + (64 + 1);",
                      {131, 32, 134, 0, 7, 98, 134, 0, 7, 134, 9, 1378, 134, 0, 7, 134, 40, 1122,
                       134, 0, 7, 16708, 866, 134, 0, 7, 16708, 866, 134, 40, 98, 134, 40, 134, 0, 7, 1122}},
        // A character constant appends that character.
        StatementCase{"s = \"ab\" + 'c';",
                      {131, 32, 134, 0, 7, 98, 134, 0, 7, 134, 9, 1378, 134, 0, 7, 25412, 866,
                       134, 40, 98, 134, 40, 134, 0, 7, 1122}},
        // An element of a string array is the target itself, not element 0.
        StatementCase{"sa[1] = \"q\";",
                      {131, 32, 134, 0, 7, 98, 134, 0, 7, 134, 9, 1378, 134, 40, 8260, 69, 98, 134, 40, 8260, 69,
                       134, 0, 7, 1122}}),
    [](const ::testing::TestParamInfo<StatementCase>& info) { return "Case" + std::to_string(info.index); });

using Statements = CompilerFixture;

TEST_F(Statements, CallsWithValueAndReferenceParameters) {
  auto code = codeOf(
      "type P { int a; long b; }\n"
      "P p; int arr[3]; string s; byte bs[4]; const C = \"con\"; const CA[] = \"x\", \"y\";\n"
      "function f(byte v, P q, int r[], string t, string u[]) returns float {\n"
      " q.b = v + r[1]; t = \"k\"; return q.a;\n}\n"
      "function g(byte buf[]) { buf[0] = 1; }\n"
      "thread main { float z; z = f(300, p, arr, \"lit\", s); f(1, p, arr, C, s); f(1, p, arr, CA[1], s); g(s); g(bs); }\n");
  const std::vector<uint16_t> expected = {
      131, 104,                                                    // z and three temporaries
      134, 300, 134, 20, 134, 26,                                  // 300 as int, &p, &arr
      134, 8, 7, 98, 134, 8, 7, 134, 11, 1378, 134, 8, 7,          // "lit" through a temporary
      134, 32, 129, 88, 154, 0,                                    // &s, call f, z =
      324, 134, 20, 134, 26, 134, 40, 7, 98, 134, 40, 7, 134, 5, 1378, 134, 40, 7,  // C copied
      134, 32, 129, 88, 131, 65528,                                // call, drop the float
      324, 134, 20, 134, 26, 134, 72, 7, 98, 134, 72, 7, 134, 7, 324, 69, 9, 1378, 134, 72, 7,  // CA[1]
      134, 32, 129, 88, 131, 65528,
      134, 32, 129, 135, 134, 64, 129, 135, 132, 65450,            // g(s), g(bs)
      // f: v at -10 (frame -14), q at -8, r at -6, t at -4, u at -2.
      131, 32, 144, 65522, 144, 65526, 580, 69, 13, 69, 24, 144, 65524, 580, 69, 22,
      134, 0, 7, 98, 134, 0, 7, 134, 13, 1378, 144, 65528, 98, 144, 65528, 134, 0, 7, 1122,
      144, 65524, 68, 69, 13, 25, 705, 14, 68, 25, 705, 14,
      // g: buf at -2 (frame -6).
      324, 144, 65530, 68, 69, 20, 130, 6};
  EXPECT_EQ(code, expected);
}

TEST_F(Statements, StringFieldIsTheTargetItself) {
  auto code = codeOf("type R { int n; string name; }\nR r;\nthread main { r.name = \"q\"; }\n");
  // r at 20, its field name at offset 2: the target is 20 + 2, not address 2.
  EXPECT_EQ(code, (std::vector<uint16_t>{131, 32, 134, 0, 7, 98, 134, 0, 7, 134, 5, 1378,
                                         134, 20, 580, 69, 98, 134, 20, 580, 69, 134, 0, 7, 1122, 132, 65511}));
}

TEST_F(Statements, InlineFunctionsAppendTheirWords) {
  auto code = codeOf(
      "inline function twice() { inline 7; inline 8; }\n"
      "inline function value() returns int { inline 1860; }\n"
      "int x;\nthread main { twice(); x = value(); }\n");
  // twice's words in place, value's words in place; the inline bodies also stand on their own.
  EXPECT_EQ(code, (std::vector<uint16_t>{7, 8, 1860, 148, 20, 132, 65529, 7, 8, 1860}));
}

TEST_F(Statements, FunctionWithoutAnythingReturnsWithOneWord) {
  auto code = codeOf("function f() { }\nthread main { f(); }\n");
  EXPECT_EQ(code, (std::vector<uint16_t>{129, 4, 132, 65532, 6}));
}

TEST_F(Statements, CaptureWithoutOperandUsesTheFunctionsByte) {
  auto code = codeOf("int x;\nfunction f() { capture; x = 1; release; }\nthread main { f(); }\n");
  // x is declared before f_@cap, so x gets address 20 and the byte 22.
  EXPECT_EQ(code, (std::vector<uint16_t>{129, 4, 132, 65532, 134, 22, 4, 324, 148, 20, 5, 6}));
}

TEST_F(Statements, TwoStatementsOnOneLineAreTwoPositions) {
  int m = add("M", "int x;\nthread main {\n x = 1; x = 2;\n}\n");
  ASSERT_TRUE(build({m}));
  std::string base = tempPath("out");
  ASSERT_EQ(writeOutputFile(project, base.c_str()), 1);
  std::string dbg = readAll(base + ".dbg");
  EXPECT_NE(dbg.find("\r\n2\r\n1 3 1 3 \r\n"), std::string::npos) << dbg;
}

struct MessageCase {
  const char* source;
  const char* messages;
};

class StatementMessages : public CompilerFixture, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(StatementMessages, AreReportedAndRecovered) {
  int m = add("M", GetParam().source);
  compileModule(project, m);
  EXPECT_EQ(messages(), GetParam().messages) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementMessages,
    ::testing::Values(
        MessageCase{"thread main {\n return;\n}\n", "M (2) : unexpected return\n"},
        MessageCase{"thread main {\n break;\n continue;\n}\n", "M (2) : unexpected break\nM (3) : unexpected continue\n"},
        MessageCase{"thread main {\n capture;\n}\n", "M (2) : unexpected capture\n"},
        MessageCase{"int x;\nthread main {\n capture x;\n}\n", "M (3) : type mismatch\n"},
        MessageCase{"string s; int x;\nthread main {\n x = s;\n x = 1;\n}\n", "M (3) : type mismatch\n"},
        MessageCase{"function f() returns string { }\nthread main { yield; }\n", "M (1) : type mismatch\n"},
        MessageCase{"int x;\nfunction f() { }\nthread main {\n x = f() + 1;\n}\n", "M (4) : type mismatch\n"},
        MessageCase{"type T { int a; }\nfunction f() returns T { }\nthread main { yield; }\n", "M (2) : type mismatch\n"},
        MessageCase{"const C = 1;\nthread main {\n for C = 1 ... 2 yield;\n}\n", "M (3) : identifier of a variable expected\n"},
        MessageCase{"int x;\nthread main {\n halt x;\n}\n", "M (3) : identifier of a thread expected\n"},
        MessageCase{"type T { int a; }\nT t;\nthread main {\n t.b = 1;\n}\n", "M (4) : unknown identifier \"b\"\n"},
        MessageCase{"int x;\nthread main {\n x = 8 / 0;\n x = x / 0;\n}\n",
                    "M (3) : division by zero in constant expression\n"},
        MessageCase{"int x;\nthread main {\n x = ;\n x = 1\n x = 2;\n}\n", "M (3) : unexpected ;\nM (5) : ; expected\n"},
        MessageCase{"int x;\nthread main {\n const y = 1;\n}\n", "M (3) : unexpected const\n"},
        MessageCase{"thread main {\n int a; int a;\n}\n", "M (2) : multiple declaration of \"a\"\n"},
        MessageCase{"thread main {\n yield\n}\nint z;\n", "M (3) : ; expected\n"},
        MessageCase{"thread main {\n yield;\n", "M (3) : unexpected end of file\nM (3) : unexpected end of file\n"},
        MessageCase{"function f(int a) { }\nthread main {\n f(1, 2);\n}\n", "M (3) : ) expected\n"},
        MessageCase{"type T { int a; }\nT t;\nthread main {\n t = 1;\n}\n", "M (4) : type mismatch\n"}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
