#include "ConstParser.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "vexa/conversions.h"

namespace vexa::vx2sim {
namespace {

using ID = ConstParser::Token::ID;

int32_t toInt32(double v) { return vexa::vm::floatToInt32(v); }
double fromBits(uint32_t v) { return static_cast<int32_t>(v); }

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 99;
}

// Digits of a base from position i; at least one is required.
double digits(std::string_view t, std::size_t& i, int base) {
  const std::size_t start = i;
  double v = 0;
  while (i < t.size() && digitValue(t[i]) < base) v = v * base + digitValue(t[i++]);
  if (i == start) throw ID::End;
  return v;
}

double character(std::string_view t, std::size_t& i) {
  if (i >= t.size()) throw ID::End;
  int code = static_cast<unsigned char>(t[i++]);
  if (code == '\\') {
    if (i >= t.size()) throw ID::End;
    const char e = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
    switch (e) {
      case '"':
      case '\'':
      case '\\':
        code = e;
        ++i;
        break;
      case 'a':
        code = 7;
        ++i;
        break;
      case 'b':
        code = 8;
        ++i;
        break;
      case 'f':
        code = 12;
        ++i;
        break;
      case 'n':
        code = 10;
        ++i;
        break;
      case 'r':
        code = 13;
        ++i;
        break;
      case 't':
        code = 9;
        ++i;
        break;
      case 'x':
        ++i;
        code = toInt32(digits(t, i, 16));
        break;
      default:
        if (!std::isdigit(static_cast<unsigned char>(e))) throw ID::End;
        code = toInt32(digits(t, i, 10));
        break;
    }
  }
  if (i >= t.size() || t[i] != '\'') throw ID::End;
  ++i;
  return static_cast<int8_t>(static_cast<uint8_t>(code));
}

}  // namespace

std::vector<ConstParser::Token> ConstParser::lex(std::string_view t) {
  struct Spelling {
    const char* text;
    ID id;
  };
  // Two-character operators first.
  static constexpr Spelling kOperators[] = {
      {"==", ID::Eq},  {"!=", ID::Ne},   {"<=", ID::Le},   {">=", ID::Ge},    {"<<", ID::Shl},
      {">>", ID::Shr}, {"!&", ID::Nand}, {"!|", ID::Nor},  {"(", ID::LParen}, {")", ID::RParen},
      {"+", ID::Plus}, {"-", ID::Minus}, {"*", ID::Star},  {"/", ID::Slash},  {"%", ID::Percent},
      {"&", ID::Amp},  {"|", ID::Bar},   {"^", ID::Caret}, {"~", ID::Tilde},  {"!", ID::Tilde},
      {"<", ID::Lt},   {">", ID::Gt}};
  std::vector<Token> tokens;
  std::size_t i = 0;
  for (;;) {
    while (i < t.size() && t[i] == ' ') ++i;
    if (i >= t.size()) break;
    if (tokens.size() >= kMaxTokens) throw ID::End;
    const char c = t[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      const char next = i + 1 < t.size()
                            ? static_cast<char>(std::tolower(static_cast<unsigned char>(t[i + 1])))
                            : 0;
      if (c == '0' && (next == 'x' || next == 'b')) {
        i += 2;
        tokens.push_back({ID::Integer, digits(t, i, next == 'x' ? 16 : 2)});
        continue;
      }
      double v = digits(t, i, 10);
      if (i < t.size() && t[i] == '.') {
        ++i;
        double weight = 0.1;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
          v += (t[i++] - '0') * weight;
          weight *= 0.1;
        }
        tokens.push_back({ID::Float, v});
      } else {
        tokens.push_back({ID::Integer, v});
      }
      continue;
    }
    if (c == '\'') {
      ++i;
      tokens.push_back({ID::Integer, character(t, i)});
      continue;
    }
    bool matched = false;
    for (const Spelling& s : kOperators) {
      const std::string_view op(s.text);
      if (t.substr(i, op.size()) == op) {
        tokens.push_back({s.id, 0});
        i += op.size();
        matched = true;
        break;
      }
    }
    if (!matched) throw ID::End;
  }
  if (tokens.empty()) throw ID::End;
  tokens.push_back({ID::End, 0});
  return tokens;
}

std::optional<double> ConstParser::evaluate(std::string_view text) {
  try {
    ConstParser p(lex(text));
    return p.orLevel().v;
  } catch (ID) {
    return std::nullopt;
  }
}

void ConstParser::hold() {
  if (++pending_ > kMaxPending) throw ID::End;
}

namespace {
int32_t truthOf(double v, bool isFloat) { return isFloat ? (v != 0 ? -1 : 0) : toInt32(v); }
}  // namespace

