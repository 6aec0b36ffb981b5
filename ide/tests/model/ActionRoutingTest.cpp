#include "model/commands/ActionRouting.h"

#include "MockIntfs.h"
#include "model/core/Services.h"

#include <gtest/gtest.h>

#include <QSet>
#include <functional>
#include <optional>
#include <set>

namespace vexa::ide {
namespace {

using namespace test;
using testing::_;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;

template <class T>
using Nice = std::shared_ptr<NiceMock<T>>;

template <class T>
Nice<T> Make() {
  return std::make_shared<NiceMock<T>>();
}

// Every handler and service as a mock; installed only where a test says so.
struct Doubles {
  Nice<MockVexaIDE> ide = Make<MockVexaIDE>();
  Nice<MockVexaProject> project = Make<MockVexaProject>();
  Nice<MockEditCommands> edit = Make<MockEditCommands>();
  Nice<MockFileCommands> file = Make<MockFileCommands>();
  Nice<MockSearchCommands> search = Make<MockSearchCommands>();
  Nice<MockDebugCommands> debug = Make<MockDebugCommands>();
  Nice<MockProjectCommands> projectCommands = Make<MockProjectCommands>();
  Nice<MockMessageView> messages = Make<MockMessageView>();
  Nice<MockProjectEditor> tree = Make<MockProjectEditor>();
  Nice<MockWatchesView> watches = Make<MockWatchesView>();
  Nice<MockVexaSimulator> simulator = Make<MockVexaSimulator>();
  Nice<MockVexaToolWindow> window = Make<MockVexaToolWindow>();

  void InstallAll() {
    VexaIDE = ide;
    EditCommandHandler = edit;
    FileCommandHandler = file;
    SearchCommandHandler = search;
    DebugCommandHandler = debug;
    ProjectCommandHandler = projectCommands;
    MessageView = messages;
    ProjectEditor = tree;
    WatchesView = watches;
    CurrentSimulator = simulator;
  }
  void SetActiveProject() { ON_CALL(*ide, GetActiveProject()).WillByDefault(Return(project)); }
};

class ActionRoutingTest : public testing::Test {
 protected:
  void TearDown() override { ReleaseServices(); }

  static std::set<TAction> Enabled() {
    std::set<TAction> enabled;
    for (const TActionDef& d : ActionDefs())
      if (ActionState(d.Id).Enabled) enabled.insert(d.Id);
    return enabled;
  }

  static std::set<TAction> MRUAnd(std::initializer_list<TAction> Others) {
    std::set<TAction> s(Others);
    for (int k = 1; k <= 5; ++k) {
      s.insert(MRUFileAction(k));
      s.insert(MRUProjectAction(k));
    }
    return s;
  }

