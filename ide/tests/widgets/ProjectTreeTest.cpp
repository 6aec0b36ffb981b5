#include "widgets/views/ProjectEditor.h"

#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "widgets/shared/CommandsDataModule.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <vector>

namespace vexa::ide {
namespace {

using namespace test;
using testing::_;
using testing::NiceMock;
using testing::Return;

// A module whose name, kind and used flag the test changes.
struct TFakeModule {
  QString Name;
  TModuleKind Kind = TModuleKind::Project;
  bool Used = true;
  std::shared_ptr<NiceMock<MockVexaModule>> Mock = std::make_shared<NiceMock<MockVexaModule>>();

  TFakeModule(QString name, TModuleKind kind, bool used)
      : Name(std::move(name)), Kind(kind), Used(used) {
    ON_CALL(*Mock, GetName()).WillByDefault([this] { return Name; });
    ON_CALL(*Mock, GetKind()).WillByDefault([this] { return Kind; });
    ON_CALL(*Mock, IsUsed()).WillByDefault([this] { return Used; });
  }
};

// A project over a list of modules the test edits.
struct TFakeProject {
  QString Name;
  bool Single = false;
  std::vector<std::unique_ptr<TFakeModule>> Modules;
  std::shared_ptr<NiceMock<MockVexaProject>> Mock = std::make_shared<NiceMock<MockVexaProject>>();

  explicit TFakeProject(QString name, bool single = false) : Name(std::move(name)), Single(single) {
    ON_CALL(*Mock, GetName()).WillByDefault([this] { return Name; });
    ON_CALL(*Mock, IsSingleModule()).WillByDefault([this] { return Single; });
    ON_CALL(*Mock, GetModuleCount()).WillByDefault([this] { return int(Modules.size()); });
    ON_CALL(*Mock, GetModule(_)).WillByDefault([this](int i) -> Ref<IVexaModule> {
      return i >= 0 && i < int(Modules.size()) ? Modules[std::size_t(i)]->Mock : nullptr;
    });
  }

  TFakeModule& Add(const QString& name, TModuleKind kind, bool used = true) {
    Modules.push_back(std::make_unique<TFakeModule>(name, kind, used));
    return *Modules.back();
  }
  Ref<IVexaModule> Module(int i) const { return Modules[std::size_t(i)]->Mock; }
};

class ProjectTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ide_ = std::make_shared<NiceMock<MockVexaIDE>>();
    ON_CALL(*ide_, GetProjectCount()).WillByDefault([this] { return int(open_.size()); });
    ON_CALL(*ide_, GetProject(_)).WillByDefault([this](int i) -> Ref<IVexaProject> {
      return i >= 0 && i < int(open_.size()) ? open_[std::size_t(i)]->Mock : nullptr;
    });
    VexaIDE = ide_;
    editor_ = std::make_shared<TProjectEditor>();
  }

  void TearDown() override {
    ClearCommandHandlers();
    editor_.reset();
    ReleaseServices();
  }

  // A V2 project: system modules "sys_a", "sys_b", common "com", project
  // modules "main", "motor", "sensor".
  std::unique_ptr<TFakeProject> MakeV2(const QString& name) {
    auto p = std::make_unique<TFakeProject>(name);
    p->Add("sys_a", TModuleKind::System, true);
    p->Add("main", TModuleKind::Project);
    p->Add("sys_b", TModuleKind::System, false);
    p->Add("com", TModuleKind::Common, true);
    p->Add("motor", TModuleKind::Project);
    p->Add("sensor", TModuleKind::Project);
    return p;
  }

  void ShowTree() {
    editor_->Show(true);
    form_ = editor_->EditorForm();
    ASSERT_NE(form_, nullptr);
    (void)QTest::qWaitForWindowExposed(form_->window());
  }

  QTreeWidget* Tree() const { return form_->treeProjects; }
  static int Image(const QTreeWidgetItem* item) { return TProjectEditorForm::ImageOf(item); }
  static QStringList Texts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
  }
  void Select(QTreeWidgetItem* item) { Tree()->setCurrentItem(item); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Tree(), Qt::Key(key), mods);
  }

  std::shared_ptr<NiceMock<MockVexaIDE>> ide_;
  std::vector<TFakeProject*> open_;
  std::shared_ptr<TProjectEditor> editor_;
  TProjectEditorForm* form_ = nullptr;
};

