#include "model/projects/V2Project.h"

#include "model/core/CommandsModule.h"
#include "FakeDialogs.h"
#include "model/core/Helpers.h"
#include "MockIntfs.h"
#include "model/core/ModuleDialogHook.h"
#include "model/core/Options.h"
#include "model/core/Services.h"
#include "TempSettings.h"
#include "model/core/VexaIDECore.h"
#include "model/workers/MainThreadInvoker.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/V2Module.h"
#include "QStringPrinter.h"
#include "CoreApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;
using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

QCoreApplication& App() { return test::CoreApp(); }

// The workers' calls into the main thread wait here until PumpUntil runs
// them (none of them goes through Qt's cross-thread event queue).
std::shared_ptr<TManualInvoker> g_invoker;

// Runs the main thread's events (timers) and the workers' calls until Done
// answers true or Timeout passes.
bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout = 10s) {
  QElapsedTimer timer;
  timer.start();
  while (!Done()) {
    if (timer.elapsed() > Timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (g_invoker) g_invoker->Pump();
    QThread::msleep(1);
  }
  return true;
}

QStringList Names(IVexaProject& Project) {
  QStringList names;
  for (int i = 0; i < Project.GetModuleCount(); ++i) names << Project.GetModule(i)->GetName();
  return names;
}

void PumpFor(std::chrono::milliseconds Duration) {
  PumpUntil([] { return false; }, Duration);
}

// A stand-in compiler library that records what the worker asks of it.
// Called on the worker thread; read by the test under the lock.
struct TFakeLibrary {
  std::mutex mutex;
  std::map<int, std::string> names;  // module number -> name
  std::vector<std::string> added;
  std::vector<std::string> compiled;
  std::map<std::string, std::string> sources;  // the last source of each module
  int removeAlls = 0;
  int beginBuilds = 0;
  int written = 0;
  int imageRequests = 0;
  std::vector<std::string> projectNames;
  int nextModule = 1;
  char* messages = nullptr;
  std::uint32_t messagesSize = 0;
  // getIdentDefPos's answer: module number and line; 0: not found.
  int defModule = 0;
  int defLine = 0;
  std::string fullName;      // getIdentFullName's answer; empty: not found
  bool failCompile = false;  // the next compileModule fails
  std::chrono::steady_clock::time_point firstCompile{};

  std::vector<std::string> Compiled() {
    std::lock_guard lock(mutex);
    return compiled;
  }
  int Count(int TFakeLibrary::*Field) {
    std::lock_guard lock(mutex);
    return this->*Field;
  }
};
TFakeLibrary* g_lib = nullptr;

TVx2CompFunctions FakeFunctions() {
  TVx2CompFunctions f;
  f.openProject = [](const char* Name) -> Vx2ProjectHandle {
    std::lock_guard lock(g_lib->mutex);
    g_lib->projectNames.push_back(Name);
    return 1;
  };
  f.closeProject = [](Vx2ProjectHandle) { return std::int32_t{1}; };
  f.isValidModuleName = [](const char*) { return std::int32_t{1}; };
  f.addModule = [](Vx2ProjectHandle, const char* Name, const char*, std::int32_t) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->added.push_back(Name);
    g_lib->names[g_lib->nextModule] = Name;
    return g_lib->nextModule++;
  };
  f.replaceModuleSource = [](Vx2ProjectHandle, std::int32_t Module, const char* Source,
                             std::int32_t) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->sources[g_lib->names[Module]] = Source;
    return std::int32_t{1};
  };
  f.removeAll = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->removeAlls;
    g_lib->nextModule = 1;
    g_lib->names.clear();
    return std::int32_t{1};
  };
  f.removeModule = [](Vx2ProjectHandle, std::int32_t) { return std::int32_t{1}; };
  f.setMessageBuffer = [](Vx2ProjectHandle, char* Buffer, std::uint32_t Size) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->messages = Buffer;
    g_lib->messagesSize = Size;
    return std::int32_t{1};
  };
  f.compileModule = [](Vx2ProjectHandle, std::int32_t Module) {
    std::lock_guard lock(g_lib->mutex);
    if (std::exchange(g_lib->failCompile, false)) return std::int32_t{0};
    if (g_lib->compiled.empty()) g_lib->firstCompile = std::chrono::steady_clock::now();
    const std::string name = g_lib->names[Module];
    g_lib->compiled.push_back(name);
    std::snprintf(g_lib->messages, g_lib->messagesSize, "%s : OK", name.c_str());
    return std::int32_t{-1};  // no message counted
  };
  f.beginBuild = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->beginBuilds;
    return std::int32_t{1};
  };
  f.finishBuild = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    if (g_lib->messagesSize) g_lib->messages[0] = 0;
    return std::int32_t{1};
  };
  f.getModuleLineInfos = [](Vx2ProjectHandle, std::int32_t, std::uint8_t* Buffer,
                            std::uint32_t Length) {
    for (std::uint32_t i = 0; i < Length; ++i) Buffer[i] = 1;
    return std::int32_t{1};
  };
  f.getIdentDefPos = [](Vx2ProjectHandle, const char*, std::int32_t* Module, std::int32_t* Line) {
    std::lock_guard lock(g_lib->mutex);
    if (!g_lib->defModule) return std::int32_t{0};
    *Module = g_lib->defModule;
    *Line = g_lib->defLine;
    return std::int32_t{1};
  };
  f.getIdentCompletions = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t,
                             char* Buffer, std::uint32_t Size) {
    std::snprintf(Buffer, Size, "speed (variable)\r\nclamp (function)");
    return std::int32_t{1};
  };
  f.getIdentFullName = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t, char* Buffer,
                          std::uint32_t Size) {
    std::lock_guard lock(g_lib->mutex);
    if (g_lib->fullName.empty()) return std::int32_t{0};
    std::snprintf(Buffer, Size, "%s", g_lib->fullName.c_str());
    return std::int32_t{1};
  };
  f.writeOutputFile = [](Vx2ProjectHandle, const char*) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->written;
    return std::int32_t{1};
  };
  f.getRequiredVMCBufferSize = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->imageRequests;
    return std::uint32_t{0};
  };
  f.fillVMCBuffer = [](Vx2ProjectHandle, std::uint8_t*) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->imageRequests;
    return std::int32_t{0};
  };
  return f;
}

