// The demo V2 project end to end in the real main window: background
// compilation into the message view, the simulator driven by the command
// module's keys, the watches view, the download into the board emulator and
// the editor's identifier services.
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "PumpUntil.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/projects/V2Project.h"
#include "model/projects/VexaWatch.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"
#include "model/workers/MainThreadInvoker.h"
#include "model/workers/V2Simulator.h"
#include "widgets/editor/IdentifierCompletionForm.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/mainwindow/IDEMainForm.h"
#include "widgets/mainwindow/IDEStartup.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/WatchesViewer.h"

#include "QStringPrinter.h"
#include "boardemu/V2Board.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;

constexpr int kDelay = 300;  // ms of background compilation delay
constexpr int kPort = 5;

// Under ThreadSanitizer the workers' main-thread calls go through a pumped
// invoker: Qt's own cross-thread events are not instrumented and would be
// reported as races. Elsewhere they are posted Qt events, as in the program.
#if defined(__SANITIZE_THREAD__)
constexpr bool kPumpedInvoker = true;
#else
constexpr bool kPumpedInvoker = false;
#endif
std::shared_ptr<TManualInvoker> g_invoker;

bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs = 15000) {
  return test::PumpUntil(Done, std::chrono::milliseconds(TimeoutMs), g_invoker.get());
}

// The fake dialogs with a hook that runs inside an error box.
class THookedDialogs final : public test::TFakeDialogs {
 public:
  void ShowError(const QString& Text) override {
    TFakeDialogs::ShowError(Text);
    if (OnError) OnError(Text);
  }
  std::function<void(const QString&)> OnError;
};

