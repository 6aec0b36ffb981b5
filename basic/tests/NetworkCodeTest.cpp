// NETWORK declaration, network statements and variables, and the routines
// appended after the end byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "CompileHelpers.h"
#include "TokenCode.h"

using vexa::vxbasic::test::compileSource;
using vexa::vxbasic::test::listing;

namespace {

using Lines = std::vector<std::string>;

std::string hex4(unsigned address) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", address);
  return text;
}

// The listing lines from the one at `address` on, `count` of them.
Lines linesFrom(const Lines& code, unsigned address, std::size_t count) {
  auto first = std::find_if(code.begin(), code.end(), [&](const std::string& line) {
    return line.compare(0, 4, hex4(address)) == 0;
  });
  if (static_cast<std::size_t>(code.end() - first) < count) return {};
  return Lines(first, first + static_cast<long>(count));
}

// The routines without a mail slot as assembler lines, starting at address a.
Lines routinesWithoutMailSlot(uint16_t a) {
  const uint16_t ignore2 = static_cast<uint16_t>(a + 35 + 3 + 5 + 8 + 9);
  return {// wakeup
          "Push 0", "Push 2", "Pause", "And", "Push 170", "Put", "And", "Get", "And", "Get", "And",
          "Get", "And", "Get", "And", "Get", "And", "Get", "And", "Get", "And", "Get", "And",
          "Push 2", "Pause", "And", "Return",
          // onerror
          "Jump " + hex4(ignore2),
          // send3bytes, send6bytes, ignore4, ignore2
          "Put", "Put", "Put", "And", "Return", "Put", "Put", "Put", "Put", "Put", "Put", "And",
          "Return", "Get", "And", "Get", "And", "Get", "And", "Get", "And", "Return", "Get", "Get",
          "Get", "Get", "Get", "Get", "Get", "Return"};
}

Lines withRoutines(Lines lines, uint16_t a) {
  Lines routines = routinesWithoutMailSlot(a);
  lines.insert(lines.end(), routines.begin(), routines.end());
  return lines;
}

// Code given as assembler lines, as its listing.
Lines assembled(const Lines& lines) { return listing(vexa::basic::assemble(lines)); }

TEST(NetworkCode, NoNetworkUseAppendsNothing) {
  auto r = compileSource("NETWORK SELF = 3\nEND");
  EXPECT_EQ(listing(r.code), (Lines{"0004 End", "0005 End"}));
}

TEST(NetworkCode, GetMailWithMailSlot) {
  auto r = compileSource("NETWORK SELF = 2 MAILSLOT = 1\nGETMAIL\nEND\n#ONMAIL RETURN");
  ASSERT_EQ(r.status, 0u) << r.messages;
  const Lines expected = {
      "0004 Gosub 001D", "0007 Put", "0008 Push 2", "000B Put", "000C Put", "000D And", "000E Put",
      "000F Put", "0010 Put", "0011 Put", "0012 Put", "0013 Get", "0014 Gosub 0066",
      "0017 Gosub 006E", "001A End", "001B Return", "001C End",
      // wakeup
      "001D Push 0", "0020 Push 2", "0023 Pause", "0024 And", "0025 Push 170", "0028 Put",
      "0029 And", "002A Get", "002B StoreByte 0", "002D And", "002E Get", "002F And", "0030 Get",
      "0031 StoreByte 1", "0033 And", "0034 Get", "0035 And", "0036 Get", "0037 StoreByte 2",
      "0039 And", "003A Get", "003B StoreByte 3", "003D And", "003E Get", "003F StoreByte 4",
      "0041 And", "0042 Get", "0043 And", "0044 Push 2", "0047 Pause", "0048 And", "0049 Return",
      // onerror
      "004A Gosub 0066", "004D Jump 006E",
      // send3bytes, send6bytes, ignore4, ignore2
      "0050 Put", "0051 Put", "0052 Put", "0053 And", "0054 Return", "0055 Put", "0056 Put",
      "0057 Put", "0058 Put", "0059 Put", "005A Put", "005B And", "005C Return", "005D Get",
      "005E And", "005F Get", "0060 And", "0061 Get", "0062 And", "0063 Get", "0064 And",
      "0065 Return", "0066 Get", "0067 Get", "0068 Get", "0069 Get", "006A Get", "006B Get",
      "006C Get", "006D Return",
      // checkmail and nomail
      "006E LoadByte 0", "0070 JumpIfZero 0076", "0073 Jump 001B", "0076 Return", "0077 Nop"};
  EXPECT_EQ(listing(r.code), expected);
}

