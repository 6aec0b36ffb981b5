#include "model/core/Services.h"

#include "model/core/V2SimulationProject.h"

namespace vexa::ide {

Ref<IVexaIDE> VexaIDE;
Ref<IVexaProjectFactory> BASICProjectFactory;
Ref<IVexaProjectFactory> V2ProjectFactory;
Ref<IVexaSourceEditorFactory> SourceEditorFactory;
Ref<IMessageView> MessageView;
Ref<IProjectEditor> ProjectEditor;
Ref<IWatchesView> WatchesView;
Ref<IV2SimulationFactory> V2SimulationFactory;
Ref<IVexaSimulator> CurrentSimulator;

Ref<IEditCommands> EditCommandHandler;
Ref<IFileCommands> FileCommandHandler;
Ref<IDebugCommands> DebugCommandHandler;
Ref<IProjectCommands> ProjectCommandHandler;
Ref<ISearchCommands> SearchCommandHandler;

namespace {

std::vector<Ref<IVexaToolWindow>>& Registry() {
  static std::vector<Ref<IVexaToolWindow>> windows;
  return windows;
}

}  // namespace

const std::vector<Ref<IVexaToolWindow>>& ToolWindows() { return Registry(); }

void RegisterToolWindow(const Ref<IVexaToolWindow>& Window) {
  if (!Window) return;
  auto& windows = Registry();
  for (const auto& w : windows)
    if (w == Window) return;
  windows.push_back(Window);
}

Ref<IVexaProject> ActiveProject() {
  const Ref<IVexaIDE> ide = VexaIDE;
  return ide ? ide->GetActiveProject() : nullptr;
}

void ClearCommandHandlers() {
  EditCommandHandler.reset();
  FileCommandHandler.reset();
  DebugCommandHandler.reset();
  ProjectCommandHandler.reset();
  SearchCommandHandler.reset();
}

void ReleaseServices() {
  ClearCommandHandlers();
  Registry().clear();
  CurrentSimulator.reset();
  V2SimulationFactory.reset();
  WatchesView.reset();
  ProjectEditor.reset();
  MessageView.reset();
  SourceEditorFactory.reset();
  V2ProjectFactory.reset();
  BASICProjectFactory.reset();
  VexaIDE.reset();
}

}  // namespace vexa::ide
