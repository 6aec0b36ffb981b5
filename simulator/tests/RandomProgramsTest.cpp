// Arbitrary code words never make the machine read or write outside its arrays (run under
// the sanitizers) and every step returns.
#include <random>

#include "CoreHarness.h"
#include "LoadError.h"

namespace vexa::vx2sim::test {
namespace {

TEST(SimRandomPrograms, AnyCodeRunsWithoutLeavingTheMachine) {
  std::mt19937 random(20261208);
  std::FILE* output = std::tmpfile();
  ASSERT_NE(output, nullptr);
  for (int program = 0; program < 600; ++program) {
    ProgramBuilder p(3);
    p.statement(1, 1);
    // Mostly defined instructions with small bytes, some raw words.
    const auto table = vexa::isa::instructions();
    while (p.here() < 96) {
      if (random() % 8 == 0) {
        p.word(static_cast<uint16_t>(random()));
        continue;
      }
      const auto& in = table[random() % table.size()];
      const uint8_t byte = in.hasByte() ? static_cast<uint8_t>(random() % 16) : 0;
      const uint16_t operand =
          in.hasOperand() ? static_cast<uint16_t>(random() % 3 ? random() % 200 : random()) : 0;
      p.emit(in.op, {.byte = byte, .operand = operand});
    }
    std::vector<uint8_t> constants(64);
    for (auto& c : constants) c = static_cast<uint8_t>(random());
    p.rawConstants(constants);
    // Stacks near the top of RAM and in the middle; random slices.
    p.thread(1, {static_cast<uint16_t>(random() % 96), 0xFFF0, 0xFFF0,
                 static_cast<uint16_t>(random() % 4)});
    p.thread(2, {static_cast<uint16_t>(random() % 96), 0x8000, 0x8000,
                 static_cast<uint16_t>(random() % 8)});
    p.thread(3, {static_cast<uint16_t>(random() % 96), 0xFFF8, 0xFFFC, 255});
    auto m = load(p);
    m->output = output;
    StepRecord r{};
    for (int s = 0; s < 200; ++s) {
      r = m->step(r.changes);
      ASSERT_GE(r.thread, 1);
      ASSERT_LE(r.thread, 3);
    }
  }
  std::fclose(output);
}

TEST(SimRandomPrograms, DamagedDbgFilesLoadOrFailCleanly) {
  ProgramBuilder p(2);
  p.thread(1, {0, 0x100, 0x100, 32});
  p.thread(2, {0, 0x200, 0x200, 32});
  p.statement(1, 1);
  p.emit(Op::PushInt, {.operand = 1});
  p.statement(1, 2);
  p.jump(Op::Jump, 0);
  p.variable("m.a", 1, 64, 1);
  p.variable("m.f.b", 2, -6, -1, 0, 3);
  const std::string good = p.dbg();
  const char alphabet[] = "0123456789 -\n\rx";
  std::mt19937 random(7);
  int loaded = 0;
  for (int i = 0; i < 400; ++i) {
    std::string text = good;
    for (int k = 0; k < 1 + static_cast<int>(random() % 4) && !text.empty(); ++k) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
        case 1: text.erase(at, 1 + random() % 8); break;
        default: text.resize(at); break;
      }
    }
    if (text.empty()) continue;
    std::FILE* f = fmemopen(text.data(), text.size(), "r");
    Machine m(testClock());
    try {
      m.load(f);
      m.reset();
      StepRecord r{};
      for (int s = 0; s < 50; ++s) r = m.step(r.changes);
      ++loaded;
    } catch (const LoadError&) {}
    std::fclose(f);
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace vexa::vx2sim::test
