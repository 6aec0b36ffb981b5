#include "vx2dl/Downloader.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "vexa/platform/Language.h"

namespace vexa::vx2dl {

namespace {

struct LinkSettings {
  std::uint32_t baud;
  vexa::platform::SerialTimeouts timeouts;
};

LinkSettings linkSettings(int mode) {
  if (mode == 1) return {19200, {100, 10, 100, 0, 0}};
  return {57600, {1000, 10, 1000, 0, 0}};
}

// a * b / c rounded to the nearest integer.
std::size_t mulDiv(std::size_t a, std::size_t b, std::size_t c) { return (a * b + c / 2) / c; }

}  // namespace

TVX2Downloader::TVX2Downloader()
    : language_(vexa::platform::systemLanguage() == vexa::platform::Language::German ? kGerman : kEnglish) {}

TVX2Downloader::~TVX2Downloader() { ClosePort(); }

std::string TVX2Downloader::PortName() const { return "COM" + std::to_string(portIndex_ + 1); }

void TVX2Downloader::SetPortIndex(int index) {
  if (index < 0 || index > 3 || index == portIndex_) return;
  ClosePort();
  portIndex_ = index;
}

void TVX2Downloader::ClosePort() {
  port_.close();
  linkMode_ = 0;
}

void TVX2Downloader::SetLinkMode(int mode) {
  if (mode == linkMode_) return;
  ClosePort();
  if (mode != 1 && mode != 2) return;
  const std::string name = PortName();
  if (!port_.openPort(portIndex_ + 1)) {
    Report(MessageKind::Error, kCannotOpen, name.c_str(), port_.lastError());
    return;
  }
  vexa::platform::LineSettings line;
  if (!port_.getLine(line)) {
    Report(MessageKind::Error, kCannotSetup, name.c_str(), "GetCommState()", port_.lastError());
    ClosePort();
    return;
  }
  const LinkSettings settings = linkSettings(mode);
  line.setRaw8N1(settings.baud);
  if (!port_.setLine(line)) {
    Report(MessageKind::Error, kCannotSetup, name.c_str(), "SetCommState()", port_.lastError());
    ClosePort();
    return;
  }
  port_.setTimeouts(settings.timeouts);
  linkMode_ = mode;
}

void TVX2Downloader::Message(MessageKind kind, const std::string& text) {
  if (OnMessage) OnMessage(*this, kind, text);
}

bool TVX2Downloader::Wait(std::uint32_t milliseconds) {
  if (OnWait) {
    bool cancel = false;
    OnWait(*this, milliseconds, cancel);
    return cancel;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return false;
}

bool TVX2Downloader::Progress(std::size_t position, std::size_t total) {
  if (!OnProgress) return true;
  bool cancel = false;
  OnProgress(*this, position, total, cancel);
  return !cancel;
}

bool TVX2Downloader::Cancelled() {
  Report(MessageKind::Error, kCanceled);
  return false;
}

bool TVX2Downloader::ReadChecked(void* buffer, std::size_t count, std::size_t& received) {
  received = 0;
  if (!port_.isOpen()) {
    Report(MessageKind::Error, kReadError, EBADF);
    return false;
  }
  const vexa::platform::IoResult result = port_.read(buffer, count);
  received = result.count;
  if (!result.ok()) {
    Report(MessageKind::Error, kReadError, result.error);
    ClosePort();
    return false;
  }
  return true;
}

std::size_t TVX2Downloader::ReadCOM(void* buffer, std::size_t count) {
  std::size_t received = 0;
  ReadChecked(buffer, count, received);
  return received;
}

bool TVX2Downloader::WriteCOM(const void* data, std::size_t count) {
  if (!port_.isOpen()) {
    Report(MessageKind::Error, kWriteError, EBADF);
    return false;
  }
  const vexa::platform::IoResult result = port_.write(data, count);
  if (result.ok() && result.count == count) return true;
  Report(MessageKind::Error, kWriteError, result.error != 0 ? result.error : EIO);
  ClosePort();
  return false;
}

bool TVX2Downloader::WriteCOMReply(const std::uint8_t* block, std::size_t count) {
  if (count > kMaxReplyBlock) throw std::logic_error("Internal error in TVX2Downloader.WriteCOMReply");
  if (!WriteCOM(block, count)) return false;
  std::uint8_t reply[kMaxReplyBlock];
  std::size_t received = 0;
  if (!ReadChecked(reply, count, received)) return false;
  if (received != count) {
    Report(MessageKind::Error, kTruncatedReply, static_cast<int>(received), static_cast<int>(count));
    return false;
  }
  if (std::memcmp(reply, block, count) != 0) {
    Report(MessageKind::Error, kReplyDifferent);
    return false;
  }
  return true;
}

std::string TVX2Downloader::QueryInfo(std::uint8_t command) {
  SetLinkMode(1);
  if (linkMode_ != 1) return {};
  if (!WriteByte(command)) return {};
  char reply[kMaxInfoReply];
  std::size_t received = 0;
  ReadChecked(reply, sizeof reply, received);
  return std::string(reply, received);
}

// Blocks of blockSize from sent on, each followed by a progress call, then
// the remainder as one block and the final progress call.
bool TVX2Downloader::SendBlocks(const std::vector<std::uint8_t>& image, std::size_t sent, std::size_t blockSize,
                                bool echoed) {
  const std::size_t size = image.size();
  auto send = [&](std::size_t count) {
    return echoed ? WriteCOMReply(image.data() + sent, count) : WriteCOM(image.data() + sent, count);
  };
  while (size - sent >= blockSize) {
    if (!send(blockSize)) return false;
    sent += blockSize;
    if (!Progress(sent, size)) return Cancelled();
  }
  if (sent < size && !send(size - sent)) return false;
  if (!Progress(size, size)) return Cancelled();
  return true;
}

// The unit's one-byte answer to an erase or the handshake; its value does not matter.
bool TVX2Downloader::ReadAnswer() {
  std::uint8_t answer = 0;
  std::size_t received = 0;
  if (!ReadChecked(&answer, 1, received)) return false;
  if (received != 0) return true;
  Report(MessageKind::Error, kNoAnswer);
  return false;
}

// A failed operation leaves no port open: the next one starts afresh.
bool TVX2Downloader::CloseOnFailure(bool done) {
  if (!done) ClosePort();
  return done;
}

bool TVX2Downloader::DownloadUserProgram() { return CloseOnFailure(SendUserProgram()); }

bool TVX2Downloader::SendUserProgram() {
  const bool hex = userProgramIsHex_;
  // The readers never leave a shorter image; a VMC image has its 8-byte header.
  if (programImage_.empty() || (!hex && programImage_.size() < 8)) {
    Message(MessageKind::Error, "Internal error in TVX2Downloader.DownloadUserProgram: no program loaded");
    return false;
  }
  SetLinkMode(1);
  if (linkMode_ != 1) return false;
  if (!WriteByte(cmdSwitchSpeed)) return false;
  SetLinkMode(2);
  if (linkMode_ != 2) return false;
  Report(MessageKind::Progress, kErasingFlash);
  if (!WriteByte(hex ? cmdEraseHex : cmdEraseVMC)) return false;
  if (Wait(hex ? 1000 : 2500)) return Cancelled();
  if (!ReadAnswer()) return false;

  const std::vector<std::uint8_t>& image = programImage_;
  const std::size_t size = image.size();
  Report(MessageKind::Progress, kSendingUserProgram, static_cast<int>(hex ? mulDiv(size, 32, 35) : size - 8));
  if (!WriteByte(hex ? cmdLoadHex : cmdLoadVMC)) return false;
  if (Wait(500) || !Progress(0, size)) return Cancelled();

  if (hex) {
    if (!SendBlocks(image, 0, 35, true)) return false;
  } else {
    // The header (byte and word count) goes first, without a progress call.
    if (!WriteCOMReply(image.data(), 8)) return false;
    if (!SendBlocks(image, 8, 32, true)) return false;
  }

  Message(MessageKind::Progress, "OK");
  if (!WriteByte(cmdEndLoad)) return false;
  SetLinkMode(1);
  return linkMode_ == 1;
}

// Discards the rest of the unit's answer to the handshake. A unit that never
// stops sending ends the drain after a bounded count and time.
bool TVX2Downloader::DrainHandshake() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMaxDrainMs);
  for (std::size_t drained = 0; drained < kMaxDrainBytes; ++drained) {
    std::uint8_t byte = 0;
    std::size_t received = 0;
    if (!ReadChecked(&byte, 1, received)) return false;
    if (received == 0 || std::chrono::steady_clock::now() >= deadline) break;
  }
  return true;
}

