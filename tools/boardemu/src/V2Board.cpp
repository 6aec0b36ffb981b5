#include "boardemu/V2Board.h"

#include <cstdio>

namespace vexa::boardemu {

namespace {

constexpr std::uint32_t kSlow = 19200;
constexpr std::uint32_t kFast = 57600;

std::string hexByte(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

V2Board::V2Board(V2BoardOptions options, FaultOptions faults)
    : BoardEmulator(faults),
      options_(std::move(options)),
      state_(options_.mode == V2Mode::Boot ? State::BootIdle : State::HostSlow) {}

V2Board::~V2Board() { stop(); }

void V2Board::onByte(std::uint8_t byte, std::uint32_t lineBaud) {
  if (options_.mode == V2Mode::Host) {
    hostByte(byte, lineBaud);
  } else {
    bootByte(byte, lineBaud);
  }
}

bool V2Board::speedIs(std::uint32_t lineBaud, std::uint32_t expected, std::uint8_t byte) {
  if (!options_.checkSpeed || lineBaud == expected) return true;
  note("ignored " + hexByte(byte) + " at " + std::to_string(lineBaud) + " baud");
  return false;
}

bool V2Board::recordByte(std::uint8_t byte, const char* image, const char* event) {
  echo(byte);
  image_.push_back(byte);
  const bool end = image_.size() % 35 == 2 && image_[image_.size() - 2] == 0xFF && byte == 0xFF;
  if (end) finishImage(image, event);
  return end;
}

void V2Board::finishImage(const char* image, const char* event) {
  recording().setImage(image, image_);
  note(event);
}

void V2Board::hostByte(std::uint8_t byte, std::uint32_t lineBaud) {
  switch (state_) {
    case State::HostSlow:
      switch (byte) {
        case 0x00:
        case 0x01:
        case 0x02:
          if (!speedIs(lineBaud, kSlow, byte)) return;
          note(byte == 0x00 ? "identify" : byte == 0x01 ? "info1" : "info2");
          reply(byte == 0x00   ? options_.identifyReply
                : byte == 0x01 ? options_.info1Reply
                               : options_.info2Reply);
          return;
        case 0x08:
          note("switch-speed");
          state_ = State::HostFast;
          return;
        default: note("ignored " + hexByte(byte)); return;
      }
    case State::HostFast:
    case State::Erased:
      switch (byte) {
        case 0x00:
          if (!speedIs(lineBaud, kFast, byte)) return;
          note("identify");
          reply(options_.identifyReply);
          return;
        case 0x06:
        case 0x07:
          if (!speedIs(lineBaud, kFast, byte)) return;
          note(byte == 0x06 ? "erase-vmc" : "erase-hex");
          reply(std::vector<std::uint8_t>{byte}, options_.eraseMs);
          state_ = State::Erased;
          return;
        case 0x04:
        case 0x05:
          if (state_ != State::Erased) {
            note("load without erase");
            return;
          }
          note(byte == 0x04 ? "load-vmc" : "load-hex");
          image_.clear();
          expectedSize_ = 8;
          state_ = byte == 0x04 ? State::LoadVMC : State::LoadHex;
          return;
        case 0x09:
          note("end-load");
          state_ = State::HostSlow;
          return;
        default: note("ignored " + hexByte(byte)); return;
      }
    case State::LoadVMC:
      echo(byte);
      image_.push_back(byte);
      if (image_.size() == 8) {
        std::uint32_t bytes = 0, words = 0;
        for (int i = 0; i < 4; ++i) {
          bytes |= static_cast<std::uint32_t>(image_[i]) << (8 * i);
          words |= static_cast<std::uint32_t>(image_[4 + i]) << (8 * i);
        }
        expectedSize_ = 8 + static_cast<std::size_t>(bytes) + 2 * static_cast<std::size_t>(words);
      }
      if (image_.size() >= 8 && image_.size() == expectedSize_) {
        finishImage("program", "program-vmc");
        state_ = State::HostFast;
      }
      return;
    case State::LoadHex:
      if (recordByte(byte, "program", "program-hex")) state_ = State::HostFast;
      return;
    default: return;
  }
}

void V2Board::bootByte(std::uint8_t byte, std::uint32_t lineBaud) {
  switch (state_) {
    case State::BootIdle:
      if (byte != 0x00) {
        note("ignored " + hexByte(byte));
        return;
      }
      if (!speedIs(lineBaud, kFast, byte)) return;
      note("identify");
      reply(options_.bootIdentifyReply);
      image_.clear();
      state_ = State::BootLoader;
      return;
    case State::BootLoader:
      image_.push_back(byte);
      lastBootByte_ = Clock::now();
      if (options_.bootSize != 0 && image_.size() == options_.bootSize) finishBootLoader();
      return;
    case State::BootOS:
      if (recordByte(byte, "os", "os-complete")) state_ = State::BootIdle;
      return;
    default: return;
  }
}

void V2Board::finishBootLoader() {
  finishImage("boot", "boot-complete");
  image_.clear();
  state_ = State::BootOS;
}

void V2Board::onTick(Clock::time_point now) {
  if (state_ == State::BootLoader && options_.bootSize == 0 && !image_.empty() &&
      now - lastBootByte_ >= std::chrono::milliseconds(options_.bootGapMs)) {
    finishBootLoader();
  }
}

}  // namespace vexa::boardemu
