// Pass driver: line markers, line infos, breakpoints, symbol map, labels,
// limits and the German message lines.
#include <gtest/gtest.h>

#include "CompileHelpers.h"
#include "Symbols.h"

using vexa::vxbasic::isValidBreakPoint;
using vexa::vxbasic::test::compileSource;
using vexa::vxbasic::test::endedListing;
using vexa::vxbasic::test::hex;
using vexa::vxbasic::test::listing;

namespace {

TEST(CompilerPass, EmptySourceGivesEndByteAndPad) {
  auto r = compileSource("");
  EXPECT_EQ(r.status, 0u);
  EXPECT_EQ(r.code.size(), 2u);
  const auto& mem = r.instance->programMemory;
  EXPECT_EQ(hex({mem[0], mem[1], mem[2], mem[3]}), hex({0, 2, 0, 0}));
  EXPECT_EQ(listing({mem[4], mem[5]}), (std::vector<std::string>{"0004 End", "0005 Nop"}));
  EXPECT_TRUE(r.lineInfos.empty());
}

TEST(CompilerPass, PassOneMarksEveryStatement) {
  struct Case {
    const char* source;
    std::vector<std::string> pass1;
  };
  const std::vector<Case> cases = {
      {"PRINT 1",
       {"0004 LineMarker 1", "0007 Push 1", "000A PrintNumber", R"(000B PrintText "\r\n")"}},
      {"DEFINE A BIT[1]\nWAIT A",
       {"0004 LineMarker 2", "0007 Nop", "0008 WaitMark", "0009 LoadBit 0",
        "000B JumpIfZero 0008"}},
      {"DEFINE A BYTE\nIF A THEN END",
       {"0004 LineMarker 2", "0007 LoadByte 0", "0009 JumpIfZero 0010", "000C LineMarker 2",
        "000F End"}},
      {"\n\nEND : END", {"0004 LineMarker 3", "0007 End", "0008 LineMarker 3", "000B End"}},
      {"#X END\nRETRY GOTO X",
       {"0004 LineMarker 1", "0007 End", "0008 LineMarker 2", "000B Jump 0004"}},
  };
  for (const Case& c : cases) {
    auto r = compileSource(c.source);
    EXPECT_EQ(r.status, 0u) << c.source << r.messages;
    EXPECT_EQ(listing(r.pass1), endedListing(c.pass1)) << c.source;
    std::size_t length =
        std::size_t{r.instance->programMemory[0]} << 8 | r.instance->programMemory[1];
    EXPECT_EQ(length, r.pass1.size());
  }
}

TEST(CompilerPass, LineInfosAndBreakpoints) {
  auto r = compileSource(
      "DEFINE A BYTE\r\nA = 1 ' set\r\n' only a comment\r\n#L\r\n#M A = 2\r\nNEXT\r\n");
  ASSERT_EQ(r.lineInfos.size(), 6u);
  EXPECT_EQ(hex(r.lineInfos), hex({0, 1, 0, 0, 1, 0x80}));
  r = compileSource("DEFINE A BYTE\nA = 1 ' set\n\n#M A = 2\nEND");
  ASSERT_EQ(r.status, 0u);
  const auto& inst = *r.instance;
  EXPECT_FALSE(isValidBreakPoint(inst, 1));
  EXPECT_TRUE(isValidBreakPoint(inst, 2));
  EXPECT_FALSE(isValidBreakPoint(inst, 3));
  EXPECT_TRUE(isValidBreakPoint(inst, 4));
  EXPECT_TRUE(isValidBreakPoint(inst, 5));
}

TEST(CompilerPass, LongLinesKeepTheirNumbers) {
  std::string source =
      "PRINT \"" + std::string(3000, 'a') + "\"\n" + std::string(5000, ' ') + "NEXT\n";
  auto r = compileSource(source);
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : NEXT ohne FOR\r\n");
  ASSERT_EQ(r.lineInfos.size(), 2u);
  EXPECT_EQ(r.lineInfos[1], 0x80);
}

TEST(CompilerPass, SymbolMapGetsEveryVariable) {
  auto r = compileSource(
      "DEFINE LED PORT[1]\nDEFINE A BYTE\nDEFINE W WORD\nDEFINE F BIT[10]\n"
      "DEFINE BP BYTEPORT[2]\nDEFINE WP WORDPORT[1]\nDEFINE X AD[3]\nDEFINE D DA[2]\n"
      "DEFINE K 5\nDEFINE R PORT[1] AT 3");
  ASSERT_EQ(r.status, 0u) << r.messages;
  const std::pair<const char*, uint32_t> expected[] = {
      {"LED", 0x03020000u},
      {"A", 0x02010000u},
      {"W", 0x01010001u},
      {"F", 0x03010009u},
      {"BP", 0x02020001u},
      {"WP", 0x01020000u},
      {"X", 0x02030002u},
      {"D", 0x02040001u},
      {"YEAR", 0x02050000u},
      {"SECOND", 0x02050006u},
      {"TIMER", 0x01050007u},
      {"FREQ", 0x01050009u},
      {"FILEFREE", 0x0105000Bu},
      {"R", 0u},
      {"K", 0xDEADu},  // constants are no symbols
  };
  for (const auto& [name, mapCode] : expected)
    EXPECT_EQ(r.instance->symbolMap.find(name).value_or(0xDEAD), mapCode) << name;
}

struct MessageCase {
  const char* source;
  const char* message;  // the first message line
};

TEST(CompilerMessages, GermanTextsWordForWord) {
  const std::vector<MessageCase> cases = {
      {"OPEN# FOR SAVE", "BASIC-Modul (1) : READ/WRITE/APPEND erwartet\r\n"},
      {"DEFINE A BYTE\nA 5", "BASIC-Modul (2) : = erwartet\r\n"},
      {"DEFINE A WORD\nA = MIN(1 2)", "BASIC-Modul (2) : , erwartet\r\n"},
      {"DEFINE A WORD\nA = (1", "BASIC-Modul (2) : ) erwartet\r\n"},
      {"DEFINE X BIT[3", "BASIC-Modul (1) : ] erwartet\r\n"},
      {"TABLE T \"t.txt", "BASIC-Modul (1) : \" erwartet\r\n"},
      {"DEFINE I BYTE\nFOR I = 1 UNTIL 2", "BASIC-Modul (2) : TO erwartet\r\n"},
      {"IF 1 PRINT", "BASIC-Modul (1) : THEN erwartet\r\n"},
      {"DEFINE A BYTE\nIF A THEN A = 1 A = 2", "BASIC-Modul (2) : ELSE erwartet\r\n"},
      {"DEFINE X PORT[1] ON 3", "BASIC-Modul (1) : AT erwartet\r\n"},
      {"NETWORK ME = 1", "BASIC-Modul (1) : SELF erwartet\r\n"},
      {"NETWORK SELF = 1 SLOT = 2", "BASIC-Modul (1) : MAILSLOT erwartet\r\n"},
      {"DEFINE X BIT", "BASIC-Modul (1) : Bitnummer erwartet\r\n"},
      {"END END", "BASIC-Modul (1) : Zeilenende erwartet\r\n"},
      {"PRINT )", "BASIC-Modul (1) : Zeilenende erwartet\r\n"},
      {"DEFINE A", "BASIC-Modul (1) : unerwartetes Zeilenende\r\n"},
      {"PRINT \"open", "BASIC-Modul (1) : unerwartetes Zeilenende\r\n"},
      {"FOR", "BASIC-Modul (1) : unerwartetes Anweisungsende\r\n"},
      {"LOOKTAB : END", "BASIC-Modul (1) : unerwartetes Anweisungsende\r\n"},
      {"GET", "BASIC-Modul (1) : Variable erwartet\r\n"},
      {"INPUT COUNT", "BASIC-Modul (1) : COUNT ist nicht als Variable definiert\r\n"},
      {"FOR X = 1 TO 2", "BASIC-Modul (1) : X ist nicht als Variable definiert\r\n"},
      {"X = 1", "BASIC-Modul (1) : X ist nicht als Variable definiert\r\n"},
      {"DEFINE P BYTE\nTOG P", "BASIC-Modul (2) : Bitportvariable erwartet\r\n"},
      {"DEFINE P PORT[2] AT 12\nDEACT P", "BASIC-Modul (2) : Bitportvariable erwartet\r\n"},
      {"HANDSHAKE X", "BASIC-Modul (1) : Konstante erwartet\r\n"},
      {"DEFINE X BIT[]", "BASIC-Modul (1) : Konstante erwartet\r\n"},
      {"DEFINE A BYTE\nON A GOLF 10", "BASIC-Modul (2) : GOSUB/GOTO erwartet\r\n"},
      {"NEXT", "BASIC-Modul (1) : NEXT ohne FOR\r\n"},
      {"DEFINE X FOO", "BASIC-Modul (1) : undefinierter Bezeichner X\r\n"},
      {"DEFINE 1X BYTE", "BASIC-Modul (1) : kein gueltiger Bezeichnername\r\n"},
      {"DEFINE on BYTE", "BASIC-Modul (1) : mehrfach definierter Bezeichner ON\r\n"},
      {"DEFINE Year BYTE", "BASIC-Modul (1) : mehrfach definierter Bezeichner YEAR\r\n"},
      {"GOTO NOWHERE", "BASIC-Modul (1) : undefiniertes Label NOWHERE\r\n"},
      {"GOTO __label_99", "BASIC-Modul (1) : undefiniertes Label __LABEL_99\r\n"},
      {"DEFINE A BYTE\n\nA = FOO", "BASIC-Modul (3) : undefiniertes Label FOO\r\n"},
      {"#LOOP: PRINT 1", "BASIC-Modul (1) : undefiniertes Label \r\n"},
      {"10 GOTO 10\n10 END", "BASIC-Modul (2) : mehrfach definiertes Label 10\r\n"},
      {"#A END\n#a END", "BASIC-Modul (2) : mehrfach definiertes Label #A\r\n"},
      {"DEFINE X BIT[193]", "BASIC-Modul (1) : 193 nicht im gueltigen Bereich\r\n"},
      {"DEFINE X BYTE[0]", "BASIC-Modul (1) : 0 nicht im gueltigen Bereich\r\n"},
      {"DEFINE X DA[3]", "BASIC-Modul (1) : 3 nicht im gueltigen Bereich\r\n"},
      {"NETWORK SELF = 1 MAILSLOT = 20", "BASIC-Modul (1) : 20 nicht im gueltigen Bereich\r\n"},
      {"DEFINE I PORT[1]\nFOR I = 0 TO 1", "BASIC-Modul (2) : Variable erwartet\r\n"},
      {"FOR 5 TO 2", "BASIC-Modul (1) : Syntaxfehler\r\n"},
      {"GETMAIL", "BASIC-Modul (1) : kein MAILSLOT definiert\r\n"},
  };
  for (const MessageCase& c : cases) {
    auto r = compileSource(c.source);
    EXPECT_EQ(r.status & 0xFFFF, 1u) << c.source;
    EXPECT_EQ(r.messages.substr(0, r.messages.find('\n') + 1), c.message) << c.source;
  }
}

TEST(CompilerMessages, StatusCountsErrorsAndMarksLines) {
  auto r = compileSource("NEXT\nPRINT 1\nGOTO NOWHERE\nEND END");
  EXPECT_EQ(r.status, (3u << 16) | 1u);
  EXPECT_EQ(r.messages,
            "BASIC-Modul (1) : NEXT ohne FOR\r\n"
            "BASIC-Modul (4) : Zeilenende erwartet\r\n"
            "BASIC-Modul (3) : undefiniertes Label NOWHERE\r\n");
  EXPECT_EQ(hex(r.lineInfos), hex({0x80, 1, 0x81, 0x80}));
  // The labels of an abandoned IF stay open without a further message.
  r = compileSource("DEFINE A BYTE\nIF A THEN A 5");
  EXPECT_EQ(r.status, (1u << 16) | 1u);
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : = erwartet\r\n");
}

TEST(CompilerMessages, FullBufferEndsTheCompile) {
  auto r = compileSource("NEXT\nNEXT\nNEXT", nullptr, 20);
  EXPECT_EQ(r.status, (1u << 16) | 1u);
  EXPECT_EQ(r.messages, "BASIC-Modul (1) : N");
  EXPECT_EQ(r.lineInfos.size(), 1u);
}

TEST(CompilerMessages, NoBufferMeansNoRoom) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}}) {
    auto r = compileSource("NEXT\nNEXT", nullptr, size);
    EXPECT_EQ(r.status, (1u << 16) | 1u) << size;
    EXPECT_EQ(r.messages, "");
  }
  vexa::vxbasic::QuorinInstance inst;
  std::string source = "NEXT\nNEXT";
  inst.source = source.c_str();
  inst.messages.set(nullptr, 100);
  EXPECT_EQ(compile(inst, nullptr), (1u << 16) | 1u);
}

