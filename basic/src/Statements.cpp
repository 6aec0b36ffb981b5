// Statements of VXBasic and the token code they produce.
#include <string>

#include "CompileError.h"
#include "QuorinCompiler.h"
#include "ResourceFiles.h"

namespace vxbasic {

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
    if (word == "IF") ifStatement();
    else if (word == "FOR") forStatement();
    else if (word == "NEXT") nextStatement();
    else if (word == "ON") onStatement();
    else if (word == "GET") { buf_.put(34); store(readVariable()); }
    else if (word == "PUT") { expression(); buf_.put(32); }
    else if (word == "PRINT") printStatement();
    else if (word == "INPUT") { buf_.put(35); store(readVariable()); }
    else if (word == "HANDSHAKE") { buf_.put(36); buf_.put(static_cast<uint8_t>(readConstant())); }
    else if (word == "OPEN#") openStatement();
    else if (word == "CLOSE#") buf_.put({70, 4});
    else if (word == "PRINT#") { expression(); buf_.put({70, 5}); }
    else if (word == "INPUT#") { buf_.put({70, 6}); store(readVariable()); }
    else if (word == "TABLE") tableStatement();
    else if (word == "LOOKTAB") lookTabStatement();
    else if (word == "RANDOMIZE") { expression(); buf_.put(48); }
    else if (word == "BAUD") { buf_.put(72); buf_.put(static_cast<uint8_t>(readConstant())); }
    else if (word == "SLOWMODE") { buf_.put(9); buf_.put(static_cast<uint8_t>(readConstant())); }
    else if (word == "INTERRUPT") interruptStatement();
    else if (word == "PAUSE") { expression(); buf_.put(2); }
    else if (word == "WAIT") waitStatement();
    else if (word == "END") buf_.put(255);
    else if (word == "BEEP") beepStatement();
    else if (word == "GOTO") { buf_.put(3); buf_.putLabelRef(in_.readWord()); }
    else if (word == "GOSUB") { buf_.put(5); buf_.putLabelRef(in_.readWord()); }
    else if (word == "RETURN") returnStatement();
    else if (word == "SYSCODE") sysCodeStatement();
    else if (word == "SYS") sysStatement();
    else if (word == "DEACT" || word == "TOG" || word == "PULSE") portStatement(word);
    else if (word == "INITMODEM") initModem();
    else if (word == "SENDMAIL") sendMail();
    else if (word == "GETMAIL") getMail();
    else assignmentOrJump(word);
}

void QuorinCompiler::assignmentOrJump(const std::string& word) {
    if (auto symbol = symbols_.find(word)) {
        expectChar('=');
        expression();
        store(*symbol);
        return;
    }
    if (in_.peekChar() == '=') fail(kVariableExpected, notAVariableText(word));
    buf_.put(3);
    buf_.putLabelRef(word);
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
    case kRamBit: buf_.put({21, i}); break;
    case kRamByte: buf_.put({22, i}); break;
    case kRamWord: buf_.put({23, i}); break;
    case kBitPort: buf_.put({10, i}); break;
    case kBytePort: buf_.put({11, i}); break;
    case kWordPort: buf_.put(12); break;
    case kAnalogIn: buf_.put({16, i}); break;
    case kAnalogOut: break;
    case kSystemVar: buf_.put({28, i}); break;
    default: networkLoad(symbol); break;
    }
}

