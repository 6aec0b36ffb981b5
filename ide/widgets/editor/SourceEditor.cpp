#include "widgets/editor/SourceEditor.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "widgets/editor/EditorFormSheet.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/shared/PaletteColors.h"

#include <Qsci/qscilexer.h>

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QMimeData>
#include <QSaveFile>
#include <QTabWidget>

namespace vexa::ide {

namespace {

// The editor's share of the project commands: those of the active project
// and of its own module's project.
class TEditorProjectCommands : public IProjectCommands {
 public:
  explicit TEditorProjectCommands(TSourceEditor* Editor) : editor_(Editor) {}
  void Detach() { editor_ = nullptr; }

  bool CanActivate() override { return VexaIDE && VexaIDE->GetActiveProject(); }
  bool CanClose() override { return CanActivate(); }
  bool CanDeleteModule() override { return false; }
  bool CanEditModules(TModuleKind Kind) override {
    Ref<IVexaProject> project = ActiveProject();
    return project && project->CanEditModules(Kind);
  }
  bool CanInsertModule() override {
    Ref<IVexaProject> project = ActiveProject();
    return project && project->CanInsertModule();
  }
  bool CanOpenModuleSource() override { return false; }
  bool CanToggleUsedInProject() override { return false; }
  bool IsUsedInProject() override { return false; }
  void Activate() override {
    if (Ref<IVexaProject> project = ModuleProject(); project && VexaIDE) {
      VexaIDE->SetActiveProject(project);
    }
  }
  void Close() override {
    if (Ref<IVexaProject> project = ModuleProject(); project && VexaIDE) {
      VexaIDE->RemoveProject(project);
    }
  }
  void DeleteModule() override {}
  void EditModules(TModuleKind Kind) override {
    if (Ref<IVexaProject> project = ActiveProject()) {
      project->EditModules(Kind);
    }
  }
  void InsertModule() override {
    if (Ref<IVexaProject> project = ActiveProject()) {
      project->InsertModule();
    }
  }
  void OpenModuleSource() override {}
  void ToggleUsedInProject() override {}

 private:
  Ref<IVexaProject> ModuleProject() {
    Ref<IVexaModule> module = editor_ ? editor_->GetModule() : nullptr;
    return module ? module->GetProject() : nullptr;
  }