TEST_F(ProjectTreeTest, KeysStartAt42AndAreNeverReused) {
  ShowTree();
  auto first = MakeV2("erstes");
  auto second = MakeV2("zweites");
  editor_->ProjectAdded(first->Mock);
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->data(0, TreeKeyRole).toInt(), 42);
  editor_->ProjectRemoved(first->Mock);
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  EXPECT_TRUE(form_->NodeData.empty());
  editor_->ProjectAdded(second->Mock);
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->data(0, TreeKeyRole).toInt(), 43);
  editor_->ProjectAdded(first->Mock);
  EXPECT_EQ(Tree()->topLevelItem(1)->data(0, TreeKeyRole).toInt(), 44);
  // Adding a project shown already refreshes its root.
  editor_->ProjectAdded(second->Mock);
  EXPECT_EQ(Tree()->topLevelItemCount(), 2);
}

TEST_F(ProjectTreeTest, WithoutAFormTheViewDoesNothingAndTheFormShowsTheOpenProjects) {
  auto early = MakeV2("offen");
  auto basic = std::make_unique<TFakeProject>("prog", true);
  basic->Add("[BASIC-Modul]", TModuleKind::Project);
  editor_->ProjectAdded(early->Mock);  // no form yet
  EXPECT_FALSE(editor_->Commands()->CanActivate());
  open_ = {early.get(), basic.get()};
  ShowTree();
  ASSERT_EQ(Tree()->topLevelItemCount(), 2);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), "offen");
  EXPECT_EQ(Tree()->topLevelItem(0)->data(0, TreeKeyRole).toInt(), 42);
  EXPECT_EQ(Tree()->topLevelItem(1)->data(0, TreeKeyRole).toInt(), 43);
  // Built without expanding; the first node is selected.
  EXPECT_FALSE(Tree()->topLevelItem(0)->isExpanded());
  EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
}

TEST_F(ProjectTreeTest, AV2ProjectShowsThreeGroupsWithTheProjectModulesOpenAndSelected) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  EXPECT_EQ(form_->windowTitle(), "Projekte");
  EXPECT_EQ(root->text(0), "robot");
  EXPECT_EQ(Image(root), TreeImageProject);
  EXPECT_EQ(Texts(root), QStringList({"Systemmodule", "Gemeinsame Module", "Projektmodule"}));
  EXPECT_EQ(Texts(root->child(0)), QStringList({"sys_a", "sys_b"}));
  EXPECT_EQ(Texts(root->child(1)), QStringList({"com"}));
  EXPECT_EQ(Texts(root->child(2)), QStringList({"main", "motor", "sensor"}));
  EXPECT_EQ(Image(root->child(0)->child(0)), TreeImageModuleUsed);
  EXPECT_EQ(Image(root->child(0)->child(1)), TreeImageModuleUnused);
  EXPECT_TRUE(root->isExpanded());
  EXPECT_FALSE(root->child(0)->isExpanded());
  EXPECT_TRUE(root->child(2)->isExpanded());
  EXPECT_EQ(Image(root->child(0)), TreeImageGroupClosed);
  EXPECT_EQ(Image(root->child(2)), TreeImageGroupOpen);
  EXPECT_EQ(Tree()->currentItem(), root->child(2));
  EXPECT_FALSE(root->icon(0).isNull());

  root->child(2)->setExpanded(false);
  EXPECT_EQ(Image(root->child(2)), TreeImageGroupClosed);
  root->child(0)->setExpanded(true);
  EXPECT_EQ(Image(root->child(0)), TreeImageGroupOpen);
}

TEST_F(ProjectTreeTest, ABasicProjectShowsItsOneModule) {
  ShowTree();
  TFakeProject p("zaehler", true);
  p.Add("[BASIC-Modul]", TModuleKind::Project, false);
  editor_->ProjectAdded(p.Mock);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  EXPECT_EQ(Image(root), TreeImageBasicProject);
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_EQ(root->child(0)->text(0), "[BASIC-Modul]");
  EXPECT_EQ(Image(root->child(0)), TreeImageModuleUnused);
  editor_->ProjectChanged(p.Mock);
  EXPECT_EQ(root->childCount(), 1);
}

