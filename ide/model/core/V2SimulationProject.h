#pragma once

// What the simulation of a V2 program needs from its project, and the
// factory through which a finished build makes that simulation.

#include "model/core/VexaIntfs.h"

#include <QString>

#include <functional>

namespace vexa::ide {

// The V2 project as its simulation sees it. Main thread only.
class IV2SimulationProject : public IVexaProject {
 public:
  // (module number, line) of every breakpoint of every used module: modules
  // from the last to the first, within a module from the last line to the first.
  virtual void ForEachBreakpoint(
      const std::function<void(int ModuleNumber, int Line)>& Callback) = 0;
  // Each watch in list order; then the watches view refreshes all rows.
  virtual void ForEachWatch(const std::function<void(const Ref<IVexaWatch>& Watch)>& Callback) = 0;
};

// Makes the simulation of a built program (the service V2SimulationFactory).
// Implemented by TV2SimulatorFactory (model/workers/V2Simulator.cpp).
class IV2SimulationFactory {
 public:
  virtual ~IV2SimulationFactory() = default;
  // From the build's output base name; throws std::exception when the machine
  // cannot be created.
  virtual Ref<IVexaSimulator> CreateSimulation(const Ref<IV2SimulationProject>& Project,
                                               const QString& OutputBaseName) = 0;
};

}  // namespace vexa::ide
