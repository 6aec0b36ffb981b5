// Single-pass recursive-descent parser of one module: declares names, emits intermediate
// code, reports errors as message lines and recovers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataSymbols.h"
#include "Error.h"
#include "IntermediateCodeSequence.h"
#include "Module.h"
#include "Procedure.h"
#include "Program.h"
#include "TokenList.h"

namespace vexa::vx2 {

class MessageStream;

class Parser {
 public:
  // Compiles the module's token list; returns the number of messages reported.
  int compile(Program& program, Module& module, MessageStream* messages, TokenList& tokens,
              const std::string& messageName);

 private:
  // Token discipline.
  int token() const { return tokens_->type(); }
  void next(int expected = 0);
  void settle(int expected);  // passes line ends and unusable tokens at the cursor
  void skipTo(bool (*stop)(int));
  void back() { tokens_->stepBack(); }
  void expect(int type);
  int peekNext();  // next(0) when the result is only looked at before stepping back
  struct Position {
    size_t cursor;
    int line;
  };
  Position save() const { return {tokens_->position(), line_}; }
  void restore(const Position& p) {
    tokens_->reset(p.cursor);
    line_ = p.line;
  }
  void setLineInfoBit(uint8_t bit);

  // Messages.
  void report(const std::string& text);
  [[noreturn]] void fail(const std::string& text, int code);
  [[noreturn]] void unexpected(int type);
  Scope* checkFound(Scope* node, const std::string& name);
  void checkKind(Scope* node, int kind);
  Scope* declare(const std::string& name, SymbolPtr symbol, int kind, bool hidden);
  void checkSameType(const Type* a, const Type* b);
  void checkNumeric(const Type* t);
  Function* currentFunction(int type);
  void markStatement();

  // Code targets.
  IntermediateCodeSequence& code() { return *targets_.back(); }
  void pushTarget(IntermediateCodeSequence* target) { targets_.push_back(target); }
  void popTarget() { targets_.pop_back(); }

  // Declarations.
  void moduleBody();
  Scope* qualifiedIdent();
  TypePtr typeName();
  int nameWithDimension(std::string& name);
  double constantExpression();
  void constantDeclaration();
  void typeDeclaration();
  void variableDeclaration();
  // "array too big" for a dimension above 65535 (negative ones too) or a datum ending beyond 64K.
  void checkDataSize(int dimension, int offset, const Type& type);
  void declareFieldVariables(const std::shared_ptr<Variable>& variable);

  // Procedures and statements.
  void threadDeclaration();
  void functionDeclaration(bool isInline);
  void parameters(Function& function);
  void inlineBody();
  void call(Function& function, bool asStatement);
  void arguments(Function& function);
  void block();
  void braceList(const std::function<void()>& item);
  void statement();
  void ifStatement();
  void loopStatement();
  void whileStatement();
  void doStatement();
  void forStatement();
  void identifierStatement();
  void threadStatement(int op);
  void captureStatement();
  int32_t placeNewLabel();

  // Expressions.
  void expression();
  void level(int n);
  void factor();
  Data* designator(Data* data, bool& indirect, bool skipKindCheck, bool pushAddress);
  void index(Data* data);
  void stringAssignment(const DataPtr& target, const IntermediateCodeSequence* targetAddress);
  void stringPart(const std::shared_ptr<Variable>& temp);
  std::shared_ptr<Variable> nextTempString();
  SymbolPtr symbolOf(Scope* node) const { return node->symbol; }

  Program* program_ = nullptr;
  Module* module_ = nullptr;
  TokenList* tokens_ = nullptr;
  MessageStream* messages_ = nullptr;
  std::string messageName_;
  int line_ = 1;
  int declarationLine_ = 1;
  Procedure* procedure_ = nullptr;
  int count_ = 0;
  bool constantExpression_ = false;
  std::vector<IntermediateCodeSequence*> targets_;
  std::vector<int32_t> breakLabels_;
  std::vector<int32_t> continueLabels_;
  int tempStrings_ = 0;
};

}  // namespace vexa::vx2
