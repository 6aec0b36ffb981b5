#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "DataSymbols.h"
#include "IntermediateCodeSequence.h"

namespace vexa::vx2 {
namespace {

using Item = IntermediateCodeSequence::Item;

// Pushes both operands and folds the operation.
IntermediateCodeSequence folded(double left, double right, int op) {
  IntermediateCodeSequence code;
  auto push = [&](double v) {
    if (v == std::trunc(v) && std::fabs(v) < 2e9)
      code.pushInt(static_cast<int32_t>(v));
    else
      code.pushDouble(v);
  };
  push(left);
  push(right);
  code.appendFolded(op);
  return code;
}

struct FoldCase {
  double left, right;
  int op;
  double result;
  int resultOp;  // 9 or 10
};

TEST(IntermediateCodeSequence, FoldsBinaryOperators) {
  const std::vector<FoldCase> cases = {
      {2, 3, OP_ADD, 5, 9},
      {7, 2, OP_DIV, 3.5, 10},
      {7, 2, OP_MOD, 1, 9},
      {5, -1, OP_ADD, 4, 9},
      {2, -3, OP_MUL, -6, 9},
      {-1, -1, OP_AND, 4294967295.0, 10},
      {1, 1, OP_EQUAL, -1, 9},
      {1, 2, OP_NOT_EQUAL, -1, 9},
      {3, 2, OP_GREATER, -1, 9},
      {3, 2, OP_LESS, 0, 9},
      {2, 2, OP_GREATER_EQUAL, -1, 9},
      {3, 2, OP_LESS_EQUAL, 0, 9},
      {12, 10, OP_NAND, 0, 9},
      {1, 2, OP_NAND, 1, 9},
      {0, 0, OP_NOR, 1, 9},
      {0, 1, OP_NOR, 0, 9},
      {12, 10, OP_XOR, 6, 9},
      {12, 3, OP_OR, 15, 9},
      {1, 33, OP_SHL, 2, 9},
      {-1, 28, OP_SHR, 15, 9},
      {1, 31, OP_SHL, 2147483648.0, 10},
      {-7, 2, OP_MOD, -1, 9},
      {7.9, 2.2, OP_MOD, 1, 9},
      {5000000000.0, 1, OP_ADD, 5000000001.0, 10},
  };
  for (const auto& c : cases) {
    auto code = folded(c.left, c.right, c.op);
    ASSERT_EQ(code.size(), 1u) << c.left << " op " << c.op << " " << c.right;
    EXPECT_EQ(code.at(0).op, c.resultOp) << c.left << " op " << c.op << " " << c.right;
    EXPECT_EQ(code.constantValue(), c.result) << c.left << " op " << c.op << " " << c.right;
  }
}

TEST(IntermediateCodeSequence, DivisionByZeroThrows) {
  EXPECT_THROW(folded(8, 0, OP_DIV), IntermediateCodeSequence::DIVISION_BY_ZERO);
  EXPECT_THROW(folded(8, 0.5, OP_MOD), IntermediateCodeSequence::DIVISION_BY_ZERO);
  EXPECT_EQ(folded(-2147483648.0, -1, OP_MOD).constantValue(), 0);
}

TEST(IntermediateCodeSequence, UnaryFolding) {
  IntermediateCodeSequence code;
  code.pushInt(0);
  code.appendFolded(OP_NOT);
  EXPECT_EQ(code.constantValue(), 1);
  code.appendFolded(OP_NOT);
  EXPECT_EQ(code.constantValue(), 0);
  IntermediateCodeSequence neg;
  neg.pushDouble(2.5);
  neg.appendFolded(OP_NEG);
  EXPECT_EQ(neg.constantValue(), -2.5);
  neg.appendFolded(OP_NOT);
  EXPECT_EQ(neg.at(0).op, OP_PUSH_DOUBLE);
  EXPECT_EQ(neg.constantValue(), static_cast<double>(~static_cast<int32_t>(-2)));
  // Integral negation is 32-bit: the scanned 2147483648 wraps, and its negation stays the smallest
  // long.
  for (auto [value, negated] : {std::pair{5, -5}, {-7, 7}, {INT32_MIN, INT32_MIN}}) {
    IntermediateCodeSequence n;
    n.pushInt(value);
    n.appendFolded(OP_NEG);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n.at(0).op, OP_PUSH_INT) << value;
    EXPECT_EQ(n.at(0).operand, negated) << value;
  }
}

TEST(IntermediateCodeSequence, VariablesAreNotFoldedButNamedConstantsAre) {
  using Pairs = std::vector<std::pair<int32_t, int32_t>>;
  struct Case {
    SymbolPtr left;
    int32_t right;
    int32_t op;
    Pairs items;
  };
  auto x =
      std::make_shared<Variable>(NumericType::builtin(NUM_INT), STORAGE_GLOBAL, false, 0, nullptr);
  const std::vector<Case> cases = {
      {x, 1, OP_ADD, {{OP_LOAD, 0}, {OP_PUSH_INT, 1}, {OP_ADD, 0}}},
      {std::make_shared<Constant>(10), 2, OP_MUL, {{OP_PUSH_INT, 20}}},
  };
  for (const auto& c : cases) {
    IntermediateCodeSequence code;
    code.appendSymbol(OP_LOAD, c.left);
    code.pushInt(c.right);
    code.appendFolded(c.op);
    Pairs items;
    for (const auto& item : code.items()) items.emplace_back(item.op, item.operand);
    EXPECT_EQ(items, c.items) << "op " << c.op;
  }
  IntermediateCodeSequence variable;
  variable.appendSymbol(OP_LOAD, x);
  EXPECT_THROW(variable.constantValue(), IntermediateCodeSequence::NO_CONST);
}

TEST(IntermediateCodeSequence, StoreThenLoadBecomesPut) {
  auto v =
      std::make_shared<Variable>(NumericType::builtin(NUM_INT), STORAGE_GLOBAL, false, 0, nullptr);
  IntermediateCodeSequence code;
  code.appendSymbol(OP_STORE, v);
  code.appendSymbol(OP_LOAD, v);
  ASSERT_EQ(code.size(), 1u);
  EXPECT_EQ(code.at(0).op, OP_PUT);

  auto ref = std::make_shared<Reference>(NumericType::builtin(NUM_INT), true);
  auto viaRef =
      std::make_shared<Variable>(NumericType::builtin(NUM_INT), STORAGE_LOCAL, true, 0, ref);
  IntermediateCodeSequence indirect;
  indirect.appendSymbol(OP_STORE, viaRef);
  indirect.appendSymbol(OP_LOAD, viaRef);
  EXPECT_EQ(indirect.size(), 2u);
}

TEST(IntermediateCodeSequence, SecondReturnIsDropped) {
  auto f = std::make_shared<Constant>(0);
  IntermediateCodeSequence code;
  code.appendSymbol(OP_RETURN, f);
  code.appendSymbol(OP_RETURN, f);
  EXPECT_EQ(code.size(), 1u);
}

TEST(IntermediateCodeSequence, AppendCopiesPoolsAndDropsMarkersOnRequest) {
  IntermediateCodeSequence inner;
  inner.pushDouble(1.5);
  inner.appendWithOperand(OP_MARKER, 7);
  inner.appendText(OP_STR_APPEND_TEXT, "hi");
  IntermediateCodeSequence outer;
  outer.pushDouble(9.25);
  outer.append(inner, false);
  ASSERT_EQ(outer.size(), 3u);
  EXPECT_EQ(outer.doubleAt(outer.at(1).operand), 1.5);
  EXPECT_EQ(outer.textAt(outer.at(2).operand), "hi");
  IntermediateCodeSequence withMarkers;
  withMarkers.append(inner, true);
  EXPECT_EQ(withMarkers.size(), 3u);
}

TEST(IntermediateCodeSequence, StackNeedIsTotalPlusLargestCallee) {
  IntermediateCodeSequence code;
  code.addStackNeed(96);
  code.raiseCalleeNeed(100);
  code.raiseCalleeNeed(50);
  code.addStackNeed(4);
  EXPECT_EQ(code.stackNeed(), 200);
}

}  // namespace
}  // namespace vexa::vx2
