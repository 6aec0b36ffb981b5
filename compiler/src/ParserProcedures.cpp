// Threads, functions, calls and statements.
#include "CompilerTexts.h"
#include "Parser.h"
#include "Token.h"
#include "vexa/conversions.h"
#include "vexa/vm_contract.h"

namespace vexa::vx2 {

namespace {
// Restores the break and continue stacks when a loop is left, also by an error.
struct LoopLabels {
  std::vector<int32_t>& breaks;
  std::vector<int32_t>& continues;
  size_t breakSize, continueSize;
  LoopLabels(std::vector<int32_t>& b, std::vector<int32_t>& c, int32_t breakLabel,
             int32_t continueLabel)
      : breaks(b), continues(c), breakSize(b.size()), continueSize(c.size()) {
    breaks.push_back(breakLabel);
    continues.push_back(continueLabel);
  }
  ~LoopLabels() {
    breaks.resize(breakSize);
    continues.resize(continueSize);
  }
};

// The position identifier of the statement just marked (0 outside a build).
int32_t lastMarkedPosition(const Program& program) {
  return program.building() ? program.lastPosition() : 0;
}

// The end of while and do: back to the start while the condition on the stack is true.
void loopBackWhileTrue(IntermediateCodeSequence& code, int32_t startLabel, int32_t breakLabel) {
  code.pushInt(0);
  code.appendFolded(OP_EQUAL);
  code.appendWithOperand(OP_JUMP_IF_FALSE, startLabel);
  code.appendWithOperand(OP_LABEL, breakLabel);
}

int kindOf(const Type* type) {
  int kind = numericKindOf(type);
  return kind < 0 ? NUM_INT : kind;
}
}  // namespace

int32_t Parser::placeNewLabel() {
  int32_t label = program_->newLabel();
  code().appendWithOperand(OP_LABEL, label);
  return label;
}

void Parser::threadDeclaration() {
  tempStrings_ = 0;
  declarationLine_ = line_;
  next(TOKEN_IDENTIFIER);
  std::string name = tokens_->text();
  auto thread = std::make_shared<Thread>(name == "main" ? vexa::vm::kDefaultSlice : 0);
  Scope* node = declare(name, thread, KIND_THREAD, true);
  program_->enterScope(node);
  module_->scopeMarks.emplace_back(line_, node);
  pushTarget(&thread->code);
  procedure_ = thread.get();
  int32_t top = placeNewLabel();
  next(0);
  block();
  code().appendWithOperand(OP_JUMP, top);
  thread->code.addStackNeed(96 + thread->frameSize);
  program_->leaveScope();
  popTarget();
  procedure_ = nullptr;
  module_->scopeMarks.emplace_back(line_, module_->node);
}

void Parser::functionDeclaration(bool isInline) {
  tempStrings_ = 0;
  declarationLine_ = line_;
  next(TOKEN_IDENTIFIER);
  std::string name = tokens_->text();
  auto function = std::make_shared<Function>(isInline);
  Scope* node = declare(name, function, KIND_FUNCTION, false);
  if (!isInline) {
    auto cap = std::make_shared<Variable>(NumericType::builtin(NUM_BYTE), STORAGE_GLOBAL, false, 0,
                                          nullptr);
    declare(name + "_@cap", cap, KIND_VARIABLE, false);
    cap->flags |= Identified::FLAG_HIDDEN;
    function->cap = cap;
  }
  program_->enterScope(node);
  module_->scopeMarks.emplace_back(line_, node);
  pushTarget(&function->code);
  procedure_ = function.get();
  parameters(*function);
  next(0);
  if (token() == TOKEN_RETURNS) {
    next(0);
    TypePtr type = typeName();
    // Only numeric results travel on the VM stack.
    if (!isNumeric(type.get())) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
    if (numericKindOf(type.get()) == NUM_BYTE) type = NumericType::builtin(NUM_INT);
    function->returnType = type;
    next(0);
  }
  function->layoutParameters();
  if (isInline) {
    inlineBody();
  } else {
    block();
    if (function->returnType) code().pushInt(0);
    code().appendSymbol(OP_RETURN, function);
  }
  function->code.addStackNeed(96 + function->frameSize + function->parameterSize);
  popTarget();
  program_->leaveScope();
  procedure_ = nullptr;
  module_->scopeMarks.emplace_back(line_, program_->currentScope());
}

void Parser::parameters(Function& function) {
  next(TOKEN_LPAREN);
  if (peekNext() == TOKEN_RPAREN) return;
  back();
  do {
    next(0);
    TypePtr type = typeName();
    declarationLine_ = line_;
    next(TOKEN_IDENTIFIER);
    std::string name = tokens_->text();
    bool isArray = false;
    if (peekNext() == TOKEN_LBRACKET) {
      next(TOKEN_RBRACKET);
      isArray = true;
    } else {
      back();
      if (numericKindOf(type.get()) == NUM_BYTE) type = NumericType::builtin(NUM_INT);
    }
    if (!isNumeric(type.get()) || isArray) {
      auto reference = std::make_shared<Reference>(type, isArray);
      declare(name + "_@ref", reference, KIND_VARIABLE, false);
      function.addParameter(reference);
      auto variable = std::make_shared<Variable>(type, STORAGE_LOCAL, isArray, 0, reference);
      declare(name, variable, KIND_VARIABLE, false);
      function.allocateLocal(variable);
      if (type->category == CATEGORY_USER) declareFieldVariables(variable);
    } else {
      auto variable = std::make_shared<Variable>(type, STORAGE_LOCAL, false, 0, nullptr);
      declare(name, variable, KIND_VARIABLE, false);
      function.addParameter(variable);
    }
  } while (peekNext() == TOKEN_COMMA);
  expect(TOKEN_RPAREN);
}

void Parser::inlineBody() {
  braceList([this] {
    expect(TOKEN_INLINE);
    code().appendWithOperand(OP_WORD, vexa::vm::floatToInt32(constantExpression()));
  });
}

void Parser::arguments(Function& function) {
  // A variable passed by reference: its address, then the element or field it designates.
  auto referenceArgument = [&]() -> const Type* {
    expect(TOKEN_IDENTIFIER);
    Scope* node = qualifiedIdent();
    checkKind(node, KIND_ANY_DATA);
    auto data = std::static_pointer_cast<Data>(node->symbol);
    data->markUsed();
    code().appendSymbol(OP_ADDRESS, data);
    bool indirect = false;
    return designator(data.get(), indirect, false, false)->type();
  };
  next(TOKEN_LPAREN);
  for (size_t i = 0; i < function.parameters.size(); ++i) {
    if (i > 0) next(TOKEN_COMMA);
    next(0);
    const Data& parameter = *function.parameters[i];
    const Type* type = parameter.type();
    if (isNumeric(type) && parameter.array) {
      const Type* argument = referenceArgument();
      bool stringIntoBytes = numericKindOf(type) == NUM_BYTE && isStringType(argument);
      if (!stringIntoBytes) checkSameType(type, argument);
    } else if (isNumeric(type)) {
      expression();
      code().appendWithOperand(OP_CONVERT, numericKindOf(type));
    } else if (type->category == CATEGORY_USER) {
      checkSameType(type, referenceArgument());
    } else if (parameter.array) {
      expect(TOKEN_IDENTIFIER);
      Scope* node = qualifiedIdent();
      checkKind(node, KIND_VARIABLE);
      auto data = std::static_pointer_cast<Data>(node->symbol);
      checkSameType(type, data->type());
      data->markUsed();
      code().appendSymbol(OP_ADDRESS, data);
    } else if (token() == TOKEN_STRING) {
      auto temp = nextTempString();
      code().appendSymbol(OP_ADDRESS, temp);
      code().appendWithOperand(OP_STR_CLEAR, 0);
      code().appendSymbol(OP_ADDRESS, temp);
      code().appendText(OP_STR_APPEND_TEXT, tokens_->text());
      code().appendSymbol(OP_ADDRESS, temp);
    } else {
      expect(TOKEN_IDENTIFIER);
      Scope* node = qualifiedIdent();
      checkKind(node, KIND_ANY_DATA);
      auto data = std::static_pointer_cast<Data>(node->symbol);
      checkSameType(type, data->type());
      data->markUsed();
      std::shared_ptr<Variable> temp;
      if (data->storage == STORAGE_CONSTANT) {
        temp = nextTempString();
        code().appendSymbol(OP_ADDRESS, temp);
        code().appendWithOperand(OP_STR_CLEAR, 0);
        code().appendSymbol(OP_ADDRESS, temp);
      }
      code().appendSymbol(OP_ADDRESS, data);
      if (data->array) {
        if (peekNext() == TOKEN_LBRACKET)
          index(data.get());
        else
          back();
      }
      if (temp) {
        code().appendSymbol(OP_STR_APPEND_CONST, data->array ? SymbolPtr(data) : SymbolPtr());
        code().appendSymbol(OP_ADDRESS, temp);
      }
    }
  }
  next(TOKEN_RPAREN);
}

void Parser::call(Function& function, bool asStatement) {
  if (asStatement) markStatement();
  function.markUsed();
  arguments(function);
  auto self = std::static_pointer_cast<Function>(function.shared_from_this());
  if (function.isInline) code().append(function.code, false);
  if (!asStatement || !function.isInline) code().appendSymbol(OP_CALL, self);
  if (asStatement && function.returnType) code().appendSymbol(OP_DROP_RESULT, self);
  (procedure_ ? procedure_->code : code()).raiseCalleeNeed(function.code.stackNeed());
}

void Parser::block() {
  braceList([this] { statement(); });
}

// "{" items separated by ";" "}": an error inside an item skips to the next ";" or "}" and
// restores the parser state the item may have left behind.
void Parser::braceList(const std::function<void()>& item) {
  expect(TOKEN_LBRACE);
  for (;;) {
    next(0);
    if (token() == TOKEN_RBRACE) break;
    if (token() == TOKEN_SEMICOLON) continue;
    Scope* scope = program_->currentScope();
    size_t targets = targets_.size();
    size_t breaks = breakLabels_.size(), continues = continueLabels_.size();
    try {
      item();
      if (token() != TOKEN_RBRACE) next(TOKEN_SEMICOLON);
    } catch (const Error& error) {
      if (error.code == Error::ABORT) throw;
      targets_.resize(targets);
      breakLabels_.resize(breaks);
      continueLabels_.resize(continues);
      constantExpression_ = false;
      skipTo([](int t) { return t == TOKEN_SEMICOLON || t == TOKEN_RBRACE; });
      back();
      program_->popScopesTo(scope);
    }
  }
}

void Parser::threadStatement(int op) {
  markStatement();
  next(0);
  if (token() == TOKEN_IDENTIFIER) {
    Scope* node = qualifiedIdent();
    checkKind(node, KIND_THREAD);
    code().appendSymbol(op, node->symbol);
  } else {
    back();
    code().appendSymbol(op, nullptr);
  }
}

void Parser::captureStatement() {
  markStatement();
  next(0);
  std::shared_ptr<Variable> variable;
  if (token() == TOKEN_SEMICOLON) {
    Function* function = currentFunction(TOKEN_CAPTURE);
    if (!function->cap) unexpected(TOKEN_CAPTURE);
    variable = function->cap;
    back();
  } else {
    expect(TOKEN_IDENTIFIER);
    Scope* node = qualifiedIdent();
    checkKind(node, KIND_VARIABLE);
    variable = std::static_pointer_cast<Variable>(node->symbol);
    checkSameType(NumericType::builtin(NUM_BYTE).get(), variable->type());
  }
  variable->markUsed();
  code().appendSymbol(OP_ADDRESS, variable);
  code().appendWithOperand(OP_CAPTURE, 0);
}

void Parser::statement() {
  switch (token()) {
    case TOKEN_LBRACE: block(); return;
    case TOKEN_SEMICOLON: back(); return;
    case TOKEN_INLINE:
      markStatement();
      code().appendWithOperand(OP_WORD, vexa::vm::floatToInt32(constantExpression()));
      return;
    case TOKEN_RETURN: {
      markStatement();
      Function* function = currentFunction(TOKEN_RETURN);
      if (function->returnType) {
        next(0);
        expression();
      }
      code().appendSymbol(OP_RETURN,
                          std::static_pointer_cast<Function>(function->shared_from_this()));
      return;
    }
    case TOKEN_RUN: {
      markStatement();
      Position start = save();
      next(0);
      if (token() == TOKEN_IDENTIFIER) {
        Scope* node = Scope::lookup(program_->currentScope(), tokens_->text());
        if (node && node->symbol && node->symbol->kind == KIND_MODULE && peekNext() == TOKEN_DOT &&
            peekNext() == TOKEN_IDENTIFIER)
          node = node->findVisibleChild(tokens_->text());
        if (node && node->symbol && node->symbol->kind == KIND_THREAD) {
          code().pushInt(vexa::vm::kDefaultSlice);
          code().appendSymbol(OP_RUN, node->symbol);
          return;
        }
      }
      restore(start);
      next(0);
      expression();
      code().appendWithOperand(OP_CONVERT, NUM_INT);
      code().appendSymbol(OP_RUN, nullptr);
      return;
    }
    case TOKEN_HALT: threadStatement(OP_HALT); return;
    case TOKEN_RESUME: threadStatement(OP_RESUME); return;
    case TOKEN_RESET: threadStatement(OP_RESET); return;
    case TOKEN_SLEEP:
    case TOKEN_QUIT: {
      int op = token() == TOKEN_SLEEP ? OP_SLEEP : OP_QUIT;
      markStatement();
      next(0);
      expression();
      code().appendWithOperand(OP_CONVERT, NUM_INT);
      code().appendWithOperand(op, 0);
      return;
    }
    case TOKEN_YIELD:
      markStatement();
      code().appendWithOperand(OP_YIELD, 0);
      return;
    case TOKEN_CAPTURE: captureStatement(); return;
    case TOKEN_RELEASE:
      markStatement();
      code().appendWithOperand(OP_RELEASE, 0);
      return;
    case TOKEN_WAIT: {
      markStatement();
      int32_t again = placeNewLabel();
      code().appendWithOperand(OP_YIELD, 0);
      next(0);
      expression();
      code().appendWithOperand(OP_CONVERT, NUM_INT);
      code().appendWithOperand(OP_JUMP_IF_FALSE, again);
      return;
    }
    case TOKEN_IF: ifStatement(); return;
    case TOKEN_LOOP: loopStatement(); return;
    case TOKEN_FOR: forStatement(); return;
    case TOKEN_WHILE: whileStatement(); return;
    case TOKEN_DO: doStatement(); return;
    case TOKEN_BREAK:
    case TOKEN_CONTINUE: {
      int type = token();
      markStatement();
      auto& labels = type == TOKEN_BREAK ? breakLabels_ : continueLabels_;
      if (labels.empty()) unexpected(type);
      code().appendWithOperand(OP_JUMP, labels.back());
      return;
    }
    case TOKEN_IDENTIFIER: identifierStatement(); return;
    default: variableDeclaration(); return;
  }
}

void Parser::ifStatement() {
  markStatement();
  int32_t elseLabel = program_->newLabel();
  next(0);
  expression();
  code().appendWithOperand(OP_CONVERT, NUM_INT);
  code().appendWithOperand(OP_JUMP_IF_FALSE, elseLabel);
  next(0);
  statement();
  Position afterThen = save();
  if (token() != TOKEN_RBRACE) next(TOKEN_SEMICOLON);
  int32_t endLabel = elseLabel;
  if (peekNext() == TOKEN_ELSE) {
    endLabel = program_->newLabel();
    code().appendWithOperand(OP_JUMP, endLabel);
    code().appendWithOperand(OP_LABEL, elseLabel);
    next(0);
    statement();
  } else {
    restore(afterThen);
  }
  code().appendWithOperand(OP_LABEL, endLabel);
}

void Parser::loopStatement() {
  int32_t breakLabel = program_->newLabel();
  int32_t continueLabel = placeNewLabel();
  LoopLabels labels(breakLabels_, continueLabels_, breakLabel, continueLabel);
  next(0);
  statement();
  code().appendWithOperand(OP_JUMP, continueLabel);
  code().appendWithOperand(OP_LABEL, breakLabel);
}

void Parser::whileStatement() {
  markStatement();
  int32_t position = lastMarkedPosition(*program_);
  int32_t breakLabel = program_->newLabel();
  int32_t continueLabel = program_->newLabel();
  int32_t testLabel = program_->newLabel();
  LoopLabels labels(breakLabels_, continueLabels_, breakLabel, continueLabel);
  code().appendWithOperand(OP_JUMP, testLabel);
  IntermediateCodeSequence condition;
  pushTarget(&condition);
  next(0);
  expression();
  code().appendWithOperand(OP_CONVERT, NUM_INT);
  popTarget();
  int32_t startLabel = placeNewLabel();
  next(0);
  statement();
  code().appendWithOperand(OP_MARKER, position);
  code().appendWithOperand(OP_LABEL, continueLabel);
  code().appendWithOperand(OP_LABEL, testLabel);
  code().append(condition, true);
  loopBackWhileTrue(code(), startLabel, breakLabel);
}

void Parser::doStatement() {
  int32_t breakLabel = program_->newLabel();
  int32_t continueLabel = program_->newLabel();
  LoopLabels labels(breakLabels_, continueLabels_, breakLabel, continueLabel);
  int32_t startLabel = placeNewLabel();
  next(0);
  statement();
  code().appendWithOperand(OP_LABEL, continueLabel);
  markStatement();
  next(TOKEN_WHILE);
  next(0);
  expression();
  code().appendWithOperand(OP_CONVERT, NUM_INT);
  loopBackWhileTrue(code(), startLabel, breakLabel);
}

void Parser::forStatement() {
  markStatement();
  int32_t position = lastMarkedPosition(*program_);
  int32_t breakLabel = program_->newLabel();
  int32_t continueLabel = program_->newLabel();
  LoopLabels labels(breakLabels_, continueLabels_, breakLabel, continueLabel);

  next(0);
  Scope* node = qualifiedIdent();
  checkKind(node, KIND_VARIABLE);
  auto variable = std::static_pointer_cast<Data>(node->symbol);
  variable->markUsed();
  IntermediateCodeSequence target, start, end, step, body;
  bool indirect = false;
  pushTarget(&target);
  Data* designated = designator(variable.get(), indirect, false, true);
  popTarget();
  checkNumeric(designated->type());
  SymbolPtr counter = designated->shared_from_this();
  int kind = numericKindOf(designated->type());
  next(TOKEN_ASSIGN);

  pushTarget(&start);
  next(0);
  expression();
  code().appendWithOperand(OP_CONVERT, kind);
  popTarget();
  next(TOKEN_ELLIPSIS);

  next(0);
  int test = OP_GREATER;
  switch (token()) {
    case TOKEN_GREATER: test = OP_LESS_EQUAL; break;
    case TOKEN_LESS: test = OP_GREATER_EQUAL; break;
    case TOKEN_GREATER_EQUAL: test = OP_LESS; break;
    case TOKEN_LESS_EQUAL: test = OP_GREATER; break;
    default: back(); break;
  }
  pushTarget(&end);
  next(0);
  expression();
  code().appendWithOperand(OP_CONVERT, kind);
  popTarget();

  pushTarget(&step);
  if (peekNext() == TOKEN_STEP) {
    next(0);
    expression();
  } else {
    back();
    code().pushInt(1);
  }
  popTarget();

  pushTarget(&body);
  next(0);
  statement();
  code().appendWithOperand(OP_LABEL, continueLabel);
  popTarget();

  auto& out = code();
  int32_t testLabel = program_->newLabel();
  out.append(start, true);
  out.appendWithOperand(OP_JUMP, testLabel);
  int32_t loopLabel = placeNewLabel();
  out.append(body, true);
  out.appendWithOperand(OP_MARKER, position);
  out.append(target, true);
  out.appendSymbol(indirect ? OP_LOAD_INDIRECT : OP_LOAD, counter);
  out.append(step, true);
  out.appendFolded(OP_ADD);
  out.appendWithOperand(OP_CONVERT, kind);
  out.appendWithOperand(OP_LABEL, testLabel);
  out.append(target, true);
  out.appendSymbol(indirect ? OP_STORE_INDIRECT : OP_STORE, counter);
  out.append(target, true);
  out.appendSymbol(indirect ? OP_LOAD_INDIRECT : OP_LOAD, counter);
  out.append(end, true);
  out.appendFolded(test);
  out.appendWithOperand(OP_JUMP_IF_FALSE, loopLabel);
  out.appendWithOperand(OP_LABEL, breakLabel);
}

void Parser::identifierStatement() {
  Position start = save();
  Scope* node = qualifiedIdent();
  int kind = node->symbol ? node->symbol->kind : KIND_NONE;
  if (kind == KIND_FUNCTION) {
    call(static_cast<Function&>(*node->symbol), true);
    return;
  }
  if (kind != KIND_VARIABLE) {
    restore(start);
    variableDeclaration();
    return;
  }
  auto variable = std::static_pointer_cast<Data>(node->symbol);
  variable->markUsed();
  markStatement();
  IntermediateCodeSequence target;
  bool indirect = false;
  pushTarget(&target);
  Data* designated = designator(variable.get(), indirect, true, true);
  popTarget();
  next(TOKEN_ASSIGN);
  next(0);
  if (isStringType(designated->type())) {
    stringAssignment(std::static_pointer_cast<Data>(designated->shared_from_this()),
                     indirect ? &target : nullptr);
    return;
  }
  checkNumeric(designated->type());
  expression();
  code().appendWithOperand(OP_CONVERT, kindOf(designated->type()));
  code().append(target, true);
  code().appendSymbol(indirect ? OP_STORE_INDIRECT : OP_STORE, designated->shared_from_this());
}

}  // namespace vexa::vx2
