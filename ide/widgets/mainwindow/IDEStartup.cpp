#include "widgets/mainwindow/IDEStartup.h"

#include "model/core/Dialogs.h"
#include "model/projects/V2Project.h"
#include "model/workers/V2Simulator.h"
#include "widgets/dialogs/QtDialogs.h"
#include "widgets/dialogs/SimulatorInputDialog.h"
#include "widgets/editor/EditorServices.h"
#include "widgets/editor/IdentifierCompletionForm.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/mainwindow/IDEMainForm.h"
#include "widgets/mainwindow/VexaSplashForm.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/ProjectEditor.h"
#include "widgets/views/WatchesViewer.h"

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
