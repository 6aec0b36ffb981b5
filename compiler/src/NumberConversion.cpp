#include "NumberConversion.h"

#include <cmath>

namespace vx2 {

int64_t truncate64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775807.0) return INT64_MAX;
  if (value <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(value);
}

int32_t truncate32(double value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(truncate64(value))));
}

bool isInt32(double value) { return value == static_cast<double>(truncate32(value)); }

}  // namespace vx2
