#pragma once

// The five command-handler interfaces. The window that can carry out a group
// of commands installs itself in that group's handler variable (Services.h);
// every query answers false and every action does nothing when the handler's
// window is gone.

namespace vexa::ide {

enum class TModuleKind : int;  // VexaIntfs.h

// Implemented by TSourceEditor (widgets/editor/SourceEditor.h).
class IEditCommands {
 public:
  virtual ~IEditCommands() = default;
  virtual bool CanCopy() = 0;
  virtual bool CanCut() = 0;
  virtual bool CanDelete() = 0;
  virtual bool CanPaste() = 0;
  virtual bool CanRedo() = 0;
  virtual bool CanSelectAll() = 0;
  virtual bool CanUndo() = 0;
  virtual void Copy() = 0;
  virtual void Cut() = 0;
  virtual void Delete() = 0;
  virtual void Paste() = 0;
  virtual void Redo() = 0;
  virtual void SelectAll() = 0;
  virtual void Undo() = 0;
};

// CloseQuery, Close and Save have the signatures of IVexaSourceEditor's, so
// that one object can implement both.
// Implemented by TSourceEditor (widgets/editor/SourceEditor.h).
class IFileCommands {
 public:
  virtual ~IFileCommands() = default;
  virtual bool CloseQuery() = 0;
  virtual bool CanPrint() = 0;
  virtual bool CanSave() = 0;
  virtual bool CanSaveAs() = 0;
  virtual void Close() = 0;
  virtual void Print() = 0;
  virtual bool Save() = 0;
  virtual void SaveAs() = 0;
};

// Implemented by TSourceEditor (widgets/editor/SourceEditor.h).
class ISearchCommands {
 public:
  virtual ~ISearchCommands() = default;
  virtual bool CanFindDefinition() = 0;
  virtual bool CanReturnFromDefinition() = 0;
  virtual bool CanReplace() = 0;
  virtual bool CanFind() = 0;
  virtual bool CanFindNext() = 0;
  virtual bool CanFindPrev() = 0;
  virtual bool IsCaseSensitive() = 0;
  virtual bool IsWholeWords() = 0;
  virtual void FindDefinition() = 0;
  virtual void ReturnFromDefinition() = 0;
  virtual void Replace() = 0;
  virtual void Find() = 0;
  virtual void FindNext() = 0;
  virtual void FindPrev() = 0;
  virtual void ToggleCaseSensitive() = 0;
  virtual void ToggleWholeWords() = 0;
};

// The definition pair is the same as ISearchCommands', so one object answers both.
// Implemented by TSourceEditor (widgets/editor/SourceEditor.h).
class IDebugCommands {
 public:
  virtual ~IDebugCommands() = default;
  virtual bool CanAddWatch() = 0;
  virtual bool CanFindDefinition() = 0;
  virtual bool CanReturnFromDefinition() = 0;
  virtual bool CanRunToCursor() = 0;
  virtual bool CanToggleBreakpoint() = 0;
  virtual void AddWatch() = 0;
  virtual void FindDefinition() = 0;
  virtual void ReturnFromDefinition() = 0;
  virtual void RunToCursor() = 0;
  virtual void ToggleBreakpoint() = 0;
};

// Implemented by TProjectEditor::TCommands (widgets/views/ProjectEditor.h) and
// TEditorProjectCommands (widgets/editor/SourceEditor.cpp).
class IProjectCommands {
 public:
  virtual ~IProjectCommands() = default;
  virtual bool CanActivate() = 0;
  virtual bool CanClose() = 0;
  virtual bool CanDeleteModule() = 0;
  virtual bool CanEditModules(TModuleKind Kind) = 0;
  virtual bool CanInsertModule() = 0;
  virtual bool CanOpenModuleSource() = 0;
  virtual bool CanToggleUsedInProject() = 0;
  virtual bool IsUsedInProject() = 0;
  virtual void Activate() = 0;
  virtual void Close() = 0;
  virtual void DeleteModule() = 0;
  virtual void EditModules(TModuleKind Kind) = 0;
  virtual void InsertModule() = 0;
  virtual void OpenModuleSource() = 0;
  virtual void ToggleUsedInProject() = 0;
};

}  // namespace vexa::ide
