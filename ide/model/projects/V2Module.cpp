#include "model/projects/V2Module.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/core/TextCodec.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/LineInfos.h"
#include "model/settings/Options.h"

#include <QFile>
#include <QFileInfo>

namespace vexa::ide {

namespace {

bool IsLowerLetter(QChar C) { return C >= QLatin1Char('a') && C <= QLatin1Char('z'); }
bool IsDigit(QChar C) { return C >= QLatin1Char('0') && C <= QLatin1Char('9'); }

// Lines as the editor counts them: one more than the line ends (CR LF, LF or CR).
int CountLines(const QString& Text) {
  int lines = 1;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    if (Text[i] == u'\n') {
      ++lines;
    } else if (Text[i] == u'\r') {
      ++lines;
      if (i + 1 < Text.size() && Text[i + 1] == u'\n') ++i;
    }
  }
  return lines;
}

QStringList ModuleNames(const TVexaInterfaceList<IVexaModule>& Modules) {
  QStringList names;
  for (int i = 0; i < Modules.Count(); ++i) names << Modules.Get(i)->GetName();
  return names;
}

void AddModules(const Ref<IVexaProject>& Project, const std::vector<TModuleRecord>& Records,
                TVexaInterfaceList<IVexaModule>& Modules) {
  for (const TModuleRecord& record : Records)
    Modules.Add(TVexaV2Module::Create(Project, record.Used, record.Kind, record.FileName));
}

}  // namespace

void AddListedModules(TModuleKind Kind, const QString& Directory, const Ref<IVexaProject>& Project,
                      TVexaInterfaceList<IVexaModule>& Modules) {
  AddModules(Project, ReadModuleList(Kind, Directory, ModuleNames(Modules)), Modules);
}

void ApplyV2ProjectFile(const QString& FileName, const Ref<IVexaProject>& Project,
                        TVexaInterfaceList<IVexaModule>& Modules) {
  const TV2ProjectFileRecords file = ReadV2ProjectFile(FileName, ModuleNames(Modules));
  for (int i = 0; i < Modules.Count(); ++i) Modules.Get(i)->SetUsed(false);
  for (const QString& name : file.UsedNames) {
    // The last module of the name, as the list is searched from its end.
    for (int i = Modules.Count() - 1; i >= 0; --i) {
      if (Modules.Get(i)->GetName() != name) continue;
      Modules.Get(i)->SetUsed(true);
      break;
    }
  }
  AddModules(Project, file.Modules, Modules);
}

bool IsValidModuleName(const QString& Name) {
  if (Name.isEmpty()) return false;
  if (Name[0] != QLatin1Char('_') && !IsLowerLetter(Name[0])) return false;
  for (qsizetype i = 1; i < Name.size(); ++i) {
    const QChar c = Name[i];
    if (c != QLatin1Char('_') && !IsLowerLetter(c) && !IsDigit(c)) return false;
  }
  return true;
}

Ref<TVexaV2Module> TVexaV2Module::Create(const Ref<IVexaProject>& Project, bool Used,
                                         TModuleKind Kind, const QString& FileName) {
  return std::make_shared<TVexaV2Module>(TPassKey{}, Project, Used, Kind, FileName);
}

TVexaV2Module::TVexaV2Module(TPassKey, const Ref<IVexaProject>& Project, bool Used,
                             TModuleKind Kind, const QString& FileName) {
  if (!FileName.isEmpty()) {
    fileName_ = FileName;
    isNewFile_ = !QFileInfo::exists(FileName);
  } else {
    isNewFile_ = true;
    if (CommandsModule) untitledNumber_ = CommandsModule->AllocateUntitledNumber();
    QString dir = ToLocalSeparators(options::DefaultProjectPath);
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    fileName_ = dir + QStringLiteral("module") +
                (untitledNumber_ > 0 ? QString::number(untitledNumber_) : QString()) +
                QStringLiteral(".v2");
  }
  kind_ = Kind;
  name_ = ModuleNameOf(fileName_);
  project_ = Project;
  used_ = Kind == TModuleKind::Project || Used;
  needsCompile_ = used_;
}

TVexaV2Module::~TVexaV2Module() { ReleaseUntitledNumber(); }

