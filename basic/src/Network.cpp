// NETWORK declaration, network statements and variables, and the routines
// appended after the end byte that they call.
#include "CompileError.h"
#include "QuorinCompiler.h"

namespace vexa::vxbasic {

namespace {
const char* const kWakeup = "__LABEL_WAKEUP";
const char* const kOnError = "__LABEL_ONERROR";
const char* const kSend3 = "__LABEL_SEND3BYTES";
const char* const kSend6 = "__LABEL_SEND6BYTES";
const char* const kIgnore4 = "__LABEL_IGNORE4";
const char* const kIgnore2 = "__LABEL_IGNORE2";
const char* const kCheckMail = "__LABEL_CHECKMAIL";
const char* const kNoMail = "__LABEL_NOMAIL";

constexpr uint16_t kModemRoutine = 0x0CE0;  // the board's system routine that INITMODEM calls
constexpr uint16_t kWakeupByte = 170;
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

void QuorinCompiler::callRoutine(const char* label) { buf_.putJump(Op::Gosub, label); }

// A zero reply byte leads to the error routine and then to the statement
// label, so RETRY repeats the statement and anything else skips it.
void QuorinCompiler::replyCheck() {
  std::string ok = newLabel();
  buf_.putJump(Op::JumpIfZero, ok);
  callRoutine(kOnError);
  buf_.putJump(Op::Jump, statementLabel_);
  buf_.defineLabel(ok);
}

void QuorinCompiler::initModem() {
  networkNeeded_ = true;
  const uint8_t s = station_;
  std::string done = newLabel();
  buf_.put({{Op::Push, 5}, Op::Put,   Op::Pause, {Op::Sys, kModemRoutine},
            {Op::Push, 0}, Op::And,   Op::Put,   {Op::Push, s},
            Op::Put,       Op::Put,   Op::And,   Op::Put,
            Op::Put,       Op::Put,   Op::Put,   Op::Put,
            {Op::Push, 5}, Op::Pause, Op::And,   Op::Rxd,
            Op::Or});
  buf_.putJump(Op::JumpIfZero, done);
  buf_.put({Op::Not, Op::Get, Op::And, Op::Rxd, Op::Or});
  buf_.putJump(Op::JumpIfZero, done);
  buf_.put({Op::Get, Op::And, {Op::Push, s}, Op::Equal});
  buf_.defineLabel(done);
  buf_.put({Op::Sys, kModemRoutine});
}

void QuorinCompiler::sendMail() {
  networkNeeded_ = true;
  usedNetwork_ = true;
  callRoutine(kWakeup);
  expression();
  buf_.put(Op::Put);
  expectChar(',');
  expression();
  buf_.put({Op::Put, {Op::Push, station_}, Op::Put});
  for (int i = 0; i < 3; ++i) {
    if (!atStatementTail()) {
      expectChar(',');
      expression();
    }
    buf_.put(Op::Put);
  }
  buf_.put({Op::Put, Op::Put, Op::Get, {Op::Push, 0}, Op::Equal});
  replyCheck();
  callRoutine(kIgnore2);
}

void QuorinCompiler::getMail() {
  if (!mailSlotDeclared_) fail(kNoMailSlot);
  networkNeeded_ = true;
  usedNetwork_ = true;
  callRoutine(kWakeup);
  buf_.put({Op::Put,
            {Op::Push, station_},
            Op::Put,
            Op::Put,
            Op::And,
            Op::Put,
            Op::Put,
            Op::Put,
            Op::Put,
            Op::Put,
            Op::Get});
  callRoutine(kIgnore2);
}

// Command, the remote station and the own station, as every request starts.
void QuorinCompiler::requestHead(uint8_t command, uint8_t station) {
  buf_.put({{Op::Push, command},
            Op::Put,
            Op::And,
            {Op::Push, station},
            Op::Put,
            Op::And,
            {Op::Push, station_}});
}

void QuorinCompiler::networkLoad(uint32_t symbol) {
  networkNeeded_ = true;
  usedNetwork_ = true;
  const uint8_t kind = symbolKind(symbol);
  const uint8_t x = symbolIndex(symbol);
  callRoutine(kWakeup);
  if (kind == kNetAd12) return;
  requestHead(kind == kNetPortFar ? 1 : kind == kNetPortNear ? 7 : 6, symbolStation(symbol));
  if (kind == kNetPortFar) {
    callRoutine(kSend3);
    buf_.put({Op::Push, x});
    callRoutine(kSend3);
  } else {
    callRoutine(kSend6);
  }
  buf_.put({Op::Get, Op::Equal});
  replyCheck();
  buf_.put(Op::Not);
  if (kind == kNetAd) {
    buf_.put({Op::Get, Op::And, Op::Get, Op::And});
    // The reply bytes of the other inputs are read and masked off.
    if (x <= 3) {
      for (int i = x; i < 3; ++i) buf_.put({Op::Get, Op::And});
      buf_.put({Op::Get, Op::Or, {Op::Push, 0}});
      for (int i = 0; i <= x; ++i) buf_.put({Op::Get, Op::And});
      buf_.put(Op::Or);
    }
    return;
  }
  callRoutine(kIgnore4);
  buf_.put({Op::Get, Op::And, Op::Get, Op::Or, {Op::Push, 0}, Op::Get, Op::And, Op::Or});
  if (kind == kNetPortFar && x != 255) {
    std::string masked = newLabel();
    buf_.putJump(Op::JumpIfZero, masked);
    buf_.put({{Op::Push, 0xFFFF}, Op::Or});
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
  requestHead(command, symbolStation(symbol));
  callRoutine(kSend3);
  buf_.put({{Op::Push, symbolIndex(symbol)},
            Op::Put,
            Op::And,
            Op::Or,
            Op::Put,
            Op::Put,
            Op::Get,
            {Op::Push, 0}});
  replyCheck();
  callRoutine(kIgnore2);
}

void QuorinCompiler::appendNetworkRoutines() {
  const uint8_t m = mailSlot_;
  auto slotStore = [&](uint8_t offset) {
    if (mailSlotDeclared_) buf_.put({Op::StoreByte, static_cast<uint8_t>(m + offset)});
  };
  buf_.defineLabel(kWakeup);
  buf_.put({{Op::Push, 0},
            {Op::Push, 2},
            Op::Pause,
            Op::And,
            {Op::Push, kWakeupByte},
            Op::Put,
            Op::And,
            Op::Get});
  slotStore(0);
  buf_.put({Op::And, Op::Get, Op::And, Op::Get});
  slotStore(1);
  buf_.put({Op::And, Op::Get, Op::And, Op::Get});
  slotStore(2);
  buf_.put({Op::And, Op::Get});
  slotStore(3);
  buf_.put({Op::And, Op::Get});
  slotStore(4);
  buf_.put({Op::And, Op::Get, Op::And, {Op::Push, 2}, Op::Pause, Op::And, Op::Return});

  buf_.defineLabel(kOnError);
  if (mailSlotDeclared_) {
    callRoutine(kIgnore2);
    buf_.putJump(Op::Jump, kCheckMail);
  } else {
    buf_.putJump(Op::Jump, kIgnore2);
  }
  buf_.defineLabel(kSend3);
  buf_.put({Op::Put, Op::Put, Op::Put, Op::And, Op::Return});
  buf_.defineLabel(kSend6);
  buf_.put({Op::Put, Op::Put, Op::Put, Op::Put, Op::Put, Op::Put, Op::And, Op::Return});
  buf_.defineLabel(kIgnore4);
  buf_.put({Op::Get, Op::And, Op::Get, Op::And, Op::Get, Op::And, Op::Get, Op::And, Op::Return});
  buf_.defineLabel(kIgnore2);
  buf_.put({Op::Get, Op::Get, Op::Get, Op::Get, Op::Get, Op::Get, Op::Get, Op::Return});
  if (mailSlotDeclared_) {
    buf_.defineLabel(kCheckMail);
    buf_.put({Op::LoadByte, m});
    buf_.putJump(Op::JumpIfZero, kNoMail);
    buf_.putJump(Op::Jump, "ONMAIL");
    buf_.defineLabel(kNoMail);
    buf_.put(Op::Return);
  }
}

}  // namespace vexa::vxbasic
