#include "widgets/views/ProjectEditorForm.h"

#include "model/core/Services.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/ProjectEditor.h"
#include "widgets/views/ViewResources.h"

#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace vexa::ide {

namespace {

constexpr int kImageWidth = 16;

const std::array<QString, 3> kGroupTitles = {QStringLiteral("Systemmodule"),
                                             QStringLiteral("Gemeinsame Module"),
                                             QStringLiteral("Projektmodule")};

// The group a module of Kind goes into.
int GroupOf(TModuleKind Kind) {
  switch (Kind) {
    case TModuleKind::System: return 0;
    case TModuleKind::Common: return 1;
    default: return 2;
  }
}

// A node; a root draws its text bold while its project is the active one.
class TProjectTreeItem final : public QTreeWidgetItem {
 public:
  QVariant data(int Column, int Role) const override {
    if (Role == Qt::FontRole && !parent())
      if (auto* tree = qobject_cast<TProjectTreeWidget*>(treeWidget()))
        if (tree->Form()->IsActiveRoot(this)) {
          QFont font = tree->font();
          font.setBold(true);
          return font;
        }
    return QTreeWidgetItem::data(Column, Role);
  }
};

// Every node below Item (and Item itself), parents before children.
void CollectNodes(QTreeWidgetItem* Item, std::vector<QTreeWidgetItem*>& Nodes) {
  Nodes.push_back(Item);
  for (int i = 0; i < Item->childCount(); ++i) CollectNodes(Item->child(i), Nodes);
}

QTreeWidgetItem* RootOf(QTreeWidgetItem* Item) {
  while (Item && Item->parent()) Item = Item->parent();
  return Item;
}

}  // namespace

TProjectEditorForm::TProjectEditorForm(TProjectEditor* Editor, QWidget* Parent)
    : QWidget(Parent), FEditor(Editor) {
  InitViewResources();
  setObjectName(QStringLiteral("ProjectEditorForm"));
  setWindowTitle(QStringLiteral("Projekte"));

  const QPixmap strip(QStringLiteral(":/vexaide/VexaProjectTree"));
  for (int x = 0; x + kImageWidth <= strip.width(); x += kImageWidth)
    imglProjectTree.push_back(strip.copy(x, 0, kImageWidth, strip.height()));

  treeProjects = new TProjectTreeWidget(this, this);
  treeProjects->setObjectName(QStringLiteral("treeProjects"));
  treeProjects->setColumnCount(1);
  treeProjects->setHeaderHidden(true);
  treeProjects->setIndentation(19);
  treeProjects->setIconSize(QSize(kImageWidth, kImageWidth));
  treeProjects->setEditTriggers(QAbstractItemView::NoEditTriggers);
  treeProjects->setSelectionMode(QAbstractItemView::SingleSelection);
  treeProjects->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  treeProjects->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  treeProjects->header()->setStretchLastSection(false);
  // A selected node keeps a button-face background while the tree has no focus.
  QPalette palette = treeProjects->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Button));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::ButtonText));
  treeProjects->setPalette(palette);

  pmnuProjectTree = new QMenu(this);
  pmnuProjectTree->setObjectName(QStringLiteral("pmnuProjectTree"));
  BuildMenu();
  // The menu installed the handler; once its action has run, a tree without
  // the focus gives it up again.
  connect(pmnuProjectTree, &QMenu::aboutToHide, this, [this] {
    QTimer::singleShot(0, this, [this] {
      if (!treeProjects->hasFocus()) FEditor->RemoveCommands();
    });
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(treeProjects);
  resize(160, 204);

  connect(treeProjects, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* Item) {
    const int image = ImageOf(Item);
    if (image == TreeImageGroupClosed || image == TreeImageGroupOpen)
      SetImage(Item, TreeImageGroupOpen);
  });
  connect(treeProjects, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* Item) {
    const int image = ImageOf(Item);
    if (image == TreeImageGroupClosed || image == TreeImageGroupOpen)
      SetImage(Item, TreeImageGroupClosed);
  });
  connect(treeProjects, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* Item, int) { ItemDoubleClicked(Item); });

  if (const Ref<IVexaIDE> ide = VexaIDE)
    for (int i = 0; i < ide->GetProjectCount(); ++i) UpdateProject(ide->GetProject(i), false);
  SelectFirstWhenNone();
}

TProjectEditorForm::~TProjectEditorForm() {
  // The nodes ask the form for the active project while they go.
  delete treeProjects;
  treeProjects = nullptr;
}

void TProjectEditorForm::BuildMenu() {
  if (!pmnuProjectTree->isEmpty() || !CommandsDataModule) return;
  CommandsDataModule->AddActions(
      pmnuProjectTree,
      {TAction::ProjectActivate, TAction::ProjectEditSystemModules,
       TAction::ProjectEditCommonModules, TAction::ProjectEditProjectModules, TAction::ProjectClose,
       kSeparator, TAction::ProjectOpenModuleSource, TAction::ProjectToggleUsedInProject,
       kSeparator, TAction::ProjectInsertModule, TAction::ProjectDeleteModule});
  CommandsDataModule->WatchMenu(pmnuProjectTree);
}

