#pragma once

// One source module of a V2 project: a project module, a system module or a
// common module. It keeps the module's file and name, its used flag, its
// compile state and line infos, its breakpoints and the editor bound to it.
// The project owns its modules; a module refers to its project weakly.
// Main thread.

#include "model/core/InterfaceList.h"
#include "model/core/LineNumberList.h"
#include "model/core/VexaIntfs.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace vexa::ide {

// A name the compiler accepts for a module: "_" or "a".."z" first, then
// digits, "_" and "a".."z".
bool IsValidModuleName(const QString& Name);

// The modules a V2 project's files give, made from the readers' records
// (model/files/ProjectFiles.h).
// Reads Directory/modules.txt (ReadModuleList, over the names in Modules) and
// appends a module of Kind and Project for each record, in list order.
void AddListedModules(TModuleKind Kind, const QString& Directory, const Ref<IVexaProject>& Project,
                      TVexaInterfaceList<IVexaModule>& Modules);
// Reads the project file FileName (ReadV2ProjectFile) over the modules already
// in Modules: marks them all unused, then the ones the file names used, and
// appends a used project module of Project for each of its own, in file order.
void ApplyV2ProjectFile(const QString& FileName, const Ref<IVexaProject>& Project,
                        TVexaInterfaceList<IVexaModule>& Modules);

class TVexaV2Module : public IVexaModule, public std::enable_shared_from_this<TVexaV2Module> {
 public:
  // Kind is TModuleKind::Project, TModuleKind::System or TModuleKind::Common. An empty
  // FileName makes an untitled module: its file is module<n>.v2 in the default
  // project folder, n from the command module's untitled numbers. Project
  // modules are always used.
  static Ref<TVexaV2Module> Create(const Ref<IVexaProject>& Project, bool Used, TModuleKind Kind,
                                   const QString& FileName);
  ~TVexaV2Module() override;
  TVexaV2Module(const TVexaV2Module&) = delete;
  TVexaV2Module& operator=(const TVexaV2Module&) = delete;

  // True when a simulation of this project can run and the line produced
  // code in the last compilation.
  bool CanRunToLine(int Line) override;
  void ClearBreakpoints() override;
  // LineFlag... bits: breakpoint, error on the line; without errors in the
  // module also breakpoint on compiled text and line with code.
  int GetLineFlags(int Line) override;
  // The editor's text when one is bound, else the file's text (read once,
  // decoded as the editor decodes it, kept until the compile state is
  // cleared). Always a value; an unreadable file gives an empty text.
  std::optional<TSourceText> GetSource() override;
  bool HasBreakpoints() override;
  // Asked before saving under NewFileName: false for system and common
  // modules, and with an error box for an invalid or taken name.
  bool CanRenameTo(const QString& NewFileName) override;
  void TextChanged() override;
  void ClearCompileState() override;
  void RunToLine(int Line) override;
  void SetFileName(const QString& FileName) override;
  void SetLineInfos(bool HasErrors, const QByteArray& Infos) override;
  void LinesDeleted(int FirstLine, int Count) override;
  void LinesInserted(int FirstLine, int Count) override;
  void TextSaved() override;
  void ToggleBreakpoint(int Line) override;
  // System and common modules only.
  void ToggleUsed() override;
  void UpdateReadOnly() override;
  int GetBreakpointCount() override;
  int GetBreakpoint(int Index) override;
  QString GetFileName() override;
  QString GetFileTitle() override;  // name + ".v2"
  bool HasErrors() override;        // used and errors
  bool IsProjectFile() override;    // false
  int GetModuleNumber() override;
  TModuleKind GetKind() override;
  QString GetName() override;
  bool NeedsCompile() override;  // used and needs compiling
  Ref<IVexaProject> GetProject() override;
  bool IsReadOnly() override;  // while the project runs
  Ref<IVexaSourceEditor> GetEditor() override;
  bool IsUsed() override;
  bool HasLineInfos() override;
  void SetModuleNumber(int Number) override;
  void SetNeedsCompile(bool Flag) override;
  // Binds or unbinds the editor. When an editor goes, the cached text goes
  // with it; when that editor still had unsaved changes the module counts as
  // changed (the project's ModuleChanged), so the next compile reads the file.
  void SetEditor(const Ref<IVexaSourceEditor>& Editor) override;
  // System and common modules only; no notification.
  void SetUsed(bool Flag) override;

  // The file did not exist when the module was made.
  bool IsNewFile() const { return isNewFile_; }
  // The untitled number, -1 once the module has a real file.
  int GetUntitledNumber() const { return untitledNumber_; }

 private:
  struct TPassKey {};

 public:
  TVexaV2Module(TPassKey, const Ref<IVexaProject>& Project, bool Used, TModuleKind Kind,
                const QString& FileName);

 private:
  // The line-info byte of Line; 0 without valid line infos or outside them.
  int GetLineInfo(int Line) const;
  void ReleaseUntitledNumber();
  void InvalidateLineInfos();

  TVexaLineNumberList breakpoints_;
  TLineShiftLog unsavedShifts_;  // since the editor's text was last as on disk
  QString fileName_;
  bool hasErrors_ = false;
  TModuleKind kind_ = TModuleKind::Project;
  QByteArray lineInfos_;
  int moduleNumber_ = 0;
  QString name_;
  bool needsCompile_ = false;
  bool isNewFile_ = false;
  int untitledNumber_ = -1;
  std::weak_ptr<IVexaProject> project_;
  QString sourceCache_;
  TTextEncoding sourceEncoding_ = TTextEncoding::Windows1252;
  int lineCount_ = 0;
  Ref<IVexaSourceEditor> editor_;
  bool used_ = false;
  bool lineInfosValid_ = false;
};

}  // namespace vexa::ide