TEST(NetworkCode, MailSlotNeedsOnMailLabel) {
  auto r = compileSource("NETWORK SELF = 2 MAILSLOT = 1\nGETMAIL");
  EXPECT_EQ(r.messages, "BASIC-Modul (2) : undefiniertes Label ONMAIL\r\n");
}

TEST(NetworkCode, RemotePortStoreFarStation) {
  auto r = compileSource("NETWORK SELF = 1\nDEFINE R PORT[2] AT 2\nR = 1\nEND");
  ASSERT_EQ(r.status, 0u) << r.messages;
  const Lines statement = {"0004 Push 1",
                           "0007 Gosub 0034",
                           "000A Push 2",
                           "000D Put",
                           "000E And",
                           "000F Push 2",
                           "0012 Put",
                           "0013 And",
                           "0014 Push 1",
                           "0017 Gosub 005A",
                           "001A Push 2",
                           "001D Put",
                           "001E And",
                           "001F Or",
                           "0020 Put",
                           "0021 Put",
                           "0022 Get",
                           "0023 Push 0",
                           "0026 JumpIfZero 002F",
                           "0029 Gosub 0057",
                           "002C Jump 0032",
                           "002F Gosub 0070",
                           "0032 End",
                           "0033 End"};
  EXPECT_EQ(listing(r.code), assembled(withRoutines(statement, 52)));
}

TEST(NetworkCode, RetryRepeatsTheStatement) {
  // The error path jumps to the statement label, which RETRY puts in front.
  auto r = compileSource("NETWORK SELF = 1\nDEFINE R PORT[2] AT 2\nRETRY DEACT R");
  ASSERT_EQ(r.status, 0u) << r.messages;
  const Lines code = listing(r.code);
  EXPECT_EQ(linesFrom(code, 0x04, 2), (Lines{"0004 Gosub 0030", "0007 Push 3"}));
  EXPECT_EQ(linesFrom(code, 0x29, 1), (Lines{"0029 Jump 0004"}));
}

TEST(NetworkCode, RemoteLoads) {
  // Analog input 2 of station 9: the other inputs' reply bytes are masked off.
  auto r = compileSource("NETWORK SELF = 5\nDEFINE R AD[2] AT 9\nDEFINE A WORD\nA = R");
  ASSERT_EQ(r.status, 0u) << r.messages;
  Lines code = listing(r.code);
  EXPECT_EQ(linesFrom(code, 0x07, 7), (Lines{"0007 Push 6", "000A Put", "000B And", "000C Push 9",
                                             "000F Put", "0010 And", "0011 Push 5"}));
  EXPECT_EQ(linesFrom(code, 0x22, 18),
            (Lines{"0022 Not", "0023 Get", "0024 And", "0025 Get", "0026 And", "0027 Get",
                   "0028 And", "0029 Get", "002A And", "002B Get", "002C Or", "002D Push 0",
                   "0030 Get", "0031 And", "0032 Get", "0033 And", "0034 Or", "0035 StoreWord 0"}));

  // Far port: command 1, mask 128 sent with a second send3bytes, reply masked.
  r = compileSource("NETWORK SELF = 5\nDEFINE R PORT[8] AT 2\nDEFINE A WORD\nA = R");
  ASSERT_EQ(r.status, 0u) << r.messages;
  code = listing(r.code);
  EXPECT_EQ(linesFrom(code, 0x04, 31), (Lines{"0004 Gosub 0040",
                                              "0007 Push 1",
                                              "000A Put",
                                              "000B And",
                                              "000C Push 2",
                                              "000F Put",
                                              "0010 And",
                                              "0011 Push 5",
                                              "0014 Gosub 0066",
                                              "0017 Push 128",
                                              "001A Gosub 0066",
                                              "001D Get",
                                              "001E Equal",
                                              "001F JumpIfZero 0028",
                                              "0022 Gosub 0063",
                                              "0025 Jump 003F",
                                              "0028 Not",
                                              "0029 Gosub 0073",
                                              "002C Get",
                                              "002D And",
                                              "002E Get",
                                              "002F Or",
                                              "0030 Push 0",
                                              "0033 Get",
                                              "0034 And",
                                              "0035 Or",
                                              "0036 JumpIfZero 003D",
                                              "0039 Push -1",
                                              "003C Or",
                                              "003D StoreWord 0",
                                              "003F End"}));

  r = compileSource("NETWORK SELF = 5\nDEFINE R AD12[1] AT 9\nDEFINE A WORD\nA = R\nR = A");
  ASSERT_EQ(r.status, 0u) << r.messages;
  EXPECT_EQ(linesFrom(listing(r.code), 0x04, 4),
            (Lines{"0004 Gosub 000C", "0007 StoreWord 0", "0009 LoadWord 0", "000B End"}));
}

