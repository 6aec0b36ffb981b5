// NETWORK declaration, network statements and variables, and the routines
// appended after the end byte that they call.
#include "CompileError.h"
#include "QuorinCompiler.h"

namespace vxbasic {

namespace {
const char* const kWakeup = "__LABEL_WAKEUP";
const char* const kOnError = "__LABEL_ONERROR";
const char* const kSend3 = "__LABEL_SEND3BYTES";
const char* const kSend6 = "__LABEL_SEND6BYTES";
const char* const kIgnore4 = "__LABEL_IGNORE4";
const char* const kIgnore2 = "__LABEL_IGNORE2";
const char* const kCheckMail = "__LABEL_CHECKMAIL";
const char* const kNoMail = "__LABEL_NOMAIL";
}  // namespace

void QuorinCompiler::networkDeclaration() {
    expectWord("SELF");
    expectChar('=');
    station_ = static_cast<uint8_t>(readConstant());
    if (in_.atStatementEnd()) return;
    expectWord("MAILSLOT");
    expectChar('=');
    int slot = static_cast<int16_t>(readConstant());
    if (slot < 1 || slot > 19) fail(kOutOfRange, outOfRangeText(slot));
    mailSlot_ = static_cast<uint8_t>(slot - 1);
    mailSlotDeclared_ = true;
}

void QuorinCompiler::callRoutine(const char* label) {
    buf_.put(5);
    buf_.putLabelRef(label);
}

// A zero reply byte leads to the error routine and then to the statement
// label, so RETRY repeats the statement and anything else skips it.
void QuorinCompiler::replyCheck() {
    std::string ok = newLabel();
    buf_.put(4);
    buf_.putLabelRef(ok);
    callRoutine(kOnError);
    buf_.put(3);
    buf_.putLabelRef(statementLabel_);
    buf_.defineLabel(ok);
}

void QuorinCompiler::initModem() {
    networkNeeded_ = true;
    const uint8_t s = station_;
    std::string done = newLabel();
    buf_.put({20, 0, 5, 32, 2, 8, 12, 224, 20, 0, 0, 41, 32, 20, 0, s, 32, 32, 41, 32, 32, 32, 32, 32,
              20, 0, 5, 2, 41, 33, 43, 4});
    buf_.putLabelRef(done);
    buf_.put({40, 34, 41, 33, 43, 4});
    buf_.putLabelRef(done);
    buf_.put({34, 41, 20, 0, s, 64});
    buf_.defineLabel(done);
    buf_.put({8, 12, 224});
}

void QuorinCompiler::sendMail() {
    networkNeeded_ = true;
    usedNetwork_ = true;
    callRoutine(kWakeup);
    expression();
    buf_.put(32);
    expectChar(',');
    expression();
    buf_.put(32);
    buf_.put({20, 0, station_, 32});
    for (int i = 0; i < 3; ++i) {
        if (!atStatementTail()) {
            expectChar(',');
            expression();
        }
        buf_.put(32);
    }
    buf_.put({32, 32, 34, 20, 0, 0, 64});
    replyCheck();
    callRoutine(kIgnore2);
}

void QuorinCompiler::getMail() {
    if (!mailSlotDeclared_) fail(kNoMailSlot);
    networkNeeded_ = true;
    usedNetwork_ = true;
    callRoutine(kWakeup);
    buf_.put({32, 20, 0, station_, 32, 32, 41, 32, 32, 32, 32, 32, 34});
    callRoutine(kIgnore2);
}

void QuorinCompiler::networkLoad(uint32_t symbol) {
    networkNeeded_ = true;
    usedNetwork_ = true;
    const uint8_t kind = symbolKind(symbol);
    const uint8_t t = symbolStation(symbol);
    const uint8_t x = symbolIndex(symbol);
    callRoutine(kWakeup);
    if (kind == kNetAd12) return;
    const uint8_t command = kind == kNetPortFar ? 1 : kind == kNetPortNear ? 7 : 6;
    buf_.put({20, 0, command, 32, 41, 20, 0, t, 32, 41, 20, 0, station_});
    if (kind == kNetPortFar) {
        callRoutine(kSend3);
        buf_.put({20, 0, x});
        callRoutine(kSend3);
    } else {
        callRoutine(kSend6);
    }
    buf_.put({34, 64});
    replyCheck();
    buf_.put(40);
    if (kind == kNetAd) {
        buf_.put({34, 41, 34, 41});
        switch (x) {
        case 0: buf_.put({34, 41, 34, 41, 34, 41, 34, 43, 20, 0, 0, 34, 41, 43}); break;
        case 1: buf_.put({34, 41, 34, 41, 34, 43, 20, 0, 0, 34, 41, 34, 41, 43}); break;
        case 2: buf_.put({34, 41, 34, 43, 20, 0, 0, 34, 41, 34, 41, 34, 41, 43}); break;
        case 3: buf_.put({34, 43, 20, 0, 0, 34, 41, 34, 41, 34, 41, 34, 41, 43}); break;
        default: break;
        }
        return;
    }
    callRoutine(kIgnore4);
    buf_.put({34, 41, 34, 43, 20, 0, 0, 34, 41, 43});
    if (kind == kNetPortFar && x != 255) {
        std::string masked = newLabel();
        buf_.put(4);
        buf_.putLabelRef(masked);
        buf_.put({20, 255, 255, 43});
        buf_.defineLabel(masked);
    }
}

// Store (command 2) and DEACT (command 3) of a remote port; a near station
// stores with command 8.
void QuorinCompiler::networkStore(uint32_t symbol, uint8_t command) {
    networkNeeded_ = true;
    usedNetwork_ = true;
    if (symbolKind(symbol) == kNetPortNear) command = 8;
    callRoutine(kWakeup);
    buf_.put({20, 0, command, 32, 41, 20, 0, symbolStation(symbol), 32, 41, 20, 0, station_});
    callRoutine(kSend3);
    buf_.put({20, 0, symbolIndex(symbol), 32, 41, 43, 32, 32, 34, 20, 0, 0});
    replyCheck();
    callRoutine(kIgnore2);
}

void QuorinCompiler::appendNetworkRoutines() {
    const uint8_t m = mailSlot_;
    auto slotStore = [&](uint8_t offset) {
        if (mailSlotDeclared_) buf_.put({25, static_cast<uint8_t>(m + offset)});
    };
    buf_.defineLabel(kWakeup);
    buf_.put({20, 0, 0, 20, 0, 2, 2, 41, 20, 0, 170, 32, 41, 34});
    slotStore(0);
    buf_.put({41, 34, 41, 34});
    slotStore(1);
    buf_.put({41, 34, 41, 34});
    slotStore(2);
    buf_.put({41, 34});
    slotStore(3);
    buf_.put({41, 34});
    slotStore(4);
    buf_.put({41, 34, 41, 20, 0, 2, 2, 41, 6});

    buf_.defineLabel(kOnError);
    if (mailSlotDeclared_) {
        callRoutine(kIgnore2);
        buf_.put(3);
        buf_.putLabelRef(kCheckMail);
    } else {
        buf_.put(3);
        buf_.putLabelRef(kIgnore2);
    }
    buf_.defineLabel(kSend3);
    buf_.put({32, 32, 32, 41, 6});
    buf_.defineLabel(kSend6);
    buf_.put({32, 32, 32, 32, 32, 32, 41, 6});
    buf_.defineLabel(kIgnore4);
    buf_.put({34, 41, 34, 41, 34, 41, 34, 41, 6});
    buf_.defineLabel(kIgnore2);
    buf_.put({34, 34, 34, 34, 34, 34, 34, 6});
    if (mailSlotDeclared_) {
        buf_.defineLabel(kCheckMail);
        buf_.put({22, m, 4});
        buf_.putLabelRef(kNoMail);
        buf_.put(3);
        buf_.putLabelRef("ONMAIL");
        buf_.defineLabel(kNoMail);
        buf_.put(6);
    }
}

}  // namespace vxbasic
