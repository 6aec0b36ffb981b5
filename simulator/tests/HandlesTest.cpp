// Handles that are not live: destroyed ones, also after a new machine took their place, and
// made-up ones. Every export that takes a machine refuses them and touches nothing.
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "ExportHarness.h"

namespace vexa::vx2sim::test {
namespace {

// One thread that loops on its only statement; an int, a float and a string global.
std::string program() {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x100, 0x100, 1});
  p.statement(1, 3);
  p.jump(Op::Jump, 0);
  p.variable("m.x", 1, 0x40, 1);
  p.variable("m.f", 1, 0x48, 3);
  p.variable("m.s", 1, 0x60, 65535);
  return p.dbg();
}

struct Call {
  const char* name;
  std::function<int32_t(Vx2SimHandle)> run;
};

TEST(SimHandles, EveryExportRefusesADestroyedOrMadeUpHandle) {
  TempFiles files;
  const std::string base = files.write("p", program());
  const Vx2SimHandle destroyed = createMachine(base.c_str());
  ASSERT_NE(destroyed, nullptr);
  ASSERT_EQ(destroyMachine(destroyed), 1);
  const Vx2SimHandle live = createMachine(base.c_str());  // takes the destroyed machine's place
  ASSERT_NE(live, nullptr);
  EXPECT_NE(live, destroyed);

  const int32_t x = variableIndex(live, "m.x"), f = variableIndex(live, "m.f"),
                s = variableIndex(live, "m.s");
  ASSERT_TRUE(x > 0 && f > 0 && s > 0);
  ASSERT_EQ(setIntegerValue(live, x, 7), 1);
  ASSERT_EQ(setStringText(live, s, "kept"), 1);
  ASSERT_EQ(setPortState(live, 0x00F0000Au), 1);
  StepInfo info{};
  ASSERT_EQ(step(live, &info), 1);
  const StepInfo before = info;

  VarInfo var{};
  int32_t integer = -1;
  double real = -1;
  char text[VX2SIM_STRING_TEXT_SIZE] = "untouched";
  PortState port = 0xDEAD;
  PlmSettings plm{};
  plm.channel[0].period = 77;
  char lcd[VX2SIM_LCD_TEXT_SIZE] = "untouched";

  const std::vector<Call> calls = {
      {"resetMachine", [](Vx2SimHandle h) { return resetMachine(h); }},
      {"step", [&](Vx2SimHandle h) { return step(h, &info); }},
      {"getVarInfo", [&](Vx2SimHandle h) { return getVarInfo(h, "m.x", &var); }},
      {"getIntegerValue", [&](Vx2SimHandle h) { return getIntegerValue(h, x, &integer); }},
      {"getFloatValue", [&](Vx2SimHandle h) { return getFloatValue(h, f, &real); }},
      {"getStringText", [&](Vx2SimHandle h) { return getStringText(h, s, text); }},
      {"setIntegerValue", [&](Vx2SimHandle h) { return setIntegerValue(h, x, 99); }},
      {"setFloatValue", [&](Vx2SimHandle h) { return setFloatValue(h, f, 2.5); }},
      {"setStringText", [&](Vx2SimHandle h) { return setStringText(h, s, "lost"); }},
      {"setValueAsText", [&](Vx2SimHandle h) { return setValueAsText(h, x, "42"); }},
      {"getPortState", [&](Vx2SimHandle h) { return getPortState(h, &port); }},
      {"setPortState", [](Vx2SimHandle h) { return setPortState(h, 0); }},
      {"makeInitialPortState", [](Vx2SimHandle h) { return makeInitialPortState(h); }},
      {"setADCValue", [](Vx2SimHandle h) { return setADCValue(h, 3, 100); }},
      {"getPLMSettings", [&](Vx2SimHandle h) { return getPLMSettings(h, &plm); }},
      {"getLCDContent", [&](Vx2SimHandle h) { return getLCDContent(h, lcd); }},
  };

  const Vx2SimHandle notLive[] = {
      destroyed,
      nullptr,
      reinterpret_cast<Vx2SimHandle>(uintptr_t{0x12345}),
      reinterpret_cast<Vx2SimHandle>(~uintptr_t{0}),
  };
  for (Vx2SimHandle bad : notLive) {
    for (const Call& c : calls) EXPECT_EQ(c.run(bad), 0) << c.name << " with " << bad;
    EXPECT_EQ(destroyMachine(bad), 1);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
    EXPECT_EQ(var.index, 0);
    EXPECT_EQ(integer, -1);
    EXPECT_EQ(real, -1);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(port, 0xDEADu);
    EXPECT_EQ(plm.channel[0].period, 77);
    EXPECT_STREQ(lcd, "untouched");
  }

  // The live machine kept its values and still runs.
  EXPECT_EQ(integerValue(live, "m.x"), 7);
  ASSERT_EQ(getStringText(live, s, text), 1);
  EXPECT_STREQ(text, "kept");
  ASSERT_EQ(getPortState(live, &port), 1);
  EXPECT_EQ(port, 0x00F0000Au);

  // The same calls succeed on the live handle, and fail again once it is destroyed.
  for (const Call& c : calls) EXPECT_EQ(c.run(live), 1) << c.name;
  EXPECT_EQ(destroyMachine(live), 1);
  for (const Call& c : calls) EXPECT_EQ(c.run(live), 0) << c.name << " after destroy";
}

TEST(SimHandles, RecreatedMachinesGetNewHandles) {
  TempFiles files;
  const std::string base = files.write("p", program());
  std::vector<Vx2SimHandle> seen;
  for (int i = 0; i < 20; ++i) {
    const Vx2SimHandle h = createMachine(base.c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), h), 0)
        << "handle repeated after " << i << " recreations";
    seen.push_back(h);
    ASSERT_EQ(destroyMachine(h), 1);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
