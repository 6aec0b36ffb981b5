#include "DockingTestSupport.h"
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/settings/Settings.h"
#include "widgets/mainwindow/IDEMainForm.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/ProjectEditor.h"
#include "widgets/views/WatchesViewer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>
#include <string>

namespace vexa::ide {
namespace {

using namespace test;
using testing::_;
using testing::NiceMock;
using testing::Return;

// The real main window with the registered views: the tree docks left, the
// messages at the bottom, and the hub's notifications reach both.
TEST(ViewsInTheMainWindow, DockAndFollowTheHub) {
  TestApp();
  TTempSettings settings;
  settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  RegisterMessageView();
  RegisterProjectEditor();
  auto tree = std::dynamic_pointer_cast<TProjectEditor>(ProjectEditor);
  auto messages = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
  ASSERT_TRUE(tree && messages);
  {
    TIDEMainForm window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_NE(tree->DockWidget(), nullptr);
    ASSERT_NE(messages->DockWidget(), nullptr);
    EXPECT_EQ(window.dockWidgetArea(tree->DockWidget()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(window.dockWidgetArea(messages->DockWidget()), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(tree->DockWidget()->isVisible());
    EXPECT_TRUE(messages->DockWidget()->isVisible());
    EXPECT_EQ(tree->DockWidget()->windowTitle(), "Projekte");
    EXPECT_EQ(messages->DockWidget()->windowTitle(), "Meldungen");

    auto project = std::make_shared<NiceMock<MockVexaProject>>();
    auto module = std::make_shared<NiceMock<MockVexaModule>>();
    ON_CALL(*project, GetName()).WillByDefault(Return("demo"));
    ON_CALL(*project, GetModuleCount()).WillByDefault(Return(1));
    ON_CALL(*project, GetModule(0)).WillByDefault(Return(module));
    ON_CALL(*project, MayDeactivate()).WillByDefault(Return(true));
    ON_CALL(*project, CloseQuery()).WillByDefault(Return(true));
    ON_CALL(*module, GetName()).WillByDefault(Return("motor"));
    VexaIDE->AddProject(project);
    QTreeWidget* view = tree->EditorForm()->treeProjects;
    ASSERT_EQ(view->topLevelItemCount(), 1);
    QTreeWidgetItem* root = view->topLevelItem(0);
    EXPECT_EQ(root->text(0), "demo");
    EXPECT_TRUE(root->data(0, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(root->child(2)->child(0)->text(0), "motor");

    auto message = std::make_shared<NiceMock<MockVexaMessage>>();
    ON_CALL(*message, GetText()).WillByDefault(Return("motor (7) : Fehler"));
    ON_CALL(*message, GetSource()).WillByDefault(Return(project));
    MessageView->Add(message);
    EXPECT_EQ(messages->ViewerForm()->Model()->rowCount(), 1);
    EXPECT_EQ(messages->ViewerForm()->Model()->data(messages->ViewerForm()->Model()->index(0),
                                                    Qt::DisplayRole),
              "motor (7) : Fehler");

    VexaIDE->RemoveProject(project);
    EXPECT_EQ(view->topLevelItemCount(), 0);
  }
  ReleaseServices();
}

// Closing the messages and the watches, the two tabs of the bottom area, and
// showing them again through their menu commands brings the area back at the
// height it had.
TEST(ViewsInTheMainWindow, TheBottomAreaComesBackWhole) {
  TestApp();
  TTempSettings settings;
  settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  RegisterMessageView();
  RegisterWatchesView();
  auto messages = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
  auto watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
  ASSERT_TRUE(messages && watches);
  {
    TIDEMainForm window;
    window.resize(1000, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto settle = [] {
      for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    };
    settle();
    auto bottomHeight = [&window] {
      return window.StatusBar()->geometry().top() - window.PageControl()->geometry().bottom() - 1;
    };
    ASSERT_EQ(window.tabifiedDockWidgets(watches->DockWidget()),
              QList<QDockWidget*>{messages->DockWidget()});
    const int height = bottomHeight();
    ASSERT_GT(height, 0);

    QAction* showMessages = CommandsDataModule->Action("actViewMessageViewer");
    QAction* showWatches = CommandsDataModule->Action("actViewVariables");
    ASSERT_TRUE(showMessages && showWatches);
    EXPECT_EQ(showMessages->shortcut(), QKeySequence("Ctrl+Alt+M"));
    EXPECT_EQ(showWatches->shortcut(), QKeySequence("Ctrl+Alt+V"));
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      messages->DockWidget()->close();
      settle();
      watches->DockWidget()->close();
      settle();
      ASSERT_EQ(bottomHeight(), 0);
      // As the user presses them; the shortcuts update the actions first.
      QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
      settle();
      QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
      settle();
      EXPECT_TRUE(watches->DockWidget()->isVisible());
      EXPECT_EQ(bottomHeight(), height);
    }
  }
  ReleaseServices();
}

// The real main window with the three registered views.
class RealMainWindow : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
    RegisterMessageView();
    RegisterProjectEditor();
    RegisterWatchesView();
    tree = std::dynamic_pointer_cast<TProjectEditor>(ProjectEditor);
    messages = std::dynamic_pointer_cast<TMessageViewer>(MessageView);
    watches = std::dynamic_pointer_cast<TWatchesViewer>(WatchesView);
    ASSERT_TRUE(tree && messages && watches);
  }
  void TearDown() override {
    window.reset();
    ReleaseServices();
  }

  TIDEMainForm& Start() {
    window = std::make_unique<TIDEMainForm>();
    window->resize(1000, 700);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    Settle();
    return *window;
  }

  // The project tree and the watches floating, the watches dragged onto the
  // tree: both become tabs of one floating window, which is returned.
  QWidget* FloatTreeAndWatchesAsGroup() {
    TVexaDockWidget* treeDock = tree->DockWidget();
    TVexaDockWidget* watchesDock = watches->DockWidget();
    treeDock->setFloating(true);
    watchesDock->setFloating(true);
    treeDock->move(100, 100);
    watchesDock->move(500, 300);
    Settle();
    DragOnto(watchesDock, treeDock);
    QWidget* group = treeDock->window();
    EXPECT_NE(group, window.get());
    EXPECT_EQ(watchesDock->window(), group) << "one floating window holds both";
    EXPECT_EQ(qobject_cast<QDockWidget*>(group), nullptr) << "Qt's own window, no dock widget";
    return group;
  }

  // Activates Group and clicks into the project tree, which should then have the focus.
  QTreeWidget* ClickTreeIn(QWidget* Group) {
    Group->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Group));
    QTreeWidget* view = tree->EditorForm()->treeProjects;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 60));
    Settle();
    return view;
  }

