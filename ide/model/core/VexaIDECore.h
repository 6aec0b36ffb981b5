#pragma once

// The hub of the open work behind the main window: the open projects and
// editors, the active ones, opening by kind, the close questions and the
// order of shutting down. Qt Core only; what needs the real window (status
// panels, the window itself, the editor page control) goes to a frame.

#include "model/core/InterfaceList.h"
#include "model/core/VexaIntfs.h"

#include <QString>

#include <vector>

namespace vexa::ide {

// What the hub asks of the main window.
class IVexaIDEFrame {
 public:
  virtual ~IVexaIDEFrame() = default;
  // Panel 0..3 shows Text.
  virtual void SetStatusText(int Panel, const QString& Text) = 0;
  // Owner and dock target of the tool windows.
  virtual QWidget* GetMainForm() = 0;
  // The editor page control new editors go into.
  virtual QTabWidget* GetPageControl() = 0;
};

// One entry of the open-projects submenu.
struct TProjectMenuItem {
  QString Caption;
  bool Checked = false;
};

class TVexaIDECore : public IVexaIDE {
 public:
  static constexpr int kStatusPanelCount = 4;

  // Frame may be none (tests); it must outlive the hub or be reset first.
  explicit TVexaIDECore(IVexaIDEFrame* Frame = nullptr) : frame_(Frame) {}
  void SetFrame(IVexaIDEFrame* Frame) { frame_ = Frame; }

  void AddProject(const Ref<IVexaProject>& Project) override;
  void AddEditor(const Ref<IVexaSourceEditor>& Editor) override;
  bool CanCloseProject(const Ref<IVexaProject>& Project) override;
  bool AnyModified() override;
  void ClearStatusPanels() override;
  void RemoveProject(const Ref<IVexaProject>& Project) override;
  void CloseAll() override;
  void RefreshEditors() override;
  Ref<IVexaSourceEditor> ShowModuleEditor(const Ref<IVexaModule>& Module) override;
  Ref<IVexaSourceEditor> OpenFile(const QString& FileName, TFileKind Kind) override;
  void OpenByKind(const QString& FileName, TFileKind Kind) override;
  void RemoveEditor(const Ref<IVexaSourceEditor>& Editor) override;
  void SaveAll() override;
  void SetStatusText(int Panel, const QString& Text) override;
  Ref<IVexaProject> GetActiveProject() override { return activeProject_; }
  Ref<IVexaSourceEditor> GetActiveEditor() override { return activeEditor_; }
  QWidget* GetMainForm() override;
  Ref<IVexaProject> GetProject(int Index) override { return projects_.Get(Index); }
  int GetProjectCount() override { return projects_.Count(); }
  Ref<IVexaSourceEditor> GetEditor(int Index) override { return editors_.Get(Index); }
  int GetEditorCount() override { return editors_.Count(); }
  void SetActiveEditor(const Ref<IVexaSourceEditor>& Editor) override;
  void SetActiveProject(const Ref<IVexaProject>& Project) override;

  // Binds every editor to the active project's module of its file, unless it
  // edits a VXBasic module or the active project keeps editors unbound.
  void RebindEditors();

  // The open-projects submenu: one item per project in order, the active one checked.
  std::vector<TProjectMenuItem> ProjectMenuItems();
  // The user chose item Index of that submenu.
  void ActivateProjectAt(int Index);

  // The window's close request: unsaved untitled editors, then every project
  // from the last opened to the first. False keeps the IDE open.
  bool CloseQuery();

  // The main window is going: views cleared, handlers emptied, editors and
  // projects closed last first, VexaIDE emptied when it is this hub. The
  // caller keeps its own reference to the hub.
  void Shutdown();

 private:
  Ref<IVexaProject> FindProjectByFile(const QString& FileName);
  QTabWidget* PageControl() { return frame_ ? frame_->GetPageControl() : nullptr; }

  IVexaIDEFrame* frame_;
  TVexaInterfaceList<IVexaProject> projects_;
  TVexaInterfaceList<IVexaSourceEditor> editors_;
  Ref<IVexaProject> activeProject_;
  Ref<IVexaSourceEditor> activeEditor_;
  // Projects inside RemoveProject: closing a project's last editor may ask
  // for its removal again.
  TVexaInterfaceList<IVexaProject> removing_;
};

}  // namespace vexa::ide
