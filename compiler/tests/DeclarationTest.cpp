#include <cstring>

#include "CompilerFixture.h"
#include "vexa/isa_testing.h"

namespace {

using vexa::isa::testing::sameCode;

struct MessageCase {
  const char* name;
  const char* source;
  const char* messages;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.source; }

class DeclarationMessages : public CompilerFixture,
                            public ::testing::WithParamInterface<MessageCase> {};

TEST_P(DeclarationMessages, AreComposedWordForWord) {
  int m = add("M", GetParam().source);
  compileModule(project, m);
  EXPECT_EQ(messages(), GetParam().messages) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Parser, DeclarationMessages,
    ::testing::Values(
        MessageCase{"ValidDeclarations",
                    "int a;\nconst C = 2 * (3 + 4);\ntype T { byte b; int c[3]; }\nT t;\n",
                    "M : OK\n"},
        MessageCase{"SemicolonMissingAfterName", "int a b;\nint c;\n", "M (1) : ; expected\n"},
        MessageCase{"VariableInConstantExpression", "int y;\nconst X = y;\nint z;\n",
                    "M (2) : constant expression expected\n"},
        MessageCase{"GlobalDeclaredTwice", "int a;\nint a;\nint b;\n",
                    "M (2) : multiple declaration of \"a\"\n"},
        MessageCase{"ArrayTooBig", "int a[70000];\nint b;\n", "M (1) : array too big\n"},
        MessageCase{"ZeroDimension", "int a[0];\n", "M : OK\n"},
        MessageCase{"ZeroDimensionDeclaresPlainVariable", "int a[0];\nthread main { a[1] = 1; }\n",
                    "M (2) : = expected\n"},  // a plain variable
        MessageCase{"RecursiveType", "type T {\n T x;\n}\nint b;\n", "M (2) : recursive type\n"},
        MessageCase{"DivisionByZero", "const A = 8 / 0;\nint b;\n",
                    "M (1) : division by zero in constant expression\n"},
        MessageCase{"RemainderByTruncatedZero", "const A = 8 % 0.5;\nint b;\n",
                    "M (1) : division by zero in constant expression\n"},
        MessageCase{"UnknownType", "foo a;\nint b;\n", "M (1) : unknown identifier \"foo\"\n"},
        MessageCase{"ConstantUsedAsType", "const C = 1;\nC a;\nint b;\n",
                    "M (2) : identifier of a type expected\n"},
        MessageCase{"InvalidSymbol", "int a;#\nint b;\n", "M (1) : invalid symbol keyword\n"},
        MessageCase{"UnterminatedString", "int a;\nstring s = \"x\nint b;\n",
                    "M (2) : ; expected\n"},
        MessageCase{"TwoMissingSemicolons", "int a\nint b;\nlong c d;\nfloat e;\n",
                    "M (2) : ; expected\nM (3) : ; expected\n"},
        MessageCase{"ConstantArraysAndNegativeFloat",
                    "const S[] = \"a\", \"b\";\nconst N[] = 1, 2.5, 70000;\nconst F = -1.5;\n",
                    "M : OK\n"},
        MessageCase{"TypeDeclaredTwice", "type T { int a; }\ntype T { int b; }\nint x;\n",
                    "M (2) : multiple declaration of \"T\"\nM (2) : unexpected }\n"},
        MessageCase{"NegativeDimension", "int a[-1];\nint b;\n", "M (1) : array too big\n"},
        // Fields follow the rule of variables; no datum may outgrow the 64K of RAM (nor overflow).
        MessageCase{"NegativeFieldDimension", "type T {\n int a[-5];\n}\nint b;\n",
                    "M (2) : array too big\n"},
        MessageCase{"ArrayOfLargeTypeTooBig", "type T { float x[8000]; }\nT v[65535];\nint b;\n",
                    "M (2) : array too big\n"},
        MessageCase{"TypeTooBig", "type T { byte x[60000]; int y[4000]; }\nint b;\n",
                    "M (1) : array too big\n"},
        MessageCase{"FieldArrayTooBig", "type T { byte x[65536]; }\nint b;\n",
                    "M (1) : array too big\n"},
        MessageCase{"TypeJustFitting", "type T { byte x[30000]; int y[17000]; }\nT v;\n",
                    "M : OK\n"},
        MessageCase{"MissingConstantValue",
                    "int a;\nthread main {\n yield;\n}\nconst X = ;\nint b;\n",
                    "M (5) : unexpected ;\n"},
        MessageCase{"ConstantAtEndOfFile", "int a;\n\nconst\n",
                    "M (4) : identifier expected\nM (4) : unexpected end of file\n"},
        MessageCase{"FieldInConstantExpression",
                    "type T { int a; }\nT v;\nint w;\nconst C = v.a;\nint z;\n",
                    "M (4) : constant expression expected\n"},
        // The constant-expression state ends with the failed dimension.
        MessageCase{"VariableDimension",
                    "int y;\nint a[y];\nthread main { y = y + 1; }\nfunction f() returns int { "
                    "return y; }\n",
                    "M (2) : constant expression expected\n"}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

using Declarations = CompilerFixture;

TEST_F(Declarations, ConstantArrayLimit) {
  std::string source = "const A[] = 1";
  for (int i = 1; i < 65002; ++i) source += ",1";
  source += ";\nint b;\n";
  int m = add("M", source);
  compileModule(project, m);
  EXPECT_EQ(messages(), "M (1) : array too big\n");
}

TEST_F(Declarations, LineInfosMarkStatementsAndErrors) {
  int m = add("M", "int a;\nthread main {\n a = 1; a = 2;\n\n yield;\n}\nint x y;\nint z;\n");
  EXPECT_EQ(compileModule(project, m), 1);
  uint8_t infos[16] = {};
  EXPECT_EQ(getModuleLineInfos(project, m, infos, sizeof infos), 1);
  EXPECT_EQ(std::vector<uint8_t>(infos, infos + 10),
            (std::vector<uint8_t>{0, 0, 1, 0, 1, 0, 0x80, 0, 0, 0}));
}

TEST_F(Declarations, OneLineInfoBytePerLineAlsoAfterLookingAhead) {
  // The if statements look ahead for an else across line ends and step back.
  int m = add("M", "int x;\nthread main {\n if x\n  yield;\n\n if x\n\n  yield;\n\n\n x = 1;\n}\n");
  EXPECT_EQ(compileModule(project, m), -1);
  uint8_t infos[20];
  std::memset(infos, 0xEE, sizeof infos);
  getModuleLineInfos(project, m, infos, sizeof infos);
  EXPECT_EQ(std::vector<uint8_t>(infos, infos + 14),
            (std::vector<uint8_t>{0, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0xEE}));
}

TEST_F(Declarations, FieldVariablesAreReachable) {
  int m = add("M",
              "type P { byte x; long y; }\ntype Q { P p; int n[2]; }\nQ q;\n"
              "thread main { q.p.y = 5; q.n[1] = q.p.x; }\n");
  ASSERT_TRUE(build({m})) << messages();
  // q at 20: each field adds its offset to the address: q.p.y at 20 + 0 + 2, q.n[1] at 20 + 6 + 2.
  EXPECT_TRUE(sameCode(
      image().code,
      {// q.p.y = 5
       "PushByte 5", "IntToLong", "PushInt 20", "PushByte 0", "Add int16,int16", "PushByte 2",
       "Add int16,int16", "StoreLongAt",
       // q.p.x
       "PushInt 20", "PushByte 0", "Add int16,int16", "PushByte 0", "Add int16,int16", "LoadByteAt",
       // q.n[1] =
       "PushInt 20", "PushByte 6", "Add int16,int16", "PushByte 2", "Add int16,int16", "StoreIntAt",
       "Jump -25 -> 0000"}));
}

}  // namespace
