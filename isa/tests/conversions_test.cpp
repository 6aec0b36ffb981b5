#include "vexa/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace vexa::vm;

namespace {

struct Conversion {
  double value;
  int64_t truncated;
  uint16_t low16;
  int32_t low32;
  bool int32;
};

TEST(Conversions, TruncateTowardZeroAndKeepTheLowBits) {
  const Conversion cases[] = {
      {0.0, 0, 0, 0, true},
      {-0.0, 0, 0, 0, true},
      {70000.7, 70000, 4464, 70000, false},
      {-1.9, -1, 0xFFFF, -1, false},
      {32768.0, 32768, 0x8000, 32768, true},
      {2147483648.0, 2147483648LL, 0, INT32_MIN, false},
      {-2147483648.0, INT32_MIN, 0, INT32_MIN, true},
      {4294967295.0, 4294967295LL, 0xFFFF, -1, false},
      {9223372036854774784.0, 9223372036854774784LL, 0xFC00, -1024,
       false},  // largest double below 2^63
      // Out of range and NaN: the indefinite integer, whose low bits are 0.
      {9223372036854775808.0, INT64_MIN, 0, 0, false},
      {-9223372036854775808.0, INT64_MIN, 0, 0, false},
      {1e20, INT64_MIN, 0, 0, false},
      {-1e20, INT64_MIN, 0, 0, false},
      {INFINITY, INT64_MIN, 0, 0, false},
      {-INFINITY, INT64_MIN, 0, 0, false},
      {NAN, INT64_MIN, 0, 0, false},
  };
  for (const Conversion& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(truncateToInt64(c.value), c.truncated);
    EXPECT_EQ(floatToInt16Bits(c.value), c.low16);
    EXPECT_EQ(floatToInt32(c.value), c.low32);
    EXPECT_EQ(isInt32(c.value), c.int32);
  }
}

}  // namespace
