#include "model/projects/BasicProject.h"

#include "BasicPrograms.h"
#include "CoreApp.h"
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "PumpUntil.h"
#include "TempSettings.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/core/VexaIDECore.h"
#include "model/files/ProjectFiles.h"
#include "model/settings/Options.h"
#include "model/workers/MainThreadInvoker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;
using ::testing::NiceMock;

QCoreApplication& App() { return test::CoreApp(); }

using test::kInput;
using test::kLoop;
using test::kLoopBody;

// What the tests watch: a call of a closed project's editor is a fault.
struct TTrace {
  bool closed = false;
  int callsAfterClose = 0;
  void Touch() {
    if (closed) ++callsAfterClose;
  }
};

// An editor as the IDE's: binds to its module, and Close unbinds it and
// leaves the IDE.
class TFakeEditor final : public IVexaSourceEditor,
                          public std::enable_shared_from_this<TFakeEditor> {
 public:
  TFakeEditor(QString FileName, QString Text, TTrace& Trace)
      : fileName(std::move(FileName)), text(std::move(Text)), trace(Trace) {}
  void Activate() override { trace.Touch(); }
  void RepaintLine(int) override { trace.Touch(); }
  bool CloseQuery() override { return true; }
  void Close() override {
    auto self = shared_from_this();
    SetModule(nullptr);
    if (VexaIDE) VexaIDE->RemoveEditor(self);
    ++closes;
  }
  std::optional<TSourceText> GetText() override {
    trace.Touch();
    ++fetches;
    if (onGetText) onGetText();
    return TSourceText{text, int(text.count(QLatin1Char('\n'))) + 1};
  }
  void NotifyTextChanged() override {}
  void RefreshBreakpointLines() override { trace.Touch(); }
  void ApplySettings() override {}
  bool Save() override { return true; }
  void SetCaret(TCaretPos) override {}
  void SetExecutionLine(int Line) override {
    trace.Touch();
    executionLine = Line;
  }
  void SetErrorLine(int) override {}
  void UpdateReadOnly() override {
    trace.Touch();
    ++readOnlyUpdates;
  }
  QString GetFileName() override { return module_ ? module_->GetFileName() : fileName; }
  QString GetDisplayName() override { return fileName; }
  bool IsTextModified() override { return modified; }
  Ref<IVexaModule> GetModule() override { return module_; }
  bool GetModified() override { return modified; }
  void SetModule(const Ref<IVexaModule>& Module) override {
    if (Module == module_) return;
    if (Ref<IVexaModule> old = std::exchange(module_, nullptr)) old->SetEditor(nullptr);
    module_ = Module;
    if (module_) module_->SetEditor(shared_from_this());
  }

  QString fileName;
  QString text;
  TTrace& trace;
  bool modified = false;
  int executionLine = -1;
  int readOnlyUpdates = 0;
  int fetches = 0;
  int closes = 0;
  std::function<void()> onGetText;

 private:
  Ref<IVexaModule> module_;
};

class TFakeEditorFactory final : public IVexaSourceEditorFactory {
 public:
  explicit TFakeEditorFactory(TTrace& Trace) : trace_(Trace) {}
  Ref<IVexaSourceEditor> CreateForFile(QTabWidget*, const QString&, TFileKind) override {
    return nullptr;
  }
  Ref<IVexaSourceEditor> CreateForModule(QTabWidget*, const Ref<IVexaModule>& Module) override {
    QString text;
    QFile file(Module->GetFileName());
    if (file.open(QIODevice::ReadOnly)) text = QString::fromLatin1(file.readAll());
    auto editor = std::make_shared<TFakeEditor>(Module->GetFileName(), text, trace_);
    editors.push_back(editor);
    VexaIDE->AddEditor(editor);
    editor->SetModule(Module);
    return editor;
  }
  std::vector<std::shared_ptr<TFakeEditor>> editors;

 private:
  TTrace& trace_;
};

class BasicProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir_.isValid());
    manual_ = std::make_shared<TManualInvoker>();
    dialogs_ = std::make_shared<test::TFakeDialogs>();
    previousDialogs_ = SetDialogs(dialogs_);
    core_ = std::make_shared<TVexaIDECore>();
    VexaIDE = core_;
    editors_ = std::make_shared<TFakeEditorFactory>(trace_);
    SourceEditorFactory = editors_;
    view_ = std::make_shared<NiceMock<test::MockMessageView>>();
    ON_CALL(*view_, Add).WillByDefault([this](const Ref<IVexaMessage>& M) {
      trace_.Touch();
      messages_ << M->GetText();
    });
    ON_CALL(*view_, Clear).WillByDefault([this] { messages_.clear(); });
    MessageView = view_;
    watchesView_ = std::make_shared<NiceMock<test::MockWatchesView>>();
    ON_CALL(*watchesView_, RefreshAll).WillByDefault([this] {
      ++rests_;
      if (onRest_) onRest_();
    });
    WatchesView = watchesView_;
    options::BackgroundCompilationBASIC = true;
    options::BackgroundCompilationDelayBASIC = 200;
    TQuorinSeams seams;
    seams.Invoker = manual_;
    seams.Dialogs = dialogs_;
    factory_ = std::make_shared<TVexaBASICFactory>(seams);
  }

  void TearDown() override {
    if (VexaIDE) VexaIDE->CloseAll();
    CurrentSimulator.reset();
    VexaIDE.reset();
    SourceEditorFactory.reset();
    MessageView.reset();
    WatchesView.reset();
    SetDialogs(previousDialogs_);
  }

  QString Write(const QString& Name, const QString& Text) {
    const QString path = dir_.filePath(Name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Text.toLatin1());
    return path;
  }

  std::shared_ptr<TVexaBASICProjectAndModule> Open(const QString& FileName) {
    return std::static_pointer_cast<TVexaBASICProjectAndModule>(factory_->CreateProject(FileName));
  }

  // Pumps (worker calls and Qt timers) until Done.
  bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout = 5s) {
    return test::PumpUntil(Done, Timeout, manual_.get());
  }

  // Runs Action and pumps until the project's worker comes to rest in
  // State (the watches are refreshed then, while the worker waits).
  template <class F>
  bool Rest(TVexaBASICProjectAndModule& P, TQuorin::TState State, F&& Action) {
    bool rested = false;
    onRest_ = [&] { rested = rested || (P.Worker() && P.Worker()->State() == State); };
    Action();
    const bool done = PumpUntil([&] { return rested; });
    onRest_ = nullptr;
    return done;
  }

  bool Built(TVexaBASICProjectAndModule& P) {
    return PumpUntil(
        [&] { return P.Worker() && P.Worker()->State() == TQuorin::TState::Ready && P.IsBuilt(); });
  }

  TFakeEditor& EditorOf(TVexaBASICProjectAndModule& P) {
    return static_cast<TFakeEditor&>(*P.GetEditor());
  }

  QTemporaryDir dir_;
  TTrace trace_;
  std::shared_ptr<TManualInvoker> manual_;
  std::shared_ptr<test::TFakeDialogs> dialogs_;
  std::shared_ptr<IDialogs> previousDialogs_;
  std::shared_ptr<TVexaIDECore> core_;
  std::shared_ptr<TFakeEditorFactory> editors_;
  std::shared_ptr<NiceMock<test::MockMessageView>> view_;
  std::shared_ptr<NiceMock<test::MockWatchesView>> watchesView_;
  std::shared_ptr<TVexaBASICFactory> factory_;
  QStringList messages_;
  int rests_ = 0;
  std::function<void()> onRest_;
};

