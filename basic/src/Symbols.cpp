#include "Symbols.h"

namespace vexa::vxbasic {

uint32_t makeMapCode(uint8_t kind, uint8_t space, uint16_t index) {
  return static_cast<uint32_t>(index) | ((static_cast<uint32_t>(kind) << 8) | space) << 16;
}

uint32_t mapCodeOf(uint32_t value) {
  uint8_t index = symbolIndex(value);
  switch (symbolKind(value)) {
    case kRamBit: return makeMapCode(3, 1, index);
    case kRamByte: return makeMapCode(2, 1, index);
    case kRamWord: return makeMapCode(1, 1, index);
    case kBitPort: return makeMapCode(3, 2, index);
    case kBytePort: return makeMapCode(2, 2, index);
    case kWordPort: return makeMapCode(1, 2, index);
    case kAnalogIn: return makeMapCode(2, 3, index);
    case kAnalogOut: return makeMapCode(2, 4, index);
    case kSystemVar: return makeMapCode(index < 7 ? 2 : 1, 5, index);
    default: return 0;
  }
}

namespace {

std::optional<uint32_t> digitsValue(const std::string& digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      return std::nullopt;
    if (d >= base) return std::nullopt;
    value = (value * base + d) & 0xFFFF;
  }
  return value;
}

}  // namespace

std::optional<uint16_t> parseConstant(const std::string& word,
                                      const NameTable<uint16_t>& constants) {
  if (word.empty()) return std::nullopt;
  bool negative = word[0] == '-';
  std::string body = negative ? word.substr(1) : word;
  if (body.empty()) return std::nullopt;
  std::optional<uint32_t> value;
  if (auto named = constants.find(body))
    value = *named;
  else if (body.size() >= 2 && body[0] == '&' && body[1] == 'H')
    value = digitsValue(body.substr(2), 16);
  else if (body.size() >= 2 && body[0] == '&' && body[1] == 'B')
    value = digitsValue(body.substr(2), 2);
  else
    value = digitsValue(body, 10);
  if (!value) return std::nullopt;
  uint32_t v = negative ? (0x10000u - *value) & 0xFFFF : *value;
  return static_cast<uint16_t>(v);
}

}  // namespace vexa::vxbasic
