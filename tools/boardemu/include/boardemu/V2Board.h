#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "boardemu/BoardEmulator.h"

namespace vexa::boardemu {

enum class V2Mode { Host, Boot };

struct V2BoardOptions {
  V2Mode mode = V2Mode::Host;
  std::string identifyReply = "VX2 HOST";
  std::string info1Reply = "OS 1.00";
  std::string info2Reply = "SN 0001";
  std::string bootIdentifyReply = "VX2 BOOT";
  std::uint32_t eraseMs = 20;     // until the one-byte answer to an erase
  std::size_t bootSize = 0;       // bootloader bytes to expect; 0: end at a pause
  std::uint32_t bootGapMs = 500;  // the pause that ends the bootloader when bootSize is 0
  // Commands that want an answer are ignored when the line runs at another
  // speed than the board's (as garbage on a real line would be).
  bool checkSpeed = true;
};

// The second-generation board's side of the download protocol.
// Images are recorded as "program" (with the event "program-vmc" or
// "program-hex"), "boot" and "os"; events name each command taken.
class V2Board : public BoardEmulator {
 public:
  explicit V2Board(V2BoardOptions options = {}, FaultOptions faults = {});
  ~V2Board() override;

 protected:
  void onByte(std::uint8_t byte, std::uint32_t lineBaud) override;
  void onTick(Clock::time_point now) override;

 private:
  enum class State {
    HostSlow,    // HOST mode at 19200 baud
    HostFast,    // HOST mode at 57600 baud
    Erased,      // flash erased, a load command may follow
    LoadVMC,     // receiving a VMC image with echo
    LoadHex,     // receiving 35-byte records with echo
    BootIdle,    // BOOT mode, waiting for the handshake
    BootLoader,  // receiving the bootloader without echo
    BootOS,      // receiving the OS records with echo
  };
  void hostByte(std::uint8_t byte, std::uint32_t lineBaud);
  void bootByte(std::uint8_t byte, std::uint32_t lineBaud);
  bool speedIs(std::uint32_t lineBaud, std::uint32_t expected, std::uint8_t byte);
  // Echoes and appends a byte of a 35-byte record stream; when the end mark
  // completes it, records the image under its name with the event and
  // returns true.
  bool recordByte(std::uint8_t byte, const char* image, const char* event);
  void finishImage(const char* image, const char* event);
  void finishBootLoader();

  V2BoardOptions options_;
  State state_;
  std::vector<std::uint8_t> image_;
  std::size_t expectedSize_ = 0;
  Clock::time_point lastBootByte_{};
};

}  // namespace vexa::boardemu
