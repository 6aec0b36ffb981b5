#include <gtest/gtest.h>

#include "DataSymbols.h"
#include "Procedure.h"
#include "Program.h"
#include "Scope.h"
#include "Types.h"

namespace vexa::vx2 {
namespace {

TEST(Types, SmallestNumericType) {
  const std::vector<std::pair<double, int>> cases = {
      {0, 0},     {255, 0},    {256, 1}, {-1, 1},           {-32768, 1},       {32767, 1},
      {40000, 2}, {-40000, 2}, {2.5, 3}, {3000000000.0, 3}, {-2147483648.0, 2}};
  for (const auto& [value, kind] : cases) EXPECT_EQ(smallestNumericKind(value), kind) << value;
  EXPECT_EQ(smallestNumericType(300).get(), NumericType::builtin(NUM_INT).get());
}

TEST(Types, UserTypeFieldOffsets) {
  UserType type;
  auto a = type.addField(NumericType::builtin(NUM_BYTE), 0);
  auto b = type.addField(NumericType::builtin(NUM_INT), 0);
  auto c = type.addField(NumericType::builtin(NUM_BYTE), 0);
  EXPECT_EQ(a->offset, 0);
  EXPECT_EQ(b->offset, 2);
  EXPECT_EQ(c->offset, 4);
  EXPECT_EQ(type.size(), 5);
  auto d = type.addField(NumericType::builtin(NUM_LONG), 3);
  EXPECT_EQ(d->offset, 6);
  EXPECT_EQ(type.size(), 18);
}

TEST(DataSymbols, SizesAndWidening) {
  ArrayConstant array;
  array.addElement(1);
  EXPECT_EQ(array.numericKind(), NUM_INT);  // never byte
  array.addElement(70000);
  EXPECT_EQ(array.numericKind(), NUM_LONG);
  EXPECT_EQ(array.size(), 8);
  StringArrayConstant texts;
  texts.addText("ab");
  texts.addText("");
  EXPECT_EQ(texts.size(), 2 + 2 + 0 + 2);
  Variable v(StringType::builtin(), STORAGE_GLOBAL, true, 3, nullptr);
  EXPECT_EQ(v.size(), 96);
}

TEST(Procedure, LocalsAlignAndReferencesTakeNoSpace) {
  Function f(false);
  auto b =
      std::make_shared<Variable>(NumericType::builtin(NUM_BYTE), STORAGE_LOCAL, false, 0, nullptr);
  auto l =
      std::make_shared<Variable>(NumericType::builtin(NUM_LONG), STORAGE_LOCAL, false, 0, nullptr);
  auto ref = std::make_shared<Reference>(StringType::builtin(), false);
  auto viaRef = std::make_shared<Variable>(StringType::builtin(), STORAGE_LOCAL, false, 0, ref);
  f.allocateLocal(b);
  f.allocateLocal(l);
  f.allocateLocal(viaRef);
  EXPECT_EQ(b->address, 0);
  EXPECT_EQ(l->address, 2);
  EXPECT_EQ(f.frameSize, 6);
  EXPECT_EQ(f.code.frameSize, 6);
  auto temp = f.tempString(1);
  EXPECT_EQ(f.temps.size(), 2u);
  EXPECT_EQ(temp->address, 38);
  EXPECT_EQ(f.frameSize, 70);
}

TEST(Procedure, ParametersGetNegativeAddresses) {
  Function f(false);
  auto a =
      std::make_shared<Variable>(NumericType::builtin(NUM_INT), STORAGE_LOCAL, false, 0, nullptr);
  auto b =
      std::make_shared<Variable>(NumericType::builtin(NUM_FLOAT), STORAGE_LOCAL, false, 0, nullptr);
  auto r = std::make_shared<Reference>(StringType::builtin(), false);
  f.addParameter(a);
  f.addParameter(b);
  f.addParameter(r);
  f.layoutParameters();
  EXPECT_EQ(r->address, -2);
  EXPECT_EQ(b->address, -10);
  EXPECT_EQ(a->address, -12);
  EXPECT_EQ(f.parameterSize, 12);
}

TEST(Scope, LookupWalksVisibleAncestors) {
  Program program;
  Scope* mod = program.declare(1, "M", std::make_shared<Thread>(0), KIND_MODULE, false);
  Scope* other = program.declare(1, "N", std::make_shared<Thread>(0), KIND_MODULE, false);
  program.enterScope(mod);
  Scope* g = program.declare(2, "g", std::make_shared<Constant>(1), KIND_CONSTANT, false);
  Scope* t = program.declare(3, "t", std::make_shared<Thread>(0), KIND_THREAD, true);
  program.enterScope(t);
  Scope* local = program.declare(4, "x", std::make_shared<Constant>(2), KIND_CONSTANT, false);
  EXPECT_EQ(Scope::lookup(t, "g"), g);
  EXPECT_EQ(Scope::lookup(t, "N"), other);
  EXPECT_EQ(Scope::lookup(mod, "x"), nullptr);  // the thread's node is hidden
  EXPECT_EQ(Scope::lookup(mod, "g"), g);  // from the module: its own children, then the modules
  EXPECT_EQ(Scope::lookup(mod, "N"), other);
  EXPECT_EQ(t->findChild("x"), local);
  EXPECT_EQ(local->fullName(), "M.t.x");
  EXPECT_EQ(program.declare(5, "x", std::make_shared<Constant>(3), KIND_CONSTANT, false), nullptr);
  EXPECT_EQ(local->symbol->line, 4);
  EXPECT_EQ(local->symbol->kind, KIND_CONSTANT);
}

TEST(Scope, LargeScopesFindEveryChild) {
  Scope root("", nullptr, nullptr);
  for (int i = 0; i < 100; ++i)
    ASSERT_NE(root.addChild("n" + std::to_string(i), std::make_shared<Constant>(i)), nullptr);
  EXPECT_EQ(root.addChild("n50", std::make_shared<Constant>(0)), nullptr);
  root.removeChild("n50");
  EXPECT_EQ(root.findChild("n50"), nullptr);
  EXPECT_NE(root.findChild("n99"), nullptr);
  EXPECT_EQ(root.children().size(), 99u);
}

TEST(Scope, RemovalDetachesSymbolsThatAreStillReferenced) {
  SymbolPtr kept;
  {
    Scope root("", nullptr, nullptr);
    Scope* node = root.addChild("c", std::make_shared<Constant>(5));
    kept = node->symbol;
    kept->node = node;
    EXPECT_FALSE(kept->detached());
    root.removeChild("c");
  }
  EXPECT_TRUE(kept->detached());
  EXPECT_EQ(kept->node, nullptr);
}

}  // namespace
}  // namespace vexa::vx2