TEST_F(BasicProjectTest, OpeningCompilesAndACleanCompileOfTheShownTextMakesItBuilt) {
  auto p = Open(Write("loop.bas", kLoop));
  ASSERT_EQ(core_->GetProjectCount(), 1);
  EXPECT_EQ(core_->GetActiveProject(), p->ProjectRef());
  ASSERT_TRUE(p->GetEditor());
  EXPECT_EQ(CurrentSimulator.get(), p->Worker().get());
  ASSERT_TRUE(Built(*p));
  EXPECT_FALSE(p->HasErrors());
  EXPECT_TRUE(p->HasLineInfos());
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith("OK - "));
  EXPECT_EQ(p->GetLineFlags(kLoopBody), LineFlagCode);
  p->ToggleBreakpoint(kLoopBody);
  EXPECT_EQ(p->GetLineFlags(kLoopBody),
            LineFlagCode | LineFlagBreakpoint | LineFlagBreakpointCompiled);
  EXPECT_TRUE(p->CanRunToLine(kLoopBody));
  EXPECT_FALSE(p->CanRunToLine(1));

  // A change makes it unbuilt at once; the background compile builds it again.
  EditorOf(*p).text = QString(kLoop) + "PRINT I;\n";
  p->TextChanged();
  EXPECT_TRUE(p->NeedsCompile());
  EXPECT_FALSE(p->IsBuilt());
  EXPECT_FALSE(p->HasLineInfos());
  EXPECT_EQ(p->Worker()->State(), TQuorin::TState::NotCompiled);
  EXPECT_FALSE(p->CanRunToLine(kLoopBody));
  ASSERT_TRUE(Built(*p));

  // A change while the text is being compiled keeps the project unbuilt.
  EditorOf(*p).onGetText = [&] {
    EditorOf(*p).onGetText = nullptr;
    manual_->Queue([&] {
      EditorOf(*p).text += "PRINT S;\n";
      p->TextChanged();
    });
  };
  const int fetches = EditorOf(*p).fetches;
  p->Build();
  ASSERT_TRUE(PumpUntil([&] { return EditorOf(*p).fetches > fetches && p->HasLineInfos(); }));
  EXPECT_TRUE(p->NeedsCompile());
  EXPECT_FALSE(p->IsBuilt());
  // ... until the timer's compile of the new text.
  ASSERT_TRUE(Built(*p));
  EXPECT_EQ(EditorOf(*p).fetches, fetches + 2);
}

TEST_F(BasicProjectTest, ErrorsAreShownOnTheirLinesAndKeepTheProjectUnbuilt) {
  auto p = Open(Write("bad.bas", "NEXT\nPRINT 1\nGOTO NOWHERE\n"));
  ASSERT_TRUE(PumpUntil([&] { return p->HasLineInfos(); }));
  EXPECT_TRUE(p->HasErrors());
  EXPECT_FALSE(p->IsBuilt());
  p->ToggleBreakpoint(2);
  EXPECT_EQ(p->GetLineFlags(1), LineFlagError);
  EXPECT_EQ(p->GetLineFlags(2), LineFlagBreakpoint);
  EXPECT_EQ(p->GetLineFlags(3), LineFlagError);
  EXPECT_FALSE(p->CanRunToLine(2));
  EXPECT_EQ(messages_.size(), 2);
  EXPECT_FALSE(p->Worker()->CanRun());
}

TEST_F(BasicProjectTest, TwoFilesGetTwoWorkersAndShareTheSimulationOnlyWhenItAgrees) {
  auto a = Open(Write("a.bas", kLoop));
  ASSERT_TRUE(Built(*a));
  auto b = Open(Write("b.bas", kLoop));
  ASSERT_TRUE(Built(*b));
  ASSERT_TRUE(a->Worker() && b->Worker());
  EXPECT_NE(a->Worker(), b->Worker());
  EXPECT_EQ(CurrentSimulator.get(), b->Worker().get());
  EXPECT_EQ(core_->GetActiveProject(), b->ProjectRef());

  // b pauses at a breakpoint; activating a asks b, which says no.
  b->ToggleBreakpoint(kLoopBody);
  ASSERT_TRUE(Rest(*b, TQuorin::TState::Paused, [&] { CurrentSimulator->Run(); }));
  EXPECT_TRUE(b->IsRunning());
  EXPECT_TRUE(b->IsReadOnly());
  EXPECT_EQ(EditorOf(*b).executionLine, kLoopBody);
  dialogs_->confirmAnswers = {false};
  a->Activate();
  EXPECT_EQ(CurrentSimulator.get(), b->Worker().get());
  // Asked again, it agrees and stops.
  dialogs_->confirmAnswers = {true};
  a->Activate();
  EXPECT_EQ(CurrentSimulator.get(), a->Worker().get());
  // The worker's state changes before its notification reaches the project.
  ASSERT_TRUE(
      PumpUntil([&] { return b->Worker()->State() == TQuorin::TState::Ready && !b->IsRunning(); }));
  EXPECT_EQ(EditorOf(*b).executionLine, -1);
  EXPECT_EQ(dialogs_->Texts(),
            QStringList(2,
                        "Der Simulator ist aktiv, soll das laufende Programm abgebrochen "
                        "werden?"));
}