  Doubles d;
};

TEST_F(ActionRoutingTest, TableHasUniqueNamesAndShortcutsInListOrder) {
  std::set<std::string> names;
  std::set<std::string> shortcuts;
  int lastList = 0;
  int initiallyEnabled = 0;
  for (const TActionDef& def : ActionDefs()) {
    EXPECT_TRUE(names.insert(def.Name).second) << def.Name;
    if (*def.Shortcut) {
      EXPECT_TRUE(shortcuts.insert(def.Shortcut).second) << def.Shortcut;
    }
    EXPECT_GE(int(def.List), lastList) << def.Name;
    lastList = int(def.List);
    EXPECT_EQ(FindAction(QString::fromLatin1(def.Name)), def.Id);
    initiallyEnabled += def.InitiallyEnabled;
    const std::string category = def.Category;
    switch (def.List) {
      case TActionList::Standard:
        EXPECT_TRUE(category == "MRU" || category == "Datei" || category == "Bearbeiten" ||
                    category == "Suchen")
            << def.Name;
        break;
      case TActionList::View: EXPECT_EQ(category, "Ansicht"); break;
      case TActionList::Development:
        EXPECT_TRUE(category == "Projekt" || category == "Simulator") << def.Name;
        break;
    }
  }
  EXPECT_EQ(initiallyEnabled, 14);  // the recent-list actions and the four New actions
  EXPECT_FALSE(FindAction(u"actNothing"));
}

TEST_F(ActionRoutingTest, EveryRowCarriesItsOwnActionAndBothRules) {
  ASSERT_EQ(int(ActionDefs().size()), kActionCount);
  for (int i = 0; i < kActionCount; ++i) {
    const TActionDef& def = ActionDefs()[std::size_t(i)];
    EXPECT_EQ(int(def.Id), i) << def.Name;
    EXPECT_EQ(&ActionDef(def.Id), &def) << def.Name;
    EXPECT_NE(def.State, nullptr) << def.Name;
    EXPECT_NE(def.Execute, nullptr) << def.Name;
  }
}

TEST_F(ActionRoutingTest, AnIdOutsideTheTableIsDisabledAndRunsNothing) {
  EXPECT_FALSE(ActionState(TAction::Count).Enabled);
  ExecuteAction(TAction::Count);
}

TEST_F(ActionRoutingTest, WithoutServicesOnlyRecentListActionsAreEnabledAndNothingRuns) {
  EXPECT_EQ(Enabled(), MRUAnd({}));
  for (const TActionDef& def : ActionDefs()) {
    EXPECT_FALSE(ActionState(def.Id).Checked) << def.Name;
    ExecuteAction(def.Id);  // nothing to go to: must do nothing
  }
}

TEST_F(ActionRoutingTest, WithoutEditorOnlyNewOpenSaveAllAndCloseAllOfTheFileCommands) {
  VexaIDE = d.ide;
  EXPECT_EQ(Enabled(),
            MRUAnd({TAction::FileNew, TAction::FileNewBasicProject, TAction::FileNewV2Project,
                    TAction::FileNewV2Module, TAction::FileOpen}));

  ON_CALL(*d.ide, AnyModified()).WillByDefault(Return(true));
  ON_CALL(*d.ide, GetProjectCount()).WillByDefault(Return(1));
  d.SetActiveProject();
  // The module lists follow the active project alone.
  ON_CALL(*d.project, CanEditModules(TModuleKind::System)).WillByDefault(Return(true));
  ON_CALL(*d.project, CanInsertModule()).WillByDefault(Return(true));
  EXPECT_EQ(Enabled(),
            MRUAnd({TAction::FileNew, TAction::FileNewBasicProject, TAction::FileNewV2Project,
                    TAction::FileNewV2Module, TAction::FileOpen, TAction::FileSaveAll,
                    TAction::FileCloseAll, TAction::FileCloseActiveProject,
                    TAction::ProjectEditSystemModules, TAction::ProjectInsertModule}));
}

TEST_F(ActionRoutingTest, CloseAllNeedsAProjectOrAnEditor) {
  VexaIDE = d.ide;
  ON_CALL(*d.ide, GetEditorCount()).WillByDefault(Return(1));
  EXPECT_TRUE(ActionState(TAction::FileCloseAll).Enabled);
  EXPECT_CALL(*d.ide, CloseAll());
  ExecuteAction(TAction::FileCloseAll);
}

// One row per action that hangs on one handler query and calls one operation.
struct HandlerRow {
  const char* name;
  TAction action;
  std::function<void(Doubles&, bool)> answer;  // makes the query answer
  std::function<void(Doubles&)> expectRun;     // expects the operation once
};

#define ROW(Action, Member, Query, Run)                                                     \
  HandlerRow {                                                                              \
#Action, TAction::Action,                                                                 \
        [](Doubles& d, bool a) { ON_CALL(*d.Member, Query()).WillByDefault(Return(a)); },     \
        [](Doubles& d) { EXPECT_CALL(*d.Member, Run()).Times(1); } \
  }

class HandlerRouting : public ActionRoutingTest, public testing::WithParamInterface<HandlerRow> {};

TEST_P(HandlerRouting, EnabledByItsQueryAndRunsItsOperationOnce) {
  const HandlerRow& row = GetParam();
  d.InstallAll();
  d.SetActiveProject();
  row.answer(d, false);
  EXPECT_FALSE(ActionState(row.action).Enabled);
  row.answer(d, true);
  EXPECT_TRUE(ActionState(row.action).Enabled);
  row.expectRun(d);
  ExecuteAction(row.action);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, HandlerRouting,
    testing::Values(
        ROW(FileSave, file, CanSave, Save), ROW(FileSaveAs, file, CanSaveAs, SaveAs),
        ROW(FileSaveAll, ide, AnyModified, SaveAll), ROW(FilePrint, file, CanPrint, Print),
        ROW(EditUndo, edit, CanUndo, Undo), ROW(EditRedo, edit, CanRedo, Redo),
        ROW(EditCut, edit, CanCut, Cut), ROW(EditCopy, edit, CanCopy, Copy),
        ROW(EditPaste, edit, CanPaste, Paste), ROW(EditDelete, edit, CanDelete, Delete),
        ROW(EditSelectAll, edit, CanSelectAll, SelectAll), ROW(SearchFind, search, CanFind, Find),
        ROW(SearchFindNext, search, CanFindNext, FindNext),
        ROW(SearchFindPrev, search, CanFindPrev, FindPrev),
        ROW(SearchReplace, search, CanReplace, Replace),
        ROW(SearchDefinition, search, CanFindDefinition, FindDefinition),
        ROW(SearchDefinitionReturn, search, CanReturnFromDefinition, ReturnFromDefinition),
        ROW(ProjectActivate, projectCommands, CanActivate, Activate),
        ROW(ProjectClose, projectCommands, CanClose, Close),
        ROW(ProjectDeleteModule, projectCommands, CanDeleteModule, DeleteModule),
        ROW(ProjectOpenModuleSource, projectCommands, CanOpenModuleSource, OpenModuleSource),
        ROW(ProjectAddWatch, debug, CanAddWatch, AddWatch),
        ROW(SimulatorRunToCursor, debug, CanRunToCursor, RunToCursor),
        ROW(ProjectToggleBrkpt, debug, CanToggleBreakpoint, ToggleBreakpoint),
        ROW(ProjectNextError, messages, CanNextError, NextError),
        ROW(ProjectPrevError, messages, CanPrevError, PrevError),
        ROW(SimulatorStart, simulator, CanRun, Run),
        ROW(SimulatorPause, simulator, IsRunning, Pause),
        ROW(SimulatorReset, simulator, IsPaused, Stop),
        ROW(SimulatorStepInto, simulator, CanStepInto, StepInto),
        ROW(SimulatorStepOver, simulator, CanStepOver, StepOver),
        ROW(SimulatorStepOut, simulator, CanStepOut, StepOut),
        ROW(ActiveProjectBuild, project, CanBuild, Build),
        ROW(ActiveProjectDownload, project, CanDownload, Download),
        ROW(SimulatorClearAllBrkpts, project, HasBreakpoints, ClearAllBreakpoints),
        ROW(ProjectToggleUsedInProject, projectCommands, CanToggleUsedInProject,
            ToggleUsedInProject)),
    [](const testing::TestParamInfo<HandlerRow>& info) { return std::string(info.param.name); });

TEST_F(ActionRoutingTest, CheckMarksNeedTheirHandler) {
  d.InstallAll();
  ON_CALL(*d.search, IsCaseSensitive()).WillByDefault(Return(true));
  ON_CALL(*d.search, IsWholeWords()).WillByDefault(Return(true));
  EXPECT_TRUE(ActionState(TAction::SearchCaseSensitive).Checked);
  EXPECT_TRUE(ActionState(TAction::SearchWholeWords).Checked);
  EXPECT_CALL(*d.search, ToggleCaseSensitive());
  EXPECT_CALL(*d.search, ToggleWholeWords());
  ExecuteAction(TAction::SearchCaseSensitive);
  ExecuteAction(TAction::SearchWholeWords);
  SearchCommandHandler.reset();
  for (TAction a : {TAction::SearchCaseSensitive, TAction::SearchWholeWords}) {
    EXPECT_FALSE(ActionState(a).Enabled);
    EXPECT_FALSE(ActionState(a).Checked);
  }

  // Used-in-project is checked only while it is enabled.
  ON_CALL(*d.projectCommands, IsUsedInProject()).WillByDefault(Return(true));
  EXPECT_FALSE(ActionState(TAction::ProjectToggleUsedInProject).Checked);
  ON_CALL(*d.projectCommands, CanToggleUsedInProject()).WillByDefault(Return(true));
  EXPECT_TRUE(ActionState(TAction::ProjectToggleUsedInProject).Checked);
}

TEST_F(ActionRoutingTest, ProjectActionsNeedAnActiveProject) {
  VexaIDE = d.ide;
  ON_CALL(*d.project, CanBuild()).WillByDefault(Return(true));
  ON_CALL(*d.project, CanDownload()).WillByDefault(Return(true));
  ON_CALL(*d.project, HasBreakpoints()).WillByDefault(Return(true));
  EXPECT_CALL(*d.project, Build()).Times(0);
  for (TAction a : {TAction::ActiveProjectBuild, TAction::ActiveProjectDownload,
                    TAction::SimulatorClearAllBrkpts, TAction::FileCloseActiveProject}) {
    EXPECT_FALSE(ActionState(a).Enabled);
    ExecuteAction(a);
  }
}

TEST_F(ActionRoutingTest, BuildShowsTheMessagesWithoutFocusFirst) {
  d.InstallAll();
  d.SetActiveProject();
  ON_CALL(*d.messages, GetToolWindow()).WillByDefault(Return(d.window));
  InSequence order;
  EXPECT_CALL(*d.window, Show(false));
  EXPECT_CALL(*d.project, Build());
  EXPECT_CALL(*d.window, Show(false));
  EXPECT_CALL(*d.project, Download());
  ExecuteAction(TAction::ActiveProjectBuild);
  ExecuteAction(TAction::ActiveProjectDownload);
}

TEST_F(ActionRoutingTest, ViewActionsShowTheirWindowWithFocus) {
  ON_CALL(*d.messages, GetToolWindow()).WillByDefault(Return(d.window));
  ON_CALL(*d.tree, GetToolWindow()).WillByDefault(Return(d.window));
  ON_CALL(*d.watches, GetToolWindow()).WillByDefault(Return(d.window));
  const std::pair<TAction, std::function<void()>> views[] = {
      {TAction::ViewMessageViewer, [&] { MessageView = d.messages; }},
      {TAction::ViewProjectEditor, [&] { ProjectEditor = d.tree; }},
      {TAction::ViewVariables, [&] { WatchesView = d.watches; }},
  };
  for (const auto& [action, install] : views) {
    EXPECT_FALSE(ActionState(action).Enabled);
    install();
    EXPECT_TRUE(ActionState(action).Enabled);
    EXPECT_CALL(*d.window, Show(true)).Times(1);
    ExecuteAction(action);
    testing::Mock::VerifyAndClearExpectations(d.window.get());
  }
  // The port windows do not exist.
  d.InstallAll();
  EXPECT_FALSE(ActionState(TAction::ViewDigitalPorts).Enabled);
  EXPECT_FALSE(ActionState(TAction::SimulatorShowCurrent).Enabled);
}

TEST_F(ActionRoutingTest, CloseAsksFirst) {
  d.InstallAll();
  d.SetActiveProject();
  EXPECT_TRUE(ActionState(TAction::FileClose).Enabled);
  EXPECT_CALL(*d.file, CloseQuery()).WillOnce(Return(false)).WillOnce(Return(true));
  EXPECT_CALL(*d.file, Close()).Times(1);
  ExecuteAction(TAction::FileClose);
  ExecuteAction(TAction::FileClose);

  EXPECT_CALL(*d.ide, CanCloseProject(Ref<IVexaProject>(d.project)))
      .WillOnce(Return(false))
      .WillOnce(Return(true));
  EXPECT_CALL(*d.ide, RemoveProject(Ref<IVexaProject>(d.project))).Times(1);
  ExecuteAction(TAction::FileCloseActiveProject);
  ExecuteAction(TAction::FileCloseActiveProject);
}

struct ModuleListRow {
  TAction action;
  std::optional<TModuleKind> kind;  // none: insert
};

class ModuleListRouting : public ActionRoutingTest,
                          public testing::WithParamInterface<ModuleListRow> {
 protected:
  void ExpectCan(auto& target, bool answer) {
    if (!GetParam().kind)
      EXPECT_CALL(target, CanInsertModule()).WillRepeatedly(Return(answer));
    else
      EXPECT_CALL(target, CanEditModules(*GetParam().kind)).WillRepeatedly(Return(answer));
  }
  void ExpectRun(auto& target, int times) {
    if (!GetParam().kind)
      EXPECT_CALL(target, InsertModule()).Times(times);
    else
      EXPECT_CALL(target, EditModules(*GetParam().kind)).Times(times);
  }
};

TEST_P(ModuleListRouting, HandlerFirstThenActiveProjectElseDisabled) {
  const TAction action = GetParam().action;
  EXPECT_FALSE(ActionState(action).Enabled);

  // The active project answers while no project command handler is installed.
  VexaIDE = d.ide;
  d.SetActiveProject();
  ExpectCan(*d.project, true);
  ExpectRun(*d.project, 1);
  EXPECT_TRUE(ActionState(action).Enabled);
  ExecuteAction(action);
  testing::Mock::VerifyAndClearExpectations(d.project.get());

  // A focused tree node or editor takes over, even when it refuses.
  ProjectCommandHandler = d.projectCommands;
  ExpectCan(*d.projectCommands, false);
  ExpectRun(*d.projectCommands, 1);
  EXPECT_CALL(*d.project, CanEditModules(_)).Times(0);
  EXPECT_CALL(*d.project, CanInsertModule()).Times(0);
  ExpectRun(*d.project, 0);
  EXPECT_FALSE(ActionState(action).Enabled);
  ExecuteAction(action);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ModuleListRouting,
    testing::Values(ModuleListRow{TAction::ProjectEditSystemModules, TModuleKind::System},
                    ModuleListRow{TAction::ProjectEditCommonModules, TModuleKind::Common},
                    ModuleListRow{TAction::ProjectEditProjectModules, TModuleKind::Project},
                    ModuleListRow{TAction::ProjectInsertModule, std::nullopt}));

}  // namespace
}  // namespace vexa::ide
