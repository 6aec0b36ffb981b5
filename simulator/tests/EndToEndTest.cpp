// V2 sources compiled with the compiler library, loaded from the .dbg file and stepped, all
// through the exported functions as the IDE uses them.
#include <functional>
#include <set>

#include "ExportHarness.h"
#include "vx2comp.h"

namespace vx2sim::test {
namespace {

class SimEndToEnd : public ::testing::Test {
 protected:
  void TearDown() override {
    destroyMachine(machine);
    if (project) closeProject(project);
  }

  // Builds module "m" from the source and loads the machine.
  void load(const std::string& source) {
    source_ = source;
    project = openProject("e2e");
    ASSERT_NE(project, 0u);
    setMessageBuffer(project, messages, sizeof messages);
    const int32_t module = addModule(project, "m", source_.c_str(), VX2COMP_SOURCE_TEXT);
    ASSERT_EQ(beginBuild(project), 1);
    ASSERT_EQ(compileModule(project, module), -1) << messages;
    ASSERT_EQ(finishBuild(project), 1) << messages;
    const std::string base = files.write("prog", "") ;
    ASSERT_EQ(writeOutputFile(project, base.c_str()), 1);
    machine = createMachine(base.c_str());
    ASSERT_NE(machine, nullptr);
  }

  StepInfo& stepOnce() {
    EXPECT_EQ(step(machine, &info), 1);
    return info;
  }
  // Steps until the condition holds; false after `limit` steps.
  bool stepUntil(const std::function<bool(const StepInfo&)>& done, int limit = 10000) {
    for (int i = 0; i < limit; ++i)
      if (done(stepOnce())) return true;
    return false;
  }
  int32_t index(const char* name) {
    VarInfo v{};
    getVarInfo(machine, name, &v);
    return v.index;
  }
  int32_t integer(const char* name) {
    int32_t v = 0;
    EXPECT_EQ(getIntegerValue(machine, index(name), &v), 1) << name;
    return v;
  }
  double real(const char* name) {
    double v = 0;
    EXPECT_EQ(getFloatValue(machine, index(name), &v), 1) << name;
    return v;
  }

  TempFiles files;
  Vx2ProjectHandle project = 0;
  Vx2SimHandle machine = nullptr;
  StepInfo info{};
  char messages[4096] = {};

