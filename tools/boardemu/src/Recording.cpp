#include "boardemu/Recording.h"

#include <algorithm>

namespace vexa::boardemu {

void Recording::addReceived(std::uint8_t byte) {
  std::lock_guard lock(mutex_);
  received_.push_back(byte);
}

void Recording::note(const std::string& event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  changed_.notify_all();
}

void Recording::setImage(const std::string& name, std::vector<std::uint8_t> bytes) {
  {
    std::lock_guard lock(mutex_);
    images_[name] = std::move(bytes);
  }
  changed_.notify_all();
}

std::vector<std::uint8_t> Recording::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::string> Recording::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

bool Recording::hasEvent(const std::string& event) const { return countEvent(event) > 0; }

std::size_t Recording::countEvent(const std::string& event) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count(events_.begin(), events_.end(), event));
}

std::vector<std::uint8_t> Recording::image(const std::string& name) const {
  std::lock_guard lock(mutex_);
  const auto it = images_.find(name);
  return it == images_.end() ? std::vector<std::uint8_t>{} : it->second;
}

bool Recording::hasImage(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return images_.count(name) != 0;
}

bool Recording::waitForEvent(const std::string& event, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    return std::find(events_.begin(), events_.end(), event) != events_.end();
  });
}

void Recording::clear() {
  std::lock_guard lock(mutex_);
  received_.clear();
  events_.clear();
  images_.clear();
}

}  // namespace vexa::boardemu