TEST_F(ProjectTreeTest, ADeletedModuleRelabelsTheNodesAndKeepsTheExpansion) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  QTreeWidgetItem* group = root->child(2);
  QTreeWidgetItem* secondNode = group->child(1);
  root->child(0)->setExpanded(true);
  group->setExpanded(false);

  p->Modules.erase(p->Modules.begin() + 4);  // "motor"
  p->Name = "robot2";
  editor_->ProjectChanged(p->Mock);
  EXPECT_EQ(root->text(0), "robot2");
  EXPECT_EQ(Texts(group), QStringList({"main", "sensor"}));
  EXPECT_EQ(group->child(1), secondNode);  // relabelled, not replaced
  EXPECT_EQ(secondNode->data(0, TreeModuleRole).value<quintptr>(), quintptr(p->Module(4).get()));
  EXPECT_TRUE(root->child(0)->isExpanded());
  EXPECT_FALSE(group->isExpanded());

  p->Add("neu", TModuleKind::Project);
  p->Add("com2", TModuleKind::Common, false);
  editor_->ProjectChanged(p->Mock);
  EXPECT_EQ(Texts(group), QStringList({"main", "sensor", "neu"}));
  EXPECT_EQ(Texts(root->child(1)), QStringList({"com", "com2"}));
}

TEST_F(ProjectTreeTest, ItemChangedAndSelectItemFindTheModulesNode) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* node = Tree()->topLevelItem(0)->child(0)->child(1);  // sys_b
  p->Modules[2]->Used = true;
  p->Modules[2]->Name = "sys_c";
  editor_->ItemChanged(p->Module(2));
  EXPECT_EQ(node->text(0), "sys_c");
  EXPECT_EQ(Image(node), TreeImageModuleUsed);
  editor_->SelectItem(p->Module(2));
  EXPECT_EQ(Tree()->currentItem(), node);
}

TEST_F(ProjectTreeTest, TheActiveProjectsRootIsBold) {
  ShowTree();
  auto a = MakeV2("a");
  auto b = MakeV2("b");
  editor_->ProjectAdded(a->Mock);
  editor_->ProjectAdded(b->Mock);
  Ref<IVexaProject> active = a->Mock;
  ON_CALL(*ide_, GetActiveProject()).WillByDefault([&active] { return active; });
  auto bold = [this](int i) {
    return Tree()->topLevelItem(i)->data(0, Qt::FontRole).value<QFont>().bold();
  };
  EXPECT_TRUE(bold(0));
  EXPECT_FALSE(bold(1));
  EXPECT_FALSE(Tree()->topLevelItem(0)->child(2)->data(0, Qt::FontRole).value<QFont>().bold());
  active = b->Mock;
  editor_->RepaintProject(a->Mock);
  editor_->RepaintProject(b->Mock);
  EXPECT_FALSE(bold(0));
  EXPECT_TRUE(bold(1));
}

TEST_F(ProjectTreeTest, EnterOpensAModuleAndActivatesTheProjectOfAGroupOrRoot) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  Ref<IVexaProject> project = p->Mock;

  EXPECT_CALL(*ide_, SetActiveProject(project)).Times(2);
  EXPECT_CALL(*ide_, ShowModuleEditor(_)).Times(0);
  Select(root->child(1));
  Key(Qt::Key_Return);
  Select(root);
  Key(Qt::Key_Enter);
  testing::Mock::VerifyAndClearExpectations(ide_.get());

  EXPECT_CALL(*ide_, ShowModuleEditor(p->Module(4)));
  EXPECT_CALL(*ide_, SetActiveProject(_)).Times(0);
  Select(root->child(2)->child(1));
  Key(Qt::Key_Return);
  testing::Mock::VerifyAndClearExpectations(ide_.get());

  // With a modifier the key is the tree's own.
  EXPECT_CALL(*ide_, ShowModuleEditor(_)).Times(0);
  Key(Qt::Key_Return, Qt::ControlModifier);
}

TEST_F(ProjectTreeTest, ADoubleClickOnAGroupOnlyOpensOrClosesIt) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* group = Tree()->topLevelItem(0)->child(0);
  EXPECT_CALL(*ide_, SetActiveProject(_)).Times(0);
  EXPECT_CALL(*ide_, ShowModuleEditor(_)).Times(0);
  const QPoint at = Tree()->visualItemRect(group).center();
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, at);
  ASSERT_EQ(Tree()->currentItem(), group);
  QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, at);
  EXPECT_TRUE(group->isExpanded());
  testing::Mock::VerifyAndClearExpectations(ide_.get());

  QTreeWidgetItem* module = group->child(0);
  EXPECT_CALL(*ide_, ShowModuleEditor(p->Module(0)));
  const QPoint moduleAt = Tree()->visualItemRect(module).center();
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, moduleAt);
  QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, moduleAt);
}

