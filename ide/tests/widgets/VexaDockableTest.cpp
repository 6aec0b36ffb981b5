#include "DockingTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QToolButton>

#include "MockIntfs.h"
#include "model/core/Services.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace vexa::ide {
namespace {

using test::Settle;
using test::TTestToolWindow;

struct AreaCase {
  Qt::DockWidgetArea Area;
  const char* Site;
};

const AreaCase kAreas[] = {
    {Qt::LeftDockWidgetArea, "DockPanelLeft"},
    {Qt::RightDockWidgetArea, "DockPanelRight"},
    {Qt::BottomDockWidgetArea, "DockPanelBottom"},
};

// Qt moves a tab behind another out of sight without hiding it.
bool InSight(const QWidget* Form) { return Form->isVisible() && !Form->visibleRegion().isEmpty(); }

// Width in a side area, height in the bottom one.
int Extent(const QWidget* Dock, Qt::DockWidgetArea Area) {
  return Area == Qt::BottomDockWidgetArea ? Dock->height() : Dock->width();
}

class DockAreaTest : public ::testing::TestWithParam<AreaCase> {
 protected:
  test::TMainWindowFixture W;
};

// Drags the separator between the area and the centre with the mouse, by
// Grow pixels in the direction that makes the area larger.
void DragSeparator(test::TMainWindowFixture& W, const QWidget* Dock, Qt::DockWidgetArea Area,
                   int Grow) {
  const QRect centre = W.Centre()->geometry();
  QPoint grab, target;
  switch (Area) {
    case Qt::LeftDockWidgetArea:
      grab = {(Dock->geometry().right() + centre.left()) / 2, centre.center().y()};
      target = grab + QPoint(Grow, 0);
      break;
    case Qt::RightDockWidgetArea:
      grab = {(centre.right() + Dock->geometry().left()) / 2, centre.center().y()};
      target = grab - QPoint(Grow, 0);
      break;
    default:
      grab = {centre.center().x(), (centre.bottom() + Dock->geometry().top()) / 2};
      target = grab - QPoint(0, Grow);
      break;
  }
  auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, W.Main.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&W.Main, &e);
    QTest::qWait(5);  // the layout moves separators on a timer
  };
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  send(QEvent::MouseMove, (grab + target) / 2, Qt::LeftButton);
  send(QEvent::MouseMove, target, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, target, Qt::NoButton);
  Settle();
}

TEST_P(DockAreaTest, ClosingTheOnlyToolWindowFreesTheAreaAndShowingItRestoresItsSize) {
  const AreaCase& c = GetParam();
  QWidget* site = W.Main.DockPanel(c.Area);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->objectName(), c.Site);
  EXPECT_EQ(W.AreaExtent(c.Area), 0);
  const Qt::Orientation orientation =
      c.Area == Qt::BottomDockWidgetArea ? Qt::Vertical : Qt::Horizontal;

  // Two tool windows take turns in the area, each at its own size.
  TTestToolWindow first(&W.Main), second(&W.Main);
  const struct {
    TTestToolWindow* Tool;
    int Size;
  } turns[] = {{&first, 137}, {&second, 90}};
  for (const auto& turn : turns) {
    turn.Tool->DockInto(&W.Main, site);
    Settle();
    TVexaDockWidget* dock = turn.Tool->DockWidget();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(W.Main.dockWidgetArea(dock), c.Area);
    EXPECT_GT(W.AreaExtent(c.Area), 0);
    W.Main.resizeDocks({dock}, {turn.Size}, orientation);
    Settle();
    ASSERT_EQ(Extent(dock, c.Area), turn.Size);

    turn.Tool->Close();
    Settle();
    EXPECT_EQ(W.AreaExtent(c.Area), 0);
    EXPECT_NE(turn.Tool->Form(), nullptr) << "a docked tool window is only hidden";
    EXPECT_EQ(turn.Tool->Data().DockSiteName, c.Site);
  }

  // The window grows meanwhile: an area keeps its tool window's size.
  W.Main.resize(1000, 700);
  Settle();
  for (const auto& turn : turns) {
    turn.Tool->Show(false);
    Settle();
    EXPECT_TRUE(turn.Tool->Form()->isVisible());
    EXPECT_EQ(Extent(turn.Tool->DockWidget(), c.Area), turn.Size);
    turn.Tool->Close();
    Settle();
  }
}

