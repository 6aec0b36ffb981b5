// The program as main() runs it: its own application object per run, the
// real start-up hooks, settings in a temporary file.
#include "ProgramArgs.h"
#include "widgets/mainwindow/IDEStartup.h"

#include "MockIntfs.h"
#include "ModalWatcher.h"
#include "TempSettings.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/settings/Settings.h"
#include "widgets/mainwindow/IDEMainForm.h"
#include "widgets/mainwindow/TipOfTheDayDialog.h"
#include "widgets/mainwindow/VexaSplashForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

#include <functional>
#include <string>
#include <vector>

namespace vexa::ide {
namespace {

using testing::NiceMock;
using testing::Return;

using Args = test::TProgramArgs;

class MainStart : public testing::Test {
 protected:
  void TearDown() override { ReleaseServices(); }

  // Runs the program; Drive runs inside the event loop with the shown main
  // window and must end by closing it. Prepare runs right after the window
  // was made.
  int Run(std::vector<std::string> Arguments, std::function<void(TIDEMainForm&)> Drive,
          std::function<void(TIDEMainForm&)> Prepare = nullptr,
          std::function<void()> Services = nullptr) {
    Arguments.insert(Arguments.begin(), "vexaide");
    Args args(Arguments);
    TStartupHooks hooks = IDEStartupHooks();
    if (Services) {
      auto base = hooks.RegisterServices;
      hooks.RegisterServices = [base, Services] {
        base();
        Services();
      };
    }
    auto create = hooks.CreateMainWindow;
    TIDEMainForm* form = nullptr;
    hooks.CreateMainWindow = [&]() -> std::unique_ptr<QObject> {
      std::unique_ptr<QObject> window = create();
      form = qobject_cast<TIDEMainForm*>(window.get());
      if (form && Prepare) Prepare(*form);
      return window;
    };
    hooks.RunEventLoop = [&] {
      if (!form) return -1;
      QTimer::singleShot(0, form, [&] { Drive(*form); });
      QTimer::singleShot(15000, [] { QCoreApplication::exit(99); });
      return QCoreApplication::exec();
    };
    return RunIDE(args.count, args.pointers.data(), hooks);
  }

  test::TTempSettings temp;
};

TEST_F(MainStart, AFirstStartShowsTheWindowAndTheTipAfterTwoSecondsAndKeepsEveryStartValue) {
  std::unique_ptr<test::TModalWatcher<TTipOfTheDayDialog>> tips;
  bool splashSeen = true;
  const int result = Run(
      {"-NOSPLASH"},
      [&](TIDEMainForm& w) {
        EXPECT_EQ(w.windowTitle(), "Dornik Vexa Entwicklung");
        QStringList titles;
        for (QAction* menu : w.menuBar()->actions()) titles << menu->text();
        EXPECT_EQ(titles.join(' '),
                  "&Datei &Bearbeiten &Suchen &Ansicht &Projekt S&imulator &Optionen &Hilfe");
        EXPECT_EQ(w.findChildren<QToolBar*>().size(), 5);
        for (QToolBar* bar : w.Toolbars()) EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(w.statusBar()->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&] { return tips->Seen > 0; }, 6000));
        EXPECT_TRUE(w.miHelpInfo->isEnabled());
        w.close();
      },
      [&](TIDEMainForm&) {
        splashSeen = VexaSplashForm != nullptr;
        tips = std::make_unique<test::TModalWatcher<TTipOfTheDayDialog>>();
      });
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(splashSeen);
  EXPECT_EQ(tips->Seen, 1);
  EXPECT_GE(tips->ShownAfter, 1900);
  EXPECT_LE(tips->ShownAfter, 4000);

  auto file = temp.File();
  for (const char* key : {"Left", "Top", "Width", "Height", "ToolbarState"})
    EXPECT_TRUE(file->contains(QStringLiteral("1.0/Main/") + key)) << key;
  EXPECT_GE(file->value("1.0/Main/Width").toInt(), 400);
  EXPECT_EQ(file->value("1.0/Main/Maximized").toString(), "0");
  EXPECT_EQ(file->value("1.0/Main/StatusbarVisible").toString(), "1");
  EXPECT_EQ(file->value("1.0/Misc/ShowTipOfTheDay").toString(), "1");
  EXPECT_EQ(file->value("1.0/Misc/NextTipOfTheDay").toString(), "1");

