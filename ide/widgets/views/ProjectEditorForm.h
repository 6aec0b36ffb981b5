#pragma once

// The form of the project tree: a root per open project, the modules of a V2
// project in three groups, the active project in bold, and the context menu
// of the project commands.

#include "model/core/VexaIntfs.h"
#include "widgets/views/ProjectTreeWidget.h"

#include <QPixmap>
#include <QTreeWidget>
#include <QWidget>

#include <memory>
#include <vector>

class QMenu;

namespace vexa::ide {

class TProjectEditor;

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

}  // namespace vexa::ide
