#pragma once

// gmock doubles of every IDE interface, for tests of code that uses them. Their
// constructors, destructors and tables, and those of their NiceMock forms (and the
// StrictMock forms tests use), are compiled once, in MockIntfs.cpp: a test file then
// compiles only the expectations it sets.

#include "model/core/CommandIntfs.h"
#include "model/core/V2SimulationProject.h"
#include "model/core/VexaIntfs.h"

#include <gmock/gmock.h>

namespace vexa::ide::test {

class MockVexaIDE : public IVexaIDE {
 public:
  MockVexaIDE();
  ~MockVexaIDE() override;
  MOCK_METHOD(void, AddProject, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, AddEditor, (const Ref<IVexaSourceEditor>& Editor), (override));
  MOCK_METHOD(bool, CanCloseProject, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(bool, AnyModified, (), (override));
  MOCK_METHOD(void, ClearStatusPanels, (), (override));
  MOCK_METHOD(void, RemoveProject, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, CloseAll, (), (override));
  MOCK_METHOD(void, RefreshEditors, (), (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, ShowModuleEditor, (const Ref<IVexaModule>& Module),
              (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, OpenFile, (const QString& FileName, TFileKind Kind),
              (override));
  MOCK_METHOD(void, OpenByKind, (const QString& FileName, TFileKind Kind), (override));
  MOCK_METHOD(void, RemoveEditor, (const Ref<IVexaSourceEditor>& Editor), (override));
  MOCK_METHOD(void, SaveAll, (), (override));
  MOCK_METHOD(void, SetStatusText, (int Panel, const QString& Text), (override));
  MOCK_METHOD(Ref<IVexaProject>, GetActiveProject, (), (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, GetActiveEditor, (), (override));
  MOCK_METHOD(QWidget*, GetMainForm, (), (override));
  MOCK_METHOD(Ref<IVexaProject>, GetProject, (int Index), (override));
  MOCK_METHOD(int, GetProjectCount, (), (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, GetEditor, (int Index), (override));
  MOCK_METHOD(int, GetEditorCount, (), (override));
  MOCK_METHOD(void, SetActiveEditor, (const Ref<IVexaSourceEditor>& Editor), (override));
  MOCK_METHOD(void, SetActiveProject, (const Ref<IVexaProject>& Project), (override));
};

class MockVexaSourceEditor : public IVexaSourceEditor {
 public:
  MockVexaSourceEditor();
  ~MockVexaSourceEditor() override;
  MOCK_METHOD(void, Activate, (), (override));
  MOCK_METHOD(void, RepaintLine, (int Line), (override));
  MOCK_METHOD(bool, CloseQuery, (), (override));
  MOCK_METHOD(void, Close, (), (override));
  MOCK_METHOD(std::optional<TSourceText>, GetText, (), (override));
  MOCK_METHOD(void, NotifyTextChanged, (), (override));
  MOCK_METHOD(void, RefreshBreakpointLines, (), (override));
  MOCK_METHOD(void, ApplySettings, (), (override));
  MOCK_METHOD(bool, Save, (), (override));
  MOCK_METHOD(void, SetCaret, (TCaretPos Pos), (override));
  MOCK_METHOD(void, SetExecutionLine, (int Line), (override));
  MOCK_METHOD(void, SetErrorLine, (int Line), (override));
  MOCK_METHOD(void, UpdateReadOnly, (), (override));
  MOCK_METHOD(QString, GetFileName, (), (override));
  MOCK_METHOD(QString, GetDisplayName, (), (override));
  MOCK_METHOD(bool, IsTextModified, (), (override));
  MOCK_METHOD(Ref<IVexaModule>, GetModule, (), (override));
  MOCK_METHOD(bool, GetModified, (), (override));
  MOCK_METHOD(void, SetModule, (const Ref<IVexaModule>& Module), (override));
};

class MockVexaSourceEditorFactory : public IVexaSourceEditorFactory {
 public:
  MockVexaSourceEditorFactory();
  ~MockVexaSourceEditorFactory() override;
  MOCK_METHOD(Ref<IVexaSourceEditor>, CreateForFile,
              (QTabWidget * PageControl, const QString& FileName, TFileKind Kind), (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, CreateForModule,
              (QTabWidget * PageControl, const Ref<IVexaModule>& Module), (override));
};

class MockVexaModule : public IVexaModule {
 public:
  MockVexaModule();
  ~MockVexaModule() override;
  MOCK_METHOD(bool, CanRunToLine, (int Line), (override));
  MOCK_METHOD(void, ClearBreakpoints, (), (override));
  MOCK_METHOD(int, GetLineFlags, (int Line), (override));
  MOCK_METHOD(std::optional<TSourceText>, GetSource, (), (override));
  MOCK_METHOD(bool, HasBreakpoints, (), (override));
  MOCK_METHOD(bool, CanRenameTo, (const QString& NewFileName), (override));
  MOCK_METHOD(void, TextChanged, (), (override));
  MOCK_METHOD(void, ClearCompileState, (), (override));
  MOCK_METHOD(void, RunToLine, (int Line), (override));
  MOCK_METHOD(void, SetFileName, (const QString& FileName), (override));
  MOCK_METHOD(void, SetLineInfos, (bool HasErrors, const QByteArray& Infos), (override));
  MOCK_METHOD(void, LinesDeleted, (int FirstLine, int Count), (override));
  MOCK_METHOD(void, LinesInserted, (int FirstLine, int Count), (override));
  MOCK_METHOD(void, TextSaved, (), (override));
  MOCK_METHOD(void, ToggleBreakpoint, (int Line), (override));
  MOCK_METHOD(void, ToggleUsed, (), (override));
  MOCK_METHOD(void, UpdateReadOnly, (), (override));
  MOCK_METHOD(int, GetBreakpointCount, (), (override));
  MOCK_METHOD(int, GetBreakpoint, (int Index), (override));
  MOCK_METHOD(QString, GetFileName, (), (override));
  MOCK_METHOD(QString, GetFileTitle, (), (override));
  MOCK_METHOD(bool, HasErrors, (), (override));
  MOCK_METHOD(bool, IsProjectFile, (), (override));
  MOCK_METHOD(int, GetModuleNumber, (), (override));
  MOCK_METHOD(TModuleKind, GetKind, (), (override));
  MOCK_METHOD(QString, GetName, (), (override));
  MOCK_METHOD(bool, NeedsCompile, (), (override));
  MOCK_METHOD(Ref<IVexaProject>, GetProject, (), (override));
  MOCK_METHOD(bool, IsReadOnly, (), (override));
  MOCK_METHOD(Ref<IVexaSourceEditor>, GetEditor, (), (override));
  MOCK_METHOD(bool, IsUsed, (), (override));
  MOCK_METHOD(bool, HasLineInfos, (), (override));
  MOCK_METHOD(void, SetModuleNumber, (int Number), (override));
  MOCK_METHOD(void, SetNeedsCompile, (bool Flag), (override));
  MOCK_METHOD(void, SetEditor, (const Ref<IVexaSourceEditor>& Editor), (override));
  MOCK_METHOD(void, SetUsed, (bool Flag), (override));
};

// The project operations, on the project interface or one derived from it.
template <class Base>
class MockProjectOf : public Base {
 public:
  MockProjectOf();
  ~MockProjectOf() override;
  MOCK_METHOD(bool, Activate, (), (override));
  MOCK_METHOD(void, AddWatch, (const Ref<IVexaModule>& Module, int Line, const QString& Identifier),
              (override));
  MOCK_METHOD(Ref<IVexaWatch>, AddWatchName, (const QString& Name), (override));
  MOCK_METHOD(void, Build, (), (override));
  MOCK_METHOD(bool, CanBuild, (), (override));
  MOCK_METHOD(bool, CloseQuery, (), (override));
  MOCK_METHOD(bool, CanDeleteModule, (const Ref<IVexaModule>& Module), (override));
  MOCK_METHOD(bool, CanDownload, (), (override));
  MOCK_METHOD(bool, CanEditModules, (TModuleKind Kind), (override));
  MOCK_METHOD(bool, CanFindDeclaration, (), (override));
  MOCK_METHOD(bool, CanReturnFromDefinition, (), (override));
  MOCK_METHOD(bool, CanInsertModule, (), (override));
  MOCK_METHOD(bool, IsModuleNameFree, (const Ref<IVexaModule>& Module, const QString& NewName),
              (override));
  MOCK_METHOD(bool, IsBuilt, (), (override));
  MOCK_METHOD(void, ClearAllBreakpoints, (), (override));
  MOCK_METHOD(void, Close, (), (override));
  MOCK_METHOD(bool, MayDeactivate, (), (override));
  MOCK_METHOD(bool, DeleteModule, (const Ref<IVexaModule>& Module), (override));
  MOCK_METHOD(void, DeleteWatch, (int Index), (override));
  MOCK_METHOD(void, Download, (), (override));
  MOCK_METHOD(void, EditModules, (TModuleKind Kind), (override));
  MOCK_METHOD(std::optional<QStringList>, GetIdentCompletions,
              (const Ref<IVexaModule>& Module, int Line, const QString& Text), (override));
  MOCK_METHOD(void, FindDeclaration,
              (const Ref<IVexaModule>& Module, int Line, const QString& Text), (override));
  MOCK_METHOD(void, ReturnFromDefinition, (), (override));
  MOCK_METHOD(bool, HasBreakpoints, (), (override));
  MOCK_METHOD(bool, InsertModule, (), (override));
  MOCK_METHOD(Ref<IVexaModule>, FindModule, (const QString& FileName), (override));
  MOCK_METHOD(bool, MoveModule, (const Ref<IVexaModule>& Module, bool Up), (override));
  MOCK_METHOD(bool, Save, (), (override));
  MOCK_METHOD(void, ModuleChanged, (const Ref<IVexaModule>& Module, bool Structural), (override));
  MOCK_METHOD(void, PausedAt, (bool Show, int ModuleNumber, int Line), (override));
  MOCK_METHOD(void, BreakpointsChanged, (), (override));
  MOCK_METHOD(int, GetBreakpointCount, (), (override));
  MOCK_METHOD(int, GetBreakpoint, (int Index), (override));
  MOCK_METHOD(QString, GetFileName, (), (override));
  MOCK_METHOD(QString, GetName, (), (override));
  MOCK_METHOD(bool, IsSingleModule, (), (override));
  MOCK_METHOD(bool, HasChanges, (), (override));
  MOCK_METHOD(int, GetModuleCount, (), (override));
  MOCK_METHOD(Ref<IVexaModule>, GetModule, (int Index), (override));
  MOCK_METHOD(bool, GetModified, (), (override));
  MOCK_METHOD(bool, IsRunning, (), (override));
  MOCK_METHOD(Ref<IVexaWatch>, GetWatch, (int Index), (override));
  MOCK_METHOD(int, GetWatchCount, (), (override));
  MOCK_METHOD(void, RunningChanged, (bool Running), (override));
};

using MockVexaProject = MockProjectOf<IVexaProject>;

class MockVexaProjectFactory : public IVexaProjectFactory {
 public:
  MockVexaProjectFactory();
  ~MockVexaProjectFactory() override;
  MOCK_METHOD(Ref<IVexaProject>, CreateProject, (const QString& FileName), (override));
};

class MockVexaMessage : public IVexaMessage {
 public:
  MockVexaMessage();
  ~MockVexaMessage() override;
  MOCK_METHOD(int, GetLine, (), (override));
  MOCK_METHOD(QString, GetText, (), (override));
  MOCK_METHOD(TMessageKind, GetKind, (), (override));
  MOCK_METHOD(Ref<IVexaModule>, GetModule, (), (override));
  MOCK_METHOD(Ref<IVexaProject>, GetSource, (), (override));
};

class MockVexaWatch : public IVexaWatch {
 public:
  MockVexaWatch();
  ~MockVexaWatch() override;
  MOCK_METHOD(bool, HasValue, (), (override));
  MOCK_METHOD(void, Invalidate, (), (override));
  MOCK_METHOD(void, Reset, (), (override));
  MOCK_METHOD(bool, GetChanged, (), (override));
  MOCK_METHOD(TWatchFormat, GetFormat, (), (override));
  MOCK_METHOD(TWatchType, GetType, (), (override));
  MOCK_METHOD(QString, GetName, (), (override));
  MOCK_METHOD(QString, GetTypeText, (), (override));
  MOCK_METHOD(int, GetIndex, (), (override));
  MOCK_METHOD(QString, GetValueText, (), (override));
  MOCK_METHOD(void, SetFormat, (TWatchFormat Format), (override));
  MOCK_METHOD(void, SetType, (TWatchType Type), (override));
  MOCK_METHOD(void, SetFloatValue, (double Value), (override));
  MOCK_METHOD(void, SetIntValue, (std::int32_t Value), (override));
  MOCK_METHOD(void, SetTypeText, (const QString& Text), (override));
  MOCK_METHOD(void, SetIndex, (int Index), (override));
  MOCK_METHOD(void, SetStringValue, (const QString& Text), (override));
};

class MockVexaSimulator : public IVexaSimulator {
 public:
  MockVexaSimulator();
  ~MockVexaSimulator() override;
  MOCK_METHOD(bool, CanClose, (), (override));
  MOCK_METHOD(bool, IsRunning, (), (override));
  MOCK_METHOD(bool, IsPaused, (), (override));
  MOCK_METHOD(bool, CanRun, (), (override));
  MOCK_METHOD(bool, IsPausedAgain, (), (override));
  MOCK_METHOD(bool, CanStepInto, (), (override));
  MOCK_METHOD(bool, CanStepOver, (), (override));
  MOCK_METHOD(bool, CanStepOut, (), (override));
  MOCK_METHOD(void, Pause, (), (override));
  MOCK_METHOD(void, Stop, (), (override));
  MOCK_METHOD(void, Run, (), (override));
  MOCK_METHOD(void, RunToCursor, (int Module, int Line), (override));
  MOCK_METHOD(void, StepInto, (), (override));
  MOCK_METHOD(void, StepOver, (), (override));
  MOCK_METHOD(void, StepOut, (), (override));
  MOCK_METHOD(void, UpdateBreakpoints, (), (override));
  MOCK_METHOD(void, Refresh, (), (override));
  MOCK_METHOD(Ref<IVexaProject>, GetProject, (), (override));
  MOCK_METHOD(bool, IsRunningAgain, (), (override));
};

class MockVexaToolWindow : public IVexaToolWindow {
 public:
  MockVexaToolWindow();
  ~MockVexaToolWindow() override;
  MOCK_METHOD(void, Close, (), (override));
  MOCK_METHOD(void, DockInto, (QWidget * Owner, QWidget* Site), (override));
  MOCK_METHOD(bool, ReservedQuery, (), (override));
  MOCK_METHOD(void, ReservedNotify, (), (override));
  MOCK_METHOD(void, Show, (bool Focus), (override));
  MOCK_METHOD(QString, GetName, (), (override));
};

class MockMessageView : public IMessageView {
 public:
  MockMessageView();
  ~MockMessageView() override;
  MOCK_METHOD(void, GoToCurrent, (), (override));
  MOCK_METHOD(void, Add, (const Ref<IVexaMessage>& Message), (override));
  MOCK_METHOD(bool, CanNextError, (), (override));
  MOCK_METHOD(bool, CanPrevError, (), (override));
  MOCK_METHOD(void, Clear, (), (override));
  MOCK_METHOD(void, RemoveMessagesOf, (const Ref<IVexaProject>& Source), (override));
  MOCK_METHOD(void, NextError, (), (override));
  MOCK_METHOD(void, PrevError, (), (override));
  MOCK_METHOD(int, GetCurrentIndex, (), (override));
  MOCK_METHOD(Ref<IVexaMessage>, GetMessage, (int Index), (override));
  MOCK_METHOD(int, GetCount, (), (override));
  MOCK_METHOD(Ref<IVexaToolWindow>, GetToolWindow, (), (override));
  MOCK_METHOD(void, SetCurrentIndex, (int Index), (override));
};

class MockProjectEditor : public IProjectEditor {
 public:
  MockProjectEditor();
  ~MockProjectEditor() override;
  MOCK_METHOD(void, ProjectAdded, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, InstallCommands, (), (override));
  MOCK_METHOD(void, Clear, (), (override));
  MOCK_METHOD(void, RemoveCommands, (), (override));
  MOCK_METHOD(void, RepaintProject, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, ItemChanged, (const Ref<IVexaModule>& Module), (override));
  MOCK_METHOD(void, ProjectChanged, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, ProjectRemoved, (const Ref<IVexaProject>& Project), (override));
  MOCK_METHOD(void, SelectItem, (const Ref<IVexaModule>& Module), (override));
  MOCK_METHOD(Ref<IVexaToolWindow>, GetToolWindow, (), (override));
};

class MockWatchesView : public IWatchesView {
 public:
  MockWatchesView();
  ~MockWatchesView() override;
  MOCK_METHOD(void, RefreshWatch, (int Index), (override));
  MOCK_METHOD(void, RefreshAll, (), (override));
  MOCK_METHOD(Ref<IVexaToolWindow>, GetToolWindow, (), (override));
};

class MockEditCommands : public IEditCommands {
 public:
  MockEditCommands();
  ~MockEditCommands() override;
  MOCK_METHOD(bool, CanCopy, (), (override));
  MOCK_METHOD(bool, CanCut, (), (override));
  MOCK_METHOD(bool, CanDelete, (), (override));
  MOCK_METHOD(bool, CanPaste, (), (override));
  MOCK_METHOD(bool, CanRedo, (), (override));
  MOCK_METHOD(bool, CanSelectAll, (), (override));
  MOCK_METHOD(bool, CanUndo, (), (override));
  MOCK_METHOD(void, Copy, (), (override));
  MOCK_METHOD(void, Cut, (), (override));
  MOCK_METHOD(void, Delete, (), (override));
  MOCK_METHOD(void, Paste, (), (override));
  MOCK_METHOD(void, Redo, (), (override));
  MOCK_METHOD(void, SelectAll, (), (override));
  MOCK_METHOD(void, Undo, (), (override));
};

class MockFileCommands : public IFileCommands {
 public:
  MockFileCommands();
  ~MockFileCommands() override;
  MOCK_METHOD(bool, CloseQuery, (), (override));
  MOCK_METHOD(bool, CanPrint, (), (override));
  MOCK_METHOD(bool, CanSave, (), (override));
  MOCK_METHOD(bool, CanSaveAs, (), (override));
  MOCK_METHOD(void, Close, (), (override));
  MOCK_METHOD(void, Print, (), (override));
  MOCK_METHOD(bool, Save, (), (override));
  MOCK_METHOD(void, SaveAs, (), (override));
};

class MockSearchCommands : public ISearchCommands {
 public:
  MockSearchCommands();
  ~MockSearchCommands() override;
  MOCK_METHOD(bool, CanFindDefinition, (), (override));
  MOCK_METHOD(bool, CanReturnFromDefinition, (), (override));
  MOCK_METHOD(bool, CanReplace, (), (override));
  MOCK_METHOD(bool, CanFind, (), (override));
  MOCK_METHOD(bool, CanFindNext, (), (override));
  MOCK_METHOD(bool, CanFindPrev, (), (override));
  MOCK_METHOD(bool, IsCaseSensitive, (), (override));
  MOCK_METHOD(bool, IsWholeWords, (), (override));
  MOCK_METHOD(void, FindDefinition, (), (override));
  MOCK_METHOD(void, ReturnFromDefinition, (), (override));
  MOCK_METHOD(void, Replace, (), (override));
  MOCK_METHOD(void, Find, (), (override));
  MOCK_METHOD(void, FindNext, (), (override));
  MOCK_METHOD(void, FindPrev, (), (override));
  MOCK_METHOD(void, ToggleCaseSensitive, (), (override));
  MOCK_METHOD(void, ToggleWholeWords, (), (override));
};

class MockDebugCommands : public IDebugCommands {
 public:
  MockDebugCommands();
  ~MockDebugCommands() override;
  MOCK_METHOD(bool, CanAddWatch, (), (override));
  MOCK_METHOD(bool, CanFindDefinition, (), (override));
  MOCK_METHOD(bool, CanReturnFromDefinition, (), (override));
  MOCK_METHOD(bool, CanRunToCursor, (), (override));
  MOCK_METHOD(bool, CanToggleBreakpoint, (), (override));
  MOCK_METHOD(void, AddWatch, (), (override));
  MOCK_METHOD(void, FindDefinition, (), (override));
  MOCK_METHOD(void, ReturnFromDefinition, (), (override));
  MOCK_METHOD(void, RunToCursor, (), (override));
  MOCK_METHOD(void, ToggleBreakpoint, (), (override));
};

class MockProjectCommands : public IProjectCommands {
 public:
  MockProjectCommands();
  ~MockProjectCommands() override;
  MOCK_METHOD(bool, CanActivate, (), (override));
  MOCK_METHOD(bool, CanClose, (), (override));
  MOCK_METHOD(bool, CanDeleteModule, (), (override));
  MOCK_METHOD(bool, CanEditModules, (TModuleKind Kind), (override));
  MOCK_METHOD(bool, CanInsertModule, (), (override));
  MOCK_METHOD(bool, CanOpenModuleSource, (), (override));
  MOCK_METHOD(bool, CanToggleUsedInProject, (), (override));
  MOCK_METHOD(bool, IsUsedInProject, (), (override));
  MOCK_METHOD(void, Activate, (), (override));
  MOCK_METHOD(void, Close, (), (override));
  MOCK_METHOD(void, DeleteModule, (), (override));
  MOCK_METHOD(void, EditModules, (TModuleKind Kind), (override));
  MOCK_METHOD(void, InsertModule, (), (override));
  MOCK_METHOD(void, OpenModuleSource, (), (override));
  MOCK_METHOD(void, ToggleUsedInProject, (), (override));
};

class MockV2SimulationFactory : public IV2SimulationFactory {
 public:
  MockV2SimulationFactory();
  ~MockV2SimulationFactory() override;
  MOCK_METHOD(Ref<IVexaSimulator>, CreateSimulation,
              (const Ref<IV2SimulationProject>& Project, const QString& OutputBaseName),
              (override));
};

// A simulation factory that calls Create(Project, OutputBaseName).
template <class F>
Ref<IV2SimulationFactory> SimulationFactoryOf(F Create) {
  auto factory = std::make_shared<testing::NiceMock<MockV2SimulationFactory>>();
  ON_CALL(*factory, CreateSimulation).WillByDefault(std::move(Create));
  return factory;
}

// A V2 project as its simulation sees it.
class MockV2SimulationProject : public MockProjectOf<IV2SimulationProject> {
 public:
  MockV2SimulationProject();
  ~MockV2SimulationProject() override;
  MOCK_METHOD(void, ForEachBreakpoint,
              (const std::function<void(int ModuleNumber, int Line)>& Callback), (override));
  MOCK_METHOD(void, ForEachWatch,
              (const std::function<void(const Ref<IVexaWatch>& Watch)>& Callback), (override));
};

}  // namespace vexa::ide::test

// The instantiations MockIntfs.cpp makes: every double as a NiceMock, the ones tests
// use strictly as a StrictMock.
#define VEXA_MOCK_INSTANTIATIONS(Prefix)                                                 \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaIDE>;                 \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaSourceEditor>;        \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaSourceEditorFactory>; \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaModule>;              \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaProject>;             \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaProjectFactory>;      \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaMessage>;             \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaWatch>;               \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaSimulator>;           \
  Prefix template class testing::NiceMock<vexa::ide::test::MockVexaToolWindow>;          \
  Prefix template class testing::NiceMock<vexa::ide::test::MockMessageView>;             \
  Prefix template class testing::NiceMock<vexa::ide::test::MockProjectEditor>;           \
  Prefix template class testing::NiceMock<vexa::ide::test::MockWatchesView>;             \
  Prefix template class testing::NiceMock<vexa::ide::test::MockEditCommands>;            \
  Prefix template class testing::NiceMock<vexa::ide::test::MockFileCommands>;            \
  Prefix template class testing::NiceMock<vexa::ide::test::MockSearchCommands>;          \
  Prefix template class testing::NiceMock<vexa::ide::test::MockDebugCommands>;           \
  Prefix template class testing::NiceMock<vexa::ide::test::MockProjectCommands>;         \
  Prefix template class testing::NiceMock<vexa::ide::test::MockV2SimulationProject>;     \
  Prefix template class testing::NiceMock<vexa::ide::test::MockV2SimulationFactory>;     \
  Prefix template class testing::StrictMock<vexa::ide::test::MockVexaSourceEditor>;      \
  Prefix template class testing::StrictMock<vexa::ide::test::MockProjectEditor>;
extern template class vexa::ide::test::MockProjectOf<vexa::ide::IVexaProject>;
extern template class vexa::ide::test::MockProjectOf<vexa::ide::IV2SimulationProject>;
VEXA_MOCK_INSTANTIATIONS(extern)