// A simulation that only answers whose it is and whether it may close.
class TFakeSimulator : public NiceMock<test::MockVexaSimulator> {
 public:
  TFakeSimulator(Ref<IVexaProject> Project, bool MayClose) {
    ON_CALL(*this, GetProject()).WillByDefault(Return(Project));
    ON_CALL(*this, CanClose()).WillByDefault(Return(MayClose));
  }
};

class V2ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir_.isValid());
    g_lib = &lib_;
    qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
    saved_ = {options::SystemModulesPath,
              options::UserCommonModulesPath,
              options::DefaultProjectPath,
              options::BackgroundCompilationV2,
              options::BackgroundCompilationDelayV2,
              options::DownloadComV2};
    options::SystemModulesPath = Path("Lib");
    options::UserCommonModulesPath = Path("UserLib");
    options::DefaultProjectPath = Path("");
    options::BackgroundCompilationV2 = true;
    options::BackgroundCompilationDelayV2 = 200;
    options::DownloadComV2 = 1;
    QDir(dir_.path()).mkpath("Lib");
    QDir(dir_.path()).mkpath("UserLib");
    Write("Lib/modules.txt", "// system modules\r\nlcd.v2!\r\nservo.v2\r\n");
    Write("Lib/lcd.v2", "int lcdx;\n");
    Write("Lib/servo.v2", "int servox;\n");
    Write("UserLib/modules.txt", "tools.v2\r\n");
    Write("UserLib/tools.v2", "int toolx;\n");
    seams_.Compiler.Functions = FakeFunctions();
    g_invoker = std::make_shared<TManualInvoker>();
    seams_.Compiler.Invoker = g_invoker;
  }

  void TearDown() override {
    for (const Ref<TVexaV2Project>& project : projects_) project->Close();
    projects_.clear();
    CurrentSimulator.reset();
    CreateV2Simulation = nullptr;
    VexaIDE.reset();
    MessageView.reset();
    ProjectEditor.reset();
    WatchesView.reset();
    g_lib = nullptr;
    g_invoker.reset();
    options::SystemModulesPath = saved_.system;
    options::UserCommonModulesPath = saved_.common;
    options::DefaultProjectPath = saved_.defaultPath;
    options::BackgroundCompilationV2 = saved_.background;
    options::BackgroundCompilationDelayV2 = saved_.delay;
    options::DownloadComV2 = saved_.port;
  }

  QString Path(const QString& Name) const { return dir_.filePath(Name); }

  void Write(const QString& Name, const QByteArray& Text) {
    QFile file(Path(Name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Text);
  }

  // A project file of the project modules Names (files "<name>.v2" made).
  QString MakeProject(const QStringList& Names, const QByteArray& Extra = {},
                      const QString& FileName = QStringLiteral("robot.v2p")) {
    QByteArray text = Extra;
    for (const QString& name : Names) {
      Write(name + ".v2", "int " + name.toLatin1() + "x;\n");
      text += name.toLatin1() + ".v2\r\n";
    }
    Write(FileName, text);
    return Path(FileName);
  }

  Ref<TVexaV2Project> Open(const QString& FileName) {
    Ref<TVexaV2Project> project = TVexaV2Project::Create(FileName, seams_);
    projects_.push_back(project);
    return project;
  }

  // Opens and waits until the build of its creation is done.
  Ref<TVexaV2Project> OpenBuilt(const QString& FileName) {
    Ref<TVexaV2Project> project = Open(FileName);
    EXPECT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }))
        << dialogs_->Texts().join(QLatin1Char(10)).toStdString();
    return project;
  }

  QTemporaryDir dir_;
  TFakeLibrary lib_;
  TV2ProjectSeams seams_;
  test::TScopedFakeDialogs dialogs_;
  std::vector<Ref<TVexaV2Project>> projects_;
  struct {
    QString system, common, defaultPath;
    bool background = false;
    int delay = 0, port = 0;
  } saved_;
};

// --- model --------------------------------------------------------------------

TEST_F(V2ProjectTest, OpeningReadsTheListsAndTheProjectFileInCompileOrder) {
  auto project = Open(MakeProject({"motor", "main"}));
  EXPECT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "motor", "main"}));
  EXPECT_TRUE(project->GetModule(0)->GetKind() == ModuleKindSystem);
  EXPECT_TRUE(project->GetModule(2)->GetKind() == ModuleKindCommon);
  // A project file decides the used flags of system modules: lcd is not named.
  EXPECT_FALSE(project->GetModule(0)->IsUsed());
  EXPECT_FALSE(project->GetModified());
  EXPECT_TRUE(project->ModuleListChanged() || project->Compiler());
  EXPECT_EQ(project->GetName(), "robot.v2p");
  EXPECT_TRUE(dialogs_->calls.empty()) << dialogs_->Texts().join('\n').toStdString();
}

TEST_F(V2ProjectTest, BreakpointsFormOneSequenceInModuleOrder) {
  auto project = Open(MakeProject({"motor", "main"}));
  const Ref<IVexaModule> motor = project->GetModule(3);
  const Ref<IVexaModule> main = project->GetModule(4);
  motor->ToggleBreakpoint(9);
  motor->ToggleBreakpoint(4);
  main->ToggleBreakpoint(2);
  main->ToggleBreakpoint(7);
  main->ToggleBreakpoint(5);
  motor->SetModuleNumber(1);
  main->SetModuleNumber(2);

  EXPECT_EQ(project->GetBreakpointCount(), 5);
  std::vector<int> sequence;
  for (int i = -1; i <= 5; ++i) sequence.push_back(project->GetBreakpoint(i));
  EXPECT_EQ(sequence, (std::vector<int>{-1, 4, 9, 2, 5, 7, -1}));
  EXPECT_TRUE(project->HasBreakpoints());

  // The simulation gets them from the last module to the first, each from
  // its last line to its first; an unused module is left out.
  const Ref<IVexaModule> servo = project->GetModule(1);
  servo->ToggleBreakpoint(3);
  ASSERT_FALSE(servo->IsUsed());
  std::vector<std::pair<int, int>> visited;
  project->ForEachBreakpoint([&](int Module, int Line) { visited.emplace_back(Module, Line); });
  EXPECT_EQ(visited, (std::vector<std::pair<int, int>>{{2, 7}, {2, 5}, {2, 2}, {1, 9}, {1, 4}}));

  project->ClearAllBreakpoints();
  EXPECT_EQ(project->GetBreakpointCount(), 0);
  EXPECT_EQ(project->GetBreakpoint(0), -1);
}

