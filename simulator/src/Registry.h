// The live machines behind the exported handles. A handle holds a slot and a generation, so a
// destroyed or made-up handle is recognised without touching freed memory, and lookups take
// no lock.
#pragma once

#include <cstdint>
#include <memory>

#include "Machine.h"

namespace vx2sim {

class Registry {
 public:
  static constexpr std::size_t kSlots = 4096;

  // Handle of the new entry; 0 when every slot is taken.
  static uintptr_t add(std::unique_ptr<Machine> machine);
  // The machine of a live handle, else nullptr.
  static Machine* find(uintptr_t handle);
  // Deletes the machine; false for a handle that is not live.
  static bool remove(uintptr_t handle);
};

}  // namespace vx2sim
