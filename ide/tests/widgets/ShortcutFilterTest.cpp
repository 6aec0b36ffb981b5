#include "widgets/mainwindow/ShortcutFilter.h"

#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "widgets/dialogs/NewProjectOrModuleDialog.h"
#include "widgets/shared/CommandsDataModule.h"

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace vexa::ide {
namespace {

using namespace test;
using testing::NiceMock;
using testing::Return;

// A line edit that counts the key presses it gets (modifier keys apart).
class TCountingEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  int presses = 0;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() != Qt::Key_Control && e->key() != Qt::Key_Shift && e->key() != Qt::Key_Alt)
      ++presses;
    QLineEdit::keyPressEvent(e);
  }
};

// A main window with an editor and a line edit, the command module, its
// actions in the menus as the real window binds them, and the filter.
class ShortcutFilterTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    window_ = std::make_unique<QMainWindow>();
    auto* centre = new QWidget(window_.get());
    auto* layout = new QVBoxLayout(centre);
    editor_ = new QsciScintilla(centre);
    edit_ = new TCountingEdit(centre);
    layout->addWidget(editor_);
    layout->addWidget(edit_);
    window_->setCentralWidget(centre);
    module_ = new TCommandsDataModule(window_.get());
    for (auto* list : {&module_->actlStandard, &module_->actlView, &module_->actlDevelopment}) {
      QMenu* menu = window_->menuBar()->addMenu("m");
      menu->addActions(*list);
      module_->WatchMenu(menu);
    }
    filter_ = std::make_unique<TShortcutFilter>(window_.get());
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  void TearDown() override {
    filter_.reset();
    window_.reset();
    ReleaseServices();
  }

  void Focus(QWidget* w) {
    w->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w);
  }

  TTempSettings settings_;
  std::unique_ptr<QMainWindow> window_;
  QsciScintilla* editor_ = nullptr;
  TCountingEdit* edit_ = nullptr;
  TCommandsDataModule* module_ = nullptr;
  std::unique_ptr<TShortcutFilter> filter_;
};

