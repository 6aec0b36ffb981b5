// The demo V2 project through the real main window, the registered views,
// the real editor and the compiler worker on the Qt event loop; every box
// goes through the fake dialogs.
#include "FakeDialogs.h"
#include "PumpUntil.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/libraries/VexaMessage.h"
#include "model/projects/V2Project.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"
#include "model/workers/MainThreadInvoker.h"
#include "widgets/dialogs/ModuleDialogs.h"
#include "widgets/dialogs/ProjectModulesDialog.h"
#include "widgets/editor/EditorFormSheet.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/mainwindow/IDEMainForm.h"
#include "widgets/mainwindow/IDEStartup.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/ProjectEditor.h"
#include "widgets/views/WatchesViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#if defined(__SANITIZE_THREAD__)
// Qt's raster engine fills large areas on Qt's own pool threads and syncs
// them inside Qt, where ThreadSanitizer does not see it: calls made from
// inside the (uninstrumented) Qt libraries are not checked; ours are.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Core.so.6\n";
}
#endif

namespace vexa::ide {
namespace {

// The workers' main-thread calls, run by ProcessUntil: Qt's cross-thread
// events are invisible to ThreadSanitizer.
std::shared_ptr<TManualInvoker> g_invoker;

bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs = 20000) {
  return test::PumpUntil(Done, std::chrono::milliseconds(TimeoutMs), g_invoker.get());
}

// Runs Fn on the next modal dialog of type T once it shows.
template <class T>
void AnswerModal(std::function<void(T&)> Fn, int Tries = 400) {
  QTimer::singleShot(5, [Fn, Tries] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog && dialog->isVisible()) return Fn(*dialog);
    if (Tries > 0) AnswerModal<T>(Fn, Tries - 1);
  });
}

QStringList Children(const QTreeWidgetItem* Item) {
  QStringList texts;
  for (int i = 0; i < Item->childCount(); ++i) texts << Item->child(i)->text(0);
  return texts;
}

// Pixels of Area that are clearly red.
int RedPixels(const QImage& Image, const QRect& Area) {
  int count = 0;
  for (int y = Area.top(); y <= Area.bottom(); ++y)
    for (int x = Area.left(); x <= Area.right(); ++x) {
      const QRgb p = Image.pixel(x, y);
      if (qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80) ++count;
    }
  return count;
}

