// Where compiler messages go: a caller's buffer or an error file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vexa::vx2 {

class MessageStream {
 public:
  // Writes into the buffer from its first byte; the text stays NUL-terminated inside it.
  MessageStream(char* buffer, uint32_t size);
  // Creates or truncates the file; line ends are written as CR LF.
  explicit MessageStream(const std::string& fileName);
  ~MessageStream();
  MessageStream(const MessageStream&) = delete;
  MessageStream& operator=(const MessageStream&) = delete;

  bool good() const { return good_; }
  void write(std::string_view text);
  // The terminating NUL character that ends each call's text.
  void writeNul();
  void flush();

 private:
  char* buffer_ = nullptr;
  uint32_t size_ = 0;
  uint32_t used_ = 0;
  FILE* file_ = nullptr;
  bool good_ = false;
};

}  // namespace vexa::vx2
