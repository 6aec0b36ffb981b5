#include "Interpreter.h"

namespace vexa::vxbasic {

namespace {
constexpr uint16_t kCodeStart = vexa::basic::kCodeOrigin;
constexpr uint16_t kLongPauseTicks = 150;
}  // namespace

void Interpreter::reset() {
  m_.gosub.fill(0);
  m_.interrupt = 0;
  m_.pendingInput = 0;
  m_.line = 0;
  board_.levels = board_.initialLevels;
  board_.driven = 0;
  board_.adc.fill(0);
  board_.dac.fill(0);
  m_.stack.fill(0);
  for (std::size_t i = 0; i < 24; ++i) board_.ram[i] = 0;
  board_.tone = 0;
  board_.freq1 = 0;
  board_.freq2 = 0;
  if (board_.realTime()) {
    board_.refreshClock(clock_);
  } else {
    board_.timer = 0;
    for (std::size_t i = 32; i <= 38; ++i) board_.ram[i] = 0;
  }
  m_.inputValue = 0;
  m_.waiting = false;
  board_.outputLength = 0;
  board_.fileStart = 0;
  board_.filePosition = 0;
  board_.fileLength = 0;
  m_.pc = kCodeStart;
}

uint8_t Interpreter::readMemory(std::size_t address) const {
  if (address >= kMemorySize) throw RuntimeError{2};
  return mem_[address];
}

void Interpreter::writeMemory(std::size_t address, uint8_t value) {
  if (address >= kMemorySize) throw RuntimeError{2};
  mem_[address] = value;
}

uint8_t Interpreter::fetch() {
  uint8_t b = readMemory(m_.pc);
  ++m_.pc;
  return b;
}

uint16_t Interpreter::fetchWord() {
  uint16_t hi = fetch();
  return static_cast<uint16_t>(hi << 8 | fetch());
}

void Interpreter::push(int16_t value) {
  for (std::size_t i = 6; i > 0; --i) m_.stack[i] = m_.stack[i - 1];
  m_.stack[0] = value;
}

void Interpreter::binary(int32_t result) {
  m_.stack[0] = static_cast<int16_t>(static_cast<uint16_t>(result));
  for (std::size_t i = 1; i < 6; ++i) m_.stack[i] = m_.stack[i + 1];
}

uint32_t Interpreter::step() {
  const MachineState snapshot = m_;
  try {
    return run();
  } catch (const RuntimeError& e) {
    m_ = snapshot;
    return stepResult(kStepError, e.number);
  } catch (...) {
    m_ = snapshot;
    return stepResult(kStepError, 0);
  }
}

uint32_t Interpreter::run() {
  const uint16_t fileLengthBefore = board_.fileLength;
  if (board_.realTime()) board_.refreshClock(clock_);
  if (m_.pendingInput != 0) {
    if (m_.waiting) return stepResult(kStepInput, m_.line);
    uint8_t op = m_.pendingInput;
    m_.pendingInput = 0;
    execute(op);
  }
  Op previous = Op::End;  // none yet in this step: End never runs on
  for (unsigned executed = 0; executed < kStepBudget; ++executed) {
    const uint8_t c = fetch();
    switch (static_cast<Op>(c)) {
      case Op::Pause:
        if (board_.realTime() && static_cast<uint16_t>(top()) > kLongPauseTicks) {
          board_.timer = static_cast<uint16_t>(board_.timer + static_cast<uint16_t>(top()));
          return stepResult(kStepPause, static_cast<uint16_t>(top()));
        }
        execute(c);
        break;
      case Op::PrintNumber:
      case Op::PrintText:
      case Op::Put: execute(c); return stepResult(kStepOutput, m_.line);
      case Op::Get:
      case Op::Input:
        m_.pendingInput = c;
        m_.waiting = true;
        return stepResult(kStepInput, m_.line);
      case Op::WaitMark:
        if (previous == Op::JumpIfZero) return stepResult(kStepWait, m_.line);
        break;
      case Op::LineMarker:
        m_.line = fetchWord();
        return stepResult(board_.fileLength != fileLengthBefore ? kStepLineFileChanged : kStepLine,
                          m_.line);
      case Op::End: m_.pc = kCodeStart; return stepResult(kStepEnd, m_.line);
      default: execute(c); break;
    }
    previous = static_cast<Op>(c);
  }
  return stepResult(kStepWait, m_.line);
}

}  // namespace vexa::vxbasic
