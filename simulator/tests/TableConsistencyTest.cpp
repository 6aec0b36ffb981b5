// The instruction table's stack effects and store flags agree with what the machine does.
#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

using vexa::isa::ByteKind;
using vexa::isa::Instruction;
using vexa::isa::StoresRam;
using vexa::isa::Varies;

TEST(SimInstructionTable, FixedStackEffectsAndStoreFlagsMatchTheMachine) {
  int checked = 0;
  for (const Instruction& in : vexa::isa::instructions()) {
    if (in.popBytes == Varies || in.pushBytes == Varies) continue;
    SCOPED_TRACE(std::string(in.name));
    // Thread 2 runs; thread 1 never does, so addresses 1.. only touch its idle context.
    ProgramBuilder p(2);
    p.statement(1, 1);
    const uint16_t entry = p.here();
    for (int i = 0; i < 8; ++i) p.emit(Op::PushInt, {.operand = 1});
    const uint8_t byte = in.byteKind == ByteKind::Thread ? 1 : 0;
    const uint16_t end = static_cast<uint16_t>(p.here() + in.length());
    uint16_t operand = 0;
    if (in.operandKind == vexa::isa::OperandKind::CodeAddress)
      operand = end;
    else if (in.hasOperand() && in.operandKind != vexa::isa::OperandKind::JumpOffset)
      operand = 0x40;
    p.emit(in.op, {.byte = byte, .operand = operand});
    p.jump(Op::Jump, end);
    p.thread(1, {0, 0x100, 0x100, 0});
    p.thread(2, {entry, 0x200, 0x200, 255});
    auto m = load(p);
    steps(*m, 1 + 8);
    auto sp2 = [&m] { return m->load<uint16_t>(context::kSize + context::kSp); };
    const uint16_t before = sp2();
    steps(*m, 1);
    if (m->badArgument) continue;  // word and counter indices of 1 are out of range
    EXPECT_FALSE(m->hasError());
    EXPECT_EQ(sp2() - before, in.pushBytes - in.popBytes);
    EXPECT_EQ((m->status & status::kRamStore) != 0, (in.flags & StoresRam) != 0);
    ++checked;
  }
  EXPECT_GT(checked, 120);
}

}  // namespace
}  // namespace vexa::vx2sim::test