TEST_F(V2ProjectTest, BreakpointChangesReachOnlyThisProjectsSimulationAndOnceWhenAllAreCleared) {
  auto project = Open(MakeProject({"motor", "main"}));
  auto simulator = std::make_shared<TFakeSimulator>(project, true);
  CurrentSimulator = simulator;
  EXPECT_CALL(*simulator, UpdateBreakpoints()).Times(2);
  project->GetModule(3)->ToggleBreakpoint(1);
  project->GetModule(4)->ToggleBreakpoint(1);
  ::testing::Mock::VerifyAndClearExpectations(simulator.get());
  EXPECT_CALL(*simulator, UpdateBreakpoints()).Times(1);
  project->ClearAllBreakpoints();
  ::testing::Mock::VerifyAndClearExpectations(simulator.get());

  auto other = Open(MakeProject({"motor"}, {}, "other.v2p"));
  EXPECT_CALL(*simulator, UpdateBreakpoints()).Times(0);
  other->GetModule(3)->ToggleBreakpoint(1);
}

TEST_F(V2ProjectTest, ProjectModulesMoveOnlyAmongThemselves) {
  auto project = Open(MakeProject({"a", "b", "c"}));
  ASSERT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "a", "b", "c"}));
  auto tree = std::make_shared<NiceMock<test::MockProjectEditor>>();
  ProjectEditor = tree;

  // The first project module stops at the common module before it.
  EXPECT_FALSE(project->MoveModule(project->GetModule(3), true));
  // The last one cannot go further down.
  EXPECT_FALSE(project->MoveModule(project->GetModule(5), false));
  // A system or common module keeps its place even next to a project module.
  EXPECT_FALSE(project->MoveModule(project->GetModule(2), false));
  EXPECT_FALSE(project->MoveModule(project->GetModule(0), true));
  EXPECT_FALSE(project->GetModified());
  EXPECT_FALSE(project->CompileScheduled());

  EXPECT_CALL(*tree, ProjectChanged(Ref<IVexaProject>(project))).Times(2);
  EXPECT_TRUE(project->MoveModule(project->GetModule(5), true));
  EXPECT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "a", "c", "b"}));
  EXPECT_TRUE(project->MoveModule(project->GetModule(3), false));
  EXPECT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "c", "a", "b"}));
  EXPECT_TRUE(project->GetModified());
  EXPECT_TRUE(project->HasChanges());
  EXPECT_TRUE(project->ModuleListChanged());
  EXPECT_TRUE(project->CompileScheduled());
}

TEST_F(V2ProjectTest, ModuleListsCanBeEditedOnlyForKindsThatExist) {
  QFile::remove(Path("UserLib/modules.txt"));
  auto project = Open(MakeProject({"a"}));
  // The missing common list was reported, nothing else.
  ASSERT_EQ(dialogs_->calls.size(), 1u);
  EXPECT_TRUE(dialogs_->calls[0].text.contains("modules.txt"));
  EXPECT_TRUE(project->CanEditModules(ModuleKindProject));
  EXPECT_TRUE(project->CanEditModules(ModuleKindSystem));
  EXPECT_FALSE(project->CanEditModules(ModuleKindCommon));
  project->RunningChanged(true);
  EXPECT_FALSE(project->CanEditModules(ModuleKindProject));
  EXPECT_FALSE(project->CanEditModules(ModuleKindSystem));
  EXPECT_FALSE(project->CanInsertModule());
  EXPECT_FALSE(project->CanDeleteModule(project->GetModule(3)));
  EXPECT_FALSE(project->CanBuild());

  // The dialog hook gets the kind and the project.
  int shownKind = -1;
  Ref<IVexaProject> shownFor;
  ModulesDialogHook = [&](int Kind, const Ref<IVexaProject>& Project) {
    shownKind = Kind;
    shownFor = Project;
  };
  project->EditModules(ModuleKindSystem);
  ModulesDialogHook = nullptr;
  EXPECT_EQ(shownKind, ModuleKindSystem);
  EXPECT_EQ(shownFor, Ref<IVexaProject>(project));
}

TEST_F(V2ProjectTest, DeleteModuleAsksAndNeedsTheEditorsConsent) {
  auto project = Open(MakeProject({"a", "b"}));
  const Ref<IVexaModule> a = project->GetModule(3);
  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  a->SetEditor(editor);
  auto tree = std::make_shared<NiceMock<test::MockProjectEditor>>();
  ProjectEditor = tree;
  EXPECT_FALSE(project->CanDeleteModule(project->GetModule(0)));
  EXPECT_TRUE(project->CanDeleteModule(a));

  // "No".
  dialogs_->confirmAnswers = {false};
  EXPECT_FALSE(project->DeleteModule(a));
  EXPECT_EQ(dialogs_->Texts().last(),
            "Wollen Sie das Modul \"a\" wirklich aus dem Projekt löschen?");
  // "Yes", but the editor refuses to close.
  dialogs_->confirmAnswers = {true};
  EXPECT_CALL(*editor, CloseQuery()).WillOnce(Return(false));
  EXPECT_CALL(*editor, Close()).Times(0);
  EXPECT_FALSE(project->DeleteModule(a));
  EXPECT_EQ(project->GetModuleCount(), 5);
  EXPECT_FALSE(project->GetModified());
  ::testing::Mock::VerifyAndClearExpectations(editor.get());

  // "Yes" and the editor agrees.
  dialogs_->confirmAnswers = {true};
  EXPECT_CALL(*editor, CloseQuery()).WillOnce(Return(true));
  EXPECT_CALL(*editor, Close()).Times(1);
  EXPECT_CALL(*tree, ProjectChanged(Ref<IVexaProject>(project))).Times(1);
  EXPECT_TRUE(project->DeleteModule(a));
  EXPECT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "b"}));
  EXPECT_TRUE(project->GetModified());
  EXPECT_TRUE(project->ModuleListChanged());
  EXPECT_TRUE(project->CompileScheduled());
  a->SetEditor(nullptr);
}

