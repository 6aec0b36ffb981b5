#include "forms/IDEStartup.h"

#include "Dialogs.h"
#include "forms/EditorServices.h"
#include "forms/IdentCompletion.h"
#include "forms/MainForm.h"
#include "forms/MessageView.h"
#include "forms/ModuleDialogs.h"
#include "forms/ProjectTree.h"
#include "forms/QtDialogs.h"
#include "forms/SimulatorInputDialog.h"
#include "forms/SourceEditor.h"
#include "forms/SplashForm.h"
#include "forms/WatchesView.h"
#include "projects/V2Project.h"
#include "projects/V2Simulator.h"

#include <QApplication>

namespace vexa::ide {

TStartupHooks IDEStartupHooks() {
  TStartupHooks hooks;
  hooks.CreateApplication = [](int& Count, char** Args) -> std::unique_ptr<QCoreApplication> {
    return std::make_unique<QApplication>(Count, Args);
  };
  hooks.RegisterServices = [] {
    SetDialogs(std::make_shared<TQtDialogs>());
    // The message view and the project tree before the editor factory; the
    // project factories, the simulation and the watches view after it.
    RegisterMessageView();
    RegisterProjectEditor();
    InstallModulesDialogHook();
    RegisterSourceEditorFactory();
    InstallSourceEditorHooks();
    RegisterV2Simulator();
    InstallIdentifierCompletion();
    RegisterWatchesView();
    RegisterBASICProjects();
    RegisterV2ProjectFactory();
  };
  hooks.ShowSplash = [] { ShowSplash(QCoreApplication::arguments()); };
  hooks.CreateMainWindow = []() -> std::unique_ptr<QObject> {
    auto window = std::make_unique<TIDEMainForm>();
    window->show();
    return window;
  };
  return hooks;
}

}  // namespace vexa::ide
