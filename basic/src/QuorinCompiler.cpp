#include "QuorinCompiler.h"

#include <algorithm>
#include <cstdio>

#include "CompileError.h"

namespace vexa::vxbasic {

namespace {

struct TypeEntry {
  const char* word;
  uint8_t kind;
  int maxIndex;  // 0: not checked
};

const TypeEntry kTypes[] = {
    {"BIT", kRamBit, 192},  {"BYTE", kRamByte, 24},     {"WORD", kRamWord, 12},
    {"PORT", kBitPort, 16}, {"BYTEPORT", kBytePort, 2}, {"WORDPORT", kWordPort, 1},
    {"AD", kAnalogIn, 8},   {"DA", kAnalogOut, 2},      {"AD12", kNetAd12, 0},
};

// RAM variables of automatic placement must stay in the 24 variable bytes.
constexpr unsigned kRamVariableBytes = 24;

bool isIdentifier(const std::string& name) {
  if (name.empty() || !(isLetter(name[0]) || name[0] == '_')) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

}  // namespace

QuorinCompiler::QuorinCompiler(bool pass1, std::string baseDirectory,
                               NameTable<uint32_t>* symbolMap, std::vector<int>* breakpoints)
    : pass1_(pass1),
      baseDirectory_(std::move(baseDirectory)),
      symbolMap_(symbolMap),
      breakpoints_(breakpoints) {
  constants_.add("ON", 65535);
  constants_.add("OFF", 0);
  constants_.add("R1200", 219);
  constants_.add("R2400", 210);
  constants_.add("R4800", 201);
  constants_.add("R9600", 192);
  const char* const systemNames[] = {"YEAR",   "MONTH", "DAY",   "DOW",   "HOUR",  "MINUTE",
                                     "SECOND", "TIMER", "TICKS", "FREQ1", "FREQ2", "FILEFREE"};
  for (uint8_t i = 0; i < 12; ++i) symbols_.add(systemNames[i], makeSymbol(kSystemVar, i));
  symbols_.add("FREQ", makeSymbol(kSystemVar, 9));
}

void QuorinCompiler::fail(int code, std::string text) { raise(line_, code, std::move(text)); }
void QuorinCompiler::fail(int code) { raise(line_, code, errorText(code)); }

uint16_t QuorinCompiler::readConstant() {
  auto value = parseConstant(in_.readWord(), constants_);
  if (!value) fail(kConstantExpected);
  return *value;
}

void QuorinCompiler::expectChar(char c) {
  if (!in_.acceptChar(c)) fail(kExpectedChar, expectedCharText(c));
}

void QuorinCompiler::expectWord(const char* word) {
  if (in_.readWord() != word) fail(kExpectedWord, errorText(kExpectedWord, word));
}

bool QuorinCompiler::atStatementTail() { return in_.atStatementEnd() || in_.peekWord() == "ELSE"; }

namespace {
constexpr unsigned kMaxNesting = 200;
}

void QuorinCompiler::enterNesting() {
  if (++depth_ > kMaxNesting) fail(kSyntaxError);
}

std::string QuorinCompiler::newLabel() { return "__LABEL_" + std::to_string(labelCounter_++); }

bool QuorinCompiler::compileLine(int line, std::string text) {
  line_ = line;
  depth_ = 0;
  buf_.setLine(line);
  insideIf_ = false;
  in_.reset(std::move(text));
  bool produced = false;
  for (;;) {
    if (in_.atLineEnd()) break;
    if (tableLines_) {
      readBlockValues(Block::Table);
    } else if (sysCodeLines_) {
      readBlockValues(Block::SysCode);
    } else {
      std::string word = in_.readWord();
      if (word == "DEFINE") {
        defineStatement();
      } else if (word == "NETWORK") {
        networkDeclaration();
      } else if (!word.empty() && (isDigit(word[0]) || (word[0] == '#' && word.size() > 1))) {
        std::string name = word[0] == '#' ? word.substr(1) : word;
        buf_.defineLabel(name, word);
        if (!in_.atLineEnd()) {
          statement(in_.readWord());
          produced = true;
        }
      } else {
        statement(word);
        produced = true;
      }
    }
    if (in_.acceptChar(':')) continue;
    if (!in_.atLineEnd()) fail(kExpectedLineEnd);
    break;
  }
  return produced;
}

void QuorinCompiler::defineStatement() {
  std::string name = in_.readWord();
  if (!isIdentifier(name)) fail(kInvalidName);
  if (constants_.contains(name) || symbols_.contains(name))
    fail(kDuplicateIdentifier, errorText(kDuplicateIdentifier, name));
  if (in_.atLineEnd()) fail(kUnexpectedLineEnd);

  std::string word = in_.readWord();
  if (auto value = parseConstant(word, constants_)) {
    constants_.add(name, *value);
    return;
  }
  if (auto alias = symbols_.find(word)) {
    symbols_.add(name, *alias);
    return;
  }
  const TypeEntry* type = nullptr;
  for (const TypeEntry& t : kTypes)
    if (word == t.word) type = &t;
  if (!type) fail(kUndefinedIdentifier, errorText(kUndefinedIdentifier, name));

  if (in_.acceptChar('[')) {
    int n = static_cast<int16_t>(readConstant());
    expectChar(']');
    if (in_.atStatementEnd()) {
      if (type->maxIndex != 0 && (n < 1 || n > type->maxIndex))
        fail(kOutOfRange, outOfRangeText(n));
      symbols_.add(name, makeSymbol(type->kind, static_cast<uint8_t>(n - 1)));
      return;
    }
    expectWord("AT");
    uint8_t station = static_cast<uint8_t>(readConstant());
    uint8_t farOrNear = (station < 4 || station > 31) ? kNetPortFar : kNetPortNear;
    switch (type->kind) {
      case kBitPort:
        // Only the 8 bits of the index can hold the port's mask.
        if (n < 1 || n > 8) fail(kOutOfRange, outOfRangeText(n));
        symbols_.add(name, makeSymbol(farOrNear, static_cast<uint8_t>(1u << (n - 1)), station));
        return;
      case kBytePort: symbols_.add(name, makeSymbol(farOrNear, 255, station)); return;
      case kAnalogIn:
        symbols_.add(name, makeSymbol(kNetAd, static_cast<uint8_t>(n - 1), station));
        return;
      case kNetAd12:
        symbols_.add(name, makeSymbol(kNetAd12, static_cast<uint8_t>(n - 1), station));
        return;
      default: fail(kSyntaxError);
    }
  }
  if (type->kind == kRamByte) {
    if (byteCounter_ >= kRamVariableBytes)
      fail(kOutOfRange, outOfRangeText(static_cast<int>(byteCounter_ + 1)));
    symbols_.add(name, makeSymbol(kRamByte, static_cast<uint8_t>(byteCounter_)));
    ++byteCounter_;
    wordCounter_ = (byteCounter_ + 1) / 2;
  } else if (type->kind == kRamWord) {
    if (wordCounter_ >= kRamVariableBytes / 2)
      fail(kOutOfRange, outOfRangeText(static_cast<int>(wordCounter_ + 1)));
    symbols_.add(name, makeSymbol(kRamWord, static_cast<uint8_t>(wordCounter_)));
    ++wordCounter_;
    byteCounter_ = 2 * wordCounter_;
  } else {
    fail(kExpectedBitNumber);
  }
}

void QuorinCompiler::readBlockValues(Block block) {
  const bool sysCode = block == Block::SysCode;
  bool& insideBlock = sysCode ? sysCodeLines_ : tableLines_;
  const char* endWord = sysCode ? "SYSEND" : "TABEND";
  for (;;) {
    while (in_.acceptChar(',')) {}
    if (in_.atLineEnd()) return;
    std::string word = in_.readWord();
    if (word == endWord) {
      insideBlock = false;
      return;
    }
    auto value = parseConstant(word, constants_);
    if (!value) fail(kConstantExpected);
    if (sysCode)
      buf_.putSys(static_cast<uint8_t>(*value));
    else
      buf_.putWord(*value);
  }
}

void QuorinCompiler::lineMarker() {
  if (!pass1_) return;
  buf_.put({Op::LineMarker, static_cast<uint16_t>(line_)});
  if (breakpoints_ && (breakpoints_->empty() || breakpoints_->back() != line_))
    breakpoints_->push_back(line_);
}

void QuorinCompiler::finishPass(bool errorsReported) {
  buf_.put(Op::End);
  if (networkNeeded_) appendNetworkRoutines();
  if (buf_.code().size() % 2 != 0) buf_.put(Op::Nop);
  buf_.resolveFixups(errorsReported);
  if (pass1_ && symbolMap_) {
    for (const auto& [name, value] : symbols_.entries()) symbolMap_->add(name, mapCodeOf(value));
  }
}

}  // namespace vexa::vxbasic