TEST_F(V2ProjectTest, WatchesAreUniqueByNameAndRefreshTheViewAndTheSimulation) {
  auto project = Open(MakeProject({"a"}));
  auto view = std::make_shared<NiceMock<test::MockWatchesView>>();
  WatchesView = view;
  auto simulator = std::make_shared<TFakeSimulator>(project, true);
  CurrentSimulator = simulator;

  EXPECT_CALL(*view, RefreshWatch(0)).Times(1);
  EXPECT_CALL(*simulator, Refresh()).Times(1);
  const Ref<IVexaWatch> first = project->AddWatchName("a.x");
  const Ref<IVexaWatch> again = project->AddWatchName("a.x");
  EXPECT_EQ(first, again);
  EXPECT_EQ(project->GetWatchCount(), 1);
  EXPECT_CALL(*view, RefreshWatch(1)).Times(1);
  EXPECT_CALL(*simulator, Refresh()).Times(1);
  project->AddWatchName("A.x");  // names are compared exactly
  EXPECT_EQ(project->GetWatchCount(), 2);
  EXPECT_EQ(project->GetWatch(2), nullptr);

  std::vector<QString> visited;
  EXPECT_CALL(*view, RefreshAll()).Times(2);
  project->ForEachWatch([&](const Ref<IVexaWatch>& Watch) { visited.push_back(Watch->GetName()); });
  EXPECT_EQ(visited, (std::vector<QString>{"a.x", "A.x"}));
  project->DeleteWatch(5);  // outside: nothing, no refresh
  project->DeleteWatch(0);
  EXPECT_EQ(project->GetWatchCount(), 1);
  EXPECT_EQ(project->GetWatch(0)->GetName(), "A.x");
}

struct TCloseQueryCase {
  const char* name;
  bool simulationMine;
  bool simulationMayClose;
  bool modified;
  bool neverSaved;
  int answer;  // 0: no question expected
  bool writable;
  bool result;
  bool written;
};

void PrintTo(const TCloseQueryCase& Case, std::ostream* Out) { *Out << Case.name; }

class V2ProjectCloseQueryTest : public V2ProjectTest,
                                public ::testing::WithParamInterface<TCloseQueryCase> {};

TEST_P(V2ProjectCloseQueryTest, AsksOnlyWhatItMust) {
  const TCloseQueryCase& c = GetParam();
  const QString fileName = c.neverSaved ? Path("fresh.v2p") : MakeProject({"a", "b"});
  auto project = Open(fileName);
  auto other = Open(MakeProject({"c"}, {}, "other.v2p"));
  if (c.modified) project->MoveModule(project->GetModule(project->GetModuleCount() - 1), true);
  ASSERT_EQ(project->HasChanges(), c.modified);
  auto simulator = std::make_shared<TFakeSimulator>(
      c.simulationMine ? Ref<IVexaProject>(project) : Ref<IVexaProject>(other),
      c.simulationMayClose);
  CurrentSimulator = simulator;
  if (!c.writable) {
    QFile::remove(fileName);
    QDir(dir_.path()).mkdir(QFileInfo(fileName).fileName());  // a folder where the file goes
  }
  const QDateTime before = QFileInfo(fileName).lastModified();
  QThread::msleep(20);
  dialogs_->confirmCancelAnswers = {c.answer ? c.answer : IdCancel};
  dialogs_->calls.clear();

  EXPECT_EQ(project->CloseQuery(), c.result);
  const bool asked = !dialogs_->calls.empty() &&
                     dialogs_->calls[0].text == "Soll das geänderte Projekt gespeichert werden?";
  EXPECT_EQ(asked, c.answer != 0);
  EXPECT_EQ(QFileInfo(fileName).isFile() && QFileInfo(fileName).lastModified() != before,
            c.written);
  if (c.written) {
    EXPECT_FALSE(project->GetModified());
  }
  // The simulation is only asked, never released.
  EXPECT_EQ(CurrentSimulator, simulator);
  if (!c.writable) QDir(dir_.path()).rmdir(QFileInfo(fileName).fileName());
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, V2ProjectCloseQueryTest,
    ::testing::Values(
        TCloseQueryCase{"Unmodified", false, true, false, false, 0, true, true, false},
        TCloseQueryCase{"NeverSavedButUnmodified", false, true, false, true, 0, true, true, false},
        TCloseQueryCase{"OwnSimulationRefuses", true, false, true, false, 0, true, false, false},
        TCloseQueryCase{"OwnSimulationAgrees", true, true, false, false, 0, true, true, false},
        TCloseQueryCase{"OtherSimulationIsNotAsked", false, false, false, false, 0, true, true,
                        false},
        TCloseQueryCase{"ModifiedCancel", false, true, true, false, IdCancel, true, false, false},
        TCloseQueryCase{"ModifiedNo", false, true, true, false, IdNo, true, true, false},
        TCloseQueryCase{"ModifiedYes", false, true, true, false, IdYes, true, true, true},
        TCloseQueryCase{"ModifiedYesWriteFails", false, true, true, false, IdYes, false, false,
                        false}),
    [](const ::testing::TestParamInfo<TCloseQueryCase>& Info) { return Info.param.name; });

TEST_F(V2ProjectTest, CloseKeepsBreakpointsAndWatchesForTheNextOpening) {
  const QString fileName = MakeProject({"motor", "main"});
  auto project = Open(fileName);
  auto view = std::make_shared<NiceMock<test::MockMessageView>>();
  MessageView = view;
  project->GetModule(4)->ToggleBreakpoint(3);
  project->GetModule(3)->ToggleBreakpoint(8);
  project->AddWatchName("motor.speed")->SetFormat(WatchFormatHex);
  CurrentSimulator = std::make_shared<TFakeSimulator>(project, true);

  EXPECT_CALL(*view, RemoveMessagesOf(Ref<IVexaProject>(project))).Times(1);
  project->Close();
  // A second close changes nothing, the state file included.
  project->Close();
  ::testing::Mock::VerifyAndClearExpectations(view.get());
  MessageView.reset();
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_EQ(project->GetModuleCount(), 0);
  EXPECT_EQ(project->GetWatchCount(), 0);
  EXPECT_EQ(project->Compiler(), nullptr);
  ASSERT_TRUE(QFileInfo::exists(fileName + ".ide"));

  auto again = Open(fileName);
  EXPECT_EQ(again->GetModule(3)->GetBreakpoint(0), 8);
  EXPECT_EQ(again->GetModule(4)->GetBreakpoint(0), 3);
  EXPECT_EQ(again->GetBreakpointCount(), 2);
  ASSERT_EQ(again->GetWatchCount(), 1);
  EXPECT_EQ(again->GetWatch(0)->GetName(), "motor.speed");
  EXPECT_EQ(again->GetWatch(0)->GetFormat(), WatchFormatHex);
}