  // The height the bottom area takes from the editor pages.
  int BottomHeight() const {
    return window->StatusBar()->geometry().top() - window->PageControl()->geometry().bottom() - 1;
  }

  TTempSettings settings;
  std::shared_ptr<TProjectEditor> tree;
  std::shared_ptr<TMessageViewer> messages;
  std::shared_ptr<TWatchesViewer> watches;
  std::unique_ptr<TIDEMainForm> window;
};

// Keys of the commands reach them from a tree that sits with the watches in a
// floating tab group, as from a single floating tool window.
TEST_F(RealMainWindow, KeysReachTheCommandsFromAFloatingTabGroup) {
  TScopedFakeDialogs dialogs;
  Start();
  QWidget* group = FloatTreeAndWatchesAsGroup();
  ASSERT_TRUE(group->isVisible());
  tree->Show(true);  // the tree's tab in front
  QTreeWidget* view = ClickTreeIn(group);
  ASSERT_EQ(QApplication::focusWidget(), view);
  ASSERT_EQ(QApplication::activeWindow(), group);

  // Ctrl+O asks for the file to open.
  QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(dialogs->calls.size(), 1u);
  EXPECT_EQ(dialogs->calls[0].kind, TFakeDialogs::Kind::FileDialog);

  // Escape pauses a running simulation.
  auto simulator = std::make_shared<NiceMock<MockVexaSimulator>>();
  ON_CALL(*simulator, IsRunning()).WillByDefault(Return(true));
  EXPECT_CALL(*simulator, Pause()).Times(1);
  CurrentSimulator = simulator;
  QTest::keyClick(view, Qt::Key_Escape);
  testing::Mock::VerifyAndClearExpectations(simulator.get());
  CurrentSimulator.reset();

  // Shift+F10 opens the tree's menu, as the Menu key does.
  QMenu* menu = tree->EditorForm()->pmnuProjectTree;
  QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
  Settle();
  EXPECT_TRUE(menu->isVisible());
  menu->close();
  Settle();
  group->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(group));
  view->setFocus();

