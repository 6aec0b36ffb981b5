#include "forms/IDEStartup.h"

#include "Dialogs.h"
#include "forms/EditorServices.h"
#include "forms/MainForm.h"
#include "forms/QtDialogs.h"
#include "forms/SourceEditor.h"
#include "forms/SplashForm.h"
#include "projects/V2Project.h"

#include <QApplication>

namespace vexa::ide {

TStartupHooks IDEStartupHooks() {
  TStartupHooks hooks;
  hooks.CreateApplication = [](int& Count, char** Args) -> std::unique_ptr<QCoreApplication> {
    return std::make_unique<QApplication>(Count, Args);
  };
  hooks.RegisterServices = [] {
    SetDialogs(std::make_shared<TQtDialogs>());
    // The message view and the project tree register here, before the editor factory;
    // the two project factories and the watches view after it.
    RegisterSourceEditorFactory();
    InstallSourceEditorHooks();
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