class V2DebugEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
    for (const QString& name : source.entryList(QDir::Files))
      ASSERT_TRUE(QFile::copy(source.filePath(name), dir_.filePath(name))) << name.toStdString();
    for (const char* lib : {"Lib", "UserLib"}) {
      QDir(dir_.path()).mkpath(lib);
      QFile list(dir_.filePath(QString::fromLatin1(lib) + "/modules.txt"));
      ASSERT_TRUE(list.open(QIODevice::WriteOnly));
      list.write("// none\r\n");
    }
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
    settings::WriteString("Projects", "SystemModulesPath", dir_.filePath("Lib"));
    settings::WriteString("Projects", "UserCommonModulesPath", dir_.filePath("UserLib"));
    settings::WriteBool("Projects", "BackgroundCompilationV2", true);
    settings::WriteInteger("Projects", "BackgroundCompilationDelayV2", kDelay);
    settings::WriteInteger("Projects", "DownloadComV2", kPort);
    options::ReadOptions();

    IDEStartupHooks().RegisterServices();
    if (kPumpedInvoker) {
      g_invoker = std::make_shared<TManualInvoker>();
      TV2ProjectSeams seams;
      seams.Compiler.Invoker = g_invoker;
      V2ProjectFactory = std::make_shared<TVexaV2Factory>(seams);
      V2SimulationFactory =
          test::SimulationFactoryOf([](const Ref<IV2SimulationProject>& Project,
                                       const QString& OutputBaseName) -> Ref<IVexaSimulator> {
            TV2SimulatorSeams simulator;
            simulator.Invoker = g_invoker;
            return TV2Simulator::Create(Project, OutputBaseName, simulator);
          });
    }
    previousDialogs_ = SetDialogs(dialogs_);
    window_ = std::make_unique<TIDEMainForm>();
    // Under ThreadSanitizer nothing is painted: Qt's raster engine fills in
    // its own uninstrumented thread pool.
    window_->setUpdatesEnabled(!kPumpedInvoker);
    window_->resize(1100, 760);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  void TearDown() override {
    if (VexaIDE) VexaIDE->CloseAll();
    QApplication::processEvents();
    window_.reset();
    QApplication::processEvents();
    ReleaseServices();
    SetDialogs(previousDialogs_);
    g_invoker.reset();
  }

  // Opens the demo and waits until it is built and its simulation exists.
  std::shared_ptr<TVexaV2Project> OpenDemo() {
    VexaIDE->OpenByKind(dir_.filePath("demo.v2p"), TFileKind::V2Project);
    if (VexaIDE->GetProjectCount() != 1) return nullptr;
    auto project = std::dynamic_pointer_cast<TVexaV2Project>(VexaIDE->GetProject(0));
    if (!project) return nullptr;
    if (!ProcessUntil(
            [&] { return project->IsBuilt() && !project->IsCompiling() && CurrentSimulator; }))
      return nullptr;
    return project;
  }

  Ref<IVexaModule> Module(TVexaV2Project& Project, const QString& Name) {
    for (int i = 0; i < Project.GetModuleCount(); ++i)
      if (Project.GetModule(i)->GetName() == Name) return Project.GetModule(i);
    return nullptr;
  }

  std::shared_ptr<TSourceEditor> Editor(TVexaV2Project& Project, const QString& Name) {
    return std::dynamic_pointer_cast<TSourceEditor>(
        VexaIDE->ShowModuleEditor(Module(Project, Name)));
  }

  // The 1-based number of the first line of Editor matching Pattern, 0 if none.
  static int LineOf(TSourceEditor& Editor, const QString& Pattern) {
    const QStringList lines = Editor.GetText()->Text.split(QRegularExpression("\r\n|\n"));
    const QRegularExpression expression(Pattern);
    for (int i = 0; i < lines.size(); ++i)
      if (expression.match(lines[i]).hasMatch()) return i + 1;
    return 0;
  }

  static QString LineText(TSourceEditor& Editor, int Line) {
    return Editor.GetText()->Text.split(QRegularExpression("\r\n|\n")).value(Line - 1);
  }

  // Presses a key in Editor's control, as a user does; the shortcut filter
  // hands it to the command module's action.
  void Press(TSourceEditor& Editor, int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    QTest::keyClick(Editor.Control(), Qt::Key(Key), Modifiers);
  }

  bool ActionEnabled(const char* Name) {
    CommandsDataModule->UpdateActions();
    return CommandsDataModule->Action(Name)->isEnabled();
  }

  // Waits until the simulation is paused with Editor's execution line on Line.
  bool PausedOn(TSourceEditor& Editor, int Line) {
    return ProcessUntil([&] {
      return CurrentSimulator && CurrentSimulator->IsPaused() &&
             Editor.Form()->ExecutionLine == Line;
    });
  }

  TWatchesViewerForm* Watches() {
    auto viewer = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
    return viewer ? viewer->ViewerForm() : nullptr;
  }

  // The watches view's value column of Row, as shown.
  QString ShownValue(int Row) {
    TWatchesModel* model = Watches()->Model;
    return model->data(model->index(Row, 1), Qt::DisplayRole).toString();
  }

  static QStringList MessageTexts() {
    QStringList texts;
    for (int i = 0; i < MessageView->GetCount(); ++i)
      texts << MessageView->GetMessage(i)->GetText();
    return texts;
  }

  QString ErrorTexts() { return dialogs_->Texts().join("\n"); }

  QApplication& app_ = test::TestApp();
  test::TTempSettings settings_;
  QTemporaryDir dir_;
  std::shared_ptr<THookedDialogs> dialogs_ = std::make_shared<THookedDialogs>();
  std::shared_ptr<IDialogs> previousDialogs_;
  std::unique_ptr<TIDEMainForm> window_;
};

