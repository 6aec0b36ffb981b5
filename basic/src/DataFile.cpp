#include "QuorinInstance.h"

namespace vexa::vxbasic {

int32_t dumpFile(const QuorinInstance& inst, int16_t* words) {
  const std::size_t start = (std::size_t{inst.programMemory[0]} << 8 | inst.programMemory[1]) + 4;
  const std::size_t count = inst.board.fileLength / 2;
  std::size_t copied = 0;
  for (; copied < count; ++copied) {
    const std::size_t at = start + 2 * copied;
    if (at + 1 >= kProgramMemorySize) break;
    words[copied] = static_cast<int16_t>(inst.programMemory[at] << 8 | inst.programMemory[at + 1]);
  }
  return static_cast<int32_t>(copied);
}

}  // namespace vexa::vxbasic