class V2EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
    // Default settings: the system and common lists beside the program.
    options::ReadOptions();
    IDEStartupHooks().RegisterServices();
    // The registered factory, with the pumped invoker for its workers.
    ASSERT_TRUE(std::dynamic_pointer_cast<TVexaV2Factory>(V2ProjectFactory));
    g_invoker = std::make_shared<TManualInvoker>();
    TV2ProjectSeams seams;
    seams.Compiler.Invoker = g_invoker;
    V2ProjectFactory = std::make_shared<TVexaV2Factory>(seams);
    dialogs_.emplace();
    window_ = std::make_unique<TIDEMainForm>();
    window_->resize(1024, 700);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    tree_ = std::dynamic_pointer_cast<TProjectEditor>(ProjectEditor);
    messages_ = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
    ASSERT_TRUE(tree_ && tree_->EditorForm());
    ASSERT_TRUE(messages_ && messages_->ViewerForm());

    const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
    for (const QString& name : source.entryList(QDir::Files))
      ASSERT_TRUE(QFile::copy(source.filePath(name), dir_.filePath(name))) << name.toStdString();
  }

  void TearDown() override {
    if (VexaIDE) VexaIDE->CloseAll();
    QApplication::processEvents();
    window_.reset();
    ReleaseServices();
    g_invoker.reset();
    dialogs_.reset();
    SetDialogs(nullptr);
  }

  QString Demo() const { return dir_.filePath("demo.v2p"); }

  // Opens the demo through the hub and waits for its background build.
  Ref<IVexaProject> OpenDemo() {
    const int before = VexaIDE->GetProjectCount();
    VexaIDE->OpenByKind(Demo(), TFileKind::V2Project);
    if (VexaIDE->GetProjectCount() != before + 1) return nullptr;
    Ref<IVexaProject> project = VexaIDE->GetProject(before);
    if (!ProcessUntil([&] { return project->IsBuilt(); })) return nullptr;
    return project;
  }

  static Ref<IVexaModule> Module(const Ref<IVexaProject>& Project, const QString& Name) {
    for (int i = 0; i < Project->GetModuleCount(); ++i)
      if (Project->GetModule(i)->GetName() == Name) return Project->GetModule(i);
    return nullptr;
  }

  // The first line with code after the first few lines of the module.
  static int FirstCodeLine(const Ref<IVexaModule>& Module, TSourceEditor& Editor) {
    for (int l = 5; l <= Editor.Control()->lines(); ++l)
      if (Module->GetLineFlags(l) & LineFlagCode) return l;
    return 0;
  }

  // Closes the project through the tree's command on its root.
  void CloseFromTree() {
    tree_->EditorForm()->treeProjects->setCurrentItem(Root());
    tree_->Commands()->Close();
  }

  // Opens the demo and motor's editor, sets a breakpoint on motor's first code
  // line and types two lines at the top, unsaved. The breakpoint's line in the
  // file; 0 when something of it failed.
  int BreakpointBelowTwoTypedLines(Ref<IVexaProject>& Project, Ref<IVexaModule>& Motor,
                                   std::shared_ptr<TSourceEditor>& Editor) {
    Project = OpenDemo();
    Motor = Project ? Module(Project, "motor") : nullptr;
    if (!Motor) return 0;
    Editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(Motor));
    const int line = Editor ? FirstCodeLine(Motor, *Editor) : 0;
    if (line <= 0) return 0;
    Motor->ToggleBreakpoint(line);
    Editor->SetCaret({1, 1});
    Editor->Control()->insert("// one\n// two\n");
    return line;
  }

  // Opens the demo again; the breakpoint lines of its module Name (none when
  // the project or the module is missing).
  std::vector<int> ReopenedBreakpoints(const QString& Name) {
    std::vector<int> lines;
    const Ref<IVexaProject> project = OpenDemo();
    const Ref<IVexaModule> module = project ? Module(project, Name) : nullptr;
    for (int i = 0; module && i < module->GetBreakpointCount(); ++i)
      lines.push_back(module->GetBreakpoint(i));
    return lines;
  }

  QTreeWidgetItem* Root() const {
    QTreeWidget* view = tree_->EditorForm()->treeProjects;
    return view->topLevelItemCount() > 0 ? view->topLevelItem(0) : nullptr;
  }

  QString DialogTexts() { return (*dialogs_)->Texts().join('\n'); }

  QApplication& app_ = test::TestApp();
  test::TTempSettings settings_;
  QTemporaryDir dir_;
  std::optional<test::TScopedFakeDialogs> dialogs_;
  std::unique_ptr<TIDEMainForm> window_;
  std::shared_ptr<TProjectEditor> tree_;
  std::shared_ptr<TMessageViewer> messages_;
};

TEST_F(V2EndToEndTest, TheDemoOpensIntoTheTreeWithoutAnErrorBox) {
  Ref<IVexaProject> project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  EXPECT_EQ(VexaIDE->GetActiveProject(), project);
  QTreeWidgetItem* root = Root();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->text(0).toStdString(), "demo.v2p");
  EXPECT_TRUE(root->data(0, Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(Children(root), (QStringList{"Systemmodule", "Gemeinsame Module", "Projektmodule"}));
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(0)->childCount(), 0);
  EXPECT_EQ(root->child(1)->childCount(), 0);
  EXPECT_EQ(Children(root->child(2)), (QStringList{"motor", "display", "main"}));
  for (int i = 0; i < project->GetModuleCount(); ++i)
    EXPECT_FALSE(project->GetModule(i)->HasErrors()) << i;
  EXPECT_TRUE(QFile::exists(dir_.filePath("demo.v2p.vmc")));
  EXPECT_TRUE((*dialogs_)->calls.empty()) << DialogTexts().toStdString();
}