  TSourceEditor* editor_;
};

// The tool chain's sources take ASCII (and a new file) as Windows-1252 until
// a character does not fit; other files take ASCII as UTF-8.
TTextEncoding AsciiEncodingOf(TFileKind Kind) {
  return Kind == TFileKind::V2Module || Kind == TFileKind::BasicProject ? TTextEncoding::Windows1252
                                                                        : TTextEncoding::Utf8;
}

QByteArray HashOf(const QByteArray& Bytes) {
  return QCryptographicHash::hash(Bytes, QCryptographicHash::Sha256);
}

template <class I>
void RemoveHandler(Ref<I>& Handler, const I* Own) {
  if (Handler.get() == Own) Handler.reset();
}

}  // namespace

TSourceEditorHooks& SourceEditorHooks() {
  static TSourceEditorHooks hooks;
  return hooks;
}

TSourceEditor::TSourceEditor(const QString& FileName, TFileKind Kind)
    : fileName_(FileName),
      kind_(Kind),
      projectCommands_(std::make_shared<TEditorProjectCommands>(this)) {
  textFormat_.Encoding = AsciiEncodingOf(Kind);
}

TSourceEditor::~TSourceEditor() {
  FocusLeft();
  static_cast<TEditorProjectCommands*>(projectCommands_.get())->Detach();
  ReleaseUntitledNumber();
  if (form_) {
    form_->Editor = nullptr;
    form_->SynEditor->OnGetLineMarker = nullptr;
  }
  if (sheet_) sheet_->deleteLater();
}

TVexaEditControl* TSourceEditor::Control() const { return form_ ? form_->SynEditor : nullptr; }
TSourceEditorForm* TSourceEditor::Form() const { return form_; }
TEditorFormSheet* TSourceEditor::Sheet() const { return sheet_; }

void TSourceEditor::Attach(TSourceEditorForm* Form, TEditorFormSheet* Sheet) {
  form_ = Form;
  sheet_ = Sheet;
  Form->Editor = this;
  if (module_) {
    fileName_ = module_->GetFileName();
  } else if (fileName_.isEmpty() && CommandsModule) {
    untitledNumber_ = CommandsModule->AllocateUntitledNumber();
  }
  if (VexaIDE) VexaIDE->AddEditor(shared_from_this());
  ApplySettings(true);
  if (!LoadFile()) {
    newFile_ = true;
    Control()->setText(QString());
  }
  Control()->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
  Control()->setModified(false);
  form_->TextPresent = -1;
  UpdateCaption();
}

bool TSourceEditor::LoadFile() {
  if (fileName_.isEmpty()) return false;
  QFile file(fileName_);
  if (!QFileInfo(file).isFile()) return false;
  bool read = file.open(QIODevice::ReadOnly);
  const QByteArray bytes = read ? file.readAll() : QByteArray();
  read = read && file.error() == QFileDevice::NoError;
  if (read) {
    diskFile_ = fileName_;
    diskHash_ = HashOf(bytes);
  }
  TDecodedText decoded = DecodeText(bytes, AsciiEncodingOf(kind_));
  textFormat_ = decoded.Format;
  TVexaEditControl* control = Control();
  control->setEolMode(textFormat_.LineEnd == TLineEnd::CRLF ? QsciScintilla::EolWindows
                      : textFormat_.LineEnd == TLineEnd::CR ? QsciScintilla::EolMac
                                                            : QsciScintilla::EolUnix);
  loading_ = true;
  SetWholeText(control, decoded.Text);
  loading_ = false;
  // Only a text shown whole may be saved again: anything else stays empty,
  // read-only and unwritten.
  refused_ = !read || WholeText(control) != decoded.Text;
  if (refused_) {
    SetWholeText(control, QString());
    ShowErrorFmt(
        QStringLiteral("Die Datei \"%s\" kann nicht vollständig gelesen werden und wird nicht "
                       "geöffnet!"),
        fileName_);
  }
  control->setReadOnly(refused_ || IsReadOnlyFile(fileName_));
  return true;
}

bool TSourceEditor::WriteFile(const QString& FileName) {
  TTextFormat format = textFormat_;
  const QByteArray bytes = EncodeText(WholeText(Control()), format);
  QSaveFile file(FileName);
  // In a folder that cannot be written, the file itself is written in place.
  file.setDirectWriteFallback(true);
  if (!refused_ && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
      file.commit()) {
    textFormat_ = format;
    diskFile_ = FileName;
    diskHash_ = HashOf(bytes);
    return true;
  }
  ShowErrorFmt(QStringLiteral("Fehler beim Schreiben der Datei \"%s\"!"), FileName);
  return false;
}

bool TSourceEditor::MayOverwrite(const QString& FileName) {
  if (FileName != diskFile_) return true;
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError || HashOf(bytes) == diskHash_) return true;
  return ConfirmFmt(QStringLiteral("Die Datei \"%s\" wurde außerhalb der Entwicklungsumgebung "
                                   "geändert. Trotzdem speichern?"),
                    FileName);
}

void TSourceEditor::ReleaseUntitledNumber() {
  if (untitledNumber_ > 0 && CommandsModule) CommandsModule->ReleaseUntitledNumber(untitledNumber_);
  untitledNumber_ = -1;
}

void TSourceEditor::UpdateCaption() {
  if (!sheet_ || !sheet_->PageControl()) return;
  QTabWidget* pages = sheet_->PageControl();
  const int index = pages->indexOf(sheet_);
  if (index >= 0) pages->setTabText(index, GetDisplayName());
}