template <typename Combine>
ConstParser::Value ConstParser::level(Value (ConstParser::*next)(), std::initializer_list<ID> ops,
                                      Combine combine) {
  Value l = (this->*next)();
  for (ID op = peek(); std::find(ops.begin(), ops.end(), op) != ops.end(); op = peek()) {
    take();
    hold();
    const Value r = (this->*next)();
    drop();
    l = combine(op, l, r);
  }
  return l;
}

ConstParser::Value ConstParser::orLevel() {
  return level(&ConstParser::andLevel, {ID::Bar, ID::Nor, ID::Caret}, [](ID op, Value l, Value r) {
    const uint32_t a = static_cast<uint32_t>(truthOf(l.v, l.isFloat));
    const uint32_t b = static_cast<uint32_t>(truthOf(r.v, r.isFloat));
    const uint32_t v = op == ID::Bar ? (a | b) : op == ID::Nor ? ~(a | b) : (a ^ b);
    return Value{fromBits(v), false};
  });
}

ConstParser::Value ConstParser::andLevel() {
  return level(&ConstParser::comparison, {ID::Amp, ID::Nand}, [](ID op, Value l, Value r) {
    const uint32_t a = static_cast<uint32_t>(truthOf(l.v, l.isFloat));
    const uint32_t b = static_cast<uint32_t>(truthOf(r.v, r.isFloat));
    return Value{fromBits(op == ID::Amp ? (a & b) : ~(a & b)), false};
  });
}

ConstParser::Value ConstParser::comparison() {
  return level(&ConstParser::shift, {ID::Eq, ID::Ne, ID::Lt, ID::Gt, ID::Le, ID::Ge},
               [](ID op, Value l, Value r) {
                 bool v = false;
                 switch (op) {
                   case ID::Eq: v = l.v == r.v; break;
                   case ID::Ne: v = l.v != r.v; break;
                   case ID::Lt: v = l.v < r.v; break;
                   case ID::Gt: v = l.v > r.v; break;
                   case ID::Le: v = l.v <= r.v; break;
                   default: v = l.v >= r.v; break;
                 }
                 return Value{v ? -1.0 : 0.0, false};
               });
}

ConstParser::Value ConstParser::shift() {
  return level(&ConstParser::additive, {ID::Shl, ID::Shr}, [](ID op, Value l, Value r) {
    const int32_t a = toInt32(l.v);
    const int count = toInt32(r.v) & 31;
    if (op == ID::Shl) return Value{fromBits(static_cast<uint32_t>(a) << count), false};
    return Value{static_cast<double>(a >> count), false};
  });
}

ConstParser::Value ConstParser::additive() {
  return level(&ConstParser::multiplicative, {ID::Plus, ID::Minus}, [](ID op, Value l, Value r) {
    if (l.isFloat || r.isFloat) return Value{op == ID::Plus ? l.v + r.v : l.v - r.v, true};
    const uint32_t a = static_cast<uint32_t>(toInt32(l.v));
    const uint32_t b = static_cast<uint32_t>(toInt32(r.v));
    return Value{fromBits(op == ID::Plus ? a + b : a - b), false};
  });
}

ConstParser::Value ConstParser::multiplicative() {
  return level(&ConstParser::operand, {ID::Star, ID::Slash, ID::Percent},
               [](ID op, Value l, Value r) {
                 if (op == ID::Star) {
                   if (l.isFloat || r.isFloat) return Value{l.v * r.v, true};
                   const uint32_t product =
                       static_cast<uint32_t>(toInt32(l.v)) * static_cast<uint32_t>(toInt32(r.v));
                   return Value{fromBits(product), false};
                 }
                 if (op == ID::Slash && l.isFloat) return Value{l.v / r.v, true};
                 // Integer division and remainder, in 64 bits so that no quotient overflows.
                 const int64_t a = toInt32(l.v);
                 const int64_t b = toInt32(r.v);
                 if (b == 0) throw ID::End;
                 const int64_t v = op == ID::Slash ? a / b : a % b;
                 if (op == ID::Percent && l.isFloat) return Value{static_cast<double>(v), true};
                 return Value{fromBits(static_cast<uint32_t>(v)), false};
               });
}

ConstParser::Value ConstParser::operand() {
  switch (take()) {
    case ID::Integer: return {tokens_[pos_ - 1].value, false};
    case ID::Float: return {tokens_[pos_ - 1].value, true};
    case ID::LParen: {
      const Value v = orLevel();
      if (take() != ID::RParen) throw ID::End;
      return v;
    }
    case ID::Plus: return operand();
    case ID::Minus: {
      const Value v = operand();
      if (v.isFloat) return {-v.v, true};
      return {fromBits(0u - static_cast<uint32_t>(toInt32(v.v))), false};
    }
    case ID::Tilde: {
      const Value v = operand();
      if (v.isFloat) return {v.v == 0 ? -1.0 : 0.0, false};
      return {fromBits(~static_cast<uint32_t>(toInt32(v.v))), false};
    }
    default: throw ID::End;
  }
}

}  // namespace vexa::vx2sim
