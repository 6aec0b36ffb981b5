#include "Text.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <locale.h>

namespace vx2sim {

std::string readCString(const Machine& m, uint16_t a) {
  std::string text;
  for (int i = 0; i < kStringCapacity; ++i) {
    const uint8_t c = m.ram[static_cast<uint16_t>(a + i)];
    if (c == 0) break;
    text.push_back(static_cast<char>(c));
  }
  return text;
}

std::string formatC(const char* format, ...) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  const locale_t previous = uselocale(cLocale);
  char buffer[64];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  uselocale(previous);
  if (n < 0) return {};
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

}  // namespace vx2sim
