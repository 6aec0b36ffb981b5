// Widths and precisions of the number-formatting string functions: any value keeps exactly the
// characters the unbounded formatter would give, and a huge one costs no more than a small one.
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "CoreHarness.h"
#include "Text.h"

namespace vexa::vx2sim::test {
namespace {

constexpr uint16_t kDst = 0x300;

std::string record(const Machine& m) {
  return std::string(reinterpret_cast<const char*>(&m.ram[kDst]),
                     std::min<int>(m.ram[kDst + 31], 30));
}

// The first 30 characters of the formatter's full text.
template <typename... Args>
std::string unbounded(const char* format, std::size_t size, Args... args) {
  std::vector<char> buffer(size + 64);
  const int n = std::snprintf(buffer.data(), buffer.size(), format, args...);
  return std::string(buffer.data(), std::min(n, 30));
}

const int kWidths[] = {-32768, -32767, -1000, -45, -42, -41, -40, -39, -31, -30, -29,  -1,
                       0,      1,      29,    30,  31,  39,  40,  41,  42,  45,  1000, 32767};

TEST(SimNumberFormat, WidthsKeepTheCharactersOfTheUnboundedText) {
  const int32_t values[] = {
      0, 7, -7, 42, -32768, 32767, std::numeric_limits<int32_t>::min(), 0x7FFFFFFF, -123456};
  for (int32_t v : values) {
    for (int w : kWidths) {
      SCOPED_TRACE("value " + std::to_string(v) + " width " + std::to_string(w));
      const auto width = static_cast<uint16_t>(w);
      const auto v16 = static_cast<int16_t>(v);
      const std::string int16 =
          w < 0 ? unbounded("%0*X", -w, -w, static_cast<unsigned>(static_cast<int32_t>(v16)))
                : unbounded("%0*hi", w, w, v16);
      auto m = run(
          {push(kDst), push(static_cast<uint16_t>(v)), push(width), {Op::StringFunc, {.byte = 9}}});
      EXPECT_EQ(record(*m), int16);

      const std::string int32 =
          w < 0 ? unbounded("%0*lX", -w, -w, static_cast<unsigned long>(static_cast<uint32_t>(v)))
                : unbounded("%0*li", w, w, static_cast<long>(v));
      ProgramBuilder p = singleThread();
      const uint16_t k = p.constant(v);
      p.emit(Op::PushInt, {.operand = kDst});
      p.emit(Op::PushConstLong, {.operand = k});
      p.emit(Op::PushInt, {.operand = width});
      p.emit(Op::StringFunc, {.byte = 10});
      EXPECT_EQ(record(*runAll(p, 4)), int32);
    }
  }
}

const double kSpecialValues[] = {
    0.0,      -0.0,      1.0,      -1.0,        0.1,       1.0 / 3,
    -2.0 / 3, 9.5,       123.456,  1e-4,        1e-5,      0.00012345,
    1e22,     1e23,      0x1p100,  1e300,       -1.5e-300, 5e-324,
    DBL_MIN,  DBL_MAX,   -DBL_MAX, 1 - 0x1p-53, 0x1p-43,   99999999999999999999.0,
    HUGE_VAL, -HUGE_VAL, NAN};
const int kPrecisions[] = {-5,  0,   1,   2,   17,  30,  31,  39,  40,  41,  42,  45,   60,  100,
                           307, 308, 309, 310, 325, 400, 750, 766, 767, 768, 800, 1000, 4000};

TEST(SimNumberFormat, PrecisionsKeepTheCharactersOfTheUnboundedText) {
  for (double v : kSpecialValues) {
    for (int p : kPrecisions) {
      SCOPED_TRACE("value " + formatC("%a", v) + " precision " + std::to_string(p));
      EXPECT_EQ(formatFloatPrecision(v, p).substr(0, 30),
                unbounded("%#.*g", std::max(p, 0) + 400, p, v));
    }
  }
}

TEST(SimNumberFormat, PrecisionsOfArbitraryDoublesKeepTheirCharacters) {
  std::mt19937_64 random(20240607);
  for (int i = 0; i < 3000; ++i) {
    uint64_t bits = random();
    if (i % 3 == 0)
      bits &= 0x800FFFFFFFFFFFFFull | (uint64_t{random() % 64 + 992} << 52);  // around 1
    double v;
    std::memcpy(&v, &bits, sizeof v);
    const int p = kPrecisions[i % std::size(kPrecisions)];
    SCOPED_TRACE("value " + formatC("%a", v) + " precision " + std::to_string(p));
    ASSERT_EQ(formatFloatPrecision(v, p).substr(0, 30),
              unbounded("%#.*g", std::max(p, 0) + 400, p, v));
  }
}

// A damaged program: a loop outside every statement formatting with the widest fields, so one
// step runs the instruction bound out. The record holds the first call's characters.
TEST(SimNumberFormat, StepWithHugeFieldsEndsWithTheKeptCharacters) {
  struct Case {
    const char* name;
    double value;
    uint8_t function;
    int16_t field;
    const char* kept;
  };
  const Case cases[] = {
      {"precision 32767 of 1e300", 1e300, 11, 32767, "100000000000000005250476025520"},
      {"precision 32767 of -2/3", -2.0 / 3, 11, 32767, "-0.666666666666666629659232512"},
      {"precision 32767 of 5e-324", 5e-324, 11, 32767, "4.9406564584124654417656879286"},
      {"width 32767 of -7", -7, 10, 32767, "-00000000000000000000000000000"},
      {"width -32768 of 255", 255, 10, -32768, "000000000000000000000000000000"},
      {"int width 32767 of 42", 42, 9, 32767, "000000000000000000000000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramBuilder p(1);
    p.thread(1, {0, kStackBase, kStackBase, 255});
    const uint16_t value =
        c.function == 11 ? p.constant(c.value) : p.constant(static_cast<int32_t>(c.value));
    p.noStatement();
    const uint16_t loop = p.emit(Op::PushInt, {.operand = kDst});
    if (c.function == 11)
      p.emit(Op::PushConstFloat, {.operand = value});
    else if (c.function == 10)
      p.emit(Op::PushConstLong, {.operand = value});
    else
      p.emit(Op::PushConstInt, {.operand = value});
    p.emit(Op::PushInt, {.operand = static_cast<uint16_t>(c.field)});
    p.emit(Op::StringFunc, {.byte = c.function});
    p.jump(Op::Jump, loop);
    auto m = load(p);
    const StepRecord r = m->step(0);
    EXPECT_EQ(r.runState, kRunning);
    EXPECT_EQ(r.statement, kNoStatement);
    EXPECT_EQ(record(*m), c.kept);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
