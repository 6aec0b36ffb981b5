// Ports, analog inputs, counters, pulse-length outputs, LCD, serial output and device stubs.
#include <cstdio>

#include "CoreHarness.h"

namespace vexa::vx2sim::test {
namespace {

struct PortCase {
  const char* name;
  std::initializer_list<Instr> program;
  uint16_t levels, direction;
  bool bad;
  uint16_t status;
  int top;  // value on top afterwards, -1000 when not checked
};

TEST(SimPorts, ReadWriteAndRangeChecks) {
  const PortCase cases[] = {
      {"bit set then word get",
       {push(3), push(1), {Op::PortBitSet}, push(0), {Op::PortWordGet}},
       8,
       8,
       false,
       0,
       8},
      {"bit set writes status",
       {push(3), push(1), {Op::PortBitSet}},
       8,
       8,
       false,
       status::kPort,
       -1000},
      {"nibble set keeps 4 bits",
       {push(1), push(0x1F), {Op::PortNibbleSet}},
       0xF0,
       0xF0,
       false,
       2,
       -1000},
      {"nibble get",
       {push(1), push(0x1F), {Op::PortNibbleSet}, push(1), {Op::PortNibbleGet}},
       0xF0,
       0xF0,
       false,
       0,
       15},
      {"bit get of a set line",
       {push(4), push(7), {Op::PortBitSet}, push(4), {Op::PortBitGet}},
       0x10,
       0x10,
       false,
       0,
       -1},
      {"byte set, byte deact keeps levels",
       {push(1), push(0xAB), {Op::PortByteSet}, push(1), {Op::PortByteDeact}},
       0xAB00,
       0,
       false,
       2,
       -1000},
      {"word set", {push(0), push(0x1234), {Op::PortWordSet}}, 0x1234, 0xFFFF, false, 2, -1000},
      {"toggle of an input changes nothing", {push(2), {Op::PortBitToggle}}, 0, 0, false, 2, -1000},
      {"toggle of an output",
       {push(2), push(1), {Op::PortBitSet}, push(2), {Op::PortBitToggle}},
       0,
       4,
       false,
       2,
       -1000},
      {"byte get 2", {push(2), {Op::PortByteGet}}, 0, 0, true, 0, -1000},
      {"bit set -1", {push(0xFFFF), push(1), {Op::PortBitSet}}, 0, 0, true, 0, -1000},
      {"word deact 1", {push(1), {Op::PortWordDeact}}, 0, 0, true, 0, -1000},
      {"pulse 16", {push(16), {Op::PortBitPulse}}, 0, 0, true, 0, -1000},
      {"pulse 15", {push(15), {Op::PortBitPulse}}, 0, 0, false, 0, -1000},
  };
  for (const PortCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = run(c.program);
    EXPECT_EQ(m->portLevels, c.levels);
    EXPECT_EQ(m->portDirection, c.direction);
    EXPECT_EQ(m->badArgument, c.bad);
    EXPECT_EQ(m->runState(), c.bad ? kBadArgument : kRunning);
    if (!c.bad) {
      EXPECT_EQ(m->status, c.status);
    }
    if (c.top != -1000) {
      EXPECT_EQ(static_cast<int16_t>(m->top<uint16_t>()), c.top);
    }
  }
}

TEST(SimPorts, BadArgumentUndoesTheInstruction) {
  auto m = run({push(7), push(2), {Op::PortByteGet}});
  EXPECT_EQ(m->pc(), 4);
  EXPECT_EQ(m->sp(), kStackBase + 4);
  EXPECT_EQ(m->top<uint16_t>(), 2);
}

TEST(SimPorts, AnalogInputsAndCounters) {
  auto prepare = [](Machine& m) { m.adc[3] = 1234; };
  auto adc = run({push(3), {Op::AdcGet}}, prepare);
  EXPECT_EQ(adc->top<uint16_t>(), 1234);
  EXPECT_TRUE(run({push(8), {Op::AdcGet}})->badArgument);
  auto counter = run({push(3), {Op::CounterGet}, push(1), {Op::FrequencyGet}});
  EXPECT_FALSE(counter->badArgument);
  EXPECT_LT(counter->top<uint32_t>(), 10000u);
  EXPECT_EQ(counter->sp(), kStackBase + 8);
  EXPECT_TRUE(run({push(4), {Op::CounterGet}})->badArgument);
  EXPECT_TRUE(run({push(2), {Op::FrequencyGet}})->badArgument);
}

TEST(SimPulseLength, SettingsTonesAndChannels) {
  using vexa::isa::Op;
  auto plm = [](uint8_t b) { return Instr{Op::PlmFunc, {.byte = b}}; };
  {
    auto m = run({push(12), plm(5)});
    EXPECT_EQ(m->plm.pulse[0], 5682);
    EXPECT_EQ(m->plm.pulse[2], 2841);
    EXPECT_EQ(m->status, status::kPlm);
  }
  {
    auto m = run({push(52), plm(5), push(0xFFFF), plm(5)});
    EXPECT_EQ(m->plm.pulse[0], 5682);
    EXPECT_EQ(m->plm.pulse[2], 0);  // a negative note silences channel 2 only
  }
  {
    auto m = run({push(2), push(1000), plm(3), push(1), push(500), plm(3), push(1), push(77),
                  plm(4), push(0), push(5), plm(1)});
    EXPECT_EQ(m->plm.period2, 1000);
    EXPECT_EQ(m->plm.period01, 500);
    EXPECT_EQ(m->plm.pulse[1], 77);
    EXPECT_EQ(m->plm.timeBase01, 0);
    EXPECT_EQ(m->sp(), kStackBase);
  }
  for (uint16_t channel : {uint16_t{3}, uint16_t{0xFFFF}}) {
    auto m = run({push(channel), push(9), plm(4)});
    EXPECT_TRUE(m->badArgument) << channel;
  }
  auto two = run({push(1), push(2), plm(2), plm(0)});
  EXPECT_EQ(two->sp(), kStackBase);
}

std::string lcdRow(const Machine& m, int row) {
  return std::string(m.lcd.cells[row].begin(), m.lcd.cells[row].end());
}

// Writes "ABCD" as a string record at 0x300.
void abcdAt300(Machine& m) {
  const char text[] = "ABCD";
  std::memcpy(&m.ram[0x300], text, 5);
  m.ram[0x300 + 31] = 4;
}

TEST(SimLcd, CursorWindowAndText) {
  auto lcd = [](uint8_t b) { return Instr{Op::LcdFunc, {.byte = b}}; };
  {
    auto m = run({lcd(2), push(0), push(14), lcd(4), push(0x300), push(0), lcd(9)}, abcdAt300);
    EXPECT_EQ(lcdRow(*m, 0), std::string(14, '\0') + "AB" + std::string(1, '\0'));
    EXPECT_EQ(m->lcd.column, 16);
    EXPECT_EQ(m->status, status::kLcd);
  }
  {
    // Row 5 is taken as 1, column 40 as 16; a character at column 16 goes to the end cell.
    auto m = run({lcd(2), push(5), push(40), lcd(4), push('Z'), lcd(8), push('Y'), lcd(8)});
    EXPECT_EQ(m->lcd.row, 1);
    EXPECT_EQ(m->lcd.column, 16);
    EXPECT_EQ(m->lcd.cells[1][16], 'Y');
  }
  {
    auto m = run({lcd(2), push(0x300), push(0), lcd(9), push(0), push(2), lcd(4), lcd(3),
                  push(0x1FF), lcd(6), lcd(7)},
                 abcdAt300);
    EXPECT_EQ(lcdRow(*m, 0), "AB" + std::string(15, '\0'));
    EXPECT_EQ(m->lcd.window, 16);  // low byte 0xFF, at most 16
    EXPECT_EQ(m->top<uint16_t>(), 1);
  }
  {
    auto m = run({push(3), push(3), lcd(4), push(1), lcd(6), lcd(5), push(0), lcd(1)});
    EXPECT_EQ(m->lcd.column, 0);
    EXPECT_EQ(m->lcd.row, 0);
    EXPECT_EQ(m->lcd.window, 0);
    EXPECT_EQ(m->sp(), kStackBase);
  }
}

TEST(SimSerial, WritesCharactersAndBoundedStrings) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  static std::FILE* target;
  target = out;
  auto serial = [](uint8_t b) { return Instr{Op::SerialFunc, {.byte = b}}; };
  auto m = run({push('H'), serial(5), push(0x300), push(0), serial(6), serial(4), serial(7),
                serial(8), push(1), serial(1), push(1), push(2), serial(2), serial(0), serial(3)},
               [](Machine& m) {
                 m.output = target;
                 // 40 non-NUL bytes: only 30 are written.
                 for (int i = 0; i < 40; ++i) m.ram[0x300 + i] = static_cast<uint8_t>('a' + i % 26);
               });
  std::fflush(out);
  std::rewind(out);
  char buffer[64] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer, out);
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, n), "Habcdefghijklmnopqrstuvwxyzabcd");
  EXPECT_EQ(m->sp(), kStackBase + 6);  // -1, 0 and a byte value
  EXPECT_EQ(m->load<uint16_t>(kStackBase), 0xFFFF);
}

