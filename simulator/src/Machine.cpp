#include "Machine.h"

namespace vx2sim {

namespace {
// A seed from the clock's milliseconds and local time, so a fixed clock repeats the numbers.
uint32_t timeSeed(vexa::platform::Clock& clock) {
  const vexa::platform::LocalTime t = clock.localTime();
  uint32_t seconds = 0;
  for (int part : {t.year, t.month, t.day, t.hour, t.minute, t.second}) seconds = seconds * 61u + static_cast<uint32_t>(part);
  return clock.milliseconds() ^ (seconds * 2654435761u);
}
}  // namespace

Machine::Machine(vexa::platform::Clock& clock) : clock(&clock), random(timeSeed(clock)) {
  // Code beyond the loaded words reads as the compiler's padding.
  code.fill(0xFFFF);
  debugMap.fill(kNoStatement);
}

void Machine::selectThread(int index) {
  threadIndex = index;
  ctxBase = static_cast<uint16_t>(context::kSize * index);
}

void Machine::startThread(int thread) {
  const uint16_t entry = static_cast<uint16_t>(1 + 4 * (thread - 1));  // constant index
  const uint16_t at = static_cast<uint16_t>(context::kSize * (thread - 1));
  store<uint16_t>(at + context::kPc, constant<uint16_t>(entry));
  store<uint16_t>(at + context::kFrame, constant<uint16_t>(entry + 1));
  store<uint16_t>(at + context::kSp, constant<uint16_t>(entry + 2));
  const uint8_t slice = static_cast<uint8_t>(constant<uint16_t>(entry + 3));
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
  threadCount = image[0];
  // Per-thread tables keep one entry even without threads, so the record can always be read.
  const std::size_t n = threadCount > 0 ? threadCount : 1;
  callDepth.assign(n, 0);
  lastStatement.assign(n, kNoStatement);
  stackLimit.assign(n, 0xFFFF);
  ram.fill(0);
  for (int t = 1; t <= threadCount; ++t) startThread(t);
  for (int t = 1; t < threadCount; ++t) stackLimit[t - 1] = constant<uint16_t>(1 + 4 * t + 2);
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
    anyRunning = ram[context::kSize * t + context::kSlice] != 0;
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

}  // namespace vx2sim
