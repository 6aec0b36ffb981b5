#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "boardemu/BoardEmulator.h"

namespace vexa::boardemu {

inline constexpr char kFirstGenBanner[] = "VEXAN-BASIC Version 1.1 (20.12.96)\r";

// The first-generation board's side of the download: answers the greeting
// 0x01 with its banner, then takes 0x02 with a two-byte code length and the
// code, and 0x08 with a one-byte system-code length and the system code,
// echoing lengths and bytes. Images are recorded as "code" and "syscode",
// each with the event "<name> done"; a greeting notes "greeting at <baud>".
class FirstGenBoard final : public BoardEmulator {
 public:
  explicit FirstGenBoard(std::string banner = kFirstGenBanner, FaultOptions faults = {})
      : BoardEmulator(faults), banner_(std::move(banner)) {}
  ~FirstGenBoard() override { stop(); }

 protected:
  void onByte(std::uint8_t byte, std::uint32_t lineBaud) override;

 private:
  enum class State { Idle, CodeLengthHigh, CodeLengthLow, Code, SysLength, SysCode };
  // Echoes a length byte; a length of 0 ends the image at once.
  void takeLength(std::size_t length, State next);
  void take(std::vector<std::uint8_t>& image, const char* name, std::uint8_t byte);

  std::string banner_;
  State state_ = State::Idle;
  std::size_t remaining_ = 0;
  std::vector<std::uint8_t> code_;
  std::vector<std::uint8_t> sysCode_;
};

}  // namespace vexa::boardemu