TEST_F(ShortcutFilterTest, CtrlSSavesOnceFromAnEditorAndFromALineEdit) {
  auto file = std::make_shared<NiceMock<MockFileCommands>>();
  ON_CALL(*file, CanSave()).WillByDefault(Return(true));
  FileCommandHandler = file;
  EXPECT_CALL(*file, Save()).Times(2).WillRepeatedly(Return(true));
  Focus(editor_);
  QTest::keyClick(editor_, Qt::Key_S, Qt::ControlModifier);
  Focus(edit_);
  QTest::keyClick(edit_, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(edit_->presses, 0);
}

TEST_F(ShortcutFilterTest, F9RunsTheSimulationOnce) {
  auto simulator = std::make_shared<NiceMock<MockVexaSimulator>>();
  ON_CALL(*simulator, CanRun()).WillByDefault(Return(true));
  CurrentSimulator = simulator;
  EXPECT_CALL(*simulator, Run()).Times(1);
  Focus(editor_);
  QTest::keyClick(editor_, Qt::Key_F9);
}

TEST_F(ShortcutFilterTest, CtrlCWithASelectionCopiesOnceThroughTheHandler) {
  editor_->setText("alpha beta");
  editor_->selectAll();
  auto edit = std::make_shared<NiceMock<MockEditCommands>>();
  ON_CALL(*edit, CanCopy()).WillByDefault(Return(true));
  EditCommandHandler = edit;
  EXPECT_CALL(*edit, Copy()).Times(1);
  Focus(editor_);
  QTest::keyClick(editor_, Qt::Key_C, Qt::ControlModifier);

  edit_->setText("gamma");
  edit_->selectAll();
  EXPECT_CALL(*edit, Copy()).Times(1);
  Focus(edit_);
  QTest::keyClick(edit_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(edit_->presses, 0);
}

TEST_F(ShortcutFilterTest, KeyOfADisabledActionReachesTheControl) {
  // No edit handler: select-all is disabled, so the line edit selects itself.
  edit_->setText("some text");
  edit_->setCursorPosition(0);
  Focus(edit_);
  QTest::keyClick(edit_, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(edit_->presses, 1);
  EXPECT_EQ(edit_->selectedText(), "some text");
  EXPECT_FALSE(module_->Action("actEditSelectAll")->isEnabled());
}

TEST_F(ShortcutFilterTest, EscapePausesARunningSimulationAndElseReachesTheControl) {
  auto simulator = std::make_shared<NiceMock<MockVexaSimulator>>();
  CurrentSimulator = simulator;
  EXPECT_CALL(*simulator, IsRunning()).WillRepeatedly(Return(true));
  EXPECT_CALL(*simulator, Pause()).Times(1);
  Focus(edit_);
  QTest::keyClick(edit_, Qt::Key_Escape);
  EXPECT_EQ(edit_->presses, 0);
  testing::Mock::VerifyAndClearExpectations(simulator.get());

  EXPECT_CALL(*simulator, IsRunning()).WillRepeatedly(Return(false));
  EXPECT_CALL(*simulator, Pause()).Times(0);
  QTest::keyClick(edit_, Qt::Key_Escape);
  EXPECT_EQ(edit_->presses, 1);
}

TEST_F(ShortcutFilterTest, OtherWindowsKeepTheirKeys) {
  auto file = std::make_shared<NiceMock<MockFileCommands>>();
  ON_CALL(*file, CanSave()).WillByDefault(Return(true));
  FileCommandHandler = file;
  EXPECT_CALL(*file, Save()).Times(0);
  QWidget other;
  auto* otherEdit = new TCountingEdit(&other);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  otherEdit->setFocus();
  QTest::keyClick(otherEdit, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(otherEdit->presses, 1);
}

TEST_F(ShortcutFilterTest, StandardListWinsOverViewListForTheSameKey) {
  auto tree = std::make_shared<NiceMock<MockProjectEditor>>();
  auto window = std::make_shared<NiceMock<MockVexaToolWindow>>();
  ON_CALL(*tree, GetToolWindow()).WillByDefault(Return(window));
  ProjectEditor = tree;
  QAction* view = module_->Action("actViewProjectEditor");
  view->setShortcut(QKeySequence("Ctrl+S"));
  Focus(edit_);

  // The save action owns the key even while disabled: the key goes on.
  EXPECT_CALL(*window, Show).Times(0);
  QTest::keyClick(edit_, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(edit_->presses, 1);
  testing::Mock::VerifyAndClearExpectations(window.get());

  auto file = std::make_shared<NiceMock<MockFileCommands>>();
  ON_CALL(*file, CanSave()).WillByDefault(Return(true));
  FileCommandHandler = file;
  EXPECT_CALL(*file, Save()).Times(1);
  EXPECT_CALL(*window, Show).Times(0);
  QTest::keyClick(edit_, Qt::Key_S, Qt::ControlModifier);
  testing::Mock::VerifyAndClearExpectations(window.get());

  // Without a standard action on the key the view action has it.
  module_->Action("actFileSave")->setShortcut(QKeySequence());
  EXPECT_CALL(*window, Show(true)).Times(1);
  QTest::keyClick(edit_, Qt::Key_S, Qt::ControlModifier);
}

TEST_F(ShortcutFilterTest, ActionsFollowTheHandlersAndRecentLists) {
  EXPECT_EQ(CommandsDataModule, module_);
  QAction* save = module_->Action("actFileSave");
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->text(), "&Speichern");
  EXPECT_EQ(save->toolTip(), "Speichern");
  EXPECT_EQ(save->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(TCommandsDataModule::Category(save), "Datei");
  EXPECT_FALSE(save->icon().isNull());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(module_->Action("actFileNew")->isEnabled());
  EXPECT_EQ(module_->Action("actNone"), nullptr);
  EXPECT_EQ(module_->actlView.size(), 6);

  auto search = std::make_shared<NiceMock<MockSearchCommands>>();
  ON_CALL(*search, IsCaseSensitive()).WillByDefault(Return(true));
  SearchCommandHandler = search;
  module_->AddRecentFile("/w/a&b.v2");
  module_->UpdateActions();
  EXPECT_TRUE(module_->Action("actSearchCaseSensitive")->isChecked());
  EXPECT_TRUE(module_->RecentFileActions[0]->isVisible());
  EXPECT_EQ(module_->RecentFileActions[0]->text(), "/w/a&&b.v2");
  EXPECT_FALSE(module_->RecentFileActions[1]->isVisible());
  EXPECT_FALSE(module_->Action("actFileNew")->isEnabled());  // no IDE yet

  // The timer refreshes without being asked.
  SearchCommandHandler.reset();
  QTRY_VERIFY_WITH_TIMEOUT(!module_->Action("actSearchCaseSensitive")->isChecked(), 2000);
}

TEST_F(ShortcutFilterTest, NewDialogCreatesTheChosenKind) {
  auto ide = std::make_shared<NiceMock<MockVexaIDE>>();
  VexaIDE = ide;
  module_->LastCreateType = TFileKind::BasicProject;
  TFileKind shownKind = TFileKind::Plain;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TNewProjectOrModuleDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Neu");
    EXPECT_EQ(dialog->rgProjectOrModule->title(), "Erstelle ein neues");
    shownKind = dialog->GetKind();
    dialog->SetKind(TFileKind::V2Module);
    dialog->accept();
  });
  EXPECT_CALL(*ide, OpenByKind(QString(), TFileKind::V2Module));
  module_->Action("actFileNew")->trigger();
  EXPECT_EQ(shownKind, TFileKind::BasicProject);
  EXPECT_EQ(module_->LastCreateType, TFileKind::V2Module);
}

TEST(NewProjectOrModuleDialogTest, KindSelectsItsItem) {
  TestApp();
  TNewProjectOrModuleDialog dialog;
  const std::pair<int, int> kinds[] = {{1, 1}, {2, 2}, {3, 3}, {0, 3}, {7, 3}, {-1, 3}};
  for (const auto& [set, got] : kinds) {
    dialog.SetKind(static_cast<TFileKind>(set));
    EXPECT_EQ(int(dialog.GetKind()), got) << set;
    const auto items = dialog.rgProjectOrModule->findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[got - 1]->isChecked());
  }
}

}  // namespace
}  // namespace vexa::ide
