#include "model/projects/BasicProject.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/LineInfos.h"
#include "model/projects/VexaWatch.h"
#include "model/settings/Options.h"

#include <QFileInfo>
#include <QTimer>

#include <stdexcept>

namespace vexa::ide {

Ref<TVexaBASICProjectAndModule> TVexaBASICProjectAndModule::Create(const QString& FileName,
                                                                   TQuorinSeams Seams) {
  auto project = std::make_shared<TVexaBASICProjectAndModule>(TPassKey{}, FileName, Seams);
  project->Init();
  return project;
}

TVexaBASICProjectAndModule::TVexaBASICProjectAndModule(TPassKey, const QString& FileName,
                                                       TQuorinSeams Seams)
    : seams_(std::move(Seams)), fileName_(FileName) {
  if (!FileName.isEmpty()) {
    newFile_ = !QFileInfo::exists(FileName);
  } else {
    newFile_ = true;
    if (CommandsModule) untitledNumber_ = CommandsModule->AllocateUntitledNumber();
  }
}

void TVexaBASICProjectAndModule::Init() {
  const Ref<TVexaBASICProjectAndModule> self = shared_from_this();
  if (VexaIDE) VexaIDE->AddProject(self);
  // No worker yet: the breakpoints only go into the list.
  ReadStateFile(
      fileName_, true, [this](const QString&, int Line) { breakpoints_.Toggle(Line); },
      [this](const QString& Name) { return AddWatchName(Name); });
  // Activating the project may have made the worker already.
  if (worker_) worker_->UpdateBreakpoints();
  if (VexaIDE) VexaIDE->ShowModuleEditor(self);
  Schedule(false);
  TakeSimulation();
}

TVexaBASICProjectAndModule::~TVexaBASICProjectAndModule() {
  ReleaseUntitledNumber();
  if (!fileName_.isEmpty() && CommandsModule) CommandsModule->AddRecentProject(fileName_);
  compileTimer_.reset();
  if (worker_) worker_->Shutdown();
}

void TVexaBASICProjectAndModule::ReleaseUntitledNumber() {
  if (untitledNumber_ > 0 && CommandsModule) CommandsModule->ReleaseUntitledNumber(untitledNumber_);
  untitledNumber_ = -1;
}

// Worker and simulation

bool TVexaBASICProjectAndModule::EnsureWorker() {
  if (closed_) return false;
  // A worker whose thread ended after an error is replaced.
  if (worker_ && worker_->Finished()) {
    ReleaseSimulation();
    worker_->Shutdown();
    worker_.reset();
  }
  if (worker_) return true;
  try {
    const Ref<TVexaBASICProjectAndModule> self = shared_from_this();
    worker_ = std::make_shared<TQuorin>(std::weak_ptr<IVexaModule>(self),
                                        std::weak_ptr<IVexaProject>(self), seams_);
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    return false;
  }
  worker_->UpdateBreakpoints();
  // The active project's first worker is the simulation when there is none.
  if (!CurrentSimulator && VexaIDE && VexaIDE->GetActiveProject() == ProjectRef())
    CurrentSimulator = worker_;
  return true;
}

bool TVexaBASICProjectAndModule::OwnsSimulation() const {
  return worker_ && CurrentSimulator && CurrentSimulator.get() == worker_.get();
}

void TVexaBASICProjectAndModule::TakeSimulation() {
  if (OwnsSimulation()) return;
  if (CurrentSimulator && CurrentSimulator->CanClose()) CurrentSimulator.reset();
  if (!CurrentSimulator) CurrentSimulator = worker_;
}

void TVexaBASICProjectAndModule::ReleaseSimulation() {
  if (!OwnsSimulation()) return;
  CurrentSimulator->Stop();
  CurrentSimulator.reset();
}

void TVexaBASICProjectAndModule::Schedule(bool Delayed) {
  if (!options::BackgroundCompilationBASIC || closed_) return;
  if (!Delayed) {
    if (EnsureWorker() && worker_->CanCompile()) worker_->Compile();
    return;
  }
  if (!compileTimer_) {
    compileTimer_ = std::make_unique<QTimer>();
    compileTimer_->setSingleShot(true);
    std::weak_ptr<TVexaBASICProjectAndModule> weak = shared_from_this();
    QObject::connect(compileTimer_.get(), &QTimer::timeout, [weak] {
      const Ref<TVexaBASICProjectAndModule> self = weak.lock();
      if (!self) return;
      // The timer is freed after its signal has returned.
      if (self->compileTimer_) self->compileTimer_.release()->deleteLater();
      if (self->EnsureWorker()) self->worker_->Compile();
    });
  }
  compileTimer_->start(options::BackgroundCompilationDelayBASIC);
}

int TVexaBASICProjectAndModule::GetLineInfo(int Line) const {
  return LineInfoOf(lineInfos_, lineInfosValid_, Line);
}

// IVexaModule

bool TVexaBASICProjectAndModule::CanRunToLine(int Line) {
  return OwnsSimulation() && worker_->CanRun() && (GetLineInfo(Line) & kLineInfoCode) != 0;
}

void TVexaBASICProjectAndModule::ClearBreakpoints() {
  breakpoints_.Clear();
  if (editor_) editor_->RepaintLine(-1);
  if (worker_) worker_->UpdateBreakpoints();
}

int TVexaBASICProjectAndModule::GetLineFlags(int Line) {
  return LineFlagsOf(breakpoints_.Contains(Line), GetLineInfo(Line), hasErrors_, needsCompile_);
}

std::optional<TSourceText> TVexaBASICProjectAndModule::GetSource() {
  std::optional<TSourceText> text = editor_ ? editor_->GetText() : std::nullopt;
  if (!text) {
    lineInfos_.clear();
    return std::nullopt;
  }
  lineInfos_.resize(std::max(text->LineCount, 0));
  fetchedVersion_ = textVersion_;
  return text;
}

bool TVexaBASICProjectAndModule::HasBreakpoints() { return breakpoints_.Count() > 0; }

bool TVexaBASICProjectAndModule::CanRenameTo(const QString& NewFileName) {
  return !NewFileName.isEmpty();
}

void TVexaBASICProjectAndModule::TextChanged() {
  ++textVersion_;
  const Ref<TVexaBASICProjectAndModule> self = shared_from_this();
  if (!VexaIDE || VexaIDE->GetActiveProject() != Ref<IVexaProject>(self)) return;
  SetNeedsCompile(true);
  ModuleChanged(self, false);
}

void TVexaBASICProjectAndModule::ClearCompileState() {}

void TVexaBASICProjectAndModule::RunToLine(int Line) {
  if (OwnsSimulation()) worker_->RunToCursor(0, Line);
}

void TVexaBASICProjectAndModule::SetFileName(const QString& FileName) {
  if (FileName.isEmpty()) return;
  fileName_ = FileName;
  newFile_ = true;
  ReleaseUntitledNumber();
  if (ProjectEditor) ProjectEditor->ProjectChanged(shared_from_this());
}

void TVexaBASICProjectAndModule::SetLineInfos(bool HasErrors, const QByteArray& Infos) {
  hasErrors_ = HasErrors;
  const bool differs = Infos != lineInfos_;
  if (differs) lineInfos_ = Infos;
  bool repaint = differs || !lineInfosValid_;
  lineInfosValid_ = true;
  // The compiled text is the one the editor shows: the project is built.
  if (!HasErrors && needsCompile_ && fetchedVersion_ == textVersion_) {
    needsCompile_ = false;
    repaint = true;
  }
  if (repaint && editor_) editor_->RefreshBreakpointLines();
}

void TVexaBASICProjectAndModule::LinesDeleted(int FirstLine, int Count) {
  breakpoints_.LinesDeleted(FirstLine, Count);
  unsavedShifts_.Deleted(FirstLine, Count);
}

void TVexaBASICProjectAndModule::LinesInserted(int FirstLine, int Count) {
  breakpoints_.LinesInserted(FirstLine, Count);
  unsavedShifts_.Inserted(FirstLine, Count);
}

void TVexaBASICProjectAndModule::TextSaved() { unsavedShifts_.Clear(); }

void TVexaBASICProjectAndModule::ToggleBreakpoint(int Line) {
  breakpoints_.Toggle(Line);
  if (editor_) editor_->RepaintLine(Line);
  if (worker_) worker_->UpdateBreakpoints();
}

void TVexaBASICProjectAndModule::ToggleUsed() {}
void TVexaBASICProjectAndModule::UpdateReadOnly() {}
int TVexaBASICProjectAndModule::GetBreakpointCount() { return breakpoints_.Count(); }
int TVexaBASICProjectAndModule::GetBreakpoint(int Index) { return breakpoints_.Get(Index); }
QString TVexaBASICProjectAndModule::GetFileName() { return fileName_; }
QString TVexaBASICProjectAndModule::GetFileTitle() { return GetProjectName(); }
bool TVexaBASICProjectAndModule::HasErrors() { return hasErrors_; }
bool TVexaBASICProjectAndModule::IsProjectFile() { return true; }
int TVexaBASICProjectAndModule::GetModuleNumber() { return 0; }
TModuleKind TVexaBASICProjectAndModule::GetKind() { return TModuleKind::Project; }
QString TVexaBASICProjectAndModule::GetModuleName() { return QStringLiteral("[BASIC-Modul]"); }
bool TVexaBASICProjectAndModule::NeedsCompile() { return needsCompile_; }
Ref<IVexaProject> TVexaBASICProjectAndModule::GetProject() { return shared_from_this(); }
bool TVexaBASICProjectAndModule::IsReadOnly() { return running_; }
Ref<IVexaSourceEditor> TVexaBASICProjectAndModule::GetEditor() { return editor_; }
bool TVexaBASICProjectAndModule::IsUsed() { return true; }
bool TVexaBASICProjectAndModule::HasLineInfos() { return lineInfosValid_; }
void TVexaBASICProjectAndModule::SetModuleNumber(int) {}

void TVexaBASICProjectAndModule::SetNeedsCompile(bool Flag) {
  needsCompile_ = Flag;
  if (Flag && lineInfosValid_) {
    lineInfosValid_ = false;
    if (editor_) editor_->RefreshBreakpointLines();
  }
}

void TVexaBASICProjectAndModule::SetEditor(const Ref<IVexaSourceEditor>& Editor) {
  if (Editor == editor_) return;
  // Removing the project may free everything else that refers to it.
  const Ref<TVexaBASICProjectAndModule> self = shared_from_this();
  const Ref<IVexaSourceEditor> old = std::exchange(editor_, Editor);
  if (old && old->IsTextModified()) {
    // The breakpoints go back onto the lines of the file.
    unsavedShifts_.Revert(breakpoints_);
    if (worker_) worker_->UpdateBreakpoints();
  }
  unsavedShifts_.Clear();
  if (editor_ || running_ || removed_) return;
  removed_ = true;
  if (VexaIDE) VexaIDE->RemoveProject(self);
}

void TVexaBASICProjectAndModule::SetUsed(bool) {}

// IVexaProject

bool TVexaBASICProjectAndModule::Activate() {
  Schedule(false);
  TakeSimulation();
  if (WatchesView) WatchesView->RefreshAll();
  return true;
}

void TVexaBASICProjectAndModule::AddWatch(const Ref<IVexaModule>&, int, const QString& Identifier) {
  AddWatchName(Identifier);
}

Ref<IVexaWatch> TVexaBASICProjectAndModule::AddWatchName(const QString& Name) {
  for (int i = 0; i < watches_.Count(); ++i) {
    Ref<IVexaWatch> watch = watches_.Get(i);
    if (watch->GetName().compare(Name, Qt::CaseInsensitive) == 0) return watch;
  }
  Ref<IVexaWatch> watch = std::make_shared<TVexaBASICWatch>(Name);
  watches_.Add(watch);
  if (OwnsSimulation()) worker_->Refresh();
  if (WatchesView) WatchesView->RefreshWatch(watches_.Count() - 1);
  return watch;
}

void TVexaBASICProjectAndModule::Build() {
  if (EnsureWorker()) worker_->Compile();
}

bool TVexaBASICProjectAndModule::CanBuild() { return !worker_ || worker_->CanCompile(); }

bool TVexaBASICProjectAndModule::CloseQuery() { return !worker_ || worker_->CanClose(); }

bool TVexaBASICProjectAndModule::CanDeleteModule(const Ref<IVexaModule>&) { return false; }
bool TVexaBASICProjectAndModule::CanDownload() { return CanBuild(); }
bool TVexaBASICProjectAndModule::CanEditModules(TModuleKind) { return false; }
bool TVexaBASICProjectAndModule::CanFindDeclaration() { return false; }
bool TVexaBASICProjectAndModule::CanReturnFromDefinition() { return false; }
bool TVexaBASICProjectAndModule::CanInsertModule() { return false; }

bool TVexaBASICProjectAndModule::IsModuleNameFree(const Ref<IVexaModule>&, const QString&) {
  return false;
}

bool TVexaBASICProjectAndModule::IsBuilt() { return !needsCompile_ && !hasErrors_; }
void TVexaBASICProjectAndModule::ClearAllBreakpoints() { ClearBreakpoints(); }

void TVexaBASICProjectAndModule::Close() {
  const Ref<TVexaBASICProjectAndModule> self = shared_from_this();
  if (!closed_) {
    closed_ = true;
    TVexaInterfaceList<IVexaModule> modules;
    modules.Add(self);
    WriteStateFile(fileName_, true, CollectProjectState(modules, watches_));
  }
  if (MessageView) MessageView->RemoveMessagesOf(self);
  watches_.Clear();
  MayDeactivate();
  compileTimer_.reset();
  if (worker_) {
    worker_->Shutdown();
    worker_.reset();
  }
}

bool TVexaBASICProjectAndModule::MayDeactivate() {
  ReleaseSimulation();
  if (WatchesView) WatchesView->RefreshAll();
  return true;
}

bool TVexaBASICProjectAndModule::DeleteModule(const Ref<IVexaModule>&) { return false; }

void TVexaBASICProjectAndModule::DeleteWatch(int Index) {
  if (Index < 0 || Index >= watches_.Count()) return;
  watches_.Delete(Index);
  if (WatchesView) WatchesView->RefreshAll();
}

void TVexaBASICProjectAndModule::Download() {
  if (!CheckDownloadPort(options::DownloadComBASIC)) return;
  if (EnsureWorker()) worker_->CompileAndDownload();
}

void TVexaBASICProjectAndModule::EditModules(TModuleKind) {}

std::optional<QStringList> TVexaBASICProjectAndModule::GetIdentCompletions(const Ref<IVexaModule>&,
                                                                           int, const QString&) {
  return std::nullopt;
}

void TVexaBASICProjectAndModule::FindDeclaration(const Ref<IVexaModule>&, int, const QString&) {}
void TVexaBASICProjectAndModule::ReturnFromDefinition() {}
bool TVexaBASICProjectAndModule::InsertModule() { return false; }

Ref<IVexaModule> TVexaBASICProjectAndModule::FindModule(const QString&) {
  return shared_from_this();
}

bool TVexaBASICProjectAndModule::MoveModule(const Ref<IVexaModule>&, bool) { return false; }
bool TVexaBASICProjectAndModule::Save() { return false; }

void TVexaBASICProjectAndModule::ModuleChanged(const Ref<IVexaModule>&, bool) {
  if (worker_) worker_->SourceChanged();
  Schedule(true);
}

void TVexaBASICProjectAndModule::PausedAt(bool Show, int, int Line) {
  if (Show) {
    Ref<IVexaSourceEditor> editor =
        VexaIDE ? VexaIDE->ShowModuleEditor(shared_from_this()) : nullptr;
    if (editor) editor->SetExecutionLine(Line);
  } else if (Ref<IVexaSourceEditor> editor = editor_) {
    editor->SetExecutionLine(-1);
  }
}

void TVexaBASICProjectAndModule::BreakpointsChanged() {
  if (OwnsSimulation()) worker_->UpdateBreakpoints();
}

QString TVexaBASICProjectAndModule::GetProjectName() {
  if (fileName_.isEmpty())
    return QStringLiteral("Unbenannt") + QString::number(untitledNumber_) + QStringLiteral(".bas");
  return ExtractFileName(fileName_);
}

bool TVexaBASICProjectAndModule::IsSingleModule() { return true; }
bool TVexaBASICProjectAndModule::HasChanges() { return editor_ && editor_->IsTextModified(); }
int TVexaBASICProjectAndModule::GetModuleCount() { return 1; }
Ref<IVexaModule> TVexaBASICProjectAndModule::GetModule(int) { return shared_from_this(); }
bool TVexaBASICProjectAndModule::GetModified() {
  return editor_ ? editor_->GetModified() : newFile_;
}
bool TVexaBASICProjectAndModule::IsRunning() { return running_; }
Ref<IVexaWatch> TVexaBASICProjectAndModule::GetWatch(int Index) { return watches_.Get(Index); }
int TVexaBASICProjectAndModule::GetWatchCount() { return watches_.Count(); }

void TVexaBASICProjectAndModule::RunningChanged(bool Running) {
  if (Running == running_) return;
  running_ = Running;
  if (Ref<IVexaSourceEditor> editor = editor_) editor->UpdateReadOnly();
}

Ref<IVexaProject> TVexaBASICFactory::CreateProject(const QString& FileName) {
  return TVexaBASICProjectAndModule::Create(FileName, seams_);
}

}  // namespace vexa::ide
