// A .dbg file as the compiler would write it, or damaged: loaded by createMachine, stepped and
// read through the exported functions.
#include <cstdint>
#include <string>

#include "SimDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Vx2SimHandle m = vexa::fuzz::createFromDbg(text);
  if (!m) return 0;
  // Every word of the file may be a variable name; the count bounds the indices tried.
  const std::vector<std::string> names = vexa::fuzz::words(text, 64);
  vexa::fuzz::exercise(m, 2000, 16, names);
  destroyMachine(m);
  return 0;
}
