#include "widgets/dialogs/ModuleDialogs.h"

#include "MockIntfs.h"
#include "ModalWatcher.h"
#include "TestApp.h"
#include "model/core/Dialogs.h"
#include "model/core/Services.h"
#include "widgets/dialogs/ProjectModulesDialog.h"
#include "widgets/dialogs/QtDialogs.h"
#include "widgets/dialogs/SelectModulesDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <vector>

namespace vexa::ide {
namespace {

using namespace test;
using testing::_;
using testing::NiceMock;
using testing::Return;

// A module with a used flag that ToggleUsed flips unless Locked.
struct TFakeModule {
  QString Name;
  TModuleKind Kind;
  bool Used;
  bool Locked = false;
  int Toggles = 0;
  std::shared_ptr<NiceMock<MockVexaModule>> Mock = std::make_shared<NiceMock<MockVexaModule>>();

  TFakeModule(QString name, TModuleKind kind, bool used)
      : Name(std::move(name)), Kind(kind), Used(used) {
    ON_CALL(*Mock, GetName()).WillByDefault([this] { return Name; });
    ON_CALL(*Mock, GetKind()).WillByDefault([this] { return Kind; });
    ON_CALL(*Mock, IsUsed()).WillByDefault([this] { return Used; });
    ON_CALL(*Mock, ToggleUsed()).WillByDefault([this] {
      ++Toggles;
      if (!Locked) Used = !Used;
    });
  }
};

// A project whose module list behaves like the real one's: deleting and
// inserting change the list, moving stops at the modules of another kind.
class TFakeProject {
 public:
  TFakeProject() {
    ON_CALL(*Mock, GetModuleCount()).WillByDefault([this] { return int(Modules.size()); });
    ON_CALL(*Mock, GetModule(_)).WillByDefault([this](int i) -> Ref<IVexaModule> {
      return i >= 0 && i < int(Modules.size()) ? Modules[std::size_t(i)]->Mock : nullptr;
    });
    ON_CALL(*Mock, DeleteModule(_)).WillByDefault([this](const Ref<IVexaModule>& m) {
      const int i = IndexOf(m);
      if (i < 0) return false;
      Modules.erase(Modules.begin() + i);
      return true;
    });
    ON_CALL(*Mock, InsertModule()).WillByDefault([this] {
      Add("neu" + QString::number(Modules.size()), TModuleKind::Project);
      return true;
    });
    ON_CALL(*Mock, MoveModule(_, _)).WillByDefault([this](const Ref<IVexaModule>& m, bool up) {
      const int i = IndexOf(m);
      const int j = up ? i - 1 : i + 1;
      if (i < 0 || j < 0 || j >= int(Modules.size())) return false;
      if (Modules[std::size_t(j)]->Kind != TModuleKind::Project) return false;
      std::swap(Modules[std::size_t(i)], Modules[std::size_t(j)]);
      return true;
    });
  }

  TFakeModule& Add(const QString& name, TModuleKind kind, bool used = true) {
    Modules.push_back(std::make_unique<TFakeModule>(name, kind, used));
    return *Modules.back();
  }
  int IndexOf(const Ref<IVexaModule>& m) const {
    for (std::size_t i = 0; i < Modules.size(); ++i)
      if (Modules[i]->Mock == m) return int(i);
    return -1;
  }
  QStringList ProjectNames() const {
    QStringList names;
    for (const auto& m : Modules)
      if (m->Kind == TModuleKind::Project) names << m->Name;
    return names;
  }

  std::vector<std::unique_ptr<TFakeModule>> Modules;
  std::shared_ptr<NiceMock<MockVexaProject>> Mock = std::make_shared<NiceMock<MockVexaProject>>();
};

QStringList Rows(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  return rows;
}

class ModuleDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    project_.Add("lcd", TModuleKind::System, true);
    project_.Add("motor", TModuleKind::System, false);
    project_.Add("util", TModuleKind::Common, true);
    project_.Add("serial", TModuleKind::System, true);
    project_.Add("main", TModuleKind::Project);
    project_.Add("drive", TModuleKind::Project);
    project_.Add("sense", TModuleKind::Project);
  }

  void TearDown() override {
    SetDialogs(previousDialogs_);
    ReleaseServices();
  }

  TFakeProject project_;
  std::shared_ptr<IDialogs> previousDialogs_ = SetDialogs(nullptr);
};

// --- the selection of system and common modules ---

