// The state behind one library handle.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "Board.h"
#include "Interpreter.h"
#include "MessageBuffer.h"
#include "Symbols.h"

namespace vexa::vxbasic {

inline constexpr std::size_t kProgramMemorySize = kMemorySize;

struct DownloadImage {
  uint16_t codeLength = 0;
  uint16_t sysCodeLength = 0;
  std::array<uint8_t, 255> sysCode{};
  std::array<uint8_t, 60000> code{};
};

struct QuorinInstance {
  // Compiler inputs; the source stays in the caller's memory.
  const char* source = nullptr;
  DownloadImage image;
  std::atomic<uint16_t> progress{0};
  MessageBuffer messages;
  NameTable<uint32_t> symbolMap;
  std::vector<int> breakpoints;
  std::vector<uint8_t> lineInfos;
  // Pass-1 code as the simulator runs it: length high, low, stored file
  // length high, low, then the code from address 4.
  ProgramMemory programMemory{};
  // The simulated board and the interpreter's registers.
  Board board;
  MachineState machine;
  vexa::platform::Clock* clock = &vexa::platform::SystemClock::instance();

  Interpreter interpreter() { return Interpreter(programMemory, machine, board, *clock); }
};

// QuorinCompileStatus of compiling the instance's source; `baseDirectory`
// may be null.
uint32_t compile(QuorinInstance& instance, const char* baseDirectory);

bool isValidBreakPoint(const QuorinInstance& instance, uint16_t line);

// Copies the data-file words, high byte first from behind the code; returns
// their number.
int32_t dumpFile(const QuorinInstance& instance, int16_t* words);

}  // namespace vexa::vxbasic
