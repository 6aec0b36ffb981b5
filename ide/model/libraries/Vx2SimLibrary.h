#pragma once

// The IDE's one way into the V2 simulator library: one machine loaded from a
// program's debug file, freed with the wrapper. Failed calls throw
// EV2SimException; texts cross in Windows-1252.
//
// Not thread-safe: one thread at a time uses a TVx2SimLibrary.

#include "model/libraries/LibraryKit.h"

#include "vx2sim.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace vexa::ide {

// A vx2sim call that failed: "step() failed", or "Internal error:
// createMachine() failed" for a machine that could not be made.
class EV2SimException : public ELibraryException {
 public:
  explicit EV2SimException(const std::string& Message) : ELibraryException(Message) {}
  // The exception of export Function's failure.
  static EV2SimException Failed(const char* Function);
};

// The library's exports as a table; tests replace entries with fakes.
struct TVx2SimFunctions {
  decltype(&::createMachine) createMachine = &::createMachine;
  decltype(&::destroyMachine) destroyMachine = &::destroyMachine;
  decltype(&::resetMachine) resetMachine = &::resetMachine;
  decltype(&::step) step = &::step;
  decltype(&::getVarInfo) getVarInfo = &::getVarInfo;
  decltype(&::getIntegerValue) getIntegerValue = &::getIntegerValue;
  decltype(&::getFloatValue) getFloatValue = &::getFloatValue;
  decltype(&::getStringText) getStringText = &::getStringText;
  decltype(&::setValueAsText) setValueAsText = &::setValueAsText;
};

// One simulated machine.
class TVx2SimLibrary {
 public:
  // The most bytes getStringText writes, its NUL included.
  static constexpr std::size_t kStringTextSize = 32;

  // createMachine(OutputBaseName); throws "Internal error: createMachine()
  // failed" when the library refuses or throws.
  explicit TVx2SimLibrary(const QString& OutputBaseName,
                          const TVx2SimFunctions& Functions = TVx2SimFunctions());
  ~TVx2SimLibrary();
  TVx2SimLibrary(const TVx2SimLibrary&) = delete;
  TVx2SimLibrary& operator=(const TVx2SimLibrary&) = delete;

  // One step call; Info gets the machine's state after it.
  void Step(StepInfo& Info);
  // Back to the program's start.
  void Reset();

  // The variable Name; false when there is none.
  bool GetVarInfo(const QString& Name, VarInfo& Info);
  // Values of variable Index; none when the library cannot read it.
  std::optional<std::int32_t> GetIntegerValue(std::int32_t Index);
  std::optional<double> GetFloatValue(std::int32_t Index);
  std::optional<QString> GetStringText(std::int32_t Index);
  // Sets variable Index from Text; false when the library refuses it.
  bool SetValueAsText(std::int32_t Index, const QString& Text);

 private:
  TVx2SimFunctions f_;
  Vx2SimHandle machine_ = nullptr;
};

}  // namespace vexa::ide
