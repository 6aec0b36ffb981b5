// Code words from the input inside a well-formed .dbg: a thread table, constants, statements and
// variables made up valid, so that the words run as instructions rather than fail the load.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "SimDriver.h"

namespace {

constexpr std::size_t kMaxWords = 1024;
constexpr int kStatements = 4;

const char* const kVariables[] = {
    "m.b 1 256 0 0 65535",          "m.i 1 258 1 0 65535",     "m.l 1 260 2 0 65535",
    "m.f 1 264 3 0 65535",          "m.s 1 272 65535 0 65535", "m.t.local 2 4 1 0 65535",
    "m.t.param 2 -4 65535 0 65535", "m.t.gone 2 0 1 1 0",
};

std::string dbgFrom(FuzzedDataProvider& in) {
  const int threads = in.ConsumeIntegralInRange(1, 3);
  const int constantBytes = in.ConsumeIntegralInRange(0, 64);
  std::vector<uint16_t> pcs, slices;
  for (int t = 0; t < threads; ++t) {
    pcs.push_back(in.ConsumeIntegral<uint16_t>());
    slices.push_back(in.ConsumeIntegral<uint8_t>());
  }
  std::vector<uint8_t> image(2 + 8 * threads, 0);
  image[0] = static_cast<uint8_t>(threads);
  const std::vector<uint8_t> extra =
      in.ConsumeBytes<uint8_t>(static_cast<std::size_t>(constantBytes));
  image.insert(image.end(), extra.begin(), extra.end());

  std::vector<uint16_t> map, code;
  while (in.remaining_bytes() >= 3 && code.size() < kMaxWords) {
    const uint8_t which = in.ConsumeIntegral<uint8_t>();
    map.push_back(which < 200 ? which % kStatements : 0xFFFF);
    code.push_back(in.ConsumeIntegral<uint16_t>());
  }
  const std::size_t words = (code.size() + 15) & ~std::size_t{15};
  for (int t = 0; t < threads; ++t) {
    const uint16_t stack = static_cast<uint16_t>(0x400 + 0x800 * t);
    const uint16_t entry[4] = {static_cast<uint16_t>(words ? pcs[t] % words : 0), stack, stack,
                               slices[t]};
    for (int k = 0; k < 4; ++k) {
      image[2 + 8 * t + 2 * k] = static_cast<uint8_t>(entry[k]);
      image[3 + 8 * t + 2 * k] = static_cast<uint8_t>(entry[k] >> 8);
    }
  }
  image.resize((image.size() + 31) & ~std::size_t{31}, 255);

  std::ostringstream out;
  out << image.size() << "\r\n" << words << "\r\n";
  for (uint8_t b : image) out << static_cast<int>(b) << ' ';
  out << "\r\n";
  for (std::size_t j = 0; j < words; ++j) {
    if (j < code.size())
      out << map[j] << ' ' << code[j] << ' ';
    else
      out << "65535 65535 ";
  }
  out << "\r\n" << kStatements << "\r\n";
  for (int s = 0; s < kStatements; ++s) out << 1 + s % 2 << ' ' << s + 1 << ' ';
  out << "\r\n" << std::size(kVariables) << "\r\n";
  for (const char* v : kVariables) out << v << "\r\n";
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Vx2SimHandle m = vexa::fuzz::createFromDbg(dbgFrom(in));
  if (!m) return 0;
  std::vector<std::string> names;
  for (const char* v : kVariables)
    names.push_back(std::string(v).substr(0, std::string(v).find(' ')));
  vexa::fuzz::exercise(m, 2000, static_cast<int>(std::size(kVariables)), names);
  destroyMachine(m);
  return 0;
}