  // Ctrl+Alt+M brings the closed messages back.
  messages->DockWidget()->close();
  Settle();
  ASSERT_TRUE(messages->DockWidget()->isHidden());
  ASSERT_EQ(QApplication::activeWindow(), group);
  QTest::keyClick(view, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
  Settle();
  EXPECT_TRUE(messages->DockWidget()->isVisible());
}

// The key of a tool window that is a hidden tab of a floating group brings
// its tab to the front and gives it the focus.
TEST_F(RealMainWindow, TheKeyOfAHiddenTabInAFloatingGroupBringsItToTheFront) {
  Start();
  QWidget* group = FloatTreeAndWatchesAsGroup();
  TVexaDockWidget* messagesDock = messages->DockWidget();
  messagesDock->setFloating(true);
  messagesDock->move(600, 450);
  Settle();
  DragOnto(messagesDock, group);
  ASSERT_EQ(messagesDock->window(), group);
  const QList<QTabBar*> bars = group->findChildren<QTabBar*>();
  ASSERT_EQ(bars.size(), 1);
  QTabBar* bar = bars[0];
  ASSERT_EQ(bar->count(), 3);
  auto inSight = [](const QWidget* Form) {
    return Form->isVisible() && !Form->visibleRegion().isEmpty();
  };
  const auto treeDock = reinterpret_cast<quintptr>(tree->DockWidget());
  int treeTab = -1;
  for (int i = 0; i < bar->count(); ++i)
    if (bar->tabData(i).value<quintptr>() == treeDock) treeTab = i;
  ASSERT_GE(treeTab, 0);

  const struct {
    TVexaDockable* View;
    Qt::Key Key;
  } cases[] = {{watches.get(), Qt::Key_V}, {messages.get(), Qt::Key_M}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.View->Form()->windowTitle().toStdString());
    // "Projekte" in front, the tree has the focus.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(treeTab).center());
    Settle();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTreeWidget* view = ClickTreeIn(group);
    ASSERT_EQ(QApplication::focusWidget(), view);
    ASSERT_TRUE(inSight(view));
    ASSERT_FALSE(inSight(c.View->Form()));

    QTest::keyClick(view, c.Key, Qt::ControlModifier | Qt::AltModifier);
    Settle();
    EXPECT_TRUE(inSight(c.View->Form()));
    EXPECT_FALSE(inSight(view));
    EXPECT_TRUE(c.View->Form()->isAncestorOf(QApplication::focusWidget()));
  }
}

struct BottomCycle {
  const char* Name;
  // 'M' the messages, 'V' the watches: closed in this order (each made the
  // front tab first, as the user must), then shown in this order.
  const char* Close;
  const char* Show;
};

void PrintTo(const BottomCycle& Cycle, std::ostream* Out) { *Out << Cycle.Name; }

class BottomArea : public RealMainWindow, public testing::WithParamInterface<BottomCycle> {};

