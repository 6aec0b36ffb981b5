// Compiles VXBasic sources through the core for the compiler tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QuorinInstance.h"

namespace vexa::vxbasic::test {

struct Compiled {
  uint32_t status = 0;
  std::vector<uint8_t> code;  // pass 2 (download) code
  std::vector<uint8_t> sysCode;
  std::vector<uint8_t> pass1;  // pass-1 code from program memory
  std::string messages;
  std::vector<uint8_t> lineInfos;
  std::unique_ptr<QuorinInstance> instance;
};

Compiled compileSource(const std::string& source, const char* baseDirectory = nullptr,
                       std::size_t messageBufferSize = 8192);

// Statement bytes followed by the end byte and the padding to an even length.
std::vector<uint8_t> ended(std::vector<uint8_t> bytes);

std::string hex(const std::vector<uint8_t>& bytes);

// Disassembly lines of code that starts at the first code address.
std::vector<std::string> listing(const std::vector<uint8_t>& code);
// Listing of statement code given as assembler lines, followed by the end
// byte and the padding.
std::vector<std::string> endedListing(const std::vector<std::string>& lines);

}  // namespace vexa::vxbasic::test
