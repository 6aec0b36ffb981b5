#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vexa::boardemu {

// What a board emulator received and did, shared between its thread and the
// test that looks at it.
class Recording {
 public:
  void addReceived(std::uint8_t byte);
  void note(const std::string& event);
  void setImage(const std::string& name, std::vector<std::uint8_t> bytes);

  std::vector<std::uint8_t> received() const;
  std::vector<std::string> events() const;
  bool hasEvent(const std::string& event) const;
  std::size_t countEvent(const std::string& event) const;
  // The bytes stored under the name; empty when there are none.
  std::vector<std::uint8_t> image(const std::string& name) const;
  bool hasImage(const std::string& name) const;

  // Waits until the event has been noted; false after the time-out.
  bool waitForEvent(const std::string& event, std::chrono::milliseconds timeout) const;

  void clear();

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::uint8_t> received_;
  std::vector<std::string> events_;
  std::map<std::string, std::vector<std::uint8_t>> images_;
};

}  // namespace vexa::boardemu
