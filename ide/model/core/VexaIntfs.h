#pragma once

// The IDE's cross-module interfaces. Every object the IDE passes around
// (projects, modules, editors, tool windows, simulations) is reached through
// one of these, held by std::shared_ptr; two references are the same object
// when the pointers are equal. Qt Core only: windows appear as opaque pointers.

#include "model/core/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QWidget;
class QTabWidget;

namespace vexa::ide {

template <class T>
using Ref = std::shared_ptr<T>;

class IVexaIDE;
class IVexaModule;
class IVexaProject;
class IVexaSourceEditor;
class IVexaToolWindow;
class IVexaMessage;
class IVexaWatch;
class IVexaSimulator;

// File kinds, from the extension (FileKindOf); the numbers are stored in the
// settings.
enum class TFileKind : int {
  Plain = 0,         // any other file
  V2Project = 1,     // ".v2p"
  V2Module = 2,      // ".v2"
  BasicProject = 3,  // ".bas"
};

// Module kinds.
enum class TModuleKind : int {
  Project = 0,  // the project's own modules
  System = 1,   // from the system module list
  Common = 2,   // from the user's common module list
};

// Bits of IVexaModule::GetLineFlags.
enum : int {
  LineFlagBreakpoint = 1,
  LineFlagBreakpointCompiled = 2,
  LineFlagError = 4,
  LineFlagCode = 8,
};

// A source text with its number of lines and its file's encoding;
// EncodeWithoutBom of the two is what saving it now writes, without a BOM.
struct TSourceText {
  QString Text;
  int LineCount = 0;
  TTextEncoding Encoding = TTextEncoding::Windows1252;
};

// A caret position, both 1-based.
struct TCaretPos {
  int Column = 1;
  int Line = 1;
};

// What a tool window remembers when its form closes (never persisted).
struct TVexaToolWindowData {
  std::uint8_t Flag1 = 0;  // unused, always 0
  std::uint8_t Flag2 = 0;  // unused, always 0
  bool AllowDocking = true;
  bool StayOnTop = false;
  int UndockLeft = 0;
  int UndockTop = 0;
  int UndockRight = 0;   // undock width
  int UndockBottom = 0;  // undock height
  int LRDockWidth = 0;
  int TBDockHeight = 0;
  QString DockSiteName;  // empty when floating
};

// The main window's services.
// Implemented by TVexaIDECore (model/core/VexaIDECore.h).
class IVexaIDE {
 public:
  virtual ~IVexaIDE() = default;
  virtual void AddProject(const Ref<IVexaProject>& Project) = 0;
  virtual void AddEditor(const Ref<IVexaSourceEditor>& Editor) = 0;
  virtual bool CanCloseProject(const Ref<IVexaProject>& Project) = 0;
  virtual bool AnyModified() = 0;
  virtual void ClearStatusPanels() = 0;
  virtual void RemoveProject(const Ref<IVexaProject>& Project) = 0;
  virtual void CloseAll() = 0;
  virtual void RefreshEditors() = 0;
  virtual Ref<IVexaSourceEditor> ShowModuleEditor(const Ref<IVexaModule>& Module) = 0;
  virtual Ref<IVexaSourceEditor> OpenFile(const QString& FileName, TFileKind Kind) = 0;
  virtual void OpenByKind(const QString& FileName, TFileKind Kind) = 0;
  virtual void RemoveEditor(const Ref<IVexaSourceEditor>& Editor) = 0;
  virtual void SaveAll() = 0;
  virtual void SetStatusText(int Panel, const QString& Text) = 0;
  virtual Ref<IVexaProject> GetActiveProject() = 0;
  virtual Ref<IVexaSourceEditor> GetActiveEditor() = 0;
  virtual QWidget* GetMainForm() = 0;
  virtual Ref<IVexaProject> GetProject(int Index) = 0;
  virtual int GetProjectCount() = 0;
  virtual Ref<IVexaSourceEditor> GetEditor(int Index) = 0;
  virtual int GetEditorCount() = 0;
  virtual void SetActiveEditor(const Ref<IVexaSourceEditor>& Editor) = 0;
  virtual void SetActiveProject(const Ref<IVexaProject>& Project) = 0;
};

// One open source text. An object that also implements IProjectCommands
// needs a separate object for it: both interfaces have Activate and Close
// with other meanings.
// Implemented by TSourceEditor (widgets/editor/SourceEditor.h).
class IVexaSourceEditor {
 public:
  virtual ~IVexaSourceEditor() = default;
  virtual void Activate() = 0;
  virtual void RepaintLine(int Line) = 0;  // -1: every line
  virtual bool CloseQuery() = 0;
  virtual void Close() = 0;
  virtual std::optional<TSourceText> GetText() = 0;  // none without a form
  virtual void NotifyTextChanged() = 0;
  virtual void RefreshBreakpointLines() = 0;
  virtual void ApplySettings() = 0;
  virtual bool Save() = 0;
  virtual void SetCaret(TCaretPos Pos) = 0;
  virtual void SetExecutionLine(int Line) = 0;
  virtual void SetErrorLine(int Line) = 0;
  virtual void UpdateReadOnly() = 0;
  virtual QString GetFileName() = 0;
  virtual QString GetDisplayName() = 0;
  virtual bool IsTextModified() = 0;
  virtual Ref<IVexaModule> GetModule() = 0;
  virtual bool GetModified() = 0;
  virtual void SetModule(const Ref<IVexaModule>& Module) = 0;
};

// Creates source editors in the editor page control.
// Implemented by TSourceEditorFactory (widgets/editor/SourceEditor.h).
class IVexaSourceEditorFactory {
 public:
  virtual ~IVexaSourceEditorFactory() = default;
  virtual Ref<IVexaSourceEditor> CreateForFile(QTabWidget* PageControl, const QString& FileName,
                                               TFileKind Kind) = 0;
  virtual Ref<IVexaSourceEditor> CreateForModule(QTabWidget* PageControl,
                                                 const Ref<IVexaModule>& Module) = 0;
};

// One source module of a project (a V2 module, or the single module of a
// VXBasic project).
// Implemented by TVexaV2Module (model/projects/V2Module.h) and
// TBasicModuleSide (model/projects/BasicProject.h).
class IVexaModule {
 public:
  virtual ~IVexaModule() = default;
  virtual bool CanRunToLine(int Line) = 0;
  virtual void ClearBreakpoints() = 0;
  virtual int GetLineFlags(int Line) = 0;
  virtual std::optional<TSourceText> GetSource() = 0;
  virtual bool HasBreakpoints() = 0;
  virtual bool CanRenameTo(const QString& NewFileName) = 0;
  virtual void TextChanged() = 0;
  virtual void ClearCompileState() = 0;
  virtual void RunToLine(int Line) = 0;
  virtual void SetFileName(const QString& FileName) = 0;
  virtual void SetLineInfos(bool HasErrors, const QByteArray& Infos) = 0;
  virtual void LinesDeleted(int FirstLine, int Count) = 0;
  virtual void LinesInserted(int FirstLine, int Count) = 0;
  // The editor wrote the module's text to its file.
  virtual void TextSaved() = 0;
  virtual void ToggleBreakpoint(int Line) = 0;
  virtual void ToggleUsed() = 0;
  virtual void UpdateReadOnly() = 0;
  virtual int GetBreakpointCount() = 0;
  virtual int GetBreakpoint(int Index) = 0;
  virtual QString GetFileName() = 0;
  virtual QString GetFileTitle() = 0;
  virtual bool HasErrors() = 0;
  virtual bool IsProjectFile() = 0;  // true for the VXBasic module
  virtual int GetModuleNumber() = 0;
  virtual TModuleKind GetKind() = 0;
  virtual QString GetName() = 0;
  virtual bool NeedsCompile() = 0;
  virtual Ref<IVexaProject> GetProject() = 0;
  virtual bool IsReadOnly() = 0;
  virtual Ref<IVexaSourceEditor> GetEditor() = 0;
  virtual bool IsUsed() = 0;
  virtual bool HasLineInfos() = 0;
  virtual void SetModuleNumber(int Number) = 0;
  virtual void SetNeedsCompile(bool Flag) = 0;
  virtual void SetEditor(const Ref<IVexaSourceEditor>& Editor) = 0;
  virtual void SetUsed(bool Flag) = 0;
};

// An open project, V2 or VXBasic.
// Implemented by TVexaV2Project through IV2SimulationProject
// (model/projects/V2Project.h) and TBasicProjectSide (model/projects/BasicProject.h).
class IVexaProject {
 public:
  virtual ~IVexaProject() = default;
  virtual bool Activate() = 0;
  virtual void AddWatch(const Ref<IVexaModule>& Module, int Line, const QString& Identifier) = 0;
  virtual Ref<IVexaWatch> AddWatchName(const QString& Name) = 0;
  virtual void Build() = 0;
  virtual bool CanBuild() = 0;
  virtual bool CloseQuery() = 0;
  virtual bool CanDeleteModule(const Ref<IVexaModule>& Module) = 0;
  virtual bool CanDownload() = 0;
  virtual bool CanEditModules(TModuleKind Kind) = 0;
  virtual bool CanFindDeclaration() = 0;
  virtual bool CanReturnFromDefinition() = 0;
  virtual bool CanInsertModule() = 0;
  virtual bool IsModuleNameFree(const Ref<IVexaModule>& Module, const QString& NewName) = 0;
  virtual bool IsBuilt() = 0;
  virtual void ClearAllBreakpoints() = 0;
  virtual void Close() = 0;
  virtual bool MayDeactivate() = 0;
  virtual bool DeleteModule(const Ref<IVexaModule>& Module) = 0;
  virtual void DeleteWatch(int Index) = 0;
  virtual void Download() = 0;
  virtual void EditModules(TModuleKind Kind) = 0;
  // The visible members of the scope Text names at Line; none when it could not.
  virtual std::optional<QStringList> GetIdentCompletions(const Ref<IVexaModule>& Module, int Line,
                                                         const QString& Text) = 0;
  virtual void FindDeclaration(const Ref<IVexaModule>& Module, int Line, const QString& Text) = 0;
  virtual void ReturnFromDefinition() = 0;
  virtual bool HasBreakpoints() = 0;
  virtual bool InsertModule() = 0;
  virtual Ref<IVexaModule> FindModule(const QString& FileName) = 0;
  virtual bool MoveModule(const Ref<IVexaModule>& Module, bool Up) = 0;
  virtual bool Save() = 0;
  virtual void ModuleChanged(const Ref<IVexaModule>& Module, bool Structural) = 0;
  virtual void PausedAt(bool Show, int ModuleNumber, int Line) = 0;
  virtual void BreakpointsChanged() = 0;
  virtual int GetBreakpointCount() = 0;
  virtual int GetBreakpoint(int Index) = 0;
  virtual QString GetFileName() = 0;
  virtual QString GetName() = 0;
  virtual bool IsSingleModule() = 0;
  virtual bool HasChanges() = 0;
  virtual int GetModuleCount() = 0;
  virtual Ref<IVexaModule> GetModule(int Index) = 0;
  virtual bool GetModified() = 0;
  virtual bool IsRunning() = 0;
  virtual Ref<IVexaWatch> GetWatch(int Index) = 0;
  virtual int GetWatchCount() = 0;
  virtual void RunningChanged(bool Running) = 0;
};

// Creates a project of one language; an empty file name makes an untitled one.
// Implemented by TVexaV2Factory (model/projects/V2Project.h) and
// TVexaBASICFactory (model/projects/BasicProject.h).
class IVexaProjectFactory {
 public:
  virtual ~IVexaProjectFactory() = default;
  virtual Ref<IVexaProject> CreateProject(const QString& FileName) = 0;
};

// Message kinds of IVexaMessage::GetKind.
enum class TMessageKind : int {
  Error = 0,
  Information = 1,
};

// One line of compiler or status output. The source is the project the
// message came from (identity decides which messages a project drops).
// Implemented by TVexaMessage (model/libraries/VexaMessage.h).
class IVexaMessage {
 public:
  virtual ~IVexaMessage() = default;
  virtual int GetLine() = 0;  // -1 when none
  virtual QString GetText() = 0;
  virtual TMessageKind GetKind() = 0;
  virtual Ref<IVexaModule> GetModule() = 0;
  virtual Ref<IVexaProject> GetSource() = 0;
};

// Display formats of IVexaWatch; the numbers are stored in the state file.
enum class TWatchFormat : int {
  Decimal = 0,
  Hex = 1,
  Binary = 2,
};

// The format stored as Value; none when it is not one of the formats.
constexpr std::optional<TWatchFormat> WatchFormatOf(std::int32_t Value) {
  if (Value < static_cast<int>(TWatchFormat::Decimal) ||
      Value > static_cast<int>(TWatchFormat::Binary))
    return std::nullopt;
  return static_cast<TWatchFormat>(Value);
}

// V2 types of IVexaWatch.
enum class TWatchType : int {
  Unknown = 0,  // the simulation has not told the type yet
  Byte = 1,
  Int = 2,
  Long = 3,
  Float = 4,
  String = 5,
};

// One watched variable of a project.
// Implemented by TVexaV2Watch and TVexaBASICWatch (model/projects/VexaWatch.h).
class IVexaWatch {
 public:
  virtual ~IVexaWatch() = default;
  virtual bool HasValue() = 0;
  virtual void Invalidate() = 0;
  virtual void Reset() = 0;
  virtual bool GetChanged() = 0;
  virtual TWatchFormat GetFormat() = 0;
  virtual TWatchType GetType() = 0;
  virtual QString GetName() = 0;
  virtual QString GetTypeText() = 0;
  virtual int GetIndex() = 0;
  virtual QString GetValueText() = 0;
  virtual void SetFormat(TWatchFormat Format) = 0;
  virtual void SetType(TWatchType Type) = 0;
  virtual void SetFloatValue(double Value) = 0;
  virtual void SetIntValue(std::int32_t Value) = 0;
  virtual void SetTypeText(const QString& Text) = 0;
  virtual void SetIndex(int Index) = 0;
  virtual void SetStringValue(const QString& Text) = 0;
};

// The current simulation of a project (V2 or VXBasic).
// Implemented by TV2Simulator (model/workers/V2Simulator.h) and TQuorin
// (model/workers/Quorin.h).
class IVexaSimulator {
 public:
  virtual ~IVexaSimulator() = default;
  virtual bool CanClose() = 0;
  virtual bool IsRunning() = 0;
  virtual bool IsPaused() = 0;
  virtual bool CanRun() = 0;
  // Same answer as IsPaused; the watches view asks this one.
  virtual bool IsPausedAgain() = 0;
  virtual bool CanStepInto() = 0;
  virtual bool CanStepOver() = 0;
  virtual bool CanStepOut() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Run() = 0;
  virtual void RunToCursor(int Module, int Line) = 0;
  virtual void StepInto() = 0;
  virtual void StepOver() = 0;
  virtual void StepOut() = 0;
  virtual void UpdateBreakpoints() = 0;
  virtual void Refresh() = 0;
  virtual Ref<IVexaProject> GetProject() = 0;
  // Same answer as IsRunning.
  virtual bool IsRunningAgain() = 0;
};

// A dockable tool window (message view, project tree, watches view).
// Implemented by TVexaDockable (widgets/views/VexaDockable.h), the base of
// the three views below.
class IVexaToolWindow {
 public:
  virtual ~IVexaToolWindow() = default;
  virtual void Close() = 0;
  virtual void DockInto(QWidget* Owner, QWidget* Site) = 0;
  // Unused hooks: the query answers false, the notification does nothing.
  virtual bool ReservedQuery() = 0;
  virtual void ReservedNotify() = 0;
  virtual void Show(bool Focus) = 0;
  virtual QString GetName() = 0;
};

// The message view.
// Implemented by TMessageViewer (widgets/views/MessageViewer.h).
class IMessageView {
 public:
  virtual ~IMessageView() = default;
  virtual void GoToCurrent() = 0;
  virtual void Add(const Ref<IVexaMessage>& Message) = 0;
  virtual bool CanNextError() = 0;
  virtual bool CanPrevError() = 0;
  virtual void Clear() = 0;
  virtual void RemoveMessagesOf(const Ref<IVexaProject>& Source) = 0;
  virtual void NextError() = 0;
  virtual void PrevError() = 0;
  virtual int GetCurrentIndex() = 0;
  virtual Ref<IVexaMessage> GetMessage(int Index) = 0;
  virtual int GetCount() = 0;
  virtual Ref<IVexaToolWindow> GetToolWindow() = 0;
  virtual void SetCurrentIndex(int Index) = 0;
};

// The project tree.
// Implemented by TProjectEditor (widgets/views/ProjectEditor.h).
class IProjectEditor {
 public:
  virtual ~IProjectEditor() = default;
  virtual void ProjectAdded(const Ref<IVexaProject>& Project) = 0;
  virtual void InstallCommands() = 0;
  virtual void Clear() = 0;
  virtual void RemoveCommands() = 0;
  virtual void RepaintProject(const Ref<IVexaProject>& Project) = 0;
  virtual void ItemChanged(const Ref<IVexaModule>& Module) = 0;
  virtual void ProjectChanged(const Ref<IVexaProject>& Project) = 0;
  virtual void ProjectRemoved(const Ref<IVexaProject>& Project) = 0;
  virtual void SelectItem(const Ref<IVexaModule>& Module) = 0;
  virtual Ref<IVexaToolWindow> GetToolWindow() = 0;
};

// The watches view.
// Implemented by TWatchesViewer (widgets/views/WatchesViewer.h).
class IWatchesView {
 public:
  virtual ~IWatchesView() = default;
  virtual void RefreshWatch(int Index) = 0;
  virtual void RefreshAll() = 0;
  virtual Ref<IVexaToolWindow> GetToolWindow() = 0;
};

}  // namespace vexa::ide
