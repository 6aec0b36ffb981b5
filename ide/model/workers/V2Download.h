#pragma once

// The IDE's download of a built program into the second-generation board:
// one open of "COM<n>", the speed switched on the open port, a connection
// test, a fixed erase wait and the image in echoed blocks. Every step is
// reported as a German status text; a failure ends the download with its
// text and the port is closed in every case.

#include "vexa/download/Link.h"
#include "vexa/platform/Clock.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vexa::ide {

class TV2Download {
 public:
  using StatusHandler = std::function<void(const QString& Text)>;

  // Line settings of both speeds (the same read time-outs at both).
  static constexpr std::uint32_t kSlowBaud = 19200;
  static constexpr std::uint32_t kFastBaud = 57600;
  static constexpr platform::SerialTimeouts kTimeouts{1000, 10, 1000, 0, 0};
  static constexpr std::uint32_t kSwitchPauseMs = 10;
  static constexpr std::size_t kIdentifyReplySize = 16;
  static constexpr int kEraseSteps = 25;
  static constexpr std::uint32_t kEraseStepMs = 100;
  static constexpr std::uint32_t kReportIntervalMs = 500;

  // Clock: waits and the progress reports' time stamps.
  explicit TV2Download(platform::Clock& Clock = platform::SystemClock::instance());
  ~TV2Download();
  TV2Download(const TV2Download&) = delete;
  TV2Download& operator=(const TV2Download&) = delete;

  // Sends the binary VMC image to the board on port "COM<Port>" (the device
  // as the serial layer names it). True when the whole image went out. An
  // image without even its header is never sent: the port stays shut.
  bool Run(int Port, const std::vector<std::uint8_t>& Image);

  // From any thread: ends the running download at its next step, a blocked
  // read or wait included, and every later one; no status text follows.
  void Cancel() { link_.cancel(); }

  // Every status text, on the thread that runs Run().
  StatusHandler OnStatus;

 private:
  bool Transfer(int Port, const std::vector<std::uint8_t>& Image);
  void Status(const QString& Text);

  std::unique_ptr<download::LinkTexts> texts_;
  platform::Clock& clock_;
  download::Link link_;
};

// Whether the serial layer can open "COM<Port>" now; the port is closed again
// at once. A port another program holds is not available.
bool SerialPortAvailable(int Port);

// The ports among COM1..COM<Count> the serial layer can open now, ascending.
std::vector<int> OpenableSerialPorts(int Count);

}  // namespace vexa::ide
