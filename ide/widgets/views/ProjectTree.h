#pragma once

// The project tree ("Projekte"): every open project with its modules, a V2
// project in three groups, the active project in bold. While the tree has
// the focus it is the IDE's project command handler, acting on the node
// under the selection.

#include "model/core/Services.h"
#include "widgets/views/VexaDockable.h"

#include <QPixmap>
#include <QPointer>
#include <QTreeWidget>

#include <memory>
#include <vector>

class QMenu;

namespace vexa::ide {

class TProjectEditor;
class TProjectEditorForm;

// One project shown: the key stored in its root node (0 until the root
// exists) and the project.
struct TTreeNodeData {
  int Key = 0;
  Ref<IVexaProject> Project;
};

// Images of the tree (index into imglProjectTree).
enum : int {
  TreeImageBasicProject = 0,
  TreeImageProject = 1,
  TreeImageGroupClosed = 2,
  TreeImageGroupOpen = 3,
  TreeImageModuleUnused = 4,
  TreeImageModuleUsed = 5,
};

// Data of the tree's items: a root's key, a module node's module (a plain
// pointer, compared with the project's modules) and the image index.
enum : int {
  TreeKeyRole = Qt::UserRole,
  TreeModuleRole = Qt::UserRole + 1,
  TreeImageRole = Qt::UserRole + 2,
};

// The tree control: keys, focus and context menu go to its form.
class TProjectTreeWidget final : public QTreeWidget {
  Q_OBJECT

 public:
  TProjectTreeWidget(TProjectEditorForm* Form, QWidget* Parent);

  TProjectEditorForm* Form() const { return FForm; }

 protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  TProjectEditorForm* FForm;
};

class TProjectEditorForm final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFirstProjectKey = 42;

  TProjectEditorForm(TProjectEditor* Editor, QWidget* Parent);
  ~TProjectEditorForm() override;

  TProjectTreeWidget* treeProjects = nullptr;
  // Six 16-pixel images from the resource VexaProjectTree.
  std::vector<QPixmap> imglProjectTree;
  QMenu* pmnuProjectTree = nullptr;
  std::vector<std::unique_ptr<TTreeNodeData>> NodeData;
  int NextProjectKey = kFirstProjectKey;

  // Adds or refreshes the project's root and its modules; Expand opens the
  // root and its "Projektmodule" group and selects that group.
  void UpdateProject(const Ref<IVexaProject>& Project, bool Expand);
  void RemoveProject(const Ref<IVexaProject>& Project);
  void RepaintProject(const Ref<IVexaProject>& Project);
  void ItemChanged(const Ref<IVexaModule>& Module);
  void SelectItem(const Ref<IVexaModule>& Module);
  // Forgets every project; the nodes stay.
  void ClearNodeData();

  // The root of the project's key, the node of a module; nullptr when none.
  QTreeWidgetItem* FindRoot(int Key) const;
  QTreeWidgetItem* FindModuleNode(const IVexaModule* Module) const;
  // The project of a root node (also for the root above any node).
  Ref<IVexaProject> ProjectOf(const QTreeWidgetItem* Item) const;
  bool IsActiveRoot(const QTreeWidgetItem* Item) const;

  // The selection: the project of the root above the selected node; the
  // selected node's module when it is a module node.
  Ref<IVexaProject> SelectedProject() const;
  Ref<IVexaModule> SelectedModule() const;

  void SetImage(QTreeWidgetItem* Item, int Image);
  static int ImageOf(const QTreeWidgetItem* Item);

  // Key handling of the tree (plain Enter, Space, Insert, Delete).
  bool HandleKey(int Key);
  void ItemDoubleClicked(QTreeWidgetItem* Item);
  void TreeFocusChanged(bool In);
  void ShowContextMenu(const QPoint& GlobalPos);

 private:
  TTreeNodeData* FindData(const Ref<IVexaProject>& Project) const;
  void UpdateGroups(QTreeWidgetItem* Root, const Ref<IVexaProject>& Project);
  void SetModuleNode(QTreeWidgetItem* Item, const Ref<IVexaModule>& Module);
  void SelectFirstWhenNone();
  // Fills pmnuProjectTree from the command module once it exists.
  void BuildMenu();

  TProjectEditor* FEditor;
};

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
