// NETWORK declaration, network statements and variables, and the routines
// appended after the end byte.
#include <gtest/gtest.h>

#include "CompileHelpers.h"

using vxbasic::test::compileSource;
using vxbasic::test::hex;

namespace {

// The routines without a mail slot, starting at address a.
std::vector<uint8_t> routinesWithoutMailSlot(uint16_t a) {
    const uint16_t ignore2 = static_cast<uint16_t>(a + 35 + 3 + 5 + 8 + 9);
    const uint8_t hi = static_cast<uint8_t>(ignore2 >> 8);
    const uint8_t lo = static_cast<uint8_t>(ignore2);
    return {// wakeup
            20, 0, 0, 20, 0, 2, 2, 41, 20, 0, 170, 32, 41, 34, 41, 34, 41, 34, 41, 34, 41, 34, 41, 34, 41, 34, 41,
            34, 41, 20, 0, 2, 2, 41, 6,
            // onerror
            3, hi, lo,
            // send3bytes, send6bytes, ignore4, ignore2
            32, 32, 32, 41, 6, 32, 32, 32, 32, 32, 32, 41, 6, 34, 41, 34, 41, 34, 41, 34, 41, 6, 34, 34, 34, 34, 34,
            34, 34, 6};
}

TEST(NetworkCode, NoNetworkUseAppendsNothing) {
    auto r = compileSource("NETWORK SELF = 3\nEND");
    EXPECT_EQ(hex(r.code), hex({255, 255}));
}

TEST(NetworkCode, GetMailWithMailSlot) {
    auto r = compileSource("NETWORK SELF = 2 MAILSLOT = 1\nGETMAIL\nEND\n#ONMAIL RETURN");
    ASSERT_EQ(r.status, 0u) << r.messages;
    std::vector<uint8_t> expected = {
        5, 0, 29, 32, 20, 0, 2, 32, 32, 41, 32, 32, 32, 32, 32, 34, 5, 0, 102, 5, 0, 110, 255, 6, 255,
        // wakeup
        20, 0, 0, 20, 0, 2, 2, 41, 20, 0, 170, 32, 41, 34, 25, 0, 41, 34, 41, 34, 25, 1, 41, 34, 41, 34, 25, 2,
        41, 34, 25, 3, 41, 34, 25, 4, 41, 34, 41, 20, 0, 2, 2, 41, 6,
        // onerror
        5, 0, 102, 3, 0, 110,
        // send3bytes, send6bytes, ignore4, ignore2
        32, 32, 32, 41, 6, 32, 32, 32, 32, 32, 32, 41, 6, 34, 41, 34, 41, 34, 41, 34, 41, 6, 34, 34, 34, 34, 34,
        34, 34, 6,
        // checkmail and nomail
        22, 0, 4, 0, 118, 3, 0, 27, 6, 0};
    EXPECT_EQ(hex(r.code), hex(expected));
}

TEST(NetworkCode, MailSlotNeedsOnMailLabel) {
    auto r = compileSource("NETWORK SELF = 2 MAILSLOT = 1\nGETMAIL");
    EXPECT_EQ(r.messages, "BASIC-Modul (2) : undefiniertes Label ONMAIL\r\n");
}

TEST(NetworkCode, RemotePortStoreFarStation) {
    auto r = compileSource("NETWORK SELF = 1\nDEFINE R PORT[2] AT 2\nR = 1\nEND");
    ASSERT_EQ(r.status, 0u) << r.messages;
    std::vector<uint8_t> expected = {20, 0, 1, 5, 0, 52, 20, 0, 2, 32, 41, 20, 0, 2, 32, 41, 20, 0, 1, 5, 0, 90,
                                     20, 0, 2, 32, 41, 43, 32, 32, 34, 20, 0, 0, 4, 0, 47, 5, 0, 87, 3, 0, 50,
                                     5, 0, 112, 255, 255};
    auto routines = routinesWithoutMailSlot(52);
    expected.insert(expected.end(), routines.begin(), routines.end());
    EXPECT_EQ(hex(r.code), hex(expected));
}

TEST(NetworkCode, RetryRepeatsTheStatement) {
    // The error path jumps to the statement label, which RETRY puts in front.
    auto r = compileSource("NETWORK SELF = 1\nDEFINE R PORT[2] AT 2\nRETRY DEACT R");
    ASSERT_EQ(r.status, 0u) << r.messages;
    ASSERT_GT(r.code.size(), 40u);
    EXPECT_EQ(hex({r.code[0], r.code[1], r.code[2], r.code[3], r.code[4], r.code[5]}), hex({5, 0, 48, 20, 0, 3}));
    // 3 STMT jumps back to address 4.
    EXPECT_EQ(hex({r.code[37], r.code[38], r.code[39]}), hex({3, 0, 4}));
}

struct LoadCase {
    const char* definition;
    std::vector<uint8_t> afterWakeup;  // bytes from after "5 wakeup" up to the store into A
};

TEST(NetworkCode, RemoteLoads) {
    // Statement "A = R" at address 4; wakeup, send3/send6, onerror and ignore4
    // addresses are filled in by the helper below.
    auto r = compileSource("NETWORK SELF = 5\nDEFINE R AD[2] AT 9\nDEFINE A WORD\nA = R");
    ASSERT_EQ(r.status, 0u) << r.messages;
    // 5 W, 20 0 6 32 41 20 0 9 32 41 20 0 5, 5 S6, 34 64, 4 L, 5 OE, 3 STMT, L: 40 34 41 34 41, X=1 tail, 26 0
    std::vector<uint8_t> head(r.code.begin(), r.code.begin() + 3 + 13 + 3 + 2 + 3 + 3 + 3);
    EXPECT_EQ(hex({head.begin() + 3, head.begin() + 16}), hex({20, 0, 6, 32, 41, 20, 0, 9, 32, 41, 20, 0, 5}));
    std::vector<uint8_t> tail(r.code.begin() + 30, r.code.begin() + 30 + 5 + 14 + 2);
    EXPECT_EQ(hex(tail), hex({40, 34, 41, 34, 41, 34, 41, 34, 41, 34, 43, 20, 0, 0, 34, 41, 34, 41, 43, 26, 0}));

    r = compileSource("NETWORK SELF = 5\nDEFINE R PORT[8] AT 2\nDEFINE A WORD\nA = R");
    ASSERT_EQ(r.status, 0u) << r.messages;
    // Far port: command 1, mask 128 sent with a second send3bytes, reply masked.
    EXPECT_EQ(hex({r.code.begin() + 3, r.code.begin() + 16}), hex({20, 0, 1, 32, 41, 20, 0, 2, 32, 41, 20, 0, 5}));
    EXPECT_EQ(hex({r.code.begin() + 19, r.code.begin() + 22}), hex({20, 0, 128}));
    std::vector<uint8_t> far(r.code.begin() + 36, r.code.begin() + 36 + 1 + 3 + 10 + 3 + 4 + 2);
    EXPECT_EQ(far[0], 40);
    EXPECT_EQ(hex({far.begin() + 4, far.begin() + 14}), hex({34, 41, 34, 43, 20, 0, 0, 34, 41, 43}));
    EXPECT_EQ(far[14], 4);
    EXPECT_EQ(hex({far.begin() + 17, far.end()}), hex({20, 255, 255, 43, 26, 0}));

    r = compileSource("NETWORK SELF = 5\nDEFINE R AD12[1] AT 9\nDEFINE A WORD\nA = R\nR = A");
    ASSERT_EQ(r.status, 0u) << r.messages;
    EXPECT_EQ(r.code[0], 5);
    EXPECT_EQ(hex({r.code.begin() + 3, r.code.begin() + 8}), hex({26, 0, 23, 0, 255}));
}

TEST(NetworkCode, InitModemAndSendMail) {
    auto r = compileSource("NETWORK SELF = 7\nINITMODEM");
    ASSERT_EQ(r.status, 0u) << r.messages;
    std::vector<uint8_t> expected = {20, 0, 5, 32, 2, 8, 12, 224, 20, 0, 0, 41, 32, 20, 0, 7, 32, 32, 41, 32,
                                     32, 32, 32, 32, 20, 0, 5, 2, 41, 33, 43, 4, 0, 52, 40, 34, 41, 33, 43, 4,
                                     0, 52, 34, 41, 20, 0, 7, 64, 8, 12, 224, 255};
    auto routines = routinesWithoutMailSlot(56);
    expected.insert(expected.end(), routines.begin(), routines.end());
    if (expected.size() % 2) expected.push_back(0);
    EXPECT_EQ(hex(r.code), hex(expected));

    r = compileSource("NETWORK SELF = 7\nSENDMAIL 3, 4, 9");
    ASSERT_EQ(r.status, 0u) << r.messages;
    std::vector<uint8_t> head = {5, 0, 0, 20, 0, 3, 32, 20, 0, 4, 32, 20, 0, 7, 32, 20, 0, 9, 32, 32, 32, 32,
                                 32, 34, 20, 0, 0, 64, 4};
    ASSERT_GT(r.code.size(), head.size());
    std::vector<uint8_t> got(r.code.begin(), r.code.begin() + static_cast<long>(head.size()));
    got[1] = got[2] = 0;
    EXPECT_EQ(hex(got), hex(head));
}

}  // namespace
