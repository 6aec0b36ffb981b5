#pragma once

// A VXBasic program: one .bas file that is a project and its only module at
// once. It keeps the breakpoints and watches, owns the VXBasic worker
// (compiler, simulator and downloader, TQuorin) that is also its simulation,
// compiles in the background and closes itself when its editor closes.
// Main thread.

#include "model/core/InterfaceList.h"
#include "model/core/LineNumberList.h"
#include "model/core/VexaIntfs.h"
#include "model/workers/Quorin.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QTimer;

namespace vexa::ide {

namespace detail {
// IVexaModule and IVexaProject both name a GetName; the two sides of the
// VXBasic project answer differently.
class TBasicModuleSide : public IVexaModule {
 public:
  QString GetName() final { return GetModuleName(); }
  virtual QString GetModuleName() = 0;
};
class TBasicProjectSide : public IVexaProject {
 public:
  QString GetName() final { return GetProjectName(); }
  virtual QString GetProjectName() = 0;
};
}  // namespace detail

class TVexaBASICProjectAndModule final
    : public detail::TBasicModuleSide,
      public detail::TBasicProjectSide,
      public std::enable_shared_from_this<TVexaBASICProjectAndModule> {
  struct TPassKey {};

 public:
  // Makes the project of FileName (empty: untitled), registers it with the
  // main window, reads its state file, opens its editor and starts the first
  // compile. Seams go to its worker.
  static Ref<TVexaBASICProjectAndModule> Create(const QString& FileName, TQuorinSeams Seams = {});
  TVexaBASICProjectAndModule(TPassKey, const QString& FileName, TQuorinSeams Seams);
  // Releases the untitled number, adds the file to the recent projects and
  // frees the worker.
  ~TVexaBASICProjectAndModule() override;

  Ref<IVexaModule> ModuleRef() { return shared_from_this(); }
  Ref<IVexaProject> ProjectRef() { return shared_from_this(); }
  // The worker, none before the first compile request or after Close.
  const std::shared_ptr<TQuorin>& Worker() const { return worker_; }

  // IVexaModule
  bool CanRunToLine(int Line) override;
  void ClearBreakpoints() override;
  int GetLineFlags(int Line) override;
  std::optional<TSourceText> GetSource() override;
  bool HasBreakpoints() override;
  bool CanRenameTo(const QString& NewFileName) override;
  void TextChanged() override;
  void ClearCompileState() override;
  void RunToLine(int Line) override;
  void SetFileName(const QString& FileName) override;
  // Besides the line infos: a compile without errors of the text the
  // editor still shows clears NeedsCompile.
  void SetLineInfos(bool HasErrors, const QByteArray& Infos) override;
  void LinesDeleted(int FirstLine, int Count) override;
  void LinesInserted(int FirstLine, int Count) override;
  void TextSaved() override;
  void ToggleBreakpoint(int Line) override;
  void ToggleUsed() override;
  void UpdateReadOnly() override;
  int GetBreakpointCount() override;
  int GetBreakpoint(int Index) override;
  QString GetFileName() override;
  QString GetFileTitle() override;
  bool HasErrors() override;
  bool IsProjectFile() override;
  int GetModuleNumber() override;
  TModuleKind GetKind() override;
  QString GetModuleName() override;  // "[BASIC-Modul]"
  bool NeedsCompile() override;
  Ref<IVexaProject> GetProject() override;
  bool IsReadOnly() override;
  Ref<IVexaSourceEditor> GetEditor() override;
  bool IsUsed() override;
  bool HasLineInfos() override;
  void SetModuleNumber(int Number) override;
  void SetNeedsCompile(bool Flag) override;
  // None while the program does not run: the main window removes the project.
  void SetEditor(const Ref<IVexaSourceEditor>& Editor) override;
  void SetUsed(bool Flag) override;

  // IVexaProject
  bool Activate() override;
  void AddWatch(const Ref<IVexaModule>& Module, int Line, const QString& Identifier) override;
  // Names compared ignoring case.
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
  // Writes the state file once, drops its messages and watches, releases the
  // simulation and frees the worker (its thread is joined).
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
  bool InsertModule() override;
  Ref<IVexaModule> FindModule(const QString& FileName) override;
  bool MoveModule(const Ref<IVexaModule>& Module, bool Up) override;
  bool Save() override;
  void ModuleChanged(const Ref<IVexaModule>& Module, bool Structural) override;
  void PausedAt(bool Show, int ModuleNumber, int Line) override;
  void BreakpointsChanged() override;
  QString GetProjectName() override;  // "Unbenannt<n>.bas" or the file name
  bool IsSingleModule() override;
  bool HasChanges() override;
  int GetModuleCount() override;
  Ref<IVexaModule> GetModule(int Index) override;
  bool GetModified() override;
  bool IsRunning() override;
  Ref<IVexaWatch> GetWatch(int Index) override;
  int GetWatchCount() override;
  void RunningChanged(bool Running) override;

 private:
  void Init();
  // Compile now (Delayed false, when the worker can) or after the
  // background delay; nothing with background compilation off.
  void Schedule(bool Delayed);
  bool EnsureWorker();
  bool OwnsSimulation() const;
  // Releases another project's simulation when it agrees, then publishes ours.
  void TakeSimulation();
  void ReleaseSimulation();
  int GetLineInfo(int Line) const;
  void ReleaseUntitledNumber();

  TQuorinSeams seams_;
  bool closed_ = false;
  bool removed_ = false;
  std::shared_ptr<TQuorin> worker_;
  std::unique_ptr<QTimer> compileTimer_;
  TVexaLineNumberList breakpoints_;
  TLineShiftLog unsavedShifts_;  // since the editor's text was last as on disk
  QString fileName_;
  bool hasErrors_ = false;
  QByteArray lineInfos_;
  bool needsCompile_ = true;
  bool newFile_ = false;
  int untitledNumber_ = -1;
  bool running_ = false;
  Ref<IVexaSourceEditor> editor_;
  bool lineInfosValid_ = false;
  TVexaInterfaceList<IVexaWatch> watches_;
  // Text changes counted, and the count when the worker fetched the text.
  unsigned textVersion_ = 0;
  unsigned fetchedVersion_ = ~0u;
};

// Creates VXBasic projects (published as BASICProjectFactory at start-up).
class TVexaBASICFactory final : public IVexaProjectFactory {
 public:
  explicit TVexaBASICFactory(TQuorinSeams Seams = {}) : seams_(std::move(Seams)) {}
  Ref<IVexaProject> CreateProject(const QString& FileName) override;

 private:
  TQuorinSeams seams_;
};

}  // namespace vexa::ide
