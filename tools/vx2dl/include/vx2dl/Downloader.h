#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/download/Engine.h"
#include "vexa/platform/Clock.h"
#include "vx2dl/Messages.h"

namespace vexa::vx2dl {

using MessageKind = vexa::download::MessageKind;

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

// The downloader of the second-generation board: the protocol engine with
// this program's texts, and the bootloader, operating-system and
// user-program images with their readers. Every failure is reported once
// through OnMessage (kind Error); a failed read, write or operation leaves
// the port closed, so the next one reopens it.
class TVX2Downloader {
 public:
  static constexpr std::uint8_t cmdIdentify = vexa::download::cmdIdentify;
  static constexpr std::uint8_t cmdInfo1 = vexa::download::cmdInfo1;
  static constexpr std::uint8_t cmdInfo2 = vexa::download::cmdInfo2;
  static constexpr std::uint8_t cmdLoadVMC = vexa::download::cmdLoadVMC;
  static constexpr std::uint8_t cmdLoadHex = vexa::download::cmdLoadHex;
  static constexpr std::uint8_t cmdEraseVMC = vexa::download::cmdEraseVMC;
  static constexpr std::uint8_t cmdEraseHex = vexa::download::cmdEraseHex;
  static constexpr std::uint8_t cmdSwitchSpeed = vexa::download::cmdSwitchSpeed;
  static constexpr std::uint8_t cmdEndLoad = vexa::download::cmdEndLoad;

  static constexpr std::size_t kMaxReplyBlock = vexa::download::kMaxEchoBlock;
  static constexpr std::size_t kMaxInfoReply = vexa::download::kMaxInfoReply;

  using WaitHandler =
      std::function<void(TVX2Downloader& sender, std::uint32_t milliseconds, bool& cancel)>;
  using MessageHandler =
      std::function<void(TVX2Downloader& sender, MessageKind kind, const std::string& text)>;
  using ProgressHandler = std::function<void(TVX2Downloader& sender, std::size_t position,
                                             std::size_t total, bool& cancel)>;

  // Without OnWait, the protocol's waits sleep on the clock.
  explicit TVX2Downloader(vexa::platform::Clock& clock = vexa::platform::SystemClock::instance());
  virtual ~TVX2Downloader();
  TVX2Downloader(const TVX2Downloader&) = delete;
  TVX2Downloader& operator=(const TVX2Downloader&) = delete;

  unsigned char Language() const { return language_; }
  void SetLanguage(unsigned char language);

  int PortIndex() const { return engine_.portIndex(); }
  void SetPortIndex(int index) { engine_.setPortIndex(index); }
  std::string PortName() const { return engine_.portName(); }

  int LinkMode() const { return engine_.linkMode(); }
  void SetLinkMode(int mode);
  void ClosePort() { engine_.closePort(); }

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
  // From any thread: ends the running operation with the cancel message,
  // waking a read or wait that blocks it.
  void Cancel() { engine_.cancel(); }

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

 private:
  // Hands the handlers set now to the engine.
  void ConnectHandlers();

  enum class HexTarget { Boot, Records };
  bool LoadHexFile(const std::string& fileName, HexTarget target, std::vector<std::uint8_t>& image);
  void ReadHexLines(const std::string& fileName, const std::vector<std::string>& lines,
                    HexTarget target, std::vector<std::uint8_t>& image);
  void ReadVMCLines(const std::vector<std::string>& lines);
  [[noreturn]] void Abort();
  // Missing: false after the "not found" message; unreadable or empty: abort.
  bool ReadLines(const std::string& fileName, std::vector<std::string>& lines);

  unsigned char language_;
  EngineMessages texts_;
  vexa::download::Engine engine_;
  bool userProgramIsHex_ = false;
  std::vector<std::uint8_t> bootImage_;
  std::vector<std::uint8_t> osImage_;
  std::vector<std::uint8_t> programImage_;
};

}  // namespace vexa::vx2dl
