#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "boardemu/Faults.h"
#include "boardemu/PtyLink.h"
#include "boardemu/Recording.h"

namespace vexa::boardemu {

// Runs a board's side of a serial protocol on its own thread over a
// pseudo-terminal: receives and records bytes, sends replies and echoes at
// their due time, and applies the injected fault. A board model derives from
// it and implements onByte (and onTick for timed behaviour).
class BoardEmulator {
 public:
  using Clock = std::chrono::steady_clock;

  explicit BoardEmulator(FaultOptions faults = {});
  virtual ~BoardEmulator();
  BoardEmulator(const BoardEmulator&) = delete;
  BoardEmulator& operator=(const BoardEmulator&) = delete;

  // Opens the pseudo-terminal and starts the thread; false when no
  // pseudo-terminal can be opened (see linkError()).
  bool start();
  void stop();
  const std::string& path() const { return link_.path(); }
  int linkError() const { return link_.error(); }

  Recording& recording() { return recording_; }
  const Recording& recording() const { return recording_; }

 protected:
  // One byte from the host, with the line speed the host had set when the
  // board took the byte.
  virtual void onByte(std::uint8_t byte, std::uint32_t lineBaud) = 0;
  // Called on every turn of the loop, at least every few milliseconds.
  virtual void onTick(Clock::time_point) {}

  // Queues bytes to send after delayMs (plus the slow-answer delay).
  void reply(const std::vector<std::uint8_t>& bytes, std::uint32_t delayMs = 0);
  void reply(const std::string& text, std::uint32_t delayMs = 0);
  // Sends the byte back as an echo, subject to the echo faults.
  void echo(std::uint8_t byte);
  void note(const std::string& event) { recording_.note(event); }

 private:
  struct Pending {
    Clock::time_point due;
    std::uint8_t byte;
  };
  void run();
  void take(std::uint8_t byte);
  void flush(Clock::time_point now);
  void chatter();

  FaultOptions faults_;
  PtyLink link_;
  Recording recording_;
  std::deque<Pending> output_;
  std::size_t receivedCount_ = 0;
  std::size_t echoCount_ = 0;
  bool chattering_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vexa::boardemu
