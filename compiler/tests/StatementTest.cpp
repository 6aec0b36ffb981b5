#include "CompilerFixture.h"
#include "vexa/isa_testing.h"

namespace {

using vexa::isa::testing::sameCode;

// Globals of every statement case: two threads, so globals start at 40 and constants at word 9.
constexpr const char* kGlobals = "int x; byte c; string s; int a[4]; string sa[2];\n";
constexpr const char* kOtherThread = "thread other { yield; }\n";

struct StatementCase {
  const char* name;
  const char* body;
  std::vector<std::string_view> code;  // main's code from word 3 on, without the closing jump
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.body; }

class StatementWords : public CompilerFixture,
                       public ::testing::WithParamInterface<StatementCase> {};

TEST_P(StatementWords, GiveTheirCode) {
  const auto code =
      codeOf(std::string(kGlobals) + kOtherThread + "thread main {\n" + GetParam().body + "\n}\n");
  ASSERT_GE(code.size(), 5u) << messages();
  // Other's yield and jump come first; main's closing jump is left out.
  EXPECT_TRUE(sameCode(std::span(code).subspan(3, code.size() - 5), GetParam().code, 3))
      << GetParam().body;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementWords,
    ::testing::Values(
        // if / else: test, JumpIfFalse over the then part, Jump over the else part.
        StatementCase{"IfElse",
                      "if x x = 1; else x = 2;",
                      {"LoadInt [0028]", "JumpIfFalse 5 -> 000C", "PushByte 1", "StoreInt [0028]",
                       "Jump 3 -> 000F", "PushByte 2", "StoreInt [0028]"}},
        StatementCase{"IfWithoutElse",
                      "if x { x = 1; }",
                      {"LoadInt [0028]", "JumpIfFalse 3 -> 000A", "PushByte 1", "StoreInt [0028]"}},
        // while: jump to the test at the end; the test is "condition == 0" with JumpIfFalse back.
        StatementCase{"WhileTestsAtTheEnd",
                      "while x < 3 x = x + 1;",
                      {"Jump 6 -> 000B", "LoadInt [0028]", "PushByte 1", "Add int16,int16",
                       "StoreInt [0028]", "LoadInt [0028]", "PushByte 3", "Less int16,int16",
                       "PushByte 0", "Equal int16,int16", "JumpIfFalse -14 -> 0005"}},
        // for: start value, jump to the store and test; the step add; store and reload become Put.
        StatementCase{"ForUpToBound",
                      "for x = 1 ... 10 yield;",
                      {"PushByte 1", "Jump 5 -> 000B", "Yield", "LoadInt [0028]", "PushByte 1",
                       "Add int16,int16", "PutInt [0028]", "PushByte 10", "Greater int16,int16",
                       "JumpIfFalse -11 -> 0006"}},
        StatementCase{"ForDownWhileGreaterWithStep",
                      "for x = 10 ... > 0 step -1 yield;",
                      {"PushByte 10", "Jump 6 -> 000C", "Yield", "LoadInt [0028]", "PushInt -1",
                       "Add int16,int16", "PutInt [0028]", "PushByte 0", "LessEqual int16,int16",
                       "JumpIfFalse -12 -> 0006"}},
        StatementCase{"ForWhileLessThanBound",
                      "for x = 0 ... < 5 yield;",
                      {"PushByte 0", "Jump 5 -> 000B", "Yield", "LoadInt [0028]", "PushByte 1",
                       "Add int16,int16", "PutInt [0028]", "PushByte 5", "GreaterEqual int16,int16",
                       "JumpIfFalse -11 -> 0006"}},
        StatementCase{"ForWhileGreaterEqualBound",
                      "for x = 0 ... >= 5 yield;",
                      {"PushByte 0", "Jump 5 -> 000B", "Yield", "LoadInt [0028]", "PushByte 1",
                       "Add int16,int16", "PutInt [0028]", "PushByte 5", "Less int16,int16",
                       "JumpIfFalse -11 -> 0006"}},
        StatementCase{"ForOverArrayElement",
                      "for a[1] = 0 ... 3 yield;",
                      {"PushByte 0",
                       "Jump 8 -> 000E",
                       "Yield",
                       "PushInt 40",
                       "PushByte 2",
                       "Add int16,int16",
                       "LoadIntAt",
                       "PushByte 1",
                       "Add int16,int16",
                       "PushInt 40",
                       "PushByte 2",
                       "Add int16,int16",
                       "StoreIntAt",
                       "PushInt 40",
                       "PushByte 2",
                       "Add int16,int16",
                       "LoadIntAt",
                       "PushByte 3",
                       "Greater int16,int16",
                       "JumpIfFalse -22 -> 0006"}},
        StatementCase{"DoWhile",
                      "do x = x + 1 while x < 5;",
                      {"LoadInt [0028]", "PushByte 1", "Add int16,int16", "StoreInt [0028]",
                       "LoadInt [0028]", "PushByte 5", "Less int16,int16", "PushByte 0",
                       "Equal int16,int16", "JumpIfFalse -14 -> 0003"}},
        StatementCase{"LoopWithBreakAndContinue",
                      "loop { if x break; continue; }",
                      {"LoadInt [0028]", "JumpIfFalse 2 -> 0009", "Jump 4 -> 000D",
                       "Jump -8 -> 0003", "Jump -10 -> 0003"}},
        StatementCase{"Wait",
                      "wait x > 2;",
                      {"Yield", "LoadInt [0028]", "PushByte 2", "Greater int16,int16",
                       "JumpIfFalse -7 -> 0003"}},
        StatementCase{"SleepQuitCaptureReleaseInlineYield",
                      "sleep 10; quit 1; capture c; release; inline 0x1234; yield;",
                      {"PushByte 10", "Sleep", "PushByte 1", "Stop", "PushInt 40", "Capture",
                       "Release", ".word 1234", "Yield"}},
        StatementCase{
            "ThreadControl",
            "run other; run 3; halt other; halt; resume other; resume; reset other; reset;",
            {"PushByte 32", "ThreadSetSlice 1", "PushByte 3", "ThreadSetSlice 0", "PushInt 0",
             "ThreadSetSlice 1", "PushInt 0", "ThreadSetSlice 0", "ThreadRestoreSlice 1",
             "ThreadRestoreSlice 0", "ThreadStart 1", "ThreadStart 0"}},
        StatementCase{"ArrayElementStoreAndLoad",
                      "a[2] = 7; x = a[x];",
                      {"PushByte 7", "PushInt 42", "PushByte 4", "Add int16,int16", "StoreIntAt",
                       "PushInt 42", "LoadInt [0028]", "PushByte 2", "Mul int16,int16",
                       "Add int16,int16", "LoadIntAt", "StoreInt [0028]"}},
        // String assignment: the parts into a temporary, then the temporary into the target.
        StatementCase{
            "StringConcatenation",
            "s = \"ab\" + s + 65 + (64 + 1);",
            {"AdjustSp 32",  "PushInt 0",    "AddFrame",     "StringFunc 0", "PushInt 0",
             "AddFrame",     "PushInt 9",    "StringFunc 5", "PushInt 0",    "AddFrame",
             "PushInt 40",   "StringFunc 4", "PushInt 0",    "AddFrame",     "PushByte 65",
             "StringFunc 3", "PushInt 0",    "AddFrame",     "PushByte 65",  "StringFunc 3",
             "PushInt 40",   "StringFunc 0", "PushInt 40",   "PushInt 0",    "AddFrame",
             "StringFunc 4"}},
        // A character constant appends that character.
        StatementCase{
            "StringAppendsCharacterConstant",
            "s = \"ab\" + 'c';",
            {"AdjustSp 32", "PushInt 0", "AddFrame", "StringFunc 0", "PushInt 0", "AddFrame",
             "PushInt 9", "StringFunc 5", "PushInt 0", "AddFrame", "PushByte 99", "StringFunc 3",
             "PushInt 40", "StringFunc 0", "PushInt 40", "PushInt 0", "AddFrame", "StringFunc 4"}},
        // An element of a string array is the target itself, not element 0.
        StatementCase{"StringArrayElementIsTheTarget",
                      "sa[1] = \"q\";",
                      {"AdjustSp 32", "PushInt 0", "AddFrame", "StringFunc 0", "PushInt 0",
                       "AddFrame", "PushInt 9", "StringFunc 5", "PushInt 40", "PushByte 32",
                       "Add int16,int16", "StringFunc 0", "PushInt 40", "PushByte 32",
                       "Add int16,int16", "PushInt 0", "AddFrame", "StringFunc 4"}}),
    [](const ::testing::TestParamInfo<StatementCase>& info) {
      return std::string(info.param.name);
    });

using Statements = CompilerFixture;

TEST_F(Statements, CallsWithValueAndReferenceParameters) {
  auto code = codeOf(
      "type P { int a; long b; }\n"
      "P p; int arr[3]; string s; byte bs[4]; const C = \"con\"; const CA[] = \"x\", \"y\";\n"
      "function f(byte v, P q, int r[], string t, string u[]) returns float {\n"
      " q.b = v + r[1]; t = \"k\"; return q.a;\n}\n"
      "function g(byte buf[]) { buf[0] = 1; }\n"
      "thread main { float z; z = f(300, p, arr, \"lit\", s); f(1, p, arr, C, s); f(1, p, arr, "
      "CA[1], s); g(s); g(bs); }\n");
  EXPECT_TRUE(sameCode(
      code,
      {"AdjustSp 104",                             // z and three temporaries
       "PushInt 300", "PushInt 20", "PushInt 26",  // 300 as int, &p, &arr
       // "lit" through a temporary
       "PushInt 8", "AddFrame", "StringFunc 0", "PushInt 8", "AddFrame", "PushInt 11",
       "StringFunc 5", "PushInt 8", "AddFrame", "PushInt 32", "Call 0058",
       "StoreLocalFloat [frame+0]",  // &s, call f, z =
       // C copied
       "PushByte 1", "PushInt 20", "PushInt 26", "PushInt 40", "AddFrame", "StringFunc 0",
       "PushInt 40", "AddFrame", "PushInt 5", "StringFunc 5", "PushInt 40", "AddFrame",
       "PushInt 32", "Call 0058", "AdjustSp -8",  // call, drop the float
       // CA[1]
       "PushByte 1", "PushInt 20", "PushInt 26", "PushInt 72", "AddFrame", "StringFunc 0",
       "PushInt 72", "AddFrame", "PushInt 7", "PushByte 1", "Add int16,int16", "PushConstIntAt",
       "StringFunc 5", "PushInt 72", "AddFrame", "PushInt 32", "Call 0058", "AdjustSp -8",
       "PushInt 32", "Call 0087", "PushInt 64", "Call 0087", "Jump -86 -> 0002",  // g(s), g(bs)
       // f: v at -10 (frame -14), q at -8, r at -6, t at -4, u at -2.
       "AdjustSp 32", "LoadLocalInt [frame-14]", "LoadLocalInt [frame-10]", "PushByte 2",
       "Add int16,int16", "LoadIntAt", "Add int16,int16", "IntToLong", "LoadLocalInt [frame-12]",
       "PushByte 2", "Add int16,int16", "StoreLongAt", "PushInt 0", "AddFrame", "StringFunc 0",
       "PushInt 0", "AddFrame", "PushInt 13", "StringFunc 5", "LoadLocalInt [frame-8]",
       "StringFunc 0", "LoadLocalInt [frame-8]", "PushInt 0", "AddFrame", "StringFunc 4",
       "LoadLocalInt [frame-12]", "PushByte 0", "Add int16,int16", "LoadIntAt", "IntToFloat",
       "ReturnValue float 14", "PushByte 0", "IntToFloat", "ReturnValue float 14",
       // g: buf at -2 (frame -6).
       "PushByte 1", "LoadLocalInt [frame-6]", "PushByte 0", "Add int16,int16", "StoreByteAt",
       "ReturnN 6"}));
}

TEST_F(Statements, StringFieldIsTheTargetItself) {
  auto code = codeOf("type R { int n; string name; }\nR r;\nthread main { r.name = \"q\"; }\n");
  // r at 20, its field name at offset 2: the target is 20 + 2, not address 2.
  EXPECT_TRUE(sameCode(
      code, {"AdjustSp 32", "PushInt 0", "AddFrame", "StringFunc 0", "PushInt 0", "AddFrame",
             "PushInt 5", "StringFunc 5", "PushInt 20", "PushByte 2", "Add int16,int16",
             "StringFunc 0", "PushInt 20", "PushByte 2", "Add int16,int16", "PushInt 0", "AddFrame",
             "StringFunc 4", "Jump -25 -> 0002"}));
}

TEST_F(Statements, InlineFunctionsAppendTheirWords) {
  auto code = codeOf(
      "inline function twice() { inline 7; inline 8; }\n"
      "inline function value() returns int { inline 1860; }\n"
      "int x;\nthread main { twice(); x = value(); }\n");
  // twice's words in place, value's words in place; the inline bodies also stand on their own.
  // (7, 8 and 1860 are AddFrame, PushConstByteAt and PushByte 7.)
  EXPECT_TRUE(sameCode(code, {"AddFrame", "PushConstByteAt", "PushByte 7", "StoreInt [0014]",
                              "Jump -7 -> 0000", "AddFrame", "PushConstByteAt", "PushByte 7"}));
}

TEST_F(Statements, FunctionWithoutAnythingReturnsWithOneWord) {
  auto code = codeOf("function f() { }\nthread main { f(); }\n");
  EXPECT_TRUE(sameCode(code, {"Call 0004", "Jump -4 -> 0000", "Return"}));
}

TEST_F(Statements, CaptureWithoutOperandUsesTheFunctionsByte) {
  auto code = codeOf("int x;\nfunction f() { capture; x = 1; release; }\nthread main { f(); }\n");
  // x is declared before f_@cap, so x gets address 20 and the byte 22.
  EXPECT_TRUE(sameCode(code, {"Call 0004", "Jump -4 -> 0000", "PushInt 22", "Capture", "PushByte 1",
                              "StoreInt [0014]", "Release", "Return"}));
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
  const char* name;
  const char* source;
  const char* messages;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.source; }

class StatementMessages : public CompilerFixture,
                          public ::testing::WithParamInterface<MessageCase> {};

TEST_P(StatementMessages, AreReportedAndRecovered) {
  int m = add("M", GetParam().source);
  compileModule(project, m);
  EXPECT_EQ(messages(), GetParam().messages) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementMessages,
    ::testing::Values(
        MessageCase{"ReturnInAThread", "thread main {\n return;\n}\n",
                    "M (2) : unexpected return\n"},
        MessageCase{"BreakAndContinueOutsideALoop", "thread main {\n break;\n continue;\n}\n",
                    "M (2) : unexpected break\nM (3) : unexpected continue\n"},
        MessageCase{"CaptureWithoutOperandInAThread", "thread main {\n capture;\n}\n",
                    "M (2) : unexpected capture\n"},
        MessageCase{"CaptureOfAnInt", "int x;\nthread main {\n capture x;\n}\n",
                    "M (3) : type mismatch\n"},
        MessageCase{"StringAssignedToInt", "string s; int x;\nthread main {\n x = s;\n x = 1;\n}\n",
                    "M (3) : type mismatch\n"},
        MessageCase{"FunctionReturningString",
                    "function f() returns string { }\nthread main { yield; }\n",
                    "M (1) : type mismatch\n"},
        MessageCase{"ProcedureWithoutResultInExpression",
                    "int x;\nfunction f() { }\nthread main {\n x = f() + 1;\n}\n",
                    "M (4) : type mismatch\n"},
        MessageCase{"FunctionReturningUserType",
                    "type T { int a; }\nfunction f() returns T { }\nthread main { yield; }\n",
                    "M (2) : type mismatch\n"},
        MessageCase{"ForOverAConstant", "const C = 1;\nthread main {\n for C = 1 ... 2 yield;\n}\n",
                    "M (3) : identifier of a variable expected\n"},
        MessageCase{"HaltOfAVariable", "int x;\nthread main {\n halt x;\n}\n",
                    "M (3) : identifier of a thread expected\n"},
        MessageCase{"UnknownField", "type T { int a; }\nT t;\nthread main {\n t.b = 1;\n}\n",
                    "M (4) : unknown identifier \"b\"\n"},
        MessageCase{"DivisionByZeroInConstant",
                    "int x;\nthread main {\n x = 8 / 0;\n x = x / 0;\n}\n",
                    "M (3) : division by zero in constant expression\n"},
        MessageCase{"MissingExpressionAndSemicolon",
                    "int x;\nthread main {\n x = ;\n x = 1\n x = 2;\n}\n",
                    "M (3) : unexpected ;\nM (5) : ; expected\n"},
        MessageCase{"ConstantInAThread", "int x;\nthread main {\n const y = 1;\n}\n",
                    "M (3) : unexpected const\n"},
        MessageCase{"LocalDeclaredTwice", "thread main {\n int a; int a;\n}\n",
                    "M (2) : multiple declaration of \"a\"\n"},
        MessageCase{"SemicolonMissingBeforeBrace", "thread main {\n yield\n}\nint z;\n",
                    "M (3) : ; expected\n"},
        MessageCase{"EndOfFileInAThread", "thread main {\n yield;\n",
                    "M (3) : unexpected end of file\nM (3) : unexpected end of file\n"},
        MessageCase{"TooManyArguments", "function f(int a) { }\nthread main {\n f(1, 2);\n}\n",
                    "M (3) : ) expected\n"},
        MessageCase{"NumberAssignedToUserType",
                    "type T { int a; }\nT t;\nthread main {\n t = 1;\n}\n",
                    "M (4) : type mismatch\n"}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

}  // namespace
