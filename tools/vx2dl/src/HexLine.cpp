#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte of the two hex digits at 0-based position index (digits checked before).
std::uint8_t hexByte(std::string_view line, std::size_t index) {
  return static_cast<std::uint8_t>(hexValue(line[index]) * 16 + hexValue(line[index + 1]));
}

}  // namespace

int ParseHexLine(std::string_view line, HexRecord& record) {
  record = HexRecord{};
  if (line.size() <= 8) return -1;
  if (line[0] != ':') return 1;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (hexValue(line[i]) < 0) return static_cast<int>(i + 1);
  }
  // Characters 8 and 9 hold the type; its low digit decides.
  record.recordType = line[8] - '0';
  switch (record.recordType) {
    case 0: {
      const std::uint8_t count = hexByte(line, 1);
      if (count > 32) return 2;
      if (line.size() < 9 + 2 * static_cast<std::size_t>(count)) return -1;
      record.count = count;
      record.addressHigh = hexByte(line, 3);
      record.addressLow = hexByte(line, 5);
      for (std::size_t i = 0; i < count; ++i) record.data[i] = hexByte(line, 9 + 2 * i);
      return 0;
    }
    case 1: return 0;
    case 2: return line.size() < 13 ? -1 : 0;
    case 4: return line.size() <= 12 ? -1 : 0;
    default: return 9;
  }
}

}  // namespace vexa::vx2dl
