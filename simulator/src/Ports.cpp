// Port lines, analog inputs and counters. An index out of range sets badArgument and does
// nothing else.
#include "Instructions.h"

namespace vexa::vx2sim::ports {
namespace {

// Lines of one port group: a bit, a nibble, a byte or the whole word.
struct Group {
  int width;
  int count;  // valid indices 0..count-1
  uint16_t mask(int i) const { return static_cast<uint16_t>(((1u << width) - 1u) << (width * i)); }
};
constexpr Group kBit{1, 16};
constexpr Group kNibble{4, 4};
constexpr Group kByte{8, 2};
constexpr Group kWord{16, 1};

// Index popped or on top; false (and badArgument) when out of range.
bool checked(Machine& m, const Group& g, uint16_t i) {
  if (i < g.count) return true;
  m.badArgument = true;
  return false;
}

void get(Machine& m, const Group& g) {
  const uint16_t i = m.top<uint16_t>();
  if (!checked(m, g, i)) return;
  m.setTop<uint16_t>(static_cast<uint16_t>((m.portLevels & g.mask(i)) >> (g.width * i)));
}

void set(Machine& m, const Group& g) {
  uint16_t v = m.pop16();
  const uint16_t i = m.pop16();
  if (!checked(m, g, i)) return;
  if (g.width == 1) v = v != 0 ? 1 : 0;
  const uint16_t mask = g.mask(i);
  m.portDirection |= mask;
  m.portLevels = static_cast<uint16_t>((m.portLevels & ~mask) | ((v << (g.width * i)) & mask));
  m.status |= status::kPort;
}

void deactivate(Machine& m, const Group& g) {
  const uint16_t i = m.pop16();
  if (!checked(m, g, i)) return;
  m.portDirection &= static_cast<uint16_t>(~g.mask(i));
  m.status |= status::kPort;
}

}  // namespace

void bitGet(Machine& m) {
  const uint16_t i = m.top<uint16_t>();
  if (!checked(m, kBit, i)) return;
  m.setTop<uint16_t>((m.portLevels >> i) & 1 ? 0xFFFF : 0);
}
void nibbleGet(Machine& m) { get(m, kNibble); }
void byteGet(Machine& m) { get(m, kByte); }
void wordGet(Machine& m) { get(m, kWord); }

void adcGet(Machine& m) {
  const uint16_t i = m.top<uint16_t>();
  if (i >= m.adc.size()) {
    m.badArgument = true;
    return;
  }
  m.setTop<uint16_t>(m.adc[i]);
}

void bitSet(Machine& m) { set(m, kBit); }
void nibbleSet(Machine& m) { set(m, kNibble); }
void byteSet(Machine& m) { set(m, kByte); }
void wordSet(Machine& m) { set(m, kWord); }
void bitDeact(Machine& m) { deactivate(m, kBit); }
void nibbleDeact(Machine& m) { deactivate(m, kNibble); }
void byteDeact(Machine& m) { deactivate(m, kByte); }
void wordDeact(Machine& m) { deactivate(m, kWord); }

void bitToggle(Machine& m) {
  const uint16_t i = m.pop16();
  if (!checked(m, kBit, i)) return;
  const uint16_t mask = kBit.mask(i);
  if (m.portDirection & mask) m.portLevels ^= mask;
  m.status |= status::kPort;
}

void bitPulse(Machine& m) { checked(m, kBit, m.pop16()); }

void counterGet(Machine& m) {
  if (!checked(m, Group{0, 4}, m.pop16())) return;
  m.push<uint32_t>(static_cast<uint32_t>(m.randomReading()));
}

void frequencyGet(Machine& m) {
  if (!checked(m, Group{0, 2}, m.pop16())) return;
  m.push<uint32_t>(static_cast<uint32_t>(m.randomReading()));
}

}  // namespace vexa::vx2sim::ports
