#include "Registry.h"

#include <atomic>
#include <mutex>

namespace vx2sim {
namespace {

struct Slot {
  std::atomic<uintptr_t> handle{0};
  Machine* machine = nullptr;
  uintptr_t generation = 0;
};

Slot slots[Registry::kSlots];
std::mutex changes;

constexpr int kSlotBits = 12;
static_assert((std::size_t{1} << kSlotBits) == Registry::kSlots);

}  // namespace

uintptr_t Registry::add(std::unique_ptr<Machine> machine) {
  std::lock_guard<std::mutex> lock(changes);
  for (std::size_t i = 0; i < kSlots; ++i) {
    Slot& s = slots[i];
    if (s.handle.load(std::memory_order_relaxed) != 0) continue;
    ++s.generation;
    s.machine = machine.release();
    const uintptr_t handle = (s.generation << kSlotBits) | i;
    s.handle.store(handle, std::memory_order_release);
    return handle;
  }
  return 0;
}

Machine* Registry::find(uintptr_t handle) {
  if (handle == 0) return nullptr;
  Slot& s = slots[handle & (kSlots - 1)];
  if (s.handle.load(std::memory_order_acquire) != handle) return nullptr;
  return s.machine;
}

bool Registry::remove(uintptr_t handle) {
  if (handle == 0) return false;
  std::unique_ptr<Machine> doomed;
  {
    std::lock_guard<std::mutex> lock(changes);
    Slot& s = slots[handle & (kSlots - 1)];
    if (s.handle.load(std::memory_order_relaxed) != handle) return false;
    s.handle.store(0, std::memory_order_release);
    doomed.reset(s.machine);
    s.machine = nullptr;
  }
  return true;
}

}  // namespace vx2sim
