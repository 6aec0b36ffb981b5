// The exported C functions: each checks its handle and pointers, runs one core
// operation inside a catch-all and turns the outcome into its documented result.
#include <algorithm>
#include <cstring>
#include <memory>

#include "Download.h"
#include "LineScanner.h"
#include "QuorinInstance.h"
#include "vexa/platform/HandleTable.h"
#include "vxbas32.h"

using vexa::vxbasic::QuorinInstance;

namespace {

vexa::HandleTable<QuorinInstance>& instances() {
  static vexa::HandleTable<QuorinInstance> table;
  return table;
}

uintptr_t handleValue(QuorinHandle handle) { return reinterpret_cast<uintptr_t>(handle); }

// Runs body on the live instance of the handle inside a catch-all; failure for an
// unknown handle or an exception.
template <typename Result, typename Body>
Result guarded(QuorinHandle handle, Result failure, Body body) {
  try {
    QuorinInstance* inst = instances().find(handleValue(handle));
    if (!inst) return failure;
    return body(*inst);
  } catch (...) {
    return failure;
  }
}

// The same for the exports without a result.
template <typename Body>
void guarded(QuorinHandle handle, Body body) {
  guarded(handle, 0, [&](QuorinInstance& inst) {
    body(inst);
    return 0;
  });
}

constexpr uint32_t kStepFault = QUORIN_STEP_ERROR;

unsigned channelIndex(int32_t channel) {
  return channel < 0 ? ~0u : static_cast<unsigned>(channel);
}

// Compares a header constant with the core's own, whatever their enum types.
constexpr bool same(long long header, long long core) { return header == core; }

// The header's numbers are the core's own.
static_assert(same(QUORIN_STEP_END, vexa::vxbasic::kStepEnd) &&
              same(QUORIN_STEP_LINE, vexa::vxbasic::kStepLine) &&
              same(QUORIN_STEP_INPUT, vexa::vxbasic::kStepInput) &&
              same(QUORIN_STEP_OUTPUT, vexa::vxbasic::kStepOutput) &&
              same(QUORIN_STEP_WAIT, vexa::vxbasic::kStepWait) &&
              same(QUORIN_STEP_PAUSE, vexa::vxbasic::kStepPause) &&
              same(QUORIN_STEP_LINE_FILE_CHANGED, vexa::vxbasic::kStepLineFileChanged) &&
              same(QUORIN_STEP_ERROR, vexa::vxbasic::kStepError));
static_assert(same(QUORIN_OPTION_REALTIME, vexa::vxbasic::kRealTimeOption));
static_assert(same(QUORIN_SYSTEM_YEAR, vexa::vxbasic::kYear) &&
              same(QUORIN_SYSTEM_MONTH, vexa::vxbasic::kMonth) &&
              same(QUORIN_SYSTEM_DAY, vexa::vxbasic::kDay) &&
              same(QUORIN_SYSTEM_DOW, vexa::vxbasic::kDayOfWeek) &&
              same(QUORIN_SYSTEM_HOUR, vexa::vxbasic::kHour) &&
              same(QUORIN_SYSTEM_MINUTE, vexa::vxbasic::kMinute) &&
              same(QUORIN_SYSTEM_SECOND, vexa::vxbasic::kSecond) &&
              same(QUORIN_SYSTEM_TIMER, vexa::vxbasic::kTimer) &&
              same(QUORIN_SYSTEM_TICKS, vexa::vxbasic::kTicks) &&
              same(QUORIN_SYSTEM_FREQ1, vexa::vxbasic::kFreq1) &&
              same(QUORIN_SYSTEM_FREQ2, vexa::vxbasic::kFreq2) &&
              same(QUORIN_SYSTEM_FILEFREE, vexa::vxbasic::kFileFree) &&
              same(QUORIN_SYSTEM_FILE_LENGTH, vexa::vxbasic::kFileLength));

}  // namespace

extern "C" {

QuorinHandle QuorinCreate(void) {
  try {
    return reinterpret_cast<QuorinHandle>(instances().add(std::make_unique<QuorinInstance>()));
  } catch (...) {
    return nullptr;
  }
}

void QuorinDestroy(QuorinHandle handle) {
  try {
    instances().remove(handleValue(handle));
  } catch (...) {}
}

int32_t QuorinSetBASFileName(QuorinHandle, const char*) { return 0; }

int32_t QuorinSetMemSourcePointer(QuorinHandle handle, const char* source) {
  return guarded(handle, 0, [&](QuorinInstance& inst) {
    inst.source = source;
    return 1;
  });
}

int32_t QuorinSetCompilerMessageBuffer(QuorinHandle handle, char* buffer, int32_t size) {
  return guarded(handle, 0, [&](QuorinInstance& inst) {
    inst.messages.set(buffer, size > 0 ? static_cast<std::size_t>(size) : 0);
    return 1;
  });
}

uint32_t QuorinCompile(QuorinHandle handle, const char* baseDirectory) {
  return guarded(handle, uint32_t{QUORIN_COMPILE_NO_SOURCE},
                 [&](QuorinInstance& inst) { return vexa::vxbasic::compile(inst, baseDirectory); });
}

uint16_t QuorinGetCodeLength(QuorinHandle handle) {
  return guarded(handle, uint16_t{0}, [](QuorinInstance& inst) { return inst.image.codeLength; });
}

uint16_t QuorinGetSysCodeLength(QuorinHandle handle) {
  return guarded(handle, uint16_t{0},
                 [](QuorinInstance& inst) { return inst.image.sysCodeLength; });
}

int32_t QuorinGetModuleLineInfos(QuorinHandle handle, uint8_t* buffer, int32_t length) {
  return guarded(handle, 0, [&](QuorinInstance& inst) {
    if (length > 0 && !buffer) return 0;
    std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)), inst.lineInfos.size());
    std::copy_n(inst.lineInfos.begin(), n, buffer);
    return 1;
  });
}