TEST_F(V2ProjectTest, UntitledProjectsBuildIntoTheirOwnUserDataFiles) {
  test::TTempSettings settings;
  TCommandsModule commands;
  CommandsModule = &commands;
  {
    auto first = OpenBuilt({});
    auto second = OpenBuilt({});
    EXPECT_EQ(first->GetName(), "Unbenannt1.v2p");
    EXPECT_EQ(second->GetName(), "Unbenannt2.v2p");
    EXPECT_TRUE(first->GetModified());  // never saved
    EXPECT_FALSE(first->HasChanges());  // but nothing changed
    EXPECT_EQ(first->OutputBaseName(), UserDataDirectory() + "V2_Project1");
    EXPECT_EQ(second->OutputBaseName(), UserDataDirectory() + "V2_Project2");
    EXPECT_TRUE(UserDataDirectory().startsWith(Path("data")));
    {
      std::lock_guard lock(lib_.mutex);
      EXPECT_EQ(lib_.projectNames, (std::vector<std::string>{"Unbenannt1.v2p", "Unbenannt2.v2p"}));
    }
    // A new project starts with the "!" system modules used.
    EXPECT_TRUE(first->GetModule(0)->IsUsed());
    EXPECT_FALSE(first->GetModule(1)->IsUsed());

    // Save as: cancelled, then chosen.
    dialogs_->fileAnswers = {std::nullopt, QStringList{Path("saved.v2p")}};
    EXPECT_FALSE(first->Save());
    EXPECT_EQ(first->GetName(), "Unbenannt1.v2p");
    EXPECT_TRUE(first->Save());
    EXPECT_EQ(dialogs_->fileDialogs.back().FileName, "Unbenannt1.v2p");
    EXPECT_EQ(first->GetName(), "saved.v2p");
    EXPECT_EQ(first->GetFileName(), Path("saved.v2p"));
    EXPECT_EQ(first->OutputBaseName(), Path("saved.v2p"));
    EXPECT_FALSE(first->GetModified());
    EXPECT_EQ(first->UntitledNumber(), -1);
    // The number is free again: the next untitled project takes it.
    EXPECT_FALSE(commands.UntitledNumbers.InUse(1));
    auto third = Open({});
    EXPECT_EQ(third->GetName(), "Unbenannt1.v2p");
    QFile file(Path("saved.v2p"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "SYSTEM::lcd.v2\r\n");
    for (const Ref<TVexaV2Project>& project : projects_) project->Close();
    projects_.clear();
  }
  EXPECT_FALSE(commands.UntitledNumbers.InUse(2));
  // The saved project went to the recent projects when it was freed.
  EXPECT_EQ(commands.RecentProjects.Items(), QStringList{Path("saved.v2p")});
  CommandsModule = nullptr;
}

TEST_F(V2ProjectTest, UntitledNumbersWithoutACommandModuleAreReusedToo) {
  ASSERT_EQ(CommandsModule, nullptr);
  QStringList names;
  {
    auto first = Open({});
    auto second = Open({});
    names << first->GetName() << second->GetName();
    EXPECT_NE(first->OutputBaseName(), second->OutputBaseName());
    for (const Ref<TVexaV2Project>& project : projects_) project->Close();
    projects_.clear();
  }
  auto third = Open({});
  EXPECT_EQ(names, (QStringList{"Unbenannt1.v2p", "Unbenannt2.v2p"}));
  EXPECT_EQ(third->GetName(), "Unbenannt1.v2p");
}

TEST_F(V2ProjectTest, InsertModuleRefusesATakenNameAndOpensTheNewModule) {
  test::TTempSettings settings;
  TCommandsModule commands;
  CommandsModule = &commands;
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  auto project = Open(MakeProject({"a"}));
  QDir(dir_.path()).mkpath("sub");
  Write("sub/Lcd.V2", "int y;\n");
  Write("sub/extra.v2", "int z;\n");

  dialogs_->fileAnswers = {QStringList{Path("sub/Lcd.V2")}, QStringList{Path("sub/extra.v2")},
                           std::nullopt};
  EXPECT_FALSE(project->InsertModule());
  EXPECT_EQ(dialogs_->Texts().last(), "Das Projekt enthält bereits ein Modul \"lcd\"!");
  EXPECT_EQ(dialogs_->fileDialogs.back().InitialDir, dir_.path());
  EXPECT_CALL(*ide, ShowModuleEditor(_)).Times(1);
  EXPECT_TRUE(project->InsertModule());
  EXPECT_EQ(Names(*project).last(), "extra");
  EXPECT_EQ(project->GetModule(4)->GetKind(), ModuleKindProject);
  EXPECT_TRUE(project->GetModified());
  EXPECT_TRUE(project->ModuleListChanged());
  EXPECT_FALSE(project->InsertModule());  // cancelled
  EXPECT_EQ(project->GetModuleCount(), 5);
  projects_.front()->Close();
  projects_.clear();
  CommandsModule = nullptr;
}

TEST_F(V2ProjectTest, ModulesAreFoundByFileAndNamesAreCheckedAgainstTheOthers) {
  auto project = Open(MakeProject({"motor", "main"}));
  const Ref<IVexaModule> motor = project->GetModule(3);
  EXPECT_EQ(project->FindModule(Path("motor.v2")), motor);
  EXPECT_EQ(project->FindModule(Path("MOTOR.V2")), motor);
  EXPECT_EQ(project->FindModule(Path("Lib/servo.v2")), project->GetModule(1));
  EXPECT_EQ(project->FindModule(Path("other.v2")), nullptr);
  EXPECT_EQ(project->FindModule({}), nullptr);

  EXPECT_TRUE(project->IsModuleNameFree(motor, "motor"));  // its own name
  EXPECT_TRUE(project->IsModuleNameFree(motor, "drive"));
  EXPECT_FALSE(project->IsModuleNameFree(motor, "main"));
  EXPECT_FALSE(project->IsModuleNameFree(motor, "servo"));  // unused, but listed
}

TEST_F(V2ProjectTest, RunningLocksTheEditorsAndClearsTheMessagesOnce) {
  auto project = Open(MakeProject({"motor", "main"}));
  auto view = std::make_shared<NiceMock<test::MockMessageView>>();
  MessageView = view;
  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  project->GetModule(4)->SetEditor(editor);

  EXPECT_CALL(*view, Clear()).Times(1);
  EXPECT_CALL(*editor, UpdateReadOnly()).Times(2);
  project->RunningChanged(true);
  project->RunningChanged(true);  // no change: nothing
  EXPECT_TRUE(project->IsRunning());
  EXPECT_TRUE(project->GetModule(4)->IsReadOnly());
  EXPECT_FALSE(project->CanDownload());
  project->RunningChanged(false);
  EXPECT_FALSE(project->GetModule(4)->IsReadOnly());
  project->GetModule(4)->SetEditor(nullptr);
}

// --- compilation ----------------------------------------------------------------

TEST_F(V2ProjectTest, TypingInTheThirdOfFiveModulesCompilesFromItAfterTheDelay) {
  auto project = OpenBuilt(MakeProject({"m1", "m2", "m3", "m4", "m5"}));
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m1", "m2", "m3", "m4", "m5"}));
  const int removeAlls = lib_.Count(&TFakeLibrary::removeAlls);
  {
    std::lock_guard lock(lib_.mutex);
    lib_.compiled.clear();
  }
  const Ref<IVexaModule> m3 = project->GetModule(5);
  ASSERT_EQ(m3->GetName(), "m3");
  m3->TextChanged();
  std::vector<bool> needs;
  for (int i = 3; i < 8; ++i) needs.push_back(project->GetModule(i)->NeedsCompile());
  EXPECT_EQ(needs, (std::vector<bool>{false, false, true, true, true}));
  EXPECT_FALSE(project->IsBuilt());
  EXPECT_TRUE(project->CompileScheduled());

  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 3 && !project->IsCompiling(); }));
  PumpFor(300ms);
  // One request for m3; the worker compiles it and the modules after it.
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m3", "m4", "m5"}));
  EXPECT_EQ(lib_.Count(&TFakeLibrary::removeAlls), removeAlls);
  for (int i = 3; i < 8; ++i) EXPECT_FALSE(project->GetModule(i)->NeedsCompile()) << i;
  EXPECT_TRUE(project->GetModule(5)->HasLineInfos());
}

