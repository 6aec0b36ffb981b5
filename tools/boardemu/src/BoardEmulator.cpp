#include "boardemu/BoardEmulator.h"

#include <algorithm>

namespace vexa::boardemu {

namespace {
constexpr int kTurnMs = 2;
}

BoardEmulator::BoardEmulator(FaultOptions faults) : faults_(faults) {}

BoardEmulator::~BoardEmulator() {
  // A derived board is already gone here: it must stop in its own destructor.
  stop();
}

bool BoardEmulator::start() {
  if (thread_.joinable()) return true;
  if (!link_.open()) return false;
  stop_ = false;
  thread_ = std::thread([this] { run(); });
  return true;
}

void BoardEmulator::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  link_.close();
}

void BoardEmulator::reply(const std::vector<std::uint8_t>& bytes, std::uint32_t delayMs) {
  if (faults_.kind == FaultKind::NoAnswer) return;
  std::uint32_t delay = delayMs;
  if (faults_.kind == FaultKind::SlowAnswer) delay += faults_.delayMs;
  const Clock::time_point due = Clock::now() + std::chrono::milliseconds(delay);
  for (std::uint8_t byte : bytes) output_.push_back({due, byte});
}

void BoardEmulator::reply(const std::string& text, std::uint32_t delayMs) {
  reply(std::vector<std::uint8_t>(text.begin(), text.end()), delayMs);
}

void BoardEmulator::echo(std::uint8_t byte) {
  const std::size_t index = echoCount_++;
  if (index == faults_.at) {
    if (faults_.kind == FaultKind::DropEcho) {
      note("echo dropped");
      return;
    }
    if (faults_.kind == FaultKind::WrongEcho) {
      note("echo changed");
      byte = static_cast<std::uint8_t>(byte ^ 0xFF);
    }
  }
  reply(std::vector<std::uint8_t>{byte});
}

void BoardEmulator::take(std::uint8_t byte) {
  recording_.addReceived(byte);
  const std::size_t index = receivedCount_++;
  if (faults_.kind == FaultKind::Chatter) chattering_ = true;
  onByte(byte, link_.lineBaud());
  if (faults_.kind == FaultKind::HangUp && index == faults_.at) {
    note("hang-up");
    link_.hangUp();
  }
}

void BoardEmulator::flush(Clock::time_point now) {
  std::vector<std::uint8_t> due;
  for (const Pending& pending : output_) {
    if (pending.due > now) break;
    due.push_back(pending.byte);
  }
  if (due.empty()) return;
  const long sent = link_.send(due.data(), due.size());
  if (sent > 0) output_.erase(output_.begin(), output_.begin() + sent);
}

void BoardEmulator::chatter() {
  static constexpr std::uint8_t kNoise[16] = {'?', 0x55, 0xAA, 0x00, 'x',  0xFF, 0x13, 0x11,
                                              'v', 'x',  '2',  0x0D, 0x0A, 0x7E, 0x80, 0x01};
  link_.send(kNoise, sizeof kNoise);
}

void BoardEmulator::run() {
  std::uint8_t buffer[512];
  while (!stop_) {
    Clock::time_point now = Clock::now();
    flush(now);
    if (chattering_) chatter();
    int timeoutMs = kTurnMs;
    if (!output_.empty()) {
      const auto untilDue =
          std::chrono::ceil<std::chrono::milliseconds>(output_.front().due - now).count();
      timeoutMs = static_cast<int>(std::clamp<long long>(untilDue, 0, kTurnMs));
    }
    if (!link_.isOpen()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kTurnMs));
      continue;
    }
    const long n = link_.receive(buffer, sizeof buffer, chattering_ ? 1 : timeoutMs);
    for (long i = 0; i < n && link_.isOpen(); ++i) take(buffer[i]);
    onTick(Clock::now());
  }
}

}  // namespace vexa::boardemu