void TVexaV2Module::ReleaseUntitledNumber() {
  if (untitledNumber_ > 0 && CommandsModule) CommandsModule->ReleaseUntitledNumber(untitledNumber_);
  untitledNumber_ = -1;
}

int TVexaV2Module::GetLineInfo(int Line) const {
  return LineInfoOf(lineInfos_, lineInfosValid_, Line);
}

void TVexaV2Module::InvalidateLineInfos() {
  if (!lineInfosValid_) return;
  lineInfosValid_ = false;
  if (editor_) editor_->RefreshBreakpointLines();
}

bool TVexaV2Module::CanRunToLine(int Line) {
  const Ref<IVexaSimulator> simulator = CurrentSimulator;
  if (!simulator) return false;
  const Ref<IVexaProject> project = project_.lock();
  if (!project || simulator->GetProject() != project) return false;
  return simulator->CanRun() && (GetLineInfo(Line) & kLineInfoCode) != 0;
}

void TVexaV2Module::ClearBreakpoints() {
  breakpoints_.Clear();
  if (editor_) editor_->RepaintLine(-1);
  if (const Ref<IVexaProject> project = project_.lock()) project->BreakpointsChanged();
}

int TVexaV2Module::GetLineFlags(int Line) {
  return LineFlagsOf(breakpoints_.Contains(Line), GetLineInfo(Line), hasErrors_, needsCompile_);
}

std::optional<TSourceText> TVexaV2Module::GetSource() {
  std::optional<TSourceText> text = editor_ ? editor_->GetText() : std::nullopt;
  if (text) {
    sourceCache_ = text->Text;
    lineCount_ = text->LineCount;
    sourceEncoding_ = text->Encoding;
  } else if (lineCount_ == 0) {
    QFile file(fileName_);
    if (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = file.readAll();
      if (file.error() == QFileDevice::NoError) {
        // As the editor reads a module, so the text encodes to these bytes.
        TDecodedText decoded = DecodeText(bytes, TTextEncoding::Windows1252);
        sourceCache_ = std::move(decoded.Text);
        sourceEncoding_ = decoded.Format.Encoding;
        lineCount_ = CountLines(sourceCache_);
      }
    }
  }
  if (lineInfos_.size() != lineCount_) lineInfos_.resize(lineCount_, '\0');
  return TSourceText{sourceCache_, lineCount_, sourceEncoding_};
}

bool TVexaV2Module::HasBreakpoints() { return breakpoints_.Count() > 0; }

bool TVexaV2Module::CanRenameTo(const QString& NewFileName) {
  if (kind_ != TModuleKind::Project) return false;
  const QString newName = ModuleNameOf(NewFileName);
  if (!IsValidModuleName(newName)) {
    ShowErrorFmt(QStringLiteral("\"%s\" ist kein gültiger Modulname!"), newName);
    return false;
  }
  const Ref<IVexaProject> project = project_.lock();
  if (project && !project->IsModuleNameFree(shared_from_this(), newName)) {
    ShowErrorFmt(QStringLiteral("Das Modul kann nicht von \"%s\" zu \"%s\" umbenannt werden, "
                                "wahrscheinlich enthält das Projekt bereits ein Modul dieses "
                                "Namens!"),
                 name_, newName);
    return false;
  }
  return true;
}

void TVexaV2Module::TextChanged() {
  if (const Ref<IVexaProject> project = project_.lock())
    project->ModuleChanged(shared_from_this(), false);
}

void TVexaV2Module::ClearCompileState() {
  InvalidateLineInfos();
  if (editor_) {
    editor_->SetErrorLine(-1);
    editor_->SetExecutionLine(-1);
  }
  sourceCache_.clear();
  lineCount_ = 0;
}

void TVexaV2Module::RunToLine(int Line) {
  if (const Ref<IVexaSimulator> simulator = CurrentSimulator)
    simulator->RunToCursor(moduleNumber_, Line);
}

void TVexaV2Module::SetFileName(const QString& FileName) {
  if (FileName == fileName_) return;
  fileName_ = FileName;
  name_ = ModuleNameOf(fileName_);
  ReleaseUntitledNumber();
  const Ref<IVexaModule> self = shared_from_this();
  if (const Ref<IVexaProject> project = project_.lock()) project->ModuleChanged(self, true);
  if (ProjectEditor) ProjectEditor->ItemChanged(self);
}

