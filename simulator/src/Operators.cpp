// Conversions, unary operators, the typed operator groups and the math functions.
#include <cmath>
#include <limits>

#include "Instructions.h"
#include "vexa/conversions.h"

namespace vexa::vx2sim::operators {

using vexa::isa::Op;
using vexa::isa::ValueType;

namespace {

int16_t s16(uint16_t v) { return static_cast<int16_t>(v); }
int32_t s32(uint32_t v) { return static_cast<int32_t>(v); }
constexpr uint16_t kTrue = 0xFFFF;
uint16_t truth(bool b) { return b ? kTrue : 0; }

// A value popped by its type: integers sign-extended to 32 bits, or a double.
struct Operand {
  ValueType type;
  int32_t i;
  double f;
  bool isFloat() const { return type == ValueType::Float; }
  double asDouble() const { return isFloat() ? f : static_cast<double>(i); }
  bool nonZero() const { return isFloat() ? f != 0.0 : i != 0; }
  int32_t asInt32() const { return isFloat() ? vexa::vm::floatToInt32(f) : i; }
};

Operand popOperand(Machine& m, ValueType t) {
  switch (t) {
    case ValueType::Int16: return {t, s16(m.pop16()), 0.0};
    case ValueType::Int32: return {t, s32(m.pop<uint32_t>()), 0.0};
    default: return {t, 0, m.pop<double>()};
  }
}

// Integer result in the result width: int16 when both operands are int16.
void pushInt(Machine& m, bool narrow, uint32_t v) {
  if (narrow)
    m.push16(static_cast<uint16_t>(v));
  else
    m.push<uint32_t>(v);
}

// Guarded float results: a NaN from numbers, or an infinity from finite numbers, is a fault.
bool faulted(double r, double a, double b = 0.0) {
  if (std::isnan(r)) return !std::isnan(a) && !std::isnan(b);
  if (std::isinf(r)) return std::isfinite(a) && std::isfinite(b);
  return false;
}

uint32_t rotateLeft(uint32_t v, uint32_t count, int width) {
  const uint32_t mask = width == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  v &= mask;
  count %= static_cast<uint32_t>(width);
  if (count == 0) return v;
  return ((v << count) | (v >> (width - count))) & mask;
}

// Integer operands of a shift or rotation; floats are truncated to int32 first.
void shift(Machine& m, Op op, const Operand& left, const Operand& right, bool narrow,
           bool anyFloat) {
  const uint32_t count = static_cast<uint32_t>(right.asInt32()) & 31;
  const int32_t l = left.asInt32();
  const int width = narrow ? 16 : 32;
  uint32_t r = 0;
  switch (op) {
    case Op::Shl: r = static_cast<uint32_t>(l) << count; break;
    case Op::Shr:
      r = (narrow ? (static_cast<uint32_t>(l) & 0xFFFFu) : static_cast<uint32_t>(l)) >> count;
      break;
    case Op::Sar: r = static_cast<uint32_t>(l >> count); break;
    case Op::Group25: r = rotateLeft(static_cast<uint32_t>(l), count, width); break;
    default:
      r = rotateLeft(static_cast<uint32_t>(l), (width - count % width) % width, width);
      break;
  }
  if (anyFloat)  // an unsigned shift gives an unsigned result
    m.push<double>(op == Op::Shr ? static_cast<double>(r) : static_cast<double>(s32(r)));
  else
    pushInt(m, narrow, r);
}

void floatGroup(Machine& m, Op op, double l, double r) {
  switch (op) {
    case Op::Add: m.push<double>(l + r); break;
    case Op::Sub: m.push<double>(l - r); break;
    case Op::Mul: m.push<double>(l * r); break;
    case Op::Div:
    case Op::Mod: {
      const double q = op == Op::Div ? l / r : std::fmod(l, r);
      // A fault leaves the operands in place; the step loop restores sp.
      if (faulted(q, l, r))
        m.mathError = true;
      else
        m.push<double>(q);
      break;
    }
    case Op::Min: m.push<double>(l < r ? l : r); break;
    default: m.push<double>(l > r ? l : r); break;
  }
}

void intGroup(Machine& m, Op op, int32_t l, int32_t r, bool narrow) {
  const uint32_t ul = static_cast<uint32_t>(l), ur = static_cast<uint32_t>(r);
  uint32_t v = 0;
  switch (op) {
    case Op::Add: v = ul + ur; break;
    case Op::Sub: v = ul - ur; break;
    case Op::Mul: v = ul * ur; break;
    case Op::Div:
    case Op::Mod:
      // Computed in 32 bits: only a 32-bit result can overflow the division.
      if (r == 0 || (l == std::numeric_limits<int32_t>::min() && r == -1)) {
        m.mathError = true;
        return;
      }
      v = static_cast<uint32_t>(op == Op::Div ? l / r : l % r);
      break;
    case Op::And: v = ul & ur; break;
    case Op::Nand: v = ~(ul & ur); break;
    case Op::Or: v = ul | ur; break;
    case Op::Nor: v = ~(ul | ur); break;
    case Op::Xor: v = ul ^ ur; break;
    case Op::Xnor: v = ~(ul ^ ur); break;
    case Op::Min: v = static_cast<uint32_t>(l < r ? l : r); break;
    default: v = static_cast<uint32_t>(l > r ? l : r); break;
  }
  pushInt(m, narrow, v);
}

void truthGroup(Machine& m, Op op, bool l, bool r) {
  bool v = false;
  switch (op) {
    case Op::And: v = l && r; break;
    case Op::Nand: v = !(l && r); break;
    case Op::Or: v = l || r; break;
    case Op::Nor: v = !(l || r); break;
    case Op::Xor: v = l != r; break;
    default: v = l == r; break;
  }
  m.push16(truth(v));
}

template <typename T>
bool compare(Op op, T l, T r) {
  switch (op) {
    case Op::Equal: return l == r;
    case Op::NotEqual: return l != r;
    case Op::Greater: return l > r;
    case Op::GreaterEqual: return l >= r;
    case Op::Less: return l < r;
    default: return l <= r;
  }
}

}  // namespace

void group(Machine& m, Op op, uint8_t pair) {
  if (pair >= vexa::isa::kTypePairCount) {
    m.undefinedInstruction();
    return;
  }
  const Operand right = popOperand(m, vexa::isa::rightType(pair));
  const Operand left = popOperand(m, vexa::isa::leftType(pair));
  const bool anyFloat = left.isFloat() || right.isFloat();
  const bool narrow = left.type == ValueType::Int16 && right.type == ValueType::Int16;
  switch (op) {
    case Op::Equal:
    case Op::NotEqual:
    case Op::Greater:
    case Op::GreaterEqual:
    case Op::Less:
    case Op::LessEqual:
      m.push16(truth(anyFloat ? compare(op, left.asDouble(), right.asDouble())
                              : compare(op, left.i, right.i)));
      return;
    case Op::Shl:
    case Op::Shr:
    case Op::Sar:
    case Op::Group25:
    case Op::Group26: shift(m, op, left, right, narrow, anyFloat); return;
    case Op::And:
    case Op::Nand:
    case Op::Or:
    case Op::Nor:
    case Op::Xor:
    case Op::Xnor:
      if (anyFloat)
        truthGroup(m, op, left.nonZero(), right.nonZero());
      else
        intGroup(m, op, left.i, right.i, narrow);
      return;
    default:
      if (anyFloat)
        floatGroup(m, op, left.asDouble(), right.asDouble());
      else
        intGroup(m, op, left.i, right.i, narrow);
      return;
  }
}

void math(Machine& m, uint8_t function) {
  using vexa::isa::MathFn;
  if (function >= vexa::isa::kMathFnCount) {
    m.undefinedInstruction();
    return;
  }
  const auto fn = static_cast<MathFn>(function);
  if (fn == MathFn::Pow) {
    const double exponent = m.pop<double>();
    const double base = m.top<double>();
    const double r = std::pow(base, exponent);
    if (faulted(r, base, exponent))
      m.mathError = true;
    else
      m.setTop<double>(r);
    return;
  }
  const double x = m.top<double>();
  double r = 0.0;
  switch (fn) {
    case MathFn::Square: r = x * x; break;
    case MathFn::Sqrt: r = std::sqrt(x); break;
    case MathFn::CubeRoot: r = std::pow(x, 0.3333333333333333); break;
    case MathFn::Sin: r = std::sin(x); break;
    case MathFn::Cos: r = std::cos(x); break;
    case MathFn::Tan: r = std::tan(x); break;
    case MathFn::Asin: r = std::asin(x); break;
    case MathFn::Acos: r = std::acos(x); break;
    case MathFn::Atan: r = std::atan(x); break;
    case MathFn::Log10: r = std::log10(x); break;
    case MathFn::Ln: r = std::log(x); break;
    case MathFn::Exp: r = std::exp(x); break;
    case MathFn::Ceil: r = std::ceil(x); break;
    default: r = std::floor(x); break;
  }
  if (faulted(r, x))
    m.mathError = true;
  else
    m.setTop<double>(r);
}

// --- conversions and unary operators ---
void intToLong(Machine& m) {
  m.push<uint32_t>(static_cast<uint32_t>(static_cast<int32_t>(s16(m.pop16()))));
}
void intToFloat(Machine& m) { m.push<double>(s16(m.pop16())); }
void longToInt(Machine& m) { m.push16(static_cast<uint16_t>(m.pop<uint32_t>())); }
void longToFloat(Machine& m) { m.push<double>(s32(m.pop<uint32_t>())); }
void floatToInt(Machine& m) { m.push16(vexa::vm::floatToInt16Bits(m.pop<double>())); }
void floatToLong(Machine& m) {
  m.push<uint32_t>(static_cast<uint32_t>(vexa::vm::floatToInt32(m.pop<double>())));
}
void notFloat(Machine& m) { m.push16(truth(m.pop<double>() == 0.0)); }
void negFloat(Machine& m) { m.setTop<double>(-m.top<double>()); }
void absFloat(Machine& m) {
  if (m.top<double>() < 0.0) m.setTop<double>(-m.top<double>());
}
void notInt(Machine& m) { m.setTop<uint16_t>(static_cast<uint16_t>(~m.top<uint16_t>())); }
void notLong(Machine& m) { m.setTop<uint32_t>(~m.top<uint32_t>()); }
void negInt(Machine& m) { m.setTop<uint16_t>(static_cast<uint16_t>(0u - m.top<uint16_t>())); }
void negLong(Machine& m) { m.setTop<uint32_t>(0u - m.top<uint32_t>()); }
void absInt(Machine& m) {
  if (s16(m.top<uint16_t>()) < 0) negInt(m);
}
void absLong(Machine& m) {
  if (s32(m.top<uint32_t>()) < 0) negLong(m);
}

}  // namespace vexa::vx2sim::operators