void TProjectEditorForm::ShowContextMenu(const QPoint& GlobalPos) {
  BuildMenu();
  if (pmnuProjectTree->isEmpty()) return;
  // The menu's actions ask the handler; it must be this tree's even when
  // the tree had no focus before.
  FEditor->InstallCommands();
  pmnuProjectTree->popup(GlobalPos);
}

int TProjectEditorForm::ImageOf(const QTreeWidgetItem* Item) {
  const QVariant image = Item->data(0, TreeImageRole);
  return image.isValid() ? image.toInt() : -1;
}

void TProjectEditorForm::SetImage(QTreeWidgetItem* Item, int Image) {
  Item->setData(0, TreeImageRole, Image);
  Item->setIcon(0, Image >= 0 && Image < int(imglProjectTree.size())
                       ? QIcon(imglProjectTree[std::size_t(Image)])
                       : QIcon());
}

TTreeNodeData* TProjectEditorForm::FindData(const Ref<IVexaProject>& Project) const {
  for (auto it = NodeData.rbegin(); it != NodeData.rend(); ++it)
    if ((*it)->Project == Project) return it->get();
  return nullptr;
}

QTreeWidgetItem* TProjectEditorForm::FindRoot(int Key) const {
  if (Key == 0) return nullptr;
  for (int i = treeProjects->topLevelItemCount() - 1; i >= 0; --i) {
    QTreeWidgetItem* root = treeProjects->topLevelItem(i);
    if (root->data(0, TreeKeyRole).toInt() == Key) return root;
  }
  return nullptr;
}

QTreeWidgetItem* TProjectEditorForm::FindModuleNode(const IVexaModule* Module) const {
  if (!Module) return nullptr;
  std::vector<QTreeWidgetItem*> nodes;
  for (int i = 0; i < treeProjects->topLevelItemCount(); ++i)
    CollectNodes(treeProjects->topLevelItem(i), nodes);
  const auto key = quintptr(Module);
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
    if ((*it)->parent() && (*it)->data(0, TreeModuleRole).value<quintptr>() == key) return *it;
  return nullptr;
}

Ref<IVexaProject> TProjectEditorForm::ProjectOf(const QTreeWidgetItem* Item) const {
  const QTreeWidgetItem* root = RootOf(const_cast<QTreeWidgetItem*>(Item));
  if (!root) return nullptr;
  const int key = root->data(0, TreeKeyRole).toInt();
  if (key == 0) return nullptr;
  for (auto it = NodeData.rbegin(); it != NodeData.rend(); ++it)
    if ((*it)->Key == key) return (*it)->Project;
  return nullptr;
}

bool TProjectEditorForm::IsActiveRoot(const QTreeWidgetItem* Item) const {
  const Ref<IVexaIDE> ide = VexaIDE;
  if (!ide) return false;
  const Ref<IVexaProject> project = ProjectOf(Item);
  return project && project == ide->GetActiveProject();
}

Ref<IVexaProject> TProjectEditorForm::SelectedProject() const {
  QTreeWidgetItem* item = treeProjects->currentItem();
  return item ? ProjectOf(item) : nullptr;
}

Ref<IVexaModule> TProjectEditorForm::SelectedModule() const {
  QTreeWidgetItem* item = treeProjects->currentItem();
  if (!item || !item->parent()) return nullptr;
  const int image = ImageOf(item);
  if (image != TreeImageModuleUnused && image != TreeImageModuleUsed) return nullptr;
  const auto key = item->data(0, TreeModuleRole).value<quintptr>();
  if (!key) return nullptr;
  // The node holds a plain pointer: only a module its project still has
  // counts.
  const Ref<IVexaProject> project = ProjectOf(item);
  if (!project) return nullptr;
  for (int i = 0; i < project->GetModuleCount(); ++i) {
    Ref<IVexaModule> module = project->GetModule(i);
    if (quintptr(module.get()) == key) return module;
  }
  return nullptr;
}

void TProjectEditorForm::SetModuleNode(QTreeWidgetItem* Item, const Ref<IVexaModule>& Module) {
  Item->setText(0, Module->GetName());
  Item->setData(0, TreeModuleRole, QVariant::fromValue(quintptr(Module.get())));
  SetImage(Item, Module->IsUsed() ? TreeImageModuleUsed : TreeImageModuleUnused);
}

void TProjectEditorForm::SelectFirstWhenNone() {
  if (!treeProjects->currentItem() && treeProjects->topLevelItemCount() > 0)
    treeProjects->setCurrentItem(treeProjects->topLevelItem(0));
}

