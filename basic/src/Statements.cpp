// Statements of VXBasic and the token code they produce.
#include <string>

#include "Board.h"
#include "CompileError.h"
#include "QuorinCompiler.h"
#include "ResourceFiles.h"

namespace vexa::vxbasic {

using vexa::basic::FileOp;

namespace {
Instr fileInstr(FileOp op) { return {Op::File, static_cast<uint8_t>(op)}; }
}  // namespace

void QuorinCompiler::statement(std::string word) {
  std::string outerLabel = statementLabel_;
  bool outerNetwork = usedNetwork_;
  statementLabel_ = newLabel();
  usedNetwork_ = false;
  bool retry = word == "RETRY";
  if (retry) {
    buf_.defineLabel(statementLabel_);
    word = in_.readWord();
  }
  lineMarker();
  dispatch(word);
  if (usedNetwork_ && mailSlotDeclared_) callRoutine("__LABEL_CHECKMAIL");
  if (!retry) buf_.defineLabel(statementLabel_);
  statementLabel_ = outerLabel;
  usedNetwork_ = outerNetwork;
}

void QuorinCompiler::dispatch(const std::string& word) {
  if (word == "IF")
    ifStatement();
  else if (word == "FOR")
    forStatement();
  else if (word == "NEXT")
    nextStatement();
  else if (word == "ON")
    onStatement();
  else if (word == "GET") {
    buf_.put(Op::Get);
    store(readVariable());
  } else if (word == "PUT") {
    expression();
    buf_.put(Op::Put);
  } else if (word == "PRINT")
    printStatement();
  else if (word == "INPUT") {
    buf_.put(Op::Input);
    store(readVariable());
  } else if (word == "HANDSHAKE")
    buf_.put({Op::Handshake, readConstant()});
  else if (word == "OPEN#")
    openStatement();
  else if (word == "CLOSE#")
    buf_.put(fileInstr(FileOp::Close));
  else if (word == "PRINT#") {
    expression();
    buf_.put(fileInstr(FileOp::Write));
  } else if (word == "INPUT#") {
    buf_.put(fileInstr(FileOp::Read));
    store(readVariable());
  } else if (word == "TABLE")
    tableStatement();
  else if (word == "LOOKTAB")
    lookTabStatement();
  else if (word == "RANDOMIZE") {
    expression();
    buf_.put(Op::Randomize);
  } else if (word == "BAUD")
    buf_.put({Op::Baud, readConstant()});
  else if (word == "SLOWMODE")
    buf_.put({Op::SlowMode, readConstant()});
  else if (word == "INTERRUPT")
    interruptStatement();
  else if (word == "PAUSE") {
    expression();
    buf_.put(Op::Pause);
  } else if (word == "WAIT")
    waitStatement();
  else if (word == "END")
    buf_.put(Op::End);
  else if (word == "BEEP")
    beepStatement();
  else if (word == "GOTO")
    buf_.putJump(Op::Jump, in_.readWord());
  else if (word == "GOSUB")
    buf_.putJump(Op::Gosub, in_.readWord());
  else if (word == "RETURN")
    returnStatement();
  else if (word == "SYSCODE")
    sysCodeStatement();
  else if (word == "SYS")
    sysStatement();
  else if (word == "DEACT" || word == "TOG" || word == "PULSE")
    portStatement(word);
  else if (word == "INITMODEM")
    initModem();
  else if (word == "SENDMAIL")
    sendMail();
  else if (word == "GETMAIL")
    getMail();
  else
    assignmentOrJump(word);
}

void QuorinCompiler::assignmentOrJump(const std::string& word) {
  if (auto symbol = symbols_.find(word)) {
    expectChar('=');
    expression();
    store(*symbol);
    return;
  }
  if (in_.peekChar() == '=') fail(kVariableExpected, notAVariableText(word));
  buf_.putJump(Op::Jump, word);
}

uint32_t QuorinCompiler::readVariable() {
  std::string word = in_.readWord();
  if (auto symbol = symbols_.find(word)) return *symbol;
  if (word.empty()) fail(kVariableExpected);
  fail(kVariableExpected, notAVariableText(word));
}

void QuorinCompiler::load(uint32_t symbol) {
  uint8_t i = symbolIndex(symbol);
  switch (symbolKind(symbol)) {
    case kRamBit: buf_.put({Op::LoadBit, i}); break;
    case kRamByte: buf_.put({Op::LoadByte, i}); break;
    case kRamWord: buf_.put({Op::LoadWord, i}); break;
    case kBitPort: buf_.put({Op::LoadPortBit, i}); break;
    case kBytePort: buf_.put({Op::LoadBytePort, i}); break;
    case kWordPort: buf_.put(Op::LoadWordPort); break;
    case kAnalogIn: buf_.put({Op::LoadAnalogIn, i}); break;
    case kAnalogOut: break;
    case kSystemVar: buf_.put({Op::LoadSystem, i}); break;
    default: networkLoad(symbol); break;
  }
}

void QuorinCompiler::store(uint32_t symbol) {
  uint8_t i = symbolIndex(symbol);
  switch (symbolKind(symbol)) {
    case kRamBit: buf_.put({Op::StoreBit, i}); break;
    case kRamByte: buf_.put({Op::StoreByte, i}); break;
    case kRamWord: buf_.put({Op::StoreWord, i}); break;
    case kBitPort: buf_.put({Op::StorePortBit, i}); break;
    case kBytePort: buf_.put({Op::StoreBytePort, i}); break;
    case kWordPort: buf_.put(Op::StoreWordPort); break;
    case kAnalogIn: break;
    case kAnalogOut: buf_.put({Op::StoreAnalogOut, i}); break;
    case kSystemVar: buf_.put({Op::StoreSystem, i}); break;
    case kNetAd12:
    case kNetAd: break;
    default: networkStore(symbol, 2); break;
  }
}

void QuorinCompiler::ifStatement() {
  enterNesting();
  expression();
  expectWord("THEN");
  std::string elseLabel = newLabel();
  buf_.putJump(Op::JumpIfZero, elseLabel);
  insideIf_ = true;
  statement(in_.readWord());
  if (in_.atStatementEnd()) {
    buf_.defineLabel(elseLabel);
    --depth_;
    return;
  }
  expectWord("ELSE");
  std::string endLabel = newLabel();
  buf_.putJump(Op::Jump, endLabel);
  buf_.defineLabel(elseLabel);
  statement(in_.readWord());
  buf_.defineLabel(endLabel);
  --depth_;
}

void QuorinCompiler::forStatement() {
  if (in_.atStatementEnd()) fail(kUnexpectedStatementEnd);
  std::string name = in_.readWord();
  auto symbol = symbols_.find(name);
  if (!symbol) {
    if (in_.peekChar() == '=') fail(kVariableExpected, notAVariableText(name));
    fail(kSyntaxError);
  }
  // NEXT counts only RAM bytes and words.
  if (symbolKind(*symbol) != kRamByte && symbolKind(*symbol) != kRamWord) fail(kVariableExpected);
  expectChar('=');
  expression();
  store(*symbol);
  expectWord("TO");
  forStack_.push_back({in_.rest(), *symbol, buf_.address()});
  in_.skipToEnd();
}

void QuorinCompiler::nextStatement() {
  if (forStack_.empty()) fail(kNextWithoutFor);
  ForEntry entry = forStack_.back();
  bool isByte = symbolKind(entry.variable) == kRamByte;
  uint8_t index = symbolIndex(entry.variable);
  in_.reset(entry.text);
  std::string exitLabel = newLabel();
  expression();
  buf_.putJump(isByte ? Op::LoopTestByte : Op::LoopTestWord, index, exitLabel);
  if (in_.peekWord() == "STEP") {
    in_.readWord();
    expression();
  } else {
    buf_.put({Op::Push, 1});
  }
  buf_.put({isByte ? Op::LoopStepByte : Op::LoopStepWord, index, entry.loopAddress});
  buf_.defineLabel(exitLabel);
  if (!insideIf_) forStack_.pop_back();
}

void QuorinCompiler::onStatement() {
  uint32_t symbol = readVariable();
  std::string jump = in_.readWord();
  Op op;
  if (jump == "GOTO")
    op = Op::Jump;
  else if (jump == "GOSUB")
    op = Op::Gosub;
  else
    fail(kExpectedJump);
  uint16_t k = 0;
  do {
    std::string target = in_.readWord();
    std::string next = newLabel();
    load(symbol);
    buf_.put({{Op::Push, k++}, {Op::Equal}});
    buf_.putJump(Op::JumpIfZero, next);
    buf_.putJump(op, target);
    buf_.defineLabel(next);
  } while (in_.acceptChar(','));
}

void QuorinCompiler::printStatement() {
  for (;;) {
    in_.skipBlanks();
    const std::size_t before = in_.position();
    if (in_.peekChar() == '"') {
      auto text = in_.readQuoted();
      if (!text) fail(kUnexpectedLineEnd);
      buf_.putText(Op::PrintText, *text);
    } else if (!atStatementTail()) {
      expression();
      buf_.put(Op::PrintNumber);
    }
    if (in_.acceptChar(','))
      buf_.putText(Op::PrintText, "\t");
    else if (!in_.acceptChar(';'))
      buf_.putText(Op::PrintText, "\r\n");
    if (atStatementTail()) break;
    // An item that reads nothing would repeat for ever; the line check
    // reports what is left.
    if (in_.position() == before) break;
  }
}

void QuorinCompiler::openStatement() {
  FileOp mode = FileOp::OpenWrite;
  if (in_.peekWord() == "FOR") {
    in_.readWord();
    std::string word = in_.readWord();
    if (word == "READ")
      mode = FileOp::OpenRead;
    else if (word == "WRITE")
      mode = FileOp::OpenWrite;
    else if (word == "APPEND")
      mode = FileOp::OpenAppend;
    else
      fail(kExpectedOpenMode);
  }
  buf_.put(fileInstr(mode));
}

std::string QuorinCompiler::quotedFileName() {
  auto name = in_.readQuoted();
  if (!name) fail(kExpectedChar, expectedCharText('"'));
  return resolveResourcePath(baseDirectory_, *name);
}

void QuorinCompiler::tableStatement() {
  if (in_.atStatementEnd()) fail(kUnexpectedStatementEnd);
  std::string name = in_.readWord();
  buf_.defineLabel(name);
  if (in_.peekChar() == '"') {
    std::string path = quotedFileName();
    std::vector<uint16_t> words;
    switch (readTableFile(path, words)) {
      case ResourceStatus::Missing: fail(kFileNotFound, errorText(kFileNotFound, path));
      case ResourceStatus::Malformed: fail(kBadFileFormat);
      case ResourceStatus::Ok: break;
    }
    for (uint16_t w : words) buf_.putWord(w);
    if (!in_.atStatementEnd()) fail(kExpectedStatementEnd);
    return;
  }
  tableLines_ = true;
  readBlockValues(Block::Table);
}

void QuorinCompiler::lookTabStatement() {
  if (in_.atStatementEnd()) fail(kUnexpectedStatementEnd);
  std::string table = in_.readWord();
  expectChar(',');
  expression();
  expectChar(',');
  uint32_t symbol = readVariable();
  buf_.putJump(Op::LookTab, table);
  store(symbol);
}

void QuorinCompiler::interruptStatement() {
  if (in_.peekWord() == "OFF") {
    in_.readWord();
    buf_.put({Op::Interrupt, 0});
    return;
  }
  buf_.putJump(Op::Interrupt, in_.readWord());
}

void QuorinCompiler::waitStatement() {
  if (pass1_) buf_.put(Op::Nop);
  std::string again = newLabel();
  buf_.defineLabel(again);
  if (pass1_) buf_.put(Op::WaitMark);
  expression();
  buf_.putJump(Op::JumpIfZero, again);
}

void QuorinCompiler::beepStatement() {
  const Instr setTone{Op::StoreSystem, kTicks};
  if (in_.peekWord() == "OFF") {
    in_.readWord();
    buf_.put({{Op::Push, 0}, setTone});
    return;
  }
  expression();
  buf_.put(setTone);
  expectChar(',');
  expression();
  std::string silent = newLabel();
  buf_.put(Op::Pause);
  buf_.putJump(Op::JumpIfZero, silent);
  buf_.put({{Op::Push, 0}, setTone});
  buf_.defineLabel(silent);
  expectChar(',');
  expression();
  buf_.put(Op::Pause);
}

void QuorinCompiler::returnStatement() {
  if (atStatementTail()) {
    buf_.put(Op::Return);
  } else if (in_.peekWord() == "INTERRUPT") {
    in_.readWord();
    buf_.put(Op::ReturnInterrupt);
  } else {
    expression();
    buf_.put(Op::Return);
  }
}

void QuorinCompiler::sysCodeStatement() {
  if (in_.peekChar() != '"') {
    sysCodeLines_ = true;
    return;
  }
  std::string path = quotedFileName();
  std::vector<uint8_t> bytes;
  switch (readSRecordFile(path, bytes)) {
    case ResourceStatus::Missing: fail(kFileNotFound, errorText(kFileNotFound, path));
    case ResourceStatus::Malformed: fail(kBadFileFormat);
    case ResourceStatus::Ok: break;
  }
  for (uint8_t b : bytes) buf_.putSys(b);
}

void QuorinCompiler::sysStatement() {
  uint16_t address = readConstant();
  if (!atStatementTail()) {
    expression();
    while (in_.acceptChar(',')) expression();
  }
  buf_.put({Op::Sys, address});
}

void QuorinCompiler::portStatement(const std::string& word) {
  std::string name = in_.readWord();
  auto symbol = symbols_.find(name);
  if (!symbol) fail(kPortVariableExpected);
  uint8_t kind = symbolKind(*symbol);
  uint8_t i = symbolIndex(*symbol);
  if (word == "TOG" || word == "PULSE") {
    if (kind != kBitPort) fail(kPortVariableExpected);
    buf_.put({word == "TOG" ? Op::TogglePort : Op::PulsePort, i});
    return;
  }
  switch (kind) {
    case kBitPort: buf_.put({Op::DeactPort, i}); break;
    case kBytePort: buf_.put({Op::DeactBytePort, i}); break;
    case kWordPort: buf_.put(Op::DeactWordPort); break;
    case kNetPortFar: networkStore(*symbol, 3); break;
    default: fail(kPortVariableExpected);
  }
}

}  // namespace vexa::vxbasic
