// Operator groups, math functions, conversions and unary operators, each run as a tiny
// program: push the operands, execute the instruction, read the stack.
#include <cmath>
#include <limits>
#include <variant>

#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

using vexa::isa::MathFn;
using vexa::isa::typePair;
using vexa::isa::ValueType;

using Value = std::variant<int16_t, int32_t, double>;

ValueType typeOf(const Value& v) { return static_cast<ValueType>(v.index()); }

void pushValue(ProgramBuilder& p, const Value& v) {
  if (auto* i = std::get_if<int16_t>(&v)) {
    p.emit(Op::PushInt, {.operand = static_cast<uint16_t>(*i)});
  } else if (auto* l = std::get_if<int32_t>(&v)) {
    p.emit(Op::PushConstLong, {.operand = p.constant(*l)});
  } else {
    p.emit(Op::PushConstFloat, {.operand = p.constant(std::get<double>(v))});
  }
}

struct Result {
  int32_t runState;
  Value value;
  uint16_t sp;
};

// Executes `op` on left and right; the result is read by `resultType`.
Result binary(Op op, Value left, Value right, ValueType resultType) {
  ProgramBuilder p = singleThread();
  pushValue(p, left);
  pushValue(p, right);
  p.emit(op, {.byte = typePair(typeOf(left), typeOf(right))});
  auto m = runAll(p, 3);
  Result r{m->runState(), Value{}, m->sp()};
  switch (resultType) {
    case ValueType::Int16: r.value = static_cast<int16_t>(m->top<uint16_t>()); break;
    case ValueType::Int32: r.value = static_cast<int32_t>(m->top<uint32_t>()); break;
    default: r.value = m->top<double>(); break;
  }
  return r;
}

std::string show(const Value& v) {
  return std::visit([](auto x) { return std::to_string(x); }, v);
}

struct BinaryCase {
  Op op;
  Value left, right;
  Value expected;
};

TEST(SimOperatorGroups, ComputeWithTheBoardsWidthsAndSigns) {
  const BinaryCase cases[] = {
      {Op::Add, int16_t{32767}, int16_t{1}, int16_t{-32768}},
      {Op::Add, int16_t{-1}, int32_t{1}, int32_t{0}},
      {Op::Add, int32_t{2147483647}, int32_t{1}, int32_t{-2147483647 - 1}},
      {Op::Add, int16_t{2}, 0.5, 2.5},
      {Op::Sub, int32_t{5}, int16_t{7}, int32_t{-2}},
      {Op::Mul, int16_t{300}, int16_t{300}, int16_t{24464}},  // 90000 cut to 16 bits
      {Op::Mul, int32_t{65536}, int32_t{65536}, int32_t{0}},
      {Op::Div, int16_t{-7}, int16_t{2}, int16_t{-3}},
      {Op::Div, int16_t{-32768}, int16_t{-1}, int16_t{-32768}},
      {Op::Div, 7.0, int16_t{2}, 3.5},
      {Op::Mod, int16_t{-7}, int16_t{2}, int16_t{-1}},
      {Op::Mod, 7.5, 2.0, 1.5},
      {Op::Mod, -7.5, 2.0, -1.5},
      {Op::Equal, int16_t{-1}, int32_t{-1}, int16_t{-1}},
      {Op::Equal, int16_t{1}, 1.5, int16_t{0}},
      {Op::NotEqual, int32_t{3}, int32_t{4}, int16_t{-1}},
      {Op::Greater, int16_t{-1}, int16_t{0}, int16_t{0}},
      {Op::GreaterEqual, 2.0, int32_t{2}, int16_t{-1}},
      {Op::Less, int32_t{-5}, int16_t{3}, int16_t{-1}},
      {Op::LessEqual, 3.5, 3.25, int16_t{0}},
      {Op::And, int16_t{0x0F0F}, int16_t{0x00FF}, int16_t{0x000F}},
      {Op::And, 2.5, 0.0, int16_t{0}},
      {Op::Nand, int16_t{6}, int16_t{3}, int16_t{-3}},
      {Op::Nand, 1.0, 2.0, int16_t{0}},
      {Op::Or, int16_t{0}, 0.5, int16_t{-1}},
      {Op::Nor, int32_t{1}, int32_t{2}, int32_t{-4}},
      {Op::Nor, 0.0, 0.0, int16_t{-1}},
      {Op::Xor, int16_t{6}, int16_t{3}, int16_t{5}},
      {Op::Xor, 1.0, 0.0, int16_t{-1}},
      {Op::Xnor, int32_t{5}, int32_t{3}, int32_t{-7}},
      {Op::Xnor, int16_t{5}, int16_t{3}, int16_t{-7}},
      {Op::Xnor, 1.0, 0.0, int16_t{0}},
      {Op::Shl, int16_t{0x4001}, int16_t{1}, int16_t{-32766}},
      {Op::Shl, int16_t{1}, int16_t{33}, int16_t{2}},  // count and 31
      {Op::Shl, 1.5, int16_t{4}, 16.0},
      {Op::Shr, int16_t{-1}, int16_t{4}, int16_t{0x0FFF}},
      {Op::Shr, int16_t{-1}, int32_t{4}, int32_t{0x0FFFFFFF}},
      {Op::Shr, -1.0, int16_t{28}, 15.0},
      {Op::Shr, -1.0, int16_t{0}, 4294967295.0},
      {Op::Shl, -1.0, int16_t{0}, -1.0},
      {Op::Sar, int16_t{-1}, int16_t{4}, int16_t{-1}},
      {Op::Sar, int32_t{-256}, int16_t{4}, int32_t{-16}},
      {Op::Sar, -256.0, int16_t{4}, -16.0},
      {Op::Group25, int16_t{static_cast<int16_t>(0x8001)}, int16_t{1}, int16_t{3}},
      {Op::Group26, int16_t{3}, int16_t{1}, int16_t{static_cast<int16_t>(0x8001)}},
      {Op::Group25, int32_t{static_cast<int32_t>(0x80000000u)}, int16_t{4}, int32_t{8}},
      {Op::Min, int16_t{-3}, int32_t{2}, int32_t{-3}},
      {Op::Min, 1.5, int16_t{2}, 1.5},
      {Op::Max, int16_t{-3}, int16_t{2}, int16_t{2}},
      {Op::Max, int32_t{7}, 7.5, 7.5},
  };
  for (const BinaryCase& c : cases) {
    SCOPED_TRACE(std::string(vexa::isa::name(c.op)) + " " + show(c.left) + " " + show(c.right));
    const Result r = binary(c.op, c.left, c.right, typeOf(c.expected));
    EXPECT_EQ(r.runState, kRunning);
    EXPECT_EQ(r.value, c.expected);
    const uint16_t width = c.expected.index() == 0 ? 2 : c.expected.index() == 1 ? 4 : 8;
    EXPECT_EQ(r.sp, kStackBase + width);
  }
}

