// createMachine on good and malformed .dbg files: never a crash, never an exhausted memory.
#include "ExportHarness.h"

namespace vexa::vx2sim::test {
namespace {

// The smallest program: one thread whose only statement jumps to itself.
ProgramBuilder tinyProgram() {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 1});
  p.statement(1, 3);
  p.jump(Op::Jump, 0);
  p.variable("m.x", 1, 0x40, 1);
  return p;
}

TEST(SimLoader, AcceptsEmptyProgramAndBothLineEnds) {
  TempFiles files;
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"empty", "0 0\n\n\n0\n\n0\n"},
      {"crlf", tinyProgram().dbg("\r\n")},
      {"lf", tinyProgram().dbg("\n")},
      {"no-variables-line", "0\n0\n\n\n0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Vx2SimHandle h = createMachine(files.write(c.name, c.text).c_str());
    EXPECT_NE(h, nullptr);
    destroyMachine(h);
  }
}

TEST(SimLoader, RejectsMalformedFiles) {
  TempFiles files;
  const std::string good = tinyProgram().dbg("\n");
  // The good file's sections: "32\n16\n" then bytes, pairs, statements, variables.
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"nothing", ""},
      {"only-counts", "32\n16\n"},
      {"bytes-too-many", "131073 0\n"},
      {"words-too-many", "0 65537\n"},
      {"negative-bytes", "-1 0\n"},
      {"negative-words", "0 -16\n"},
      {"truncated-bytes", "32 0 1 2 3"},
      {"truncated-code", "0 2 0 0 0"},
      {"missing-statement-count", "0 1 65535 0"},
      {"negative-statements", "0 0 -1 0"},
      {"huge-statement-count", "0 0 2000000000 1 1"},
      {"truncated-statements", "0 0 2 1 1 1"},
      {"statement-beyond-table", "0 1 3 0 2 1 1 1 2 0"},
      {"negative-variable-count", "0 0 0 -5"},
      {"letters-in-number", "0x10 0"},
      {"number-beyond-32-bits", "99999999999 0"},
      {"cut-good-file", good.substr(0, good.size() / 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(createMachine(files.write(c.name, c.text).c_str()), nullptr);
  }
  EXPECT_EQ(createMachine((std::string(files.write("x", "")) + "-missing").c_str()), nullptr);
  EXPECT_EQ(createMachine(nullptr), nullptr);
}

TEST(SimLoader, NumbersKeepTheirLowBits) {
  // Byte 256+1 reads as 1 (one thread), code word -1 and 65535 both as 0xFFFF; the module
  // -1 reads as 65535.
  TempFiles files;
  std::string text = "32 16 257 0 0 0 0 1 0 1 1 0";
  for (int i = 0; i < 22; ++i) text += " 255";
  text += " 0 132 0 65534";  // Jump -2 in statement 0
  for (int i = 2; i < 16; ++i) text += " -1 65535";
  text += " 1 -1 7 0";
  const Vx2SimHandle h = createMachine(files.write("low", text).c_str());
  ASSERT_NE(h, nullptr);
  StepInfo info{};
  ASSERT_EQ(step(h, &info), 1);
  EXPECT_EQ(info.module, 65535);
  EXPECT_EQ(info.line, 7);
  EXPECT_EQ(info.thread, 1);
  EXPECT_EQ(info.runState, 0);
  destroyMachine(h);
}

TEST(SimLoader, VariableSectionIsLenient) {
  TempFiles files;
  const std::string head = "0 0 0 ";
  const struct {
    const char* name;
    std::string vars;
    const char* lookup;
    int32_t index;
    int32_t type;
  } cases[] = {
      {"later-duplicate-wins", "2\nm.a 1 10 1 0 0\nm.a 1 20 2 0 0\n", "m.a", 2, 2},
      {"short-last-line", "2\nm.a 1 10 1 0 0\nm.b 1 12\n", "m.b", 2, 0},
      {"fewer-lines-than-count", "5\nm.a 1 10 3 0 0\n", "m.a", 1, 3},
      {"string-type", "1\nm.s 1 64 -1 0 0\n", "m.s", 1, 65535},
      {"case-kept", "1\nM.Ab 1 64 0 0 0\n", "M.Ab", 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Vx2SimHandle h = createMachine(files.write(c.name, head + c.vars).c_str());
    ASSERT_NE(h, nullptr);
    VarInfo v{};
    EXPECT_EQ(getVarInfo(h, c.lookup, &v), 1);
    EXPECT_EQ(v.index, c.index);
    EXPECT_EQ(v.type, c.type);
    EXPECT_EQ(getVarInfo(h, "m.A", &v), 0);
    EXPECT_EQ(v.index, 0);
    EXPECT_EQ(v.type, 0);
    destroyMachine(h);
  }
}

TEST(SimLoader, CodeBeyondTheFileIsPadding) {
  // Two code words and no padding in the file: execution runs into 0xFFFF words (Fill).
  TempFiles files;
  // Nop in statement 0, then a Nop outside any statement.
  std::string padded = "32 2 1 0 0 0 0 1 0 1 1 0";
  for (int i = 0; i < 22; ++i) padded += " 0";
  padded += " 0 0 65535 0 1 1 1 0";
  const Vx2SimHandle h = createMachine(files.write("short", padded).c_str());
  ASSERT_NE(h, nullptr);
  StepInfo info{};
  step(h, &info);  // reports statement 0
  step(h, &info);  // Nop, Nop, then Fill words until the bound
  EXPECT_EQ(info.haltCode, 0xFFFF);
  EXPECT_EQ(info.runState, 1);
  destroyMachine(h);
}

TEST(SimHandles, UnknownAndDestroyedHandlesFailWithoutCrash) {
  TempFiles files;
  const Vx2SimHandle h = createMachine(files.write("p", tinyProgram().dbg()).c_str());
  ASSERT_NE(h, nullptr);
  StepInfo info{};
  EXPECT_EQ(step(h, &info), 1);
  EXPECT_EQ(step(h, nullptr), 0);
  EXPECT_EQ(destroyMachine(h), 1);
  EXPECT_EQ(step(h, &info), 0);
  EXPECT_EQ(resetMachine(h), 0);
  EXPECT_EQ(destroyMachine(h), 1);
  EXPECT_EQ(destroyMachine(nullptr), 1);
  const auto madeUp = reinterpret_cast<Vx2SimHandle>(uintptr_t{0x12345});
  EXPECT_EQ(step(madeUp, &info), 0);
  VarInfo v{};
  EXPECT_EQ(getVarInfo(madeUp, "m.x", &v), 0);
  int32_t value = 0;
  EXPECT_EQ(getIntegerValue(madeUp, 1, &value), 0);
  // A new machine in the freed slot does not revive the old handle.
  const Vx2SimHandle again = createMachine(files.write("q", tinyProgram().dbg()).c_str());
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, h);
  EXPECT_EQ(step(h, &info), 0);
  destroyMachine(again);
}

}  // namespace
}  // namespace vexa::vx2sim::test
