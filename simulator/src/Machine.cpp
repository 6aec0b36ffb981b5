#include "Machine.h"

#include <vexa/vm_contract.h>

namespace vexa::vx2sim {

namespace thread_table = vexa::vm::thread_table;

namespace {
// A seed from the clock's milliseconds and local time, so a fixed clock repeats the numbers.
uint32_t timeSeed(vexa::platform::Clock& clock) {
  const vexa::platform::LocalTime t = clock.localTime();
  uint32_t seconds = 0;
  for (int part : {t.year, t.month, t.day, t.hour, t.minute, t.second})
    seconds = seconds * 61u + static_cast<uint32_t>(part);
  return clock.milliseconds() ^ (seconds * 2654435761u);
}
}  // namespace

Machine::Machine(vexa::platform::Clock& clock) : clock(&clock), random(timeSeed(clock)) {
  // Code beyond the loaded words reads as the compiler's padding.
  code.fill(vexa::vm::kPaddingWord);
  debugMap.fill(kNoStatement);
}

void Machine::selectThread(int index) {
  threadIndex = index;
  ctxBase = context::address(index + 1);
}

void Machine::startThread(int thread) {
  auto entry = [&](int field) {
    return constant<uint16_t>(static_cast<uint16_t>(thread_table::word(thread, field)));
  };
  const uint16_t at = context::address(thread);
  store<uint16_t>(at + context::kPc, entry(thread_table::kFirstCodeWord));
  store<uint16_t>(at + context::kFrame, entry(thread_table::kStackBase));
  store<uint16_t>(at + context::kSp, entry(thread_table::kInitialSp));
  const uint8_t slice = static_cast<uint8_t>(entry(thread_table::kStartSlice));
  ram[at + context::kSlice] = slice;
  ram[at + context::kSavedSlice] = slice;
  ram[at + context::kSleeping] = 0;
  const uint16_t semaphore = load<uint16_t>(at + context::kSemaphore);
  if (semaphore != 0) {
    ram[semaphore] = 0;
    store<uint16_t>(at + context::kSemaphore, 0);
  }
}

void Machine::reset() {
  threadCount = image[2 * thread_table::kCountWord];
  // Per-thread tables keep one entry even without threads, so the record can always be read.
  const std::size_t n = threadCount > 0 ? threadCount : 1;
  callDepth.assign(n, 0);
  lastStatement.assign(n, kNoStatement);
  stackLimit.assign(n, 0xFFFF);
  ram.fill(0);
  for (int t = 1; t <= threadCount; ++t) startThread(t);
  // A stack ends where the next thread's begins; the last one at the top of RAM.
  for (int t = 1; t < threadCount; ++t)
    stackLimit[t - 1] = constant<uint16_t>(
        static_cast<uint16_t>(thread_table::word(t + 1, thread_table::kInitialSp)));
  haltCode = 0;
  sliceCounter = 0;
  selectThread(0);
  firstStep = true;
  mathError = stackOverflow = badArgument = false;
  random.seed(timeSeed(*clock));
  for (int i = 0; i < threadCount; ++i) {
    if (slice() > sliceCounter) break;
    schedule();
  }
  portLevels = initialPortLevels;
  portDirection = initialPortDirection;
}

int32_t Machine::runState() const {
  if (mathError) return kMathError;
  if (stackOverflow) return kStackOverflow;
  if (badArgument) return kBadArgument;
  bool anyRunning = false;
  for (int t = 0; t < threadCount && !anyRunning; ++t)
    anyRunning = ram[context::address(t + 1) + context::kSlice] != 0;
  if (!anyRunning) return kAllStopped;
  if (haltCode != 0) return kHalted;
  return kRunning;
}

void Machine::undefinedInstruction() {
  // Stays on the word and ends the turn, like the padding does.
  haltCode = 0xFFFF;
  repeatInstruction();
  endTurn();
}

}  // namespace vexa::vx2sim
