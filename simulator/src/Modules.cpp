// System-function modules of class 0x40: date and clock, strings, pulse-length outputs,
// serial output, LCD and the device stubs.
#include <algorithm>

#include "Instructions.h"
#include "Text.h"

namespace vexa::vx2sim::modules {
namespace {

using vexa::vm::ClockSource;
using vexa::vm::DateField;
using vexa::vm::LcdFn;
using vexa::vm::PlmFn;
using vexa::vm::SerialFn;
using vexa::vm::StringFn;
using vexa::vm::StubPush;

constexpr uint16_t kTrue = 0xFFFF;

// --- string records: characters 0..29, NUL at 30, length at 31 ---
uint8_t lengthOf(const Machine& m, uint16_t s) {
  return m.ram[static_cast<uint16_t>(s + kStringLength)];
}

void appendChar(Machine& m, uint16_t s, uint8_t c) {
  const uint8_t n = lengthOf(m, s);
  if (n >= kStringCapacity) return;
  m.ram[static_cast<uint16_t>(s + n)] = c;
  m.ram[static_cast<uint16_t>(s + kStringLength)] = static_cast<uint8_t>(n + 1);
}

void appendText(Machine& m, uint16_t s, const std::string& text) {
  for (char c : text) appendChar(m, s, static_cast<uint8_t>(c));
}

void fillTo(Machine& m, uint16_t s, uint8_t c, int16_t count) {
  const int end = count < 0 || count > kStringCapacity ? kStringCapacity : count;
  for (int i = lengthOf(m, s); i < end; ++i) m.ram[static_cast<uint16_t>(s + i)] = c;
}

// --- pulse-length outputs ---
constexpr uint16_t kTones[40] = {11364, 10490, 9740, 9091, 8523, 8021, 7576, 7177, 6818, 6494,
                                 6198,  5929,  5682, 5245, 4870, 4545, 4261, 4011, 3788, 3589,
                                 3409,  3247,  3099, 2964, 2841, 2622, 2435, 2273, 2131, 2005,
                                 1894,  1794,  1705, 1623, 1550, 1482, 1420, 1311, 1218, 1136};

// Channel popped as unsigned 16 bits; badArgument when above 2.
bool popChannel(Machine& m, uint16_t& channel) {
  channel = m.pop16();
  if (channel <= 2) return true;
  m.badArgument = true;
  return false;
}

// --- LCD ---
constexpr int kLcdColumns = 16;

}  // namespace

void dateTimeGet(Machine& m, uint8_t field) {
  const vexa::platform::LocalTime t = m.clock->localTime();
  int v = 0;
  switch (static_cast<DateField>(field)) {
    case DateField::Year: v = t.year; break;
    case DateField::Month: v = t.month; break;
    case DateField::Day: v = t.day; break;
    case DateField::Hour: v = t.hour; break;
    case DateField::Minute: v = t.minute; break;
    case DateField::Second: v = t.second; break;
    case DateField::Weekday: v = t.dayOfWeek; break;
    case DateField::DaylightSaving: v = t.daylightSaving ? -1 : 0; break;
    default: v = 0; break;
  }
  m.push16(static_cast<uint16_t>(v));
}

void clockGet(Machine& m, uint8_t source) {
  int32_t v = 0;
  if (source == static_cast<uint8_t>(ClockSource::Milliseconds))
    v = m.milliseconds();
  else if (source <= static_cast<uint8_t>(ClockSource::LastRandom))
    v = m.randomReading();
  m.push<uint32_t>(static_cast<uint32_t>(v));
}

void string(Machine& m, uint8_t function) {
  switch (static_cast<StringFn>(function)) {
    case StringFn::Clear: {
      const uint16_t s = m.pop16();
      for (int i = 0; i < 32; ++i) m.ram[static_cast<uint16_t>(s + i)] = 0;
      break;
    }
    case StringFn::Length: m.push16(lengthOf(m, m.pop16())); break;
    case StringFn::FillTo: {
      const uint8_t c = static_cast<uint8_t>(m.pop16());
      const int16_t n = static_cast<int16_t>(m.pop16());
      fillTo(m, m.pop16(), c, n);
      break;
    }
    case StringFn::AppendChar: {
      const uint8_t c = static_cast<uint8_t>(m.pop16());
      appendChar(m, m.pop16(), c);
      break;
    }
    case StringFn::Append: {
      const uint16_t source = m.pop16();
      const uint16_t target = m.pop16();
      // The source length is read again each time: a string appended to itself repeats.
      for (int i = 0; i < lengthOf(m, source) && lengthOf(m, target) < kStringCapacity; ++i)
        appendChar(m, target, m.ram[static_cast<uint16_t>(source + i)]);
      break;
    }
    case StringFn::AppendConst: {
      const std::size_t at = 2u * m.pop16();
      const uint16_t target = m.pop16();
      const uint8_t n = m.imageByte(at);
      for (std::size_t i = 1; i <= n; ++i) appendChar(m, target, m.imageByte(at + i));
      break;
    }
    case StringFn::AppendInt: {
      const int16_t v = static_cast<int16_t>(m.pop16());
      appendText(m, m.pop16(), formatC("%hi", v));
      break;
    }
    case StringFn::AppendLong: {
      const int32_t v = static_cast<int32_t>(m.pop<uint32_t>());
      appendText(m, m.pop16(), formatC("%li", static_cast<long>(v)));
      break;
    }
    case StringFn::AppendFloat: {
      const double v = m.pop<double>();
      appendText(m, m.pop16(), formatC("%.8g", v));
      break;
    }
    case StringFn::AppendIntWidth: {
      const int16_t w = static_cast<int16_t>(m.pop16());
      const int16_t v = static_cast<int16_t>(m.pop16());
      const uint16_t target = m.pop16();
      appendText(
          m, target,
          w < 0 ? formatC("%0*X", keptWidth(-w), static_cast<unsigned>(static_cast<int32_t>(v)))
                : formatC("%0*hi", keptWidth(w), v));
      break;
    }
    case StringFn::AppendLongWidth: {
      const int16_t w = static_cast<int16_t>(m.pop16());
      const int32_t v = static_cast<int32_t>(m.pop<uint32_t>());
      const uint16_t target = m.pop16();
      appendText(m, target,
                 w < 0 ? formatC("%0*lX", keptWidth(-w),
                                 static_cast<unsigned long>(static_cast<uint32_t>(v)))
                       : formatC("%0*li", keptWidth(w), static_cast<long>(v)));
      break;
    }
    case StringFn::AppendFloatPrecision: {
      const int16_t p = static_cast<int16_t>(m.pop16());
      const double v = m.pop<double>();
      appendText(m, m.pop16(), formatFloatPrecision(v, p));
      break;
    }
    case StringFn::AppendBits: {
      const uint8_t zero = static_cast<uint8_t>(m.pop16());
      const uint8_t one = static_cast<uint8_t>(m.pop16());
      const uint16_t v = m.pop16();
      const uint16_t target = m.pop16();
      for (int bit = 7; bit >= 0; --bit) appendChar(m, target, (v >> bit) & 1 ? one : zero);
      break;
    }
    default: m.undefinedInstruction(); break;
  }
}

void plm(Machine& m, uint8_t function) {
  uint16_t channel = 0;
  switch (static_cast<PlmFn>(function)) {
    case PlmFn::None: break;
    case PlmFn::TimeBase: {
      const int16_t code = static_cast<int16_t>(m.pop16());
      if (!popChannel(m, channel)) return;
      const int timeBase = (code * 400) % 8;
      (channel == 2 ? m.plm.timeBase2 : m.plm.timeBase01) = timeBase;
      m.status |= status::kPlm;
      break;
    }
    case PlmFn::Ignored:
      m.pop16();
      m.pop16();
      break;
    case PlmFn::Period: {
      const uint16_t period = m.pop16();
      if (!popChannel(m, channel)) return;
      (channel == 2 ? m.plm.period2 : m.plm.period01) = period;
      m.status |= status::kPlm;
      break;
    }
    case PlmFn::Pulse: {
      const uint16_t pulse = m.pop16();
      if (!popChannel(m, channel)) return;
      m.plm.pulse[channel] = pulse;
      m.status |= status::kPlm;
      break;
    }
    case PlmFn::Tone: {
      const int16_t note = static_cast<int16_t>(m.pop16());
      if (note < 0) {
        m.plm.pulse[2] = 0;
      } else {
        const uint16_t t = kTones[note % 40];
        m.plm.pulse[0] = t;
        m.plm.pulse[2] = static_cast<uint16_t>(t / 2);
      }
      m.status |= status::kPlm;
      break;
    }
    default: m.undefinedInstruction(); break;
  }
}

void serial(Machine& m, uint8_t function) {
  switch (static_cast<SerialFn>(function)) {
    case SerialFn::None0:
    case SerialFn::None3: break;
    case SerialFn::Pop1: m.pop16(); break;
    case SerialFn::Pop2:
      m.pop16();
      m.pop16();
      break;
    case SerialFn::Ready: m.push16(kTrue); break;
    case SerialFn::PutChar: {
      const uint8_t c = static_cast<uint8_t>(m.pop16());
      std::fputc(c, m.output);
      std::fflush(m.output);
      break;
    }
    case SerialFn::PutString: {
      m.pop16();
      const std::string text = readCString(m, m.pop16());
      std::fwrite(text.data(), 1, text.size(), m.output);
      std::fflush(m.output);
      break;
    }
    case SerialFn::Received: m.push16(0); break;
    case SerialFn::ReadByte: m.push16(0); break;
    default: m.undefinedInstruction(); break;
  }
}

void device(Machine& m, vexa::isa::Op module, uint8_t b) {
  const auto stubs = vexa::vm::deviceStub(vexa::isa::numberOf(module));
  if (b >= stubs.size()) {
    m.undefinedInstruction();
    return;
  }
  uint16_t last = 0;
  for (int i = 0; i < stubs[b].pops; ++i) last = m.pop16();
  switch (stubs[b].push) {
    case StubPush::None: break;
    case StubPush::Zero: m.push16(0); break;
    case StubPush::True: m.push16(kTrue); break;
    case StubPush::HandleCheck: m.push16(last >= 1 && last <= 15 ? 0 : kTrue); break;
  }
}

void lcd(Machine& m, uint8_t function) {
  LcdState& l = m.lcd;
  auto& row = l.cells[l.row];
  switch (static_cast<LcdFn>(function)) {
    case LcdFn::None: break;
    case LcdFn::Cursor: m.pop16(); break;
    case LcdFn::Clear:
      for (auto& r : l.cells) r.fill(0);
      l.column = l.row = l.window = 0;
      break;
    case LcdFn::ClearToEnd:
      for (int c = l.column; c < kLcdColumns; ++c) row[c] = 0;
      break;
    case LcdFn::GotoXY: {
      const uint16_t c = m.pop16();
      const uint16_t r = m.pop16();
      l.column = std::min<int>(c, kLcdColumns);
      l.row = std::min<int>(r, 1);
      break;
    }
    case LcdFn::Home: l.column = l.row = l.window = 0; break;
    case LcdFn::Window:
      l.window = std::min<int>(static_cast<uint8_t>(m.pop16()), kLcdColumns);
      break;
    case LcdFn::Ready: m.push16(1); break;
    case LcdFn::PutChar:
      row[l.column] = static_cast<uint8_t>(m.pop16());
      l.column = std::min(l.column + 1, kLcdColumns);
      break;
    case LcdFn::PutString: {
      m.pop16();
      const std::string text = readCString(m, m.pop16());
      const int room = kLcdColumns - l.column;
      for (int i = 0; i < room; ++i)
        row[l.column + i] = i < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[i]) : 0;
      l.column = std::min(l.column + static_cast<int>(text.size()), kLcdColumns);
      break;
    }
    default: m.undefinedInstruction(); return;
  }
  m.status |= status::kLcd;
}

}  // namespace vexa::vx2sim::modules