TEST(CompilerMessages, CleanRecompileEmptiesTheText) {
  vexa::vxbasic::QuorinInstance inst;
  char buffer[256];
  inst.messages.set(buffer, sizeof buffer);
  std::string bad = "NEXT";
  inst.source = bad.c_str();
  EXPECT_EQ(compile(inst, nullptr) & 0xFFFF, 1u);
  EXPECT_STRNE(buffer, "");
  std::string good = "END";
  inst.source = good.c_str();
  EXPECT_EQ(compile(inst, nullptr), 0u);
  EXPECT_STREQ(buffer, "");
}

TEST(CompilerLimits, ProgramTooLongStopsAtItsLine) {
  std::string source;
  for (int i = 0; i < 9000; ++i) source += "PAUSE 1\n";
  auto r = compileSource(source);
  EXPECT_EQ(r.status, (1u << 16) | 1u);
  EXPECT_EQ(r.messages, "BASIC-Modul (8572) : Programm zu lang\r\n");
  EXPECT_EQ(r.lineInfos.size(), 8572u);
}

TEST(CompilerLimits, CodeNearTheLimitStaysInProgramMemory) {
  // 29997 table words: pass-1 code of 59998 bytes, more than program memory holds behind its
  // header.
  std::string source = "TABLE T\n";
  for (int line = 0; line < 29997 / 99; ++line) {
    for (int i = 0; i < 99; ++i) source += "7 ";
    source += "\n";
  }
  for (int i = 0; i < 29997 % 99; ++i) source += "7 ";
  source += "TABEND\n";
  auto r = compileSource(source);
  ASSERT_EQ(r.status, 0u) << r.messages;
  const auto& mem = r.instance->programMemory;
  EXPECT_EQ(std::size_t{mem[0]} << 8 | mem[1], 59998u);
  EXPECT_EQ(mem[59998], 7);
  EXPECT_EQ(r.code.size(), 59996u);
}

