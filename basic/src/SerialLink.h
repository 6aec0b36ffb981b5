// The serial line as the download sees it, and its implementation on the
// caller's open terminal descriptor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vxbasic {

struct LinkResult {
    std::size_t count = 0;
    bool ok = true;
};

class SerialLink {
public:
    virtual ~SerialLink() = default;
    // 9600 baud, 8 data bits, no parity, one stop bit, raw, no flow control;
    // other settings as read. False when the line cannot be set.
    virtual bool configure() = 0;
    // A read of n bytes ends when they arrived or after
    // perByteMs * n + constantMs.
    virtual void setReadTimeouts(uint32_t perByteMs, uint32_t constantMs) = 0;
    virtual LinkResult read(uint8_t* buffer, std::size_t count) = 0;
    virtual LinkResult write(const uint8_t* data, std::size_t count) = 0;
};

// Works on a descriptor the caller opened and will close.
class FdSerialLink final : public SerialLink {
public:
    explicit FdSerialLink(int fd) : fd_(fd) {}
    bool configure() override;
    void setReadTimeouts(uint32_t perByteMs, uint32_t constantMs) override {
        perByteMs_ = perByteMs;
        constantMs_ = constantMs;
    }
    LinkResult read(uint8_t* buffer, std::size_t count) override;
    LinkResult write(const uint8_t* data, std::size_t count) override;

private:
    int fd_;
    uint32_t perByteMs_ = 0;
    uint32_t constantMs_ = 0;
};

}  // namespace vxbasic
