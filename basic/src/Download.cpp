#include "Download.h"

#include <cstring>

#include "QuorinInstance.h"

namespace vxbasic {

namespace {

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
    Transfer(SerialLink& link, std::atomic<uint16_t>& progress, uint32_t total)
        : link_(link), progress_(progress), total_(total) {}

    void writeByte(uint8_t byte) {
        LinkResult r = link_.write(&byte, 1);
        if (!r.ok || r.count == 0) throw Failure{kWriteFailed};
    }

    void sendWithEcho(uint8_t byte) {
        writeByte(byte);
        uint8_t echo = 0;
        LinkResult r = link_.read(&echo, 1);
        if (!r.ok || r.count == 0) throw Failure{kReadFailed};
        if (echo != byte) throw Failure{kBadEcho};
    }

    void sendCounted(uint8_t byte) {
        sendWithEcho(byte);
        ++sent_;
        progress_.store(static_cast<uint16_t>(uint64_t{sent_} * 100 / total_));
    }

    int32_t sent() const { return static_cast<int32_t>(sent_); }

private:
    SerialLink& link_;
    std::atomic<uint16_t>& progress_;
    uint32_t total_;
    uint32_t sent_ = 0;
};

void greet(SerialLink& link, Transfer& transfer) {
    uint8_t byte;
    for (int i = 0; i < kDrainLimit; ++i) {
        LinkResult r = link.read(&byte, 1);
        if (!r.ok || r.count == 0) break;
    }
    transfer.writeByte(kGreeting);
    uint8_t banner[kBannerLength];
    LinkResult r = link.read(banner, kBannerLength);
    if (!r.ok || r.count == 0) throw Failure{kReadFailed};
    if (r.count < kBannerLength) throw Failure{kBadBanner};
    if (std::memcmp(banner, kBannerStart, sizeof kBannerStart - 1) != 0) throw Failure{kBadBanner};
}

}  // namespace

int32_t download(const DownloadImage& image, SerialLink& link, std::atomic<uint16_t>& progress,
                 DownloadTimeouts timeouts) {
    progress.store(0);
    const uint32_t total = uint32_t{image.codeLength} + image.sysCodeLength;
    Transfer transfer(link, progress, total);
    try {
        // The line stays as the caller set it when it cannot be changed.
        link.configure();
        link.setReadTimeouts(timeouts.perByteMs, timeouts.constantMs);
        greet(link, transfer);
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

}  // namespace vxbasic
