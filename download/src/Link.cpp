#include "vexa/download/Link.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "vexa/platform/CancelSignal.h"

namespace vexa::download {

Link::Link(const LinkTexts& texts, platform::Clock& clock) : texts_(texts), clock_(clock) {}

void Link::report(MessageKind kind, const std::string& text) {
  if (onMessage) onMessage(kind, text);
}

bool Link::fail(const std::string& text) {
  report(MessageKind::Error, text);
  return false;
}

bool Link::cancelled() { return fail(texts_.canceled()); }

bool Link::open(const std::string& portName, const std::string& devicePath) {
  portName_ = portName;
  if (!port_.open(devicePath)) return fail(texts_.cannotOpen(portName_, port_.lastError()));
  return true;
}

bool Link::openPort(int portNumber) {
  return open("COM" + std::to_string(portNumber), platform::serialDevicePath(portNumber));
}

bool Link::setup(std::uint32_t baud, const platform::SerialTimeouts& timeouts) {
  platform::LineSettings line;
  if (!port_.getLine(line)) {
    const int error = port_.isOpen() ? port_.lastError() : EBADF;
    close();
    return fail(texts_.cannotSetup(portName_, "GetCommState()", error));
  }
  // A speed the line does not offer must not leave the old one in place.
  if (!line.setRaw8N1(baud) || !port_.setLine(line)) {
    const int error = port_.lastError() != 0 && port_.isOpen() ? port_.lastError() : EINVAL;
    close();
    return fail(texts_.cannotSetup(portName_, "SetCommState()", error));
  }
  port_.setTimeouts(timeouts);
  return true;
}

bool Link::read(void* buffer, std::size_t count, std::size_t& received) {
  received = 0;
  if (!port_.isOpen()) return fail(texts_.readError(EBADF));
  const platform::IoResult result = port_.read(buffer, count);
  received = result.count;
  if (result.ok()) return true;
  close();
  return result.cancelled() ? cancelled() : fail(texts_.readError(result.error));
}

bool Link::write(const void* data, std::size_t count) {
  if (!port_.isOpen()) return fail(texts_.writeError(EBADF));
  const platform::IoResult result = port_.write(data, count);
  if (result.ok() && result.count == count) return true;
  close();
  if (result.cancelled()) return cancelled();
  return fail(texts_.writeError(result.error != 0 ? result.error : EIO));
}

bool Link::writeEchoed(const std::uint8_t* block, std::size_t count) {
  if (count > kMaxEchoBlock) {
    throw std::logic_error("echo block of " + std::to_string(count) + " bytes is above the limit");
  }
  if (!write(block, count)) return false;
  std::uint8_t reply[kMaxEchoBlock];
  std::size_t received = 0;
  if (!read(reply, count, received)) return false;
  if (received != count) return fail(texts_.truncatedReply(received, count));
  if (std::memcmp(reply, block, count) != 0) return fail(texts_.replyDifferent());
  return true;
}

bool Link::readAnswer(void* buffer, std::size_t count, std::size_t& received) {
  if (!read(buffer, count, received)) return false;
  return received != 0 || fail(texts_.noAnswer());
}

bool Link::drain(std::size_t maxBytes, std::uint32_t maxMs) {
  const std::uint32_t start = clock_.milliseconds();
  for (std::size_t drained = 0; drained < maxBytes; ++drained) {
    std::uint8_t byte = 0;
    std::size_t received = 0;
    if (!read(&byte, 1, received)) return false;
    // Unsigned difference: right across the counter's wrap-around.
    if (received == 0 || clock_.milliseconds() - start >= maxMs) break;
  }
  return true;
}

bool Link::sendBlocks(const std::uint8_t* image, std::size_t size, std::size_t from,
                      std::size_t blockSize, bool echoed) {
  if (blockSize == 0) throw std::logic_error("block size 0");
  std::size_t sent = from;
  auto send = [&](std::size_t count) {
    return echoed ? writeEchoed(image + sent, count) : write(image + sent, count);
  };
  while (size > sent && size - sent >= blockSize) {
    if (!send(blockSize)) return false;
    sent += blockSize;
    if (!progress(sent, size)) return false;
  }
  if (sent < size && !send(size - sent)) return false;
  return progress(size, size);
}

bool Link::wait(std::uint32_t milliseconds) {
  if (cancelRequested()) return cancelled();
  if (onWait) {
    bool cancel = false;
    onWait(milliseconds, cancel);
    if (cancel || cancelRequested()) return cancelled();
    return true;
  }
  if (clock_.sleepCancellable(milliseconds, *port_.cancelSignal())) return cancelled();
  return true;
}

bool Link::progress(std::size_t position, std::size_t total) {
  bool cancel = false;
  if (onProgress) onProgress(position, total, cancel);
  if (cancel || cancelRequested()) return cancelled();
  return true;
}

}  // namespace vexa::download
