// The exported C functions: each checks its handle and pointers, runs one core operation
// inside a catch-all and turns the outcome into its result.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "LoadError.h"
#include "Machine.h"
#include "ProcessClock.h"
#include "Text.h"
#include "Variables.h"
#include "vexa/platform/HandleTable.h"
#include "vx2sim.h"

using namespace vexa::vx2sim;

namespace {

// The live machines. Constant-initialised, so `step` pays no guard for a function-local static.
constinit vexa::HandleTable<Machine> machines;

uintptr_t handleValue(Vx2SimHandle handle) { return reinterpret_cast<uintptr_t>(handle); }

// Runs the operation on the live machine of the handle inside a catch-all: 1 when it
// succeeded, failure (0) for an unknown handle, a false outcome or an exception.
template <typename F>
int32_t guarded(Vx2SimHandle handle, int32_t failure, F&& operation) {
  try {
    Machine* m = machines.find(handleValue(handle));
    if (!m) return failure;
    return operation(*m) ? 1 : failure;
  } catch (...) {
    return failure;
  }
}

// Compares a header constant with the core's own, whatever their enum types.
constexpr bool same(long long header, long long core) { return header == core; }

// The header's numbers are the machine's own.
static_assert(same(VX2SIM_RUNNING, kRunning) && same(VX2SIM_HALTED, kHalted) &&
              same(VX2SIM_ALL_STOPPED, kAllStopped) &&
              same(VX2SIM_STACK_OVERFLOW, kStackOverflow) && same(VX2SIM_MATH_ERROR, kMathError) &&
              same(VX2SIM_BAD_ARGUMENT, kBadArgument));
static_assert(same(VX2SIM_CHANGED_MODULE, change::kModule) &&
              same(VX2SIM_CHANGED_LINE, change::kLine) &&
              same(VX2SIM_CHANGED_STATEMENT, change::kStatement) &&
              same(VX2SIM_CHANGED_THREAD, change::kThread) &&
              same(VX2SIM_CHANGED_CALL_DEPTH, change::kCallDepth) &&
              same(VX2SIM_CHANGED_RUN_STATE, change::kRunState));
static_assert(same(VX2SIM_STATUS_RAM, status::kRamStore) &&
              same(VX2SIM_STATUS_PORT, status::kPort) && same(VX2SIM_STATUS_PLM, status::kPlm) &&
              same(VX2SIM_STATUS_LCD, status::kLcd));
static_assert(same(VX2SIM_TYPE_BYTE, kByte) && same(VX2SIM_TYPE_INT, kInt) &&
              same(VX2SIM_TYPE_LONG, kLong) && same(VX2SIM_TYPE_FLOAT, kFloat) &&
              same(VX2SIM_TYPE_STRING, kString));
static_assert(sizeof(StepInfo) == sizeof(StepRecord) &&
              offsetof(StepInfo, callDepth) == offsetof(StepRecord, callDepth));
static_assert(sizeof(PlmSettings) == 24);
static_assert(VX2SIM_STRING_TEXT_SIZE == kStringCapacity + 1);

constexpr int kLcdVisible = 8;
static_assert(VX2SIM_LCD_TEXT_SIZE == 2 * (kLcdVisible + 1) + 1);

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

extern "C" {

Vx2SimHandle createMachine(const char* baseName) {
  if (!baseName) return nullptr;
  try {
    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen((std::string(baseName) + ".dbg").c_str(), "rb"));
    if (!file) return nullptr;
    auto machine = std::make_unique<Machine>(ProcessClock::instance());
    machine->load(file.get());
    machine->reset();
    return reinterpret_cast<Vx2SimHandle>(machines.add(std::move(machine)));
  } catch (...) {
    return nullptr;
  }
}

int32_t destroyMachine(Vx2SimHandle machine) {
  try {
    machines.remove(handleValue(machine));
  } catch (...) {}
  return 1;
}

int32_t resetMachine(Vx2SimHandle machine) {
  return guarded(machine, 0, [](Machine& m) {
    m.reset();
    return true;
  });
}

int32_t step(Vx2SimHandle machine, StepInfo* info) {
  if (!info) return 0;
  return guarded(machine, 0, [info](Machine& m) {
    const StepRecord r = m.step(info->changes);
    *info = StepInfo{r.runState, r.changes,   r.haltCode, r.module,
                     r.line,     r.statement, r.thread,   r.callDepth};
    return true;
  });
}

int32_t getVarInfo(Vx2SimHandle machine, const char* name, VarInfo* info) {
  if (!info) return 0;
  *info = VarInfo{0, 0};
  if (!name) return 0;
  return guarded(machine, 0, [name, info](Machine& m) {
    const auto it = m.names.find(name);
    if (it == m.names.end()) return false;
    *info = VarInfo{it->second + 1, m.variables[it->second].type};
    return true;
  });
}

int32_t getIntegerValue(Vx2SimHandle machine, int32_t index, int32_t* value) {
  if (!value) return 0;
  return guarded(machine, 0, [&](Machine& m) { return variables::getInteger(m, index, *value); });
}

int32_t getFloatValue(Vx2SimHandle machine, int32_t index, double* value) {
  if (!value) return 0;
  return guarded(machine, 0, [&](Machine& m) { return variables::getFloat(m, index, *value); });
}

int32_t getStringText(Vx2SimHandle machine, int32_t index, char* text) {
  if (!text) return 0;
  return guarded(machine, 0, [&](Machine& m) {
    std::string s;
    if (!variables::getString(m, index, s)) return false;
    std::memcpy(text, s.data(), s.size());
    text[s.size()] = '\0';
    return true;
  });
}

int32_t setIntegerValue(Vx2SimHandle machine, int32_t index, int32_t value) {
  return guarded(machine, 0, [&](Machine& m) { return variables::setInteger(m, index, value); });
}

int32_t setFloatValue(Vx2SimHandle machine, int32_t index, double value) {
  return guarded(machine, 0, [&](Machine& m) { return variables::setFloat(m, index, value); });
}

int32_t setStringText(Vx2SimHandle machine, int32_t index, const char* text) {
  if (!text) return 0;
  return guarded(machine, 0, [&](Machine& m) { return variables::setString(m, index, text); });
}

int32_t setValueAsText(Vx2SimHandle machine, int32_t index, const char* text) {
  if (!text) return 0;
  return guarded(machine, 0, [&](Machine& m) { return variables::setFromText(m, index, text); });
}

int32_t getPortState(Vx2SimHandle machine, PortState* state) {
  if (!state) return 0;
  return guarded(machine, 0, [state](Machine& m) {
    *state = static_cast<uint32_t>(m.portLevels) | (static_cast<uint32_t>(m.portDirection) << 16);
    return true;
  });
}

int32_t setPortState(Vx2SimHandle machine, PortState state) {
  return guarded(machine, 0, [state](Machine& m) {
    m.portLevels = static_cast<uint16_t>(state);
    m.portDirection = static_cast<uint16_t>(state >> 16);
    return true;
  });
}

int32_t makeInitialPortState(Vx2SimHandle machine) {
  return guarded(machine, 0, [](Machine& m) {
    m.portLevels = m.initialPortLevels;
    m.portDirection = m.initialPortDirection;
    return true;
  });
}

int32_t setADCValue(Vx2SimHandle machine, int32_t channel, int32_t value) {
  return guarded(machine, 0, [=](Machine& m) {
    if (channel < 0 || static_cast<std::size_t>(channel) >= m.adc.size()) return false;
    m.adc[channel] = static_cast<uint16_t>(value);
    return true;
  });
}

int32_t getPLMSettings(Vx2SimHandle machine, PlmSettings* settings) {
  if (!settings) return 0;
  return guarded(machine, 0, [settings](Machine& m) {
    const PlmState& p = m.plm;
    for (int c = 0; c < 2; ++c)
      settings->channel[c] = PlmChannel{p.timeBase01, p.period01, p.pulse[c]};
    settings->channel[2] = PlmChannel{p.timeBase2, p.period2, p.pulse[2]};
    return true;
  });
}

int32_t getLCDContent(Vx2SimHandle machine, char* text) {
  if (!text) return 0;
  return guarded(machine, 0, [text](Machine& m) {
    constexpr int kRowCharacters = 16;
    char* out = text;
    for (const auto& row : m.lcd.cells) {
      for (int i = 0; i < kLcdVisible; ++i) {
        const int cell = m.lcd.window + i;
        *out++ = cell < kRowCharacters ? static_cast<char>(row[cell]) : '\0';
      }
      *out++ = '\n';
    }
    *out = '\0';
    return true;
  });
}

}  // extern "C"