TEST_F(ModuleDialogsTest, TheSelectionListsTheModulesOfOneKindWithTheirUsedFlags) {
  TSelectModulesDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Standardmodule auswählen");
  EXPECT_EQ(dialog.lblModules->text(), "&Verfügbare Module:");
  EXPECT_EQ(dialog.btnClose->text(), "Schließen");
  EXPECT_EQ(dialog.btnSelectAll->text(), "&Alle Module");
  EXPECT_EQ(dialog.btnDeselectAll->text(), "&Kein Modul");
  EXPECT_TRUE(dialog.btnClose->isDefault());
  dialog.Init(TModuleKind::System, project_.Mock);
  EXPECT_EQ(Rows(dialog.clbModules), QStringList({"lcd", "motor", "serial"}));
  ASSERT_EQ(dialog.Modules().size(), 3u);
  EXPECT_EQ(dialog.Modules()[1], project_.Modules[1]->Mock);
  EXPECT_EQ(dialog.clbModules->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(dialog.clbModules->item(1)->checkState(), Qt::Unchecked);

  TSelectModulesDialog common;
  common.Init(TModuleKind::Common, project_.Mock);
  EXPECT_EQ(Rows(common.clbModules), QStringList({"util"}));
}

TEST_F(ModuleDialogsTest, UncheckingChangesTheProjectAtOnce) {
  TSelectModulesDialog dialog;
  dialog.Init(TModuleKind::System, project_.Mock);
  dialog.clbModules->item(2)->setCheckState(Qt::Unchecked);  // "serial", as a click does
  EXPECT_FALSE(project_.Modules[3]->Used);
  EXPECT_EQ(project_.Modules[3]->Toggles, 1);
  EXPECT_EQ(project_.Modules[0]->Toggles, 0);
  EXPECT_EQ(project_.Modules[1]->Toggles, 0);

  // A module that refuses gets its check mark back.
  project_.Modules[1]->Locked = true;
  dialog.clbModules->item(1)->setCheckState(Qt::Checked);
  EXPECT_EQ(project_.Modules[1]->Toggles, 1);
  EXPECT_EQ(dialog.clbModules->item(1)->checkState(), Qt::Unchecked);
}

TEST_F(ModuleDialogsTest, SelectAllAndNoneToggleOnlyTheModulesThatDiffer) {
  TSelectModulesDialog dialog;
  dialog.Init(TModuleKind::System, project_.Mock);
  QTest::mouseClick(dialog.btnSelectAll, Qt::LeftButton);
  EXPECT_EQ(project_.Modules[0]->Toggles, 0);
  EXPECT_EQ(project_.Modules[1]->Toggles, 1);
  EXPECT_TRUE(project_.Modules[1]->Used);
  EXPECT_EQ(dialog.clbModules->item(1)->checkState(), Qt::Checked);
  QTest::mouseClick(dialog.btnDeselectAll, Qt::LeftButton);
  for (int i : {0, 1, 3}) EXPECT_FALSE(project_.Modules[std::size_t(i)]->Used) << i;
  EXPECT_TRUE(project_.Modules[2]->Used);  // the common module is not listed
  for (int row = 0; row < 3; ++row)
    EXPECT_EQ(dialog.clbModules->item(row)->checkState(), Qt::Unchecked) << row;
}

// --- the project modules ---

class ProjectModulesDialogTest : public ModuleDialogsTest {
 protected:
  void SetUp() override {
    ModuleDialogsTest::SetUp();
    dialog = std::make_unique<TProjectModulesDialog>();
    dialog->Init(project_.Mock);
    dialog->show();
    (void)QTest::qWaitForWindowExposed(dialog.get());
  }

  struct TButtons {
    bool Delete, Up, Down;
    bool operator==(const TButtons&) const = default;
  };
  TButtons Buttons() const {
    return {dialog->btnDelete->isEnabled(), dialog->btnMoveUp->isEnabled(),
            dialog->btnMoveDown->isEnabled()};
  }
  void Select(int row) {
    QTest::mouseClick(dialog->lbModules->viewport(), Qt::LeftButton, {},
                      dialog->lbModules->visualItemRect(dialog->lbModules->item(row)).center());
  }

  // Made after the application.
  std::unique_ptr<TProjectModulesDialog> dialog;
};

TEST_F(ProjectModulesDialogTest, ShowsTheProjectModulesWithTheFirstSelected) {
  EXPECT_EQ(dialog->windowTitle(), "Projektmodule bearbeiten");
  EXPECT_EQ(dialog->lblModules->text(), "&Projektmodule:");
  EXPECT_EQ(dialog->btnInsert->text(), "&Hinzufügen...");
  EXPECT_EQ(dialog->btnDelete->text(), "&Entfernen");
  EXPECT_EQ(dialog->btnMoveUp->text(), "Aufwärts");
  EXPECT_EQ(dialog->btnMoveDown->text(), "Abwärts");
  EXPECT_EQ(dialog->btnClose->text(), "Schließen");
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"main", "drive", "sense"}));
  EXPECT_EQ(dialog->lbModules->currentRow(), 0);
  EXPECT_EQ(Buttons(), (TButtons{true, false, true}));
  Select(1);
  EXPECT_EQ(Buttons(), (TButtons{true, true, true}));
  Select(2);
  EXPECT_EQ(Buttons(), (TButtons{true, true, false}));
}

TEST_F(ModuleDialogsTest, TheProjectModulesButtonsStartDisabled) {
  TProjectModulesDialog fresh;
  EXPECT_FALSE(fresh.btnDelete->isEnabled());
  EXPECT_FALSE(fresh.btnMoveUp->isEnabled());
  EXPECT_FALSE(fresh.btnMoveDown->isEnabled());
  EXPECT_TRUE(fresh.btnInsert->isEnabled());
}

