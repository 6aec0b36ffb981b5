// Loads, stores, increments, constants, jumps and undefined words.
#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

using vexa::isa::encode;

TEST(SimMemoryOps, StoresKeepTheirWidthAndSetTheStatusBit) {
  ProgramBuilder p = singleThread();
  p.emit(Op::PushInt, {.operand = 0x1234});
  p.emit(Op::PushInt, {.operand = 0x60});
  p.emit(Op::StoreByteAt);
  auto m = runAll(p, 3);
  EXPECT_EQ(m->ram[0x60], 0x34);
  EXPECT_EQ(m->ram[0x61], 0);
  EXPECT_EQ(m->sp(), kStackBase);
}

TEST(SimMemoryOps, EachAddressingFormReachesItsCell) {
  struct Case {
    const char* name;
    std::vector<std::pair<Op, vexa::isa::Fields>> program;
    uint16_t address;
    uint32_t expected;  // little-endian bytes at the address
    int width;
    uint16_t statusAfterLast;
  };
  const uint16_t local = static_cast<uint16_t>(-4);  // frame - 4
  const Case cases[] = {
      {"StoreInt",
       {{Op::PushInt, {.operand = 0xBEEF}}, {Op::StoreInt, {.operand = 0x70}}},
       0x70,
       0xBEEF,
       2,
       1},
      {"StoreLocalInt",
       {{Op::PushInt, {.operand = 7}}, {Op::StoreLocalInt, {.operand = local}}},
       kStackBase - 4,
       7,
       2,
       1},
      {"PutLong",
       {{Op::PushInt, {.operand = 5}}, {Op::IntToLong, {}}, {Op::PutLong, {.operand = 0x70}}},
       0x70,
       5,
       4,
       1},
      {"IncByte wraps",
       {{Op::PushInt, {.operand = 255}},
        {Op::StoreByte, {.operand = 0x70}},
        {Op::IncByte, {.operand = 0x70}}},
       0x70,
       0,
       1,
       0},
      {"IncLocalInt",
       {{Op::IncLocalInt, {.operand = 2}}, {Op::IncLocalInt, {.operand = 2}}},
       kStackBase + 2,
       2,
       2,
       0},
      {"StoreIntBE",
       {{Op::PushInt, {.operand = 0x70}},
        {Op::PushInt, {.operand = 2}},
        {Op::PushInt, {.operand = 0x1234}},
        {Op::StoreIntBE, {}}},
       0x72,
       0x3412,
       2,
       1},
      {"IncIntAt", {{Op::PushInt, {.operand = 0x70}}, {Op::IncIntAt, {}}}, 0x70, 1, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramBuilder p = singleThread();
    for (const auto& [op, f] : c.program) p.emit(op, f);
    auto m = runAll(p, static_cast<int>(c.program.size()));
    uint32_t v = 0;
    for (int i = 0; i < c.width; ++i)
      v |= uint32_t{m->ram[static_cast<uint16_t>(c.address + i)]} << (8 * i);
    EXPECT_EQ(v, c.expected);
    EXPECT_EQ(m->status, c.statusAfterLast);
  }
}

TEST(SimMemoryOps, LoadsPushWhatTheyRead) {
  ProgramBuilder p = singleThread();
  const uint16_t kByte = p.constant(uint16_t{0xFF});
  const uint16_t kLong = p.constant(int32_t{0x01020304});
  p.emit(Op::PushByte, {.byte = 0xFF});           // 255, not -1
  p.emit(Op::PushConstByte, {.operand = kByte});  // 255
  p.emit(Op::PushConstLong, {.operand = kLong});
  p.emit(Op::PushInt, {.operand = 0x70});
  p.emit(Op::PushInt, {.operand = 0});
  p.emit(Op::PushConstLong, {.operand = kLong});
  p.emit(Op::StoreLongBE);  // 01 02 03 04 at 0x70
  p.emit(Op::PushInt, {.operand = 0x70});
  p.emit(Op::PushInt, {.operand = 0});
  p.emit(Op::LoadLongBE);
  p.emit(Op::PushConstLong, {.operand = 0xFFFF});  // beyond the image: 0
  auto m = runAll(p, 11);
  EXPECT_EQ(m->load<uint16_t>(kStackBase), 255);
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 2), 255);
  EXPECT_EQ(m->load<uint32_t>(kStackBase + 4), 0x01020304u);
  EXPECT_EQ(m->ram[0x70], 1);
  EXPECT_EQ(m->load<uint32_t>(kStackBase + 8), 0x01020304u);
  EXPECT_EQ(m->load<uint32_t>(kStackBase + 12), 0u);
  EXPECT_EQ(m->sp(), kStackBase + 16);
}

