#include "boardemu/FirstGenBoard.h"

namespace vexa::boardemu {

void FirstGenBoard::takeLength(std::size_t length, State next) {
  remaining_ = length;
  state_ = remaining_ != 0 ? next : State::Idle;
}

void FirstGenBoard::take(std::vector<std::uint8_t>& image, const char* name, std::uint8_t byte) {
  echo(byte);
  image.push_back(byte);
  if (--remaining_ == 0) {
    recording().setImage(name, image);
    note(std::string(name) + " done");
    state_ = State::Idle;
  }
}

void FirstGenBoard::onByte(std::uint8_t byte, std::uint32_t lineBaud) {
  switch (state_) {
    case State::Idle:
      if (byte == 0x01) {
        note("greeting at " + std::to_string(lineBaud));
        reply(banner_);
      } else if (byte == 0x02) {
        state_ = State::CodeLengthHigh;
      } else if (byte == 0x08) {
        state_ = State::SysLength;
      }
      break;
    case State::CodeLengthHigh:
      echo(byte);
      remaining_ = std::size_t{byte} << 8;
      state_ = State::CodeLengthLow;
      break;
    case State::CodeLengthLow:
      echo(byte);
      code_.clear();
      takeLength(remaining_ | byte, State::Code);
      break;
    case State::Code: take(code_, "code", byte); break;
    case State::SysLength:
      echo(byte);
      sysCode_.clear();
      takeLength(byte, State::SysCode);
      break;
    case State::SysCode: take(sysCode_, "syscode", byte); break;
  }
}

}  // namespace vexa::boardemu
