#include "model/projects/V2Project.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Dialogs.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/core/TextCodec.h"
#include "model/files/ProjectFiles.h"
#include "model/libraries/VexaMessage.h"
#include "model/projects/V2Module.h"
#include "model/projects/VexaWatch.h"
#include "model/settings/Options.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <exception>
#include <utility>

namespace vexa::ide {

namespace {

// The panel of the main window's status bar that shows the worker's progress.
constexpr int kStatusPanel = 3;

// Untitled numbers when no command module exists (headless use).
TUntitledNumbers& SpareUntitledNumbers() {
  static TUntitledNumbers numbers;
  return numbers;
}

}  // namespace

Ref<TVexaV2Project> TVexaV2Project::Create(const QString& FileName, TV2ProjectSeams Seams) {
  auto project = std::make_shared<TVexaV2Project>(TPassKey{}, std::move(Seams));
  project->Init(FileName);
  return project;
}

TVexaV2Project::TVexaV2Project(TPassKey, TV2ProjectSeams Seams) : seams_(std::move(Seams)) {}

TVexaV2Project::~TVexaV2Project() {
  ReleaseUntitledNumber();
  if (CommandsModule && !fileName_.isEmpty()) CommandsModule->AddRecentProject(fileName_);
  compileTimer_.reset();
  compiler_.reset();
}

void TVexaV2Project::Init(const QString& FileName) {
  const Ref<IVexaProject> self = Self();
  moduleListChanged_ = true;
  AddListedModules(TModuleKind::System, options::SystemModulesPath, self, modules_);
  AddListedModules(TModuleKind::Common, options::UserCommonModulesPath, self, modules_);
  untitledNumber_ = -1;
  fileName_ = FileName;
  if (!fileName_.isEmpty()) {
    neverSaved_ = !QFileInfo::exists(fileName_);
    if (!neverSaved_) {
      ApplyV2ProjectFile(fileName_, self, modules_);
      moduleListChanged_ = true;
    }
    ReadStateFile(
        fileName_, false,
        [this](const QString& Module, int Line) {
          if (Ref<IVexaModule> module = ModuleByName(Module)) module->ToggleBreakpoint(Line);
        },
        [this](const QString& Name) { return AddWatchName(Name); });
  } else {
    neverSaved_ = true;
    spareNumber_ = !CommandsModule;
    untitledNumber_ = CommandsModule ? CommandsModule->AllocateUntitledNumber()
                                     : SpareUntitledNumbers().Allocate();
  }
  if (VexaIDE) VexaIDE->AddProject(self);
  // Becoming the active project has built it already.
  if (!VexaIDE || VexaIDE->GetActiveProject() != self) Schedule(false);
}

void TVexaV2Project::ReleaseUntitledNumber() {
  const int number = std::exchange(untitledNumber_, -1);
  if (number <= 0) return;
  if (spareNumber_)
    SpareUntitledNumbers().Release(number);
  else if (CommandsModule)
    CommandsModule->ReleaseUntitledNumber(number);
}

Ref<IVexaProject> TVexaV2Project::Self() {
  return std::static_pointer_cast<IVexaProject>(shared_from_this());
}

QString TVexaV2Project::OutputBaseName() const {
  if (!fileName_.isEmpty()) return fileName_;
  QString dir = UserDataDirectory();
  if (dir.isEmpty()) dir = QDir::tempPath() + QLatin1Char('/');
  return dir + QStringLiteral("V2_Project") + QString::number(untitledNumber_);
}

QString TVexaV2Project::CompilerProjectName() const {
  if (!fileName_.isEmpty()) return fileName_;
  return QStringLiteral("Unbenannt") + QString::number(untitledNumber_) + QStringLiteral(".v2p");
}

bool TVexaV2Project::CompileScheduled() const { return compileTimer_ && compileTimer_->isActive(); }

bool TVexaV2Project::CompileNow() {
  if (!CompileScheduled()) return false;
  CompileTick();
  return true;
}

// --- worker -----------------------------------------------------------------

TV2Compiler* TVexaV2Project::EnsureCompiler() {
  if (closed_) return nullptr;
  // A worker whose thread died after an error is replaced; the new one
  // registers every module on its first wake.
  if (compiler_ && compiler_->Finished()) compiler_.reset();
  if (compiler_) return compiler_.get();

  TV2CompilerSeams seams = seams_.Compiler;
  const std::weak_ptr<TVexaV2Project> weak = weak_from_this();
  // The worker's own messages name this project as their source; the worker
  // keeps no reference to it (the project owns the worker).
  auto sink = std::move(seams.MessageSink);
  seams.MessageSink = [weak, sink](const QList<Ref<IVexaMessage>>& Messages) {
    const Ref<TVexaV2Project> project = weak.lock();
    if (!project || project->closed_) return;
    QList<Ref<IVexaMessage>> owned;
    for (const Ref<IVexaMessage>& message : Messages)
      owned << std::make_shared<TVexaMessage>(
          project->Self(), message->GetKind() == TMessageKind::Error, message->GetText());
    if (sink)
      sink(owned);
    else
      AddToMessageView(owned);
  };
  try {
    compiler_ = std::make_shared<TV2Compiler>(CompilerProjectName(), std::move(seams));
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    return nullptr;
  }
  compiler_->OnGetModuleSource = [weak](TModuleInfoRec& Info) {
    if (const Ref<TVexaV2Project> project = weak.lock()) project->HandleGetModuleSource(Info);
  };
  compiler_->OnModuleCompiled = [weak](TModuleInfoRec& Info) {
    if (const Ref<TVexaV2Project> project = weak.lock()) project->HandleModuleCompiled(Info);
  };
  compiler_->OnGetModuleList = [weak](QStringList& Names) {
    if (const Ref<TVexaV2Project> project = weak.lock()) project->HandleGetModuleList(Names);
  };
  compiler_->OnStateChange = [weak](TV2Compiler&, TV2Compiler::TState State, const QString& Text) {
    if (const Ref<TVexaV2Project> project = weak.lock()) project->HandleStateChange(State, Text);
  };
  return compiler_.get();
}

void TVexaV2Project::Schedule(bool Delayed) {
  if (options::BackgroundCompilationV2) EnsureCompiler();
  if (!Delayed) {
    Build();
    return;
  }
  if (closed_) return;
  if (!compileTimer_) {
    compileTimer_ = std::make_unique<QTimer>();
    compileTimer_->setSingleShot(true);
    compileTimer_->setTimerType(Qt::PreciseTimer);  // the delay as set, not 5 % earlier
    const std::weak_ptr<TVexaV2Project> weak = weak_from_this();
    QObject::connect(compileTimer_.get(), &QTimer::timeout, compileTimer_.get(), [weak] {
      if (const Ref<TVexaV2Project> project = weak.lock()) project->CompileTick();
    });
  } else {
    compileTimer_->stop();
  }
  compileTimer_->setInterval(options::BackgroundCompilationDelayV2);
  compileTimer_->start();
}

void TVexaV2Project::StopCompileTimer() {
  if (compileTimer_) compileTimer_->stop();
}

void TVexaV2Project::CompileTick() {
  StopCompileTimer();
  TV2Compiler* compiler = EnsureCompiler();
  if (!compiler) return;
  if (moduleListChanged_) {
    moduleListChanged_ = false;
    compiler->RecompileAll();
    return;
  }
  for (int i = 0; i < modules_.Count(); ++i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    if (module->NeedsCompile()) {
      compiler->CompileModule(module->GetName());
      return;
    }
  }
}

void TVexaV2Project::Build() {
  StopCompileTimer();
  TV2Compiler* compiler = EnsureCompiler();
  if (!compiler) return;
  // A build after a change of the module list (before the delayed tick came)
  // registers the modules afresh first, or it would build the old list.
  if (moduleListChanged_) {
    moduleListChanged_ = false;
    compiler->RecompileAll();
  }
  compiler->Build(OutputBaseName());
}

void TVexaV2Project::ModuleChanged(const Ref<IVexaModule>& Module, bool Structural) {
  if (Structural) modified_ = true;
  built_ = false;
  StopSimulation();
  const int index = modules_.IndexOf(Module);
  if (index >= 0)
    for (int i = index; i < modules_.Count(); ++i) modules_.Get(i)->SetNeedsCompile(true);
  if (Structural) moduleListChanged_ = true;
  Schedule(true);
}

void TVexaV2Project::HandleGetModuleSource(TModuleInfoRec& Info) {
  const Ref<IVexaModule> module = closed_ ? nullptr : ModuleByName(Info.Name);
  if (!module) {
    Info.Valid = false;
    return;
  }
  SetStatus(FormatText(QStringLiteral("Compiliere Modul \"%s\"..."), {module->GetName()}));
  const std::optional<TSourceText> source = module->GetSource();
  Info.Valid = source.has_value();
  if (source) {
    Info.Source = EncodeWithoutBom(source->Text, source->Encoding);
    Info.LineCount = source->LineCount;
  }
}

void TVexaV2Project::HandleModuleCompiled(TModuleInfoRec& Info) {
  const Ref<IVexaModule> module = closed_ ? nullptr : ModuleByName(Info.Name);
  if (!module) return;
  AddToMessageView(MakeModuleMessages(Self(), module, Info.Messages));
  module->SetModuleNumber(Info.Handle);
  module->SetNeedsCompile(false);
  module->SetLineInfos(Info.ErrorCount >= 1,
                       QByteArray(reinterpret_cast<const char*>(Info.LineInfos.data()),
                                  qsizetype(Info.LineInfos.size())));
  Info.LineInfos.clear();
  SetStatus(QString());
}

void TVexaV2Project::HandleGetModuleList(QStringList& Names) {
  Names.clear();
  for (int i = 0; i < modules_.Count(); ++i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    if (module->IsUsed()) Names << module->GetName();
  }
}

void TVexaV2Project::HandleStateChange(TV2Compiler::TState State, const QString& Text) {
  if (closed_) return;
  switch (State) {
    case TV2Compiler::TState::Idle: compiling_ = false; break;
    case TV2Compiler::TState::Working:
      compiling_ = true;
      built_ = false;
      if (MessageView) MessageView->Clear();
      break;
    case TV2Compiler::TState::Compiled: break;
    case TV2Compiler::TState::Writing:
      SetStatus(QStringLiteral("Schreibe Ausgabedateien..."));
      break;
    case TV2Compiler::TState::Built: {
      built_ = true;
      // Only the active project's build becomes the simulation: a build of a
      // project the user has left must not replace the current one.
      const Ref<IVexaProject> self = Self();
      // Either way no simulation comes: the writing status must not stay.
      if (!VexaIDE || VexaIDE->GetActiveProject() != self) {
        SetStatus(QString());
        break;
      }
      if (CurrentSimulator && CurrentSimulator->CanClose()) CurrentSimulator.reset();
      if (CurrentSimulator) {
        SetStatus(QString());
        break;
      }
      SetStatus(QStringLiteral("Erstelle Simulatorobjekt..."));
      if (V2SimulationFactory) {
        try {
          CurrentSimulator =
              V2SimulationFactory->CreateSimulation(shared_from_this(), OutputBaseName());
        } catch (const std::exception& e) {
          CurrentSimulator.reset();
          SetStatus(QString());
          ShowError(QString::fromLocal8Bit(e.what()));
          break;
        }
      }
      SetStatus(QString());
      break;
    }
    case TV2Compiler::TState::Failed: SetStatus(QString()); break;
    case TV2Compiler::TState::Status: SetStatus(Text); break;
    default: break;
  }
}

void TVexaV2Project::SetStatus(const QString& Text) {
  if (!VexaIDE) return;
  VexaIDE->SetStatusText(kStatusPanel, Text.isEmpty() ? QString() : QLatin1Char(' ') + Text);
}

void TVexaV2Project::Download() {
  const int port = options::DownloadComV2;
  if (!CheckDownloadPort(port)) return;
  TV2Compiler* compiler = EnsureCompiler();
  if (!compiler) return;
  compiler->Download(port);
  compiling_ = true;
}

void TVexaV2Project::AddWatch(const Ref<IVexaModule>& Module, int Line, const QString& Identifier) {
  TV2Compiler* compiler = EnsureCompiler();
  QString fullName;
  if (!compiler || !Module ||
      !compiler->GetFullName(Module->GetName(), Line, Identifier, fullName)) {
    ShowErrorFmt(QStringLiteral("Der Bezeichner \"%s\" kann nicht überwacht werden!"), Identifier);
    return;
  }
  AddWatchName(fullName);
}

std::optional<QStringList> TVexaV2Project::GetIdentCompletions(const Ref<IVexaModule>& Module,
                                                               int Line, const QString& Text) {
  if (!compiler_ || !Module) return std::nullopt;
  QStringList list;
  if (!compiler_->GetCompletions(Module->GetName(), Line, Text, list)) return std::nullopt;
  return list;
}

void TVexaV2Project::FindDeclaration(const Ref<IVexaModule>& Module, int Line,
                                     const QString& Text) {
  TV2Compiler* compiler = EnsureCompiler();
  int defLine = 0;
  QString defModuleName;
  if (!compiler || !Module ||
      !compiler->FindDefinition(Module->GetName(), Line, Text, defLine, defModuleName)) {
    ShowErrorFmt(QStringLiteral("Der Bezeichner \"%s\" ist nicht gültig oder nicht definiert!"),
                 Text);
    return;
  }
  const QString name = Module->GetName();
  if (defModuleName == name && defLine == Line) return;
  const Ref<IVexaModule> target = defModuleName == name ? Module : ModuleByName(defModuleName);
  definitions_.emplace_back(name, Line);
  if (target) ShowAt(target, defLine);
}

bool TVexaV2Project::CanFindDeclaration() { return compiler_ && !compiling_; }

// --- model ------------------------------------------------------------------

bool TVexaV2Project::Activate() {
  Schedule(false);
  if (WatchesView) WatchesView->RefreshAll();
  return true;
}

Ref<IVexaWatch> TVexaV2Project::AddWatchName(const QString& Name) {
  for (int i = 0; i < watches_.Count(); ++i)
    if (watches_.Get(i)->GetName() == Name) return watches_.Get(i);
  const Ref<IVexaWatch> watch = std::make_shared<TVexaV2Watch>(Name);
  watches_.Add(watch);
  if (SimulationIsMine()) CurrentSimulator->Refresh();
  if (WatchesView) WatchesView->RefreshWatch(watches_.Count() - 1);
  return watch;
}

bool TVexaV2Project::CanBuild() { return !compiling_ && !running_; }

bool TVexaV2Project::CloseQuery() {
  if (!MayStopSimulation()) return false;
  if (!modified_) return true;
  switch (ConfirmCancel(QStringLiteral("Soll das geänderte Projekt gespeichert werden?"))) {
    case IdYes: return Save();
    case IdNo: return true;
    default: return false;
  }
}

bool TVexaV2Project::CanDeleteModule(const Ref<IVexaModule>& Module) {
  return !running_ && Module && Module->GetKind() == TModuleKind::Project;
}

bool TVexaV2Project::CanDownload() { return built_ && !compiling_ && !running_; }

bool TVexaV2Project::CanEditModules(TModuleKind Kind) {
  if (running_) return false;
  if (Kind == TModuleKind::Project) return true;
  if (Kind != TModuleKind::System && Kind != TModuleKind::Common) return false;
  for (int i = 0; i < modules_.Count(); ++i)
    if (modules_.Get(i)->GetKind() == Kind) return true;
  return false;
}

bool TVexaV2Project::CanReturnFromDefinition() { return !definitions_.empty(); }

bool TVexaV2Project::CanInsertModule() { return !running_; }

bool TVexaV2Project::IsModuleNameFree(const Ref<IVexaModule>& Module, const QString& NewName) {
  for (int i = 0; i < modules_.Count(); ++i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    if (module != Module && module->GetName() == NewName) return false;
  }
  return true;
}

bool TVexaV2Project::IsBuilt() { return built_; }

void TVexaV2Project::ClearAllBreakpoints() {
  clearingBreakpoints_ = true;
  for (int i = modules_.Count() - 1; i >= 0; --i) modules_.Get(i)->ClearBreakpoints();
  clearingBreakpoints_ = false;
  BreakpointsChanged();
}

void TVexaV2Project::Close() {
  // Once: a second close would write an empty state file over the real one.
  if (closed_) return;
  const Ref<IVexaProject> self = Self();
  WriteStateFile(fileName_, false, CollectProjectState(modules_, watches_));
  StopSimulation();
  modules_.Clear();
  watches_.Clear();
  if (MessageView) MessageView->RemoveMessagesOf(self);
  // The worker goes with the project's contents: nothing it reports later
  // could land anywhere.
  closed_ = true;
  compileTimer_.reset();
  compiler_.reset();
  compiling_ = false;
}

bool TVexaV2Project::MayDeactivate() {
  if (!MayStopSimulation()) return false;
  StopSimulation();
  for (int i = modules_.Count() - 1; i >= 0; --i) modules_.Get(i)->ClearCompileState();
  if (WatchesView) WatchesView->RefreshAll();
  return true;
}

bool TVexaV2Project::DeleteModule(const Ref<IVexaModule>& Module) {
  if (running_ || !Module || modules_.IndexOf(Module) < 0) return false;
  if (!ConfirmFmt(QStringLiteral("Wollen Sie das Modul \"%s\" wirklich aus dem Projekt löschen?"),
                  Module->GetName()))
    return false;
  if (const Ref<IVexaSourceEditor> editor = Module->GetEditor()) {
    if (!editor->CloseQuery()) return false;
    editor->Close();
  }
  modules_.Remove(Module);
  modified_ = true;
  moduleListChanged_ = true;
  Schedule(true);
  if (ProjectEditor) ProjectEditor->ProjectChanged(Self());
  return true;
}

void TVexaV2Project::DeleteWatch(int Index) {
  if (Index < 0 || Index >= watches_.Count()) return;
  watches_.Delete(Index);
  if (WatchesView) WatchesView->RefreshAll();
}

void TVexaV2Project::EditModules(TModuleKind Kind) { Dialogs().EditModules(Kind, Self()); }

void TVexaV2Project::ReturnFromDefinition() {
  if (definitions_.empty()) return;
  const auto [name, line] = definitions_.back();
  definitions_.pop_back();
  if (const Ref<IVexaModule> module = ModuleByName(name)) ShowAt(module, line);
}

void TVexaV2Project::ShowAt(const Ref<IVexaModule>& Module, int Line) {
  if (!VexaIDE) return;
  const Ref<IVexaSourceEditor> editor = VexaIDE->ShowModuleEditor(Module);
  if (!editor) return;
  editor->Activate();
  editor->SetCaret({1, Line});
}

bool TVexaV2Project::HasBreakpoints() {
  for (int i = 0; i < modules_.Count(); ++i)
    if (modules_.Get(i)->HasBreakpoints()) return true;
  return false;
}

bool TVexaV2Project::InsertModule() {
  if (running_ || !CommandsModule) return false;
  QString fileName = fileName_;
  if (!CommandsModule->ExecuteInsertModuleDialog(fileName)) return false;
  const QString name = ModuleNameOf(fileName);
  if (IndexOfModuleName(name) >= 0) {
    ShowErrorFmt(QStringLiteral("Das Projekt enthält bereits ein Modul \"%s\"!"), name);
    return false;
  }
  const Ref<IVexaModule> module =
      TVexaV2Module::Create(Self(), true, TModuleKind::Project, fileName);
  modules_.Add(module);
  modified_ = true;
  moduleListChanged_ = true;
  Schedule(true);
  if (ProjectEditor) {
    ProjectEditor->ProjectChanged(Self());
    ProjectEditor->SelectItem(module);
  }
  if (VexaIDE) VexaIDE->ShowModuleEditor(module);
  return true;
}

Ref<IVexaModule> TVexaV2Project::FindModule(const QString& FileName) {
  if (FileName.isEmpty()) return nullptr;
  const QString wanted = ExpandFileName(ToLocalSeparators(FileName));
  for (int i = modules_.Count() - 1; i >= 0; --i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    const QString name = ExpandFileName(ToLocalSeparators(module->GetFileName()));
    if (!name.isEmpty() && name.compare(wanted, Qt::CaseInsensitive) == 0) return module;
  }
  return nullptr;
}

bool TVexaV2Project::MoveModule(const Ref<IVexaModule>& Module, bool Up) {
  if (!Module) return false;
  const int index = IndexOfModuleName(Module->GetName());
  if (index < 0) return false;
  const int target = Up ? index - 1 : index + 1;
  if (target < 0 || target >= modules_.Count()) return false;
  // System and common modules keep their places before the project modules.
  if (modules_.Get(index)->GetKind() != TModuleKind::Project ||
      modules_.Get(target)->GetKind() != TModuleKind::Project)
    return false;
  modules_.Move(index, target);
  if (ProjectEditor) ProjectEditor->ProjectChanged(Self());
  modified_ = true;
  moduleListChanged_ = true;
  Schedule(true);
  return true;
}

bool TVexaV2Project::Save() {
  if (fileName_.isEmpty()) return SaveAs();
  return WriteProjectFile();
}

bool TVexaV2Project::SaveAs() {
  if (!CommandsModule) return false;
  QString fileName = GetName();
  if (!options::DefaultProjectPath.isEmpty())
    fileName = QDir(options::DefaultProjectPath).filePath(fileName);
  if (!CommandsModule->ExecuteSaveDialog(TFileKind::V2Project, fileName)) return false;
  fileName_ = fileName;
  // The name follows the file from now on.
  ReleaseUntitledNumber();
  if (ProjectEditor) ProjectEditor->ProjectChanged(Self());
  return WriteProjectFile();
}

bool TVexaV2Project::WriteProjectFile() {
  if (!WriteV2ProjectFile(fileName_, modules_)) return false;
  modified_ = false;
  neverSaved_ = false;
  return true;
}

void TVexaV2Project::PausedAt(bool Show, int ModuleNumber, int Line) {
  for (int i = modules_.Count() - 1; i >= 0; --i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    if (Show && module->GetModuleNumber() == ModuleNumber) {
      if (!VexaIDE) continue;
      if (const Ref<IVexaSourceEditor> editor = VexaIDE->ShowModuleEditor(module))
        editor->SetExecutionLine(Line);
    } else if (const Ref<IVexaSourceEditor> editor = module->GetEditor()) {
      editor->SetExecutionLine(-1);
    }
  }
}

void TVexaV2Project::BreakpointsChanged() {
  if (clearingBreakpoints_) return;
  if (SimulationIsMine()) CurrentSimulator->UpdateBreakpoints();
}

int TVexaV2Project::GetBreakpointCount() {
  int count = 0;
  for (int i = 0; i < modules_.Count(); ++i) count += modules_.Get(i)->GetBreakpointCount();
  return count;
}

int TVexaV2Project::GetBreakpoint(int Index) {
  if (Index < 0) return -1;
  for (int i = 0; i < modules_.Count(); ++i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    const int count = module->GetBreakpointCount();
    if (Index < count) return module->GetBreakpoint(Index);
    Index -= count;
  }
  return -1;
}

QString TVexaV2Project::GetFileName() { return fileName_; }

QString TVexaV2Project::GetName() {
  if (fileName_.isEmpty()) return CompilerProjectName();
  return ExtractFileName(fileName_);
}

bool TVexaV2Project::IsSingleModule() { return false; }

bool TVexaV2Project::HasChanges() { return modified_; }

int TVexaV2Project::GetModuleCount() { return modules_.Count(); }

Ref<IVexaModule> TVexaV2Project::GetModule(int Index) { return modules_.Get(Index); }

bool TVexaV2Project::GetModified() { return modified_ || neverSaved_; }

bool TVexaV2Project::IsRunning() { return running_; }

Ref<IVexaWatch> TVexaV2Project::GetWatch(int Index) { return watches_.Get(Index); }

int TVexaV2Project::GetWatchCount() { return watches_.Count(); }

void TVexaV2Project::RunningChanged(bool Running) {
  if (Running == running_) return;
  running_ = Running;
  if (running_ && MessageView) MessageView->Clear();
  for (int i = modules_.Count() - 1; i >= 0; --i) modules_.Get(i)->UpdateReadOnly();
}

void TVexaV2Project::ForEachBreakpoint(
    const std::function<void(int ModuleNumber, int Line)>& Callback) {
  for (int i = modules_.Count() - 1; i >= 0; --i) {
    const Ref<IVexaModule> module = modules_.Get(i);
    if (!module->IsUsed()) continue;
    const int number = module->GetModuleNumber();
    for (int k = module->GetBreakpointCount() - 1; k >= 0; --k)
      Callback(number, module->GetBreakpoint(k));
  }
}

void TVexaV2Project::ForEachWatch(
    const std::function<void(const Ref<IVexaWatch>& Watch)>& Callback) {
  for (int i = 0; i < watches_.Count(); ++i) Callback(watches_.Get(i));
  if (WatchesView) WatchesView->RefreshAll();
}

int TVexaV2Project::IndexOfModuleName(const QString& Name) const {
  for (int i = modules_.Count() - 1; i >= 0; --i)
    if (modules_.Get(i)->GetName() == Name) return i;
  return -1;
}

Ref<IVexaModule> TVexaV2Project::ModuleByName(const QString& Name) const {
  return modules_.Get(IndexOfModuleName(Name));
}

bool TVexaV2Project::SimulationIsMine() {
  return CurrentSimulator && CurrentSimulator->GetProject() == Self();
}

bool TVexaV2Project::MayStopSimulation() {
  return !SimulationIsMine() || CurrentSimulator->CanClose();
}

void TVexaV2Project::StopSimulation() {
  if (SimulationIsMine()) CurrentSimulator.reset();
}

// --- factory ----------------------------------------------------------------

Ref<IVexaProject> TVexaV2Factory::CreateProject(const QString& FileName) {
  return TVexaV2Project::Create(FileName, seams_);
}

void RegisterV2ProjectFactory() { V2ProjectFactory = std::make_shared<TVexaV2Factory>(); }

}  // namespace vexa::ide