bool TVX2Downloader::ZapOS() { return CloseOnFailure(SendOS()); }

bool TVX2Downloader::SendOS() {
  if (bootImage_.empty() || osImage_.empty()) {
    Message(MessageKind::Error, "Internal error in TVX2Downloader.ZapOS: no image loaded");
    return false;
  }
  SetLinkMode(2);
  if (linkMode_ != 2) return false;
  Report(MessageKind::Progress, kConnecting);
  if (!WriteByte(cmdIdentify)) return false;
  if (Wait(1250)) return Cancelled();
  if (!ReadAnswer() || !DrainHandshake()) return false;

  // The bootloader goes out in plain blocks; the unit does not echo them.
  Report(MessageKind::Progress, kSendingBootloader, static_cast<int>(bootImage_.size()));
  if (!Progress(0, bootImage_.size())) return Cancelled();
  if (!SendBlocks(bootImage_, 0, 32, false)) return false;
  Message(MessageKind::Progress, "OK");
  Report(MessageKind::Progress, kErasingFlash);
  if (Wait(3000)) return Cancelled();

  Report(MessageKind::Progress, kSendingOS, static_cast<int>(mulDiv(osImage_.size(), 32, 35)));
  if (!Progress(0, osImage_.size())) return Cancelled();
  if (!SendBlocks(osImage_, 0, 35, true)) return false;
  Message(MessageKind::Progress, "OK");
  return true;
}

}  // namespace vexa::vx2dl
