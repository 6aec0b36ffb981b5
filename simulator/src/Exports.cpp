// The exported C functions: each checks its handle and pointers, runs one core operation
// inside a catch-all and turns the outcome into its result.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "LoadError.h"
#include "Machine.h"
#include "ProcessClock.h"
#include "Registry.h"
#include "Variables.h"
#include "vx2sim.h"

using namespace vx2sim;

namespace {

template <typename F>
int32_t guarded(Vx2SimHandle handle, F&& operation) {
  try {
    Machine* m = Registry::find(reinterpret_cast<uintptr_t>(handle));
    if (!m) return 0;
    return operation(*m) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

extern "C" {

Vx2SimHandle createMachine(const char* baseName) {
  if (!baseName) return nullptr;
  try {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen((std::string(baseName) + ".dbg").c_str(), "rb"));
    if (!file) return nullptr;
    auto machine = std::make_unique<Machine>(ProcessClock::instance());
    machine->load(file.get());
    machine->reset();
    return reinterpret_cast<Vx2SimHandle>(Registry::add(std::move(machine)));
  } catch (...) {
    return nullptr;
  }
}

int32_t destroyMachine(Vx2SimHandle machine) {
  try {
    Registry::remove(reinterpret_cast<uintptr_t>(machine));
  } catch (...) {
  }
  return 1;
}

int32_t resetMachine(Vx2SimHandle machine) {
  return guarded(machine, [](Machine& m) {
    m.reset();
    return true;
  });
}

int32_t step(Vx2SimHandle machine, StepInfo* info) {
  if (!info) return 0;
  return guarded(machine, [info](Machine& m) {
    const StepRecord r = m.step(info->changes);
    *info = StepInfo{r.runState, r.changes, r.haltCode, r.module,
                     r.line,     r.statement, r.thread, r.callDepth};
    return true;
  });
}

int32_t getVarInfo(Vx2SimHandle machine, const char* name, VarInfo* info) {
  if (!info) return 0;
  *info = VarInfo{0, 0};
  if (!name) return 0;
  return guarded(machine, [name, info](Machine& m) {
    const auto it = m.names.find(name);
    if (it == m.names.end()) return false;
    *info = VarInfo{it->second + 1, m.variables[it->second].type};
    return true;
  });
}

int32_t getIntegerValue(Vx2SimHandle machine, int32_t index, int32_t* value) {
  if (!value) return 0;
  return guarded(machine, [&](Machine& m) { return variables::getInteger(m, index, *value); });
}

int32_t getFloatValue(Vx2SimHandle machine, int32_t index, double* value) {
  if (!value) return 0;
  return guarded(machine, [&](Machine& m) { return variables::getFloat(m, index, *value); });
}

int32_t getStringText(Vx2SimHandle machine, int32_t index, char* text) {
  if (!text) return 0;
  return guarded(machine, [&](Machine& m) {
    std::string s;
    if (!variables::getString(m, index, s)) return false;
    std::memcpy(text, s.data(), s.size());
    text[s.size()] = '\0';
    return true;
  });
}

int32_t setIntegerValue(Vx2SimHandle machine, int32_t index, int32_t value) {
  return guarded(machine, [&](Machine& m) { return variables::setInteger(m, index, value); });
}

int32_t setFloatValue(Vx2SimHandle machine, int32_t index, double value) {
  return guarded(machine, [&](Machine& m) { return variables::setFloat(m, index, value); });
}

int32_t setStringText(Vx2SimHandle machine, int32_t index, const char* text) {
  if (!text) return 0;
  return guarded(machine, [&](Machine& m) { return variables::setString(m, index, text); });
}

int32_t setValueAsText(Vx2SimHandle machine, int32_t index, const char* text) {
  if (!text) return 0;
  return guarded(machine, [&](Machine& m) { return variables::setFromText(m, index, text); });
}

int32_t getPortState(Vx2SimHandle machine, PortState* state) {
  if (!state) return 0;
  return guarded(machine, [state](Machine& m) {
    *state = static_cast<uint32_t>(m.portLevels) | (static_cast<uint32_t>(m.portDirection) << 16);
    return true;
  });
}

int32_t setPortState(Vx2SimHandle machine, PortState state) {
  return guarded(machine, [state](Machine& m) {
    m.portLevels = static_cast<uint16_t>(state);
    m.portDirection = static_cast<uint16_t>(state >> 16);
    return true;
  });
}

int32_t makeInitialPortState(Vx2SimHandle machine) {
  return guarded(machine, [](Machine& m) {
    m.portLevels = m.initialPortLevels;
    m.portDirection = m.initialPortDirection;
    return true;
  });
}

int32_t setADCValue(Vx2SimHandle machine, int32_t channel, int32_t value) {
  return guarded(machine, [=](Machine& m) {
    if (channel < 0 || static_cast<std::size_t>(channel) >= m.adc.size()) return false;
    m.adc[channel] = static_cast<uint16_t>(value);
    return true;
  });
}

int32_t getPLMSettings(Vx2SimHandle machine, PlmSettings* settings) {
  if (!settings) return 0;
  return guarded(machine, [settings](Machine& m) {
    const PlmState& p = m.plm;
    for (int c = 0; c < 2; ++c) settings->channel[c] = PlmChannel{p.timeBase01, p.period01, p.pulse[c]};
    settings->channel[2] = PlmChannel{p.timeBase2, p.period2, p.pulse[2]};
    return true;
  });
}

int32_t getLCDContent(Vx2SimHandle machine, char* text) {
  if (!text) return 0;
  return guarded(machine, [text](Machine& m) {
    constexpr int kVisible = 8;
    constexpr int kRowCharacters = 16;
    char* out = text;
    for (const auto& row : m.lcd.cells) {
      for (int i = 0; i < kVisible; ++i) {
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