// IVexaSourceEditor

void TSourceEditor::Activate() {
  if (!form_ || Control()->hasFocus()) return;
  if (sheet_ && sheet_->PageControl()) sheet_->PageControl()->setCurrentWidget(sheet_);
  form_->show();
  Control()->setFocus(Qt::OtherFocusReason);
}

void TSourceEditor::RepaintLine(int Line) {
  if (form_) Control()->RepaintLine(Line);
}

bool TSourceEditor::CloseQuery() {
  if (!GetModified()) return true;
  Activate();
  switch (ConfirmCancel(QStringLiteral("Soll der geänderte Quelltext gespeichert werden?"))) {
    case IdYes: return Save();
    case IdNo: return true;
    default: return false;
  }
}

void TSourceEditor::Close() {
  std::shared_ptr<TSourceEditor> self = shared_from_this();
  if (!module_ && !fileName_.isEmpty() && CommandsModule) CommandsModule->AddRecentFile(fileName_);
  SetModule(nullptr);
  FocusLeft();
  if (VexaIDE) VexaIDE->RemoveEditor(self);
  if (sheet_) sheet_->deleteLater();
}

std::optional<TSourceText> TSourceEditor::GetText() {
  if (!form_ || refused_) return std::nullopt;
  return TSourceText{WholeText(Control()), Control()->lines(), textFormat_.Encoding};
}

void TSourceEditor::NotifyTextChanged() {
  if (module_) module_->TextChanged();
}

void TSourceEditor::RefreshBreakpointLines() {
  SetErrorLine(-1);
  RepaintLine(-1);
}

void TSourceEditor::ApplySettings() { ApplySettings(false); }

void TSourceEditor::ApplySettings(bool Creating) {
  if (!form_) return;
  TVexaEditControl* control = Control();
  const QPalette palette = control->palette();
  control->setAutoIndent(options::AutoIndent);
  if (Creating) control->setOverwriteMode(!options::InsertMode);
  control->SendScintilla(QsciScintilla::SCI_SETMOUSEDOWNCAPTURES, 1);
  control->viewport()->setAcceptDrops(options::DragDropEditing);
  control->SetGutterVisible(options::ShowGutter);
  control->setMarginsBackgroundColor(palette.color(QPalette::Button));
  if (options::ShowRightEdge) {
    control->setEdgeMode(QsciScintilla::EdgeLine);
    control->setEdgeColumn(80);
  } else {
    control->setEdgeMode(QsciScintilla::EdgeNone);
  }
  QFont font(options::EditorFontFace);
  font.setPointSize(options::EditorFontSize);
  font.setStyleHint(QFont::TypeWriter);
  control->setFont(font);
  control->setSelectionBackgroundColor(
      ResolveColor(options::SelectedTextBG, palette, palette.color(QPalette::Highlight)));
  control->setSelectionForegroundColor(
      ResolveColor(options::SelectedTextFG, palette, palette.color(QPalette::HighlightedText)));
  const auto look = [&](int Look, TVexaColor Bg, TVexaColor Fg) {
    control->DefineLineLook(Look, ResolveColor(Bg, palette), ResolveColor(Fg, palette));
  };
  look(LineLookError, options::ErrorLineBG, options::ErrorLineFG);
  look(LineLookExecution, options::CurrentLineBG, options::CurrentLineFG);
  look(LineLookBreakpoint, options::BreakpointLineBG, options::BreakpointLineFG);
  look(LineLookInvalidBreakpoint, options::InvalidBreakpointLineBG,
       options::InvalidBreakpointLineFG);

  // The highlighter: a fresh lexer that reads the shared attributes.
  QsciLexer* old = control->lexer();
  QsciLexer* lexer = nullptr;
  const auto& create = SourceEditorHooks().CreateLexer;
  if (options::UseSyntaxHighlighting && create &&
      (kind_ == TFileKind::V2Module || kind_ == TFileKind::BasicProject)) {
    lexer = create(kind_, control);
  }
  control->setLexer(lexer);
  if (!lexer) control->setFont(font);
  delete old;
  control->RepaintLine(-1);
}

