#pragma once

// The source editor object behind every editor tab: IVexaSourceEditor for the
// main window and the modules, and, while its control has the focus, the
// current handler of the edit, file, search and debug commands (the project
// commands through a small object of its own). The factory creates tab, form
// and object together.

#include "model/core/CommandIntfs.h"
#include "model/core/TextCodec.h"
#include "model/core/VexaIntfs.h"
#include "model/text/IdentifierAtCaret.h"

#include <QPointer>

#include <functional>
#include <memory>

class QsciLexer;

namespace vexa::ide {

class TEditorFormSheet;
class TSourceEditor;
class TSourceEditorForm;
class TVexaEditControl;

// Where the highlighters, search and replace, completion and printing join
// the editor. Unset hooks leave their commands disabled.
struct TSourceEditorHooks {
  // The lexer of a kind (V2 module or VXBasic project) for Control, parented to it; the
  // editor font is Control->font(). Called again by every ApplySettings.
  std::function<QsciLexer*(TFileKind Kind, TVexaEditControl* Control)> CreateLexer;
  std::function<void(TSourceEditor&)> Find;
  std::function<void(TSourceEditor&)> FindNext;
  std::function<void(TSourceEditor&)> FindPrev;
  std::function<void(TSourceEditor&)> Replace;
  std::function<void(TSourceEditor&)> Print;
  std::function<void(TSourceEditor&)> Completion;
};
TSourceEditorHooks& SourceEditorHooks();

class TSourceEditor : public IVexaSourceEditor,
                      public IEditCommands,
                      public IFileCommands,
                      public ISearchCommands,
                      public IDebugCommands,
                      public std::enable_shared_from_this<TSourceEditor> {
 public:
  // Use TSourceEditorFactory; Attach links the form.
  TSourceEditor(const QString& FileName, TFileKind Kind);
  ~TSourceEditor() override;
  TSourceEditor(const TSourceEditor&) = delete;
  TSourceEditor& operator=(const TSourceEditor&) = delete;

  // IVexaSourceEditor (CloseQuery, Close and Save also serve IFileCommands).
  void Activate() override;
  void RepaintLine(int Line) override;
  bool CloseQuery() override;
  void Close() override;
  std::optional<TSourceText> GetText() override;
  void NotifyTextChanged() override;
  void RefreshBreakpointLines() override;
  void ApplySettings() override;
  bool Save() override;
  void SetCaret(TCaretPos Pos) override;
  void SetExecutionLine(int Line) override;
  void SetErrorLine(int Line) override;
  void UpdateReadOnly() override;
  QString GetFileName() override;
  QString GetDisplayName() override;
  bool IsTextModified() override;
  Ref<IVexaModule> GetModule() override;
  bool GetModified() override;
  void SetModule(const Ref<IVexaModule>& Module) override;

  // IEditCommands
  bool CanCopy() override;
  bool CanCut() override;
  bool CanDelete() override;
  bool CanPaste() override;
  bool CanRedo() override;
  bool CanSelectAll() override;
  bool CanUndo() override;
  void Copy() override;
  void Cut() override;
  void Delete() override;
  void Paste() override;
  void Redo() override;
  void SelectAll() override;
  void Undo() override;

  // IFileCommands
  bool CanPrint() override;
  bool CanSave() override;
  bool CanSaveAs() override;
  void Print() override;
  void SaveAs() override;

  // ISearchCommands (the definition pair also serves IDebugCommands)
  bool CanFindDefinition() override;
  bool CanReturnFromDefinition() override;
  bool CanReplace() override;
  bool CanFind() override;
  bool CanFindNext() override;
  bool CanFindPrev() override;
  bool IsCaseSensitive() override;
  bool IsWholeWords() override;
  void FindDefinition() override;
  void ReturnFromDefinition() override;
  void Replace() override;
  void Find() override;
  void FindNext() override;
  void FindPrev() override;
  void ToggleCaseSensitive() override;
  void ToggleWholeWords() override;

  // IDebugCommands
  bool CanAddWatch() override;
  bool CanRunToCursor() override;
  bool CanToggleBreakpoint() override;
  void AddWatch() override;
  void RunToCursor() override;
  void ToggleBreakpoint() override;

  Ref<IProjectCommands> ProjectCommands() const { return projectCommands_; }

  TSourceEditorForm* Form() const;
  TVexaEditControl* Control() const;
  TEditorFormSheet* Sheet() const;
  TFileKind Kind() const { return kind_; }
  int UntitledNumber() const { return untitledNumber_; }
  bool IsNewFile() const { return newFile_; }
  // The encoding and line ends the file came in, after a save the ones it was
  // written in (new files: LF, Windows-1252 for V2 modules and VXBasic
  // programs, else UTF-8).
  const TTextFormat& TextFormat() const { return textFormat_; }

  // Creation (the factory): links form and sheet, registers with the IDE,
  // loads the file.
  void Attach(TSourceEditorForm* Form, TEditorFormSheet* Sheet);
  // Save as with the dialog; true when the file was written under the new name.
  bool SaveAsDialog();

  // The identifier at the caret, computed on demand and kept until the caret
  // moves or the text changes; empty without a form.
  TIdentifierAtCaretInfo IdentifierAtCaret();
  bool HasIdentifierAtCaret();

  // From the form.
  void FocusEntered();
  void FocusLeft();
  void FormDestroyed();
  void CaretMoved();
  void TextChangedByUser();
  void UpdateStatusPanels(bool Caret, bool Modified, bool Mode);
  // True while the file is read in: no line or text change reaches the module.
  bool Loading() const { return loading_; }

 private:
  bool LoadFile();
  // Writes the text to FileName; false (an error box shown) when it could not.
  bool WriteFile(const QString& FileName);
  // False when FileName is the file last read or written and another program
  // has changed its bytes since, and the user does not want it overwritten.
  bool MayOverwrite(const QString& FileName);
  void ReleaseUntitledNumber();
  void UpdateCaption();
  void ApplySettings(bool Creating);
  bool TextPresent();
  int CaretLine();
  // The project of the bound module, none for a loose file.
  Ref<IVexaProject> ModuleProject();

  QString fileName_;
  TFileKind kind_;
  Ref<IVexaModule> module_;
  bool newFile_ = false;
  bool loading_ = false;
  // The file could not be read or shown whole: it is never written.
  bool refused_ = false;
  int untitledNumber_ = -1;
  // The file last read or written and a hash of its bytes then.
  QString diskFile_;
  QByteArray diskHash_;
  QPointer<TEditorFormSheet> sheet_;
  QPointer<TSourceEditorForm> form_;
  TTextFormat textFormat_;
  Ref<IProjectCommands> projectCommands_;
};

class TSourceEditorFactory : public IVexaSourceEditorFactory {
 public:
  Ref<IVexaSourceEditor> CreateForFile(QTabWidget* PageControl, const QString& FileName,
                                       TFileKind Kind) override;
  Ref<IVexaSourceEditor> CreateForModule(QTabWidget* PageControl,
                                         const Ref<IVexaModule>& Module) override;

  // Sheet, form and object; the object itself for callers that need more
  // than the interface.
  static std::shared_ptr<TSourceEditor> Create(QTabWidget* PageControl, const QString& FileName,
                                               TFileKind Kind, const Ref<IVexaModule>& Module);
};

// Fills SourceEditorFactory.
void RegisterSourceEditorFactory();

}  // namespace vexa::ide
