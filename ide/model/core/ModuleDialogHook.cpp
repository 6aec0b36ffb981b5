#include "model/core/ModuleDialogHook.h"

namespace vexa::ide {

TModulesDialogHook ModulesDialogHook;

bool RunModulesDialog(int Kind, const Ref<IVexaProject>& Project) {
  if (!ModulesDialogHook || !Project) return false;
  // A copy: the dialog may replace the hook while it runs.
  const TModulesDialogHook hook = ModulesDialogHook;
  hook(Kind, Project);
  return true;
}

}  // namespace vexa::ide
