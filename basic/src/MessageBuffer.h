// The caller's buffer for compiler message lines.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::vxbasic {

class MessageBuffer {
 public:
  // Remembers the buffer and fills it with 0. A null buffer or a size of
  // 0 leaves no room for any message.
  void set(char* buffer, std::size_t size);
  // Starts a new compile: nothing used, the text empty.
  void clear();
  // Appends one message line, cut so that the buffer stays NUL-terminated.
  // Returns whether room is left afterwards.
  bool write(int line, const std::string& text);
  std::size_t used() const { return used_; }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::size_t used_ = 0;
};

}  // namespace vexa::vxbasic
