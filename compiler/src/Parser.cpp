// Parser core, module body and declarations.
#include "Parser.h"

#include <cmath>

#include "CompilerTexts.h"
#include "MessageStream.h"
#include "Token.h"
#include "vexa/conversions.h"
#include "vexa/vm_contract.h"

namespace vexa::vx2 {

int Parser::compile(Program& program, Module& module, MessageStream* messages, TokenList& tokens,
                    const std::string& messageName) {
  program_ = &program;
  module_ = &module;
  messages_ = messages;
  tokens_ = &tokens;
  messageName_ = messageName;
  line_ = 1;
  declarationLine_ = 1;
  procedure_ = nullptr;
  count_ = 0;
  constantExpression_ = false;
  targets_.clear();
  breakLabels_.clear();
  continueLabels_.clear();
  tempStrings_ = 0;
  tokens.reset(0);
  module.lineInfos.assign(1, 0);
  try {
    moduleBody();
  } catch (const Error&) {
    // the module was abandoned after its message
  } catch (...) {
    report(compilerText(TEXT_FATAL_ERROR));
  }
  targets_.clear();
  procedure_ = nullptr;
  return count_;
}

// ---- token discipline ----

void Parser::next(int expected) {
  tokens_->advance();
  settle(expected);
  if (expected != 0 && token() != expected) fail(composeExpected(expected), Error::PLAIN);
}

void Parser::settle(int expected) {
  for (;;) {
    int t = token();
    if (t == TOKEN_LINE_END) {
      ++line_;
      if (module_->lineInfos.size() < static_cast<size_t>(line_)) module_->lineInfos.push_back(0);
    } else if (t == TOKEN_INVALID) {
      report(composeInvalidSymbol(expected));
    } else if (t == TOKEN_STRING_LINE_END) {
      report(composeUnexpected(TOKEN_LINE_END));
    } else {
      break;
    }
    tokens_->advance();
  }
}

void Parser::expect(int type) {
  if (token() != type) fail(composeExpected(type), Error::PLAIN);
}

int Parser::peekNext() {
  next(0);
  return token();
}

void Parser::setLineInfoBit(uint8_t bit) {
  auto& infos = module_->lineInfos;
  if (infos.size() < static_cast<size_t>(line_)) infos.resize(line_, 0);
  infos[line_ - 1] |= bit;
}

// ---- messages ----

void Parser::report(const std::string& text) {
  ++count_;
  if (messages_) {
    messages_->write(composeMessageLine(messageName_, line_, text));
    messages_->flush();
  }
  setLineInfoBit(0x80);
}

void Parser::fail(const std::string& text, int code) {
  report(text);
  throw Error{code};
}

void Parser::unexpected(int type) { fail(composeUnexpected(type), Error::PLAIN); }

Scope* Parser::checkFound(Scope* node, const std::string& name) {
  if (!node) fail(composeUnknownIdentifier(name), Error::PLAIN);
  return node;
}

void Parser::checkKind(Scope* node, int kind) {
  int actual = node && node->symbol ? node->symbol->kind : KIND_NONE;
  if (actual == kind || (kind == KIND_ANY_DATA && actual > KIND_ANY_DATA)) return;
  fail(composeKindExpected(kind), Error::PLAIN);
}

Scope* Parser::declare(const std::string& name, SymbolPtr symbol, int kind, bool hidden) {
  Scope* node = program_->declare(declarationLine_, name, std::move(symbol), kind, hidden);
  if (!node) fail(composeMultipleDeclaration(name), Error::PLAIN);
  return node;
}

void Parser::checkSameType(const Type* a, const Type* b) {
  if (a != b) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
}

void Parser::checkNumeric(const Type* t) {
  if (!isNumeric(t)) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
}

Function* Parser::currentFunction(int type) {
  auto* function = dynamic_cast<Function*>(procedure_);
  if (!function) unexpected(type);
  return function;
}

void Parser::markStatement() {
  setLineInfoBit(0x01);
  int id = program_->registerPosition(module_->number, line_);
  if (id < 0) fail(compilerText(TEXT_PROGRAM_TOO_BIG), Error::ABORT);
  code().appendWithOperand(OP_MARKER, id);
}

// ---- module body ----

namespace {
bool isRecoveryToken(int t) {
  switch (t) {
    case TOKEN_THREAD:
    case TOKEN_FUNCTION:
    case TOKEN_TYPE:
    case TOKEN_CONST:
    case TOKEN_BYTE:
    case TOKEN_INT:
    case TOKEN_LONG:
    case TOKEN_FLOAT_TYPE: return true;
    default: return false;
  }
}
}  // namespace

void Parser::skipTo(bool (*stop)(int)) {
  // The current token is tested before advancing, so a stop token that caused the
  // error is not passed over.
  while (!stop(token())) {
    if (token() == TOKEN_END) fail(composeUnexpected(TOKEN_END), Error::ABORT);
    tokens_->advance();
    if (token() == TOKEN_LINE_END) {
      ++line_;
      if (module_->lineInfos.size() < static_cast<size_t>(line_)) module_->lineInfos.push_back(0);
    }
  }
}

void Parser::moduleBody() {
  settle(0);  // leading line ends
  while (token() != TOKEN_END) {
    if (token() != TOKEN_SEMICOLON) {
      Scope* remembered = program_->currentScope();
      try {
        switch (token()) {
          case TOKEN_INLINE:
            next(TOKEN_FUNCTION);
            functionDeclaration(true);
            break;
          case TOKEN_THREAD: threadDeclaration(); break;
          case TOKEN_FUNCTION: functionDeclaration(false); break;
          case TOKEN_CONST: constantDeclaration(); break;
          case TOKEN_TYPE: typeDeclaration(); break;
          default: variableDeclaration(); break;
        }
        if (token() != TOKEN_RBRACE) next(TOKEN_SEMICOLON);
      } catch (const Error& error) {
        if (error.code == Error::ABORT) throw;
        targets_.clear();
        procedure_ = nullptr;
        constantExpression_ = false;
        // A procedure left by an error still ends its scope for the identifier services.
        auto& marks = module_->scopeMarks;
        if (!marks.empty() && marks.back().second != module_->node)
          marks.emplace_back(line_, module_->node);
        breakLabels_.clear();
        continueLabels_.clear();
        skipTo(isRecoveryToken);
        back();
        program_->popScopesTo(remembered);
      }
    }
    next(0);
  }
  if (count_ == 0 && messages_) {
    messages_->write(composeOkLine(messageName_));
    messages_->flush();
  }
}

// ---- names and types ----

Scope* Parser::qualifiedIdent() {
  expect(TOKEN_IDENTIFIER);
  std::string name = tokens_->text();
  Scope* node = checkFound(Scope::lookup(program_->currentScope(), name), name);
  if (node->symbol && node->symbol->kind == KIND_MODULE) {
    next(TOKEN_DOT);
    next(TOKEN_IDENTIFIER);
    name = tokens_->text();
    node = checkFound(node->findVisibleChild(name), name);
  }
  return node;
}

TypePtr Parser::typeName() {
  switch (token()) {
    case TOKEN_BYTE: return NumericType::builtin(NUM_BYTE);
    case TOKEN_INT: return NumericType::builtin(NUM_INT);
    case TOKEN_LONG: return NumericType::builtin(NUM_LONG);
    case TOKEN_FLOAT_TYPE: return NumericType::builtin(NUM_FLOAT);
    case TOKEN_STRING_TYPE: return StringType::builtin();
    case TOKEN_IDENTIFIER: {
      Scope* node = qualifiedIdent();
      checkKind(node, KIND_TYPE);
      return std::static_pointer_cast<Type>(node->symbol);
    }
    default: unexpected(token());
  }
}

int Parser::nameWithDimension(std::string& name) {
  next(TOKEN_IDENTIFIER);
  name = tokens_->text();
  next(0);
  if (token() != TOKEN_LBRACKET) return 0;
  const double value = constantExpression();
  // Beyond 32 bits the truncation could wrap to a small size: such a dimension is too big.
  const int dimension = std::fabs(value) < 2147483648.0 ? vexa::vm::floatToInt32(value) : -1;
  next(TOKEN_RBRACKET);
  next(0);
  return dimension;
}

double Parser::constantExpression() {
  // Flag and code target are restored on every way out, errors included.
  struct Restore {
    Parser& parser;
    bool flag;
    size_t targets;
    ~Restore() {
      parser.constantExpression_ = flag;
      parser.targets_.resize(targets);
    }
  } restore{*this, constantExpression_, targets_.size()};
  IntermediateCodeSequence sequence;
  constantExpression_ = true;
  pushTarget(&sequence);
  next(0);
  expression();
  try {
    double value = sequence.constantValue();
    if (sequence.size() != 1) throw IntermediateCodeSequence::NO_CONST{};
    return value;
  } catch (const IntermediateCodeSequence::NO_CONST&) {
    fail(compilerText(TEXT_CONSTANT_EXPRESSION) + " " + compilerText(TEXT_EXPECTED), Error::PLAIN);
  }
}

// ---- declarations ----

void Parser::checkDataSize(int dimension, int offset, const Type& type) {
  // No datum beyond the 64K of RAM can ever be laid out; refusing it keeps sizes from overflowing.
  int64_t end = offset + static_cast<int64_t>(dimension ? dimension : 1) * type.size();
  if (static_cast<uint32_t>(dimension) > 65535 || end > vexa::vm::kRamBytes)
    fail(compilerText(TEXT_ARRAY_TOO_BIG), Error::PLAIN);
}

void Parser::constantDeclaration() {
  declarationLine_ = line_;
  next(TOKEN_IDENTIFIER);
  std::string name = tokens_->text();
  bool isArray = false;
  next(0);
  if (token() == TOKEN_LBRACKET) {
    next(TOKEN_RBRACKET);
    isArray = true;
  } else {
    back();
  }
  next(TOKEN_ASSIGN);
  next(0);
  SymbolPtr symbol;
  int kind;
  if (token() == TOKEN_STRING) {
    if (isArray) {
      back();
      auto texts = std::make_shared<StringArrayConstant>();
      do {
        next(TOKEN_STRING);
        texts->addText(tokens_->text());
      } while (peekNext() == TOKEN_COMMA);
      back();
      symbol = texts;
      kind = KIND_STRING_ARRAY_CONSTANT;
    } else {
      symbol = std::make_shared<StringConstant>(tokens_->text());
      kind = KIND_STRING_CONSTANT;
    }
  } else if (isArray) {
    back();
    auto values = std::make_shared<ArrayConstant>();
    do {
      if (values->count == 65535 || values->size() > 130000)
        fail(compilerText(TEXT_ARRAY_TOO_BIG), Error::PLAIN);
      values->addElement(constantExpression());
    } while (peekNext() == TOKEN_COMMA);
    back();
    symbol = values;
    kind = KIND_ARRAY_CONSTANT;
  } else {
    back();
    symbol = std::make_shared<Constant>(constantExpression());
    kind = KIND_CONSTANT;
  }
  declare(name, symbol, kind, false);
}

void Parser::typeDeclaration() {
  declarationLine_ = line_;
  next(TOKEN_IDENTIFIER);
  auto type = std::make_shared<UserType>();
  Scope* node = declare(tokens_->text(), type, KIND_TYPE, false);
  program_->enterScope(node);
  next(TOKEN_LBRACE);
  for (;;) {
    next(0);
    if (token() == TOKEN_RBRACE) break;
    if (token() == TOKEN_SEMICOLON) continue;
    declarationLine_ = line_;
    TypePtr fieldType = typeName();
    if (fieldType == type) fail(compilerText(TEXT_RECURSIVE_TYPE), Error::PLAIN);
    std::string name;
    int dimension = nameWithDimension(name);
    checkDataSize(dimension, type->size() + 1, *fieldType);
    declare(name, type->addField(fieldType, dimension), KIND_FIELD, false);
    expect(TOKEN_SEMICOLON);
  }
  program_->leaveScope();
}

void Parser::variableDeclaration() {
  TypePtr type = typeName();
  do {
    declarationLine_ = line_;
    std::string name;
    int dimension = nameWithDimension(name);
    checkDataSize(dimension, 0, *type);
    auto variable = std::make_shared<Variable>(type, procedure_ ? STORAGE_LOCAL : STORAGE_GLOBAL,
                                               dimension != 0, dimension, nullptr);
    declare(name, variable, KIND_VARIABLE, false);
    if (procedure_) procedure_->allocateLocal(variable);
    if (type->category == CATEGORY_USER) declareFieldVariables(variable);
  } while (token() == TOKEN_COMMA);
  back();
}

void Parser::declareFieldVariables(const std::shared_ptr<Variable>& variable) {
  auto* type = dynamic_cast<const UserType*>(variable->type());
  if (!type || !variable->node) return;
  program_->enterScope(variable->node);
  for (const auto& field : type->fields()) {
    if (!field->node) continue;
    auto member = std::make_shared<Variable>(field->type, variable->storage, field->count != 0,
                                             field->count, variable->linked);
    declare(field->node->name, member, KIND_VARIABLE, false);
    member->address = field->offset;
    if (field->type->category == CATEGORY_USER) declareFieldVariables(member);
  }
  program_->leaveScope();
}

}  // namespace vexa::vx2
