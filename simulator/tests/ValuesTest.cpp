// Variables, ports, analog inputs, pulse-length settings and the LCD through the exports.
#include <cstring>

#include "ExportHarness.h"

namespace vexa::vx2sim::test {
namespace {

constexpr uint16_t kByteAt = 0x40, kIntAt = 0x42, kLongAt = 0x44, kFloatAt = 0x48, kStringAt = 0x50;

// main calls F(&m.s); F reserves an int and a string record and waits.
struct CallProgram {
  ProgramBuilder p{1};
  CallProgram() {
    // PushInt &m.s (2 words), Call F (2), Jump self (2): F starts at word 6.
    constexpr uint16_t f = 6;
    p.thread(1, {0, 0x200, 0x200, 32});
    p.statement(1, 1);
    p.emit(Op::PushInt, {.operand = kStringAt});
    p.emit(Op::Call, {.operand = f});
    p.statement(1, 2);
    p.jump(Op::Jump, p.here());
    p.statement(1, 10);
    p.emit(Op::AdjustSp, {.operand = 34});
    p.statement(1, 11);
    const uint16_t last = p.jump(Op::Jump, p.here()) + 1;
    p.variable("m.b", 1, kByteAt, 0);
    p.variable("m.i", 1, kIntAt, 1);
    p.variable("m.l", 1, kLongAt, 2);
    p.variable("m.f", 1, kFloatAt, 3);
    p.variable("m.s", 1, kStringAt, -1);
    p.variable("m.F.x", 2, 0, 1, f, last);
    p.variable("m.F.t", 2, 2, -1, f, last);
    p.variable("m.F.p", 2, -6, -1, f, last);
    p.variable("m.odd", 3, 0x60, 1);
  }
};

TEST(SimVariables, IntegerAndFloatAccessByType) {
  TempFiles files;
  Sim sim(files, CallProgram().p);
  const Vx2SimHandle h = sim.handle();
  struct Case {
    const char* name;
    int32_t set;
    bool ok;
    int32_t got;
  };
  const Case cases[] = {
      {"m.b", 300, true, 44}, {"m.b", -1, true, 255},        {"m.i", 70000, true, 4464},
      {"m.i", -2, true, -2},  {"m.l", -70000, true, -70000}, {"m.f", 5, false, 0},
      {"m.s", 5, false, 0},   {"m.odd", 5, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.set));
    const int32_t index = sim.index(c.name);
    ASSERT_NE(index, 0);
    EXPECT_EQ(setIntegerValue(h, index, c.set), c.ok ? 1 : 0);
    int32_t value = 12345;
    EXPECT_EQ(getIntegerValue(h, index, &value), c.ok ? 1 : 0);
    if (c.ok) {
      EXPECT_EQ(value, c.got);
    }
  }
  double d = 0;
  EXPECT_EQ(setFloatValue(h, sim.index("m.f"), 2.75), 1);
  EXPECT_EQ(getFloatValue(h, sim.index("m.f"), &d), 1);
  EXPECT_EQ(d, 2.75);
  int32_t v = 0;
  for (int32_t bad : {0, -1, 10, 1000}) {
    EXPECT_EQ(getIntegerValue(h, bad, &v), 0) << bad;
    EXPECT_EQ(setFloatValue(h, bad, 1.0), 0) << bad;
  }
  EXPECT_EQ(getIntegerValue(h, 1, nullptr), 0);
  VarInfo info{7, 7};
  EXPECT_EQ(getVarInfo(h, "m.nothing", &info), 0);
  EXPECT_EQ(info.index, 0);
  EXPECT_EQ(info.type, 0);
  EXPECT_EQ(getVarInfo(h, "m.s", &info), 1);
  EXPECT_EQ(info.index, 5);
  EXPECT_EQ(info.type, VX2SIM_TYPE_STRING);
}

TEST(SimVariables, LocalsExistOnlyWhileTheirProcedureRuns) {
  TempFiles files;
  Sim sim(files, CallProgram().p);
  const Vx2SimHandle h = sim.handle();
  int32_t v = 0;
  char text[VX2SIM_STRING_TEXT_SIZE];
  EXPECT_EQ(getIntegerValue(h, sim.index("m.F.x"), &v), 0);
  EXPECT_EQ(setValueAsText(h, sim.index("m.F.x"), "5"), 0);
  ASSERT_EQ(setStringText(h, sim.index("m.s"), "global"), 1);
  sim.steps(4);  // push, call, AdjustSp: now inside F
  EXPECT_EQ(sim.info().callDepth, 1);
  EXPECT_EQ(setValueAsText(h, sim.index("m.F.x"), "0x10 + 1"), 1);
  EXPECT_EQ(getIntegerValue(h, sim.index("m.F.x"), &v), 1);
  EXPECT_EQ(v, 17);
  // The string parameter holds the address of the caller's record.
  ASSERT_EQ(getStringText(h, sim.index("m.F.p"), text), 1);
  EXPECT_STREQ(text, "global");
  ASSERT_EQ(setStringText(h, sim.index("m.F.t"), "local"), 1);
  ASSERT_EQ(getStringText(h, sim.index("m.F.t"), text), 1);
  EXPECT_STREQ(text, "local");
  ASSERT_EQ(getStringText(h, sim.index("m.s"), text), 1);
  EXPECT_STREQ(text, "global");
}

TEST(SimVariables, StringTextIsCutAtThirtyCharacters) {
  TempFiles files;
  Sim sim(files, CallProgram().p);
  const Vx2SimHandle h = sim.handle();
  const int32_t s = sim.index("m.s");
  char text[VX2SIM_STRING_TEXT_SIZE + 1];
  std::memset(text, '#', sizeof text);
  ASSERT_EQ(setStringText(h, s, "0123456789abcdefghijABCDEFGHIJ-too-long"), 1);
  ASSERT_EQ(getStringText(h, s, text), 1);
  EXPECT_STREQ(text, "0123456789abcdefghijABCDEFGHIJ");
  EXPECT_EQ(text[VX2SIM_STRING_TEXT_SIZE], '#');  // nothing beyond the documented size
  ASSERT_EQ(setStringText(h, s, "ab"), 1);
  ASSERT_EQ(getStringText(h, s, text), 1);
  EXPECT_STREQ(text, "ab");
  EXPECT_EQ(setStringText(h, s, nullptr), 0);
  EXPECT_EQ(getStringText(h, s, nullptr), 0);
}

TEST(SimVariables, SetValueAsTextEvaluatesAndStores) {
  TempFiles files;
  Sim sim(files, CallProgram().p);
  const Vx2SimHandle h = sim.handle();
  struct Case {
    const char* name;
    const char* text;
    int32_t result;
    double stored;  // read back as integer or float
  };
  const Case cases[] = {
      {"m.i", "0x10 + 1", 1, 17}, {"m.i", "7/2", 1, 3},         {"m.i", "7.0/2", 1, 3},
      {"m.i", "1/2.0", 1, 0},     {"m.i", "-3 % 2", 1, -1},     {"m.i", "1 << 4 | 1", 1, 17},
      {"m.b", "300", 1, 44},      {"m.l", "0xFFFFFFFF", 1, -1}, {"m.l", "0b101 * 3", 1, 15},
      {"m.f", "1.5", 1, 1.5},     {"m.f", "'A'", 1, 65.0},      {"m.f", "3 > 2", 1, -1.0},
      {"m.f", "7.5 % 2", 1, 1.0}, {"m.f", "-(1.25)", 1, -1.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " := " + c.text);
    const int32_t index = sim.index(c.name);
    EXPECT_EQ(setValueAsText(h, index, c.text), c.result);
    if (std::string(c.name) == "m.f") {
      double d = 0;
      getFloatValue(h, index, &d);
      EXPECT_EQ(d, c.stored);
    } else {
      int32_t v = 0;
      getIntegerValue(h, index, &v);
      EXPECT_EQ(v, static_cast<int32_t>(c.stored));
    }
  }
  // Texts that do not parse store nothing and report failure.
  ASSERT_EQ(setIntegerValue(h, sim.index("m.i"), 99), 1);
  for (const char* bad : std::initializer_list<const char*>{
           "1/0", "5 % 0", "", "   ", "abc", "=", "1 +", "(1", "'a", "'\\q'", "1\t2", nullptr}) {
    SCOPED_TRACE(bad ? bad : "null");
    EXPECT_EQ(setValueAsText(h, sim.index("m.i"), bad), 0);
    int32_t v = 0;
    getIntegerValue(h, sim.index("m.i"), &v);
    EXPECT_EQ(v, 99);
  }
  char text[VX2SIM_STRING_TEXT_SIZE];
  EXPECT_EQ(setValueAsText(h, sim.index("m.s"), "1/0 is text"), 1);
  getStringText(h, sim.index("m.s"), text);
  EXPECT_STREQ(text, "1/0 is text");
  EXPECT_EQ(setValueAsText(h, sim.index("m.odd"), "1"), 0);
  EXPECT_EQ(setValueAsText(h, 0, "1"), 0);
}

// Reads ADC 3 into m.i, plays note 12, writes m.s on the LCD.
ProgramBuilder peripheralProgram() {
  ProgramBuilder p(1);
  p.thread(1, {0, 0x200, 0x200, 32});
  p.statement(1, 1);
  p.emit(Op::PushInt, {.operand = 3});
  p.emit(Op::AdcGet);
  p.emit(Op::StoreInt, {.operand = kIntAt});
  p.statement(1, 2);
  p.emit(Op::PushInt, {.operand = 12});
  p.emit(Op::PlmFunc, {.byte = 5});
  p.statement(1, 3);
  p.emit(Op::LcdFunc, {.byte = 2});
  p.emit(Op::PushInt, {.operand = kStringAt});
  p.emit(Op::PushInt, {.operand = 0});
  p.emit(Op::LcdFunc, {.byte = 9});
  p.statement(1, 4);
  p.emit(Op::PushInt, {.operand = 5});
  p.emit(Op::PushInt, {.operand = 1});
  p.emit(Op::PortBitSet);
  p.statement(1, 5);
  p.jump(Op::Jump, p.here());
  p.variable("m.i", 1, kIntAt, 1);
  p.variable("m.s", 1, kStringAt, -1);
  return p;
}

TEST(SimPeripherals, AnalogPulseLengthLcdAndPortsThroughTheExports) {
  TempFiles files;
  Sim sim(files, peripheralProgram());
  const Vx2SimHandle h = sim.handle();
  EXPECT_EQ(setADCValue(h, 3, 70000), 1);
  EXPECT_EQ(setADCValue(h, 8, 1), 0);
  EXPECT_EQ(setADCValue(h, -1, 1), 0);
  ASSERT_EQ(setStringText(h, sim.index("m.s"), "HELLO"), 1);
  sim.steps(1 + 3);
  EXPECT_EQ(sim.integer("m.i"), 4464);
  sim.steps(2);
  EXPECT_EQ((sim.info().changes >> 16) & VX2SIM_STATUS_PLM, VX2SIM_STATUS_PLM);
  PlmSettings plm{};
  ASSERT_EQ(getPLMSettings(h, &plm), 1);
  EXPECT_EQ(plm.channel[0].pulse, 5682);
  EXPECT_EQ(plm.channel[2].pulse, 2841);
  EXPECT_EQ(plm.channel[1].pulse, 0);
  sim.steps(4);
  char lcd[VX2SIM_LCD_TEXT_SIZE + 1];
  std::memset(lcd, '#', sizeof lcd);
  ASSERT_EQ(getLCDContent(h, lcd), 1);
  const char expected[VX2SIM_LCD_TEXT_SIZE] = {'H', 'E', 'L', 'L', 'O', 0, 0, 0,    '\n', 0,
                                               0,   0,   0,   0,   0,   0, 0, '\n', 0};
  EXPECT_EQ(std::memcmp(lcd, expected, sizeof expected), 0);
  EXPECT_EQ(lcd[VX2SIM_LCD_TEXT_SIZE], '#');
  sim.steps(3);
  PortState ports = 0;
  ASSERT_EQ(getPortState(h, &ports), 1);
  EXPECT_EQ(ports, 0x00200020u);
  ASSERT_EQ(setPortState(h, 0xF00F1234u), 1);
  getPortState(h, &ports);
  EXPECT_EQ(ports, 0xF00F1234u);
  ASSERT_EQ(makeInitialPortState(h), 1);
  getPortState(h, &ports);
  EXPECT_EQ(ports, 0u);
  EXPECT_EQ(getPortState(h, nullptr), 0);
  EXPECT_EQ(getPLMSettings(h, nullptr), 0);
  EXPECT_EQ(getLCDContent(h, nullptr), 0);
}

}  // namespace
}  // namespace vexa::vx2sim::test
