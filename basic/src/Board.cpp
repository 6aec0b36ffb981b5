#include "Board.h"

#include <cstdio>
#include <cstring>

namespace vexa::vxbasic {

namespace {
// RAM bytes of the clock, by system-variable index 0..6.
constexpr unsigned kClockByte[7] = {38, 37, 36, 35, 32, 33, 34};
constexpr std::size_t kProgramMemoryEnd = 60000;
}  // namespace

uint16_t Board::ramWord(unsigned i) const {
  return static_cast<uint16_t>(ramByte(2 * i) << 8 | ramByte(2 * i + 1));
}

void Board::setRamWord(unsigned i, uint16_t v) {
  if (2 * i + 1 >= kRamSize) return;
  ram[2 * i] = static_cast<uint8_t>(v >> 8);
  ram[2 * i + 1] = static_cast<uint8_t>(v);
}

bool Board::ramBit(unsigned i) const { return (ram[(i / 8) % 32] >> (i % 8) & 1) != 0; }

void Board::setRamBit(unsigned i, bool v) {
  uint8_t& byte = ram[(i / 8) % 32];
  uint8_t mask = static_cast<uint8_t>(1u << (i % 8));
  byte = static_cast<uint8_t>(v ? byte | mask : byte & ~mask);
}

void Board::setPortBit(unsigned i, bool v) {
  if (i >= 16) return;
  uint16_t mask = static_cast<uint16_t>(1u << i);
  levels = static_cast<uint16_t>(v ? levels | mask : levels & ~mask);
}

uint8_t Board::bytePort(unsigned i) const {
  return static_cast<uint8_t>(i == 0 ? levels : levels >> 8);
}

void Board::setBytePort(unsigned i, uint8_t v) {
  if (i == 0)
    levels = static_cast<uint16_t>((levels & 0xFF00) | v);
  else
    levels = static_cast<uint16_t>((levels & 0x00FF) | v << 8);
}

uint16_t Board::freeFileWords() const {
  std::size_t used = std::size_t{fileStart} + fileLength;
  return used >= kProgramMemoryEnd ? 0 : static_cast<uint16_t>((kProgramMemoryEnd - used) / 2);
}

int16_t Board::loadSystem(unsigned i) const {
  if (i < 7) return ram[kClockByte[i]];
  switch (i) {
    case kTimer: return static_cast<int16_t>(timer);
    case kTicks: return static_cast<int16_t>(tone);
    case kFreq1: return static_cast<int16_t>(freq1);
    case kFreq2: return static_cast<int16_t>(freq2);
    case kFileFree: return static_cast<int16_t>(freeFileWords());
    case kFileLength: return static_cast<int16_t>(fileLength / 2);
    default: return 0;
  }
}

void Board::storeSystem(unsigned i, int16_t v) {
  if (i < 7)
    ram[kClockByte[i]] = static_cast<uint8_t>(v);
  else if (i == kTicks)
    tone = static_cast<uint16_t>(v);  // no PC speaker here
}

uint16_t Board::getSystem(unsigned i) const {
  if (i == kFileLength) return fileLength;
  return static_cast<uint16_t>(loadSystem(i));
}

void Board::setSystem(unsigned i, int16_t v) {
  uint8_t low = static_cast<uint8_t>(v);
  if (i == kYear)
    ram[kClockByte[i]] = low % 100;
  else if (i < 7)
    ram[kClockByte[i]] = low;
  else if (i == kTimer)
    timer = static_cast<uint16_t>(v);
  else if (i == kTicks)
    tone = static_cast<uint16_t>(v);
  else if (i == kFreq1)
    freq1 = static_cast<uint16_t>(v);
  else if (i == kFreq2)
    freq2 = static_cast<uint16_t>(v);
}

void Board::refreshClock(vexa::platform::Clock& clock) {
  const vexa::platform::LocalTime t = clock.localTime();
  const int parts[7] = {t.year % 100, t.month, t.day, t.dayOfWeek, t.hour, t.minute, t.second};
  for (unsigned i = 0; i < 7; ++i) ram[kClockByte[i]] = static_cast<uint8_t>(parts[i]);
  timer = static_cast<uint16_t>(clock.milliseconds() / 20);
}

void Board::putChar(char c) {
  if (outputLength < kOutputLimit) output[outputLength++] = c;
}

void Board::printNumber(int16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  for (const char* p = text; *p; ++p) putChar(*p);
}

const char* Board::fetchOutput() {
  std::memcpy(fetched.data(), output.data(), outputLength);
  fetched[outputLength] = '\0';
  outputLength = 0;
  return fetched.data();
}

bool Board::setValue(uint32_t mapCode, int16_t value) {
  const unsigned kind = mapCode >> 24;
  const unsigned space = mapCode >> 16 & 0xFF;
  const unsigned index = mapCode & 0xFFFF;
  if (kind == 2 && (value < 0 || value > 255)) return false;
  if (kind == 3 && (value < 0 || value > 1)) return false;
  const auto word = static_cast<uint16_t>(value);
  const auto low = static_cast<uint8_t>(value);
  switch (space) {
    case 1:
      if (kind == 1)
        setRamWord(index, word);
      else if (kind == 2)
        setRamByte(index, low);
      else if (kind == 3)
        setRamBit(index, value == 1);
      break;
    case 2:
      if (kind == 1)
        levels = word;
      else if (kind == 2 && index < 2)
        setBytePort(index, low);
      else if (kind == 3)
        setPortBit(index, value == 1);
      break;
    case 3:
      if (index < adc.size()) adc[index] = low;
      break;
    case 4:
      if (index < dac.size()) dac[index] = low;
      break;
    case 5: setSystem(index, value); break;
    default: break;
  }
  return true;
}

uint16_t Board::getValue(uint32_t mapCode) const {
  const unsigned kind = mapCode >> 24;
  const unsigned space = mapCode >> 16 & 0xFF;
  const unsigned index = mapCode & 0xFFFF;
  switch (space) {
    case 1:
      if (kind == 1) return ramWord(index);
      if (kind == 2) return ramByte(index);
      if (kind == 3) return ramBit(index) ? 65535 : 0;
      return 0;
    case 2:
      if (kind == 1) return levels;
      if (kind == 2) return index < 2 ? bytePort(index) : 0;
      if (kind == 3) return portBit(index) ? 1 : 0;
      return 0;
    case 3: return adcValue(index);
    case 4: return dacValue(index);
    case 5: return getSystem(index);
    default: return 0;
  }
}

}  // namespace vexa::vxbasic
