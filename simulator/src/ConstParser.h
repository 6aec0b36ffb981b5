// Constant expressions typed into the watches: integers (decimal, 0x hex, 0b binary),
// decimals with a fraction, character literals, and the C operators on them.
#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace vexa::vx2sim {

class ConstParser {
 public:
  // The value of the text; nothing when it does not parse or divides by zero.
  static std::optional<double> evaluate(std::string_view text);

  struct Token {
    enum ID {
      End,
      Integer,
      Float,
      LParen,
      RParen,
      Plus,
      Minus,
      Star,
      Slash,
      Percent,
      Amp,
      Bar,
      Caret,
      Tilde,
      Eq,
      Ne,
      Lt,
      Gt,
      Le,
      Ge,
      Shl,
      Shr,
      Nand,
      Nor,
    };
    ID id;
    double value;
  };

  static constexpr std::size_t kMaxTokens = 32;
  static constexpr int kMaxPending = 15;

 private:
  struct Value {
    double v;
    bool isFloat;
  };

  explicit ConstParser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}
  static std::vector<Token> lex(std::string_view text);  // throws Token::ID

  // One left-associative level: operands from `next`, joined by the operators in `ops`.
  template <typename Combine>
  Value level(Value (ConstParser::*next)(), std::initializer_list<Token::ID> ops, Combine combine);
  Value orLevel();
  Value andLevel();
  Value comparison();
  Value shift();
  Value additive();
  Value multiplicative();
  Value operand();

  Token::ID peek() const { return tokens_[pos_].id; }
  Token::ID take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_].id; }
  void hold();
  void drop() { --pending_; }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int pending_ = 0;
};

}  // namespace vexa::vx2sim