 private:
  std::string source_;
};

TEST_F(SimEndToEnd, ArithmeticCallsAndHalt) {
  load(
      "int result;\n"                           // 1
      "byte b;\n"                               // 2
      "long big;\n"                             // 3
      "function square(int x) returns int {\n"  // 4
      "  return x * x;\n"                       // 5
      "}\n"                                     // 6
      "thread main {\n"                         // 7
      "  b = 250;\n"                            // 8
      "  b = b + 10;\n"                         // 9
      "  big = 70000;\n"                        // 10
      "  big = big * 3;\n"                      // 11
      "  result = square(12) - 1;\n"            // 12
      "  quit 3;\n"                             // 13
      "}\n");
  EXPECT_EQ(stepOnce().line, 8);
  EXPECT_EQ(info.module, 1);
  ASSERT_TRUE(stepUntil([](const StepInfo& r) { return r.line == 5; }));
  EXPECT_EQ(info.callDepth, 1);
  EXPECT_EQ(integer("m.square.x"), 12);
  ASSERT_TRUE(stepUntil([](const StepInfo& r) { return r.line == 13; }));
  EXPECT_EQ(info.callDepth, 0);
  int32_t v = 0;
  EXPECT_EQ(getIntegerValue(machine, index("m.square.x"), &v), 0);  // out of scope
  EXPECT_EQ(integer("m.b"), 4);
  EXPECT_EQ(integer("m.big"), 210000);
  EXPECT_EQ(integer("m.result"), 143);
  ASSERT_TRUE(stepUntil([](const StepInfo& r) { return r.runState != VX2SIM_RUNNING; }));
  EXPECT_EQ(info.runState, VX2SIM_HALTED);
  EXPECT_EQ(info.haltCode, 3);
}

TEST_F(SimEndToEnd, DivisionByZeroStopsAtItsLine) {
  load(
      "int zero;\n"
      "int r;\n"
      "thread main {\n"
      "  r = 7;\n"
      "  r = r / zero;\n"
      "  r = 1;\n"
      "}\n");
  ASSERT_TRUE(stepUntil([](const StepInfo& r) { return r.runState != VX2SIM_RUNNING; }));
  EXPECT_EQ(info.runState, VX2SIM_MATH_ERROR);
  EXPECT_EQ(info.line, 5);
  EXPECT_EQ(integer("m.r"), 7);
  // The error stays until a reset; a reset clears RAM and starts over.
  EXPECT_EQ(stepOnce().runState, VX2SIM_MATH_ERROR);
  EXPECT_EQ(info.line, 5);
  ASSERT_EQ(setValueAsText(machine, index("m.zero"), "'\\x07'"), 1);
  EXPECT_EQ(integer("m.zero"), 7);
  ASSERT_EQ(resetMachine(machine), 1);
  EXPECT_EQ(integer("m.zero"), 0);
  EXPECT_EQ(stepOnce().runState, VX2SIM_RUNNING);
  EXPECT_EQ(info.line, 4);
}

TEST_F(SimEndToEnd, TwoThreadsShareTheMachine) {
  load(
      "int counter;\n"
      "long total;\n"
      "float level;\n"
      "int shared;\n"
      "thread worker {\n"
      "  loop {\n"
      "    shared = shared + 1;\n"
      "    yield;\n"
      "  }\n"
      "}\n"
      "thread main {\n"
      "  int i;\n"
      "  run worker;\n"
      "  for i = 1 ... 10 {\n"
      "    counter = counter + 1;\n"
      "  }\n"
      "  total = counter * 100000;\n"
      "  level = 2.5 * counter;\n"
      "  loop { yield; }\n"
      "}\n");
  std::set<int> threads;
  int switches = 0;
  for (int i = 0; i < 600; ++i) {
    const StepInfo& r = stepOnce();
    ASSERT_EQ(r.runState, VX2SIM_RUNNING);
    threads.insert(r.thread);
    switches += (r.changes & VX2SIM_CHANGED_THREAD) != 0;
  }
  EXPECT_EQ(threads, (std::set<int>{1, 2}));
  EXPECT_GT(switches, 10);
  EXPECT_EQ(integer("m.counter"), 10);
  EXPECT_EQ(integer("m.total"), 1000000);
  EXPECT_EQ(real("m.level"), 25.0);
  EXPECT_GT(integer("m.shared"), 10);
}

TEST_F(SimEndToEnd, VariablesSetWhilePausedSteerTheProgram) {
  load(
      "int limit;\n"
      "int n;\n"
      "thread main {\n"
      "  loop {\n"
      "    if n < limit {\n"
      "      n = n + 1;\n"
      "    }\n"
      "    yield;\n"
      "  }\n"
      "}\n");
  stepUntil([](const StepInfo&) { return false; }, 200);
  EXPECT_EQ(integer("m.n"), 0);
  ASSERT_EQ(setValueAsText(machine, index("m.limit"), "2 * 3"), 1);
  stepUntil([](const StepInfo&) { return false; }, 200);
  EXPECT_EQ(integer("m.n"), 6);
  EXPECT_EQ(setValueAsText(machine, index("m.limit"), "2 *"), 0);
  EXPECT_EQ(integer("m.limit"), 6);
}

// Threads a and b each count `shared` inside a critical section that spans a yield.
std::string sharedCounter(bool withSemaphore) {
  std::string body =
      "  loop {\n"
      "    CAPTURE\n"
      "    inside = inside + 1;\n"
      "    if inside > 1 {\n"
      "      clash = clash + 1;\n"
      "    }\n"
      "    yield;\n"
      "    shared = shared + 1;\n"
      "    inside = inside - 1;\n"
      "    RELEASE\n"
      "    yield;\n"
      "  }\n";
  auto replace = [&body](const std::string& what, const std::string& with) {
    body.replace(body.find(what), what.size(), with);
  };
  replace("CAPTURE", withSemaphore ? "capture lock;" : ";");
  replace("RELEASE", withSemaphore ? "release;" : ";");
  return "byte lock;\nint shared;\nint inside;\nint clash;\n"
         "thread a {\n" + body + "}\n"
         "thread b {\n" + body + "}\n"
         "thread main {\n  run a;\n  run b;\n  loop { yield; }\n}\n";
}

TEST_F(SimEndToEnd, ThreadsSharingASemaphoreNeverOverlap) {
  load(sharedCounter(true));
  std::set<int32_t> holders;
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(stepOnce().runState, VX2SIM_RUNNING);
    holders.insert(integer("m.lock"));
  }
  EXPECT_EQ(integer("m.clash"), 0);
  EXPECT_GT(integer("m.shared"), 50);
  // The byte holds the number of the thread inside: a and b are threads 1 and 2.
  EXPECT_EQ(holders, (std::set<int32_t>{0, 1, 2}));
}

TEST_F(SimEndToEnd, WithoutTheSemaphoreTheThreadsOverlap) {
  load(sharedCounter(false));
  stepUntil([](const StepInfo&) { return false; }, 3000);
  EXPECT_GT(integer("m.clash"), 0);
}

}  // namespace
}  // namespace vx2sim::test
