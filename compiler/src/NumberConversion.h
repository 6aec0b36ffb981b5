// Defined conversions from double to the V2 integer widths.
#pragma once

#include <cstdint>

namespace vx2 {

// Truncation toward zero through a 64-bit integer; NaN gives 0, values beyond the
// 64-bit range saturate. Never undefined behaviour.
int64_t truncate64(double value);

// The low 32 bits of truncate64, as V2 `long`.
int32_t truncate32(double value);

// True when the value equals its 32-bit truncation.
bool isInt32(double value);

}  // namespace vx2
