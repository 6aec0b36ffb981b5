// Renders the main window, the About box and the tip of the day offscreen
// into PNG files under the build folder, for a reviewer to look at.
#include "widgets/mainwindow/IDEMainForm.h"

#include "widgets/editor/EditorServices.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/VexaEditControl.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "PumpUntil.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/libraries/VexaMessage.h"
#include "model/projects/BasicProject.h"
#include "model/settings/HighlighterSettings.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"
#include "model/startup/Startup.h"
#include "model/workers/Quorin.h"
#include "widgets/dialogs/SimulatorInputDialog.h"
#include "widgets/editor/IdentifierCompletionForm.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/mainwindow/IDEStartup.h"
#include "widgets/mainwindow/TipOfTheDayDialog.h"
#include "widgets/mainwindow/VexaSplashForm.h"
#include "widgets/options/MultipageOptionDialog.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/ProjectEditor.h"
#include "widgets/views/WatchesViewer.h"

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <functional>
#include <optional>

namespace vexa::ide {
namespace {

// Saves Widget's picture; the file read back must have its size.
void Save(QWidget& Widget, const QString& Name) {
  // The tool bars show the actions' states of now, not of the last timer round.
  if (CommandsDataModule) CommandsDataModule->UpdateActions();
  QDir().mkpath(QStringLiteral(VEXAIDE_SCREENSHOT_DIR));
  const QString path = QStringLiteral(VEXAIDE_SCREENSHOT_DIR "/") + Name;
  QFile::remove(path);
  ASSERT_TRUE(Widget.grab().save(path)) << path.toStdString();
  EXPECT_GT(QFileInfo(path).size(), 1000) << path.toStdString();
  const QImage image(path);
  EXPECT_EQ(image.size(), Widget.size() * Widget.devicePixelRatio()) << path.toStdString();
}

// Distinct colours in a rectangle of Image: a blank area has one or two.
int Colours(const QImage& Image, const QRect& Area) {
  QSet<QRgb> colours;
  for (int y = Area.top(); y <= Area.bottom(); ++y)
    for (int x = Area.left(); x <= Area.right(); ++x) colours.insert(Image.pixel(x, y));
  return int(colours.size());
}

class Screenshots : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    // As the program starts: Qt's own texts (shortcuts, dialogs) in German.
    static const bool german = LoadQtTranslations();
    (void)german;
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  }
  void TearDown() override { ReleaseServices(); }
  test::TTempSettings temp;
};

TEST_F(Screenshots, MainWindow) {
  TIDEMainForm w;
  w.resize(1024, 700);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.SetStatusText(StatusPanelCaret, QStringLiteral("1: 1"));
  w.SetStatusText(StatusPanelMode, QStringLiteral("Einfügen"));
  w.SetStatusText(StatusPanelText, QStringLiteral("Bereit"));
  QTest::qWait(50);
  Save(w, QStringLiteral("mainwindow.png"));
  // Every tool bar shows all of its buttons at this width.
  for (QToolBar* bar : w.Toolbars())
    EXPECT_GE(bar->width(), bar->sizeHint().width()) << bar->objectName().toStdString();
  // Menus, buttons and status texts are painted.
  const QImage image = w.grab().toImage();
  EXPECT_GT(Colours(image, w.tb97Standard->geometry()), 10);
  EXPECT_GT(Colours(image, QRect(w.StatusBar()->mapTo(&w, QPoint(0, 0)), w.StatusBar()->size())),
            3);
}

TEST_F(Screenshots, AboutBox) {
  TVexaSplashForm about(nullptr, false);
  about.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
  Save(about, QStringLiteral("aboutbox.png"));
  EXPECT_GE(about.width(), 200);
  EXPECT_GE(about.lblVersion->width(), about.lblVersion->sizeHint().width()) << "version cut";
}

TEST_F(Screenshots, TipOfTheDay) {
  TTipOfTheDayDialog tip;
  tip.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tip));
  Save(tip, QStringLiteral("tipoftheday.png"));
  EXPECT_FALSE(tip.TipOfTheDay1->Tip().isEmpty());
  const QImage image = tip.grab().toImage();
  EXPECT_GT(Colours(image, tip.TipOfTheDay1->geometry()), 10) << "the tip is painted";
}