TEST_F(V2EndToEndTest, AFileWithANulOpensTypedAndSavedThroughTheMenuKeepsEveryByte) {
  const QByteArray bytes("abc\0def\nline2\n", 14);
  const QString name = dir_.filePath("nul.v2");
  {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  (*dialogs_)->fileAnswers.push_back(QStringList{name});
  QAction* open = CommandsDataModule->Action("actFileOpen");
  ASSERT_TRUE(ProcessUntil([&] { return open->isEnabled(); }, 5000));
  open->trigger();
  ASSERT_EQ(VexaIDE->GetEditorCount(), 1) << DialogTexts().toStdString();
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->GetEditor(0));
  ASSERT_TRUE(editor);
  ASSERT_TRUE(ProcessUntil([&] { return VexaIDE->GetActiveEditor() == editor; }, 5000));
  TVexaEditControl* control = editor->Control();
  EXPECT_EQ(control->lines(), 3);
  control->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
  QTest::keyClicks(control, "X");
  QAction* save = CommandsDataModule->Action("actFileSave");
  ASSERT_TRUE(ProcessUntil([&] { return save->isEnabled(); }, 5000));
  save->trigger();
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), bytes + "X");
  EXPECT_FALSE(editor->GetModified());
  EXPECT_EQ((*dialogs_)->calls.size(), 1u) << DialogTexts().toStdString();
}