void TVexaV2Module::SetLineInfos(bool HasErrors, const QByteArray& Infos) {
  hasErrors_ = HasErrors;
  const bool differs = Infos != lineInfos_;
  if (differs) lineInfos_ = Infos;
  if (differs || !lineInfosValid_) {
    lineInfosValid_ = true;
    if (editor_) editor_->RefreshBreakpointLines();
  }
}

void TVexaV2Module::LinesDeleted(int FirstLine, int Count) {
  breakpoints_.LinesDeleted(FirstLine, Count);
  unsavedShifts_.Deleted(FirstLine, Count);
}

void TVexaV2Module::LinesInserted(int FirstLine, int Count) {
  breakpoints_.LinesInserted(FirstLine, Count);
  unsavedShifts_.Inserted(FirstLine, Count);
}

void TVexaV2Module::TextSaved() { unsavedShifts_.Clear(); }

void TVexaV2Module::ToggleBreakpoint(int Line) {
  breakpoints_.Toggle(Line);
  if (editor_) editor_->RepaintLine(Line);
  if (const Ref<IVexaProject> project = project_.lock()) project->BreakpointsChanged();
}

void TVexaV2Module::ToggleUsed() {
  if (kind_ != TModuleKind::System && kind_ != TModuleKind::Common) return;
  used_ = !used_;
  moduleNumber_ = 0;
  const Ref<IVexaModule> self = shared_from_this();
  if (const Ref<IVexaProject> project = project_.lock()) project->ModuleChanged(self, true);
  if (ProjectEditor) ProjectEditor->ItemChanged(self);
}

void TVexaV2Module::UpdateReadOnly() {
  if (editor_) editor_->UpdateReadOnly();
}

int TVexaV2Module::GetBreakpointCount() { return breakpoints_.Count(); }

int TVexaV2Module::GetBreakpoint(int Index) { return breakpoints_.Get(Index); }

QString TVexaV2Module::GetFileName() { return fileName_; }

QString TVexaV2Module::GetFileTitle() { return name_ + QStringLiteral(".v2"); }

bool TVexaV2Module::HasErrors() { return used_ && hasErrors_; }

bool TVexaV2Module::IsProjectFile() { return false; }

int TVexaV2Module::GetModuleNumber() { return moduleNumber_; }

TModuleKind TVexaV2Module::GetKind() { return kind_; }

QString TVexaV2Module::GetName() { return name_; }

bool TVexaV2Module::NeedsCompile() { return used_ && needsCompile_; }

Ref<IVexaProject> TVexaV2Module::GetProject() { return project_.lock(); }

bool TVexaV2Module::IsReadOnly() {
  const Ref<IVexaProject> project = project_.lock();
  return project && project->IsRunning();
}

Ref<IVexaSourceEditor> TVexaV2Module::GetEditor() { return editor_; }

bool TVexaV2Module::IsUsed() { return used_; }

bool TVexaV2Module::HasLineInfos() { return lineInfosValid_; }

void TVexaV2Module::SetModuleNumber(int Number) { moduleNumber_ = Number; }

void TVexaV2Module::SetNeedsCompile(bool Flag) {
  needsCompile_ = Flag;
  if (Flag) InvalidateLineInfos();
}

void TVexaV2Module::SetEditor(const Ref<IVexaSourceEditor>& Editor) {
  if (Editor == editor_) return;
  const Ref<IVexaSourceEditor> old = std::exchange(editor_, Editor);
  if (!old) {
    unsavedShifts_.Clear();
    return;
  }
  // The text the old editor showed is no longer the module's: without an
  // editor the next source request reads the file.
  const bool discarded = old->IsTextModified();
  sourceCache_.clear();
  lineCount_ = 0;
  if (!discarded) {
    unsavedShifts_.Clear();
    return;
  }
  // The breakpoints go back onto the lines of the file.
  unsavedShifts_.Revert(breakpoints_);
  if (const Ref<IVexaProject> project = project_.lock()) {
    project->BreakpointsChanged();
    project->ModuleChanged(shared_from_this(), false);
  }
}

void TVexaV2Module::SetUsed(bool Flag) {
  if (kind_ != TModuleKind::System && kind_ != TModuleKind::Common) return;
  used_ = Flag;
  moduleNumber_ = 0;
}

}  // namespace vexa::ide
