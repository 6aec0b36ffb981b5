// The first-generation board's side of the download, on the board emulator:
// answers the greeting with its banner and echoes the lengths and bytes.
// The code is recorded as the image "code", the system code as "syscode".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "boardemu/BoardEmulator.h"

namespace vxbasic::test {

class FirstGenBoard final : public vexa::boardemu::BoardEmulator {
public:
    explicit FirstGenBoard(std::string banner = "VEXAN-BASIC Version 1.1 (20.12.96)\r",
                           vexa::boardemu::FaultOptions faults = {})
        : BoardEmulator(faults), banner_(std::move(banner)) {}
    ~FirstGenBoard() override { stop(); }

protected:
    void onByte(std::uint8_t byte, std::uint32_t lineBaud) override;

private:
    enum class State { Idle, CodeLengthHigh, CodeLengthLow, Code, SysLength, SysCode };
    void take(std::vector<std::uint8_t>& image, const char* name, std::uint8_t byte);

    std::string banner_;
    State state_ = State::Idle;
    std::size_t remaining_ = 0;
    std::vector<std::uint8_t> code_;
    std::vector<std::uint8_t> sysCode_;
};

}  // namespace vxbasic::test
