// Text helpers shared by the modules and the exports: bounded reads of simulated memory and
// number formatting in the C locale.
#pragma once

#include <cstdarg>
#include <string>

#include "Machine.h"

namespace vx2sim {

inline constexpr int kStringCapacity = 30;
inline constexpr uint16_t kStringNul = 30;
inline constexpr uint16_t kStringLength = 31;

// Characters at address a up to the first NUL, at most 30.
std::string readCString(const Machine& m, uint16_t a);

// printf-style formatting in the C locale, whatever the process locale is.
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vx2sim