TEST(CompilerLimits, DeepNestingIsRefusedNotOverflowed) {
  auto r = compileSource("DEFINE A WORD\nA = " + std::string(100000, '(') + "1" +
                         std::string(100000, ')'));
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : Syntaxfehler\r\n");
  std::string ifs;
  for (int i = 0; i < 50000; ++i) ifs += "IF A THEN ";
  r = compileSource("DEFINE A WORD\n" + ifs + "A = 1");
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : Syntaxfehler\r\n");
  std::string calls;
  for (int i = 0; i < 50000; ++i) calls += "ABS(";
  r = compileSource("DEFINE A WORD\nA = " + calls + "1");
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : Syntaxfehler\r\n");
  r = compileSource("DEFINE A WORD\nA = " + std::string(150, '(') + "1" + std::string(150, ')'));
  EXPECT_EQ(r.status, 0u) << r.messages;
}

TEST(CompilerLimits, SystemCodeTooLong) {
  std::string source = "SYSCODE\n";
  for (int i = 0; i < 300; ++i) source += "1\n";
  source += "SYSEND";
  auto r = compileSource(source);
  EXPECT_EQ(r.messages, "BASIC-Modul (256) : Assemblerprogramm zu lang\r\n");
  source = "SYSCODE\n1, 2\n&H1FF SYSEND\nEND";
  r = compileSource(source);
  ASSERT_EQ(r.status, 0u) << r.messages;
  EXPECT_EQ(hex(r.sysCode), hex({1, 2, 255}));
}

