#pragma once

// The IDE's global services and current command handlers. Each variable holds
// one reference or none; main() empties them in order at the end (ReleaseServices).
// Main thread only.

#include "model/core/CommandIntfs.h"
#include "model/core/VexaIntfs.h"

#include <vector>

namespace vexa::ide {

class IV2SimulationFactory;

// Filled by the main window while it exists.
extern Ref<IVexaIDE> VexaIDE;
// Filled at start-up by the parts that implement them.
extern Ref<IVexaProjectFactory> BASICProjectFactory;
extern Ref<IVexaProjectFactory> V2ProjectFactory;
extern Ref<IVexaSourceEditorFactory> SourceEditorFactory;
extern Ref<IMessageView> MessageView;
extern Ref<IProjectEditor> ProjectEditor;
extern Ref<IWatchesView> WatchesView;
// Makes the simulation of each finished V2 build; none: builds make none.
extern Ref<IV2SimulationFactory> V2SimulationFactory;
// The simulation of the last built project, replaced by the next one.
extern Ref<IVexaSimulator> CurrentSimulator;

// The main window's active project; none without a main window or project.
Ref<IVexaProject> ActiveProject();

// Installed by the active window, removed when it loses the focus.
extern Ref<IEditCommands> EditCommandHandler;
extern Ref<IFileCommands> FileCommandHandler;
extern Ref<IDebugCommands> DebugCommandHandler;
extern Ref<IProjectCommands> ProjectCommandHandler;
extern Ref<ISearchCommands> SearchCommandHandler;

// Every registered tool window, in registration order; kept to the end.
const std::vector<Ref<IVexaToolWindow>>& ToolWindows();
// Ignores none and a window already registered.
void RegisterToolWindow(const Ref<IVexaToolWindow>& Window);

// Empties the five command-handler variables.
void ClearCommandHandlers();
// End of the process: the handlers, the tool windows, then the services with
// the simulation first and the IDE last.
void ReleaseServices();

}  // namespace vexa::ide