TEST(NetworkCode, RemoteAnalogInputKeepsItsOwnReplyByte) {
  // After the reply check at 0022: the reply bytes by the input's number.
  const Lines tails[] = {
      {"Get", "And", "Get", "And", "Get", "And", "Get", "Or", "Push 0", "Get", "And", "Or"},
      {"Get", "And", "Get", "And", "Get", "Or", "Push 0", "Get", "And", "Get", "And", "Or"},
      {"Get", "And", "Get", "Or", "Push 0", "Get", "And", "Get", "And", "Get", "And", "Or"},
      {"Get", "Or", "Push 0", "Get", "And", "Get", "And", "Get", "And", "Get", "And", "Or"},
      {},
  };
  for (int n = 1; n <= 5; ++n) {
    auto r = compileSource("NETWORK SELF = 5\nDEFINE R AD[" + std::to_string(n) +
                           "] AT 9\nDEFINE A WORD\nA = R");
    ASSERT_EQ(r.status, 0u) << r.messages;
    Lines expected = {"Not", "Get", "And", "Get", "And"};
    expected.insert(expected.end(), tails[n - 1].begin(), tails[n - 1].end());
    expected.insert(expected.end(), {"StoreWord 0", "End"});
    const Lines listed = vexa::basic::disassemble(vexa::basic::assemble(expected, 0x22), 0x22);
    EXPECT_EQ(linesFrom(listing(r.code), 0x22, listed.size()), listed) << "AD[" << n << "]";
  }
}

TEST(NetworkCode, InitModemAndSendMail) {
  auto r = compileSource("NETWORK SELF = 7\nINITMODEM");
  ASSERT_EQ(r.status, 0u) << r.messages;
  Lines expected = withRoutines({"0004 Push 5",   "0007 Put",
                                 "0008 Pause",    "0009 Sys 0CE0",
                                 "000C Push 0",   "000F And",
                                 "0010 Put",      "0011 Push 7",
                                 "0014 Put",      "0015 Put",
                                 "0016 And",      "0017 Put",
                                 "0018 Put",      "0019 Put",
                                 "001A Put",      "001B Put",
                                 "001C Push 5",   "001F Pause",
                                 "0020 And",      "0021 Rxd",
                                 "0022 Or",       "0023 JumpIfZero 0034",
                                 "0026 Not",      "0027 Get",
                                 "0028 And",      "0029 Rxd",
                                 "002A Or",       "002B JumpIfZero 0034",
                                 "002E Get",      "002F And",
                                 "0030 Push 7",   "0033 Equal",
                                 "0034 Sys 0CE0", "0037 End"},
                                56);
  if (vexa::basic::assemble(expected).size() % 2) expected.push_back("Nop");
  EXPECT_EQ(listing(r.code), assembled(expected));

  r = compileSource("NETWORK SELF = 7\nSENDMAIL 3, 4, 9");
  ASSERT_EQ(r.status, 0u) << r.messages;
  EXPECT_EQ(
      linesFrom(listing(r.code), 0x04, 17),
      (Lines{"0004 Gosub 002D", "0007 Push 3", "000A Put", "000B Push 4", "000E Put", "000F Push 7",
             "0012 Put", "0013 Push 9", "0016 Put", "0017 Put", "0018 Put", "0019 Put", "001A Put",
             "001B Get", "001C Push 0", "001F Equal", "0020 JumpIfZero 0029"}));
}

}  // namespace
