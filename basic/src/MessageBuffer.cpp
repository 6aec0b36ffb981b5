#include "MessageBuffer.h"

#include <algorithm>
#include <cstring>

#include "CompileError.h"

namespace vexa::vxbasic {

void MessageBuffer::set(char* buffer, std::size_t size) {
  buffer_ = buffer;
  size_ = buffer ? size : 0;
  used_ = 0;
  if (buffer_ && size_ > 0) std::memset(buffer_, 0, size_);
}

void MessageBuffer::clear() {
  used_ = 0;
  if (buffer_ && size_ > 0) buffer_[0] = '\0';
}

bool MessageBuffer::write(int line, const std::string& text) {
  if (!buffer_ || size_ == 0) return false;
  std::string formatted = messageLine(line, text);
  if (used_ < size_) {
    std::size_t room = size_ - used_ - 1;
    std::size_t n = std::min(room, formatted.size());
    std::memcpy(buffer_ + used_, formatted.data(), n);
    buffer_[used_ + n] = '\0';
  }
  used_ += formatted.size();
  return used_ < size_;
}

}  // namespace vexa::vxbasic
