#include "HandleRegistry.h"

namespace vxbasic {

HandleRegistry& HandleRegistry::global() {
    static HandleRegistry registry;
    return registry;
}

void HandleRegistry::add(QuorinInstance* instance) {
    std::lock_guard lock(mutex_);
    live_.insert(instance);
}

bool HandleRegistry::remove(QuorinInstance* instance) {
    std::lock_guard lock(mutex_);
    return live_.erase(instance) != 0;
}

QuorinInstance* HandleRegistry::find(const void* handle) const {
    if (!handle) return nullptr;
    std::lock_guard lock(mutex_);
    if (live_.count(handle) == 0) return nullptr;
    return static_cast<QuorinInstance*>(const_cast<void*>(handle));
}

}  // namespace vxbasic
