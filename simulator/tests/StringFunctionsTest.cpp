// The string functions on 32-byte records: characters 0..29, NUL at 30, length at 31.
#include <clocale>
#include <cstdlib>

#include "CoreHarness.h"
#include "Text.h"

namespace vexa::vx2sim::test {
namespace {

constexpr uint16_t kDst = 0x300;

Instr str(uint8_t b) { return {Op::StringFunc, {.byte = b}}; }

std::string record(const Machine& m, uint16_t at) {
  const int n = m.ram[at + 31];
  return std::string(reinterpret_cast<const char*>(&m.ram[at]), std::min(n, 30));
}

struct Case {
  const char* name;
  std::initializer_list<Instr> program;
  std::string expected;
};

TEST(SimStringFunctions, AppendAndFormat) {
  const uint16_t minusOne = 0xFFFF;
  const Case cases[] = {
      {"char and int",
       {push(kDst), str(0), push(kDst), push('A'), str(3), push(kDst),
        push(static_cast<uint16_t>(-5)), str(6)},
       "A-5"},
      {"width 4", {push(kDst), str(0), push(kDst), push(42), push(4), str(9)}, "0042"},
      {"width -4 hex",
       {push(kDst), str(0), push(kDst), push(255), push(static_cast<uint16_t>(-4)), str(9)},
       "00FF"},
      {"hex of -1 is 32 bits",
       {push(kDst), str(0), push(kDst), push(minusOne), push(static_cast<uint16_t>(-4)), str(9)},
       "FFFFFFFF"},
      {"bits",
       {push(kDst), str(0), push(kDst), push(5), push('1'), push('0'), str(12)},
       "00000101"},
      {"long", {push(kDst), str(0), push(kDst), push(minusOne), {Op::IntToLong}, str(7)}, "-1"},
      {"long width -8",
       {push(kDst),
        str(0),
        push(kDst),
        push(0xABC),
        {Op::IntToLong},
        push(static_cast<uint16_t>(-8)),
        str(10)},
       "00000ABC"},
      {"float",
       {push(kDst),
        str(0),
        push(kDst),
        push(13),
        {Op::IntToFloat},
        push(4),
        {Op::IntToFloat},
        {Op::Div, {.byte = 8}},
        str(8)},
       "3.25"},
      {"float precision",
       {push(kDst), str(0), push(kDst), push(2), {Op::IntToFloat}, push(3), str(11)},
       "2.00"},
      {"wide formats are cut at the capacity",
       {push(kDst), str(0), push(kDst), push(7), push(40), str(9)},
       std::string(30, '0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = run(c.program);
    EXPECT_EQ(record(*m, kDst), c.expected);
    EXPECT_EQ(m->sp(), kStackBase);
    EXPECT_EQ(m->ram[kDst + 30], 0);
  }
}

TEST(SimStringFunctions, LengthFillConstantAndSelfAppend) {
  {
    auto m = run({push(kDst), str(0), push(kDst), push('a'), str(3), push(kDst), push(5), push('x'),
                  str(2), push(kDst), str(1)});
    EXPECT_EQ(m->ram[kDst + 31], 1);  // fill leaves the length
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&m->ram[kDst]), 5), "axxxx");
    EXPECT_EQ(m->top<uint16_t>(), 1);
  }
  {
    // Count below 0 fills to 30.
    auto m =
        run({push(kDst), str(0), push(kDst), push(static_cast<uint16_t>(-1)), push('y'), str(2)});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&m->ram[kDst]), 30), std::string(30, 'y'));
  }
  {
    auto m = run({push(kDst), str(0), push(kDst), push('a'), str(3), push(kDst), push('b'), str(3),
                  push(kDst), push(kDst), str(4)});
    EXPECT_EQ(record(*m, kDst), std::string("abababababababababababababababab").substr(0, 30));
    EXPECT_EQ(m->ram[kDst + 31], 30);
  }
  {
    // Constant string "Hi!": a length byte, then the characters.
    ProgramBuilder p = singleThread();
    const uint16_t at = p.constant(uint32_t{3u | ('H' << 8) | ('i' << 16) | (uint32_t{'!'} << 24)});
    p.emit(Op::PushInt, {.operand = kDst});
    p.emit(Op::StringFunc, {.byte = 0});
    p.emit(Op::PushInt, {.operand = kDst});
    p.emit(Op::PushInt, {.operand = at});
    p.emit(Op::StringFunc, {.byte = 5});
    auto m = runAll(p, 5);
    EXPECT_EQ(record(*m, kDst), "Hi!");
  }
  {
    // Appending stops at 30 characters and writes no NUL.
    auto m = run({push(kDst), push(static_cast<uint16_t>(-1)), push('z'), str(2), push(kDst),
                  push('a'), str(3)},
                 [](Machine& mm) { mm.ram[kDst + 31] = 29; });
    EXPECT_EQ(m->ram[kDst + 31], 30);
    EXPECT_EQ(m->ram[kDst + 29], 'a');
  }
  {
    auto m = run({push(kDst), push('b'), str(3)}, [](Machine& mm) { mm.ram[kDst + 31] = 30; });
    EXPECT_EQ(m->ram[kDst + 31], 30);
    EXPECT_EQ(m->ram[kDst + 30], 0);
  }
}

TEST(SimTextHelpers, NumbersAreFormattedInTheCLocale) {
  // Build a German locale on the fly when the system can; it has a decimal comma.
  const std::string dir = ::testing::TempDir() + "vx2sim-locale-" + std::to_string(::getpid());
  const std::string command =
      "localedef -i de_DE -f ISO-8859-1 " + dir + "/de_DE.ISO-8859-1 >/dev/null 2>&1";
  std::filesystem::create_directories(dir);
  const bool built = std::system(command.c_str()) == 0;
  const char* previous = std::getenv("LOCPATH");
  const std::string saved = previous ? previous : "";
  if (built) setenv("LOCPATH", dir.c_str(), 1);
  const bool german = std::setlocale(LC_ALL, "de_DE.ISO-8859-1") != nullptr;
  if (german) {
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 1.5);
    EXPECT_EQ(std::string(probe), "1,50");  // the locale is really active
    EXPECT_EQ(formatC("%.8g", 3.25), "3.25");
    EXPECT_EQ(formatC("%#.*g", 3, 2.0), "2.00");
  }
  std::setlocale(LC_ALL, "C");
  if (previous)
    setenv("LOCPATH", saved.c_str(), 1);
  else
    unsetenv("LOCPATH");
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  if (!german) GTEST_SKIP() << "no German locale can be built here";
}

TEST(SimTextHelpers, ReadsAtMostThirtyCharacters) {
  Machine m(testClock());
  for (int i = 0; i < 40; ++i) m.ram[0xFFF0 + i % 16] = 'q';
  EXPECT_EQ(readCString(m, 0xFFF0).size(), 16u);  // wraps to RAM 0, which is 0
  for (int i = 0; i < 40; ++i) m.ram[0x100 + i] = 'w';
  EXPECT_EQ(readCString(m, 0x100), std::string(30, 'w'));
  EXPECT_EQ(formatC("%0*d", 200, 1).size(), 63u);
}

}  // namespace
}  // namespace vexa::vx2sim::test