// Runs the console compiler in Directory on its project file Project; its
// exit code, -1 when it did not run to its end.
int RunConsoleCompiler(const QString& Directory, const QString& Project) {
  const std::string directory = QFile::encodeName(Directory).toStdString();
  std::string program = VEXA_V2COMP, project = QFile::encodeName(Project).toStdString();
  char* argv[] = {program.data(), project.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Types Text as key presses, one character each (QTest::keyClicks drops
// characters outside Latin-1).
void Type(QWidget* Widget, const QString& Text) {
  for (QChar c : Text) QTest::sendKeyEvent(QTest::Click, Widget, Qt::Key_unknown, QString(c), {});
}

// The image the IDE builds of the demo (".vmc", what F12 sends) is the one
// the console compiler makes of the saved files: for "ä€" typed into an ASCII
// module, which stays Windows-1252, and for a module saved as UTF-8 elsewhere,
// with its editor closed and open.
TEST_F(V2EndToEndTest, TheBuiltImageIsTheConsoleCompilersOfTheSavedFilesInEitherEncoding) {
  const QString motorFile = dir_.filePath("motor.v2");
  QByteArray motorBytes;
  {
    QFile file(motorFile);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    motorBytes = file.readAll();
    ASSERT_TRUE(motorBytes.contains("\"fast\""));
    motorBytes.replace("\"fast\"", "\"schnell \xC3\xBC\xE2\x82\xAC\"");
    ASSERT_TRUE(file.resize(0));
    ASSERT_EQ(file.write(motorBytes), motorBytes.size());
  }
  // The console compiler's project: the demo's modules in the IDE's order.
  const QString console = dir_.filePath("console");
  ASSERT_TRUE(QDir(dir_.path()).mkdir("console"));
  {
    QFile file(QDir(console).filePath("demo.prj"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("../motor.v2\r\n../display.v2\r\n../main.v2\r\n");
  }
  auto read = [](const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  auto sameImages = [&]() -> ::testing::AssertionResult {
    QFile::remove(QDir(console).filePath("demo.vmc"));
    if (RunConsoleCompiler(console, "demo.prj") != 0)
      return ::testing::AssertionFailure() << "the console compiler failed";
    const QByteArray expected = read(QDir(console).filePath("demo.vmc"));
    const QByteArray built = read(dir_.filePath("demo.v2p.vmc"));
    if (expected.isEmpty() || built != expected)
      return ::testing::AssertionFailure()
             << "built:\n"
             << built.toStdString() << "\nconsole:\n"
             << read(QDir(console).filePath("demo.err")).toStdString() << expected.toStdString();
    return ::testing::AssertionSuccess();
  };
  // A build that writes the image afresh.
  auto build = [&](const Ref<IVexaProject>& Project) {
    auto v2 = std::dynamic_pointer_cast<TVexaV2Project>(Project);
    if (!v2 || !QFile::remove(dir_.filePath("demo.v2p.vmc"))) return false;
    v2->Build();
    return ProcessUntil([&] {
      return QFile::exists(dir_.filePath("demo.v2p.vmc")) && !v2->IsCompiling() && v2->IsBuilt();
    });
  };

  Ref<IVexaProject> project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  EXPECT_TRUE(sameImages());
  // The UTF-8 bytes are in the image: 195 188 226 130 172.
  EXPECT_TRUE(read(dir_.filePath("demo.v2p.vmc")).contains(" 195 188 226 130 172 "));

  auto display = std::dynamic_pointer_cast<TSourceEditor>(
      VexaIDE->ShowModuleEditor(Module(project, "display")));
  ASSERT_TRUE(display);
  const QStringList lines = display->GetText()->Text.split('\n');
  const int line = int(lines.indexOf(QRegularExpression(R"(^\s*show\("direct"\);.*)")));
  ASSERT_GE(line, 0);
  display->Control()->SetCaret({int(lines[line].indexOf("direct")) + 3, line + 1});
  Type(display->Control(), QString::fromUtf8("ä€"));
  ASSERT_TRUE(display->Save());
  EXPECT_TRUE(read(dir_.filePath("display.v2")).contains("show(\"di\xE4\x80rect\");"));
  ASSERT_TRUE(build(project)) << DialogTexts().toStdString();
  EXPECT_TRUE(sameImages());
  EXPECT_TRUE(read(dir_.filePath("demo.v2p.vmc")).contains(" 228 128 "));

  // With the UTF-8 module's editor open the image stays; typed and saved, it
  // stays UTF-8.
  auto motor =
      std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(Module(project, "motor")));
  ASSERT_TRUE(motor);
  ASSERT_TRUE(build(project)) << DialogTexts().toStdString();
  EXPECT_TRUE(sameImages());
  motor->Control()->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
  Type(motor->Control(), QString::fromUtf8("// ä"));
  ASSERT_TRUE(motor->Save());
  EXPECT_EQ(read(motorFile), motorBytes + "// \xC3\xA4");
  ASSERT_TRUE(build(project)) << DialogTexts().toStdString();
  EXPECT_TRUE(sameImages());
  EXPECT_TRUE((*dialogs_)->calls.empty()) << DialogTexts().toStdString();
}

TEST_F(V2EndToEndTest, AnErrorMessageIsRedAndADoubleClickMarksItsLine) {
  Ref<IVexaProject> project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  Ref<IVexaModule> motor = Module(project, "motor");
  ASSERT_TRUE(motor);
  EXPECT_FALSE(motor->GetEditor());

  MessageView->Clear();
  AddToMessageView(MakeModuleMessages(project, motor, "motor : OK"));
  AddToMessageView(MakeModuleMessages(project, motor, "motor (7) : Unbekannter Bezeichner"));
  ASSERT_EQ(MessageView->GetCount(), 2);
  ASSERT_EQ(MessageView->GetMessage(1)->GetKind(), TMessageKind::Error);
  EXPECT_EQ(MessageView->GetCurrentIndex(), 0);

  QListView* list = messages_->ViewerForm()->dgMessages;
  QApplication::processEvents();
  const QModelIndex info = list->model()->index(0, 0);
  const QModelIndex error = list->model()->index(1, 0);
  const QRect infoRect = list->visualRect(info);
  const QRect errorRect = list->visualRect(error);
  ASSERT_FALSE(errorRect.isEmpty());
  ASSERT_TRUE(list->viewport()->rect().contains(errorRect));
  const QImage image = list->viewport()->grab().toImage();
  EXPECT_GT(RedPixels(image, errorRect), 20) << "the error row is red";
  EXPECT_EQ(RedPixels(image, infoRect), 0) << "the information row is not";

  // A double click is a press and release, then the second press.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, errorRect.center());
  EXPECT_EQ(MessageView->GetCurrentIndex(), 1) << "the click makes it current";
  EXPECT_FALSE(motor->GetEditor()) << "a single click opens nothing";
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, errorRect.center());
  EXPECT_EQ(MessageView->GetCurrentIndex(), 1);
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(motor->GetEditor());
  ASSERT_TRUE(editor) << "the double click opens the module";
  EXPECT_EQ(VexaIDE->GetActiveEditor(), editor);
  EXPECT_EQ(window_->GetPageControl()->currentWidget(), editor->Sheet());
  EXPECT_EQ(editor->Form()->ErrorLine, 7);
  EXPECT_EQ(editor->Control()->Caret().Line, 7);
  EXPECT_EQ(editor->Control()->ShownLineLook(7), LineLookError);
  EXPECT_NE(editor->Control()->ShownLineLook(6), LineLookError);
  EXPECT_TRUE((*dialogs_)->calls.empty()) << DialogTexts().toStdString();
}

TEST_F(V2EndToEndTest, ABreakpointFollowsInsertedLinesThroughSaveAndReopen) {
  Ref<IVexaProject> project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  Ref<IVexaModule> motor = Module(project, "motor");
  ASSERT_TRUE(motor);
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(motor));
  ASSERT_TRUE(editor);

  const int line = FirstCodeLine(motor, *editor);
  ASSERT_GT(line, 0) << "the build gave line infos";

  editor->SetCaret({1, line});
  editor->ToggleBreakpoint();
  ASSERT_EQ(motor->GetBreakpointCount(), 1);
  ASSERT_EQ(motor->GetBreakpoint(0), line);
  EXPECT_EQ(editor->Control()->ShownLineLook(line), LineLookBreakpoint);

  // Two lines typed above it, at the start of the line before it.
  editor->SetCaret({1, line - 1});
  editor->Control()->insert("// one\n// two\n");
  EXPECT_EQ(motor->GetBreakpoint(0), line + 2);
  ASSERT_TRUE(editor->Save());
  QFile file(dir_.filePath("motor.v2"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  ASSERT_GT(lines.size(), line + 1);
  EXPECT_EQ(lines[line - 2], "// one");
  EXPECT_EQ(lines[line - 1], "// two");

  CloseFromTree();
  ASSERT_EQ(VexaIDE->GetProjectCount(), 0);
  EXPECT_FALSE(motor->GetEditor());
  EXPECT_EQ(VexaIDE->GetEditorCount(), 0);
  project.reset();
  motor.reset();
  editor.reset();

  project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  motor = Module(project, "motor");
  ASSERT_TRUE(motor);
  ASSERT_EQ(motor->GetBreakpointCount(), 1);
  EXPECT_EQ(motor->GetBreakpoint(0), line + 2);
  editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(motor));
  ASSERT_TRUE(editor);
  // The control asks for the looks of the lines it paints.
  editor->SetCaret({1, line + 2});
  ASSERT_TRUE(ProcessUntil([&] { return editor->Control()->isVisible(); }, 5000));
  editor->Control()->viewport()->repaint();
  EXPECT_EQ(editor->Control()->ShownLineLook(line + 2), LineLookBreakpoint);
  EXPECT_NE(editor->Control()->ShownLineLook(line), LineLookBreakpoint);
  EXPECT_TRUE((*dialogs_)->calls.empty()) << DialogTexts().toStdString();
}

TEST_F(V2EndToEndTest, ClosingWithUnsavedLinesAsksCancelKeepsAllAndYesSavesThemWithTheBreakpoint) {
  Ref<IVexaProject> project;
  Ref<IVexaModule> motor;
  std::shared_ptr<TSourceEditor> editor;
  const int line = BreakpointBelowTwoTypedLines(project, motor, editor);
  ASSERT_GT(line, 0) << DialogTexts().toStdString();
  ASSERT_TRUE(editor->GetModified());
  ASSERT_EQ(motor->GetBreakpoint(0), line + 2);
  QFile file(dir_.filePath("motor.v2"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray original = file.readAll();
  file.close();

  const QString question = "Soll der geänderte Quelltext gespeichert werden?";
  (*dialogs_)->confirmCancelAnswers = {IdCancel, IdYes};
  CloseFromTree();
  EXPECT_EQ((*dialogs_)->Texts(), QStringList{question});
  ASSERT_EQ(VexaIDE->GetProjectCount(), 1) << "Cancel keeps the project";
  EXPECT_EQ(motor->GetEditor(), editor);
  EXPECT_TRUE(editor->GetModified());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), original);
  file.close();

  CloseFromTree();
  EXPECT_EQ((*dialogs_)->Texts(), (QStringList{question, question}));
  ASSERT_EQ(VexaIDE->GetProjectCount(), 0);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("// one\n// two\n" + original.left(10)));
  file.close();
  project.reset();
  motor.reset();
  editor.reset();

  EXPECT_EQ(ReopenedBreakpoints("motor"), std::vector<int>{line + 2});
  EXPECT_EQ((*dialogs_)->calls.size(), 2u) << DialogTexts().toStdString();
}

// "Nein" throws the typed lines away: the breakpoint goes back to its line of
// the file, also after reopening.
TEST_F(V2EndToEndTest, ClosingWithNoPutsTheBreakpointBackOnItsLine) {
  Ref<IVexaProject> project;
  Ref<IVexaModule> motor;
  std::shared_ptr<TSourceEditor> editor;
  const int line = BreakpointBelowTwoTypedLines(project, motor, editor);
  ASSERT_GT(line, 0) << DialogTexts().toStdString();
  ASSERT_EQ(motor->GetBreakpoint(0), line + 2);

  (*dialogs_)->confirmCancelAnswers = {IdNo};
  CloseFromTree();
  ASSERT_EQ(VexaIDE->GetProjectCount(), 0);
  project.reset();
  motor.reset();
  editor.reset();

  EXPECT_EQ(ReopenedBreakpoints("motor"), std::vector<int>{line});
  EXPECT_EQ((*dialogs_)->calls.size(), 1u) << DialogTexts().toStdString();
}

TEST_F(V2EndToEndTest, TheProjectModulesDialogFromTheTreeMenuReordersTheProject) {
  Ref<IVexaProject> project = OpenDemo();
  ASSERT_TRUE(project) << DialogTexts().toStdString();
  QTreeWidget* view = tree_->EditorForm()->treeProjects;
  QTreeWidgetItem* group = Root()->child(2);
  view->setCurrentItem(group->child(1));
  ASSERT_EQ(tree_->EditorForm()->SelectedModule(), Module(project, "display"));

  // The context menu at the selected node, then its entry clicked.
  const QRect item = view->visualItemRect(group->child(1));
  QContextMenuEvent event(QContextMenuEvent::Mouse, item.center(),
                          view->viewport()->mapToGlobal(item.center()));
  QApplication::sendEvent(view->viewport(), &event);
  QMenu* menu = tree_->EditorForm()->pmnuProjectTree;
  ASSERT_TRUE(ProcessUntil([&] { return menu->isVisible(); }, 5000));
  QAction* edit = CommandsDataModule->Action("actProjectEditProjectModules");
  ASSERT_TRUE(edit);
  ASSERT_TRUE(menu->actions().contains(edit));
  ASSERT_TRUE(edit->isEnabled());

  // The real dialog, shown from the dialogs interface.
  (*dialogs_)->editModules = &ShowModulesDialog;
  QStringList listed;
  AnswerModal<TProjectModulesDialog>([&](TProjectModulesDialog& Dialog) {
    for (int i = 0; i < Dialog.lbModules->count(); ++i) listed << Dialog.lbModules->item(i)->text();
    Dialog.lbModules->setCurrentRow(1);
    Dialog.lbModulesClick();
    Dialog.btnMoveUp->click();
    Dialog.btnClose->click();
  });
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(edit).center());
  ASSERT_TRUE(
      ProcessUntil([&] { return !listed.isEmpty() && !QApplication::activeModalWidget(); }, 5000));
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(listed.size(), 3);

  QStringList order;
  for (int i = 0; i < project->GetModuleCount(); ++i) order << project->GetModule(i)->GetName();
  EXPECT_EQ(order, (QStringList{"display", "motor", "main"}));
  EXPECT_EQ(Children(Root()->child(2)), (QStringList{"display", "motor", "main"}));
  EXPECT_TRUE(project->GetModified());

  // Saved, the project file lists the new order.
  ASSERT_TRUE(project->Save());
  QFile file(Demo());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_LT(text.indexOf("display"), text.indexOf("motor")) << text.toStdString();
  EXPECT_LT(text.indexOf("motor"), text.indexOf("main")) << text.toStdString();
  EXPECT_TRUE((*dialogs_)->calls.empty()) << DialogTexts().toStdString();
}

// The keyboard in the real main window: menus opened with Alt, floating tool
// windows and Shift+F10.
class KeyboardEndToEndTest : public V2EndToEndTest {
 protected:
  // The demo open and motor's editor focused in the active main window.
  std::shared_ptr<TSourceEditor> FocusedEditor() {
    const Ref<IVexaProject> project = OpenDemo();
    const Ref<IVexaModule> motor = project ? Module(project, "motor") : nullptr;
    if (!motor) return nullptr;
    auto editor = std::dynamic_pointer_cast<TSourceEditor>(VexaIDE->ShowModuleEditor(motor));
    if (!editor || !FocusEditor(*editor)) return nullptr;
    return editor;
  }

  bool FocusEditor(TSourceEditor& Editor) {
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get())) return false;
    Editor.Control()->setFocus(Qt::OtherFocusReason);
    return ProcessUntil([&] { return Editor.Control()->hasFocus(); }, 5000);
  }

  QMenu* MainMenu(const QString& Title) const {
    for (QAction* a : window_->menuBar()->actions())
      if (a->text() == Title) return a->menu();
    return nullptr;
  }

  // Opens the main menu Title with Alt and its key; waits for the idle update
  // of the actions while it is open.
  QMenu* OpenWithAlt(Qt::Key Key, const QString& Title) {
    QMenu* menu = MainMenu(Title);
    if (!menu) return nullptr;
    QTest::keyClick(window_.get(), Key, Qt::AltModifier);
    if (!ProcessUntil([&] { return menu->isVisible(); }, 5000)) return nullptr;
    QTest::qWait(3 * TCommandsDataModule::kUpdateInterval);
    return menu;
  }

  // Closes any open menu and leaves the menu bar's keyboard mode.
  void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QApplication::focusWidget() == window_->menuBar())
      QTest::keyClick(window_->menuBar(), Qt::Key_Escape);
    QApplication::processEvents();
  }
};

