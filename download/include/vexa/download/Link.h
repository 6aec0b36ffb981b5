#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "vexa/download/Protocol.h"
#include "vexa/download/Texts.h"
#include "vexa/platform/Clock.h"
#include "vexa/platform/SerialPort.h"

namespace vexa::download {

// One serial link to a board and the steps a download dialogue is made of.
// Every step that fails reports one error message through onMessage and
// returns false; a failed open, set-up, read or write (a cancelled one too)
// leaves the link closed. The hooks are called on the thread that runs the
// steps; cancel() may come from any thread and wakes a blocked read, write
// or wait.
class Link {
 public:
  using MessageHandler = std::function<void(MessageKind kind, const std::string& text)>;
  // Replaces the sleep of wait(); setting cancel ends the dialogue.
  using WaitHandler = std::function<void(std::uint32_t milliseconds, bool& cancel)>;
  // Called after each block; setting cancel ends the dialogue.
  using ProgressHandler =
      std::function<void(std::size_t position, std::size_t total, bool& cancel)>;

  explicit Link(const LinkTexts& texts, platform::Clock& clock = platform::SystemClock::instance());
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Opens the device; portName names it in messages ("COM2").
  bool open(const std::string& portName, const std::string& devicePath);
  // Opens "COM<n>" at serialDevicePath(n).
  bool openPort(int portNumber);
  // Raw 8N1 at the speed with the time-outs, on the open port. Called again
  // on an open port, it changes the speed without reopening.
  bool setup(std::uint32_t baud, const platform::SerialTimeouts& timeouts);
  bool setup(const LinkSettings& settings) { return setup(settings.baud, settings.timeouts); }
  void close() { port_.close(); }
  bool isOpen() const { return port_.isOpen(); }
  const std::string& portName() const { return portName_; }

  // Up to count bytes within the read time-outs; received may be short.
  bool read(void* buffer, std::size_t count, std::size_t& received);
  // All count bytes, else the write fails.
  bool write(const void* data, std::size_t count);
  bool writeByte(std::uint8_t byte) { return write(&byte, 1); }
  // Writes the block and checks that the board echoes it unchanged. A block
  // above kMaxEchoBlock bytes is a programming error (std::logic_error).
  bool writeEchoed(const std::uint8_t* block, std::size_t count);
  // A reply of 1 to count bytes; none within the time-outs is "no answer".
  bool readAnswer(void* buffer, std::size_t count, std::size_t& received);
  // Throws away what the board still sends, until one read brings nothing,
  // maxBytes are gone or maxMs have passed.
  bool drain(std::size_t maxBytes, std::uint32_t maxMs);
  // Sends image[from..] in blocks of blockSize, echoed or plain, with a
  // progress call (position, image size) after each full block; the rest goes
  // as one block, then the final progress call (size, size).
  bool sendBlocks(const std::uint8_t* image, std::size_t size, std::size_t from,
                  std::size_t blockSize, bool echoed);

  // A protocol wait through onWait, else a sleep on the clock that a cancel
  // ends; false (after the message) when cancelled.
  bool wait(std::uint32_t milliseconds);
  // onProgress; false (after the message) when cancelled.
  bool progress(std::size_t position, std::size_t total);
  void report(MessageKind kind, const std::string& text);
  // Reports the cancel; always false.
  bool cancelled();

  // From any thread: the running step and every later one fails as
  // cancelled, until resetCancel().
  void cancel() { port_.cancel(); }
  void resetCancel() { port_.resetCancel(); }
  bool cancelRequested() const { return port_.cancelRequested(); }

  platform::Clock& clock() { return clock_; }
  const LinkTexts& texts() const { return texts_; }
  platform::SerialPort& port() { return port_; }

  MessageHandler onMessage;
  WaitHandler onWait;
  ProgressHandler onProgress;

 private:
  bool fail(const std::string& text);

  const LinkTexts& texts_;
  platform::Clock& clock_;
  platform::SerialPort port_;
  std::string portName_;
};

}  // namespace vexa::download
