#pragma once

// The program's order of starting and ending, with the parts that need
// windows handed in, so that the order itself runs without a display.

#include <QCoreApplication>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace vexa::ide {

struct TStartupHooks {
  // The application object (a QApplication in the program). Required.
  std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> CreateApplication;
  // Fills the service variables and the dialogs service.
  std::function<void()> RegisterServices;
  // Only called when the command line does not suppress the splash.
  std::function<void()> ShowSplash;
  // Creates and shows the main window; it is deleted after the event loop.
  std::function<std::unique_ptr<QObject>()> CreateMainWindow;
  // Runs the event loop; QCoreApplication::exec() when empty.
  std::function<int()> RunEventLoop;
};

// Application; numbers with "."; Qt's texts in German; options read; services; splash; main window;
// event loop; main window deleted; options written; services released (the
// simulation first, the IDE last); the application last. The event loop's
// result.
int RunIDE(int& argc, char** argv, const TStartupHooks& Hooks);

// Installs Qt's German texts (qtbase_de.qm from Directory, Qt's own
// translations folder when empty) on the application, whatever the locale:
// the IDE speaks German only. False, and nothing installed, without the file.
bool LoadQtTranslations(const QString& Directory = QString());

// False when the arguments hold -ns or -NoSplash (any case).
bool SplashWanted(const QStringList& Arguments);

// Set to a non-empty value other than "0", the event loop ends right after
// the main window's first paint (start-up timing).
inline constexpr char kExitAfterFirstPaintVariable[] = "VEXA_IDE_EXIT_AFTER_FIRST_PAINT";

}  // namespace vexa::ide