TEST_F(BasicProjectTest, ClosingTheEditorRemovesTheProjectUnlessItRuns) {
  auto p = Open(Write("loop.bas", kLoop));
  ASSERT_TRUE(Built(*p));
  std::weak_ptr<TVexaBASICProjectAndModule> weak = p;
  // Running: the editor goes, the project stays.
  p->ToggleBreakpoint(kLoopBody);
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Paused, [&] { p->Worker()->Run(); }));
  std::shared_ptr<TFakeEditor> editor = editors_->editors.back();
  editor->Close();
  EXPECT_EQ(core_->GetProjectCount(), 1);
  EXPECT_FALSE(p->GetEditor());
  // Not running: closing its new editor removes it.
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Ready, [&] { p->Worker()->Stop(); }));
  core_->ShowModuleEditor(p->ModuleRef());
  ASSERT_TRUE(p->GetEditor());
  editors_->editors.back()->Close();
  EXPECT_EQ(core_->GetProjectCount(), 0);
  EXPECT_FALSE(p->Worker());
  EXPECT_FALSE(CurrentSimulator);
  p.reset();
  editor.reset();
  editors_->editors.clear();
  EXPECT_TRUE(weak.expired());
}

TEST_F(BasicProjectTest, ClosingTheEditorOfAStoppedProjectWritesItsStateOnce) {
  const QString file = Write("state.bas", kLoop);
  {
    auto p = Open(file);
    ASSERT_TRUE(Built(*p));
    p->ToggleBreakpoint(kLoopBody);
    p->ToggleBreakpoint(kLoopBody + 2);
    Ref<IVexaWatch> i = p->AddWatchName("I");
    EXPECT_EQ(p->AddWatchName("i"), i);
    p->AddWatchName("S")->SetFormat(TWatchFormat::Hex);
    EXPECT_EQ(p->GetWatchCount(), 2);
    ASSERT_TRUE(Rest(*p, TQuorin::TState::Paused, [&] { p->Worker()->Run(); }));
    EXPECT_EQ(i->GetValueText(), "1");
    ASSERT_TRUE(Rest(*p, TQuorin::TState::Ready, [&] { p->Worker()->Stop(); }));
    editors_->editors.back()->Close();
    EXPECT_EQ(core_->GetProjectCount(), 0);
    ASSERT_TRUE(QFile::exists(file + ".ide"));
    TProjectState expected;
    expected.Breakpoints = {{QString(), {kLoopBody, kLoopBody + 2}}};
    expected.Watches = {{"I", TWatchFormat::Decimal}, {"S", TWatchFormat::Hex}};
    QFile ide(file + ".ide");
    ASSERT_TRUE(ide.open(QIODevice::ReadOnly));
    EXPECT_EQ(ide.readAll(), StateFileBytes(true, expected));
    ide.close();
    // A second close writes nothing.
    ASSERT_TRUE(QFile::remove(file + ".ide"));
    p->Close();
    EXPECT_FALSE(QFile::exists(file + ".ide"));
    editors_->editors.clear();
  }
  // Written again, it is read back on opening.
  TProjectState state;
  state.Breakpoints = {{QString(), {2, kLoopBody}}};
  state.Watches = {{"S", TWatchFormat::Binary}};
  WriteStateFile(file, true, state);
  auto p = Open(file);
  EXPECT_EQ(p->GetBreakpointCount(), 2);
  EXPECT_EQ(p->GetBreakpoint(1), kLoopBody);
  ASSERT_EQ(p->GetWatchCount(), 1);
  EXPECT_EQ(p->GetWatch(0)->GetFormat(), TWatchFormat::Binary);
  // The worker made while opening knows the breakpoints.
  ASSERT_TRUE(Built(*p));
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Paused, [&] { p->Worker()->Run(); }));
  EXPECT_EQ(EditorOf(*p).executionLine, kLoopBody);
}