TEST_F(ProjectTreeTest, SpaceTogglesOnlySystemAndCommonModules) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  const Ref<IProjectCommands> commands = editor_->Commands();

  EXPECT_CALL(*p->Modules[2]->Mock, ToggleUsed());  // sys_b
  Select(root->child(0)->child(1));
  EXPECT_TRUE(commands->CanToggleUsedInProject());
  EXPECT_FALSE(commands->IsUsedInProject());
  Key(Qt::Key_Space);

  EXPECT_CALL(*p->Modules[3]->Mock, ToggleUsed());  // com
  Select(root->child(1)->child(0));
  EXPECT_TRUE(commands->IsUsedInProject());
  Key(Qt::Key_Space);

  EXPECT_CALL(*p->Modules[1]->Mock, ToggleUsed()).Times(0);  // main
  Select(root->child(2)->child(0));
  EXPECT_FALSE(commands->CanToggleUsedInProject());
  EXPECT_FALSE(commands->IsUsedInProject());
  EXPECT_TRUE(commands->CanOpenModuleSource());
  Key(Qt::Key_Space);
  commands->ToggleUsedInProject();

  // A group is no module.
  Select(root->child(2));
  EXPECT_FALSE(commands->CanOpenModuleSource());
  EXPECT_TRUE(commands->CanActivate());
}

TEST_F(ProjectTreeTest, InsertAndDeleteKeysAskTheProject) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QTreeWidgetItem* motor = Tree()->topLevelItem(0)->child(2)->child(1);
  Select(motor);

  EXPECT_CALL(*p->Mock, CanDeleteModule(p->Module(4))).WillOnce(Return(false));
  EXPECT_CALL(*p->Mock, DeleteModule(_)).Times(0);
  Key(Qt::Key_Delete);
  testing::Mock::VerifyAndClearExpectations(p->Mock.get());

  EXPECT_CALL(*p->Mock, CanDeleteModule(p->Module(4))).WillOnce(Return(true));
  EXPECT_CALL(*p->Mock, DeleteModule(p->Module(4))).WillOnce(Return(true));
  Key(Qt::Key_Delete);
  testing::Mock::VerifyAndClearExpectations(p->Mock.get());

  EXPECT_CALL(*p->Mock, CanInsertModule()).WillOnce(Return(true));
  EXPECT_CALL(*p->Mock, InsertModule()).WillOnce(Return(true));
  Key(Qt::Key_Insert);
  testing::Mock::VerifyAndClearExpectations(p->Mock.get());

  EXPECT_CALL(*p->Mock, CanEditModules(TModuleKind::Common)).WillRepeatedly(Return(true));
  EXPECT_CALL(*p->Mock, EditModules(TModuleKind::Common));
  editor_->Commands()->EditModules(TModuleKind::Common);
}

TEST_F(ProjectTreeTest, CloseAsksTheMainWindowFirst) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  Ref<IVexaProject> project = p->Mock;
  EXPECT_CALL(*ide_, CanCloseProject(project)).WillOnce(Return(false)).WillOnce(Return(true));
  EXPECT_CALL(*ide_, RemoveProject(project)).Times(1);
  editor_->Commands()->Close();
  editor_->Commands()->Close();
}

TEST_F(ProjectTreeTest, AModuleTheProjectNoLongerHasIsNotSelectable) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  Select(Tree()->topLevelItem(0)->child(2)->child(2));  // sensor
  const Ref<IProjectCommands> commands = editor_->Commands();
  EXPECT_TRUE(commands->CanOpenModuleSource());
  auto gone = std::move(p->Modules.back());
  p->Modules.pop_back();  // the tree has not heard of it yet
  EXPECT_FALSE(commands->CanOpenModuleSource());
  EXPECT_CALL(*ide_, ShowModuleEditor(_)).Times(0);
  commands->OpenModuleSource();
}

