#include "MockIntfs.h"
#include "model/core/Services.h"
#include "model/core/Settings.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "widgets/mainwindow/MainForm.h"
#include "widgets/views/MessageView.h"
#include "widgets/views/ProjectTree.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vexa::ide
