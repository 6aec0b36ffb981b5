#include "model/startup/Startup.h"

#include "model/core/Dialogs.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"

#include <QEvent>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <cstdio>

namespace vexa::ide {
namespace {

// Ends the event loop after the first paint of Window or one of its children.
class TExitAfterFirstPaint : public QObject {
 public:
  explicit TExitAfterFirstPaint(QObject* Window) : window_(Window) {}

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (!done_ && Event->type() == QEvent::Paint && Belongs(Watched)) {
      done_ = true;
      QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                Qt::QueuedConnection);
    }
    return false;
  }

 private:
  bool Belongs(QObject* Object) const {
    for (QObject* o = Object; o; o = o->parent())
      if (o == window_) return true;
    return false;
  }

  QPointer<QObject> window_;
  bool done_ = false;
};

bool ExitAfterFirstPaintWanted() {
  const QByteArray value = qgetenv(kExitAfterFirstPaintVariable);
  return !value.isEmpty() && value != "0";
}

}  // namespace

bool LoadQtTranslations(const QString& Directory) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  const QString dir =
      Directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : Directory;
  auto translator = std::make_unique<QTranslator>(app);
  if (!translator->load(QStringLiteral("qtbase_de"), dir) ||
      !QCoreApplication::installTranslator(translator.get()))
    return false;
  translator.release();  // owned by the application
  return true;
}

bool SplashWanted(const QStringList& Arguments) {
  for (int i = 1; i < Arguments.size(); ++i) {
    const QString& a = Arguments[i];
    if (a.compare(QLatin1String("-ns"), Qt::CaseInsensitive) == 0 ||
        a.compare(QLatin1String("-NoSplash"), Qt::CaseInsensitive) == 0)
      return false;
  }
  return true;
}

int RunIDE(int& argc, char** argv, const TStartupHooks& Hooks) {
  int result = 0;
  std::unique_ptr<QCoreApplication> app = Hooks.CreateApplication(argc, argv);
  // Qt has set the user's C locale; numbers must keep the decimal point.
  FixNumericLocale();
  // Dialogs of Qt (print, page set-up, files) speak German like the rest.
  LoadQtTranslations();
  QCoreApplication::setOrganizationName(QStringLiteral("Dornik Electronic"));
  QCoreApplication::setApplicationName(QStringLiteral("Vexa IDE"));

  options::ReadOptions();
  if (Hooks.RegisterServices) Hooks.RegisterServices();
  if (Hooks.ShowSplash && SplashWanted(QCoreApplication::arguments())) Hooks.ShowSplash();

  {
    std::unique_ptr<QObject> window;
    if (Hooks.CreateMainWindow) window = Hooks.CreateMainWindow();
    std::unique_ptr<TExitAfterFirstPaint> exitFilter;
    if (window && ExitAfterFirstPaintWanted()) {
      exitFilter = std::make_unique<TExitAfterFirstPaint>(window.get());
      app->installEventFilter(exitFilter.get());
    }
    result = Hooks.RunEventLoop ? Hooks.RunEventLoop() : QCoreApplication::exec();
    exitFilter.reset();
    window.reset();
  }

  options::WriteOptions();
  // The IDE ends anyway; the user learns why the settings are not kept.
  if (!settings::Flush()) std::fprintf(stderr, "vexaide: the settings could not be written\n");
  settings::ReleaseSettings();
  ReleaseServices();
  SetDialogs(nullptr);
  app.reset();
  return result;
}

}  // namespace vexa::ide