TEST(SimOperatorGroups, GuardedFaultsAreMathErrorsThatUndoTheInstruction) {
  struct Case {
    Op op;
    Value left, right;
  };
  const Case cases[] = {
      {Op::Div, int16_t{1}, int16_t{0}},
      {Op::Mod, int32_t{1}, int16_t{0}},
      {Op::Div, int32_t{-2147483647 - 1}, int32_t{-1}},
      {Op::Mod, int32_t{-2147483647 - 1}, int16_t{-1}},
      {Op::Div, 1.0, 0.0},
      {Op::Div, 0.0, int16_t{0}},
      {Op::Mod, 5.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(vexa::isa::name(c.op)) + " " + show(c.left) + " " + show(c.right));
    ProgramBuilder p = singleThread();
    pushValue(p, c.left);
    pushValue(p, c.right);
    const uint16_t at = p.emit(c.op, {.byte = typePair(typeOf(c.left), typeOf(c.right))});
    auto m = load(p);
    const StepRecord first = steps(*m, 3);
    const uint16_t spBefore = m->sp();
    const StepRecord r = m->step(first.changes);
    EXPECT_EQ(r.runState, kMathError);
    EXPECT_EQ(m->pc(), at);
    EXPECT_EQ(m->sp(), spBefore);
    // Every later step re-executes the division and reports the same.
    const StepRecord again = m->step(r.changes);
    EXPECT_EQ(again.runState, kMathError);
    EXPECT_EQ(again.changes & 0xFFFF, r.changes & 0xFFFF);
    EXPECT_EQ(m->pc(), at);
  }
}

TEST(SimOperatorGroups, UnguardedFloatOverflowGivesInfinity) {
  const Result r = binary(Op::Mul, 1e300, 1e300, ValueType::Float);
  EXPECT_EQ(r.runState, kRunning);
  EXPECT_TRUE(std::isinf(std::get<double>(r.value)));
}

TEST(SimOperatorGroups, TypePairBeyondEightStopsAtTheWord) {
  ProgramBuilder p = singleThread();
  p.emit(Op::PushInt, {.operand = 1});
  p.emit(Op::PushInt, {.operand = 2});
  const uint16_t at = p.emit(Op::Add, {.byte = 9});
  auto m = runAll(p, 3);
  EXPECT_EQ(m->haltCode, 0xFFFF);
  EXPECT_EQ(m->pc(), at);
}

struct MathCase {
  MathFn fn;
  double x;
  double expected;
};

