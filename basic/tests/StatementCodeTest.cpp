// Download-pass token code of every statement family, source beside bytes.
#include <gtest/gtest.h>

#include "CompileHelpers.h"

using vxbasic::test::compileSource;
using vxbasic::test::ended;
using vxbasic::test::hex;

namespace {

struct CodeCase {
    const char* source;
    std::vector<uint8_t> bytes;  // without the end byte and padding
};

void expectCode(const std::vector<CodeCase>& cases) {
    for (const CodeCase& c : cases) {
        auto r = compileSource(c.source);
        EXPECT_EQ(r.status, 0u) << c.source << "\n" << r.messages;
        EXPECT_EQ(hex(r.code), hex(ended(c.bytes))) << c.source;
    }
}

TEST(StatementCode, PrintItems) {
    expectCode({
        {"PRINT \"AB\";", {31, 65, 66, 0}},
        {"PRINT", {31, 13, 10, 0}},
        {"PRINT \"a b\",", {31, 97, 32, 98, 0, 31, 9, 0}},
        {"DEFINE X BYTE\nDEFINE Y BYTE\nPRINT X, Y", {22, 0, 30, 31, 9, 0, 22, 1, 30, 31, 13, 10, 0}},
        {"DEFINE X BYTE\nPRINT X X", {22, 0, 30, 31, 13, 10, 0, 22, 0, 30, 31, 13, 10, 0}},
        {"PRINT 1; \"=\"", {20, 0, 1, 30, 31, 61, 0, 31, 13, 10, 0}},
    });
}

TEST(StatementCode, Branches) {
    expectCode({
        {"10 GOTO 10", {3, 0, 4}},
        {"#LOOP PRINT 1\nGOTO loop", {20, 0, 1, 30, 31, 13, 10, 0, 3, 0, 4}},
        {"GOSUB 20\nEND\n20 RETURN", {5, 0, 8, 255, 6}},
        {"RETURN 5", {20, 0, 5, 6}},
        {"RETURN INTERRUPT", {7}},
        {"INTERRUPT OFF", {73, 0, 0}},
        {"INTERRUPT 10\n10 RETURN INTERRUPT", {73, 0, 7, 7}},
        {"FAR\n#FAR END", {3, 0, 7, 255}},
        {"DEFINE A BYTE\nIF A THEN END", {22, 0, 4, 0, 10, 255}},
        {"DEFINE A BYTE\nDEFINE B BYTE\nIF A = 1 THEN B = 2 ELSE B = 3",
         {22, 0, 20, 0, 1, 64, 4, 0, 21, 20, 0, 2, 25, 1, 3, 0, 26, 20, 0, 3, 25, 1}},
        {"DEFINE A BYTE\nIF A THEN RETURN ELSE END", {22, 0, 4, 0, 13, 6, 3, 0, 14, 255}},
        {"DEFINE A BYTE\nON A GOTO 10, 20\n10 END\n20 END",
         {22, 0, 20, 0, 0, 64, 4, 0, 16, 3, 0, 28, 22, 0, 20, 0, 1, 64, 4, 0, 28, 3, 0, 29, 255, 255}},
        {"DEFINE A BYTE\nON A GOSUB 10\n10 END", {22, 0, 20, 0, 0, 64, 4, 0, 16, 5, 0, 16, 255}},
        {"RETRY END", {255}},
    });
}

TEST(StatementCode, Loops) {
    expectCode({
        {"DEFINE I BYTE\nFOR I = 1 TO 3\nNEXT",
         {20, 0, 1, 25, 0, 20, 0, 3, 74, 0, 0, 23, 20, 0, 1, 76, 0, 0, 9}},
        {"DEFINE I WORD\nFOR I = 10 TO 0 STEP -2\nNEXT",
         {20, 0, 10, 26, 0, 20, 0, 0, 75, 0, 0, 24, 20, 0, 2, 50, 77, 0, 0, 9}},
        // The rest of the FOR line is compiled at NEXT, after the loop.
        {"DEFINE I BYTE\nFOR I = 1 TO 10 : PRINT I\nNEXT",
         {20, 0, 1, 25, 0, 20, 0, 10, 74, 0, 0, 23, 20, 0, 1, 76, 0, 0, 9, 22, 0, 30, 31, 13, 10, 0}},
        {"DEFINE I BYTE\nFOR I = 1 TO 2\nNEXT : END", {20, 0, 1, 25, 0, 20, 0, 2, 74, 0, 0, 23, 20, 0, 1, 76, 0, 0, 9}},
        {"DEFINE A BIT[1]\nWAIT A", {21, 0, 4, 0, 4}},
        {"PAUSE 10", {20, 0, 10, 2}},
    });
}

TEST(StatementCode, InputOutputAndFile) {
    expectCode({
        {"DEFINE A WORD\nGET A\nINPUT A\nPUT A + 1", {34, 26, 0, 35, 26, 0, 23, 0, 20, 0, 1, 51, 32}},
        {"HANDSHAKE 1\nBAUD R9600\nSLOWMODE &H10", {36, 1, 72, 192, 9, 16}},
        {"OPEN#", {70, 2}},
        {"OPEN# FOR READ\nOPEN# FOR WRITE\nOPEN# FOR APPEND\nCLOSE#", {70, 1, 70, 2, 70, 3, 70, 4}},
        {"DEFINE A BYTE\nPRINT# A\nINPUT# A", {22, 0, 70, 5, 70, 6, 25, 0}},
        {"RANDOMIZE 0\nEND", {20, 0, 0, 48, 255}},
        {"BEEP OFF", {20, 0, 0, 29, 8}},
        {"BEEP 100, 10, 5", {20, 0, 100, 29, 8, 20, 0, 10, 2, 4, 0, 21, 20, 0, 0, 29, 8, 20, 0, 5, 2}},
        {"SYS &H1000", {8, 16, 0}},
        {"SYS 256 1, 2", {20, 0, 1, 20, 0, 2, 8, 1, 0}},
    });
}

TEST(StatementCode, TablesInline) {
    expectCode({
        {"DEFINE A BYTE\nLOOKTAB T, 2, A\nEND\nTABLE T 1 2 TABEND",
         {20, 0, 2, 27, 0, 13, 25, 0, 255, 0, 1, 0, 2}},
        {"TABLE T 1\n2, &HFFFF\n-1 TABEND : END", {0, 1, 0, 2, 255, 255, 255, 255, 255}},
    });
}

TEST(StatementCode, PortsAndVariableKinds) {
    expectCode({
        {"DEFINE P PORT[3]\nDEFINE BP BYTEPORT[2]\nDEFINE WP WORDPORT[1]\nDEACT P\nDEACT BP\nDEACT WP\nTOG P\nPULSE P",
         {82, 2, 83, 1, 84, 80, 2, 81, 2}},
        {"DEFINE B1 BIT[9]\nB1 = ON\nB1 = B1", {20, 255, 255, 24, 8, 21, 8, 24, 8}},
        {"DEFINE P PORT[1]\nDEFINE BP BYTEPORT[1]\nP = 1\nBP = BP", {20, 0, 1, 13, 0, 11, 0, 14, 0}},
        {"DEFINE W WORDPORT[1]\nW = W", {12, 15}},
        {"DEFINE X AD[2]\nDEFINE Y BYTE\nY = X\nX = 5", {16, 1, 25, 0, 20, 0, 5}},
        {"DEFINE D DA[2]\nD = 7\nD = D", {20, 0, 7, 17, 1, 17, 1}},
        {"HOUR = 3\nTICKS = FREQ", {20, 0, 3, 29, 4, 28, 9, 29, 8}},
        {"DEFINE A WORD\nDEFINE B A\nB = TIMER", {28, 7, 26, 0}},
        {"DEFINE K -1\nDEFINE A WORD\nA = K", {20, 255, 255, 26, 0}},
    });
}

TEST(StatementCode, AutomaticRamPlacement) {
    auto r = compileSource("DEFINE A BYTE\nDEFINE B WORD\nDEFINE D BYTE\nA = B + D");
    EXPECT_EQ(hex(r.code), hex(ended({23, 1, 22, 4, 51, 25, 0})));
}

TEST(ExpressionCode, PrecedenceAndOperators) {
    const char* prelude = "DEFINE A WORD\n";
    struct Op {
        const char* expr;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Op> ops = {
        {"1 + 2 * 3", {20, 0, 1, 20, 0, 2, 20, 0, 3, 53, 51}},
        {"(1 + 2) * 3", {20, 0, 1, 20, 0, 2, 51, 20, 0, 3, 53}},
        {"1 OR 2 AND 3", {20, 0, 1, 20, 0, 2, 20, 0, 3, 41, 43}},
        {"A - 1 - 2", {23, 0, 20, 0, 1, 52, 20, 0, 2, 52}},
        {"NOT A = 1", {23, 0, 20, 0, 1, 64, 40}},
        {"-A", {23, 0, 50}},
        {"A - -1", {23, 0, 20, 0, 1, 50, 52}},
        {"A / 2 MOD 3", {23, 0, 20, 0, 2, 54, 20, 0, 3, 55}},
        {"A SHL 2 SHR 1", {23, 0, 20, 0, 2, 46, 20, 0, 1, 47}},
        {"A NAND 1 NOR 2 XOR 3", {23, 0, 20, 0, 1, 42, 20, 0, 2, 44, 20, 0, 3, 45}},
        {"A <> 1", {23, 0, 20, 0, 1, 65}},
        {"A >< 1", {23, 0, 20, 0, 1, 65}},
        {"A > 1", {23, 0, 20, 0, 1, 60}},
        {"A >= 1", {23, 0, 20, 0, 1, 61}},
        {"A => 1", {23, 0, 20, 0, 1, 61}},
        {"A < 1", {23, 0, 20, 0, 1, 62}},
        {"A <= 1", {23, 0, 20, 0, 1, 63}},
        {"A =< 1", {23, 0, 20, 0, 1, 63}},
        {"MIN(1, 2) + MAX(A, 3)", {20, 0, 1, 20, 0, 2, 59, 23, 0, 20, 0, 3, 58, 51}},
        {"SQR(16) + ABS(A) + SGN(A)", {20, 0, 16, 57, 23, 0, 56, 51, 23, 0, 66, 51}},
        {"RAND + RXD() + CTS + EOF()", {49, 33, 51, 37, 51, 71, 51}},
        {"&HFF + &B101 + 65535", {20, 0, 255, 20, 0, 5, 51, 20, 255, 255, 51}},
        {"ON + OFF + R1200", {20, 255, 255, 20, 0, 0, 51, 20, 0, 219, 51}},
    };
    for (const Op& op : ops) {
        std::string source = std::string(prelude) + "A = " + op.expr;
        auto bytes = op.bytes;
        bytes.insert(bytes.end(), {26, 0});
        auto r = compileSource(source);
        EXPECT_EQ(r.status, 0u) << op.expr << "\n" << r.messages;
        EXPECT_EQ(hex(r.code), hex(ended(bytes))) << op.expr;
    }
}

TEST(ExpressionCode, UnknownWordCallsItsLabel) {
    auto r = compileSource("DEFINE A WORD\nA = F\nEND\n#F RETURN 7");
    EXPECT_EQ(hex(r.code), hex(ended({5, 0, 10, 26, 0, 255, 20, 0, 7, 6})));
}

}  // namespace
