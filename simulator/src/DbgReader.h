// Whitespace-separated tokens of a .dbg text file, read in one pass.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace vexa::vx2sim {

class DbgReader {
 public:
  explicit DbgReader(std::FILE* file) : file_(file) {}

  // A decimal number that fits in 32 bits; nothing at the end of the file or on a bad token.
  std::optional<int32_t> number();
  // Characters up to the next whitespace; nothing at the end of the file.
  std::optional<std::string> word();

 private:
  int skipSpace();
  std::FILE* file_;
};

}  // namespace vexa::vx2sim
