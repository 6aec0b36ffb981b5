#include "vexa/download/Engine.h"

#include <stdexcept>

namespace vexa::download {

namespace {

// a * b / c rounded to the nearest integer.
std::size_t mulDiv(std::size_t a, std::size_t b, std::size_t c) { return (a * b + c / 2) / c; }

}  // namespace

Engine::Engine(const EngineTexts& texts, platform::Clock& clock)
    : texts_(texts), link_(texts, clock) {}

void Engine::setPortIndex(int index) {
  if (index < 0 || index > 3 || index == portIndex_) return;
  closePort();
  portIndex_ = index;
}

void Engine::closePort() {
  link_.close();
  linkMode_ = 0;
}

void Engine::setLinkMode(int mode) {
  if (mode == linkMode()) return;
  closePort();
  if (mode != 1 && mode != 2) return;
  if (!link_.openPort(portIndex_ + 1)) return;
  if (!link_.setup(mode == 1 ? kSlowLink : kFastLink)) return;
  linkMode_ = mode;
}

std::string Engine::queryInfo(std::uint8_t command) {
  link_.resetCancel();
  setLinkMode(1);
  if (linkMode() != 1) return {};
  if (!link_.writeByte(command)) return {};
  char reply[kMaxInfoReply];
  std::size_t received = 0;
  link_.read(reply, sizeof reply, received);
  return std::string(reply, received);
}

// The unit's one-byte answer to an erase or the handshake; its value does not matter.
bool Engine::readOneAnswer() {
  std::uint8_t answer = 0;
  std::size_t received = 0;
  return link_.readAnswer(&answer, 1, received);
}

// A failed operation leaves no port open: the next one starts afresh.
bool Engine::closeOnFailure(bool done) {
  if (!done) closePort();
  return done;
}

bool Engine::downloadUserProgram(const std::vector<std::uint8_t>& image, bool hex) {
  if (image.empty() || (!hex && image.size() < kVMCHeaderSize)) {
    throw std::invalid_argument("user program image too short to send");
  }
  link_.resetCancel();
  return closeOnFailure(sendUserProgram(image, hex));
}

bool Engine::sendUserProgram(const std::vector<std::uint8_t>& image, bool hex) {
  setLinkMode(1);
  if (linkMode() != 1) return false;
  if (!link_.writeByte(cmdSwitchSpeed)) return false;
  setLinkMode(2);
  if (linkMode() != 2) return false;
  link_.report(MessageKind::Progress, texts_.erasingFlash());
  if (!link_.writeByte(hex ? cmdEraseHex : cmdEraseVMC)) return false;
  if (!link_.wait(hex ? 1000 : 2500)) return false;
  if (!readOneAnswer()) return false;

  const std::size_t size = image.size();
  link_.report(MessageKind::Progress,
               texts_.sendingUserProgram(hex ? mulDiv(size, kVMCBlockSize, kHexRecordSize)
                                             : size - kVMCHeaderSize));
  if (!link_.writeByte(hex ? cmdLoadHex : cmdLoadVMC)) return false;
  if (!link_.wait(500) || !link_.progress(0, size)) return false;

  if (hex) {
    if (!link_.sendBlocks(image.data(), size, 0, kHexRecordSize, true)) return false;
  } else {
    // The header (byte and word count) goes first, without a progress call.
    if (!link_.writeEchoed(image.data(), kVMCHeaderSize)) return false;
    if (!link_.sendBlocks(image.data(), size, kVMCHeaderSize, kVMCBlockSize, true)) return false;
  }

  link_.report(MessageKind::Progress, texts_.done());
  if (!link_.writeByte(cmdEndLoad)) return false;
  setLinkMode(1);
  return linkMode() == 1;
}

bool Engine::zapOS(const std::vector<std::uint8_t>& boot, const std::vector<std::uint8_t>& os) {
  if (boot.empty() || os.empty()) throw std::invalid_argument("bootloader or OS image empty");
  link_.resetCancel();
  return closeOnFailure(sendOS(boot, os));
}

bool Engine::sendOS(const std::vector<std::uint8_t>& boot, const std::vector<std::uint8_t>& os) {
  setLinkMode(2);
  if (linkMode() != 2) return false;
  link_.report(MessageKind::Progress, texts_.connecting());
  if (!link_.writeByte(cmdIdentify)) return false;
  if (!link_.wait(1250)) return false;
  if (!readOneAnswer() || !link_.drain(kMaxDrainBytes, kMaxDrainMs)) return false;

  // The bootloader goes out in plain blocks; the unit does not echo them.
  link_.report(MessageKind::Progress, texts_.sendingBootloader(boot.size()));
  if (!link_.progress(0, boot.size())) return false;
  if (!link_.sendBlocks(boot.data(), boot.size(), 0, kBootBlockSize, false)) return false;
  link_.report(MessageKind::Progress, texts_.done());
  link_.report(MessageKind::Progress, texts_.erasingFlash());
  if (!link_.wait(3000)) return false;

  link_.report(MessageKind::Progress,
               texts_.sendingOS(mulDiv(os.size(), kVMCBlockSize, kHexRecordSize)));
  if (!link_.progress(0, os.size())) return false;
  if (!link_.sendBlocks(os.data(), os.size(), 0, kHexRecordSize, true)) return false;
  link_.report(MessageKind::Progress, texts_.done());
  return true;
}

}  // namespace vexa::download
