#pragma once

// What the simulation of a V2 program needs from its project, and the
// creator through which a finished build makes that simulation.

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

// Makes the simulation of a built program from its output base name; throws
// std::exception when the machine cannot be created. Set at start-up (the
// simulator worker); empty: builds make no simulation.
using TV2SimulationCreator = std::function<Ref<IVexaSimulator>(
    const Ref<IV2SimulationProject>& Project, const QString& OutputBaseName)>;
extern TV2SimulationCreator CreateV2Simulation;

}  // namespace vexa::ide
