#include "CompileHelpers.h"

#include <cstdio>

#include "TokenCode.h"

namespace vexa::vxbasic::test {

Compiled compileSource(const std::string& source, const char* baseDirectory,
                       std::size_t messageBufferSize) {
  Compiled out;
  out.instance = std::make_unique<QuorinInstance>();
  QuorinInstance& inst = *out.instance;
  std::vector<char> buffer(messageBufferSize + 1, '\0');
  inst.messages.set(buffer.data(), messageBufferSize);
  inst.source = source.c_str();
  out.status = compile(inst, baseDirectory);
  out.messages = buffer.data();
  out.lineInfos = inst.lineInfos;
  out.code.assign(inst.image.code.begin(), inst.image.code.begin() + inst.image.codeLength);
  out.sysCode.assign(inst.image.sysCode.begin(),
                     inst.image.sysCode.begin() + inst.image.sysCodeLength);
  std::size_t length = std::size_t{inst.programMemory[0]} << 8 | inst.programMemory[1];
  if (length > kProgramMemorySize - 4) length = kProgramMemorySize - 4;
  out.pass1.assign(inst.programMemory.begin() + 4,
                   inst.programMemory.begin() + 4 + static_cast<long>(length));
  inst.messages.set(nullptr, 0);
  inst.source = nullptr;
  return out;
}

std::vector<uint8_t> ended(std::vector<uint8_t> bytes) {
  bytes.push_back(vexa::basic::byteOf(vexa::basic::Op::End));
  if (bytes.size() % 2) bytes.push_back(vexa::basic::byteOf(vexa::basic::Op::Nop));
  return bytes;
}

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char tmp[8];
  for (uint8_t b : bytes) {
    std::snprintf(tmp, sizeof tmp, "%u ", b);
    s += tmp;
  }
  return s;
}

std::vector<std::string> listing(const std::vector<uint8_t>& code) {
  return vexa::basic::disassemble(code);
}

std::vector<std::string> endedListing(const std::vector<std::string>& lines) {
  return listing(ended(vexa::basic::assemble(lines)));
}

}  // namespace vexa::vxbasic::test
