// The instruction cycle, the round-robin scheduler and the step record.
#include <vexa/isa.h>

#include "Machine.h"

namespace vexa::vx2sim {

bool Machine::schedule() {
  if (sliceCounter >= slice()) {
    sliceCounter = 0;
    selectThread(threadIndex + 1 < threadCount ? threadIndex + 1 : 0);
  }
  return slice() > sliceCounter;
}

Machine::Outcome Machine::executeInstruction() {
  bool executed = false;
  if (sliceCounter < slice()) {
    const uint16_t at = pc();
    // Debugger-only: after a reset, report the first statement before executing it.
    if (firstStep) [[unlikely]] {
      firstStep = false;
      if (debugMap[at] != kNoStatement) return Outcome::Report;
    }
    lastStatement[threadIndex] = debugMap[at];
    status = 0;
    uint8_t saved[context::kSize];
    std::memcpy(saved, &ram[ctxBase], context::kSize);
    const int savedDepth = callDepth[threadIndex];

    dispatch(code[at], at);

    if (hasError()) [[unlikely]] {
      std::memcpy(&ram[ctxBase], saved, context::kSize);
      callDepth[threadIndex] = savedDepth;
      return Outcome::Report;
    }
    setPc(static_cast<uint16_t>(pc() + advance));
    ++sliceCounter;
    executed = true;
  }
  schedule();
  if (statementAtPc() != kNoStatement) return Outcome::Report;
  return executed ? Outcome::Continue : Outcome::Idle;
}

StepRecord Machine::step(int32_t callerChanges) {
  auto moduleOf = [this](uint16_t s) { return s == kNoStatement ? -1 : statements[s].module; };
  auto lineOf = [this](uint16_t s) { return s == kNoStatement ? -1 : statements[s].line; };

  const uint16_t before = statementAtPc();
  const int moduleBefore = moduleOf(before);
  const int lineBefore = lineOf(before);
  const int depthBefore = callDepth[threadIndex];
  const int threadBefore = threadIndex;

  // Ends at a statement, after an error, after a round in which no thread could run, or
  // after a bounded number of instructions outside any statement.
  int idle = 0;
  for (uint32_t n = 0; n < kMaxInstructionsPerStep; ++n) {
    const Outcome outcome = executeInstruction();
    if (outcome == Outcome::Report) break;
    idle = outcome == Outcome::Idle ? idle + 1 : 0;
    if (idle > threadCount) break;
  }

  StepRecord r;
  const uint16_t now = statementAtPc();
  r.runState = runState();
  r.haltCode = haltCode;
  r.statement = now;
  r.module = moduleOf(now);
  r.line = lineOf(now);
  r.callDepth = callDepth[threadIndex];
  r.thread = threadIndex + 1;
  int32_t flags = 0;
  if (r.module != moduleBefore) flags |= change::kModule;
  if (r.line != lineBefore) flags |= change::kLine;
  if (lastStatement[threadIndex] != now) flags |= change::kStatement;
  if (threadIndex != threadBefore) flags |= change::kThread;
  if (r.callDepth != depthBefore) flags |= change::kCallDepth;
  if (r.runState != kRunning) flags |= change::kRunState;
  r.changes =
      static_cast<int32_t>((static_cast<uint32_t>(callerChanges) & 0xFFFF0000u) |
                           static_cast<uint32_t>(flags) | (static_cast<uint32_t>(status) << 16));
  return r;
}

}  // namespace vexa::vx2sim
