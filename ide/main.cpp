#include "Helpers.h"
#include "Startup.h"
#include "forms/QtDialogs.h"
#include "forms/SourceEditor.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

int main(int argc, char** argv) {
  using namespace vexa::ide;
  TStartupHooks hooks;
  hooks.CreateApplication = [](int& count, char** args) -> std::unique_ptr<QCoreApplication> {
    return std::make_unique<QApplication>(count, args);
  };
  hooks.RegisterServices = [] {
    SetDialogs(std::make_shared<TQtDialogs>());
    // The message view, the project tree, the source-editor factory, the
    // two project factories and the watches view register here, in this order.
    RegisterSourceEditorFactory();
  };
  // The splash window is shown here.
  hooks.ShowSplash = nullptr;
  hooks.CreateMainWindow = []() -> std::unique_ptr<QObject> {
    // Until the main window joins: a bare frame under its caption.
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Dornik Vexa Entwicklung"));
    window->resize(800, 600);
    window->show();
    return window;
  };
  return RunIDE(argc, argv, hooks);
}