TEST_F(V2ProjectTest, ABuildReportsItsStepsAndMessagesOnTheMainWindow) {
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  auto view = std::make_shared<NiceMock<test::MockMessageView>>();
  MessageView = view;
  QStringList status;
  ON_CALL(*ide, SetStatusText(3, _)).WillByDefault([&](int, const QString& Text) {
    status << Text;
  });
  std::vector<Ref<IVexaMessage>> messages;
  ON_CALL(*view, Add(_)).WillByDefault([&](const Ref<IVexaMessage>& M) { messages.push_back(M); });
  int clears = 0;
  ON_CALL(*view, Clear()).WillByDefault([&] { ++clears; });
  Ref<IVexaProject> active;
  ON_CALL(*ide, GetActiveProject()).WillByDefault([&] { return active; });
  CreateV2Simulation = [](const Ref<IV2SimulationProject>& Project, const QString&) {
    return Ref<IVexaSimulator>(std::make_shared<TFakeSimulator>(Project, true));
  };
  auto project = Open(MakeProject({"m1", "m2"}));
  active = project;
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr && !project->IsCompiling(); }));

  EXPECT_EQ(status,
            (QStringList{" Compiliere Modul \"m1\"...", "", " Compiliere Modul \"m2\"...", "",
                         " Schreibe Ausgabedateien...", " Erstelle Simulatorobjekt...", ""}));
  EXPECT_EQ(clears, 1);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0]->GetText(), "m1 : OK");
  EXPECT_EQ(messages[0]->GetModule(), project->GetModule(3));
  EXPECT_EQ(messages[0]->GetSource(), Ref<IVexaProject>(project));
  EXPECT_EQ(messages[1]->GetModule(), project->GetModule(4));
  EXPECT_EQ(CurrentSimulator->GetProject(), Ref<IVexaProject>(project));
  EXPECT_TRUE(project->CanDownload());
}

TEST_F(V2ProjectTest, EveryChangeRestartsTheFullDelay) {
  options::BackgroundCompilationDelayV2 = 500;
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.compiled.clear();
  }
  project->GetModule(3)->TextChanged();
  PumpFor(150ms);
  ASSERT_TRUE(lib_.Compiled().empty());
  project->GetModule(4)->TextChanged();
  const auto second = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return !lib_.Compiled().empty(); }));
  const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.firstCompile;
  }() - second);
  EXPECT_GE(delay.count(), 490);
  EXPECT_LT(delay.count(), 900);
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  PumpFor(200ms);
  // The first changed module is named: both compiled once.
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(V2ProjectTest, ToggledSystemModuleRegistersEveryModuleAgain) {
  auto project = OpenBuilt(MakeProject({"m1"}, "SYSTEM::lcd.v2\r\n"));
  const int removeAlls = lib_.Count(&TFakeLibrary::removeAlls);
  {
    std::lock_guard lock(lib_.mutex);
    EXPECT_EQ(lib_.added, (std::vector<std::string>{"lcd", "m1"}));
    lib_.added.clear();
    lib_.compiled.clear();
  }
  project->GetModule(1)->ToggleUsed();  // servo
  EXPECT_TRUE(project->ModuleListChanged());
  EXPECT_TRUE(project->GetModified());
  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 3 && !project->IsCompiling(); }));
  EXPECT_FALSE(project->ModuleListChanged());
  EXPECT_EQ(lib_.Count(&TFakeLibrary::removeAlls), removeAlls + 1);
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.added, (std::vector<std::string>{"lcd", "servo", "m1"}));
  EXPECT_EQ(lib_.compiled, (std::vector<std::string>{"lcd", "servo", "m1"}));
}

TEST_F(V2ProjectTest, AWorkerThatDiedOfALibraryErrorIsReplacedAtTheNextCompilation) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.failCompile = true;
    lib_.compiled.clear();
  }
  project->GetModule(4)->TextChanged();
  ASSERT_TRUE(PumpUntil([&] { return project->Compiler() && project->Compiler()->Finished(); }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_EQ(dialogs_->Texts(), QStringList{"dll function compileModule() failed"});

  project->GetModule(4)->TextChanged();
  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 2 && !project->IsCompiling(); }));
  EXPECT_FALSE(project->Compiler()->Finished());
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.projectNames.size(), 2u);
  // The new worker registers and compiles every module.
  EXPECT_EQ(lib_.compiled, (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(V2ProjectTest, ABuildRightAfterAModuleListChangeBuildsTheNewList) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.added.clear();
  }
  const int written = lib_.Count(&TFakeLibrary::written);
  project->MoveModule(project->GetModule(4), true);
  // Ctrl+F9 before the delayed tick.
  project->Build();
  EXPECT_FALSE(project->CompileScheduled());
  ASSERT_TRUE(PumpUntil([&] { return lib_.Count(&TFakeLibrary::written) > written; }));
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.added, (std::vector<std::string>{"m2", "m1"}));
}

