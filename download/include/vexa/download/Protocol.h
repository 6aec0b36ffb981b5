#pragma once

#include <cstddef>
#include <cstdint>

#include "vexa/platform/SerialPort.h"

namespace vexa::download {

// What a message is about, as the caller shows it.
enum class MessageKind : int { Progress = 0, Error = 1, FileLoading = 2 };

// Command bytes of the second-generation board.
inline constexpr std::uint8_t cmdIdentify = 0x00;
inline constexpr std::uint8_t cmdInfo1 = 0x01;
inline constexpr std::uint8_t cmdInfo2 = 0x02;
inline constexpr std::uint8_t cmdLoadVMC = 0x04;
inline constexpr std::uint8_t cmdLoadHex = 0x05;
inline constexpr std::uint8_t cmdEraseVMC = 0x06;
inline constexpr std::uint8_t cmdEraseHex = 0x07;
inline constexpr std::uint8_t cmdSwitchSpeed = 0x08;
inline constexpr std::uint8_t cmdEndLoad = 0x09;

// The largest block the board echoes in one piece.
inline constexpr std::size_t kMaxEchoBlock = 128;
// The longest reply to an information query.
inline constexpr std::size_t kMaxInfoReply = 32;
// Sizes of what goes out: the VMC header, its blocks, and one HEX record.
inline constexpr std::size_t kVMCHeaderSize = 8;
inline constexpr std::size_t kVMCBlockSize = 32;
inline constexpr std::size_t kHexRecordSize = 35;
inline constexpr std::size_t kBootBlockSize = 32;

// A line speed with its read time-outs.
struct LinkSettings {
  std::uint32_t baud;
  platform::SerialTimeouts timeouts;
};

// Link mode 1: commands and queries; link mode 2: the transfers.
inline constexpr LinkSettings kSlowLink{19200, {100, 10, 100, 0, 0}};
inline constexpr LinkSettings kFastLink{57600, {1000, 10, 1000, 0, 0}};

}  // namespace vexa::download
