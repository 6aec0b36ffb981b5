// Text helpers shared by the modules and the exports: bounded reads of simulated memory and
// number formatting in the C locale.
#pragma once

#include <cstdarg>
#include <string>

#include "Machine.h"

namespace vexa::vx2sim {

inline constexpr int kStringCapacity = 30;
inline constexpr uint16_t kStringNul = 30;
inline constexpr uint16_t kStringLength = 31;

// Characters at address a up to the first NUL, at most 30.
std::string readCString(const Machine& m, uint16_t a);

// printf-style formatting in the C locale, whatever the process locale is.
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Field width for a number appended to a string record. Wider fields only add padding beyond
// the characters a record keeps, so the width is cut to what can still show.
int keptWidth(int width);

// "%#.*g" of v, exact in its first kStringCapacity characters for every precision, and cheap
// also for precisions in the thousands (the text behind those characters is left out).
std::string formatFloatPrecision(double v, int precision);

}  // namespace vexa::vx2sim