TEST_F(V2ProjectTest, ClosingAnEditorWithoutSavingCompilesTheFilesText) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  const Ref<IVexaModule> m1 = project->GetModule(3);
  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  ON_CALL(*editor, GetText()).WillByDefault(Return(TSourceText{"int edited;\n", 2}));
  ON_CALL(*editor, IsTextModified()).WillByDefault(Return(true));
  m1->SetEditor(editor);
  m1->TextChanged();
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.sources["m1"] == "int edited;\n";
  }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling() && !m1->NeedsCompile(); }));

  // The user closes the editor and answers "Nein".
  m1->SetEditor(nullptr);
  EXPECT_TRUE(m1->NeedsCompile());
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.sources["m1"] == "int m1x;\n";
  }));
}

TEST_F(V2ProjectTest, DownloadWithoutAPortShowsTheTextAndSendsNothing) {
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(project->CanDownload());
  for (int port : {0, 9}) {
    options::DownloadComV2 = port;
    dialogs_->calls.clear();
    project->Download();
    EXPECT_EQ(dialogs_->Texts(),
              QStringList{"Sie müssen zuerst die serielle Schnittstelle zur Übertragung des "
                          "Programms zur Vexa Unit auswählen!"});
    EXPECT_FALSE(project->IsCompiling());
  }
  PumpFor(100ms);
  EXPECT_EQ(lib_.Count(&TFakeLibrary::imageRequests), 0);
  EXPECT_TRUE(project->CanDownload());
}

TEST_F(V2ProjectTest, DownloadWithAPortKeepsCommandsDisabledUntilTheWorkerIsIdle) {
  auto project = OpenBuilt(MakeProject({"m1"}));
  options::DownloadComV2 = 8;
  project->Download();
  EXPECT_TRUE(project->IsCompiling());
  EXPECT_FALSE(project->CanDownload());
  EXPECT_FALSE(project->CanBuild());
  // The fake has no image: the worker gives up and reports idle.
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_GT(lib_.Count(&TFakeLibrary::imageRequests), 0);
}

TEST_F(V2ProjectTest, IdentifierQuestionsGoToTheWorker) {
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  auto project = OpenBuilt(MakeProject({"motor", "main"}));
  ASSERT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }));
  const Ref<IVexaModule> motor = project->GetModule(3);
  const Ref<IVexaModule> main = project->GetModule(4);
  EXPECT_TRUE(project->CanFindDeclaration());

  // Completions, sorted by the worker.
  EXPECT_EQ(project->GetIdentCompletions(main, 2, "motor"),
            (QStringList{"clamp (function)", "speed (variable)"}));

  // Go to a definition in another module and come back.
  auto motorEditor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  auto mainEditor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  ON_CALL(*ide, ShowModuleEditor(motor)).WillByDefault(Return(motorEditor));
  ON_CALL(*ide, ShowModuleEditor(main)).WillByDefault(Return(mainEditor));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 1;  // motor
    lib_.defLine = 12;
  }
  EXPECT_CALL(*motorEditor, Activate());
  EXPECT_CALL(*motorEditor, SetCaret(::testing::AllOf(::testing::Field(&TCaretPos::Column, 1),
                                                      ::testing::Field(&TCaretPos::Line, 12))));
  project->FindDeclaration(main, 7, "motor.speed");
  ASSERT_EQ(project->DefinitionStack().size(), 1u);
  EXPECT_EQ(project->DefinitionStack()[0], (std::pair<QString, int>{"main", 7}));
  EXPECT_TRUE(project->CanReturnFromDefinition());

  EXPECT_CALL(*mainEditor, SetCaret(::testing::Field(&TCaretPos::Line, 7)));
  project->ReturnFromDefinition();
  EXPECT_FALSE(project->CanReturnFromDefinition());

  // Found where it was asked: nothing moves, nothing is pushed.
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 2;
    lib_.defLine = 7;
  }
  project->FindDeclaration(main, 7, "x");
  EXPECT_TRUE(project->DefinitionStack().empty());
  EXPECT_TRUE(dialogs_->calls.empty());
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 0;
  }
  project->FindDeclaration(main, 7, "nix");
  EXPECT_EQ(dialogs_->Texts(),
            QStringList{"Der Bezeichner \"nix\" ist nicht gültig oder nicht definiert!"});

  // Watches by the full name.
  dialogs_->calls.clear();
  project->AddWatch(main, 3, "zz");
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Der Bezeichner \"zz\" kann nicht überwacht werden!"});
  {
    std::lock_guard lock(lib_.mutex);
    lib_.fullName = "motor.speed";
  }
  project->AddWatch(main, 3, "speed");
  ASSERT_EQ(project->GetWatchCount(), 1);
  EXPECT_EQ(project->GetWatch(0)->GetName(), "motor.speed");
}

// --- simulation hand-over ------------------------------------------------------

class V2ProjectSimulationTest : public V2ProjectTest {
 protected:
  void SetUp() override {
    V2ProjectTest::SetUp();
    ide_ = std::make_shared<TVexaIDECore>();
    VexaIDE = ide_;
    CreateV2Simulation = [this](const Ref<IV2SimulationProject>& Project, const QString& Base) {
      created_.emplace_back(Project, Base);
      if (failCreate_) throw std::runtime_error("Internal error: createMachine() failed");
      return Ref<IVexaSimulator>(std::make_shared<TFakeSimulator>(Project, mayClose_));
    };
  }
  void TearDown() override {
    for (int i = ide_->GetProjectCount() - 1; i >= 0; --i) ide_->RemoveProject(ide_->GetProject(i));
    V2ProjectTest::TearDown();
  }

  std::shared_ptr<TVexaIDECore> ide_;
  std::vector<std::pair<Ref<IV2SimulationProject>, QString>> created_;
  bool failCreate_ = false;
  bool mayClose_ = true;
};

