// Drives hand-assembled programs through the exported functions, as the IDE does.
#pragma once

#include <gtest/gtest.h>

#include "ProgramBuilder.h"
#include "vx2sim.h"

namespace vexa::vx2sim::test {

// 1-based index of a variable by its dotted name; 0 when unknown.
inline int32_t variableIndex(Vx2SimHandle handle, const char* name) {
  VarInfo v{};
  getVarInfo(handle, name, &v);
  return v.index;
}
inline int32_t integerValue(Vx2SimHandle handle, const char* name) {
  int32_t value = 0;
  EXPECT_EQ(getIntegerValue(handle, variableIndex(handle, name), &value), 1) << name;
  return value;
}

class Sim {
 public:
  Sim(const TempFiles& files, const ProgramBuilder& p, const std::string& name = "prog")
      : handle_(createMachine(files.write(name, p.dbg()).c_str())) {}
  ~Sim() { destroyMachine(handle_); }
  Sim(const Sim&) = delete;
  Sim& operator=(const Sim&) = delete;

  Vx2SimHandle handle() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  StepInfo& stepOnce() {
    EXPECT_EQ(step(handle_, &info_), 1);
    return info_;
  }
  StepInfo& steps(int n) {
    for (int i = 0; i < n; ++i) stepOnce();
    return info_;
  }
  StepInfo& info() { return info_; }

  int32_t index(const char* name) { return variableIndex(handle_, name); }
  int32_t integer(const char* name) { return integerValue(handle_, name); }

 private:
  Vx2SimHandle handle_;
  StepInfo info_{};
};

}  // namespace vexa::vx2sim::test
