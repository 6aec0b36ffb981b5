// The V2 project as a model: modules, lists, breakpoints, watches, closing.

#include "V2ProjectFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using namespace test::v2project;

TEST_F(V2ProjectTest, OpeningReadsTheListsAndTheProjectFileInCompileOrder) {
  auto project = Open(MakeProject({"motor", "main"}));
  EXPECT_EQ(Names(*project), (QStringList{"lcd", "servo", "tools", "motor", "main"}));
  EXPECT_TRUE(project->GetModule(0)->GetKind() == TModuleKind::System);
  EXPECT_TRUE(project->GetModule(2)->GetKind() == TModuleKind::Common);
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
  EXPECT_TRUE(project->CanEditModules(TModuleKind::Project));
  EXPECT_TRUE(project->CanEditModules(TModuleKind::System));
  EXPECT_FALSE(project->CanEditModules(TModuleKind::Common));
  project->RunningChanged(true);
  EXPECT_FALSE(project->CanEditModules(TModuleKind::Project));
  EXPECT_FALSE(project->CanEditModules(TModuleKind::System));
  EXPECT_FALSE(project->CanInsertModule());
  EXPECT_FALSE(project->CanDeleteModule(project->GetModule(3)));
  EXPECT_FALSE(project->CanBuild());

  // The module list dialog gets the kind and the project.
  project->EditModules(TModuleKind::System);
  ASSERT_EQ(dialogs_->modulesDialogs.size(), 1u);
  const TModuleKind shownKind = dialogs_->modulesDialogs[0].kind;
  const Ref<IVexaProject> shownFor = dialogs_->modulesDialogs[0].project;
  EXPECT_EQ(shownKind, TModuleKind::System);
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
  project->AddWatchName("motor.speed")->SetFormat(TWatchFormat::Hex);
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
  EXPECT_EQ(again->GetWatch(0)->GetFormat(), TWatchFormat::Hex);
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
  EXPECT_EQ(project->GetModule(4)->GetKind(), TModuleKind::Project);
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

}  // namespace
}  // namespace vexa::ide
