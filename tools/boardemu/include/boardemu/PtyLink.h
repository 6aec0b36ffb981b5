#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexa::boardemu {

// The board's end of a pseudo-terminal. The host opens path() as its serial
// device. A second descriptor on the terminal side stays open for the whole
// life of the link, so the host may close and reopen the device, and so the
// board can see the line speed the host has set.
class PtyLink {
 public:
  PtyLink() = default;
  ~PtyLink();
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  // False (with errno in error()) when no pseudo-terminal can be opened.
  bool open();
  bool isOpen() const { return master_ >= 0; }
  const std::string& path() const { return path_; }
  int error() const { return error_; }

  // Up to count bytes that arrived within timeoutMs; 0 on time-out, -1 when
  // the link is closed or broken.
  long receive(std::uint8_t* buffer, std::size_t count, int timeoutMs);
  // Writes without blocking; returns the bytes taken (0 when the host's input
  // is full), -1 when the link is closed or broken.
  long send(const std::uint8_t* data, std::size_t count);

  // The speed the host has set on the line, in baud; 0 when unknown.
  std::uint32_t lineBaud() const;

  // Closes the board's end: the host sees a hang-up.
  void hangUp();
  void close();

 private:
  int master_ = -1;
  int holder_ = -1;
  int error_ = 0;
  std::string path_;
};

}  // namespace vexa::boardemu