bool TSourceEditor::Save() {
  if (!form_) return false;
  const QString name = GetFileName();
  if (name.isEmpty()) return SaveAsDialog();
  if (!MayOverwrite(name) || !WriteFile(name)) return false;
  Control()->setModified(false);
  if (module_) module_->TextSaved();
  newFile_ = false;
  ReleaseUntitledNumber();
  UpdateStatusPanels(false, true, false);
  return true;
}

bool TSourceEditor::SaveAsDialog() {
  if (!form_) return false;
  if (VexaIDE) VexaIDE->SetActiveEditor(shared_from_this());
  QString name = GetFileName();
  if (!CommandsModule || !CommandsModule->ExecuteSaveDialog(kind_, name)) return false;
  if (module_ ? !module_->CanRenameTo(name) : name.isEmpty()) return false;
  // The new name is taken only once the file is written: a failed write
  // leaves the editor, its module and the disk as they were.
  if (!WriteFile(name)) return false;
  if (module_) {
    module_->SetFileName(name);
    module_->TextSaved();
  }
  fileName_ = name;
  newFile_ = false;
  ReleaseUntitledNumber();
  if (form_) {
    Control()->setModified(false);
    UpdateCaption();
    UpdateStatusPanels(false, true, false);
  }
  return true;
}

void TSourceEditor::SetCaret(TCaretPos Pos) {
  if (!form_) return;
  if (Pos.Line != Control()->Caret().Line) Control()->SetCaret(Pos);
}

void TSourceEditor::SetExecutionLine(int Line) {
  if (!form_ || Line == form_->ExecutionLine) return;
  const int old = std::exchange(form_->ExecutionLine, Line);
  const int count = Control()->lines();
  if (old >= 1 && old <= count) RepaintLine(old);
  if (Line >= 1 && Line <= count) {
    RepaintLine(Line);
    SetCaret({1, Line});
  }
}

void TSourceEditor::SetErrorLine(int Line) {
  if (!form_ || Line == form_->ErrorLine) return;
  const int old = std::exchange(form_->ErrorLine, Line);
  const int count = Control()->lines();
  if (old >= 1 && old <= count) RepaintLine(old);
  if (Line >= 1 && Line <= count) {
    RepaintLine(Line);
    SetCaret({1, Line});
    form_->ErrorLineCaret = Control()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  }
}

void TSourceEditor::UpdateReadOnly() {
  if (!module_ || !form_) return;
  if (module_->IsReadOnly()) {
    Control()->setReadOnly(true);
  } else {
    SetExecutionLine(-1);
    Control()->setReadOnly(refused_ || (!fileName_.isEmpty() && IsReadOnlyFile(fileName_)));
  }
  UpdateStatusPanels(false, false, true);
}

QString TSourceEditor::GetFileName() { return module_ ? module_->GetFileName() : fileName_; }

QString TSourceEditor::GetDisplayName() {
  if (module_) return module_->GetFileTitle();
  if (untitledNumber_ > 0) {
    const QString extension = kind_ == TFileKind::V2Module       ? QStringLiteral(".v2")
                              : kind_ == TFileKind::BasicProject ? QStringLiteral(".bas")
                                                                 : QString();
    return QStringLiteral("Unbenannt%1").arg(untitledNumber_) + extension;
  }
  return ExtractFileName(fileName_);
}

bool TSourceEditor::IsTextModified() { return form_ && Control()->isModified(); }

Ref<IVexaModule> TSourceEditor::GetModule() { return module_; }

bool TSourceEditor::GetModified() { return form_ && (newFile_ || Control()->isModified()); }

