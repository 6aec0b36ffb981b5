// Handles for objects that cross a C boundary. A handle packs a slot number (low bits) and the
// slot's generation (high bits), so a removed or made-up handle is refused without touching
// freed memory, and no handle is ever given out twice, even when the slot or the object's
// memory is reused. Lookups take no lock; adding and removing share one mutex.
#pragma once

#include <array>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

namespace vexa {

template <typename T, typename Handle = std::uintptr_t, unsigned SlotBits = 12>
class HandleTable {
  static_assert(std::is_unsigned_v<Handle>, "handles are unsigned integers");
  static_assert(SlotBits > 0 && SlotBits < sizeof(Handle) * CHAR_BIT,
                "room for a generation is needed");

 public:
  static constexpr std::size_t kSlots = std::size_t{1} << SlotBits;
  // A slot's generations run from 1 to kMaxGeneration; a slot whose last generation has been
  // removed is retired, so a handle never comes back after the counter would wrap.
  static constexpr Handle kMaxGeneration =
      static_cast<Handle>(static_cast<Handle>(~Handle{0}) >> SlotBits);

  constexpr HandleTable() = default;
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;
  ~HandleTable() { clear(); }

  // Takes the object; its handle, or 0 when no slot is free (the object is deleted then).
  Handle add(std::unique_ptr<T> object) {
    if (!object) return 0;
    std::lock_guard<std::mutex> lock(changes_);
    for (std::size_t i = 0; i < kSlots; ++i) {
      Slot& s = slots_[i];
      if (s.handle.load(std::memory_order_relaxed) != 0 || s.generation == kMaxGeneration) continue;
      ++s.generation;
      s.object.store(object.release(), std::memory_order_relaxed);
      const Handle handle =
          static_cast<Handle>((s.generation << SlotBits) | static_cast<Handle>(i));
      // Publishes the object: a reader that sees the handle sees the pointer too.
      s.handle.store(handle, std::memory_order_release);
      return handle;
    }
    return 0;
  }

  // The object of a live handle, else nullptr. Wait-free.
  T* find(Handle handle) const {
    if (handle == 0) return nullptr;
    const Slot& s = slots_[handle & (kSlots - 1)];
    if (s.handle.load(std::memory_order_acquire) != handle) return nullptr;
    return s.object.load(std::memory_order_relaxed);
  }

  // Deletes the object; false for a handle that is not live. The object is deleted after
  // the lock is released, so a slow destructor holds up no other add or remove.
  bool remove(Handle handle) {
    if (handle == 0) return false;
    std::unique_ptr<T> doomed;
    {
      std::lock_guard<std::mutex> lock(changes_);
      Slot& s = slots_[handle & (kSlots - 1)];
      if (s.handle.load(std::memory_order_relaxed) != handle) return false;
      s.handle.store(0, std::memory_order_release);
      doomed.reset(s.object.exchange(nullptr, std::memory_order_relaxed));
    }
    return true;
  }

  // Deletes every live object; their handles stay invalid for good.
  void clear() {
    for (Slot& s : slots_) remove(s.handle.load(std::memory_order_acquire));
  }

 private:
  struct Slot {
    std::atomic<Handle> handle{0};  // 0 while the slot is free
    std::atomic<T*> object{nullptr};
    Handle generation = 0;  // changed under the mutex only
  };

  std::array<Slot, kSlots> slots_{};
  std::mutex changes_;
};

}  // namespace vexa
