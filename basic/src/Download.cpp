#include "Download.h"

#include <cstring>

#include "QuorinInstance.h"
#include "vexa/platform/SerialPort.h"

namespace vexa::vxbasic {

namespace {

using vexa::platform::IoResult;
using vexa::platform::SerialPort;

constexpr int32_t kBadBanner = -1;
constexpr int32_t kWriteFailed = -2;
constexpr int32_t kReadFailed = -3;
constexpr int32_t kBadEcho = -4;

constexpr uint8_t kGreeting = 0x01;
constexpr uint8_t kStartCode = 0x02;
constexpr uint8_t kStartSysCode = 0x08;
constexpr std::size_t kBannerLength = 35;
constexpr char kBannerStart[] = "VEXAN-BASIC";
// A board that keeps sending cannot hold the download in its drain.
constexpr int kDrainLimit = 4096;

struct Failure {
  int32_t code;
};

class Transfer {
 public:
  Transfer(SerialPort& port, std::atomic<uint16_t>& progress, uint32_t total)
      : port_(port), progress_(progress), total_(total) {}

  void writeByte(uint8_t byte) {
    IoResult r = port_.write(&byte, 1);
    if (!r.ok() || r.count == 0) throw Failure{kWriteFailed};
  }

  void sendWithEcho(uint8_t byte) {
    writeByte(byte);
    uint8_t echo = 0;
    IoResult r = port_.read(&echo, 1);
    if (!r.ok() || r.count == 0) throw Failure{kReadFailed};
    if (echo != byte) throw Failure{kBadEcho};
  }

  void sendCounted(uint8_t byte) {
    sendWithEcho(byte);
    ++sent_;
    progress_.store(static_cast<uint16_t>(uint64_t{sent_} * 100 / total_));
  }

  int32_t sent() const { return static_cast<int32_t>(sent_); }

 private:
  SerialPort& port_;
  std::atomic<uint16_t>& progress_;
  uint32_t total_;
  uint32_t sent_ = 0;
};

void greet(SerialPort& port, Transfer& transfer) {
  // What the board sent before is no answer; a failing line shows at the
  // greeting.
  port.skipUntilQuiet(kDrainLimit);
  transfer.writeByte(kGreeting);
  uint8_t banner[kBannerLength];
  IoResult r = port.read(banner, kBannerLength);
  if (!r.ok() || r.count == 0) throw Failure{kReadFailed};
  if (r.count < kBannerLength) throw Failure{kBadBanner};
  if (std::memcmp(banner, kBannerStart, sizeof kBannerStart - 1) != 0) throw Failure{kBadBanner};
}

}  // namespace

int32_t download(const DownloadImage& image, int descriptor, std::atomic<uint16_t>& progress,
                 DownloadTimeouts timeouts) {
  progress.store(0);
  SerialPort port;
  if (!port.attach(descriptor)) return kWriteFailed;
  const uint32_t total = uint32_t{image.codeLength} + image.sysCodeLength;
  Transfer transfer(port, progress, total);
  try {
    // The line stays as the caller set it when it cannot be changed. DTR
    // and RTS are not driven for the board; a line without modem control
    // (a pseudo-terminal) has none to drop.
    port.configure(9600);
    port.setModemLines(false, false);
    // Writes get the time the bytes need on the line plus a second.
    port.setTimeouts({0, timeouts.perByteMs, timeouts.constantMs, 0, 0});
    greet(port, transfer);
    transfer.writeByte(kStartCode);
    transfer.sendWithEcho(static_cast<uint8_t>(image.codeLength >> 8));
    transfer.sendWithEcho(static_cast<uint8_t>(image.codeLength));
    for (uint16_t i = 0; i < image.codeLength; ++i) transfer.sendCounted(image.code[i]);
    if (image.sysCodeLength != 0) {
      transfer.writeByte(kStartSysCode);
      transfer.sendWithEcho(static_cast<uint8_t>(image.sysCodeLength));
      for (uint16_t i = 0; i < image.sysCodeLength; ++i) transfer.sendCounted(image.sysCode[i]);
    }
    return transfer.sent();
  } catch (const Failure& f) {
    return f.code;
  }
}

}  // namespace vexa::vxbasic