// Two editors in the main window: a V2 module with highlighting, a breakpoint,
// the execution line and an error line, and a VXBasic file.
TEST_F(Screenshots, Editors) {
  InstallSourceEditorHooks();
  RegisterSourceEditorFactory();
  QTemporaryDir dir;
  const QString v2 = dir.filePath(QStringLiteral("motor.v2"));
  const QString bas = dir.filePath(QStringLiteral("robot.bas"));
  auto write = [](const QString& Path, const char* Text) {
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Text);
  };
  write(v2,
        "// Motor control\n"
        "const SPEED = 120;\n"
        "int count;\n"
        "\n"
        "func step(int n) {\n"
        "  count = count + n;   /* one step */\n"
        "  if (count > SPEED) {\n"
        "    count = 0;\n"
        "  }\n"
        "  print(\"steps: \", count);\n"
        "}\n"
        "\n"
        "thread main {\n"
        "  step(1);\n"
        "}\n");
  write(bas,
        "' Blink the lamp\n"
        "DEFINE lamp PORT[1]\n"
        "#loop\n"
        "  lamp = ON\n"
        "  PAUSE 10\n"
        "  lamp = OFF\n"
        "  PAUSE &H0A\n"
        "GOTO loop\n");

  auto module = std::make_shared<testing::NiceMock<test::MockVexaModule>>();
  ON_CALL(*module, GetFileName).WillByDefault(testing::Return(v2));
  ON_CALL(*module, GetFileTitle).WillByDefault(testing::Return(QStringLiteral("motor.v2")));
  ON_CALL(*module, GetLineFlags).WillByDefault([](int Line) {
    return Line == 6 ? int(LineFlagBreakpoint | LineFlagBreakpointCompiled | LineFlagCode) : 0;
  });

  TIDEMainForm w;
  w.resize(1024, 700);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto basic =
      std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->OpenFile(bas, TFileKind::BasicProject));
  ASSERT_TRUE(basic);
  QTest::qWait(50);
  Save(w, QStringLiteral("editor_basic.png"));

  auto editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(module));
  ASSERT_TRUE(editor);
  editor->RefreshBreakpointLines();
  editor->SetExecutionLine(14);
  editor->SetErrorLine(10);
  QTest::qWait(50);
  Save(w, QStringLiteral("editor_v2.png"));

  // The text is coloured: many colours where only black on white would be two.
  TVexaEditControl* control = editor->Control();
  const QImage image = control->grab().toImage();
  EXPECT_GT(Colours(image, QRect(40, 0, image.width() - 40, image.height() / 2)), 20);
  editor->Close();
  basic->Close();
}

// The three option dialogs: the V2 dialog on its highlighting page, the BASIC
// dialog on its project page, the environment dialog.
TEST_F(Screenshots, OptionDialogs) {
  THighlighterAttributes v2(THighlighterLanguage::V2), basic(THighlighterLanguage::Basic);
  struct Shot {
    const char* file;
    int tab;
  } shots[] = {{"options_v2.png", 0}, {"options_basic.png", 1}, {"options_environment.png", 0}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(shots[k].file);
    TMultipageOptionDialog dialog;
    if (k == 0) BuildV2OptionsDialog(dialog, &v2);
    if (k == 1) BuildBasicOptionsDialog(dialog, &basic);
    if (k == 2) BuildEnvironmentOptionsDialog(dialog);
    dialog.pctrlOptionPages->setCurrentIndex(shots[k].tab);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(50);
    Save(dialog, QString::fromLatin1(shots[k].file));
    // Every control of the page fits: the dialog is at least its size hint.
    EXPECT_GE(dialog.width(), dialog.sizeHint().width());
    EXPECT_GE(dialog.height(), dialog.sizeHint().height());
    const QImage image = dialog.grab().toImage();
    QWidget* page = dialog.Pages[shots[k].tab];
    EXPECT_GT(Colours(image, QRect(page->mapTo(&dialog, QPoint(0, 0)), page->size())), 10)
        << "the page is painted";
  }
}

// Answers the next modal input dialog with Text.
void AnswerInput(const QString& Text) {
  QTimer::singleShot(5, [Text] {
    auto* dialog = qobject_cast<TSimulatorInputDialog*>(QApplication::activeModalWidget());
    if (!dialog) return AnswerInput(Text);
    dialog->cbValue()->setEditText(Text);
    dialog->OkButton()->click();
  });
}

bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs = 20000) {
  return test::PumpUntil(Done, std::chrono::milliseconds(TimeoutMs));
}