TEST_F(V2DebugEndToEndTest, AnErrorTypedIntoAModuleReachesTheMessageViewAfterTheDelay) {
  auto project = OpenDemo();
  ASSERT_TRUE(project) << ErrorTexts().toStdString();
  EXPECT_TRUE(dialogs_->calls.empty()) << ErrorTexts().toStdString();
  auto viewer = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
  ASSERT_TRUE(viewer && viewer->ViewerForm());
  for (int i = 0; i < MessageView->GetCount(); ++i)
    EXPECT_NE(MessageView->GetMessage(i)->GetKind(), TMessageKind::Error)
        << MessageView->GetMessage(i)->GetText().toStdString();

  auto editor = Editor(*project, "motor");
  ASSERT_TRUE(editor);
  const int line = LineOf(*editor, "^\\s*s\\.ticks = s\\.ticks \\+ 1;");
  ASSERT_GT(line, 0);
  // Typed at the end of the line: the statement loses its operand.
  editor->Control()->setFocus();
  editor->SetCaret({int(LineText(*editor, line).indexOf(';')) + 1, line});
  QElapsedTimer clock;
  clock.start();
  QTest::keyClicks(editor->Control(), " +");
  EXPECT_TRUE(editor->IsTextModified());
  EXPECT_TRUE(project->CompileScheduled());
  auto errorShown = [&] {
    for (int i = 0; i < MessageView->GetCount(); ++i)
      if (MessageView->GetMessage(i)->GetKind() == TMessageKind::Error) return i;
    return -1;
  };
  ASSERT_TRUE(ProcessUntil([&] { return errorShown() >= 0; }))
      << LineText(*editor, line).toStdString() << "\n"
      << MessageTexts().join("\n").toStdString();
  EXPECT_GE(clock.elapsed(), kDelay - 20) << "compiled before the delay";
  const int row = errorShown();
  const Ref<IVexaMessage> message = MessageView->GetMessage(row);
  EXPECT_EQ(message->GetLine(), line) << message->GetText().toStdString();
  EXPECT_EQ(message->GetModule(), Module(*project, "motor"));
  EXPECT_TRUE(message->GetText().startsWith(QString("motor (%1)").arg(line)))
      << message->GetText().toStdString();

  // Elsewhere first, then a double click on the row lands on the error line.
  editor->SetCaret({1, 1});
  auto other = Editor(*project, "main");
  ASSERT_TRUE(other);
  QListView* list = viewer->ViewerForm()->dgMessages;
  const QPoint at = list->visualRect(viewer->ViewerForm()->Model()->index(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(VexaIDE->GetActiveEditor(), editor);
  EXPECT_EQ(editor->Form()->ErrorLine, line);
  EXPECT_EQ(editor->Control()->Caret().Line, line);
  EXPECT_EQ(editor->Control()->ShownLineLook(line), LineLookError);
  EXPECT_TRUE(dialogs_->calls.empty()) << ErrorTexts().toStdString();
}

TEST_F(V2DebugEndToEndTest, BreakpointRunWatchStepsRunToCursorAndStop) {
  auto project = OpenDemo();
  ASSERT_TRUE(project) << ErrorTexts().toStdString();
  auto main = Editor(*project, "main");
  ASSERT_TRUE(main);
  const int counting = LineOf(*main, "^\\s*counter = counter \\+ 1;");
  const int callLine = LineOf(*main, "^\\s*i = motor\\.clamp\\(");
  const int yieldLine = LineOf(*main, "^\\s*yield;");
  ASSERT_GT(counting, 0);
  ASSERT_GT(callLine, counting);
  ASSERT_GT(yieldLine, callLine);

  // Ctrl+F8 at the caret's line, then F9.
  main->Control()->setFocus();
  main->SetCaret({1, counting});
  Press(*main, Qt::Key_F8, Qt::ControlModifier);
  EXPECT_EQ(project->GetBreakpointCount(), 1);
  ASSERT_TRUE(ActionEnabled("actSimulatorStart"));
  Press(*main, Qt::Key_F9);
  ASSERT_TRUE(PausedOn(*main, counting)) << main->Form()->ExecutionLine;
  EXPECT_TRUE(project->IsRunning());
  EXPECT_EQ(main->Control()->ShownLineLook(counting), LineLookExecution);

  // A watch of the counter the loop raises: its value at each stop.
  const Ref<IVexaWatch> watch = project->AddWatchName("main.counter");
  ASSERT_TRUE(Watches());
  ASSERT_EQ(Watches()->Model->rowCount(), 1);
  ASSERT_TRUE(ProcessUntil([&] { return watch->HasValue(); }));
  const QString first = watch->GetValueText();
  EXPECT_EQ(ShownValue(0), first);
  bool number = false;
  const int before = first.toInt(&number);
  ASSERT_TRUE(number) << first.toStdString();
  Press(*main, Qt::Key_F9);
  ASSERT_TRUE(ProcessUntil([&] { return ShownValue(0) == QString::number(before + 1); }))
      << ShownValue(0).toStdString();
  EXPECT_TRUE(PausedOn(*main, counting));

  // F8 over the counting statement: the next line of the same thread.
  Press(*main, Qt::Key_F8);
  ASSERT_TRUE(PausedOn(*main, counting + 1)) << main->Form()->ExecutionLine;

  // A breakpoint inside the called function, then Shift+F8 back out of it.
  auto motor = Editor(*project, "motor");
  ASSERT_TRUE(motor);
  const int inClamp = LineOf(*motor, "^\\s*if value > limit");
  ASSERT_GT(inClamp, 0);
  motor->Control()->setFocus();
  motor->SetCaret({1, inClamp});
  Press(*motor, Qt::Key_F8, Qt::ControlModifier);
  EXPECT_EQ(project->GetBreakpointCount(), 2);
  Press(*motor, Qt::Key_F9);
  ASSERT_TRUE(PausedOn(*motor, inClamp)) << motor->Form()->ExecutionLine;
  EXPECT_EQ(main->Form()->ExecutionLine, -1);
  ASSERT_TRUE(ActionEnabled("actSimulatorStepOut"));
  Press(*motor, Qt::Key_F8, Qt::ShiftModifier);
  ASSERT_TRUE(ProcessUntil([&] {
    return CurrentSimulator->IsPaused() && main->Form()->ExecutionLine >= callLine &&
           main->Form()->ExecutionLine <= yieldLine;
  })) << main->Form()->ExecutionLine;
  EXPECT_EQ(motor->Form()->ExecutionLine, -1);

  // F4 with the caret on the yield, after both breakpoints are gone.
  Press(*main, Qt::Key_F8, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(project->GetBreakpointCount(), 0);
  main->Control()->setFocus();
  main->SetCaret({1, yieldLine});
  ASSERT_TRUE(ActionEnabled("actSimulatorRunToCursor"));
  Press(*main, Qt::Key_F4);
  ASSERT_TRUE(PausedOn(*main, yieldLine)) << main->Form()->ExecutionLine;
  EXPECT_TRUE(ProcessUntil([&] { return ShownValue(0) != first && watch->HasValue(); }));

  // Ctrl+F2 stops: no execution line, no values.
  Press(*main, Qt::Key_F2, Qt::ControlModifier);
  ASSERT_TRUE(ProcessUntil([&] { return !project->IsRunning(); }));
  EXPECT_FALSE(CurrentSimulator->IsPaused());
  EXPECT_EQ(main->Form()->ExecutionLine, -1);
  EXPECT_FALSE(main->Control()->isReadOnly());
  EXPECT_TRUE(ProcessUntil([&] { return ShownValue(0) == QString::fromUtf16(kNoValueText); }, 3000))
      << ShownValue(0).toStdString();
  EXPECT_FALSE(watch->HasValue());
  EXPECT_TRUE(dialogs_->calls.empty()) << ErrorTexts().toStdString();
}

// The image a ".vmc" file describes: after its "VX2VMC" line the constant
// byte count B and the code word count W, then B bytes and W words as
// decimal numbers; the image is both counts (32 bits), the bytes and the
// words (16 bits), little-endian. Empty when the file does not fit.
std::vector<std::uint8_t> ImageOfVmcFile(const QByteArray& File) {
  const QList<QByteArray> lines = File.split('\n');
  if (lines.isEmpty() || lines[0].trimmed() != "VX2VMC") return {};
  std::vector<std::uint32_t> numbers;
  for (qsizetype i = 1; i < lines.size(); ++i)
    for (const QByteArray& field : lines[i].simplified().split(' ')) {
      if (field.isEmpty()) continue;
      bool ok = false;
      numbers.push_back(field.toUInt(&ok));
      if (!ok) return {};
    }
  if (numbers.size() < 2 || numbers.size() != 2 + std::size_t(numbers[0]) + numbers[1]) return {};
  std::vector<std::uint8_t> image;
  auto put = [&](std::uint32_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i) image.push_back(std::uint8_t(Value >> (8 * i)));
  };
  put(numbers[0], 4);
  put(numbers[1], 4);
  for (std::size_t i = 2; i < numbers.size(); ++i) put(numbers[i], i < 2 + numbers[0] ? 1 : 2);
  return image;
}

// Port kPort is the device at Path while it lives.
class TPortDevice {
 public:
  explicit TPortDevice(const std::string& Path) { ::setenv(kVariable, Path.c_str(), 1); }
  ~TPortDevice() { ::unsetenv(kVariable); }

 private:
  static constexpr const char* kVariable = "VEXA_COM5";
};

TEST_F(V2DebugEndToEndTest, F12SendsTheBuiltImageToTheBoardOnTheChosenPort) {
  boardemu::V2BoardOptions options;
  options.identifyReply = "VX2 HOST V1.00 !";
  boardemu::V2Board board(options);
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TPortDevice device(board.path());
  auto project = OpenDemo();
  ASSERT_TRUE(project) << ErrorTexts().toStdString();
  QFile built(dir_.filePath("demo.v2p.vmc"));
  ASSERT_TRUE(built.open(QIODevice::ReadOnly));
  const std::vector<std::uint8_t> expected = ImageOfVmcFile(built.readAll());
  ASSERT_GT(expected.size(), 8u);

  auto main = Editor(*project, "main");
  ASSERT_TRUE(main);
  main->Control()->setFocus();
  ASSERT_TRUE(ActionEnabled("actActiveProjectDownload"));
  Press(*main, Qt::Key_F12);
  ASSERT_TRUE(ProcessUntil([&] { return board.recording().hasEvent("program-vmc"); }, 20000))
      << ErrorTexts().toStdString();
  ASSERT_TRUE(ProcessUntil([&] { return !project->IsCompiling(); }));
  const std::vector<std::uint8_t> image = board.recording().image("program");
  EXPECT_EQ(image, expected);
  EXPECT_TRUE(dialogs_->calls.empty()) << ErrorTexts().toStdString();
}

TEST_F(V2DebugEndToEndTest, CompletionDefinitionJumpsAndAWatchFromTheCaret) {
  auto project = OpenDemo();
  ASSERT_TRUE(project) << ErrorTexts().toStdString();
  auto main = Editor(*project, "main");
  auto motor = Editor(*project, "motor");
  ASSERT_TRUE(main && motor);
  const int callLine = LineOf(*main, "^\\s*i = motor\\.clamp\\(");
  const int definition = LineOf(*motor, "^function clamp\\(");
  const int counting = LineOf(*main, "^\\s*counter = counter \\+ 1;");
  ASSERT_GT(callLine, 0);
  ASSERT_GT(definition, 0);

  // Ctrl+F11 on the called name: its definition in the other module.
  VexaIDE->ShowModuleEditor(Module(*project, "main"));
  main->Control()->setFocus();
  const int column = int(LineText(*main, callLine).indexOf("clamp")) + 3;
  main->SetCaret({column, callLine});
  ASSERT_TRUE(ActionEnabled("actSearchDefinition"));
  Press(*main, Qt::Key_F11, Qt::ControlModifier);
  ASSERT_TRUE(ProcessUntil([&] { return VexaIDE->GetActiveEditor() == motor; }))
      << ErrorTexts().toStdString();
  EXPECT_EQ(motor->Control()->Caret().Line, definition);
  ASSERT_EQ(project->DefinitionStack().size(), 1u);

  // Ctrl+Shift+F11 comes back to where the jump began.
  motor->Control()->setFocus();
  ASSERT_TRUE(ActionEnabled("actSearchDefinitionReturn"));
  Press(*motor, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_TRUE(ProcessUntil([&] { return VexaIDE->GetActiveEditor() == main; }));
  EXPECT_EQ(main->Control()->Caret().Line, callLine);
  EXPECT_TRUE(project->DefinitionStack().empty());

  // Ctrl+F7 on the counter: a watch under its full name.
  main->Control()->setFocus();
  main->SetCaret({int(LineText(*main, counting).indexOf("counter")) + 2, counting});
  ASSERT_TRUE(ActionEnabled("actProjectAddWatch"));
  Press(*main, Qt::Key_F7, Qt::ControlModifier);
  ASSERT_EQ(project->GetWatchCount(), 1) << ErrorTexts().toStdString();
  EXPECT_EQ(project->GetWatch(0)->GetName(), "main.counter");
  EXPECT_EQ(Watches()->Model->rowCount(), 1);

  // "i = motor.cl;" on a new line: Ctrl+Space after the prefix lists the
  // module's function, Return puts it in.
  main->SetCaret({int(LineText(*main, callLine).size()) + 1, callLine});
  QTest::keyClick(main->Control(), Qt::Key_Return);
  QTest::keyClicks(main->Control(), "i = motor.cl;");
  QTest::keyClick(main->Control(), Qt::Key_Left);
  const int typed = callLine + 1;
  ASSERT_TRUE(LineText(*main, typed).trimmed() == "i = motor.cl;")
      << LineText(*main, typed).toStdString();
  // The module's compilation of the new line is over: its error is listed.
  ASSERT_TRUE(ProcessUntil([&] {
    for (int i = 0; i < MessageView->GetCount(); ++i)
      if (MessageView->GetMessage(i)->GetLine() == typed &&
          MessageView->GetMessage(i)->GetModule() == Module(*project, "main"))
        return !project->IsCompiling();
    return false;
  })) << MessageTexts().join("\n").toStdString();
  QTest::keyClick(main->Control(), Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(IdentifierCompletionForm && IdentifierCompletionForm->isVisible());
  QListWidget* list = IdentifierCompletionForm->lbCompletions;
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  ASSERT_GE(IdentifierCompletionForm->SelectedRow(), 0) << items.join("|").toStdString();
  EXPECT_TRUE(list->item(IdentifierCompletionForm->SelectedRow())->text().startsWith("clamp"))
      << items.join("|").toStdString();
  EXPECT_FALSE(items.filter(QRegularExpression("^scale\\b")).isEmpty())
      << items.join("|").toStdString();
  // The rest of the name typed into the list, then Return.
  QTest::keyClicks(list, "amp");
  EXPECT_EQ(IdentifierCompletionForm->FilterText, "clamp");
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_FALSE(IdentifierCompletionForm->isVisible());
  EXPECT_EQ(LineText(*main, typed).trimmed(), "i = motor.clamp;");
  EXPECT_TRUE(dialogs_->calls.empty()) << ErrorTexts().toStdString();
}

// The project closes from inside the error box of a watch refresh that runs
// while the worker waits for the main thread.
TEST_F(V2DebugEndToEndTest, ClosingTheProjectInsideAWatchRefreshErrorBox) {
  auto project = OpenDemo();
  ASSERT_TRUE(project) << ErrorTexts().toStdString();
  auto main = Editor(*project, "main");
  ASSERT_TRUE(main);
  const int counting = LineOf(*main, "^\\s*counter = counter \\+ 1;");
  main->Control()->setFocus();
  main->SetCaret({1, counting});
  Press(*main, Qt::Key_F8, Qt::ControlModifier);
  const Ref<IVexaWatch> watch = project->AddWatchName("main.counter");
  Press(*main, Qt::Key_F9);
  ASSERT_TRUE(PausedOn(*main, counting));
  ASSERT_TRUE(ProcessUntil([&] { return watch->HasValue(); }));

  std::weak_ptr<TVexaV2Project> weak = project;
  std::weak_ptr<IVexaSimulator> simulation = CurrentSimulator;
  int closes = 0;
  dialogs_->confirmAnswers = {true, true, true};
  dialogs_->OnError = [&](const QString&) {
    ++closes;
    ASSERT_TRUE(ActionEnabled("actFileCloseActiveProject"));
    CommandsDataModule->Action("actFileCloseActiveProject")->trigger();
  };
  // "abc" for an int: the refresh cannot set it and says so.
  watch->SetTypeText("abc");
  CurrentSimulator->Refresh();
  project.reset();
  main.reset();
  ASSERT_TRUE(ProcessUntil([&] { return closes > 0 && VexaIDE->GetProjectCount() == 0; }))
      << ErrorTexts().toStdString();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(dialogs_->calls.front().kind, test::TFakeDialogs::Kind::Error);
  EXPECT_TRUE(dialogs_->calls.front().text.startsWith("Der neue Wert konnte nicht gesetzt werden!"))
      << ErrorTexts().toStdString();
  EXPECT_FALSE(CurrentSimulator);
  EXPECT_TRUE(ProcessUntil([&] { return weak.expired() && simulation.expired(); }));
  EXPECT_EQ(VexaIDE->GetEditorCount(), 0);

  // The IDE goes on: the demo opens, builds and runs again.
  dialogs_->OnError = nullptr;
  auto again = OpenDemo();
  ASSERT_TRUE(again) << ErrorTexts().toStdString();
  auto editor = Editor(*again, "main");
  ASSERT_TRUE(editor);
  EXPECT_EQ(again->GetBreakpointCount(), 1) << "kept in the state file";
  CurrentSimulator->Run();
  EXPECT_TRUE(PausedOn(*editor, counting));
}
}  // namespace
}  // namespace vexa::ide