  // The options read at start, written back at the end with their defaults.
  const std::vector<std::pair<const char*, std::string>> options = {
      {"Projects/BackgroundCompilationBASIC", "1"},
      {"Projects/BackgroundCompilationDelayBASIC", "1000"},
      {"Projects/BackgroundCompilationV2", "1"},
      {"Projects/BackgroundCompilationDelayV2", "1000"},
      {"Projects/DownloadComBASIC", "1"},
      {"Projects/DownloadComV2", "1"},
      {"Editor/AutoIndent", "1"},
      {"Editor/DragDropEditing", "0"},
      {"Editor/InsertMode", "1"},
      {"Editor/SearchTextAtCaret", "1"},
      {"Editor/ShowGutter", "1"},
      {"Editor/ShowRightEdge", "1"},
      {"Editor/EditorFontSize", "10"},
      {"Editor/EditorFontFace", "Courier New"},
      {"Editor/Print/LeftMargin", "25"},
      {"Editor/Print/RightMargin", "20"},
      {"Editor/Print/TopMargin", "15"},
      {"Editor/Print/BottomMargin", "15"},
      {"Editor/Print/Header", "1"},
      {"Editor/Print/LineNumbers", "0"},
      {"Editor/Print/SyntaxHighlighted", "1"},
      {"Editor/Print/UseColors", "1"},
      {"Editor/Print/WrapLongLines", "0"},
      {"Editor/Colors/SelectedTextBG", std::to_string(int(0x8000000D))},
      {"Editor/Colors/SelectedTextFG", std::to_string(int(0x8000000E))},
      {"Editor/Colors/CurrentLineBG", "16711680"},
      {"Editor/Colors/CurrentLineFG", "16777215"},
      {"Editor/Colors/ErrorLineFG", "16777215"},
      {"Editor/Colors/BreakpointLineFG", "16777215"},
      {"Editor/Colors/InvalidBreakpointLineFG", "16777215"},
      {"SyntaxHighlighting/UseSyntaxHighlighting", "1"},
      {"Editor/Colors/ErrorLineBG", "128"},
      {"Editor/Colors/BreakpointLineBG", "255"},
      {"Editor/Colors/InvalidBreakpointLineBG", "8421504"},
      {"SearchAndReplace/SearchText", ""},
      {"SearchAndReplace/ReplaceText", ""},
      {"SearchAndReplace/SearchBackwards", "0"},
      {"SearchAndReplace/SearchCaseSensitive", "0"},
      {"SearchAndReplace/SearchFromCaret", "1"},
      {"SearchAndReplace/SearchInSelectionOnly", "1"},
      {"SearchAndReplace/SearchWholeWordsOnly", "0"},
  };
  for (const auto& [key, value] : options) {
    const QString path = QStringLiteral("1.0/") + key;
    EXPECT_TRUE(file->contains(path)) << key;
    EXPECT_EQ(file->value(path).toString().toStdString(), value) << key;
  }
  for (const char* path : {"DefaultProjectPath", "SystemModulesPath", "UserCommonModulesPath"})
    EXPECT_FALSE(file->contains(QStringLiteral("1.0/Projects/") + path)) << path;
}

TEST_F(MainStart, TheSplashShowsUntilTheTimerClosesIt) {
  settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  bool splashAtStart = false, infoAtStart = true;
  Run(
      {},
      [&](TIDEMainForm& w) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.miHelpInfo->isEnabled(); }, 3000));
        EXPECT_EQ(VexaSplashForm, nullptr);
        w.close();
      },
      [&](TIDEMainForm& w) {
        splashAtStart = VexaSplashForm && VexaSplashForm->isVisible();
        infoAtStart = w.miHelpInfo->isEnabled();
        w.tmrSplash->setInterval(100);
      });
  EXPECT_TRUE(splashAtStart);
  EXPECT_FALSE(infoAtStart);
}

TEST_F(MainStart, FilesOpenedAndClosedComeBackAsRecentFilesNewestFirst) {
  settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  QTemporaryDir dir;
  const QString a = dir.filePath("erstes.v2"), b = dir.filePath("zweites.v2");
  // Editors that put their file on the recent list when they close, as the
  // source editor does.
  std::vector<std::shared_ptr<NiceMock<test::MockVexaSourceEditor>>> editors;
  auto factory = std::make_shared<NiceMock<test::MockVexaSourceEditorFactory>>();
  ON_CALL(*factory, CreateForFile)
      .WillByDefault(
          [&](QTabWidget*, const QString& FileName, TFileKind) -> Ref<IVexaSourceEditor> {
            auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
            std::weak_ptr<IVexaSourceEditor> self = editor;
            ON_CALL(*editor, GetFileName()).WillByDefault(Return(FileName));
            ON_CALL(*editor, Close()).WillByDefault([self, FileName] {
              CommandsModule->AddRecentFile(FileName);
              if (Ref<IVexaSourceEditor> me = self.lock()) VexaIDE->RemoveEditor(me);
            });
            VexaIDE->AddEditor(editor);
            editors.push_back(editor);
            return editor;
          });
  Run(
      {"-ns"},
      [&](TIDEMainForm& w) {
        Ref<IVexaSourceEditor> first = VexaIDE->OpenFile(a, TFileKind::V2Module);
        Ref<IVexaSourceEditor> second = VexaIDE->OpenFile(b, TFileKind::V2Module);
        ASSERT_TRUE(first && second);
        EXPECT_EQ(VexaIDE->GetEditorCount(), 2);
        first->Close();
        second->Close();
        EXPECT_EQ(VexaIDE->GetEditorCount(), 0);
        w.close();
      },
      nullptr, [&] { SourceEditorFactory = factory; });
  auto file = temp.File();
  EXPECT_EQ(file->value("1.0/MostRecentlyUsed/MRUFile1").toString(), b);
  EXPECT_EQ(file->value("1.0/MostRecentlyUsed/MRUFile2").toString(), a);
  EXPECT_FALSE(file->contains("1.0/MostRecentlyUsed/MRUFile3"));
}

}  // namespace
}  // namespace vexa::ide