TEST_F(KeyboardEndToEndTest,
       MainMenusOpenedWithAltActOnTheFocusedEditorUntilAnotherWidgetTakesTheFocus) {
  std::shared_ptr<TSourceEditor> editor = FocusedEditor();
  ASSERT_TRUE(editor) << DialogTexts().toStdString();

  // Alt+B: the edit menu offers the editor's commands.
  QMenu* edit = OpenWithAlt(Qt::Key_B, "&Bearbeiten");
  ASSERT_TRUE(edit);
  QAction* selectAll = CommandsDataModule->Action("actEditSelectAll");
  ASSERT_TRUE(edit->actions().contains(selectAll));
  EXPECT_TRUE(selectAll->isEnabled());
  EXPECT_TRUE(CommandsDataModule->Action("actSearchFind")->isEnabled());
  CloseMenus();
  ASSERT_TRUE(ProcessUntil([&] { return editor->Control()->hasFocus(); }, 5000));

  // Alt+D, U selects "Speichern unter..." (Print shares the U), Enter runs it.
  QMenu* file = OpenWithAlt(Qt::Key_D, "&Datei");
  ASSERT_TRUE(file);
  QAction* saveAs = CommandsDataModule->Action("actFileSaveAs");
  EXPECT_TRUE(saveAs->isEnabled());
  EXPECT_TRUE(CommandsDataModule->Action("actFileClose")->isEnabled());
  (*dialogs_)->calls.clear();
  QTest::keyClick(file, Qt::Key_U);
  EXPECT_EQ(file->activeAction(), saveAs);
  QTest::keyClick(file, Qt::Key_Return);
  EXPECT_TRUE(ProcessUntil(
      [&] {
        for (const auto& call : (*dialogs_)->calls)
          if (call.kind == test::TFakeDialogs::Kind::FileDialog) return true;
        return false;
      },
      5000));
  CloseMenus();
  ASSERT_TRUE(FocusEditor(*editor));

  // Alt+D, then a click into the tree: the editor gives up its commands.
  ASSERT_TRUE(OpenWithAlt(Qt::Key_D, "&Datei"));
  ASSERT_EQ(QApplication::focusWidget(), window_->menuBar());
  QTreeWidget* view = tree_->EditorForm()->treeProjects;
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(Root()).center());
  CloseMenus();
  ASSERT_TRUE(view->hasFocus());
  EXPECT_EQ(EditCommandHandler, nullptr);
  EXPECT_EQ(FileCommandHandler, nullptr);
  QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(editor->Control()->hasSelectedText());
}

