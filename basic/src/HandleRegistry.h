// The live instances, so that every export can check the handle it gets.
#pragma once

#include <mutex>
#include <unordered_set>

#include "QuorinInstance.h"

namespace vxbasic {

class HandleRegistry {
public:
    static HandleRegistry& global();
    void add(QuorinInstance* instance);
    // Removes and returns true when the instance was live.
    bool remove(QuorinInstance* instance);
    QuorinInstance* find(const void* handle) const;

private:
    mutable std::mutex mutex_;
    std::unordered_set<const void*> live_;
};

}  // namespace vxbasic
