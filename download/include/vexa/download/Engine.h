#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vexa/download/Link.h"

namespace vexa::download {

// The second-generation board's download operations on one of the ports
// COM1..COM4: link modes (0 closed, 1 slow, 2 fast), the information
// queries, a user program into a unit in HOST mode and a new operating
// system into a unit in BOOT mode. Messages, waits and progress go through
// link()'s hooks. Every operation starts by clearing an earlier cancel; a
// failed one leaves the port closed, so the next one reopens it.
class Engine {
 public:
  // A chattering unit cannot keep the handshake drain going longer than this.
  static constexpr std::size_t kMaxDrainBytes = 1024;
  static constexpr std::uint32_t kMaxDrainMs = 3000;

  explicit Engine(const EngineTexts& texts,
                  platform::Clock& clock = platform::SystemClock::instance());

  Link& link() { return link_; }

  int portIndex() const { return portIndex_; }
  // 0..3; another index closes the port. Others are ignored.
  void setPortIndex(int index);
  std::string portName() const { return "COM" + std::to_string(portIndex_ + 1); }

  int linkMode() const { return link_.isOpen() ? linkMode_ : 0; }
  // The same mode keeps the port; another closes it and opens it anew.
  void setLinkMode(int mode);
  void closePort();

  // The reply to cmdIdentify, cmdInfo1 or cmdInfo2 as received (at most
  // kMaxInfoReply bytes); empty after a failure.
  std::string queryInfo(std::uint8_t command);
  // image: a binary VMC image (header and blocks) or, for hex, 35-byte
  // records ending in the 2-byte end mark. An image too short for its kind
  // is a programming error (std::invalid_argument).
  bool downloadUserProgram(const std::vector<std::uint8_t>& image, bool hex);
  // boot: the bootloader, sent without echo; os: 35-byte records and end mark.
  bool zapOS(const std::vector<std::uint8_t>& boot, const std::vector<std::uint8_t>& os);

  // From any thread: ends the running operation as cancelled, a blocked
  // read or wait included.
  void cancel() { link_.cancel(); }

 private:
  bool closeOnFailure(bool done);
  bool sendUserProgram(const std::vector<std::uint8_t>& image, bool hex);
  bool sendOS(const std::vector<std::uint8_t>& boot, const std::vector<std::uint8_t>& os);
  bool readOneAnswer();

  const EngineTexts& texts_;
  Link link_;
  int portIndex_ = 1;
  int linkMode_ = 0;
};

}  // namespace vexa::download
