#include "Text.h"

#include <locale.h>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vexa::vx2sim {

std::string readCString(const Machine& m, uint16_t a) {
  std::string text;
  for (int i = 0; i < kStringCapacity; ++i) {
    const uint8_t c = m.ram[static_cast<uint16_t>(a + i)];
    if (c == 0) break;
    text.push_back(static_cast<char>(c));
  }
  return text;
}

namespace {

locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

// The longest text of a 32-bit number, "-2147483648".
constexpr int kLongestNumber = 11;

// Precisions up to this are handed to the formatter as they are; they cost it little.
constexpr int kDirectPrecision = 40;

// Decimal digits and exponent of |v|, as "%.*e" gives them.
struct Digits {
  std::string digits;
  int exponent = 0;
};

Digits scientific(double v, int precision) {
  std::vector<char> buffer(static_cast<std::size_t>(precision) + 16);
  const locale_t previous = uselocale(cLocale());
  const int n = std::snprintf(buffer.data(), buffer.size(), "%.*e", precision, std::fabs(v));
  uselocale(previous);
  Digits d;
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return d;
  const std::string text(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return d;
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') d.digits.push_back(text[i]);
  d.exponent = std::stoi(text.substr(e + 1));
  return d;
}

// Number of significant digits of the exact decimal value of a finite v whose leading digit
// has the decimal exponent x (1 for zero).
int exactSignificantDigits(double v, int x) {
  if (v == 0) return 1;
  int e = 0;
  const double f = std::frexp(std::fabs(v), &e);
  auto mantissa = static_cast<uint64_t>(std::ldexp(f, 53));
  e -= 53;
  while ((mantissa & 1) == 0) {
    mantissa >>= 1;
    ++e;
  }
  // The last non-zero digit: at 10^e for a fraction; for an integer M * 2^e, the trailing
  // decimal zeros are the pairs of the factors 2 and 5.
  int last = e;
  if (e >= 0) {
    int fives = 0;
    for (uint64_t m = mantissa; m % 5 == 0; m /= 5) ++fives;
    last = std::min(e, fives);
  }
  return x - last + 1;
}

}  // namespace

std::string formatC(const char* format, ...) {
  const locale_t previous = uselocale(cLocale());
  char buffer[64];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  uselocale(previous);
  if (n < 0) return {};
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

int keptWidth(int width) { return std::min(width, kStringCapacity + kLongestNumber); }

std::string formatFloatPrecision(double v, int precision) {
  if (precision <= kDirectPrecision || !std::isfinite(v)) return formatC("%#.*g", precision, v);
  // Above kDirectPrecision digits the kept characters are the leading digits of v rounded to
  // `precision` digits. Rounding there reaches the leading kStringCapacity digits only through
  // a run of nines, so the digits 31 to 40 of a 41-digit text decide; when they are all 0 or
  // all 9, the exact decimal value is formatted instead.
  Digits d = scientific(v, kDirectPrecision);
  const std::string tail = d.digits.size() > 40 ? d.digits.substr(30, 10) : std::string();
  if (tail.find_first_not_of('0') == std::string::npos ||
      tail.find_first_not_of('9') == std::string::npos)
    d = scientific(v, exactSignificantDigits(v, d.exponent) - 1);
  std::string digits = d.digits;
  if (digits.size() < static_cast<std::size_t>(kStringCapacity) + 2)
    digits.resize(kStringCapacity + 2, '0');
  const int x = d.exponent;
  std::string text = std::signbit(v) ? "-" : "";
  if (x >= -4 && x < precision) {
    if (x >= 0) {
      const std::size_t whole = static_cast<std::size_t>(x) + 1;
      if (whole >= digits.size()) return text + digits;
      text += digits.substr(0, whole) + "." + digits.substr(whole);
    } else {
      text += "0." + std::string(static_cast<std::size_t>(-x - 1), '0') + digits;
    }
  } else {
    // The exponent follows `precision` digits, far behind the kept characters.
    text += digits.substr(0, 1) + "." + digits.substr(1);
  }
  return text.substr(0, kStringCapacity + 1);
}

}  // namespace vexa::vx2sim