void TSourceEditor::SetModule(const Ref<IVexaModule>& Module) {
  if (Module == module_) return;
  if (Ref<IVexaModule> old = std::exchange(module_, nullptr)) {
    old->SetEditor(nullptr);
    fileName_ = old->GetFileName();
  }
  module_ = Module;
  if (module_) module_->SetEditor(shared_from_this());
  if (form_) {
    form_->ExecutionLine = -1;
    form_->ErrorLine = -1;
    RepaintLine(-1);
  }
}

// IEditCommands

bool TSourceEditor::CanCopy() { return form_ && Control()->hasSelectedText(); }
bool TSourceEditor::CanCut() { return CanCopy() && !Control()->isReadOnly(); }
bool TSourceEditor::CanDelete() { return CanCut(); }
bool TSourceEditor::CanPaste() {
  if (!form_) return false;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data && data->hasText();
}
bool TSourceEditor::CanRedo() { return form_ && Control()->isRedoAvailable(); }
bool TSourceEditor::CanSelectAll() { return TextPresent(); }
bool TSourceEditor::CanUndo() { return form_ && Control()->isUndoAvailable(); }
void TSourceEditor::Copy() {
  if (form_) Control()->copy();
}
void TSourceEditor::Cut() {
  if (form_) Control()->cut();
}
void TSourceEditor::Delete() {
  if (form_) Control()->removeSelectedText();
}
void TSourceEditor::Paste() {
  if (form_) Control()->paste();
}
void TSourceEditor::Redo() {
  if (form_) Control()->ExecuteCommand(TEditorCommand::Redo);
}
void TSourceEditor::SelectAll() {
  if (form_) Control()->selectAll();
}
void TSourceEditor::Undo() {
  if (form_) Control()->ExecuteCommand(TEditorCommand::Undo);
}

bool TSourceEditor::TextPresent() {
  if (!form_) return false;
  if (form_->TextPresent < 0) {
    form_->TextPresent = 0;
    const int count = Control()->lines();
    for (int line = 0; line < count; ++line) {
      if (Control()->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, line) >
          Control()->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line)) {
        form_->TextPresent = 1;
        break;
      }
    }
  }
  return form_->TextPresent == 1;
}

// IFileCommands

bool TSourceEditor::CanPrint() { return SourceEditorHooks().Print && TextPresent(); }
bool TSourceEditor::CanSave() { return GetModified(); }
bool TSourceEditor::CanSaveAs() { return form_ != nullptr; }
void TSourceEditor::Print() {
  if (CanPrint()) SourceEditorHooks().Print(*this);
}
void TSourceEditor::SaveAs() { SaveAsDialog(); }

// ISearchCommands

