#include "model/startup/Startup.h"

#include "MockIntfs.h"
#include "ProgramArgs.h"
#include "TempSettings.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vexa::ide {
namespace {

std::vector<std::string> gTrace;

class TracedApp : public QCoreApplication {
 public:
  TracedApp(int& argc, char** argv) : QCoreApplication(argc, argv) {}
  ~TracedApp() override {
    gTrace.push_back(VexaIDE || CurrentSimulator ? "application deleted with services"
                                                 : "application deleted");
  }
};

class TracedWindow : public QObject {
 public:
  ~TracedWindow() override {
    gTrace.push_back(VexaIDE ? "window deleted" : "window deleted after the services");
    // Changed options are written after the window is gone.
    options::EditorFontSize = 17;
  }
};

template <class Mock>
struct Released : testing::NiceMock<Mock> {
  explicit Released(std::string name) : name_(std::move(name)) {}
  ~Released() override { gTrace.push_back(name_ + " released"); }
  std::string name_;
};

using Args = test::TProgramArgs;

class StartupOrder : public testing::Test {
 protected:
  void SetUp() override { gTrace.clear(); }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    ReleaseServices();
  }

  TStartupHooks Traced() {
    TStartupHooks hooks;
    hooks.CreateApplication = [this](int& argc, char** argv) {
      gTrace.push_back("application");
      // The application object takes the user's locale, as a QApplication does.
      germanNumbers = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
      return std::make_unique<TracedApp>(argc, argv);
    };
    hooks.RegisterServices = [this] {
      gTrace.push_back("services");
      numericLocaleAtServices = std::setlocale(LC_NUMERIC, nullptr);
      fontSizeAtServices = options::EditorFontSize;
      CurrentSimulator = std::make_shared<Released<test::MockVexaSimulator>>("simulator");
      MessageView = std::make_shared<Released<test::MockMessageView>>("message view");
    };
    hooks.ShowSplash = [] { gTrace.push_back("splash"); };
    hooks.CreateMainWindow = []() -> std::unique_ptr<QObject> {
      gTrace.push_back("main window");
      VexaIDE = std::make_shared<Released<test::MockVexaIDE>>("IDE");
      return std::make_unique<TracedWindow>();
    };
    hooks.RunEventLoop = [] {
      gTrace.push_back("event loop");
      return 5;
    };
    return hooks;
  }

  bool germanNumbers = false;
  std::string numericLocaleAtServices;
  int fontSizeAtServices = 0;
};

TEST_F(StartupOrder, RunsEachStepInTurnAndEndsInReverse) {
  test::TTempSettings temp;
  settings::WriteInteger("Editor", "EditorFontSize", 13);
  settings::ReleaseSettings();
  Args args({"vexaide"});

  EXPECT_EQ(RunIDE(args.count, args.pointers.data(), Traced()), 5);

  const std::vector<std::string> expected = {"application",
                                             "services",
                                             "splash",
                                             "main window",
                                             "event loop",
                                             "window deleted",
                                             "simulator released",
                                             "message view released",
                                             "IDE released",
                                             "application deleted"};
  EXPECT_EQ(gTrace, expected);
  EXPECT_EQ(numericLocaleAtServices, "C") << "German numbers in effect: " << germanNumbers;
  EXPECT_EQ(fontSizeAtServices, 13) << "options are read before the services";
  EXPECT_EQ(temp.File()->value("1.0/Editor/EditorFontSize").toString(), "17");
}

TEST_F(StartupOrder, NoSplashSwitchSkipsOnlyTheSplash) {
  test::TTempSettings temp;
  Args args({"vexaide", "-NOSPLASH", "demo.v2p"});
  RunIDE(args.count, args.pointers.data(), Traced());
  const std::vector<std::string> begin(gTrace.begin(), gTrace.begin() + 4);
  const std::vector<std::string> expected = {"application", "services", "main window",
                                             "event loop"};
  EXPECT_EQ(begin, expected);
}

// Qt's own dialog texts are German from the start, before the first window,
// whatever the user's locale.
TEST_F(StartupOrder, QtsOwnTextsAreGermanBeforeTheFirstWindow) {
  test::TTempSettings temp;
  ::setenv("LANG", "en_US.UTF-8", 1);
  Args args({"vexaide", "-ns"});
  TStartupHooks hooks = Traced();
  QStringList shown;
  hooks.CreateMainWindow = [&]() -> std::unique_ptr<QObject> {
    shown << QCoreApplication::translate("QPlatformTheme", "Cancel")
          << QCoreApplication::translate("QPrintDialog", "Print")
          << QCoreApplication::translate("QFileSystemModel", "Size");
    return std::make_unique<QObject>();
  };
  RunIDE(args.count, args.pointers.data(), hooks);
  ::unsetenv("LANG");
  EXPECT_EQ(shown, QStringList({"Abbrechen", "Drucken", QString::fromUtf8("Größe")}));
}

