// Drives a machine of the simulator library the way the IDE does: bounded stepping, then every
// variable through the getters and setters, and the peripherals' views.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "vx2sim.h"

namespace vexa::fuzz {

// Writes the .dbg text into the scratch directory and creates a machine from it.
inline Vx2SimHandle createFromDbg(std::string_view dbg) {
  const std::filesystem::path base = scratchDir() / "program";
  writeFile(base.string() + ".dbg", dbg);
  return createMachine(base.string().c_str());
}

inline void readVariable(Vx2SimHandle m, int32_t index) {
  int32_t integer = 0;
  double real = 0;
  char text[VX2SIM_STRING_TEXT_SIZE];
  getIntegerValue(m, index, &integer);
  getFloatValue(m, index, &real);
  getStringText(m, index, text);
}

inline void writeVariable(Vx2SimHandle m, int32_t index, const char* text) {
  setValueAsText(m, index, text);
  setIntegerValue(m, index, -1);
  setFloatValue(m, index, 0.5);
  setStringText(m, index, text);
}

inline void readPeripherals(Vx2SimHandle m) {
  PortState ports = 0;
  PlmSettings plm{};
  char lcd[VX2SIM_LCD_TEXT_SIZE];
  getPortState(m, &ports);
  getPLMSettings(m, &plm);
  getLCDContent(m, lcd);
}

// Steps at most `steps` times, with variables read and written between the steps now and
// then, and the names looked up at the end.
inline void exercise(Vx2SimHandle m, int steps, int variables,
                     const std::vector<std::string>& names) {
  StepInfo info{};
  // A step that ends outside every statement ran the machine's instruction bound out; a few of
  // them are enough.
  int unbounded = 0;
  for (int i = 0; i < steps; ++i) {
    if (!step(m, &info)) break;
    if (info.runState != VX2SIM_RUNNING && i > 2) break;
    if (info.statement == 0xFFFF && ++unbounded > 3) break;
    if (i % 64 == 1) {
      for (int32_t v = 0; v <= variables + 1; ++v) readVariable(m, v);
      readPeripherals(m);
      setADCValue(m, i % 9, i * 1000);
      setPortState(m, static_cast<PortState>(i * 0x10001u));
    }
  }
  for (int32_t v = 0; v <= variables + 1; ++v) {
    readVariable(m, v);
    writeVariable(m, v, "0x7F + 'a' * 2.5");
    readVariable(m, v);
  }
  for (const std::string& name : names) {
    VarInfo info{};
    getVarInfo(m, name.c_str(), &info);
  }
  readPeripherals(m);
  makeInitialPortState(m);
  resetMachine(m);
  step(m, &info);
}

}  // namespace vexa::fuzz