TEST_P(DockAreaTest, AnAreaCannotBeDraggedSmallerThan42Pixels) {
  const AreaCase& c = GetParam();
  TTestToolWindow tool(&W.Main);
  tool.DockInto(&W.Main, W.Main.DockPanel(c.Area));
  Settle();
  TVexaDockWidget* dock = tool.DockWidget();
  const bool bottom = c.Area == Qt::BottomDockWidgetArea;
  W.Main.resizeDocks({dock}, {120}, bottom ? Qt::Vertical : Qt::Horizontal);
  Settle();
  ASSERT_EQ(Extent(dock, c.Area), 120);

  // Pulled far towards the window's edge.
  DragSeparator(W, dock, c.Area, -110);
  EXPECT_EQ(Extent(dock, c.Area), TVexaMainForm::MinDockSize);

  // Asked in code as well.
  W.Main.resizeDocks({dock}, {10}, bottom ? Qt::Vertical : Qt::Horizontal);
  Settle();
  EXPECT_EQ(Extent(dock, c.Area), TVexaMainForm::MinDockSize);

  // The minimum never keeps a closed area open.
  tool.Close();
  Settle();
  EXPECT_EQ(W.AreaExtent(c.Area), 0);
}

// The window made small takes space from the area as well; made large again,
// it gives the area back the size the user dragged it to, also when another
// tab came to the front or the area was shown meanwhile.
TEST_P(DockAreaTest, AnAreaGetsItsSizeBackWhenTheWindowGrowsAgain) {
  const AreaCase& c = GetParam();
  QWidget* site = W.Main.DockPanel(c.Area);
  TTestToolWindow messages(&W.Main, "Meldungen"), watches(&W.Main, "Variablen");
  messages.DockInto(&W.Main, site);
  watches.DockInto(&W.Main, site);
  messages.Show(false);
  Settle();
  // Wider or higher than the small window below.
  W.Main.resizeDocks({messages.DockWidget()}, {390},
                     c.Area == Qt::BottomDockWidgetArea ? Qt::Vertical : Qt::Horizontal);
  Settle();
  const int before = W.AreaExtent(c.Area);
  DragSeparator(W, messages.DockWidget(), c.Area, 60);
  const int size = W.AreaExtent(c.Area);
  ASSERT_EQ(size, before + 60);

  const QSize large = W.Main.size();
  auto smallAndLarge = [&](const std::function<void()>& WhileSmall) {
    W.Main.resize(400, 300);
    Settle();
    WhileSmall();
    Settle();
    ASSERT_LT(W.AreaExtent(c.Area), size) << "the small window squeezes the area";
    W.Main.resize(large);
    Settle();
    EXPECT_EQ(W.AreaExtent(c.Area), size);
  };
  smallAndLarge([] {});
  smallAndLarge([&] { watches.Show(false); });
  messages.Close();
  watches.Close();
  Settle();
  smallAndLarge([&] { messages.Show(false); });
}

// Two tool windows as tabs in one area, both closed and shown again: the
// area comes back at the size it had, tab bar included.
TEST_P(DockAreaTest, ClosingAndShowingBothTabsBringsTheAreaBackWhole) {
  const AreaCase& c = GetParam();
  QWidget* site = W.Main.DockPanel(c.Area);
  TTestToolWindow messages(&W.Main, "Meldungen"), watches(&W.Main, "Variablen");
  messages.DockInto(&W.Main, site);
  watches.DockInto(&W.Main, site);
  Settle();
  ASSERT_EQ(W.Main.tabifiedDockWidgets(watches.DockWidget()),
            QList<QDockWidget*>{messages.DockWidget()});
  W.Main.resizeDocks({watches.DockWidget()}, {160},
                     c.Area == Qt::BottomDockWidgetArea ? Qt::Vertical : Qt::Horizontal);
  Settle();
  const int extent = W.AreaExtent(c.Area);
  ASSERT_GT(extent, 160);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    messages.Close();
    Settle();
    watches.Close();
    Settle();
    ASSERT_EQ(W.AreaExtent(c.Area), 0);
    messages.Show(true);
    Settle();
    watches.Show(true);
    Settle();
    EXPECT_TRUE(InSight(watches.Form()));
    EXPECT_EQ(W.AreaExtent(c.Area), extent);
  }

  // In the other order as well.
  watches.Close();
  Settle();
  messages.Close();
  Settle();
  watches.Show(false);
  Settle();
  messages.Show(false);
  Settle();
  EXPECT_EQ(W.AreaExtent(c.Area), extent);
}

