// Loads, stores, increments and constant pushes. Byte values travel as int16 on the stack.
#pragma once

#include "Machine.h"

namespace vexa::vx2sim::memory {

// How a value of each width sits in memory and on the stack.
struct Byte {
  using Mem = uint8_t;
  using Stack = uint16_t;
};
struct Int {
  using Mem = uint16_t;
  using Stack = uint16_t;
};
struct Long {
  using Mem = uint32_t;
  using Stack = uint32_t;
};
struct Float {
  using Mem = double;
  using Stack = double;
};

template <typename W>
typename W::Mem incremented(typename W::Mem v) {
  if constexpr (std::is_same_v<typename W::Mem, double>)
    return v + 1.0;
  else
    return static_cast<typename W::Mem>(v + 1u);
}

// push the value at RAM address a
template <typename W>
void loadFrom(Machine& m, uint16_t a) {
  m.push<typename W::Stack>(m.load<typename W::Mem>(a));
}

// pop the value into RAM address a
template <typename W>
void storeTo(Machine& m, uint16_t a) {
  const auto v = m.pop<typename W::Stack>();
  m.store<typename W::Mem>(a, static_cast<typename W::Mem>(v));
  m.status |= status::kRamStore;
}

// store the value on top into RAM address a; it stays on the stack
template <typename W>
void putTo(Machine& m, uint16_t a) {
  m.store<typename W::Mem>(a, static_cast<typename W::Mem>(m.top<typename W::Stack>()));
  m.status |= status::kRamStore;
}

// add 1 at RAM address a and push the new value
template <typename W>
void incrementAt(Machine& m, uint16_t a) {
  const auto v = incremented<W>(m.load<typename W::Mem>(a));
  m.store<typename W::Mem>(a, v);
  m.push<typename W::Stack>(v);
}

template <typename W>
void pushConstant(Machine& m, uint16_t k) {
  m.push<typename W::Stack>(m.constant<typename W::Mem>(k));
}

// Forms whose address or constant index is popped (class 0x00).
template <typename W>
void pushConstantAt(Machine& m) {
  pushConstant<W>(m, m.pop16());
}
template <typename W>
void loadAt(Machine& m) {
  loadFrom<W>(m, m.pop16());
}
template <typename W>
void incrementAtPopped(Machine& m) {
  incrementAt<W>(m, m.pop16());
}
template <typename W>
void storeAtPopped(Machine& m) {
  const uint16_t a = m.pop16();
  storeTo<W>(m, a);
}

// Indexed forms: base and index popped below the value; big-endian for the integers.
void storeIntBE(Machine& m);
void storeLongBE(Machine& m);
void storeFloatAtSum(Machine& m);
void loadIntBE(Machine& m);
void loadLongBE(Machine& m);
void loadFloatAtSum(Machine& m);

}  // namespace vexa::vx2sim::memory
