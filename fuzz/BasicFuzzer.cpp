// VXBasic source: compiled, stepped on the simulated board (not in real time, whose PAUSE
// sleeps), and its storage read and written by map code, all through the exported functions.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "vxbas32.h"

namespace {

void touchStorage(QuorinHandle h, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const uint32_t code = QuorinMapSymbol(h, name.c_str());
    if (code == 0) continue;
    QuorinSetValue(h, code, static_cast<int16_t>(QuorinGetValue(h, code) + 1));
  }
  const uint16_t indexes[] = {0, 1, 7, 8, 12, 13, 255, 256, 0xFFFF};
  for (uint8_t kind = 0; kind <= 4; ++kind)
    for (uint8_t space = 0; space <= 6; ++space)
      for (uint16_t index : indexes) {
        const uint32_t code = MakeQuorinMapCode(kind, space, index);
        QuorinSetValue(h, code, static_cast<int16_t>(QuorinGetValue(h, code) ^ 1));
        QuorinSetValue(h, code, -32768);
      }
  for (int32_t channel = -1; channel <= 8; ++channel) {
    QuorinSetADC(h, channel, static_cast<uint8_t>(channel * 31));
    QuorinGetADC(h, channel);
    QuorinGetDAC(h, channel);
  }
  QuorinGetPortState(h);
  std::vector<int16_t> words(QuorinGetFileLength(h) + 1u);
  QuorinDumpFile(h, words.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  QuorinHandle h = QuorinCreate();
  if (!h) return 0;
  std::vector<char> messages(size % 2 ? 120 : 2048);
  QuorinSetCompilerMessageBuffer(h, messages.data(), static_cast<int32_t>(messages.size()));
  QuorinSetMemSourcePointer(h, source.c_str());
  const uint32_t status = QuorinCompile(h, nullptr);
  QuorinGetCodeLength(h);
  QuorinGetSysCodeLength(h);
  std::vector<uint8_t> infos(size / 16 + 2);
  QuorinGetModuleLineInfos(h, infos.data(), static_cast<int32_t>(infos.size()));
  for (uint16_t line = 0; line < 40; ++line) QuorinIsValidBreakPoint(h, line);

  const std::vector<std::string> names = vexa::fuzz::words(source, 16);
  if ((status & 0xFFFF) == QUORIN_COMPILE_OK) {
    // Real-time mode sleeps for PAUSE on the system clock, so it stays off here.
    QuorinSetOptions(h, 0);
    QuorinSetInitialPortState(h, static_cast<uint16_t>(size * 0x0101));
    QuorinResetProgram(h);
    // A "wait" may have used up the interpreter's instruction budget, and an error rolls its
    // statement back, so that the next step repeats it: a few of either bound the time of an
    // input by counting, not by the clock. A waiting program gets new inputs each time.
    constexpr int kMaxWaitsAndErrors = 4;
    int ends = 0;
    int waitsAndErrors = 0;
    for (int i = 0; i < 2000 && ends < 2 && waitsAndErrors < kMaxWaitsAndErrors; ++i) {
      const uint32_t result = QuorinStep(h);
      QuorinGetOutputString(h);
      switch (result & 0xFFFF) {
        case QUORIN_STEP_END: ++ends; break;
        case QUORIN_STEP_INPUT: QuorinSetInputValue(h, static_cast<int16_t>(i * 977)); break;
        case QUORIN_STEP_WAIT:
          ++waitsAndErrors;
          touchStorage(h, names);
          break;
        case QUORIN_STEP_ERROR: ++waitsAndErrors; break;
        default: break;
      }
      if (i % 128 == 5) touchStorage(h, names);
    }
  }
  touchStorage(h, names);
  QuorinGetInitialPortState(h);
  QuorinDestroy(h);
  return 0;
}