INSTANTIATE_TEST_SUITE_P(Areas, DockAreaTest, ::testing::ValuesIn(kAreas),
                         [](const auto& info) { return std::string(info.param.Site); });

class DockableTest : public ::testing::Test {
 protected:
  test::TMainWindowFixture W;
};

TEST_F(DockableTest, ShowWithFocusBringsATabBehindAnotherToTheFront) {
  TTestToolWindow messages(&W.Main, "Meldungen");
  TTestToolWindow watches(&W.Main, "Variablen");
  messages.DockInto(&W.Main, W.Main.DockPanel(Qt::BottomDockWidgetArea));
  watches.DockInto(&W.Main, W.Main.DockPanel(Qt::BottomDockWidgetArea));
  Settle();
  ASSERT_EQ(W.Main.tabifiedDockWidgets(watches.DockWidget()),
            QList<QDockWidget*>{messages.DockWidget()});

  W.Main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&W.Main));
  messages.Show(false);
  Settle();
  ASSERT_TRUE(InSight(messages.Form()));
  ASSERT_FALSE(InSight(watches.Form()));

  watches.Show(true);
  Settle();
  EXPECT_TRUE(InSight(watches.Form()));
  EXPECT_FALSE(InSight(messages.Form()));
  EXPECT_EQ(QApplication::focusWidget(), watches.Edit());

  // Both still count as open: the area does not collapse behind a tab.
  EXPECT_EQ(W.Main.DockClients(Qt::BottomDockWidgetArea, true).size(), 2u);
}