// The function applied to x, pushed as the only value.
std::unique_ptr<Machine> runMath(MathFn fn, double x) {
  ProgramBuilder p = singleThread();
  pushValue(p, x);
  p.emit(Op::MathFunc, {.byte = static_cast<uint8_t>(fn)});
  return runAll(p, 2);
}

TEST(SimMathFunctions, ReplaceTheFloatOnTop) {
  const MathCase cases[] = {
      {MathFn::Square, -3.0, 9.0},   {MathFn::Sqrt, 2.25, 1.5},   {MathFn::CubeRoot, 8.0, 2.0},
      {MathFn::Sin, 0.0, 0.0},       {MathFn::Cos, 0.0, 1.0},     {MathFn::Tan, 0.0, 0.0},
      {MathFn::Asin, 1.0, M_PI / 2}, {MathFn::Acos, 1.0, 0.0},    {MathFn::Atan, 1.0, M_PI / 4},
      {MathFn::Log10, 1000.0, 3.0},  {MathFn::Ln, M_E, 1.0},      {MathFn::Exp, 0.0, 1.0},
      {MathFn::Ceil, -1.5, -1.0},    {MathFn::Floor, -1.5, -2.0},
  };
  for (const MathCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fn));
    auto m = runMath(c.fn, c.x);
    EXPECT_EQ(m->runState(), kRunning);
    EXPECT_NEAR(m->top<double>(), c.expected, 1e-12);
    EXPECT_EQ(m->sp(), kStackBase + 8);
  }
}

TEST(SimMathFunctions, PowerTakesTheExponentFromTheTop) {
  ProgramBuilder p = singleThread();
  pushValue(p, 2.0);
  pushValue(p, 10.0);
  p.emit(Op::MathFunc, {.byte = static_cast<uint8_t>(MathFn::Pow)});
  auto m = runAll(p, 3);
  EXPECT_EQ(m->top<double>(), 1024.0);
  EXPECT_EQ(m->sp(), kStackBase + 8);
}

TEST(SimMathFunctions, DomainErrorsAreMathErrors) {
  const MathCase cases[] = {{MathFn::Sqrt, -1.0, 0},  {MathFn::CubeRoot, -8.0, 0},
                            {MathFn::Asin, 2.0, 0},   {MathFn::Ln, 0.0, 0},
                            {MathFn::Log10, -1.0, 0}, {MathFn::Exp, 1000.0, 0}};
  for (const MathCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fn));
    auto m = runMath(c.fn, c.x);
    EXPECT_EQ(m->runState(), kMathError);
    EXPECT_EQ(m->top<double>(), c.x);  // the argument is still there
  }
}

struct UnaryCase {
  Op op;
  Value in;
  Value expected;
};

TEST(SimConversions, TruncateAndCutWithoutUndefinedBehaviour) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const UnaryCase cases[] = {
      {Op::IntToLong, int16_t{-2}, int32_t{-2}},
      {Op::IntToFloat, int16_t{-2}, -2.0},
      {Op::LongToInt, int32_t{0x12345678}, int16_t{0x5678}},
      {Op::LongToFloat, int32_t{-70000}, -70000.0},
      {Op::FloatToInt, 70000.7, int16_t{4464}},
      {Op::FloatToInt, -1.9, int16_t{-1}},
      {Op::FloatToInt, nan, int16_t{0}},
      {Op::FloatToInt, 1e30, int16_t{0}},
      {Op::FloatToLong, 4294967298.5, int32_t{2}},
      {Op::FloatToLong, -1e300, int32_t{0}},
      {Op::NotInt, int16_t{0}, int16_t{-1}},
      {Op::NotLong, int32_t{5}, int32_t{-6}},
      {Op::NotFloat, 0.0, int16_t{-1}},
      {Op::NotFloat, 0.1, int16_t{0}},
      {Op::NegInt, int16_t{-32768}, int16_t{-32768}},
      {Op::NegLong, int32_t{-2147483647 - 1}, int32_t{-2147483647 - 1}},
      {Op::NegFloat, 1.5, -1.5},
      {Op::AbsInt, int16_t{-5}, int16_t{5}},
      {Op::AbsLong, int32_t{-5}, int32_t{5}},
      {Op::AbsFloat, -0.5, 0.5},
  };
  for (const UnaryCase& c : cases) {
    SCOPED_TRACE(std::string(vexa::isa::name(c.op)) + " " + show(c.in));
    ProgramBuilder p = singleThread();
    pushValue(p, c.in);
    p.emit(c.op);
    auto m = runAll(p, 2);
    Value got;
    switch (typeOf(c.expected)) {
      case ValueType::Int16: got = static_cast<int16_t>(m->top<uint16_t>()); break;
      case ValueType::Int32: got = static_cast<int32_t>(m->top<uint32_t>()); break;
      default: got = m->top<double>(); break;
    }
    EXPECT_EQ(got, c.expected);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
