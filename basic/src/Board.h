// The simulated first-generation board: RAM with the clock bytes, ports,
// analog values, timer, tone register, data-file registers and the output
// collector, with value access by map code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "vexa/platform/Clock.h"

namespace vexa::vxbasic {

inline constexpr std::size_t kRamSize = 40;
inline constexpr std::size_t kOutputLimit = 255;
inline constexpr uint16_t kRealTimeOption = 1;

// System-variable indexes.
enum SystemVariable : unsigned {
  kYear = 0,
  kMonth,
  kDay,
  kDayOfWeek,
  kHour,
  kMinute,
  kSecond,
  kTimer,
  kTicks,
  kFreq1,
  kFreq2,
  kFileFree,
  kFileLength,
};

class Board {
 public:
  // RAM; indexes beyond the 40 bytes read 0 and write nothing.
  uint8_t ramByte(unsigned i) const { return i < kRamSize ? ram[i] : 0; }
  void setRamByte(unsigned i, uint8_t v) {
    if (i < kRamSize) ram[i] = v;
  }
  uint16_t ramWord(unsigned i) const;
  void setRamWord(unsigned i, uint16_t v);
  bool ramBit(unsigned i) const;
  void setRamBit(unsigned i, bool v);

  // Port levels; ports beyond the 16 read 0 and write nothing.
  bool portBit(unsigned i) const { return i < 16 && (levels >> i & 1) != 0; }
  void setPortBit(unsigned i, bool v);
  uint8_t bytePort(unsigned i) const;
  void setBytePort(unsigned i, uint8_t v);
  static uint16_t bytePortMask(unsigned i) { return i == 0 ? 0x00FF : 0xFF00; }

  uint8_t adcValue(unsigned i) const { return i < adc.size() ? adc[i] : 0; }
  uint8_t dacValue(unsigned i) const { return i < dac.size() ? dac[i] : 0; }

  // System variables as opcodes 28 and 29 see them.
  int16_t loadSystem(unsigned i) const;
  void storeSystem(unsigned i, int16_t v);
  // System variables as the value exports see them.
  uint16_t getSystem(unsigned i) const;
  void setSystem(unsigned i, int16_t v);

  uint16_t freeFileWords() const;
  bool realTime() const { return (options & kRealTimeOption) != 0; }
  // Clock bytes from the local time and TIMER from the milliseconds.
  void refreshClock(vexa::platform::Clock& clock);

  void putChar(char c);
  void printNumber(int16_t value);
  // The collected output, NUL-terminated; the collector is emptied.
  const char* fetchOutput();

  // Map-code access: false when a byte or bit value is out of range.
  bool setValue(uint32_t mapCode, int16_t value);
  uint16_t getValue(uint32_t mapCode) const;

  std::array<uint8_t, kRamSize> ram{};
  uint16_t levels = 0;
  uint16_t driven = 0;
  uint16_t initialLevels = 0;
  std::array<uint8_t, 8> adc{};
  std::array<uint8_t, 2> dac{};
  uint16_t timer = 0;
  uint16_t tone = 0;
  uint16_t freq1 = 0;
  uint16_t freq2 = 0;
  uint16_t fileStart = 0;
  uint16_t filePosition = 0;
  uint16_t fileLength = 0;
  std::array<char, kOutputLimit + 1> output{};
  std::size_t outputLength = 0;
  std::array<char, kOutputLimit + 1> fetched{};
  uint32_t options = 0;
};

}  // namespace vexa::vxbasic
