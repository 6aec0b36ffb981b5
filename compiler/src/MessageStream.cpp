#include "MessageStream.h"

#include <cstring>

namespace vexa::vx2 {

MessageStream::MessageStream(char* buffer, uint32_t size) : buffer_(buffer), size_(size) {
  good_ = buffer != nullptr;
  if (good_ && size_ > 0) buffer_[0] = '\0';
}

MessageStream::MessageStream(const std::string& fileName) {
  if (fileName.empty()) return;
  file_ = std::fopen(fileName.c_str(), "wb");
  good_ = file_ != nullptr;
}

MessageStream::~MessageStream() {
  if (file_) std::fclose(file_);
}

void MessageStream::write(std::string_view text) {
  if (!good_) return;
  if (file_) {
    for (char c : text) {
      if (c == '\n' && std::fputc('\r', file_) == EOF) good_ = false;
      if (std::fputc(c, file_) == EOF) good_ = false;
    }
    return;
  }
  // At most size - 1 bytes of text, always followed by a NUL inside the buffer.
  if (size_ == 0) return;
  uint32_t room = size_ - 1 - used_;
  uint32_t n = text.size() < room ? static_cast<uint32_t>(text.size()) : room;
  std::memcpy(buffer_ + used_, text.data(), n);
  used_ += n;
  buffer_[used_] = '\0';
}

void MessageStream::writeNul() {
  if (!good_) return;
  if (file_) {
    if (std::fputc('\0', file_) == EOF) good_ = false;
  } else if (size_ > 0) {
    buffer_[used_] = '\0';
  }
}

void MessageStream::flush() {
  if (file_ && std::fflush(file_) != 0) good_ = false;
}

}  // namespace vexa::vx2
