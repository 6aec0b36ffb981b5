// Calls and returns, thread starts and slices, sleeping and byte semaphores.
#include "Instructions.h"

namespace vexa::vx2sim::threads {

void stop(Machine& m) {
  m.haltCode = m.pop16();
  m.endTurn();
}

void sleep(Machine& m) {
  const uint16_t at = m.ctxBase;
  const int32_t now = m.milliseconds();
  if (m.ram[at + context::kSleeping] != 1) {
    const int16_t duration = static_cast<int16_t>(m.pop16());
    m.store<int32_t>(at + context::kSleepStart, now);
    m.store<int32_t>(
        at + context::kSleepEnd,
        static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(duration)));
    m.ram[at + context::kSleeping] = 1;
    m.repeatInstruction();
    m.endTurn();
    return;
  }
  const int32_t start = m.load<int32_t>(at + context::kSleepStart);
  const int32_t end = m.load<int32_t>(at + context::kSleepEnd);
  const bool clockWentBack = start < end && now < start;
  if (now >= end || clockWentBack) {
    m.ram[at + context::kSleeping] = 0;
    return;
  }
  m.repeatInstruction();
  m.endTurn();
}

void capture(Machine& m) {
  const uint16_t slot = m.ctxBase + context::kSemaphore;
  uint16_t a = m.load<uint16_t>(slot);
  if (a == 0) {
    a = m.pop16();
    m.store<uint16_t>(slot, a);
  }
  if (m.ram[a] == 0) {
    m.ram[a] = static_cast<uint8_t>(m.threadIndex + 1);
    return;
  }
  m.repeatInstruction();
  m.endTurn();
}

void release(Machine& m) {
  const uint16_t slot = m.ctxBase + context::kSemaphore;
  const uint16_t a = m.load<uint16_t>(slot);
  if (a != 0) {
    m.ram[a] = 0;
    m.store<uint16_t>(slot, 0);
  }
}

void returnPlain(Machine& m) {
  m.setPc(m.pop16());
  m.setFrame(m.pop16());
  m.advance = 0;
  --m.callDepth[m.threadIndex];
}

void call(Machine& m, uint16_t pcNow, uint16_t target) {
  m.push16(m.frame());
  m.push16(static_cast<uint16_t>(pcNow + 2));
  m.setFrame(m.sp());
  m.setPc(target);
  m.advance = 0;
  ++m.callDepth[m.threadIndex];
}

namespace {
// Leaves the frame: pc and frame from the saved pair below it, sp below the parameters.
void leaveFrame(Machine& m, uint16_t returnAddress, uint16_t savedFrame) {
  m.setPc(returnAddress);
  m.setFrame(savedFrame);
  m.advance = 0;
  --m.callDepth[m.threadIndex];
}
}  // namespace

void returnN(Machine& m, uint16_t o) {
  const uint16_t frame = m.frame();
  const uint16_t returnAddress = m.load<uint16_t>(static_cast<uint16_t>(frame - 2));
  const uint16_t savedFrame = m.load<uint16_t>(static_cast<uint16_t>(frame - 4));
  m.setSp(static_cast<uint16_t>(frame - o));
  leaveFrame(m, returnAddress, savedFrame);
}

void returnValue(Machine& m, uint8_t type, uint16_t o) {
  using vexa::isa::ValueType;
  if (type > static_cast<uint8_t>(ValueType::Float)) {
    m.undefinedInstruction();
    return;
  }
  const uint16_t frame = m.frame();
  const uint16_t returnAddress = m.load<uint16_t>(static_cast<uint16_t>(frame - 2));
  const uint16_t savedFrame = m.load<uint16_t>(static_cast<uint16_t>(frame - 4));
  const uint16_t below = static_cast<uint16_t>(frame - o);
  switch (static_cast<ValueType>(type)) {
    case ValueType::Int16: {
      const uint16_t v = m.pop16();
      m.setSp(below);
      m.push16(v);
      break;
    }
    case ValueType::Int32: {
      const uint32_t v = m.pop<uint32_t>();
      m.setSp(below);
      m.push<uint32_t>(v);
      break;
    }
    default: {
      const double v = m.pop<double>();
      m.setSp(below);
      m.push<double>(v);
      break;
    }
  }
  leaveFrame(m, returnAddress, savedFrame);
}

namespace {
// Thread number of a byte operand; 0 when the machine has no such thread.
int threadOf(const Machine& m, uint8_t b) {
  const int thread = b == 0 ? m.threadIndex + 1 : b;
  return m.validThread(thread) ? thread : 0;
}
uint16_t contextOf(int thread) { return context::address(thread); }
}  // namespace

void start(Machine& m, uint8_t b) {
  const int thread = threadOf(m, b);
  if (thread == 0) return;
  m.startThread(thread);
  // The current thread continues at its entry, not one word after it.
  if (thread == m.threadIndex + 1) m.advance = 0;
}

void setSlice(Machine& m, uint8_t b) {
  const uint8_t slice = static_cast<uint8_t>(m.pop16());
  const int thread = threadOf(m, b);
  if (thread == 0) return;
  const uint16_t at = contextOf(thread);
  m.ram[at + context::kSavedSlice] = m.ram[at + context::kSlice];
  m.ram[at + context::kSlice] = slice;
}

void restoreSlice(Machine& m, uint8_t b) {
  const int thread = threadOf(m, b);
  if (thread == 0) return;
  const uint16_t at = contextOf(thread);
  m.ram[at + context::kSlice] = m.ram[at + context::kSavedSlice];
}

}  // namespace vexa::vx2sim::threads