TEST(SimDeviceStubs, KeepTheStackBalanced) {
  struct Case {
    Op module;
    uint8_t b;
    int pushes;  // int16 values pushed before
    int left;    // int16 values left afterwards
  };
  const Case cases[] = {
      {Op::Device37Func, 0, 0, 0}, {Op::Device37Func, 5, 1, 0}, {Op::Device37Func, 6, 2, 0},
      {Op::Device37Func, 4, 0, 1}, {Op::Device37Func, 8, 0, 1}, {Op::Device38Func, 2, 0, 1},
      {Op::Device38Func, 4, 2, 0}, {Op::Device39Func, 0, 3, 0}, {Op::Device39Func, 2, 1, 1},
      {Op::Device39Func, 3, 4, 0}, {Op::Device39Func, 8, 1, 1}, {Op::Device39Func, 9, 2, 1},
      {Op::Device40Func, 1, 1, 1}, {Op::Device40Func, 5, 0, 1}, {Op::Device41Func, 1, 1, 0},
      {Op::Device41Func, 2, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(vexa::isa::name(c.module)) + " " + std::to_string(c.b));
    ProgramBuilder p = singleThread();
    for (int i = 0; i < c.pushes; ++i) p.emit(Op::PushInt, {.operand = 20});  // handle 20
    p.emit(c.module, {.byte = c.b});
    auto m = runAll(p, c.pushes + 1);
    EXPECT_EQ(m->sp(), kStackBase + 2 * c.left);
    EXPECT_EQ(m->haltCode, 0);
  }
}