// The example VXBasic program in the main window with the registered views,
// paused at a breakpoint after its INPUT was answered with 5.
TEST_F(Screenshots, BasicProjectPaused) {
  test::TScopedFakeDialogs dialogs;
  dialogs->simulatorInput = &ShowSimulatorInputDialog;
  RegisterMessageView();
  RegisterProjectEditor();
  RegisterSourceEditorFactory();
  InstallSourceEditorHooks();
  RegisterWatchesView();
  RegisterBASICProjects();
  options::BackgroundCompilationBASIC = true;
  TSimulatorInputDialog::ClearHistory();
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("input.bas"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(VEXA_EXAMPLES_DIR "/basic/input.bas"), file));

  TIDEMainForm w;
  w.resize(1024, 700);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  VexaIDE->OpenByKind(file, TFileKind::BasicProject);
  ASSERT_EQ(VexaIDE->GetProjectCount(), 1);
  auto p = std::dynamic_pointer_cast<TVexaBASICProjectAndModule>(VexaIDE->GetProject(0));
  ASSERT_TRUE(p);
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(p->GetEditor());
  ASSERT_TRUE(editor);
  ASSERT_TRUE(ProcessUntil([&] { return p->IsBuilt() && p->Worker()->CanRun(); }));

  const QStringList lines = editor->GetText()->Text.split(QRegularExpression("\r\n|\n"));
  // The PRINT after the square: ZAHL and QUADRAT hold their values.
  const int line = int(lines.indexOf(QRegularExpression("^PRINT.*"))) + 1;
  ASSERT_GT(line, 0);
  p->ToggleBreakpoint(line);
  const int next = int(lines.indexOf(QRegularExpression("^NEXT.*"))) + 1;
  ASSERT_GT(next, line);
  p->ToggleBreakpoint(next);
  p->AddWatchName(QStringLiteral("ZAHL"));
  p->AddWatchName(QStringLiteral("QUADRAT"))->SetFormat(TWatchFormat::Hex);
  WatchesView->RefreshAll();
  AnswerInput(QStringLiteral("5"));
  CurrentSimulator->Run();
  ASSERT_TRUE(ProcessUntil([&] { return p->Worker()->State() == TQuorin::TState::Paused; }));
  // The commands' states follow on their timer.
  QTest::qWait(TCommandsDataModule::kUpdateInterval + 100);
  Save(w, QStringLiteral("basic_paused.png"));

  // Every view is docked and shown; the messages and the watches share the
  // bottom, so each is painted with its content when its tab is in front.
  auto tree = std::dynamic_pointer_cast<TProjectEditor>(ProjectEditor);
  auto messages = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
  auto watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
  ASSERT_TRUE(tree && messages && watches);
  ASSERT_TRUE(tree->DockWidget() && messages->DockWidget() && watches->DockWidget());
  EXPECT_EQ(w.dockWidgetArea(tree->DockWidget()), Qt::LeftDockWidgetArea);
  EXPECT_EQ(w.dockWidgetArea(messages->DockWidget()), Qt::BottomDockWidgetArea);
  EXPECT_EQ(w.dockWidgetArea(watches->DockWidget()), Qt::BottomDockWidgetArea);
  auto painted = [&w](QWidget* View) {
    SCOPED_TRACE(View->windowTitle().toStdString());
    EXPECT_TRUE(View->isVisible());
    EXPECT_FALSE(View->visibleRegion().isEmpty());
    const QImage image = w.grab().toImage();
    EXPECT_GT(Colours(image, QRect(View->mapTo(&w, QPoint(0, 0)), View->size())), 10);
  };
  painted(tree->DockWidget());
  painted(messages->DockWidget());
  watches->DockWidget()->raise();
  QTest::qWait(50);
  Save(w, QStringLiteral("basic_paused_watches.png"));
  painted(watches->DockWidget());

  QTableView* grid = watches->ViewerForm()->dgWatches;
  ASSERT_EQ(grid->model()->rowCount(), 2);
  EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("5"));
  EXPECT_EQ(grid->model()->index(1, 1).data().toString(), QStringLiteral("&H0019"));
  EXPECT_TRUE(messages->ViewerForm()->Model()->index(0).data().toString().startsWith("OK - "));
  EXPECT_EQ(tree->EditorForm()->treeProjects->topLevelItem(0)->text(0),
            QStringLiteral("input.bas"));

  CurrentSimulator->Stop();
  ASSERT_TRUE(ProcessUntil([&] { return p->Worker()->State() == TQuorin::TState::Ready; }));
  editor->Close();
  EXPECT_TRUE(dialogs->calls.empty()) << dialogs->Texts().join("\n").toStdString();
}