bool TSourceEditor::CanFindDefinition() {
  if (!form_ || !HasIdentifierAtCaret()) return false;
  Ref<IVexaProject> project = ModuleProject();
  return project && project->CanFindDeclaration();
}
bool TSourceEditor::CanReturnFromDefinition() {
  if (!form_) return false;
  Ref<IVexaProject> project = ModuleProject();
  return project && project->CanReturnFromDefinition();
}
bool TSourceEditor::CanReplace() {
  return SourceEditorHooks().Replace && TextPresent() && !Control()->isReadOnly();
}
bool TSourceEditor::CanFind() { return SourceEditorHooks().Find && TextPresent(); }
bool TSourceEditor::CanFindNext() {
  return SourceEditorHooks().FindNext && TextPresent() && !options::SearchText.isEmpty();
}
bool TSourceEditor::CanFindPrev() {
  return SourceEditorHooks().FindPrev && TextPresent() && !options::SearchText.isEmpty();
}
bool TSourceEditor::IsCaseSensitive() { return options::SearchCaseSensitive; }
bool TSourceEditor::IsWholeWords() { return options::SearchWholeWordsOnly; }
void TSourceEditor::FindDefinition() {
  if (!form_) return;
  // Copies: the project opens other editors and may rebind this one.
  const Ref<IVexaModule> module = module_;
  Ref<IVexaProject> project = ModuleProject();
  const TIdentifierAtCaretInfo info = IdentifierAtCaret();
  if (project && !info.Text.isEmpty()) project->FindDeclaration(module, CaretLine(), info.Text);
}
void TSourceEditor::ReturnFromDefinition() {
  if (!form_) return;
  if (Ref<IVexaProject> project = ModuleProject()) project->ReturnFromDefinition();
}
void TSourceEditor::Replace() {
  if (CanReplace()) SourceEditorHooks().Replace(*this);
}
void TSourceEditor::Find() {
  if (CanFind()) SourceEditorHooks().Find(*this);
}
void TSourceEditor::FindNext() {
  if (CanFindNext()) SourceEditorHooks().FindNext(*this);
}
void TSourceEditor::FindPrev() {
  if (CanFindPrev()) SourceEditorHooks().FindPrev(*this);
}
void TSourceEditor::ToggleCaseSensitive() {
  options::SearchCaseSensitive = !options::SearchCaseSensitive;
}
void TSourceEditor::ToggleWholeWords() {
  options::SearchWholeWordsOnly = !options::SearchWholeWordsOnly;
}

// IDebugCommands

bool TSourceEditor::CanAddWatch() { return form_ && HasIdentifierAtCaret(); }
int TSourceEditor::CaretLine() { return Control()->Caret().Line; }
Ref<IVexaProject> TSourceEditor::ModuleProject() {
  return module_ ? module_->GetProject() : nullptr;
}

TIdentifierAtCaretInfo TSourceEditor::IdentifierAtCaret() {
  if (!form_) return {};
  TIdentifierAtCaretInfo& info = form_->IdentAtCaret;
  const long pos = Control()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  if (!info.Valid || form_->IdentAtCaretPos != pos) {
    form_->IdentAtCaretPos = pos;
    int line = 0, index = 0;
    Control()->getCursorPosition(&line, &index);
    QString text = line < Control()->lines() ? Control()->text(line) : QString();
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
    info = IdentifierAt(text, index + 1);
  }
  return info;
}
bool TSourceEditor::HasIdentifierAtCaret() { return !IdentifierAtCaret().Text.isEmpty(); }
bool TSourceEditor::CanRunToCursor() {
  return form_ && module_ && module_->CanRunToLine(CaretLine());
}
bool TSourceEditor::CanToggleBreakpoint() { return form_ && module_; }
void TSourceEditor::AddWatch() {
  if (!form_) return;
  const Ref<IVexaModule> module = module_;
  Ref<IVexaProject> project = ModuleProject();
  const TIdentifierAtCaretInfo info = IdentifierAtCaret();
  if (project && !info.Text.isEmpty()) project->AddWatch(module, CaretLine(), info.Text);
}
void TSourceEditor::RunToCursor() {
  if (form_ && module_) module_->RunToLine(CaretLine());
}
void TSourceEditor::ToggleBreakpoint() {
  if (!form_ || !module_) return;
  // The module repaints the line.
  module_->ToggleBreakpoint(CaretLine());
}

// From the form

void TSourceEditor::FocusEntered() {
  if (!form_) return;
  std::shared_ptr<TSourceEditor> self = shared_from_this();
  if (VexaIDE) VexaIDE->SetActiveEditor(self);
  UpdateStatusPanels(true, true, true);
  EditCommandHandler = self;
  FileCommandHandler = self;
  DebugCommandHandler = self;
  ProjectCommandHandler = projectCommands_;
  SearchCommandHandler = self;
}