// Closing tool windows of the bottom area by their close buttons and showing
// them by their keys brings the area back at the height it had, however often.
TEST_P(BottomArea, KeepsItsHeightThroughCloseAndShowCycles) {
  const BottomCycle& c = GetParam();
  TIDEMainForm& w = Start();
  TVexaDockWidget* m = messages->DockWidget();
  TVexaDockWidget* v = watches->DockWidget();
  ASSERT_EQ(w.tabifiedDockWidgets(v), QList<QDockWidget*>{m});
  const int height = BottomHeight();
  ASSERT_GT(height, 0);
  auto dock = [&](char Which) { return Which == 'M' ? m : v; };
  auto key = [](char Which) { return Which == 'M' ? Qt::Key_M : Qt::Key_V; };

  for (int cycle = 1; cycle <= 5; ++cycle) {
    SCOPED_TRACE(cycle);
    for (const char* which = c.Close; *which; ++which) {
      TVexaDockWidget* target = dock(*which);
      // Its tab, when there still is a tab bar.
      for (QTabBar* bar : w.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly)) {
        if (!bar->isVisible()) continue;
        for (int i = 0; i < bar->count(); ++i)
          if (bar->tabText(i) == target->windowTitle())
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(i).center());
      }
      Settle();
      const QList<QToolButton*> buttons = target->titleBarWidget()->findChildren<QToolButton*>();
      ASSERT_EQ(buttons.size(), 2);
      ASSERT_TRUE(buttons[1]->isVisible()) << *which << " in front";
      QTest::mouseClick(buttons[1], Qt::LeftButton);
      Settle();
      ASSERT_TRUE(target->isHidden());
    }
    if (std::string(c.Close).size() == 2) {
      ASSERT_EQ(BottomHeight(), 0);
    }
    for (const char* which = c.Show; *which; ++which) {
      QTest::keyClick(&w, key(*which), Qt::ControlModifier | Qt::AltModifier);
      Settle();
      ASSERT_TRUE(dock(*which)->isVisible());
    }
    EXPECT_EQ(BottomHeight(), height);
    ASSERT_EQ(w.tabifiedDockWidgets(v), QList<QDockWidget*>{m});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, BottomArea,
    testing::Values(BottomCycle{"WatchesThenMessagesShownInTurn", "VM", "MV"},
                    BottomCycle{"MessagesThenWatchesShownInTurn", "MV", "MV"},
                    BottomCycle{"WatchesThenMessagesShownBackwards", "VM", "VM"},
                    BottomCycle{"MessagesThenWatchesShownBackwards", "MV", "VM"},
                    BottomCycle{"OnlyTheWatches", "V", "V"},
                    BottomCycle{"OnlyTheMessages", "M", "M"}),
    [](const auto& info) { return std::string(info.param.Name); });

// The saved state of a 1000 x 700 main window that was left with the tree and
// the watches as a floating tab group, the simulator bar in the left area and
// the view bar hidden, as the IDE writes it (Base64, as in the settings file).
constexpr const char* kStateWithAFloatingGroup =
    "AAAA/wAAAAD9AAAAAQAAAAMAAAPoAAAA1fwBAAAAAfsAAAAaAE0AZQBzAHMAYQBnAGUAVgBpAGUAdwBlAHIBAAAA"
    "AAAAA+gAAAAqAP///wAAA+gAAAF6AAAABAAAAAQAAAABAAAAAvkAAABkAAAAYgAAAWMAAAK4/AEAAAAB/AAAAAEA"
    "AAD+AAAAewD////6AAAAAAEAAAAC+wAAABoAVwBhAHQAYwBoAGUAcwBWAGkAZQB3AGUAcgEAAAAA/////wAAACoA"
    "////+wAAABoAUAByAG8AagBlAGMAdABFAGQAaQB0AG8AcgEAAAAA/////wAAACoA/////AAAAAMAAAAAAAAAAQAA"
    "ABoAdABiADkANwBTAGkAbQB1AGwAYQB0AG8AcgMAAAAA/////wAAAAAAAAAAAAAAAgAAAAMAAAAYAHQAYgA5ADcA"
    "UwB0AGEAbgBkAGEAcgBkAQAAAAD/////AAAAAAAAAAAAAAAQAHQAYgA5ADcAVgBpAGUAdwAAAAFX/////wAAAAAA"
    "AAAAAAAAFAB0AGIAOQA3AFMAZQBhAHIAYwBoAQAAAbL/////AAAAAAAAAAAAAAACAAAAAQAAABYAdABiADkANwBQ"
    "AHIAbwBqAGUAYwB0AQAAAAD/////AAAAAAAAAAA=";