TEST_F(ProjectTreeTest, TheTreeIsTheHandlerOnlyWhileItHasTheFocus) {
  ShowTree();
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  QLineEdit other;
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));

  form_->window()->activateWindow();
  Tree()->setFocus(Qt::OtherFocusReason);
  QCoreApplication::processEvents();
  ASSERT_TRUE(Tree()->hasFocus());
  ASSERT_NE(ProjectCommandHandler, nullptr);
  EXPECT_EQ(ProjectCommandHandler, editor_->Commands());
  EXPECT_TRUE(ProjectCommandHandler->CanActivate());

  other.activateWindow();
  other.setFocus(Qt::OtherFocusReason);
  QCoreApplication::processEvents();
  ASSERT_FALSE(Tree()->hasFocus());
  EXPECT_EQ(ProjectCommandHandler, nullptr);
}

TEST_F(ProjectTreeTest, RemoveCommandsLeavesAnotherHandler) {
  auto foreign = std::make_shared<NiceMock<MockProjectCommands>>();
  ProjectCommandHandler = foreign;
  editor_->RemoveCommands();
  EXPECT_EQ(ProjectCommandHandler, foreign);
  editor_->InstallCommands();
  EXPECT_EQ(ProjectCommandHandler, editor_->Commands());
  editor_->RemoveCommands();
  EXPECT_EQ(ProjectCommandHandler, nullptr);
}

TEST_F(ProjectTreeTest, ClearForgetsTheProjectsButKeepsTheNodes) {
  ShowTree();
  auto p = MakeV2("robot");
  std::weak_ptr<IVexaProject> weak = Ref<IVexaProject>(p->Mock);
  editor_->ProjectAdded(p->Mock);
  editor_->Clear();
  EXPECT_TRUE(form_->NodeData.empty());
  EXPECT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_FALSE(editor_->Commands()->CanActivate());
  p.reset();
  EXPECT_TRUE(weak.expired());
}

TEST_F(ProjectTreeTest, TheContextMenuHoldsTheProjectActionsInOrder) {
  TTempSettings settings;
  QWidget window;
  auto* commands = new TCommandsDataModule(&window);
  ShowTree();
  QStringList names;
  for (QAction* a : form_->pmnuProjectTree->actions())
    names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  EXPECT_EQ(names, QStringList({"actProjectActivate", "actProjectEditSystemModules",
                                "actProjectEditCommonModules", "actProjectEditProjectModules",
                                "actProjectClose", "-", "actProjectOpenModuleSource",
                                "actProjectToggleUsedInProject", "-", "actProjectInsertModule",
                                "actProjectDeleteModule"}));
  // The menu's actions reach the tree's selection.
  auto p = MakeV2("robot");
  editor_->ProjectAdded(p->Mock);
  Select(Tree()->topLevelItem(0)->child(0)->child(0));
  editor_->InstallCommands();
  EXPECT_CALL(*p->Modules[0]->Mock, ToggleUsed());
  commands->UpdateActions();
  QAction* toggle = commands->Action("actProjectToggleUsedInProject");
  EXPECT_TRUE(toggle->isEnabled());
  EXPECT_TRUE(toggle->isChecked());
  toggle->trigger();

  // Opened while another window has the focus, the menu makes the tree the
  // handler and the tree gives it up when the menu has gone.
  QLineEdit other;
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  other.activateWindow();
  other.setFocus(Qt::OtherFocusReason);
  QCoreApplication::processEvents();
  ASSERT_FALSE(Tree()->hasFocus());
  form_->ShowContextMenu(QPoint(20, 20));
  EXPECT_EQ(ProjectCommandHandler, editor_->Commands());
  form_->pmnuProjectTree->hide();
  QCoreApplication::processEvents();
  EXPECT_EQ(ProjectCommandHandler, nullptr);
  ClearCommandHandlers();
  editor_.reset();  // the form goes before the command module
  delete commands;
}

TEST_F(ProjectTreeTest, IsAToolWindowAndRegistersOnce) {
  EXPECT_EQ(editor_->GetName(), "ProjectEditor");
  EXPECT_EQ(editor_->GetToolWindow().get(), static_cast<IVexaToolWindow*>(editor_.get()));
  RegisterProjectEditor();
  const Ref<IProjectEditor> first = ProjectEditor;
  ASSERT_NE(first, nullptr);
  RegisterProjectEditor();
  EXPECT_EQ(ProjectEditor, first);
  int registered = 0;
  for (const auto& window : ToolWindows())
    if (window == first->GetToolWindow()) ++registered;
  EXPECT_EQ(registered, 1);
}

}  // namespace
}  // namespace vexa::ide