TEST_F(KeyboardEndToEndTest, AFloatingToolWindowWithTheFocusOwnsTheCommands) {
  std::shared_ptr<TSourceEditor> editor = FocusedEditor();
  ASSERT_TRUE(editor) << DialogTexts().toStdString();
  auto watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
  ASSERT_TRUE(watches && watches->ViewerForm());

  struct Case {
    const char* name;
    QDockWidget* dock;
    QWidget* control;
  };
  const Case cases[] = {
      {"Meldungen", messages_->DockWidget(), messages_->ViewerForm()->dgMessages},
      {"Überwachte Variablen", watches->DockWidget(), watches->ViewerForm()->dgWatches},
      {"Projekte", tree_->DockWidget(), tree_->EditorForm()->treeProjects},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(FocusEditor(*editor));
    ASSERT_EQ(EditCommandHandler.get(), static_cast<IEditCommands*>(editor.get()));
    c.dock->setFloating(true);
    c.dock->show();
    c.dock->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(c.dock));
    c.control->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(ProcessUntil([&] { return c.control->hasFocus(); }, 5000));

    QTest::keyClick(c.control, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(editor->Control()->hasSelectedText());
    EXPECT_EQ(EditCommandHandler, nullptr);
    EXPECT_EQ(FileCommandHandler, nullptr);
    EXPECT_EQ(SearchCommandHandler, nullptr);
    EXPECT_EQ(DebugCommandHandler, nullptr);
    // The tree installs its own.
    if (c.control == tree_->EditorForm()->treeProjects)
      EXPECT_EQ(ProjectCommandHandler, tree_->Commands());
    else
      EXPECT_EQ(ProjectCommandHandler, nullptr);
    c.dock->setFloating(false);
  }

  // Back in the main window the editor takes the commands again.
  ASSERT_TRUE(FocusEditor(*editor));
  EXPECT_EQ(EditCommandHandler.get(), static_cast<IEditCommands*>(editor.get()));
}