// The demo V2 project open in the main window: the tree with its modules, a
// module's editor on the error line and the message view with that error.
TEST_F(Screenshots, V2DemoProject) {
  options::ReadOptions();
  IDEStartupHooks().RegisterServices();
  QTemporaryDir dir;
  const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
  for (const QString& name : source.entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath(name))) << name.toStdString();
  {
    test::TScopedFakeDialogs dialogs;
    TIDEMainForm w;
    w.resize(1024, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    VexaIDE->OpenByKind(dir.filePath(QStringLiteral("demo.v2p")), TFileKind::V2Project);
    ASSERT_EQ(VexaIDE->GetProjectCount(), 1);
    Ref<IVexaProject> project = VexaIDE->GetProject(0);
    QElapsedTimer clock;
    clock.start();
    while (!project->IsBuilt() && clock.elapsed() < 20000)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(project->IsBuilt());
    Ref<IVexaModule> motor = project->GetModule(0);
    ASSERT_EQ(motor->GetName(), QStringLiteral("motor"));

    MessageView->Clear();
    AddToMessageView(
        MakeModuleMessages(project, motor, QStringLiteral("motor (7) : Unbekannter Bezeichner")));
    MessageView->GoToCurrent();
    auto editor = std::dynamic_pointer_cast<TSourceEditor>(motor->GetEditor());
    ASSERT_TRUE(editor);
    QTest::qWait(50);
    Save(w, QStringLiteral("v2_demo_project.png"));

    const QImage image = w.grab().toImage();
    auto area = [&](QWidget* Widget) {
      return QRect(Widget->mapTo(&w, QPoint(0, 0)), Widget->size());
    };
    auto tree = std::dynamic_pointer_cast<TProjectEditor>(ProjectEditor);
    auto messages = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
    ASSERT_TRUE(tree && messages);
    QTreeWidget* view = tree->EditorForm()->treeProjects;
    EXPECT_GT(Colours(image, area(view)), 10) << "the tree is painted";
    EXPECT_GT(Colours(image, area(editor->Control())), 20) << "the module is highlighted";
    // Every node of the tree is in view, none cut off at the right.
    for (QTreeWidgetItemIterator it(view); *it; ++it) {
      const QRect r = view->visualItemRect(*it);
      EXPECT_TRUE(view->viewport()->rect().contains(r.topLeft())) << (*it)->text(0).toStdString();
    }
    QListView* list = messages->ViewerForm()->dgMessages;
    const QRect row = list->visualRect(list->model()->index(0, 0));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_GT(Colours(image, QRect(list->viewport()->mapTo(&w, row.topLeft()), row.size())), 3)
        << "the error is listed";
    EXPECT_TRUE(dialogs->calls.empty()) << dialogs->Texts().join('\n').toStdString();
    VexaIDE->CloseAll();
  }
  SetDialogs(nullptr);
}