void QuorinResetProgram(QuorinHandle handle) {
  guarded(handle, [](QuorinInstance& inst) { inst.interpreter().reset(); });
}

void QuorinSetOptions(QuorinHandle handle, uint32_t options) {
  guarded(handle, [&](QuorinInstance& inst) { inst.board.options = options; });
}

int32_t QuorinIsValidBreakPoint(QuorinHandle handle, uint16_t line) {
  return guarded(handle, 0, [&](QuorinInstance& inst) {
    return vexa::vxbasic::isValidBreakPoint(inst, line) ? 1 : 0;
  });
}

uint32_t QuorinStep(QuorinHandle handle) {
  return guarded(handle, kStepFault,
                 [](QuorinInstance& inst) { return inst.interpreter().step(); });
}

void QuorinSetInputValue(QuorinHandle handle, int16_t value) {
  guarded(handle, [&](QuorinInstance& inst) {
    inst.machine.inputValue = value;
    inst.machine.waiting = false;
  });
}

const char* QuorinGetOutputString(QuorinHandle handle) {
  return guarded(handle, static_cast<const char*>(nullptr),
                 [](QuorinInstance& inst) { return inst.board.fetchOutput(); });
}

uint32_t QuorinMapSymbol(QuorinHandle handle, const char* name) {
  return guarded(handle, uint32_t{0}, [&](QuorinInstance& inst) -> uint32_t {
    if (!name) return 0;
    return inst.symbolMap.find(vexa::vxbasic::toUpper(name)).value_or(0);
  });
}

uint32_t MakeQuorinMapCode(uint8_t kind, uint8_t space, uint16_t index) {
  return vexa::vxbasic::makeMapCode(kind, space, index);
}

int32_t QuorinSetValue(QuorinHandle handle, uint32_t mapCode, int16_t value) {
  return guarded(handle, 0,
                 [&](QuorinInstance& inst) { return inst.board.setValue(mapCode, value) ? 1 : 0; });
}

uint16_t QuorinGetValue(QuorinHandle handle, uint32_t mapCode) {
  return guarded(handle, uint16_t{0},
                 [&](QuorinInstance& inst) { return inst.board.getValue(mapCode); });
}

uint16_t QuorinGetFileLength(QuorinHandle handle) {
  return guarded(handle, uint16_t{0}, [](QuorinInstance& inst) {
    return static_cast<uint16_t>(inst.board.fileLength / 2);
  });
}

int32_t QuorinDumpFile(QuorinHandle handle, int16_t* words) {
  return guarded(handle, 0, [&](QuorinInstance& inst) {
    if (!words) return 0;
    return vexa::vxbasic::dumpFile(inst, words);
  });
}

uint32_t QuorinGetPortState(QuorinHandle handle) {
  return guarded(handle, uint32_t{0}, [](QuorinInstance& inst) {
    return uint32_t{inst.board.driven} << 16 | inst.board.levels;
  });
}

void QuorinSetInitialPortState(QuorinHandle handle, uint16_t levels) {
  guarded(handle, [&](QuorinInstance& inst) { inst.board.initialLevels = levels; });
}

uint16_t QuorinGetInitialPortState(QuorinHandle handle) {
  return guarded(handle, uint16_t{0},
                 [](QuorinInstance& inst) { return inst.board.initialLevels; });
}

void QuorinSetADC(QuorinHandle handle, int32_t channel, uint8_t value) {
  guarded(handle, [&](QuorinInstance& inst) {
    unsigned i = channelIndex(channel);
    if (i < inst.board.adc.size()) inst.board.adc[i] = value;
  });
}

uint8_t QuorinGetADC(QuorinHandle handle, int32_t channel) {
  return guarded(handle, uint8_t{0},
                 [&](QuorinInstance& inst) { return inst.board.adcValue(channelIndex(channel)); });
}

uint8_t QuorinGetDAC(QuorinHandle handle, int32_t channel) {
  return guarded(handle, uint8_t{0},
                 [&](QuorinInstance& inst) { return inst.board.dacValue(channelIndex(channel)); });
}

int32_t QuorinDownload(QuorinHandle handle, int32_t portDescriptor) {
  return guarded(handle, int32_t{QUORIN_DOWNLOAD_WRITE_FAILED}, [&](QuorinInstance& inst) {
    return vexa::vxbasic::download(inst.image, portDescriptor, inst.progress);
  });
}

uint16_t QuorinGetProgress(QuorinHandle handle) {
  return guarded(handle, uint16_t{0}, [](QuorinInstance& inst) { return inst.progress.load(); });
}

}  // extern "C"
