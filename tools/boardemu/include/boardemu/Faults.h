#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vexa::boardemu {

enum class FaultKind {
  None,
  NoAnswer,    // receives everything, sends nothing
  SlowAnswer,  // every byte it sends leaves delayMs late
  WrongEcho,   // echoed byte number `at` comes back changed
  DropEcho,    // echoed byte number `at` is not sent
  HangUp,      // the line goes dead after received byte number `at`
  Chatter,     // after the first byte received, sends without end
};

struct FaultOptions {
  FaultKind kind = FaultKind::None;
  std::size_t at = 0;         // 0-based byte number the fault hits
  std::uint32_t delayMs = 0;  // for SlowAnswer
};

// Names as the emulator program takes them: none, no-answer, slow,
// wrong-echo, drop-echo, hang-up, chatter.
std::optional<FaultKind> parseFaultKind(const std::string& name);
const char* faultKindName(FaultKind kind);

}  // namespace vexa::boardemu