void TSourceEditor::FocusLeft() {
  if (VexaIDE) {
    if (VexaIDE->GetActiveEditor().get() == static_cast<IVexaSourceEditor*>(this)) {
      VexaIDE->SetActiveEditor(nullptr);
    }
    VexaIDE->ClearStatusPanels();
  }
  RemoveHandler<IEditCommands>(EditCommandHandler, this);
  RemoveHandler<IFileCommands>(FileCommandHandler, this);
  RemoveHandler<IDebugCommands>(DebugCommandHandler, this);
  RemoveHandler<IProjectCommands>(ProjectCommandHandler, projectCommands_.get());
  RemoveHandler<ISearchCommands>(SearchCommandHandler, this);
}

void TSourceEditor::FormDestroyed() { form_ = nullptr; }

void TSourceEditor::CaretMoved() {
  if (!form_) return;
  form_->IdentAtCaret.Valid = false;
  UpdateStatusPanels(true, false, false);
  const long caret = Control()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  if (std::exchange(form_->ErrorLineCaret, -1) != caret) SetErrorLine(-1);
}

void TSourceEditor::TextChangedByUser() {
  if (!form_) return;
  form_->IdentAtCaret.Valid = false;
  if (loading_) return;
  form_->TextPresent = -1;
  NotifyTextChanged();
  SetExecutionLine(-1);
  SetErrorLine(-1);
}

void TSourceEditor::UpdateStatusPanels(bool Caret, bool Modified, bool Mode) {
  if (!VexaIDE || !form_) return;
  TVexaEditControl* control = Control();
  if (Caret) {
    const TCaretPos caret = control->Caret();
    VexaIDE->SetStatusText(0, QString::asprintf(" %6d:%3d ", caret.Line, caret.Column));
  }
  if (Modified) {
    VexaIDE->SetStatusText(1, control->isModified() ? QStringLiteral("Verändert") : QString());
  }
  if (Mode) {
    VexaIDE->SetStatusText(2, control->isReadOnly()      ? QStringLiteral("Nur lesen")
                              : control->overwriteMode() ? QStringLiteral("Überschreiben")
                                                         : QStringLiteral("Einfügen"));
  }
}

// Factory

std::shared_ptr<TSourceEditor> TSourceEditorFactory::Create(QTabWidget* PageControl,
                                                            const QString& FileName, TFileKind Kind,
                                                            const Ref<IVexaModule>& Module) {
  const int active = PageControl->currentIndex();
  auto* sheet = new TEditorFormSheet(PageControl);
  auto* form = new TSourceEditorForm(sheet);
  sheet->layout()->addWidget(form);
  auto editor = std::make_shared<TSourceEditor>(FileName, Kind);
  if (Module) editor->SetModule(Module);
  editor->Attach(form, sheet);
  PageControl->insertTab(active + 1, sheet, editor->GetDisplayName());
  // Choosing the tab activates the editor.
  QObject::connect(PageControl, &QTabWidget::currentChanged, sheet, [PageControl, sheet, form] {
    if (PageControl->currentWidget() == sheet) form->SynEditor->setFocus(Qt::TabFocusReason);
  });
  form->show();
  PageControl->setCurrentWidget(sheet);
  form->SynEditor->setFocus(Qt::OtherFocusReason);
  return editor;
}

Ref<IVexaSourceEditor> TSourceEditorFactory::CreateForFile(QTabWidget* PageControl,
                                                           const QString& FileName,
                                                           TFileKind Kind) {
  return Create(PageControl, FileName, Kind, nullptr);
}

Ref<IVexaSourceEditor> TSourceEditorFactory::CreateForModule(QTabWidget* PageControl,
                                                             const Ref<IVexaModule>& Module) {
  if (!Module) return nullptr;
  const TFileKind kind = Module->IsProjectFile() ? TFileKind::BasicProject : TFileKind::V2Module;
  return Create(PageControl, Module->GetFileName(), kind, Module);
}

void RegisterSourceEditorFactory() {
  SourceEditorFactory = std::make_shared<TSourceEditorFactory>();
}

}  // namespace vexa::ide