void QuorinCompiler::store(uint32_t symbol) {
    uint8_t i = symbolIndex(symbol);
    switch (symbolKind(symbol)) {
    case kRamBit: buf_.put({24, i}); break;
    case kRamByte: buf_.put({25, i}); break;
    case kRamWord: buf_.put({26, i}); break;
    case kBitPort: buf_.put({13, i}); break;
    case kBytePort: buf_.put({14, i}); break;
    case kWordPort: buf_.put(15); break;
    case kAnalogIn: break;
    case kAnalogOut: buf_.put({17, i}); break;
    case kSystemVar: buf_.put({29, i}); break;
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
    buf_.put(4);
    buf_.putLabelRef(elseLabel);
    insideIf_ = true;
    statement(in_.readWord());
    if (in_.atStatementEnd()) {
        buf_.defineLabel(elseLabel);
        --depth_;
        return;
    }
    expectWord("ELSE");
    std::string endLabel = newLabel();
    buf_.put(3);
    buf_.putLabelRef(endLabel);
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
    buf_.put({static_cast<uint8_t>(isByte ? 74 : 75), index});
    buf_.putLabelRef(exitLabel);
    if (in_.peekWord() == "STEP") {
        in_.readWord();
        expression();
    } else {
        buf_.put({20, 0, 1});
    }
    buf_.put({static_cast<uint8_t>(isByte ? 76 : 77), index});
    buf_.putWord(entry.loopAddress);
    buf_.defineLabel(exitLabel);
    if (!insideIf_) forStack_.pop_back();
}

void QuorinCompiler::onStatement() {
    uint32_t symbol = readVariable();
    std::string jump = in_.readWord();
    uint8_t op;
    if (jump == "GOTO") op = 3;
    else if (jump == "GOSUB") op = 5;
    else fail(kExpectedJump);
    uint16_t k = 0;
    do {
        std::string target = in_.readWord();
        std::string next = newLabel();
        load(symbol);
        buf_.put(20);
        buf_.putWord(k++);
        buf_.put({64, 4});
        buf_.putLabelRef(next);
        buf_.put(op);
        buf_.putLabelRef(target);
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
            buf_.put(31);
            for (char c : *text) buf_.put(static_cast<uint8_t>(c));
            buf_.put(0);
        } else if (!atStatementTail()) {
            expression();
            buf_.put(30);
        }
        if (in_.acceptChar(',')) buf_.put({31, 9, 0});
        else if (!in_.acceptChar(';')) buf_.put({31, 13, 10, 0});
        if (atStatementTail()) break;
        // An item that reads nothing would repeat for ever; the line check
        // reports what is left.
        if (in_.position() == before) break;
    }
}

void QuorinCompiler::openStatement() {
    uint8_t mode = 2;
    if (in_.peekWord() == "FOR") {
        in_.readWord();
        std::string word = in_.readWord();
        if (word == "READ") mode = 1;
        else if (word == "WRITE") mode = 2;
        else if (word == "APPEND") mode = 3;
        else fail(kExpectedOpenMode);
    }
    buf_.put({70, mode});
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
    buf_.put(27);
    buf_.putLabelRef(table);
    store(symbol);
}

void QuorinCompiler::interruptStatement() {
    buf_.put(73);
    if (in_.peekWord() == "OFF") {
        in_.readWord();
        buf_.put({0, 0});
        return;
    }
    buf_.putLabelRef(in_.readWord());
}

void QuorinCompiler::waitStatement() {
    if (pass1_) buf_.put(0);
    std::string again = newLabel();
    buf_.defineLabel(again);
    if (pass1_) buf_.put(253);
    expression();
    buf_.put(4);
    buf_.putLabelRef(again);
}

void QuorinCompiler::beepStatement() {
    if (in_.peekWord() == "OFF") {
        in_.readWord();
        buf_.put({20, 0, 0, 29, 8});
        return;
    }
    expression();
    buf_.put({29, 8});
    expectChar(',');
    expression();
    std::string silent = newLabel();
    buf_.put({2, 4});
    buf_.putLabelRef(silent);
    buf_.put({20, 0, 0, 29, 8});
    buf_.defineLabel(silent);
    expectChar(',');
    expression();
    buf_.put(2);
}

void QuorinCompiler::returnStatement() {
    if (atStatementTail()) {
        buf_.put(6);
    } else if (in_.peekWord() == "INTERRUPT") {
        in_.readWord();
        buf_.put(7);
    } else {
        expression();
        buf_.put(6);
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
    buf_.put(8);
    buf_.putWord(address);
}

void QuorinCompiler::portStatement(const std::string& word) {
    std::string name = in_.readWord();
    auto symbol = symbols_.find(name);
    if (!symbol) fail(kPortVariableExpected);
    uint8_t kind = symbolKind(*symbol);
    uint8_t i = symbolIndex(*symbol);
    if (word == "TOG" || word == "PULSE") {
        if (kind != kBitPort) fail(kPortVariableExpected);
        buf_.put({static_cast<uint8_t>(word == "TOG" ? 80 : 81), i});
        return;
    }
    switch (kind) {
    case kBitPort: buf_.put({82, i}); break;
    case kBytePort: buf_.put({83, i}); break;
    case kWordPort: buf_.put(84); break;
    case kNetPortFar: networkStore(*symbol, 3); break;
    default: fail(kPortVariableExpected);
    }
}

}  // namespace vxbasic
