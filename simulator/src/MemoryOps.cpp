#include "MemoryOps.h"

namespace vexa::vx2sim::memory {
namespace {

uint16_t popIndexedAddress(Machine& m) {
  const uint16_t i = m.pop16();
  const uint16_t base = m.pop16();
  return static_cast<uint16_t>(base + i);
}

void storeBigEndian(Machine& m, uint16_t a, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    m.ram[static_cast<uint16_t>(a + i)] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
  m.status |= status::kRamStore;
}

uint32_t loadBigEndian(const Machine& m, uint16_t a, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | m.ram[static_cast<uint16_t>(a + i)];
  return v;
}

}  // namespace

void storeIntBE(Machine& m) {
  const uint16_t v = m.pop16();
  storeBigEndian(m, popIndexedAddress(m), v, 2);
}

void storeLongBE(Machine& m) {
  const uint32_t v = m.pop<uint32_t>();
  storeBigEndian(m, popIndexedAddress(m), v, 4);
}

void storeFloatAtSum(Machine& m) {
  const double v = m.pop<double>();
  m.store<double>(popIndexedAddress(m), v);
  m.status |= status::kRamStore;
}

void loadIntBE(Machine& m) {
  m.push16(static_cast<uint16_t>(loadBigEndian(m, popIndexedAddress(m), 2)));
}

void loadLongBE(Machine& m) { m.push<uint32_t>(loadBigEndian(m, popIndexedAddress(m), 4)); }

void loadFloatAtSum(Machine& m) { m.push<double>(m.load<double>(popIndexedAddress(m))); }

}  // namespace vexa::vx2sim::memory
