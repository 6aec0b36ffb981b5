// The machine's conversions of a float to an integer, used by the machine itself and by the
// compiler when it folds constants, so that both give the same bits.
#pragma once

#include <cstdint>

namespace vexa::vm {

// Truncation toward zero into 64 bits. NaN and values outside the 64-bit range give the
// "indefinite" integer INT64_MIN, as the board's floating-point unit does.
int64_t truncateToInt64(double value);

// The low 16 or 32 bits of truncateToInt64: FloatToInt and FloatToLong.
uint16_t floatToInt16Bits(double value);
int32_t floatToInt32(double value);

// True when the value equals its conversion to 32 bits (an integral value that a long holds).
bool isInt32(double value);

}  // namespace vexa::vm
