// One pass of the VXBasic compiler over the lines of a source text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "CodeBuffer.h"
#include "LineScanner.h"
#include "Symbols.h"

namespace vexa::vxbasic {

class QuorinCompiler {
 public:
  // Pass 1 (debug pass) puts line markers in front of every statement and
  // fills the symbol map and breakpoint lines given; pass 2 leaves them.
  QuorinCompiler(bool pass1, std::string baseDirectory, NameTable<uint32_t>* symbolMap = nullptr,
                 std::vector<int>* breakpoints = nullptr);

  // Compiles one line; returns whether it produced code. Throws CompileError.
  bool compileLine(int line, std::string text);
  // End byte, network routines, padding, fix-ups, symbol map. Throws
  // CompileError. `errorsReported`: lines of this pass failed already.
  void finishPass(bool errorsReported = false);

  const std::vector<uint8_t>& code() const { return buf_.code(); }
  const std::vector<uint8_t>& sysCode() const { return buf_.sysCode(); }

 private:
  struct ForEntry {
    std::string text;
    uint32_t variable;
    uint16_t loopAddress;
  };

  // Line level
  void defineStatement();
  void networkDeclaration();
  // Constants of one line inside a TABLE (words) or SYSCODE (bytes) block,
  // commas between; TABEND or SYSEND closes the block.
  enum class Block { Table, SysCode };
  void readBlockValues(Block block);

  // Statements
  void statement(std::string word);
  void dispatch(const std::string& word);
  void ifStatement();
  void forStatement();
  void nextStatement();
  void onStatement();
  void printStatement();
  void openStatement();
  void tableStatement();
  void lookTabStatement();
  void interruptStatement();
  void waitStatement();
  void beepStatement();
  void returnStatement();
  void sysCodeStatement();
  void sysStatement();
  void portStatement(const std::string& word);
  void assignmentOrJump(const std::string& word);

  // Variables
  uint32_t readVariable();
  void load(uint32_t symbol);
  void store(uint32_t symbol);

  // Expressions, lowest binding first
  struct BinaryOperator {
    const char* text;  // one symbol character or a word
    Op op;
  };
  // Operands of the next level joined by the operators of this one, each
  // operator's opcode after its right operand.
  void binaryLevel(std::initializer_list<BinaryOperator> operators,
                   void (QuorinCompiler::*operand)());
  std::optional<Op> acceptOperator(std::initializer_list<BinaryOperator> operators);
  void expression();
  void andLevel();
  void notLevel();
  void simpleExpression();
  void term();
  void factor();
  bool function(const std::string& word);

  // Network
  void initModem();
  void sendMail();
  void getMail();
  void requestHead(uint8_t command, uint8_t station);
  void networkLoad(uint32_t symbol);
  void networkStore(uint32_t symbol, uint8_t command);
  void appendNetworkRoutines();
  void callRoutine(const char* label);
  void replyCheck();

  // Helpers
  [[noreturn]] void fail(int code, std::string text);
  [[noreturn]] void fail(int code);
  uint16_t readConstant();
  void expectChar(char c);
  void expectWord(const char* word);
  bool atStatementTail();
  std::string newLabel();
  std::string quotedFileName();
  void lineMarker();

  bool pass1_;
  std::string baseDirectory_;
  NameTable<uint32_t>* symbolMap_;
  std::vector<int>* breakpoints_;

  NameTable<uint16_t> constants_;
  NameTable<uint32_t> symbols_;
  CodeBuffer buf_;
  LineScanner in_;
  int line_ = 0;

  bool tableLines_ = false;
  bool sysCodeLines_ = false;
  bool insideIf_ = false;
  bool networkNeeded_ = false;
  bool usedNetwork_ = false;
  bool mailSlotDeclared_ = false;
  unsigned byteCounter_ = 0;
  unsigned wordCounter_ = 0;
  uint8_t station_ = 0;
  uint8_t mailSlot_ = 0;
  std::string statementLabel_;
  unsigned labelCounter_ = 0;
  std::vector<ForEntry> forStack_;
  // Nesting of parentheses and IF statements; bounded so that a hostile
  // line cannot exhaust the stack.
  unsigned depth_ = 0;
  void enterNesting();
};

}  // namespace vexa::vxbasic
