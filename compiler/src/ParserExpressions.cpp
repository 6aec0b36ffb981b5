// Expressions, designators and string assignments.
#include "CompilerTexts.h"
#include "Parser.h"
#include "Token.h"

namespace vexa::vx2 {
namespace {

// The intermediate operation of an operator token at a precedence level, or 0.
int operationAt(int level, int token) {
  switch (level) {
    case 1:
      if (token == TOKEN_OR) return OP_OR;
      if (token == TOKEN_NOR) return OP_NOR;
      if (token == TOKEN_XOR) return OP_XOR;
      return 0;
    case 2:
      if (token == TOKEN_AND) return OP_AND;
      if (token == TOKEN_NAND) return OP_NAND;
      return 0;
    case 3:
      switch (token) {
        case TOKEN_EQUAL: return OP_EQUAL;
        case TOKEN_NOT_EQUAL: return OP_NOT_EQUAL;
        case TOKEN_GREATER: return OP_GREATER;
        case TOKEN_LESS: return OP_LESS;
        case TOKEN_GREATER_EQUAL: return OP_GREATER_EQUAL;
        case TOKEN_LESS_EQUAL: return OP_LESS_EQUAL;
        default: return 0;
      }
    case 4:
      if (token == TOKEN_SHL) return OP_SHL;
      if (token == TOKEN_SHR) return OP_SHR;
      return 0;
    case 5:
      if (token == TOKEN_PLUS) return OP_ADD;
      if (token == TOKEN_MINUS) return OP_SUB;
      return 0;
    case 6:
      if (token == TOKEN_STAR) return OP_MUL;
      if (token == TOKEN_SLASH) return OP_DIV;
      if (token == TOKEN_PERCENT) return OP_MOD;
      return 0;
    default: return 0;
  }
}

}  // namespace

void Parser::expression() {
  code().clearTrailingConstants();
  level(1);
}

void Parser::level(int n) {
  if (n == 7) {
    factor();
    return;
  }
  level(n + 1);
  for (;;) {
    next(0);
    int op = operationAt(n, token());
    if (op == 0) {
      back();
      return;
    }
    next(0);
    level(n + 1);
    try {
      code().appendFolded(op);
    } catch (const IntermediateCodeSequence::DIVISION_BY_ZERO&) {
      fail(compilerText(TEXT_DIVISION_BY_ZERO), Error::PLAIN);
    }
  }
}

void Parser::factor() {
  switch (token()) {
    case TOKEN_LPAREN: {
      // A parenthesised constant folds on like a literal.
      int pending = code().trailingConstants();
      size_t before = code().size();
      next(0);
      expression();
      next(TOKEN_RPAREN);
      if (code().size() == before + 1 && code().trailingConstants() == 1)
        code().setTrailingConstants(pending + 1);
      return;
    }
    case TOKEN_PLUS:
      next(0);
      factor();
      return;
    case TOKEN_MINUS:
      next(0);
      factor();
      code().appendFolded(OP_NEG);
      return;
    case TOKEN_NOT:
      next(0);
      factor();
      code().appendFolded(OP_NOT);
      return;
    case TOKEN_INTEGER:
    case TOKEN_CHAR: code().pushInt(tokens_->value()); return;
    case TOKEN_FLOAT: code().pushDouble(tokens_->number()); return;
    case TOKEN_IDENTIFIER: break;
    default: unexpected(token());
  }
  Scope* node = qualifiedIdent();
  if (node->symbol && node->symbol->kind == KIND_FUNCTION) {
    auto function = std::static_pointer_cast<Function>(node->symbol);
    // A call without a result would leave nothing on the VM stack for the expression.
    if (!function->returnType) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
    function->markUsed();
    arguments(*function);
    if (function->isInline) code().append(function->code, false);
    code().appendSymbol(OP_CALL, function);
    (procedure_ ? procedure_->code : code()).raiseCalleeNeed(function->code.stackNeed());
    return;
  }
  checkKind(node, KIND_ANY_DATA);
  auto data = std::static_pointer_cast<Data>(node->symbol);
  if (constantExpression_) {
    code().appendSymbol(OP_LOAD, data);
    return;
  }
  data->markUsed();
  bool indirect = false;
  Data* designated = designator(data.get(), indirect, true, true);
  if (!isNumeric(designated->type())) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
  code().appendSymbol(indirect ? OP_LOAD_INDIRECT : OP_LOAD, designated->shared_from_this());
}

Data* Parser::designator(Data* data, bool& indirect, bool skipKindCheck, bool pushAddress) {
  if (!skipKindCheck) checkKind(data->node, KIND_VARIABLE);
  bool userType = data->type()->category == CATEGORY_USER;
  if (data->array) {
    if (pushAddress) {
      code().appendSymbol(OP_ADDRESS, data->shared_from_this());
      indirect = true;
    }
    next(0);
    if (token() != TOKEN_LBRACKET) {
      back();
      return data;
    }
    index(data);
    if (!userType) return data;
    next(0);
    if (token() != TOKEN_DOT) {
      back();
      return data;
    }
  } else {
    if (!userType) return data;
    next(0);
    if (token() != TOKEN_DOT) {
      back();
      return data;
    }
    if (pushAddress) {
      code().appendSymbol(OP_ADDRESS, data->shared_from_this());
      indirect = true;
    }
  }
  next(TOKEN_IDENTIFIER);
  std::string name = tokens_->text();
  Scope* fieldNode = checkFound(data->node ? data->node->findVisibleChild(name) : nullptr, name);
  auto* field = dynamic_cast<Data*>(fieldNode->symbol.get());
  if (!field) fail(composeKindExpected(KIND_VARIABLE), Error::PLAIN);
  code().pushInt(field->address);
  code().appendFolded(OP_ADD);
  return designator(field, indirect, false, false);
}

void Parser::index(Data* data) {
  next(0);
  expression();
  next(TOKEN_RBRACKET);
  int elementSize;
  if (data->storage != STORAGE_CONSTANT) {
    elementSize = data->type()->size();
  } else if (dynamic_cast<StringArrayConstant*>(data)) {
    elementSize = 1;
  } else {
    elementSize = data->type()->size() / 2;
  }
  code().pushInt(elementSize);
  code().appendFolded(OP_MUL);
  code().appendFolded(OP_ADD);
}

std::shared_ptr<Variable> Parser::nextTempString() {
  if (!procedure_) fail(compilerText(TEXT_TYPE_MISMATCH), Error::TYPE);
  return procedure_->tempString(tempStrings_++);
}

void Parser::stringAssignment(const DataPtr& target,
                              const IntermediateCodeSequence* targetAddress) {
  auto temp = nextTempString();
  code().appendSymbol(OP_ADDRESS, temp);
  code().appendWithOperand(OP_STR_CLEAR, 0);
  for (;;) {
    stringPart(temp);
    if (peekNext() != TOKEN_PLUS) break;
    next(0);
  }
  back();
  // An element or a field is reached through the address its designator computed.
  auto pushTarget = [&] {
    if (targetAddress)
      code().append(*targetAddress, true);
    else
      code().appendSymbol(OP_ADDRESS, target);
  };
  pushTarget();
  code().appendWithOperand(OP_STR_CLEAR, 0);
  pushTarget();
  code().appendSymbol(OP_ADDRESS, temp);
  code().appendWithOperand(OP_STR_APPEND, 0);
}

void Parser::stringPart(const std::shared_ptr<Variable>& temp) {
  code().appendSymbol(OP_ADDRESS, temp);
  if (token() == TOKEN_STRING) {
    code().appendText(OP_STR_APPEND_TEXT, tokens_->text());
    return;
  }
  if (token() == TOKEN_IDENTIFIER) {
    Position start = save();
    Scope* node = qualifiedIdent();
    int kind = node->symbol ? node->symbol->kind : KIND_NONE;
    if (kind > KIND_ANY_DATA) {
      auto data = std::static_pointer_cast<Data>(node->symbol);
      if (kind == KIND_STRING_CONSTANT) {
        data->markUsed();
        code().appendSymbol(OP_STR_APPEND_CONST, data);
        return;
      }
      if (kind == KIND_STRING_ARRAY_CONSTANT) {
        data->markUsed();
        code().appendSymbol(OP_ADDRESS, data);
        if (peekNext() == TOKEN_LBRACKET)
          index(data.get());
        else
          back();
        code().appendSymbol(OP_STR_APPEND_CONST, data);
        return;
      }
      if (kind == KIND_VARIABLE) {
        // A string variable, an element of a string array or a string field.
        Position afterName = save();
        IntermediateCodeSequence address;
        bool indirect = false;
        pushTarget(&address);
        Data* designated = designator(data.get(), indirect, true, true);
        popTarget();
        if (isStringType(designated->type())) {
          data->markUsed();
          if (indirect)
            code().append(address, true);
          else
            code().appendSymbol(OP_ADDRESS, designated->shared_from_this());
          code().appendWithOperand(OP_STR_APPEND, 0);
          return;
        }
        restore(afterName);
      }
    }
    restore(start);
  }
  factor();
  code().appendWithOperand(OP_STR_APPEND_CHAR, 0);
}

}  // namespace vexa::vx2