TEST_F(V2ProjectSimulationTest, TheActiveProjectsBuildBecomesTheSimulation) {
  const QString fileName = MakeProject({"m1"});
  auto project = OpenBuilt(fileName);
  EXPECT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(project));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  ASSERT_EQ(created_.size(), 1u);
  EXPECT_EQ(created_[0].first, Ref<IV2SimulationProject>(project));
  EXPECT_EQ(created_[0].second, fileName);
  // Created once: the new project was built by its activation alone.
  EXPECT_EQ(lib_.Count(&TFakeLibrary::beginBuilds), 1);

  // A text change drops the simulation of its project.
  project->GetModule(3)->TextChanged();
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_FALSE(project->IsBuilt());
}

TEST_F(V2ProjectSimulationTest, ABuildFinishingAfterItsProjectWasLeftPublishesNothing) {
  auto a = Open(MakeProject({"m1"}));
  ASSERT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(a));
  // B becomes active before A's build has ended (no event has run yet).
  Write("other.v2p", "m1.v2\r\n");
  auto b = Open(Path("other.v2p"));
  ASSERT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(b));
  ASSERT_TRUE(PumpUntil(
      [&] { return a->IsBuilt() && b->IsBuilt() && !a->IsCompiling() && !b->IsCompiling(); }));
  ASSERT_NE(CurrentSimulator, nullptr);
  EXPECT_EQ(CurrentSimulator->GetProject(), Ref<IVexaProject>(b));
  ASSERT_EQ(created_.size(), 1u);
  EXPECT_EQ(created_[0].first, Ref<IV2SimulationProject>(b));
}

TEST_F(V2ProjectSimulationTest, AProjectThatDidNotBecomeActiveBuildsItself) {
  auto stubborn = std::make_shared<NiceMock<test::MockVexaProject>>();
  ON_CALL(*stubborn, MayDeactivate()).WillByDefault(Return(false));
  ide_->AddProject(stubborn);
  auto project = OpenBuilt(MakeProject({"m1"}));
  EXPECT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(stubborn));
  EXPECT_TRUE(project->IsBuilt());
  EXPECT_TRUE(created_.empty());
}

TEST_F(V2ProjectSimulationTest, AFailedMachineIsReportedAndLeavesNoSimulation) {
  failCreate_ = true;
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(PumpUntil([&] { return !created_.empty(); }));
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Internal error: createMachine() failed"});
  EXPECT_TRUE(project->IsBuilt());
  // The IDE goes on: the next build tries again.
  failCreate_ = false;
  project->Build();
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
}

TEST_F(V2ProjectSimulationTest, ASimulationThatRefusesToCloseStays) {
  mayClose_ = false;
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  const Ref<IVexaSimulator> paused = CurrentSimulator;
  project->Build();
  ASSERT_TRUE(PumpUntil([&] { return lib_.Count(&TFakeLibrary::written) == 2; }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_EQ(CurrentSimulator, paused);
  EXPECT_EQ(created_.size(), 1u);
  // Deactivation asks it too and keeps the project active when it refuses.
  EXPECT_FALSE(project->MayDeactivate());
}

TEST_F(V2ProjectSimulationTest, LeavingAProjectDropsItsSimulationAndCompileState) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  auto watches = std::make_shared<NiceMock<test::MockWatchesView>>();
  WatchesView = watches;
  ASSERT_TRUE(project->GetModule(3)->HasLineInfos());

  EXPECT_CALL(*watches, RefreshAll()).Times(1);
  EXPECT_TRUE(project->MayDeactivate());
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_FALSE(project->GetModule(3)->HasLineInfos());
  EXPECT_FALSE(project->GetModule(4)->HasLineInfos());
}

TEST_F(V2ProjectSimulationTest, PausedAtMarksTheLineInTheModuleOfThatNumber) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  const Ref<IVexaModule> m1 = project->GetModule(3);
  const Ref<IVexaModule> m2 = project->GetModule(4);
  auto e1 = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  auto e2 = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  m1->SetEditor(e1);
  ON_CALL(*ide, ShowModuleEditor(m2)).WillByDefault(Return(e2));
  EXPECT_CALL(*e2, SetExecutionLine(6));
  EXPECT_CALL(*e1, SetExecutionLine(-1));
  project->PausedAt(true, m2->GetModuleNumber(), 6);
  ::testing::Mock::VerifyAndClearExpectations(e1.get());
  EXPECT_CALL(*e1, SetExecutionLine(-1));
  EXPECT_CALL(*ide, ShowModuleEditor(_)).Times(0);
  project->PausedAt(false, m2->GetModuleNumber(), 6);
  m1->SetEditor(nullptr);
  VexaIDE = ide_;
}

// --- the real library ------------------------------------------------------------

TEST(V2ProjectDemoTest, TheDemoProjectBuildsHeadless) {
  App();
  test::TScopedFakeDialogs dialogs;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
  for (const QString& name : source.entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath(name))) << name.toStdString();
  QDir(dir.path()).mkpath("Lib");
  QFile lib(dir.filePath("Lib/modules.txt"));
  ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
  lib.write("// none\r\n");
  lib.close();
  const QString system = options::SystemModulesPath;
  const QString common = options::UserCommonModulesPath;
  options::SystemModulesPath = dir.filePath("Lib");
  options::UserCommonModulesPath = dir.filePath("Lib");

  g_invoker = std::make_shared<TManualInvoker>();
  TV2ProjectSeams seams;
  seams.Compiler.Invoker = g_invoker;
  auto project = TVexaV2Project::Create(dir.filePath("demo.v2p"), seams);
  EXPECT_EQ(Names(*project), (QStringList{"motor", "display", "main"}));
  EXPECT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }, 30s));
  EXPECT_GT(QFileInfo(dir.filePath("demo.v2p.vmc")).size(), 0);
  for (int i = 0; i < project->GetModuleCount(); ++i) {
    EXPECT_FALSE(project->GetModule(i)->HasErrors()) << i;
    EXPECT_TRUE(project->GetModule(i)->HasLineInfos()) << i;
    EXPECT_GT(project->GetModule(i)->GetModuleNumber(), 0) << i;
  }
  EXPECT_TRUE(dialogs->calls.empty()) << dialogs->Texts().join('\n').toStdString();
  project->Close();
  g_invoker.reset();
  options::SystemModulesPath = system;
  options::UserCommonModulesPath = common;
}

}  // namespace
}  // namespace vexa::ide