TEST_F(DockableTest, CloseDeletesAFloatingFormAndShowMakesANewOne) {
  TTestToolWindow tool(&W.Main);
  tool.Show(false);
  Settle();
  ASSERT_NE(tool.DockWidget(), nullptr);
  EXPECT_TRUE(tool.DockWidget()->isFloating()) << "a new form floats by itself";
  EXPECT_EQ(tool.FormsCreated(), 1);
  tool.DockWidget()->resize(260, 180);
  Settle();

  QPointer<QWidget> form = tool.Form();
  tool.Close();
  EXPECT_EQ(tool.Form(), nullptr);
  EXPECT_EQ(tool.DockWidget(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(tool.Data().DockSiteName, "");
  EXPECT_EQ(tool.Data().UndockLeft, 0);
  EXPECT_EQ(tool.Data().UndockRight, 260);
  EXPECT_EQ(tool.Data().UndockBottom, 180);

  tool.Show(false);
  Settle();
  ASSERT_NE(tool.Form(), nullptr);
  EXPECT_EQ(tool.FormsCreated(), 2);
  EXPECT_TRUE(tool.Form()->isVisible());
  EXPECT_TRUE(tool.DockWidget()->isFloating());
  EXPECT_EQ(tool.DockWidget()->size(), QSize(260, 180));

  // Closed by its own title-bar button: the same.
  form = tool.Form();
  tool.DockWidget()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(tool.Form(), nullptr);
}

// A new floating form comes up over the main window and on its screen, also
// when it is taller than the space below the main window.
TEST_F(DockableTest, ANewFloatingFormComesUpOverTheMainWindow) {
  W.Main.move(40, 30);
  Settle();
  TTestToolWindow tool(&W.Main);
  const QRect screen = W.Main.screen()->availableGeometry();
  for (const QSize size : {QSize(260, 180), QSize(250, screen.height() + 200)}) {
    SCOPED_TRACE(size.height());
    tool.Show(false);
    Settle();
    ASSERT_NE(tool.DockWidget(), nullptr);
    tool.DockWidget()->resize(size);
    tool.DockWidget()->move(screen.right() - 20, screen.bottom() - 20);
    Settle();
    tool.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    tool.Show(false);
    Settle();
    QWidget* dock = tool.DockWidget();
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(tool.DockWidget()->isFloating());
    EXPECT_EQ(dock->width(), size.width());
    const QRect frame = dock->frameGeometry();
    EXPECT_TRUE(screen.contains(frame.topLeft())) << frame.x() << "," << frame.y();
    EXPECT_LE(frame.bottom(), screen.bottom());
    if (frame.height() < W.Main.height()) {
      EXPECT_TRUE(W.Main.frameGeometry().contains(frame)) << frame.x() << "," << frame.y();
    }
    tool.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(DockableTest, CloseOfADockedFormKeepsItAndTheOtherTabsOpen) {
  TTestToolWindow messages(&W.Main), watches(&W.Main);
  QWidget* bottom = W.Main.DockPanel(Qt::BottomDockWidgetArea);
  messages.DockInto(&W.Main, bottom);
  watches.DockInto(&W.Main, bottom);
  Settle();
  const int height = W.AreaExtent(Qt::BottomDockWidgetArea);

  QPointer<QWidget> form = messages.Form();
  messages.Close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Settle();
  ASSERT_FALSE(form.isNull());
  EXPECT_EQ(messages.Form(), form.data());
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(InSight(watches.Form()));
  EXPECT_GT(W.AreaExtent(Qt::BottomDockWidgetArea), 0);
  EXPECT_LE(W.AreaExtent(Qt::BottomDockWidgetArea), height);
}

TEST_F(DockableTest, DockIntoMovesAToolWindowBetweenAreasAndOutOfFloating) {
  TTestToolWindow tool(&W.Main);
  tool.Show(false);
  Settle();
  ASSERT_TRUE(tool.DockWidget()->isFloating());
  for (const AreaCase& c : kAreas) {
    tool.DockInto(&W.Main, W.Main.DockPanel(c.Area));
    Settle();
    EXPECT_FALSE(tool.DockWidget()->isFloating()) << c.Site;
    EXPECT_EQ(W.Main.dockWidgetArea(tool.DockWidget()), c.Area) << c.Site;
    EXPECT_GT(W.AreaExtent(c.Area), 0) << c.Site;
    EXPECT_EQ(tool.FormsCreated(), 1) << c.Site;
  }
  EXPECT_EQ(W.AreaExtent(Qt::LeftDockWidgetArea), 0);
  EXPECT_EQ(W.AreaExtent(Qt::RightDockWidgetArea), 0);
}

TEST_F(DockableTest, ANewFormBelongsToTheMainFormOfTheIDE) {
  // The IDE's main window wins over the one given at construction.
  TVexaMainForm ideMain;
  auto ide = std::make_shared<testing::NiceMock<test::MockVexaIDE>>();
  ON_CALL(*ide, GetMainForm()).WillByDefault(testing::Return(&ideMain));
  VexaIDE = ide;
  TTestToolWindow tool(&W.Main);
  tool.Show(false);
  VexaIDE = nullptr;
  ASSERT_NE(tool.DockWidget(), nullptr);
  EXPECT_EQ(tool.DockWidget()->parentWidget(), &ideMain);
  EXPECT_EQ(tool.DockWidget()->MainForm(), &ideMain);
  EXPECT_EQ(tool.GetName(), "TTestToolWindow");
}

TEST_F(DockableTest, TheTitleBarButtonsFloatAndCloseADockedToolWindow) {
  TTestToolWindow tool(&W.Main);
  tool.DockInto(&W.Main, W.Main.DockPanel(Qt::LeftDockWidgetArea));
  Settle();
  const QList<QToolButton*> buttons =
      tool.DockWidget()->titleBarWidget()->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 2);
  QPointer<QWidget> form = tool.Form();

  buttons[0]->click();  // float
  Settle();
  ASSERT_TRUE(tool.DockWidget()->isFloating());
  EXPECT_EQ(W.AreaExtent(Qt::LeftDockWidgetArea), 0);
  buttons[0]->click();  // and back
  Settle();
  ASSERT_FALSE(tool.DockWidget()->isFloating());
  EXPECT_GT(W.AreaExtent(Qt::LeftDockWidgetArea), 0);

  buttons[1]->click();  // close while docked: hidden, kept
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Settle();
  EXPECT_FALSE(form.isNull());
  EXPECT_EQ(W.AreaExtent(Qt::LeftDockWidgetArea), 0);
  EXPECT_EQ(tool.Data().DockSiteName, "DockPanelLeft");
}

// A tool window dragged by its title onto a floating one joins it as a tab in
// one floating window; the main window's saved state brings that window back.
TEST_F(DockableTest, AToolWindowDroppedOnAFloatingOneJoinsItAsATab) {
  TTestToolWindow messages(&W.Main, "Meldungen"), watches(&W.Main, "Variablen");
  messages.Show(false);
  watches.Show(false);
  Settle();
  TVexaDockWidget* target = messages.DockWidget();
  TVexaDockWidget* dragged = watches.DockWidget();
  target->setObjectName("Messages");
  dragged->setObjectName("Watches");
  target->move(100, 100);
  dragged->move(500, 300);
  Settle();
  ASSERT_TRUE(target->isFloating() && dragged->isFloating());

  test::DragOnto(dragged, target);

  QWidget* host = target->window();
  ASSERT_NE(host, &W.Main);
  EXPECT_EQ(dragged->window(), host) << "one floating window holds both";
  EXPECT_TRUE(host->isVisible());
  const QList<QTabBar*> bars = host->findChildren<QTabBar*>();
  ASSERT_EQ(bars.size(), 1);
  EXPECT_EQ(bars[0]->count(), 2);
  EXPECT_EQ(W.AreaExtent(Qt::LeftDockWidgetArea), 0);
  EXPECT_EQ(W.AreaExtent(Qt::BottomDockWidgetArea), 0);
  EXPECT_EQ(target->DockSiteName(), "") << "floating, in no area of the main window";

  // Closed and shown again, both stay in their window.
  watches.Close();
  Settle();
  EXPECT_EQ(watches.Form(), dragged->widget()) << "kept, as in a dock area";
  watches.Show(false);
  Settle();
  EXPECT_EQ(dragged->window(), host);
  EXPECT_TRUE(watches.Form()->isVisible());

  const QByteArray state = W.Main.saveState();
  {
#if defined(__SANITIZE_ADDRESS__)
    // Qt drops, without deleting, the area entries of dock widgets that a
    // restored state puts into a floating group.
    __lsan::ScopedDisabler qtKeepsItsEntries;
#endif
    test::TMainWindowFixture other;
    TTestToolWindow messages2(&other.Main, "Meldungen"), watches2(&other.Main, "Variablen");
    messages2.Show(false);
    watches2.Show(false);
    messages2.DockWidget()->setObjectName("Messages");
    watches2.DockWidget()->setObjectName("Watches");
    Settle();
    ASSERT_NE(messages2.DockWidget()->window(), watches2.DockWidget()->window());
    ASSERT_TRUE(other.Main.restoreState(state));
    Settle();
    QWidget* restored = messages2.DockWidget()->window();
    EXPECT_NE(restored, &other.Main);
    EXPECT_EQ(watches2.DockWidget()->window(), restored);
    EXPECT_TRUE(restored->isVisible());
    EXPECT_EQ(restored->findChildren<QTabBar*>().value(0)->count(), 2);
  }

  // And docked into an area, one leaves the window.
  messages.DockInto(&W.Main, W.Main.DockPanel(Qt::LeftDockWidgetArea));
  Settle();
  EXPECT_EQ(target->window(), &W.Main);
  EXPECT_GT(W.AreaExtent(Qt::LeftDockWidgetArea), 0);
  EXPECT_TRUE(InSight(watches.Form()));
}

TEST(TVexaDockable, OutlivesItsMainWindow) {
  test::TestApp();
  auto main = std::make_unique<TVexaMainForm>();
  main->show();
  TTestToolWindow tool(main.get());
  tool.DockInto(main.get(), main->DockPanel(Qt::BottomDockWidgetArea));
  Settle();
  main.reset();  // the main window goes first at shut-down
  EXPECT_EQ(tool.Form(), nullptr);
  EXPECT_EQ(tool.DockWidget(), nullptr);
  tool.Close();
  // Without a main window the form is its own floating window.
  tool.Show(false);
  ASSERT_NE(tool.Form(), nullptr);
  EXPECT_TRUE(tool.Form()->isVisible());
}

}  // namespace
}  // namespace vexa::ide
