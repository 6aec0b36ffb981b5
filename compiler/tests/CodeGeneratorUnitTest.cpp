#include <gtest/gtest.h>

#include "CodeGenerator.h"
#include "Procedure.h"
#include "vexa/isa_testing.h"

namespace vexa::vx2 {
namespace {

using vexa::isa::testing::sameCode;

std::shared_ptr<Variable> global(int kind, int address) {
  auto v =
      std::make_shared<Variable>(NumericType::builtin(kind), STORAGE_GLOBAL, false, 0, nullptr);
  v->address = address;
  return v;
}

TEST(CodeGenerator, JumpToTheNextWordHasOperandZero) {
  CodeGenerator generator;
  generator.layoutData(1);
  Thread thread(32);
  thread.code.appendWithOperand(OP_JUMP, 1);
  thread.code.appendWithOperand(OP_LABEL, 1);
  thread.code.appendWithOperand(OP_YIELD, 0);
  generator.translateProcedure(thread);
  EXPECT_TRUE(sameCode(generator.code(), {"Jump 0 -> 0002", "Yield"}));
}

TEST(CodeGenerator, StringConstantLayout) {
  CodeGenerator generator;
  generator.layoutData(2);  // constants start at word 9
  StringConstant text("abc");
  generator.placeStringConstant(text);
  EXPECT_EQ(text.address, 9);
  const auto& bytes = generator.constantArea();
  EXPECT_EQ(bytes[18], 3);
  EXPECT_EQ(std::string(bytes.begin() + 19, bytes.begin() + 22), "abc");
  EXPECT_EQ(generator.constantBytes(), 22);  // the counter moved to word 11
  StringConstant longText(std::string(40, 'x'));
  generator.placeStringConstant(longText);
  EXPECT_EQ(generator.constantArea()[22], 30);  // cut at 30 characters
  EXPECT_EQ(generator.constantBytes(), 22 + 32);
}

TEST(CodeGenerator, TypeStackChoosesConversionsAndDrops) {
  // long = int + float, then a float function result dropped.
  auto f = std::make_shared<Function>(false);
  f->returnType = NumericType::builtin(NUM_FLOAT);
  auto i = global(NUM_INT, 20), x = global(NUM_FLOAT, 22), l = global(NUM_LONG, 30);
  Thread thread(32);
  auto& code = thread.code;
  code.appendSymbol(OP_LOAD, i);
  code.appendSymbol(OP_LOAD, x);
  code.appendFolded(OP_ADD);
  code.appendWithOperand(OP_CONVERT, NUM_LONG);
  code.appendSymbol(OP_STORE, l);
  code.appendSymbol(OP_CALL, f);
  code.appendSymbol(OP_DROP_RESULT, f);
  code.appendSymbol(OP_LOAD, l);
  code.appendFolded(OP_NOT);
  code.appendSymbol(OP_STORE, i);
  CodeGenerator generator;
  generator.layoutData(1);
  generator.translateProcedure(*f);  // f has no code here: its entry is word 0
  generator.translateProcedure(thread);
  generator.resolveCalls();
  EXPECT_TRUE(sameCode(generator.code(), {"LoadInt [0014]", "LoadFloat [0016]", "Add int16,float",
                                          "FloatToLong", "StoreLong [001E]",  // l = i + x
                                          "Call 0000", "AdjustSp -8",         // f() dropped
                                          "LoadLong [001E]", "NotLong", "LongToInt",
                                          "StoreInt [0014]"}));  // i = not l
}

TEST(CodeGenerator, OversizedCodeIsRefusedNotWritten) {
  Thread thread(32);
  for (int n = 0; n < 0x10001; ++n) thread.code.appendWithOperand(OP_YIELD, 0);
  CodeGenerator generator;
  generator.layoutData(1);
  EXPECT_THROW(generator.translateProcedure(thread), BuildError);
  EXPECT_EQ(generator.codeCount(), 0x10000);
}

TEST(CodeGenerator, OversizedConstantsAreRefused) {
  CodeGenerator generator;
  generator.layoutData(1);
  ArrayConstant big;
  for (int n = 0; n < 17000; ++n) big.addElement(3.5);  // 4 words each
  EXPECT_THROW(generator.placeArrayConstant(big), BuildError);
  EXPECT_LE(generator.constantBytes(), 0x20000);
}

TEST(CodeGenerator, RemovedDeclarationIsRefused) {
  auto v = global(NUM_INT, 20);
  Thread thread(32);
  thread.code.appendSymbol(OP_LOAD, v);
  v->detach();
  CodeGenerator generator;
  generator.layoutData(1);
  EXPECT_THROW(generator.translateProcedure(thread), std::runtime_error);
}

}  // namespace
}  // namespace vexa::vx2