TEST_F(KeyboardEndToEndTest, ShiftF10OpensTheContextMenuOfTheFocusedView) {
  std::shared_ptr<TSourceEditor> editor = FocusedEditor();
  ASSERT_TRUE(editor) << DialogTexts().toStdString();
  auto watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
  ASSERT_TRUE(watches && watches->ViewerForm());
  QTreeWidget* tree = tree_->EditorForm()->treeProjects;
  tree->setCurrentItem(Root());

  // Shift+F10 to the focused control; the popup that opens, if any.
  auto shiftF10 = [&](QWidget* Control) -> QWidget* {
    if (!Control->hasFocus()) return nullptr;
    QTest::keyClick(Control, Qt::Key_F10, Qt::ShiftModifier);
    ProcessUntil([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
    QWidget* popup = QApplication::activePopupWidget();
    CloseMenus();
    return popup;
  };

  EXPECT_EQ(shiftF10(editor->Control()), editor->Form()->lmnuSourceEditor);

  ProjectEditor->GetToolWindow()->Show(true);
  ASSERT_TRUE(ProcessUntil([&] { return tree->hasFocus(); }, 5000));
  EXPECT_EQ(shiftF10(tree), tree_->EditorForm()->pmnuProjectTree);

  WatchesView->GetToolWindow()->Show(true);
  QTableView* grid = watches->ViewerForm()->dgWatches;
  ASSERT_TRUE(ProcessUntil([&] { return grid->hasFocus(); }, 5000));
  EXPECT_EQ(shiftF10(grid), watches->ViewerForm()->lmnuWatch);

  // The message view has no menu of its own; it gets the request the Menu
  // key makes, from the keyboard.
  struct TRequests : QObject {
    int Count = 0;
    bool eventFilter(QObject*, QEvent* Event) override {
      if (Event->type() == QEvent::ContextMenu &&
          static_cast<QContextMenuEvent*>(Event)->reason() == QContextMenuEvent::Keyboard)
        ++Count;
      return false;
    }
  } requests;
  MessageView->GetToolWindow()->Show(true);
  QListView* list = messages_->ViewerForm()->dgMessages;
  ASSERT_TRUE(ProcessUntil([&] { return list->hasFocus(); }, 5000));
  list->installEventFilter(&requests);
  EXPECT_EQ(shiftF10(list), nullptr);
  EXPECT_EQ(requests.Count, 1);
  // Other keys with F10 are not the request.
  QTest::keyClick(list, Qt::Key_F10);
  QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(requests.Count, 1);
}

}  // namespace
}  // namespace vexa::ide
