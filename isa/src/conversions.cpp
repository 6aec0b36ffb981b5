#include "vexa/conversions.h"

namespace vexa::vm {

int64_t truncateToInt64(double value) {
  // 2^63 is exact as a double; everything at or beyond it, and NaN, is out of range.
  constexpr double kLimit = 9223372036854775808.0;
  if (!(value > -kLimit && value < kLimit)) return INT64_MIN;
  return static_cast<int64_t>(value);
}

uint16_t floatToInt16Bits(double value) {
  return static_cast<uint16_t>(static_cast<uint64_t>(truncateToInt64(value)));
}

int32_t floatToInt32(double value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(truncateToInt64(value))));
}

bool isInt32(double value) { return value == static_cast<double>(floatToInt32(value)); }

}  // namespace vexa::vm