TestClock fixedClock = [] {
  TestClock c;
  c.now = 123456;
  c.time = {2031, 7, 14, 1, 9, 30, 15, true};
  return c;
}();

TEST(SimDateAndClock, FieldsAndSources) {
  auto date = [](uint8_t b) { return Instr{Op::DateTimeGet, {.byte = b}}; };
  auto m = run({date(0), date(1), date(2), date(3), date(6), date(7), date(8)},
               [](Machine& m) { m.clock = &fixedClock; });
  EXPECT_EQ(m->load<uint16_t>(kStackBase), 2031);
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 2), 7);        // month
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 4), 14);       // day
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 6), 9);        // hour
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 8), 1);        // weekday
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 10), 0xFFFF);  // daylight saving
  EXPECT_EQ(m->load<uint16_t>(kStackBase + 12), 0);
  EXPECT_EQ(m->sp(), kStackBase + 14);

  auto clock = [](uint8_t b) { return Instr{Op::ClockGet, {.byte = b}}; };
  auto c = run({clock(0), clock(6), clock(7), push(1), {Op::TimerSet16}},
               [](Machine& m) { m.clock = &fixedClock; });
  EXPECT_EQ(c->load<int32_t>(kStackBase), 123456);
  EXPECT_LT(c->load<uint32_t>(kStackBase + 4), 10000u);
  EXPECT_EQ(c->load<int32_t>(kStackBase + 8), 0);
  EXPECT_EQ(c->sp(), kStackBase + 12);
}

}  // namespace
}  // namespace vexa::vx2sim::test