// Lines typed above a breakpoint and thrown away with the editor: the state
// file keeps the breakpoint on its line of the file.
TEST_F(BasicProjectTest, AThrownAwayEditKeepsTheBreakpointOnItsLineOfTheFile) {
  const QString file = Write("edit.bas", kLoop);
  {
    auto p = Open(file);
    ASSERT_TRUE(Built(*p));
    p->ToggleBreakpoint(kLoopBody);
    p->LinesInserted(1, 2);
    ASSERT_EQ(p->GetBreakpoint(0), kLoopBody + 2);
    editors_->editors.back()->modified = true;
    editors_->editors.back()->Close();
    EXPECT_EQ(core_->GetProjectCount(), 0);
    editors_->editors.clear();
  }
  auto p = Open(file);
  ASSERT_EQ(p->GetBreakpointCount(), 1);
  EXPECT_EQ(p->GetBreakpoint(0), kLoopBody);
}

TEST_F(BasicProjectTest, ClosingTheProjectWhileTheInputDialogIsOpenCallsNothingOfItAfterwards) {
  auto p = Open(Write("input.bas", kInput));
  ASSERT_TRUE(Built(*p));
  p->AddWatchName("X");
  std::chrono::steady_clock::duration took{};
  bool asked = false;
  dialogs_->simulatorInput = [&](int) -> std::optional<int> {
    asked = true;
    const auto start = std::chrono::steady_clock::now();
    core_->RemoveProject(p);
    took = std::chrono::steady_clock::now() - start;
    trace_.closed = true;
    return 5;
  };
  p->Worker()->Run();
  ASSERT_TRUE(PumpUntil([&] { return asked; }));
  EXPECT_LT(took, 1s);
  EXPECT_EQ(core_->GetProjectCount(), 0);
  EXPECT_FALSE(p->Worker());
  EXPECT_EQ(p->GetWatchCount(), 0);
  PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(trace_.callsAfterClose, 0);
}

TEST_F(BasicProjectTest, TheExampleRunsWithItsInputAndShowsTheWatchInEveryFormat) {
  // A copy: closing writes the state file beside the program.
  const QString file = dir_.filePath("input.bas");
  ASSERT_TRUE(QFile::copy(VEXA_EXAMPLES_DIR "/basic/input.bas", file));
  auto p = Open(file);
  ASSERT_TRUE(Built(*p)) << messages_.join("\n").toStdString();
  // The first line after the INPUT.
  int line = 0;
  const QStringList lines = EditorOf(*p).text.split('\n');
  for (int i = 0; i < lines.size() && !line; ++i)
    if (lines[i].startsWith("INPUT")) line = i + 2;
  ASSERT_GT(line, 0);
  p->ToggleBreakpoint(line);
  Ref<IVexaWatch> watch = p->AddWatchName("zahl");
  dialogs_->simulatorInputAnswers = {5};
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Paused, [&] { CurrentSimulator->Run(); }));
  EXPECT_EQ(EditorOf(*p).executionLine, line);
  EXPECT_EQ(watch->GetValueText(), "5");
  watch->SetFormat(TWatchFormat::Hex);
  EXPECT_EQ(watch->GetValueText(), "&H0005");
  watch->SetFormat(TWatchFormat::Binary);
  EXPECT_EQ(watch->GetValueText(), "&B0000000000000101");
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Ready, [&] { CurrentSimulator->Run(); }));
  EXPECT_EQ(dialogs_->simulatorInputPresets, std::vector<int>{0});
}

TEST_F(BasicProjectTest, WithoutBackgroundCompilationTheWorkerComesWithTheFirstBuild) {
  options::BackgroundCompilationBASIC = false;
  auto p = Open(Write("loop.bas", kLoop));
  EXPECT_FALSE(p->Worker());
  EXPECT_FALSE(CurrentSimulator);
  EXPECT_TRUE(p->CanBuild());
  EXPECT_TRUE(p->CloseQuery());
  p->TextChanged();
  PumpUntil([] { return false; }, 300ms);
  EXPECT_FALSE(p->Worker());
  p->Build();
  ASSERT_TRUE(p->Worker());
  EXPECT_EQ(CurrentSimulator.get(), p->Worker().get());
  ASSERT_TRUE(Built(*p));
}

