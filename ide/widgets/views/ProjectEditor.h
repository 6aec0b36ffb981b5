#pragma once

// The project tree ("Projekte"): every open project with its modules, a V2
// project in three groups, the active project in bold. While the tree has
// the focus it is the IDE's project command handler, acting on the node
// under the selection.

#include "model/core/Services.h"
#include "widgets/views/ProjectEditorForm.h"
#include "widgets/views/VexaDockable.h"

#include <QPointer>

#include <memory>

namespace vexa::ide {

class TProjectEditor final : public TVexaDockable,
                             public IProjectEditor,
                             public std::enable_shared_from_this<TProjectEditor> {
 public:
  explicit TProjectEditor(QWidget* MainForm = nullptr);
  ~TProjectEditor() override;

  // IProjectEditor
  void ProjectAdded(const Ref<IVexaProject>& Project) override;
  void InstallCommands() override;
  void Clear() override;
  void RemoveCommands() override;
  void RepaintProject(const Ref<IVexaProject>& Project) override;
  void ItemChanged(const Ref<IVexaModule>& Module) override;
  void ProjectChanged(const Ref<IVexaProject>& Project) override;
  void ProjectRemoved(const Ref<IVexaProject>& Project) override;
  void SelectItem(const Ref<IVexaModule>& Module) override;
  Ref<IVexaToolWindow> GetToolWindow() override;

  // IVexaToolWindow
  QString GetName() override { return QStringLiteral("ProjectEditor"); }

  // The project commands on the tree's selection (a separate interface
  // object: IVexaToolWindow and IProjectCommands both have Close).
  Ref<IProjectCommands> Commands();

  TProjectEditorForm* EditorForm() const { return FForm; }

 protected:
  QWidget* CreateForm(QWidget* Owner) override;

 private:
  class TCommands final : public IProjectCommands {
   public:
    explicit TCommands(TProjectEditor* Editor) : FEditor(Editor) {}
    bool CanActivate() override;
    bool CanClose() override;
    bool CanDeleteModule() override;
    bool CanEditModules(TModuleKind Kind) override;
    bool CanInsertModule() override;
    bool CanOpenModuleSource() override;
    bool CanToggleUsedInProject() override;
    bool IsUsedInProject() override;
    void Activate() override;
    void Close() override;
    void DeleteModule() override;
    void EditModules(TModuleKind Kind) override;
    void InsertModule() override;
    void OpenModuleSource() override;
    void ToggleUsedInProject() override;

   private:
    Ref<IVexaProject> Project() const;
    Ref<IVexaModule> Module() const;
    TProjectEditor* FEditor;
  };

  TCommands FCommands{this};
  QPointer<TProjectEditorForm> FForm;
};

// Makes the project tree, publishes it as ProjectEditor and registers its
// tool window. Idempotent.
void RegisterProjectEditor();

}  // namespace vexa::ide
