#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/core/Settings.h"
#include "widgets/mainwindow/CommandsDataModule.h"
#include "widgets/mainwindow/MainForm.h"
#include "widgets/views/MessageView.h"
#include "widgets/views/ProjectTree.h"
#include "widgets/views/WatchesView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

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

}  // namespace
}  // namespace vexa::ide
