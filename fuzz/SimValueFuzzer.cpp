// Texts typed into the watches view: setValueAsText on a variable of every type, then the value
// read back.
#include <cstdint>
#include <string>

#include "SimDriver.h"

namespace {

// One thread waiting in a jump to itself (Jump -2); variables of each type, global and local,
// and one of an unknown kind.
std::string program() {
  std::string text = "32\r\n16\r\n1 0 0 0 0 4 0 4 255 0";
  for (int i = 10; i < 32; ++i) text += " 255";
  text += "\r\n0 132 0 65534";
  for (int i = 2; i < 16; ++i) text += " 65535 65535";
  text +=
      "\r\n1\r\n1 1\r\n8\r\n"
      "m.b 1 256 0 0 65535\r\nm.i 1 258 1 0 65535\r\nm.l 1 260 2 0 65535\r\nm.f 1 264 3 0 65535\r\n"
      "m.s 1 272 65535 0 65535\r\nm.t.local 2 4 3 0 65535\r\nm.t.param 2 -4 65535 0 65535\r\n"
      "m.x 7 300 1 0 65535\r\n";
  return text;
}
constexpr int32_t kVariables = 8;

Vx2SimHandle machine() {
  static Vx2SimHandle m = [] {
    Vx2SimHandle h = vexa::fuzz::createFromDbg(program());
    if (!h) std::abort();
    return h;
  }();
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Vx2SimHandle m = machine();
  for (int32_t index = 0; index <= kVariables + 1; ++index) {
    setValueAsText(m, index, text.c_str());
    vexa::fuzz::readVariable(m, index);
  }
  return 0;
}