// The demo project paused at a breakpoint: the execution line in the main
// module, the watches view with values and the completion pop-up (painted
// into the picture where it stands on the screen).
TEST_F(Screenshots, V2DebugSession) {
  QTemporaryDir dir;
  const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
  for (const QString& name : source.entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath(name)));
  QDir(dir.path()).mkpath(QStringLiteral("Lib"));
  {
    QFile list(dir.filePath(QStringLiteral("Lib/modules.txt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("// none\r\n");
  }
  settings::WriteString("Projects", "SystemModulesPath", dir.filePath(QStringLiteral("Lib")));
  settings::WriteString("Projects", "UserCommonModulesPath", dir.filePath(QStringLiteral("Lib")));
  options::ReadOptions();
  IDEStartupHooks().RegisterServices();
  test::TScopedFakeDialogs dialogs;

  TIDEMainForm w;
  w.resize(1100, 900);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto until = [](const std::function<bool()>& Done) {
    for (int i = 0; i < 1500 && !Done(); ++i) QTest::qWait(10);
    return Done();
  };
  VexaIDE->OpenByKind(dir.filePath(QStringLiteral("demo.v2p")), TFileKind::V2Project);
  ASSERT_EQ(VexaIDE->GetProjectCount(), 1);
  Ref<IVexaProject> project = VexaIDE->GetProject(0);
  ASSERT_TRUE(until([&] { return project->IsBuilt() && CurrentSimulator; }));
  Ref<IVexaModule> main;
  for (int i = 0; i < project->GetModuleCount(); ++i)
    if (project->GetModule(i)->GetName() == QStringLiteral("main")) main = project->GetModule(i);
  ASSERT_TRUE(main);
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(main));
  ASSERT_TRUE(editor);
  const QStringList lines = editor->GetText()->Text.split(QRegularExpression("\r\n|\n"));
  const int counting =
      int(lines.indexOf(QRegularExpression(QStringLiteral("^\\s*counter = counter \\+ 1;")))) + 1;
  const int call =
      int(lines.indexOf(QRegularExpression(QStringLiteral("^\\s*i = motor\\..*")))) + 1;
  ASSERT_GT(counting, 0);
  ASSERT_GT(call, 0);

  main->ToggleBreakpoint(counting);
  for (const char* name : {"main.counter", "main.total", "main.level", "display.row"})
    project->AddWatchName(QString::fromLatin1(name));
  CurrentSimulator->Run();
  ASSERT_TRUE(until([&] {
    return CurrentSimulator->IsPaused() && editor->Form()->ExecutionLine == counting &&
           project->GetWatch(0)->HasValue();
  }));
  // Once more round the loop: values that changed are shown as such.
  const QString next = QString::number(project->GetWatch(0)->GetValueText().toInt() + 1);
  CurrentSimulator->Run();
  ASSERT_TRUE(until([&] {
    return CurrentSimulator->IsPaused() && project->GetWatch(0)->GetValueText() == next;
  })) << project->GetWatch(0)->GetValueText().toStdString();
  EXPECT_EQ(editor->Control()->ShownLineLook(counting), LineLookExecution);

  // The watches in front of the messages they share the bottom with.
  auto watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
  ASSERT_TRUE(watches && watches->ViewerForm() && watches->DockWidget());
  watches->DockWidget()->raise();

  // The pop-up as Ctrl+Space fills it for "motor.cl" (the editor is
  // read-only while the program runs, so it is shown here directly).
  const int column = int(lines[call - 1].indexOf(QStringLiteral("clamp"))) + 3;
  const std::optional<QStringList> items =
      project->GetIdentCompletions(main, call, QStringLiteral("motor"));
  ASSERT_TRUE(items && !items->isEmpty());
  TIdentifierCompletionForm popup(&w);
  popup.Items = *items;
  popup.FilterText = QStringLiteral("cl");
  TVexaEditControl* control = editor->Control();
  control->setCursorPosition(call - 1, column - 1);
  const long pos = control->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  const int x = int(control->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0L, pos));
  const int y = int(control->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0L, pos));
  const int height = int(control->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, call - 1));
  const QPoint at = control->viewport()->mapToGlobal(QPoint(x, y));
  popup.ShowAt(at.x(), at.y(), at.y() + height - 1);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
  ASSERT_GE(popup.SelectedRow(), 0);
  QTest::qWait(50);

  if (CommandsDataModule) CommandsDataModule->UpdateActions();
  QPixmap picture = w.grab();
  {
    QPainter painter(&picture);
    painter.drawPixmap(w.mapFromGlobal(popup.mapToGlobal(QPoint(0, 0))), popup.grab());
  }
  QDir().mkpath(QStringLiteral(VEXAIDE_SCREENSHOT_DIR));
  const QString path = QStringLiteral(VEXAIDE_SCREENSHOT_DIR "/v2_debug.png");
  QFile::remove(path);
  ASSERT_TRUE(picture.save(path));
  EXPECT_GT(QFileInfo(path).size(), 1000);

  // The watches view shows values, the pop-up its items.
  QTableView* grid = watches->ViewerForm()->dgWatches;
  ASSERT_TRUE(grid->isVisible());
  EXPECT_EQ(grid->model()->data(grid->model()->index(0, 1)).toString(), next);
  const QImage image = picture.toImage();
  EXPECT_GT(Colours(image, QRect(grid->mapTo(&w, QPoint(0, 0)), grid->size())), 10);
  EXPECT_GT(Colours(image, QRect(w.mapFromGlobal(popup.mapToGlobal(QPoint(0, 0))), popup.size())),
            3);
  popup.hide();
  CurrentSimulator->Stop();
  until([&] { return !project->IsRunning(); });
  project.reset();
  main.reset();
  editor.reset();
  VexaIDE->CloseAll();
  EXPECT_TRUE(dialogs->calls.empty()) << dialogs->Texts().join('\n').toStdString();
}

}  // namespace
}  // namespace vexa::ide
