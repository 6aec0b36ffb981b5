#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/SerialPort.h"
#include "vx2dl/Messages.h"

namespace vexa::vx2dl {

enum class MessageKind : int { Progress = 0, Error = 1, FileLoading = 2 };

// Ends an operation after a reader reported its error; carries no text.
class DownloadAborted : public std::exception {
 public:
  const char* what() const noexcept override { return "aborted"; }
};

// One parsed Intel HEX line.
struct HexRecord {
  std::int32_t recordType = 0;
  std::uint8_t addressHigh = 0;
  std::uint8_t addressLow = 0;
  std::uint8_t count = 0;
  std::uint8_t data[32] = {};
};

// 0 valid, -1 too short, 1 no leading ':', other values: invalid data (the
// 1-based position of the first character that is no hex digit, 2 for a count
// above 32, 9 for an unknown record type).
int ParseHexLine(std::string_view line, HexRecord& record);

// The download engine of the second-generation board: one serial port, the
// bootloader, operating-system and user-program images, and the protocol.
// Every failure is reported once through OnMessage (kind Error); a failed
// read, write or operation leaves the port closed, so the next one reopens it.
class TVX2Downloader {
 public:
  static constexpr std::uint8_t cmdIdentify = 0x00;
  static constexpr std::uint8_t cmdInfo1 = 0x01;
  static constexpr std::uint8_t cmdInfo2 = 0x02;
  static constexpr std::uint8_t cmdLoadVMC = 0x04;
  static constexpr std::uint8_t cmdLoadHex = 0x05;
  static constexpr std::uint8_t cmdEraseVMC = 0x06;
  static constexpr std::uint8_t cmdEraseHex = 0x07;
  static constexpr std::uint8_t cmdSwitchSpeed = 0x08;
  static constexpr std::uint8_t cmdEndLoad = 0x09;

  static constexpr std::size_t kMaxReplyBlock = 128;
  static constexpr std::size_t kMaxInfoReply = 32;
  // A chattering unit cannot keep the handshake drain going longer than this.
  static constexpr std::size_t kMaxDrainBytes = 1024;
  static constexpr std::uint32_t kMaxDrainMs = 3000;

  using WaitHandler = std::function<void(TVX2Downloader& sender, std::uint32_t milliseconds, bool& cancel)>;
  using MessageHandler = std::function<void(TVX2Downloader& sender, MessageKind kind, const std::string& text)>;
  using ProgressHandler =
      std::function<void(TVX2Downloader& sender, std::size_t position, std::size_t total, bool& cancel)>;

  TVX2Downloader();
  virtual ~TVX2Downloader();
  TVX2Downloader(const TVX2Downloader&) = delete;
  TVX2Downloader& operator=(const TVX2Downloader&) = delete;

  unsigned char Language() const { return language_; }
  void SetLanguage(unsigned char language) { language_ = language == kGerman ? kGerman : kEnglish; }

  int PortIndex() const { return portIndex_; }
  void SetPortIndex(int index);
  std::string PortName() const;

  int LinkMode() const { return linkMode_; }
  void SetLinkMode(int mode);
  void ClosePort();

  // Count read (fewer when the time-outs expired); a failed read is reported
  // and closes the port.
  std::size_t ReadCOM(void* buffer, std::size_t count);
  bool WriteCOM(const void* data, std::size_t count);
  // Writes a block and checks that the unit echoes it unchanged.
  bool WriteCOMReply(const std::uint8_t* block, std::size_t count);

  // The reply to cmdIdentify, cmdInfo1 or cmdInfo2: the bytes as received.
  std::string QueryInfo(std::uint8_t command);
  bool ZapOS();
  bool DownloadUserProgram();

  // Readers: false with the "not found" message for a missing file; any other
  // error is reported and ends the operation with DownloadAborted.
  bool LoadBootHex(const std::string& fileName);
  bool LoadOSHex(const std::string& fileName);
  bool LoadUserProgram(const std::string& fileName);

  bool UserProgramIsHex() const { return userProgramIsHex_; }
  const std::vector<std::uint8_t>& BootImage() const { return bootImage_; }
  const std::vector<std::uint8_t>& OSImage() const { return osImage_; }
  const std::vector<std::uint8_t>& ProgramImage() const { return programImage_; }

  WaitHandler OnWait;
  MessageHandler OnMessage;
  ProgressHandler OnProgress;

 protected:
  void Message(MessageKind kind, const std::string& text);
  template <typename... Args>
  void Report(MessageKind kind, MessageId id, Args... args) {
    Message(kind, formatMessage(language_, id, args...));
  }
  // True when the wait was cancelled.
  bool Wait(std::uint32_t milliseconds);
  // False when the transfer is to be cancelled.
  bool Progress(std::size_t position, std::size_t total);

 private:
  // Reads with failure status: false after a reported read error.
  bool ReadChecked(void* buffer, std::size_t count, std::size_t& received);
  bool WriteByte(std::uint8_t byte) { return WriteCOM(&byte, 1); }
  bool Cancelled();
  bool SendBlocks(const std::vector<std::uint8_t>& image, std::size_t sent, std::size_t blockSize, bool echoed);
  bool ReadAnswer();
  bool CloseOnFailure(bool done);
  bool DrainHandshake();
  bool SendUserProgram();
  bool SendOS();

  enum class HexTarget { Boot, Records };
  bool LoadHexFile(const std::string& fileName, HexTarget target, std::vector<std::uint8_t>& image);
  void ReadHexLines(const std::string& fileName, const std::vector<std::string>& lines, HexTarget target,
                    std::vector<std::uint8_t>& image);
  void ReadVMCLines(const std::vector<std::string>& lines);
  [[noreturn]] void Abort();
  // Missing: false after the "not found" message; unreadable or empty: abort.
  bool ReadLines(const std::string& fileName, std::vector<std::string>& lines);

  unsigned char language_;
  int portIndex_ = 1;
  vexa::platform::SerialPort port_;
  int linkMode_ = 0;
  bool userProgramIsHex_ = false;
  std::vector<std::uint8_t> bootImage_;
  std::vector<std::uint8_t> osImage_;
  std::vector<std::uint8_t> programImage_;
};

}  // namespace vexa::vx2dl
