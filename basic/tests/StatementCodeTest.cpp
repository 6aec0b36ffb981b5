// Download-pass token code of every statement family, source beside its listing.
#include <gtest/gtest.h>

#include "CompileHelpers.h"

using vexa::vxbasic::test::compileSource;
using vexa::vxbasic::test::endedListing;
using vexa::vxbasic::test::listing;

namespace {

struct CodeCase {
  const char* source;
  std::vector<std::string> code;  // without the end byte and padding
};

void expectCode(const std::vector<CodeCase>& cases) {
  for (const CodeCase& c : cases) {
    auto r = compileSource(c.source);
    EXPECT_EQ(r.status, 0u) << c.source << "\n" << r.messages;
    EXPECT_EQ(listing(r.code), endedListing(c.code)) << c.source;
  }
}

TEST(StatementCode, PrintItems) {
  expectCode({
      {"PRINT \"AB\";", {R"(0004 PrintText "AB")"}},
      {"PRINT", {R"(0004 PrintText "\r\n")"}},
      {"PRINT \"a b\",", {R"(0004 PrintText "a b")", R"(0009 PrintText "\t")"}},
      {"DEFINE X BYTE\nDEFINE Y BYTE\nPRINT X, Y",
       {"0004 LoadByte 0", "0006 PrintNumber", R"(0007 PrintText "\t")", "000A LoadByte 1",
        "000C PrintNumber", R"(000D PrintText "\r\n")"}},
      {"DEFINE X BYTE\nPRINT X X",
       {"0004 LoadByte 0", "0006 PrintNumber", R"(0007 PrintText "\r\n")", "000B LoadByte 0",
        "000D PrintNumber", R"(000E PrintText "\r\n")"}},
      {"PRINT 1; \"=\"",
       {"0004 Push 1", "0007 PrintNumber", R"(0008 PrintText "=")", R"(000B PrintText "\r\n")"}},
  });
}

TEST(StatementCode, GotoGosubReturnIfOnInterrupt) {
  expectCode({
      {"10 GOTO 10", {"0004 Jump 0004"}},
      {"#LOOP PRINT 1\nGOTO loop",
       {"0004 Push 1", "0007 PrintNumber", R"(0008 PrintText "\r\n")", "000C Jump 0004"}},
      {"GOSUB 20\nEND\n20 RETURN", {"0004 Gosub 0008", "0007 End", "0008 Return"}},
      {"RETURN 5", {"0004 Push 5", "0007 Return"}},
      {"RETURN INTERRUPT", {"0004 ReturnInterrupt"}},
      {"INTERRUPT OFF", {"0004 Interrupt 0000"}},
      {"INTERRUPT 10\n10 RETURN INTERRUPT", {"0004 Interrupt 0007", "0007 ReturnInterrupt"}},
      {"FAR\n#FAR END", {"0004 Jump 0007", "0007 End"}},
      {"DEFINE A BYTE\nIF A THEN END", {"0004 LoadByte 0", "0006 JumpIfZero 000A", "0009 End"}},
      {"DEFINE A BYTE\nDEFINE B BYTE\nIF A = 1 THEN B = 2 ELSE B = 3",
       {"0004 LoadByte 0", "0006 Push 1", "0009 Equal", "000A JumpIfZero 0015", "000D Push 2",
        "0010 StoreByte 1", "0012 Jump 001A", "0015 Push 3", "0018 StoreByte 1"}},
      {"DEFINE A BYTE\nIF A THEN RETURN ELSE END",
       {"0004 LoadByte 0", "0006 JumpIfZero 000D", "0009 Return", "000A Jump 000E", "000D End"}},
      {"DEFINE A BYTE\nON A GOTO 10, 20\n10 END\n20 END",
       {"0004 LoadByte 0", "0006 Push 0", "0009 Equal", "000A JumpIfZero 0010", "000D Jump 001C",
        "0010 LoadByte 0", "0012 Push 1", "0015 Equal", "0016 JumpIfZero 001C", "0019 Jump 001D",
        "001C End", "001D End"}},
      {"DEFINE A BYTE\nON A GOSUB 10\n10 END",
       {"0004 LoadByte 0", "0006 Push 0", "0009 Equal", "000A JumpIfZero 0010", "000D Gosub 0010",
        "0010 End"}},
      {"RETRY END", {"0004 End"}},
  });
}

TEST(StatementCode, ForNextWaitPause) {
  expectCode({
      {"DEFINE I BYTE\nFOR I = 1 TO 3\nNEXT",
       {"0004 Push 1", "0007 StoreByte 0", "0009 Push 3", "000C LoopTestByte 0 0017", "0010 Push 1",
        "0013 LoopStepByte 0 0009"}},
      {"DEFINE I WORD\nFOR I = 10 TO 0 STEP -2\nNEXT",
       {"0004 Push 10", "0007 StoreWord 0", "0009 Push 0", "000C LoopTestWord 0 0018",
        "0010 Push 2", "0013 Negate", "0014 LoopStepWord 0 0009"}},
      // The rest of the FOR line is compiled at NEXT, after the loop.
      {"DEFINE I BYTE\nFOR I = 1 TO 10 : PRINT I\nNEXT",
       {"0004 Push 1", "0007 StoreByte 0", "0009 Push 10", "000C LoopTestByte 0 0017",
        "0010 Push 1", "0013 LoopStepByte 0 0009", "0017 LoadByte 0", "0019 PrintNumber",
        R"(001A PrintText "\r\n")"}},
      {"DEFINE I BYTE\nFOR I = 1 TO 2\nNEXT : END",
       {"0004 Push 1", "0007 StoreByte 0", "0009 Push 2", "000C LoopTestByte 0 0017", "0010 Push 1",
        "0013 LoopStepByte 0 0009"}},
      {"DEFINE A BIT[1]\nWAIT A", {"0004 LoadBit 0", "0006 JumpIfZero 0004"}},
      {"PAUSE 10", {"0004 Push 10", "0007 Pause"}},
  });
}

TEST(StatementCode, InputOutputAndFile) {
  expectCode({
      {"DEFINE A WORD\nGET A\nINPUT A\nPUT A + 1",
       {"0004 Get", "0005 StoreWord 0", "0007 Input", "0008 StoreWord 0", "000A LoadWord 0",
        "000C Push 1", "000F Add", "0010 Put"}},
      {"HANDSHAKE 1\nBAUD R9600\nSLOWMODE &H10",
       {"0004 Handshake 1", "0006 Baud 192", "0008 SlowMode 16"}},
      {"OPEN#", {"0004 File 2"}},
      {"OPEN# FOR READ\nOPEN# FOR WRITE\nOPEN# FOR APPEND\nCLOSE#",
       {"0004 File 1", "0006 File 2", "0008 File 3", "000A File 4"}},
      {"DEFINE A BYTE\nPRINT# A\nINPUT# A",
       {"0004 LoadByte 0", "0006 File 5", "0008 File 6", "000A StoreByte 0"}},
      {"RANDOMIZE 0\nEND", {"0004 Push 0", "0007 Randomize", "0008 End"}},
      {"BEEP OFF", {"0004 Push 0", "0007 StoreSystem 8"}},
      {"BEEP 100, 10, 5",
       {"0004 Push 100", "0007 StoreSystem 8", "0009 Push 10", "000C Pause", "000D JumpIfZero 0015",
        "0010 Push 0", "0013 StoreSystem 8", "0015 Push 5", "0018 Pause"}},
      {"SYS &H1000", {"0004 Sys 1000"}},
      {"SYS 256 1, 2", {"0004 Push 1", "0007 Push 2", "000A Sys 0100"}},
  });
}

TEST(StatementCode, TableAndLookTab) {
  expectCode({
      {"DEFINE A BYTE\nLOOKTAB T, 2, A\nEND\nTABLE T 1 2 TABEND",
       {"0004 Push 2", "0007 LookTab 000D", "000A StoreByte 0", "000C End", "000D Word 1 2"}},
      {"TABLE T 1\n2, &HFFFF\n-1 TABEND : END", {"0004 Word 1 2 65535 -1", "000C End"}},
  });
}

TEST(StatementCode, PortsAndVariableKinds) {
  expectCode({
      {"DEFINE P PORT[3]\nDEFINE BP BYTEPORT[2]\nDEFINE WP WORDPORT[1]\nDEACT P\nDEACT BP\nDEACT "
       "WP\nTOG P\nPULSE P",
       {"0004 DeactPort 2", "0006 DeactBytePort 1", "0008 DeactWordPort", "0009 TogglePort 2",
        "000B PulsePort 2"}},
      {"DEFINE B1 BIT[9]\nB1 = ON\nB1 = B1",
       {"0004 Push -1", "0007 StoreBit 8", "0009 LoadBit 8", "000B StoreBit 8"}},
      {"DEFINE P PORT[1]\nDEFINE BP BYTEPORT[1]\nP = 1\nBP = BP",
       {"0004 Push 1", "0007 StorePortBit 0", "0009 LoadBytePort 0", "000B StoreBytePort 0"}},
      {"DEFINE W WORDPORT[1]\nW = W", {"0004 LoadWordPort", "0005 StoreWordPort"}},
      {"DEFINE X AD[2]\nDEFINE Y BYTE\nY = X\nX = 5",
       {"0004 LoadAnalogIn 1", "0006 StoreByte 0", "0008 Push 5"}},
      {"DEFINE D DA[2]\nD = 7\nD = D",
       {"0004 Push 7", "0007 StoreAnalogOut 1", "0009 StoreAnalogOut 1"}},
      {"HOUR = 3\nTICKS = FREQ",
       {"0004 Push 3", "0007 StoreSystem 4", "0009 LoadSystem 9", "000B StoreSystem 8"}},
      {"DEFINE A WORD\nDEFINE B A\nB = TIMER", {"0004 LoadSystem 7", "0006 StoreWord 0"}},
      {"DEFINE K -1\nDEFINE A WORD\nA = K", {"0004 Push -1", "0007 StoreWord 0"}},
  });
}

TEST(StatementCode, AutomaticRamPlacement) {
  auto r = compileSource("DEFINE A BYTE\nDEFINE B WORD\nDEFINE D BYTE\nA = B + D");
  EXPECT_EQ(listing(r.code),
            endedListing({"0004 LoadWord 1", "0006 LoadByte 4", "0008 Add", "0009 StoreByte 0"}));
}

TEST(ExpressionCode, PrecedenceAndOperators) {
  const char* prelude = "DEFINE A WORD\n";
  struct Case {
    const char* expr;
    std::vector<std::string> code;  // before the store into A
  };
  const std::vector<Case> cases = {
      {"1 + 2 * 3", {"0004 Push 1", "0007 Push 2", "000A Push 3", "000D Multiply", "000E Add"}},
      {"(1 + 2) * 3", {"0004 Push 1", "0007 Push 2", "000A Add", "000B Push 3", "000E Multiply"}},
      {"1 OR 2 AND 3", {"0004 Push 1", "0007 Push 2", "000A Push 3", "000D And", "000E Or"}},
      {"A - 1 - 2",
       {"0004 LoadWord 0", "0006 Push 1", "0009 Subtract", "000A Push 2", "000D Subtract"}},
      {"NOT A = 1", {"0004 LoadWord 0", "0006 Push 1", "0009 Equal", "000A Not"}},
      {"-A", {"0004 LoadWord 0", "0006 Negate"}},
      {"A - -1", {"0004 LoadWord 0", "0006 Push 1", "0009 Negate", "000A Subtract"}},
      {"A / 2 MOD 3",
       {"0004 LoadWord 0", "0006 Push 2", "0009 Divide", "000A Push 3", "000D Modulo"}},
      {"A SHL 2 SHR 1", {"0004 LoadWord 0", "0006 Push 2", "0009 Shl", "000A Push 1", "000D Shr"}},
      {"A NAND 1 NOR 2 XOR 3",
       {"0004 LoadWord 0", "0006 Push 1", "0009 Nand", "000A Push 2", "000D Nor", "000E Push 3",
        "0011 Xor"}},
      {"A <> 1", {"0004 LoadWord 0", "0006 Push 1", "0009 NotEqual"}},
      {"A >< 1", {"0004 LoadWord 0", "0006 Push 1", "0009 NotEqual"}},
      {"A > 1", {"0004 LoadWord 0", "0006 Push 1", "0009 Greater"}},
      {"A >= 1", {"0004 LoadWord 0", "0006 Push 1", "0009 GreaterEqual"}},
      {"A => 1", {"0004 LoadWord 0", "0006 Push 1", "0009 GreaterEqual"}},
      {"A < 1", {"0004 LoadWord 0", "0006 Push 1", "0009 Less"}},
      {"A <= 1", {"0004 LoadWord 0", "0006 Push 1", "0009 LessEqual"}},
      {"A =< 1", {"0004 LoadWord 0", "0006 Push 1", "0009 LessEqual"}},
      {"MIN(1, 2) + MAX(A, 3)",
       {"0004 Push 1", "0007 Push 2", "000A Min", "000B LoadWord 0", "000D Push 3", "0010 Max",
        "0011 Add"}},
      {"SQR(16) + ABS(A) + SGN(A)",
       {"0004 Push 16", "0007 Sqr", "0008 LoadWord 0", "000A Abs", "000B Add", "000C LoadWord 0",
        "000E Sgn", "000F Add"}},
      {"RAND + RXD() + CTS + EOF()",
       {"0004 Rand", "0005 Rxd", "0006 Add", "0007 Cts", "0008 Add", "0009 Eof", "000A Add"}},
      {"&HFF + &B101 + 65535",
       {"0004 Push 255", "0007 Push 5", "000A Add", "000B Push -1", "000E Add"}},
      {"ON + OFF + R1200",
       {"0004 Push -1", "0007 Push 0", "000A Add", "000B Push 219", "000E Add"}},
  };
  for (const Case& c : cases) {
    std::string source = std::string(prelude) + "A = " + c.expr;
    auto code = c.code;
    code.push_back("StoreWord 0");
    auto r = compileSource(source);
    EXPECT_EQ(r.status, 0u) << c.expr << "\n" << r.messages;
    EXPECT_EQ(listing(r.code), endedListing(code)) << c.expr;
  }
}

TEST(ExpressionCode, UnknownWordCallsItsLabel) {
  auto r = compileSource("DEFINE A WORD\nA = F\nEND\n#F RETURN 7");
  EXPECT_EQ(listing(r.code), endedListing({"0004 Gosub 000A", "0007 StoreWord 0", "0009 End",
                                           "000A Push 7", "000D Return"}));
}

}  // namespace