// No chosen port: the download is refused before the compile, with the box
// the V2 download shows; no port is opened.
TEST_F(BasicProjectTest, DownloadWithoutAPortShowsTheBoxAndNeitherCompilesNorOpensAPort) {
  struct TRestorePort {
    int saved = options::DownloadComBASIC;
    ~TRestorePort() { options::DownloadComBASIC = saved; }
  } restore;
  const QStringList box{
      "Sie müssen zuerst die serielle Schnittstelle zur Übertragung des Programms zur Vexa "
      "Unit auswählen!"};

  // Without background compilation no worker exists before the download.
  options::BackgroundCompilationBASIC = false;
  auto fresh = Open(Write("fresh.bas", kLoop));
  ASSERT_FALSE(fresh->Worker());
  options::DownloadComBASIC = -1;
  fresh->Download();
  EXPECT_EQ(dialogs_->Texts(), box);
  EXPECT_FALSE(fresh->Worker()) << "nothing compiled";
  EXPECT_EQ(EditorOf(*fresh).fetches, 0);
  EXPECT_TRUE(messages_.isEmpty());

  // A built program is neither compiled again nor sent.
  fresh->Build();
  ASSERT_TRUE(Built(*fresh));
  const int fetches = EditorOf(*fresh).fetches;
  const QStringList messages = messages_;
  for (int port : {-1, 0, 9}) {
    options::DownloadComBASIC = port;
    dialogs_->calls.clear();
    fresh->Download();
    EXPECT_EQ(dialogs_->Texts(), box) << port;
  }
  PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(EditorOf(*fresh).fetches, fetches);
  EXPECT_EQ(messages_, messages) << "no compile result and no port error";
  EXPECT_EQ(fresh->Worker()->State(), TQuorin::TState::Ready);
}

TEST_F(BasicProjectTest, AnswersOfBothSides) {
  test::TTempSettings settings;
  auto commands = std::make_unique<TCommandsModule>();
  auto p = Open(QString());
  EXPECT_EQ(p->GetProjectName(), "Unbenannt1.bas");
  EXPECT_EQ(p->GetFileTitle(), "Unbenannt1.bas");
  EXPECT_EQ(p->GetModuleName(), "[BASIC-Modul]");
  EXPECT_EQ(static_cast<IVexaModule&>(*p).GetName(), "[BASIC-Modul]");
  EXPECT_EQ(static_cast<IVexaProject&>(*p).GetName(), "Unbenannt1.bas");
  EXPECT_TRUE(p->IsProjectFile());
  EXPECT_TRUE(p->IsSingleModule());
  EXPECT_EQ(p->GetModuleCount(), 1);
  EXPECT_EQ(p->GetModule(3), p->ModuleRef());
  EXPECT_EQ(p->FindModule("x.v2"), p->ModuleRef());
  EXPECT_EQ(p->GetProject(), p->ProjectRef());
  EXPECT_TRUE(p->CanRenameTo("x.bas"));
  EXPECT_FALSE(p->CanRenameTo(""));
  EXPECT_FALSE(p->CanInsertModule());
  EXPECT_FALSE(p->GetIdentCompletions(p->ModuleRef(), 1, "A"));
  p->AddWatchName("Alpha");
  p->AddWatchName("beta");
  EXPECT_EQ(p->AddWatchName("ALPHA"), p->GetWatch(0));
  p->DeleteWatch(5);
  p->DeleteWatch(-1);
  EXPECT_EQ(p->GetWatchCount(), 2);
  p->DeleteWatch(0);
  ASSERT_EQ(p->GetWatchCount(), 1);
  EXPECT_EQ(p->GetWatch(0)->GetName(), "beta");
  p->SetFileName(dir_.filePath("named.bas"));
  EXPECT_EQ(p->GetProjectName(), "named.bas");
  EXPECT_TRUE(p->GetModified() == EditorOf(*p).modified);
  EditorOf(*p).modified = true;
  EXPECT_TRUE(p->HasChanges());
  // Closed and freed, the named project is a recent project; the number is free again.
  core_->RemoveProject(p);
  editors_->editors.clear();
  p.reset();
  EXPECT_FALSE(commands->UntitledNumbers.InUse(1));
  EXPECT_EQ(commands->RecentProjects.At(0), dir_.filePath("named.bas"));
  commands.reset();
  CommandsModule = nullptr;
}

}  // namespace
}  // namespace vexa::ide