TEST(SimMemoryOps, MultiByteAccessWrapsAtTheTopOfRam) {
  // Thread 2 runs; the wrapped bytes land in the context of thread 1, which never runs.
  ProgramBuilder p(2);
  p.statement(1, 1);
  const uint16_t entry = p.emit(Op::PushConstLong, {.operand = p.constant(int32_t{0x44332211})});
  p.emit(Op::StoreLong, {.operand = 0xFFFE});
  p.emit(Op::LoadLong, {.operand = 0xFFFE});
  p.emit(Op::PushInt, {.operand = 0xFFFF});
  p.emit(Op::PushInt, {.operand = 0});
  p.emit(Op::PushInt, {.operand = 0x5678});
  p.emit(Op::StoreIntBE);
  p.jump(Op::Jump, p.here());
  p.thread(1, {0, 0x100, 0x100, 0});
  p.thread(2, {entry, 0x200, 0x200, 255});
  auto m = load(p);
  steps(*m, 1 + 7);
  EXPECT_EQ(m->ram[0xFFFE], 0x11);
  EXPECT_EQ(m->ram[0x0001], 0x44);  // the long's last byte
  EXPECT_EQ(m->ram[0xFFFF], 0x56);  // the big-endian pair across the top
  EXPECT_EQ(m->ram[0x0000], 0x78);
  EXPECT_EQ(m->top<uint32_t>(), 0x44332211u);
}

TEST(SimMemoryOps, AddFrameAndAdjustSp) {
  ProgramBuilder p = singleThread();
  p.emit(Op::PushInt, {.operand = static_cast<uint16_t>(-2)});
  p.emit(Op::AddFrame);
  p.emit(Op::AdjustSp, {.operand = 10});
  p.emit(Op::AdjustSp, {.operand = static_cast<uint16_t>(-10)});
  auto m = runAll(p, 4);
  EXPECT_EQ(m->top<uint16_t>(), kStackBase - 2);
  EXPECT_EQ(m->sp(), kStackBase + 2);
}

TEST(SimJumps, JumpIfFalsePopsEitherWay) {
  for (uint16_t condition : {uint16_t{0}, uint16_t{0xFFFF}}) {
    ProgramBuilder p = singleThread();
    p.emit(Op::PushInt, {.operand = condition});
    p.emit(Op::JumpIfFalse, {.operand = 2});  // over the next PushInt
    p.emit(Op::PushInt, {.operand = 1});
    auto m = runAll(p, condition ? 3 : 2);
    EXPECT_EQ(m->pc(), 6);
    EXPECT_EQ(m->sp(), kStackBase + (condition ? 2 : 0));
  }
}

TEST(SimJumps, JumpToItselfStays) {
  ProgramBuilder p = singleThread();
  p.emit(Op::Jump, {.operand = 0xFFFE});
  auto m = load(p);
  steps(*m, 5);
  EXPECT_EQ(m->pc(), 0);
}

TEST(SimUndefinedWords, StopAtTheWordOrDoNothing) {
  struct Case {
    uint16_t word;
    bool stops;
  };
  const Case cases[] = {
      {static_cast<uint16_t>(encode(Op::Nop) | 0x0100), true},  // class 0x00 with a high byte
      {static_cast<uint16_t>(vexa::isa::kClassByte | 43), true},
      {static_cast<uint16_t>(vexa::isa::kClassOperand | 63), true},
      {encode(Op::StringFunc, 13), true},
      {encode(Op::MathFunc, 15), true},
      {encode(Op::ReturnValue, 3), true},
      {static_cast<uint16_t>(vexa::isa::kClassByteOperand | 20), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    ProgramBuilder p = singleThread();
    p.word(c.word);
    p.word(0);
    auto m = runAll(p, 1);
    EXPECT_EQ(m->haltCode, c.stops ? 0xFFFF : 0);
    EXPECT_EQ(m->pc(), c.stops ? 0 : 2);
    EXPECT_EQ(m->sp(), kStackBase);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
