#pragma once

// An open V2 project: its file, its one ordered list of modules (system, then
// common, then project modules), its watches, the stack of definition jumps
// and its flags. It compiles in the background through its TV2Compiler
// worker, builds on request and hands every build made while it is the active
// project to a new simulation (the service V2SimulationFactory). Main thread.

#include "model/core/InterfaceList.h"
#include "model/core/V2SimulationProject.h"
#include "model/core/VexaIntfs.h"
#include "model/workers/V2Compiler.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QTimer;

namespace vexa::ide {

// What a V2 project uses from outside; tests give fakes.
struct TV2ProjectSeams {
  // Handed to every worker the project makes (library table, invoker, dialogs).
  TV2CompilerSeams Compiler;
};

class TVexaV2Project final : public IV2SimulationProject,
                             public std::enable_shared_from_this<TVexaV2Project> {
 public:
  // Makes the project of FileName (empty: an untitled one): reads the system
  // and common module lists, the project file and the state file, registers
  // the project with the main window (which activates it, and activation
  // builds) and builds when it did not become the active project.
  static Ref<TVexaV2Project> Create(const QString& FileName, TV2ProjectSeams Seams = {});
  // Releases the untitled number, adds the file to the recent projects, stops
  // the worker.
  ~TVexaV2Project() override;
  TVexaV2Project(const TVexaV2Project&) = delete;
  TVexaV2Project& operator=(const TVexaV2Project&) = delete;

  bool Activate() override;
  void AddWatch(const Ref<IVexaModule>& Module, int Line, const QString& Identifier) override;
  Ref<IVexaWatch> AddWatchName(const QString& Name) override;
  void Build() override;
  bool CanBuild() override;
  bool CloseQuery() override;
  bool CanDeleteModule(const Ref<IVexaModule>& Module) override;
  bool CanDownload() override;
  bool CanEditModules(TModuleKind Kind) override;
  bool CanFindDeclaration() override;
  bool CanReturnFromDefinition() override;
  bool CanInsertModule() override;
  bool IsModuleNameFree(const Ref<IVexaModule>& Module, const QString& NewName) override;
  bool IsBuilt() override;
  void ClearAllBreakpoints() override;
  // Writes the state file, drops the simulation, the modules, the watches,
  // this project's messages and the worker.
  void Close() override;
  bool MayDeactivate() override;
  bool DeleteModule(const Ref<IVexaModule>& Module) override;
  void DeleteWatch(int Index) override;
  void Download() override;
  void EditModules(TModuleKind Kind) override;
  std::optional<QStringList> GetIdentCompletions(const Ref<IVexaModule>& Module, int Line,
                                                 const QString& Text) override;
  void FindDeclaration(const Ref<IVexaModule>& Module, int Line, const QString& Text) override;
  void ReturnFromDefinition() override;
  bool HasBreakpoints() override;
  bool InsertModule() override;
  Ref<IVexaModule> FindModule(const QString& FileName) override;
  // Project modules move among themselves only.
  bool MoveModule(const Ref<IVexaModule>& Module, bool Up) override;
  bool Save() override;
  void ModuleChanged(const Ref<IVexaModule>& Module, bool Structural) override;
  void PausedAt(bool Show, int ModuleNumber, int Line) override;
  void BreakpointsChanged() override;
  int GetBreakpointCount() override;
  int GetBreakpoint(int Index) override;
  QString GetFileName() override;
  QString GetName() override;
  bool IsSingleModule() override;
  bool HasChanges() override;
  int GetModuleCount() override;
  Ref<IVexaModule> GetModule(int Index) override;
  bool GetModified() override;
  bool IsRunning() override;
  Ref<IVexaWatch> GetWatch(int Index) override;
  int GetWatchCount() override;
  void RunningChanged(bool Running) override;

  void ForEachBreakpoint(const std::function<void(int ModuleNumber, int Line)>& Callback) override;
  void ForEachWatch(const std::function<void(const Ref<IVexaWatch>& Watch)>& Callback) override;

  // The base name of the output files: the project file name, or for an
  // untitled project "V2_Project<n>" in the user's data folder.
  QString OutputBaseName() const;
  // The name of the compiler library's project: the file name, or
  // "Unbenannt<n>.v2p".
  QString CompilerProjectName() const;
  int UntitledNumber() const { return untitledNumber_; }
  bool IsCompiling() const { return compiling_; }
  bool IsNeverSaved() const { return neverSaved_; }
  bool ModuleListChanged() const { return moduleListChanged_; }
  // A delayed compilation is pending.
  bool CompileScheduled() const;
  // Runs a pending delayed compilation at once, as its timer would; false
  // when none is pending.
  bool CompileNow();
  // The worker, none before the first compilation or after Close.
  std::shared_ptr<TV2Compiler> Compiler() const { return compiler_; }
  // The definition jumps to return to: module name and line, oldest first.
  const std::vector<std::pair<QString, int>>& DefinitionStack() const { return definitions_; }

  // The worker's events (bound to the worker by the project; public for
  // tests that drive the hand-over without a worker).
  void HandleGetModuleSource(TModuleInfoRec& Info);
  void HandleModuleCompiled(TModuleInfoRec& Info);
  void HandleGetModuleList(QStringList& Names);
  void HandleStateChange(TV2Compiler::TState State, const QString& Text);

 private:
  struct TPassKey {};

 public:
  TVexaV2Project(TPassKey, TV2ProjectSeams Seams);

 private:
  void Init(const QString& FileName);
  Ref<IVexaProject> Self();
  // Back to the pool it came from; -1 afterwards.
  void ReleaseUntitledNumber();
  // The worker, made when missing (or dead); none when the library refused.
  TV2Compiler* EnsureCompiler();
  void Schedule(bool Delayed);
  void CompileTick();
  void StopCompileTimer();
  int IndexOfModuleName(const QString& Name) const;
  Ref<IVexaModule> ModuleByName(const QString& Name) const;
  bool SimulationIsMine();
  bool MayStopSimulation();
  void StopSimulation();
  void SetStatus(const QString& Text);
  void ShowAt(const Ref<IVexaModule>& Module, int Line);
  bool SaveAs();
  bool WriteProjectFile();

  TV2ProjectSeams seams_;
  std::unique_ptr<QTimer> compileTimer_;
  bool built_ = false;
  std::shared_ptr<TV2Compiler> compiler_;
  bool compiling_ = false;
  QString fileName_;
  bool clearingBreakpoints_ = false;
  std::vector<std::pair<QString, int>> definitions_;
  bool modified_ = false;
  TVexaInterfaceList<IVexaModule> modules_;
  bool moduleListChanged_ = true;
  bool neverSaved_ = false;
  int untitledNumber_ = -1;
  bool spareNumber_ = false;  // from the spare pool (no command module)
  bool running_ = false;
  TVexaInterfaceList<IVexaWatch> watches_;
  bool closed_ = false;
};

// Creates TVexaV2Project objects.
class TVexaV2Factory final : public IVexaProjectFactory {
 public:
  explicit TVexaV2Factory(TV2ProjectSeams Seams = {}) : seams_(std::move(Seams)) {}
  Ref<IVexaProject> CreateProject(const QString& FileName) override;

 private:
  TV2ProjectSeams seams_;
};

// Publishes a TVexaV2Factory in V2ProjectFactory (start-up).
void RegisterV2ProjectFactory();

}  // namespace vexa::ide