void TProjectEditorForm::UpdateProject(const Ref<IVexaProject>& Project, bool Expand) {
  if (!Project) return;
  TTreeNodeData* data = FindData(Project);
  if (!data) {
    NodeData.push_back(std::make_unique<TTreeNodeData>(TTreeNodeData{0, Project}));
    data = NodeData.back().get();
  }
  QTreeWidgetItem* root = nullptr;
  if (data->Key == 0) {
    root = new TProjectTreeItem;
    treeProjects->addTopLevelItem(root);
    data->Key = NextProjectKey++;
    root->setData(0, TreeKeyRole, data->Key);
  } else {
    root = FindRoot(data->Key);
    if (!root) return;
  }
  root->setText(0, Project->GetName());
  const bool single = Project->IsSingleModule();
  SetImage(root, single ? TreeImageBasicProject : TreeImageProject);
  if (single) {
    QTreeWidgetItem* child = root->child(0);
    if (!child) {
      child = new TProjectTreeItem;
      root->addChild(child);
    }
    if (const Ref<IVexaModule> module = Project->GetModule(0)) SetModuleNode(child, module);
  } else {
    UpdateGroups(root, Project);
    if (Expand) {
      root->setExpanded(true);
      if (QTreeWidgetItem* group = root->child(2)) {
        std::vector<QTreeWidgetItem*> nodes;
        CollectNodes(group, nodes);
        for (QTreeWidgetItem* node : nodes) node->setExpanded(true);
        treeProjects->setCurrentItem(group);
      }
    }
  }
  SelectFirstWhenNone();
}

void TProjectEditorForm::UpdateGroups(QTreeWidgetItem* Root, const Ref<IVexaProject>& Project) {
  std::array<QTreeWidgetItem*, 3> groups{};
  for (int i = 0; i < 3; ++i) {
    if (i < Root->childCount()) {
      groups[i] = Root->child(i);
    } else {
      groups[i] = new TProjectTreeItem;
      Root->addChild(groups[i]);
      groups[i]->setText(0, kGroupTitles[std::size_t(i)]);
      SetImage(groups[i], TreeImageGroupClosed);
    }
  }
  std::array<int, 3> counts{};
  for (int i = 0; i < Project->GetModuleCount(); ++i) {
    const Ref<IVexaModule> module = Project->GetModule(i);
    if (!module) continue;
    const int g = GroupOf(module->GetKind());
    QTreeWidgetItem* group = groups[std::size_t(g)];
    QTreeWidgetItem* node = group->child(counts[std::size_t(g)]);
    if (!node) {
      node = new TProjectTreeItem;
      group->addChild(node);
    }
    SetModuleNode(node, module);
    ++counts[std::size_t(g)];
  }
  for (int g = 0; g < 3; ++g)
    for (int i = groups[std::size_t(g)]->childCount() - 1; i >= counts[std::size_t(g)]; --i)
      delete groups[std::size_t(g)]->takeChild(i);
}

void TProjectEditorForm::RemoveProject(const Ref<IVexaProject>& Project) {
  for (auto it = NodeData.end(); it != NodeData.begin();) {
    --it;
    if ((*it)->Project != Project) continue;
    delete FindRoot((*it)->Key);
    NodeData.erase(it);
    return;
  }
}

void TProjectEditorForm::RepaintProject(const Ref<IVexaProject>& Project) {
  const TTreeNodeData* data = FindData(Project);
  QTreeWidgetItem* root = data ? FindRoot(data->Key) : nullptr;
  if (!root) return;
  QRect row = treeProjects->visualItemRect(root);
  row.setLeft(0);
  row.setRight(treeProjects->viewport()->width());
  treeProjects->viewport()->update(row);
}

void TProjectEditorForm::ItemChanged(const Ref<IVexaModule>& Module) {
  if (QTreeWidgetItem* node = FindModuleNode(Module.get())) SetModuleNode(node, Module);
}

void TProjectEditorForm::SelectItem(const Ref<IVexaModule>& Module) {
  if (QTreeWidgetItem* node = FindModuleNode(Module.get())) treeProjects->setCurrentItem(node);
}

void TProjectEditorForm::ClearNodeData() { NodeData.clear(); }

bool TProjectEditorForm::HandleKey(int Key) {
  const Ref<IProjectCommands> commands = FEditor->Commands();
  switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (SelectedModule())
        commands->OpenModuleSource();
      else
        commands->Activate();
      return true;
    case Qt::Key_Space: commands->ToggleUsedInProject(); return true;
    case Qt::Key_Insert: commands->InsertModule(); return true;
    case Qt::Key_Delete: commands->DeleteModule(); return true;
    default: return false;
  }
}

void TProjectEditorForm::ItemDoubleClicked(QTreeWidgetItem*) {
  // Projects and groups only open or close, by the tree itself.
  if (SelectedModule()) FEditor->Commands()->OpenModuleSource();
}

void TProjectEditorForm::TreeFocusChanged(bool In) {
  if (In)
    FEditor->InstallCommands();
  else
    FEditor->RemoveCommands();
}

}  // namespace vexa::ide