TEST(QtTranslations, AMissingTranslationFileChangesNothing) {
  EXPECT_FALSE(LoadQtTranslations(QStringLiteral("/tmp"))) << "no application";
  Args args({"vexaide"});
  QCoreApplication app(args.count, args.pointers.data());
  QTemporaryDir empty;
  EXPECT_FALSE(LoadQtTranslations(empty.path()));
  EXPECT_FALSE(LoadQtTranslations(empty.filePath(QStringLiteral("no/such/dir"))));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
  EXPECT_TRUE(LoadQtTranslations());
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

struct SplashCase {
  std::vector<QString> arguments;  // after the program name
  bool wanted;
};

class SplashSwitch : public testing::TestWithParam<SplashCase> {};

TEST_P(SplashSwitch, DecidesWhetherTheSplashIsShown) {
  QStringList arguments = {"vexaide"};
  for (const QString& a : GetParam().arguments) arguments << a;
  EXPECT_EQ(SplashWanted(arguments), GetParam().wanted) << arguments.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(CommandLines, SplashSwitch,
                         testing::Values(SplashCase{{}, true}, SplashCase{{"-ns"}, false},
                                         SplashCase{{"-NS"}, false},
                                         SplashCase{{"demo.v2p", "-NoSplash"}, false},
                                         SplashCase{{"-nosplash"}, false}, SplashCase{{"ns"}, true},
                                         SplashCase{{"NoSplash"}, true}, SplashCase{{"-nsx"}, true},
                                         SplashCase{{"/ns"}, true}));

TEST(SplashSwitchName, TheProgramNameIsNoSwitch) { EXPECT_TRUE(SplashWanted({"-ns"})); }

// A window that counts its paints.
class PaintedWindow : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

struct ExitCase {
  const char* name;
  const char* value;  // none: unset
  bool exitsAtPaint;
};

class ExitAfterFirstPaint : public testing::TestWithParam<ExitCase> {
 protected:
  void TearDown() override {
    ::unsetenv(kExitAfterFirstPaintVariable);
    ReleaseServices();
  }
};

TEST_P(ExitAfterFirstPaint, EndsTheEventLoopOnlyWhenAsked) {
  test::TTempSettings temp;
  if (GetParam().value)
    ::setenv(kExitAfterFirstPaintVariable, GetParam().value, 1);
  else
    ::unsetenv(kExitAfterFirstPaintVariable);
  Args args({"vexaide", "-ns"});
  PaintedWindow* shown = nullptr;
  int paints = 0;
  bool timedOut = false;
  TStartupHooks hooks;
  hooks.CreateApplication = [](int& argc, char** argv) -> std::unique_ptr<QCoreApplication> {
    return std::make_unique<QApplication>(argc, argv);
  };
  hooks.CreateMainWindow = [&]() -> std::unique_ptr<QObject> {
    auto window = std::make_unique<PaintedWindow>();
    window->resize(200, 100);
    window->show();
    shown = window.get();
    QTimer::singleShot(1500, [&] {
      timedOut = true;
      QCoreApplication::quit();
    });
    return window;
  };
  hooks.RunEventLoop = [&] {
    int result = QCoreApplication::exec();
    paints = shown->paints;
    return result;
  };
  RunIDE(args.count, args.pointers.data(), hooks);
  EXPECT_GE(paints, 1);
  EXPECT_EQ(timedOut, !GetParam().exitsAtPaint);
}

INSTANTIATE_TEST_SUITE_P(Values, ExitAfterFirstPaint,
                         testing::Values(ExitCase{"Set", "1", true}, ExitCase{"Zero", "0", false},
                                         ExitCase{"Unset", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class UserData : public testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old) saved_ = old;
    hadValue_ = old != nullptr;
  }
  void TearDown() override {
    if (hadValue_)
      ::setenv("XDG_DATA_HOME", saved_.c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
  }
  QTemporaryDir dir;

 private:
  std::string saved_;
  bool hadValue_ = false;
};

TEST_F(UserData, TheFolderIsMadeOnDemandUnderTheUsersDataFolder) {
  ::setenv("XDG_DATA_HOME", dir.path().toLocal8Bit().constData(), 1);
  const QString expected = dir.path() + "/Dornik Electronic/Vexa IDE/";
  ASSERT_FALSE(QDir(expected).exists());
  EXPECT_EQ(UserDataDirectory(), expected);
  EXPECT_TRUE(QDir(expected).exists());
  EXPECT_EQ(UserDataDirectory(), expected);  // already there
}

TEST_F(UserData, AFolderThatCannotBeMadeGivesNone) {
  QFile blocker(dir.path() + "/file");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  ::setenv("XDG_DATA_HOME", blocker.fileName().toLocal8Bit().constData(), 1);
  EXPECT_EQ(UserDataDirectory(), QString());
}

}  // namespace
}  // namespace vexa::ide
