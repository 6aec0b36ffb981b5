#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct pollfd;
struct termios;

namespace vexa::platform {

class CancelSignal;

// Device of port number N ("COM" N): the value of the environment variable
// VEXA_COM<N> when it is set and not empty, else /dev/ttyS<N-1>. Empty for N < 1.
std::string serialDevicePath(int portNumber);

// Time-outs in milliseconds, in the manner of a serial driver:
// - a read ends when all bytes arrived, when the total time
//   (readTotalMultiplierMs * count + readTotalConstantMs) has passed since the
//   call, or when readIntervalMs passed after a byte without the next one;
// - when both total values are 0, the read waits at most readIntervalMs for the
//   first byte as well, and with all three 0 it returns only what is waiting;
// - a write must finish within writeTotalMultiplierMs * count +
//   writeTotalConstantMs; with both 0 it gets the time the bytes need on the
//   line at the current speed plus one second.
struct SerialTimeouts {
  std::uint32_t readIntervalMs = 0;
  std::uint32_t readTotalMultiplierMs = 0;
  std::uint32_t readTotalConstantMs = 0;
  std::uint32_t writeTotalMultiplierMs = 0;
  std::uint32_t writeTotalConstantMs = 0;
};

// Outcome of a read or write: the bytes transferred and the errno value of a
// failure (0 when the call succeeded). A read that times out succeeds with
// fewer bytes; a write that could not send everything fails. A call ended by
// SerialPort::cancel() fails with ECANCELED.
struct IoResult {
  std::size_t count = 0;
  int error = 0;
  bool ok() const { return error == 0; }
  bool cancelled() const { return error == ECANCELED; }
};

// The line settings of an open port. Read them, change the format, write them
// back: fields that the format does not touch keep the values read.
class LineSettings {
 public:
  // 8 data bits, no parity, one stop bit, raw bytes, no flow control, no
  // modem hang-up on close. False for a speed the layer does not offer.
  bool setRaw8N1(std::uint32_t baud);
  // The output speed in baud, 0 when it is none of the offered speeds.
  std::uint32_t baud() const;

  static bool isSupportedBaud(std::uint32_t baud);

 private:
  friend class SerialPort;
  termios attributes() const;
  void setAttributes(const termios& t);
  // The driver's attribute record (termios), copied in and out by the source
  // file so that this header does not pull in the system's terminal header.
  unsigned char attributes_[64]{};
};

// One serial device opened exclusively for reading and writing. Every failed
// call leaves its errno value in lastError(); the port stays open until
// close() or destruction, so the caller decides what a failure ends.
class SerialPort {
 public:
  SerialPort();
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  SerialPort(SerialPort&& other) noexcept;
  SerialPort& operator=(SerialPort&& other) noexcept;

  // Opens an existing device and claims it exclusively; input received
  // before the open is discarded. Closes a port that was open before.
  bool open(const std::string& devicePath);
  bool openPort(int portNumber) { return open(serialDevicePath(portNumber)); }
  // Works on a descriptor opened elsewhere (one handed over through a library
  // boundary, say) without owning it: close() and destruction leave it open,
  // with the file status flags it had (the port needs it non-blocking).
  bool attach(int descriptor);
  // Releases the exclusive claim and closes; harmless when not open. An
  // attached descriptor is only let go.
  void close();
  bool isOpen() const { return fd_ >= 0; }
  int nativeHandle() const { return fd_; }
  const std::string& devicePath() const { return path_; }

  bool getLine(LineSettings& settings);
  bool setLine(const LineSettings& settings);
  // Read the line settings, set the 8N1 raw format at this speed, write them.
  bool configure(std::uint32_t baud);

  void setTimeouts(const SerialTimeouts& timeouts) { timeouts_ = timeouts; }
  const SerialTimeouts& timeouts() const { return timeouts_; }

  // Reads up to count bytes within the time-outs. A hang-up of the other side
  // is an error (EIO), not an empty read.
  IoResult read(void* buffer, std::size_t count);
  // Writes all count bytes within the write time-out, else fails.
  IoResult write(const void* data, std::size_t count);
  // Waits until the written bytes have left.
  bool drain();
  // Discards bytes received and not yet read.
  bool discardInput();
  // Reads and throws away single bytes, each read with the read time-outs,
  // until one read brings none or limit bytes are gone: a line that never
  // goes quiet cannot hold the caller. The count is what was thrown away.
  IoResult skipUntilQuiet(std::size_t limit);

  // Raises (true) or drops (false) the DTR and RTS modem lines. Fails with
  // ENOTTY on a line without modem control, such as a pseudo-terminal.
  bool setModemLines(bool dtr, bool rts);

  // Ends a read or write in progress from any thread: it fails with
  // ECANCELED, and so does every read and write after it until
  // resetCancel(). The port stays open. A moved-from port has no signal:
  // cancel() does nothing there.
  void cancel();
  void resetCancel();
  bool cancelRequested() const;
  // The signal behind cancel(), for callers that wait on it between calls.
  CancelSignal* cancelSignal() const { return cancel_.get(); }

  int lastError() const { return lastError_; }

 private:
  bool fail(int error);
  int waitFor(::pollfd& port, int timeoutMs) const;
  int fd_ = -1;
  bool owned_ = false;
  int attachedFlags_ = -1;  // the flags to give back on letting go, -1: none
  std::string path_;
  SerialTimeouts timeouts_{};
  std::uint32_t baud_ = 0;
  int lastError_ = 0;
  std::unique_ptr<CancelSignal> cancel_;
};

}  // namespace vexa::platform