TEST(CompilerLimits, AutomaticPlacementStaysInVariableRam) {
  std::string source;
  for (int i = 0; i < 24; ++i) source += "DEFINE B" + std::to_string(i) + " BYTE\n";
  EXPECT_EQ(compileSource(source).status, 0u);
  EXPECT_EQ(compileSource(source + "DEFINE B24 BYTE").messages,
            "BASIC-Modul (25) : 25 nicht im gueltigen Bereich\r\n");
  source.clear();
  for (int i = 0; i < 12; ++i) source += "DEFINE W" + std::to_string(i) + " WORD\n";
  EXPECT_EQ(compileSource(source + "DEFINE W12 WORD").messages,
            "BASIC-Modul (13) : 13 nicht im gueltigen Bereich\r\n");
}

TEST(Constants, Forms) {
  vexa::vxbasic::NameTable<uint16_t> constants;
  constants.add("ON", 65535);
  struct Case {
    const char* word;
    int value;  // -1: no constant
  };
  const Case cases[] = {{"12", 12},  {"-12", 65524}, {"&H1F", 31}, {"&B101", 5}, {"ON", 65535},
                        {"-ON", 1},  {"65536", 0},   {"", -1},     {"-", -1},    {"&H", -1},
                        {"12A", -1}, {"&B102", -1},  {"&HFG", -1}, {"X", -1}};
  for (const Case& c : cases) {
    auto v = vexa::vxbasic::parseConstant(c.word, constants);
    EXPECT_EQ(v ? static_cast<int>(*v) : -1, c.value) << c.word;
  }
}

}  // namespace