class Restart : public RealMainWindow {
 protected:
  // A new main window: no window of its own shows before it, none beside it
  // once shown (the tool windows are docked anew), and the bars are where
  // they were left.
  void ExpectAStartWithoutEmptyWindows() {
    window = std::make_unique<TIDEMainForm>();
    Settle();
    for (QWidget* top : QApplication::topLevelWidgets())
      EXPECT_FALSE(top->isVisible()) << top->metaObject()->className() << " "
                                     << top->windowTitle().toStdString() << " before the show";
    TIDEMainForm& w = *window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Settle();
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top == &w) continue;
      EXPECT_FALSE(top->isVisible())
          << top->metaObject()->className() << " " << top->windowTitle().toStdString();
    }
    EXPECT_EQ(tree->DockWidget()->window(), &w);
    EXPECT_EQ(w.dockWidgetArea(tree->DockWidget()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(watches->DockWidget()->window(), &w);
    EXPECT_EQ(w.dockWidgetArea(watches->DockWidget()), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(tree->EditorForm()->isVisible());

    EXPECT_EQ(w.toolBarArea(w.tb97Simulator), Qt::LeftToolBarArea);
    EXPECT_TRUE(w.tb97View->isHidden());
    for (QToolBar* bar : {w.tb97Standard, w.tb97Search, w.tb97Project}) {
      EXPECT_EQ(w.toolBarArea(bar), Qt::TopToolBarArea) << bar->objectName().toStdString();
      EXPECT_TRUE(bar->isVisible()) << bar->objectName().toStdString();
    }
    EXPECT_TRUE(w.toolBarBreak(w.tb97Project));
  }
};

TEST_F(Restart, AfterAFloatingTabGroupShowsNoEmptyWindowAndKeepsTheBars) {
  TIDEMainForm& w = Start();
  FloatTreeAndWatchesAsGroup();
  w.addToolBar(Qt::LeftToolBarArea, w.tb97Simulator);
  w.tb97View->hide();
  ASSERT_TRUE(w.close());
  window.reset();
  Settle();
  ExpectAStartWithoutEmptyWindows();
}

TEST_F(Restart, FromAStateOfTheEarlierBuildShowsNoEmptyWindowAndKeepsTheBars) {
  settings::WriteInteger("Main", "Left", 0);
  settings::WriteInteger("Main", "Top", 0);
  settings::WriteInteger("Main", "Width", 1000);
  settings::WriteInteger("Main", "Height", 700);
  settings::WriteString("Main", "ToolbarState", QString::fromLatin1(kStateWithAFloatingGroup));
  ExpectAStartWithoutEmptyWindows();
}

// A damaged state places no bar and leaves no window behind.
TEST_F(Restart, ADamagedStateLeavesTheBarsWhereTheyStart) {
  const QByteArray whole = QByteArray::fromBase64(kStateWithAFloatingGroup);
  const QByteArray damaged[] = {whole.left(whole.size() - 3), whole.left(8),
                                QByteArray(40, char(0xfc)), whole.mid(8)};
  for (const QByteArray& state : damaged) {
    SCOPED_TRACE(state.size());
    settings::WriteString("Main", "ToolbarState", QString::fromLatin1(state.toBase64()));
    window = std::make_unique<TIDEMainForm>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    Settle();
    for (QWidget* top : QApplication::topLevelWidgets())
      EXPECT_TRUE(top == window.get() || !top->isVisible()) << top->metaObject()->className();
    for (QToolBar* bar : window->Toolbars()) {
      EXPECT_EQ(window->toolBarArea(bar), Qt::TopToolBarArea) << bar->objectName().toStdString();
      EXPECT_TRUE(bar->isVisible()) << bar->objectName().toStdString();
    }
    window.reset();
  }
}

}  // namespace
}  // namespace vexa::ide