TEST_F(ProjectModulesDialogTest, DeletingTheLastOfThreeRowsSelectsTheNewLastRow) {
  Select(2);
  EXPECT_CALL(*project_.Mock, DeleteModule(Ref<IVexaModule>(project_.Modules[6]->Mock)));
  QTest::mouseClick(dialog->btnDelete, Qt::LeftButton);
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"main", "drive"}));
  EXPECT_EQ(dialog->lbModules->currentRow(), 1);
  EXPECT_TRUE(dialog->lbModules->currentItem()->isSelected());
  EXPECT_EQ(Buttons(), (TButtons{true, true, false}));
}

TEST_F(ProjectModulesDialogTest, DeletingAMiddleRowKeepsTheRowIndex) {
  Select(1);
  dialog->btnDeleteClick();
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"main", "sense"}));
  EXPECT_EQ(dialog->lbModules->currentRow(), 1);
  // The user says no: nothing changes.
  EXPECT_CALL(*project_.Mock, DeleteModule(_)).WillOnce(Return(false));
  dialog->btnDeleteClick();
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"main", "sense"}));
  EXPECT_EQ(dialog->lbModules->currentRow(), 1);
}

TEST_F(ProjectModulesDialogTest, DeletingTheOnlyRowLeavesNothingSelected) {
  for (int i = 0; i < 2; ++i) dialog->btnDeleteClick();
  ASSERT_EQ(Rows(dialog->lbModules), QStringList({"sense"}));
  dialog->btnDeleteClick();
  EXPECT_EQ(dialog->lbModules->count(), 0);
  EXPECT_EQ(Buttons(), (TButtons{false, false, false}));
  EXPECT_CALL(*project_.Mock, DeleteModule(_)).Times(0);
  dialog->btnDeleteClick();
}

TEST_F(ProjectModulesDialogTest, MovingTheFirstModuleUpDoesNothingBehindSystemModules) {
  EXPECT_FALSE(dialog->btnMoveUp->isEnabled());
  EXPECT_CALL(*project_.Mock, MoveModule(_, true)).Times(0);
  QTest::mouseClick(dialog->btnMoveUp, Qt::LeftButton);
  testing::Mock::VerifyAndClearExpectations(project_.Mock.get());
  // Asked anyway, the project refuses and the list stays.
  dialog->btnMoveUpClick();
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"main", "drive", "sense"}));
  EXPECT_EQ(project_.ProjectNames(), QStringList({"main", "drive", "sense"}));
  EXPECT_EQ(dialog->lbModules->currentRow(), 0);
}

TEST_F(ProjectModulesDialogTest, TheSelectionFollowsAMovedModule) {
  QTest::mouseClick(dialog->btnMoveDown, Qt::LeftButton);
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"drive", "main", "sense"}));
  EXPECT_EQ(dialog->lbModules->currentItem()->text(), "main");
  EXPECT_EQ(Buttons(), (TButtons{true, true, true}));
  QTest::mouseClick(dialog->btnMoveDown, Qt::LeftButton);
  EXPECT_EQ(Rows(dialog->lbModules), QStringList({"drive", "sense", "main"}));
  EXPECT_EQ(Buttons(), (TButtons{true, true, false}));
  QTest::mouseClick(dialog->btnMoveUp, Qt::LeftButton);
  EXPECT_EQ(dialog->lbModules->currentRow(), 1);
}

TEST_F(ProjectModulesDialogTest, AnInsertedModuleIsSelectedAtTheEnd) {
  QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
  EXPECT_EQ(dialog->lbModules->count(), 4);
  EXPECT_EQ(dialog->lbModules->currentRow(), 3);
  EXPECT_EQ(dialog->lbModules->currentItem()->text(), "neu7");
  // Cancelled: the selection stays.
  Select(1);
  EXPECT_CALL(*project_.Mock, InsertModule()).WillOnce(Return(false));
  dialog->btnInsertClick();
  EXPECT_EQ(dialog->lbModules->currentRow(), 1);
}

// --- through the dialogs ---

TEST_F(ModuleDialogsTest, TheHookRunsTheDialogOfTheKind) {
  EXPECT_FALSE(Dialogs().EditModules(TModuleKind::Project, project_.Mock));
  SetDialogs(std::make_shared<TQtDialogs>());
  {
    TModalWatcher<TProjectModulesDialog> watcher;
    EXPECT_TRUE(Dialogs().EditModules(TModuleKind::Project, project_.Mock));
    EXPECT_EQ(watcher.Seen, 1);
  }
  {
    TModalWatcher<TSelectModulesDialog> watcher;
    EXPECT_TRUE(Dialogs().EditModules(TModuleKind::Common, project_.Mock));
    EXPECT_EQ(watcher.Seen, 1);
  }
  EXPECT_FALSE(Dialogs().EditModules(TModuleKind::System, nullptr));
}

}  // namespace
}  // namespace vexa::ide
