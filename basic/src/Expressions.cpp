// Expressions of VXBasic, lowest binding level first; every operator's
// opcode follows both operands.
#include <cctype>
#include <optional>

#include "CompileError.h"
#include "QuorinCompiler.h"

namespace vexa::vxbasic {

std::optional<Op> QuorinCompiler::acceptOperator(std::initializer_list<BinaryOperator> operators) {
  std::optional<std::string> word;
  for (const BinaryOperator& o : operators) {
    const bool symbol = std::isalpha(static_cast<unsigned char>(o.text[0])) == 0;
    if (symbol) {
      if (in_.acceptChar(o.text[0])) return o.op;
      continue;
    }
    if (!word) word = in_.peekWord();
    if (*word == o.text) {
      in_.readWord();
      return o.op;
    }
  }
  return std::nullopt;
}

void QuorinCompiler::binaryLevel(std::initializer_list<BinaryOperator> operators,
                                 void (QuorinCompiler::*operand)()) {
  (this->*operand)();
  while (std::optional<Op> op = acceptOperator(operators)) {
    (this->*operand)();
    buf_.put(*op);
  }
}

void QuorinCompiler::expression() {
  binaryLevel({{"OR", Op::Or}, {"NOR", Op::Nor}, {"XOR", Op::Xor}}, &QuorinCompiler::andLevel);
}

void QuorinCompiler::andLevel() {
  binaryLevel({{"AND", Op::And}, {"NAND", Op::Nand}}, &QuorinCompiler::notLevel);
}

void QuorinCompiler::notLevel() {
  bool negate = in_.peekWord() == "NOT";
  if (negate) in_.readWord();
  simpleExpression();
  std::optional<Op> relation;
  if (in_.acceptChar('=')) {
    if (in_.acceptChar('>'))
      relation = Op::GreaterEqual;
    else if (in_.acceptChar('<'))
      relation = Op::LessEqual;
    else
      relation = Op::Equal;
  } else if (in_.acceptChar('<')) {
    if (in_.acceptChar('>'))
      relation = Op::NotEqual;
    else if (in_.acceptChar('='))
      relation = Op::LessEqual;
    else
      relation = Op::Less;
  } else if (in_.acceptChar('>')) {
    if (in_.acceptChar('<'))
      relation = Op::NotEqual;
    else if (in_.acceptChar('='))
      relation = Op::GreaterEqual;
    else
      relation = Op::Greater;
  }
  if (relation) {
    simpleExpression();
    buf_.put(*relation);
  }
  if (negate) buf_.put(Op::Not);
}

void QuorinCompiler::simpleExpression() {
  binaryLevel({{"+", Op::Add}, {"-", Op::Subtract}}, &QuorinCompiler::term);
}

void QuorinCompiler::term() {
  binaryLevel({{"*", Op::Multiply},
               {"/", Op::Divide},
               {"MOD", Op::Modulo},
               {"SHL", Op::Shl},
               {"SHR", Op::Shr}},
              &QuorinCompiler::factor);
}

void QuorinCompiler::factor() {
  bool negate = in_.acceptChar('-');
  if (in_.acceptChar('(')) {
    enterNesting();
    expression();
    expectChar(')');
    --depth_;
  } else {
    std::string word = in_.readWord();
    if (auto value = parseConstant(word, constants_)) {
      buf_.put({Op::Push, *value});
    } else if (auto symbol = symbols_.find(word)) {
      load(*symbol);
    } else if (!function(word)) {
      if (word == "INITMODEM") {
        initModem();
      } else {
        buf_.putJump(Op::Gosub, word);
      }
    }
  }
  if (negate) buf_.put(Op::Negate);
}

bool QuorinCompiler::function(const std::string& word) {
  if (word == "MIN" || word == "MAX") {
    enterNesting();
    expectChar('(');
    expression();
    expectChar(',');
    expression();
    expectChar(')');
    buf_.put(word == "MIN" ? Op::Min : Op::Max);
    --depth_;
    return true;
  }
  std::optional<Op> op;
  if (word == "SQR")
    op = Op::Sqr;
  else if (word == "ABS")
    op = Op::Abs;
  else if (word == "SGN")
    op = Op::Sgn;
  if (op) {
    enterNesting();
    expectChar('(');
    expression();
    expectChar(')');
    buf_.put(*op);
    --depth_;
    return true;
  }
  if (word == "RAND")
    op = Op::Rand;
  else if (word == "RXD")
    op = Op::Rxd;
  else if (word == "CTS")
    op = Op::Cts;
  else if (word == "EOF")
    op = Op::Eof;
  if (!op) return false;
  if (in_.acceptChar('(')) expectChar(')');
  buf_.put(*op);
  return true;
}

}  // namespace vexa::vxbasic
