#pragma once

// The module list dialogs are widgets; a project (model code) opens them
// through this hook, which the program installs at start-up.

#include "model/core/VexaIntfs.h"

#include <functional>

namespace vexa::ide {

// Kind 0: the project modules' dialog; 1 and 2: the system or common
// modules' selection. Shown modally; acts on the project at once.
using TModulesDialogHook = std::function<void(int Kind, const Ref<IVexaProject>& Project)>;

extern TModulesDialogHook ModulesDialogHook;

// Runs the hook; false when none is installed (nothing is shown).
bool RunModulesDialog(int Kind, const Ref<IVexaProject>& Project);

}  // namespace vexa::ide
