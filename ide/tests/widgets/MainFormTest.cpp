#include "widgets/mainwindow/IDEMainForm.h"

#include "MockIntfs.h"
#include "ModalWatcher.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "model/settings/Settings.h"
#include "widgets/dialogs/NewProjectOrModuleDialog.h"
#include "widgets/mainwindow/TipOfTheDayDialog.h"
#include "widgets/mainwindow/VexaSplashForm.h"
#include "widgets/options/MultipageOptionDialog.h"
#include "widgets/shared/CommandsDataModule.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <QtTest/QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexa::ide {
namespace {

using testing::NiceMock;
using testing::Return;

std::vector<std::string> Items(const QWidget* Target, const std::string& Indent = "") {
  std::vector<std::string> lines;
  for (QAction* a : Target->actions()) {
    std::string line = Indent;
    if (a->isSeparator()) {
      line += "-";
    } else {
      line += a->text().toStdString();
      if (!a->shortcut().isEmpty()) line += " [" + a->shortcut().toString().toStdString() + "]";
      if (!a->isVisible()) line += " (hidden)";
    }
    lines.push_back(line);
    if (QMenu* sub = a->menu())
      for (const std::string& s : Items(sub, Indent + "  ")) lines.push_back(s);
  }
  return lines;
}

std::vector<std::string> ActionNames(const QWidget* Target) {
  std::vector<std::string> names;
  for (QAction* a : Target->actions())
    names.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
  return names;
}

class MainForm : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    // No modal tip in the way; the tests of the tip ask for it.
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
  }
  void TearDown() override {
    form.reset();
    ReleaseServices();
  }

  TIDEMainForm& Make() {
    form = std::make_unique<TIDEMainForm>();
    return *form;
  }
  TIDEMainForm& Shown() {
    Make().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
  }
  std::unique_ptr<QSettings> File() { return temp.File(); }

  test::TTempSettings temp;
  std::unique_ptr<TIDEMainForm> form;
};

struct MenuCase {
  const char* title;
  std::vector<std::string> items;
};

TEST_F(MainForm, MenusHoldTheirItemsCaptionsAndShortcuts) {
  const std::string mru = " (hidden)";
  const std::vector<MenuCase> menus = {
      {"&Datei",
       {"&Neu",
        "  Vexa II &Projekt",
        "  Vexa II &Modul",
        "  -",
        "  Vexa/&BASIC Projekt",
        "Öffnen... [Ctrl+O]",
        "Neu öffnen",
        "  MRU1" + mru,
        "  MRU2" + mru,
        "  MRU3" + mru,
        "  MRU4" + mru,
        "  MRU5" + mru,
        "  -",
        "  MRU1" + mru,
        "  MRU2" + mru,
        "  MRU3" + mru,
        "  MRU4" + mru,
        "  MRU5" + mru,
        "-",
        "&Speichern [Ctrl+S]",
        "Speichern &unter...",
        "&Alle speichern [Ctrl+Shift+S]",
        "-",
        "S&chliessen [Ctrl+F4]",
        "Aktives P&rojekt schliessen",
        "Alle schliessen [Ctrl+Shift+F4]",
        "-",
        "Dr&ucken... [Ctrl+P]",
        "-",
        "&Beenden [Alt+F4]"}},
      {"&Bearbeiten",
       {"&Rückgängig [Ctrl+Z]", "&Wiederherstellen [Ctrl+Shift+Z]", "-", "&Ausschneiden [Ctrl+X]",
        "&Kopieren [Ctrl+C]", "&Einfügen [Ctrl+V]", "&Löschen", "Alles &markieren [Ctrl+A]"}},
      {"&Suchen",
       {"&Suchen... [Ctrl+F]", "Vorwärts weitersuchen [F3]", "Rückwärts weitersuchen [Shift+F3]",
        "&Ersetzen... [Ctrl+H]", "-", "Gehe zur &Definition [Ctrl+F11]",
        "&Zurück von Definition  [Ctrl+Shift+F11]"}},
      {"&Ansicht",
       {"&Werkzeugleisten", "  &Standard", "  S&uchen", "  &Ansicht", "  &Projekt", "  S&imulator",
        "Status&zeile", "-", "&Projekte [Ctrl+Alt+P]", "&Meldungen [Ctrl+Alt+M]",
        "Überwachte &Variablen [Ctrl+Alt+V]"}},
      {"&Projekt",
       {"&Aktives Projekt festlegen", "Module im aktiven &Projekt", "  Modul &einfügen...", "  -",
        "  Verwendete &Systemmodule...", "  Verwendete &Gemeinsame Module...",
        "  &Projektmodule bearbeiten...", "-", "Projekt neu &erstellen [Ctrl+F9]",
        "In Vexa Unit übertragen [F12]", "-", "&Nächste Fehlermeldung anzeigen [Alt+F8]",
        "&Vorhergehenden Fehlermeldung anzeigen [Alt+F7]"}},
      {"S&imulator",
       {"Programm ausführen [F9]", "Ganze Routine ausführen [F8]",
        "Einzelne Anweisung ausführen [F7]", "Bis nach Rücksprung ausführen [Shift+F8]",
        "Programm bis Cursor ausführen [F4]", "-", "Programmlauf anhalten",
        "Programm zurücksetzen [Ctrl+F2]", "-", "&Variable überwachen [Ctrl+F7]",
        "Haltepunkt umschalten [Ctrl+F8]", "Alle Haltepunkte löschen [Ctrl+Shift+F8]"}},
      {"&Optionen", {"&Vexa II...", "Vexa/&BASIC...", "&Umgebungseinstellungen..."}},
      {"&Hilfe",
       {"&Entwicklungsumgebung [F1]", "Sprachbeschreibung Vexa &V2 (hidden)",
        "Sprachbeschreibung Vexa &BASIC (hidden)", "-", "Dornik Vexa im &Internet (hidden)",
        "Dornik Electronic im I&nternet (hidden)", "-", "&Tip des Tages", "-", "&Info"}},
  };
  TIDEMainForm& w = Make();
  EXPECT_EQ(w.windowTitle(), "Dornik Vexa Entwicklung");
  const QList<QAction*> bar = w.menuBar()->actions();
  ASSERT_EQ(bar.size(), qsizetype(menus.size()));
  for (std::size_t i = 0; i < menus.size(); ++i) {
    SCOPED_TRACE(menus[i].title);
    EXPECT_EQ(bar[i]->text().toStdString(), menus[i].title);
    ASSERT_NE(bar[i]->menu(), nullptr);
    EXPECT_EQ(Items(bar[i]->menu()), menus[i].items);
  }
  // The items bind the command module's actions themselves.
  EXPECT_TRUE(w.mnuFile->actions().contains(CommandsDataModule->Action("actFileSave")));
  EXPECT_TRUE(w.mnuSimulator->actions().contains(CommandsDataModule->Action("actSimulatorStart")));
}

TEST_F(MainForm, OptionItemsOpenTheirDialogsAndInfoWaitsForTheSplashTimer) {
  TIDEMainForm& w = Make();
  const QStringList tabs[] = {
      {"Syntaxhervorhebung", "Projekt"}, {"Syntaxhervorhebung", "Projekt"}, {"Editor"}};
  int k = 0;
  for (QAction* item : {w.miOptionsV2, w.miOptionsBasic, w.miOptionsEnvironment}) {
    SCOPED_TRACE(item->text().toStdString());
    EXPECT_TRUE(item->isEnabled());
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
      auto* dialog = qobject_cast<TMultipageOptionDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      for (int i = 0; i < dialog->pctrlOptionPages->count(); ++i)
        shown << dialog->pctrlOptionPages->tabText(i);
      dialog->reject();
    });
    item->trigger();
    EXPECT_EQ(shown, tabs[k++]);
  }
  EXPECT_FALSE(w.miHelpInfo->isEnabled());
  EXPECT_TRUE(w.miHelpTipOfTheDay->isEnabled());
  EXPECT_TRUE(w.miHelpIDE->isEnabled());
}

struct ToolbarCase {
  const char* name;
  const char* title;
  std::vector<std::string> actions;
  bool breakBefore;
};

TEST_F(MainForm, FiveToolBarsInTwoRowsWithTheirButtons) {
  const std::vector<ToolbarCase> bars = {
      {"tb97Standard",
       "Standard",
       {"actFileNew", "actFileOpen", "actFileSave", "actFileSaveAll", "-", "actFilePrint", "-",
        "actEditCut", "actEditCopy", "actEditPaste", "-", "actEditDelete", "-", "actEditUndo",
        "actEditRedo"},
       false},
      {"tb97View",
       "Ansicht",
       {"actViewProjectEditor", "actViewMessageViewer", "actViewVariables"},
       false},
      {"tb97Search",
       "Suchen",
       {"actSearchFind", "actSearchFindNext", "actSearchFindPrev", "-", "actSearchReplace", "-",
        "actSearchCaseSensitive", "actSearchWholeWords"},
       false},
      {"tb97Project",
       "Projekt",
       {"actActiveProjectBuild", "actActiveProjectDownload", "-", "actProjectNextError",
        "actProjectPrevError", "-", "actSearchDefinition", "actSearchDefinitionReturn"},
       true},
      {"tb97Simulator",
       "Simulator",
       {"actSimulatorStart", "actSimulatorStepOver", "actSimulatorStepInto", "actSimulatorStepOut",
        "actSimulatorRunToCursor", "-", "actSimulatorPause", "actSimulatorReset", "-",
        "actSimulatorShowCurrent", "-", "actProjectAddWatch", "actProjectToggleBrkpt",
        "actSimulatorClearAllBrkpts"},
       false},
  };
  TIDEMainForm& w = Shown();
  int previousRowTop = -1, previousRight = -1;
  for (const ToolbarCase& c : bars) {
    SCOPED_TRACE(c.name);
    auto* bar = w.findChild<QToolBar*>(c.name);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), c.title);
    EXPECT_EQ(ActionNames(bar), c.actions);
    EXPECT_EQ(w.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(w.toolBarBreak(bar), c.breakBefore);
    EXPECT_TRUE(bar->isVisible());
    // Left to right in a row; a break starts a lower row.
    if (c.breakBefore) {
      EXPECT_GT(bar->y(), previousRowTop);
    } else if (previousRowTop >= 0) {
      EXPECT_EQ(bar->y(), previousRowTop);
      EXPECT_GT(bar->x(), previousRight);
    }
    previousRowTop = bar->y();
    previousRight = bar->geometry().right();
  }
  // New and Open drop down their menus.
  struct {
    const char* action;
    QMenu* menu;
  } const dropDowns[] = {{"actFileNew", w.pmnuNew}, {"actFileOpen", w.pmnuMRU}};
  for (const auto& d : dropDowns) {
    auto* button = qobject_cast<QToolButton*>(
        w.tb97Standard->widgetForAction(CommandsDataModule->Action(d.action)));
    ASSERT_NE(button, nullptr) << d.action;
    EXPECT_EQ(button->menu(), d.menu) << d.action;
    EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup) << d.action;
  }
  EXPECT_EQ(Items(w.pmnuNew), (std::vector<std::string>{"Vexa II &Projekt", "Vexa II &Modul", "-",
                                                        "Vexa/&BASIC Projekt"}));
}

TEST_F(MainForm, BarItemsShowTheBarsStateWhenTheMenuOpensAndToggleThem) {
  TIDEMainForm& w = Shown();
  ASSERT_EQ(w.pmnuToolbars->actions().size(), 7);
  w.tb97Search->hide();
  w.StatusBar()->hide();
  for (QMenu* menu : {w.pmnuToolbars, w.mnuViewToolbars, w.mnuView}) {
    for (QAction* item : w.miToolbars) item->setChecked(false);
    emit menu->aboutToShow();
    const bool expected[] = {true, false, true, true, true};
    for (int i = 0; i < TIDEMainForm::kToolbarCount; ++i)
      EXPECT_EQ(w.miToolbars[i]->isChecked(), expected[i]) << menu->objectName().toStdString() << i;
    EXPECT_FALSE(w.miStatusbar->isChecked());
  }
  w.miToolbars[1]->trigger();
  EXPECT_TRUE(w.tb97Search->isVisible());
  w.miToolbars[4]->trigger();
  EXPECT_FALSE(w.tb97Simulator->isVisible());
  w.miStatusbar->trigger();
  EXPECT_TRUE(w.StatusBar()->isVisible());
}

TEST_F(MainForm, TheToolBarAreaOffersTheBarsMenuAndTheEditorAreaDoesNot) {
  TIDEMainForm& w = Shown();
  int shown = 0;
  QObject::connect(w.pmnuToolbars, &QMenu::aboutToShow, [&] {
    ++shown;
    QTimer::singleShot(0, w.pmnuToolbars, &QMenu::close);
  });
  auto rightClick = [&](QWidget* target, QPoint pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
    QTest::qWait(20);
  };
  rightClick(w.tb97Project, QPoint(w.tb97Project->width() - 2, 5));
  EXPECT_EQ(shown, 1);
  // The free room right of the second row.
  const QPoint free(w.width() - 3, w.tb97Project->geometry().center().y());
  if (QWidget* child = w.childAt(free))
    rightClick(child, child->mapFrom(&w, free));
  else
    rightClick(&w, free);
  EXPECT_EQ(shown, 2);
  rightClick(&w, w.PageControl()->geometry().center());
  EXPECT_EQ(shown, 2);
}

TEST_F(MainForm, RecentSeparatorsShowOnlyWhenBothListsHoldEntries) {
  TIDEMainForm& w = Make();
  struct {
    QMenu* menu;
    QAction* separator;
  } const menus[] = {{w.mnuFileReopen, w.miMRUSeparator}, {w.pmnuMRU, w.lmiMRUSeparator}};
  CommandsDataModule->AddRecentFile("/tmp/a.v2");
  for (const auto& m : menus) {
    emit m.menu->aboutToShow();
    EXPECT_FALSE(m.separator->isVisible());
    EXPECT_TRUE(CommandsDataModule->Action("actMRUFile1")->isVisible());
  }
  CommandsDataModule->AddRecentProject("/tmp/p.v2p");
  for (const auto& m : menus) {
    emit m.menu->aboutToShow();
    EXPECT_TRUE(m.separator->isVisible());
  }
  EXPECT_EQ(ActionNames(w.pmnuMRU).size(), 11u);
}

std::shared_ptr<NiceMock<test::MockVexaProject>> Project(const char* Name) {
  auto p = std::make_shared<NiceMock<test::MockVexaProject>>();
  ON_CALL(*p, GetName()).WillByDefault(Return(QString::fromLatin1(Name)));
  ON_CALL(*p, MayDeactivate()).WillByDefault(Return(true));
  ON_CALL(*p, CloseQuery()).WillByDefault(Return(true));
  return p;
}

TEST_F(MainForm, UpInTheNewDialogMovesOnFromTheRememberedKind) {
  TIDEMainForm& w = Shown();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto projects = std::make_shared<NiceMock<test::MockVexaProjectFactory>>();
  V2ProjectFactory = projects;
  CommandsDataModule->LastCreateType = TFileKind::V2Module;
  QTimer keys;
  keys.setInterval(10);
  QObject::connect(&keys, &QTimer::timeout, [&keys] {
    auto* dialog = qobject_cast<TNewProjectOrModuleDialog*>(QApplication::activeModalWidget());
    // Keys go to the focus widget, which Qt sets a little after activating the window.
    if (!dialog || !QTest::qWaitForWindowActive(dialog) ||
        !dialog->isAncestorOf(QApplication::focusWidget()))
      return;
    keys.stop();
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Up);
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
  });
  keys.start();
  EXPECT_CALL(*projects, CreateProject(QString()));
  QTest::keyClick(w.windowHandle(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(CommandsDataModule->LastCreateType, TFileKind::V2Project);
}

// Clicks Item of an open menu; a submenu item opens its submenu.
void ClickItem(QMenu* Menu, QAction* Item) {
  QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Item).center());
  QTest::qWait(50);
}

void CloseMenus() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  QTest::qWait(20);
}

// The visible entries of a menu that is on screen; empty when it is not.
std::vector<std::string> ShownEntries(QMenu* Menu) {
  std::vector<std::string> entries;
  if (!Menu->isVisible() || !Menu->windowHandle() || !Menu->windowHandle()->isExposed())
    return entries;
  for (QAction* a : Menu->actions())
    if (a->isVisible() && !a->isSeparator()) entries.push_back(a->text().toStdString());
  return entries;
}

// A popup shown once with no visible entry is never mapped again: a submenu
// with nothing to list is not opened, and opens with its entries later.
TEST_F(MainForm, ASubmenuTriedWhileEmptyOpensWithItsEntriesLater) {
  TIDEMainForm& w = Shown();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  struct {
    QMenu* parent;
    QMenu* submenu;
    std::function<void()> fill;
    std::string entry;
  } const cases[] = {
      {w.mnuFile, w.mnuFileReopen, [] { CommandsDataModule->AddRecentFile("/tmp/a.v2"); },
       "/tmp/a.v2"},
      {w.mnuProject, w.mnuProjectActivate, [] { VexaIDE->AddProject(Project("Alpha")); }, "Alpha"},
  };
  auto openSubmenu = [&](QMenu* Parent, QMenu* Submenu) {
    QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                      w.menuBar()->actionGeometry(Parent->menuAction()).center());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Parent));
    ClickItem(Parent, Submenu->menuAction());
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.submenu->objectName().toStdString());
    openSubmenu(c.parent, c.submenu);
    EXPECT_FALSE(c.submenu->menuAction()->isEnabled());
    EXPECT_FALSE(c.submenu->isVisible());
    CloseMenus();
    c.fill();
    openSubmenu(c.parent, c.submenu);
    EXPECT_TRUE(c.submenu->menuAction()->isEnabled());
    (void)QTest::qWaitFor([&] { return !ShownEntries(c.submenu).empty(); }, 1000);
    EXPECT_EQ(ShownEntries(c.submenu), std::vector<std::string>{c.entry});
    CloseMenus();
  }

  // The arrow of "Öffnen" opens nothing while both lists are empty.
  CommandsDataModule->RecentFiles.Clear();
  auto* open = qobject_cast<QToolButton*>(
      w.tb97Standard->widgetForAction(CommandsDataModule->Action("actFileOpen")));
  ASSERT_NE(open, nullptr);
  const QPoint arrow(open->width() - 3, open->height() / 2);
  std::vector<std::string> dropDowns;
  for (int round = 0; round < 2; ++round) {
    if (round == 1) CommandsDataModule->AddRecentFile("/tmp/b.v2");
    QTimer::singleShot(100, [&] {
      if (w.pmnuMRU->isVisible())
        dropDowns.push_back(std::to_string(ShownEntries(w.pmnuMRU).size()));
      CloseMenus();
    });
    QTest::mouseClick(open, Qt::LeftButton, {}, arrow);
    QTest::qWait(150);
  }
  EXPECT_EQ(dropDowns, std::vector<std::string>{"1"});
}

TEST_F(MainForm, OpenProjectsMenuIsBuiltEachTimeAndActivatesTheChosenProject) {
  TIDEMainForm& w = Make();
  auto a = Project("Alpha"), b = Project("Beta"), c = Project("Gamma");
  for (auto& p : {a, b, c}) VexaIDE->AddProject(p);
  auto visibleItems = [&] {
    emit w.mnuProjectActivate->aboutToShow();
    std::vector<std::string> items;
    for (QAction* item : w.mnuProjectActivate->actions())
      if (item->isVisible())
        items.push_back(item->text().toStdString() + (item->isChecked() ? " *" : ""));
    return items;
  };
  EXPECT_EQ(visibleItems(), (std::vector<std::string>{"Alpha", "Beta", "Gamma *"}));
  w.mnuProjectActivate->actions()[0]->trigger();
  EXPECT_EQ(VexaIDE->GetActiveProject(), a);
  VexaIDE->RemoveProject(b);
  EXPECT_EQ(visibleItems(), (std::vector<std::string>{"Alpha *", "Gamma"}));
  EXPECT_EQ(w.mnuProjectActivate->actions().size(), 3) << "items are reused";
  w.mnuProjectActivate->actions()[1]->trigger();
  EXPECT_EQ(VexaIDE->GetActiveProject(), c);
}

TEST_F(MainForm, PublishesItsHubWhileItLivesAndShutsItDown) {
  TIDEMainForm& w = Make();
  EXPECT_EQ(VexaIDE, w.Core());
  EXPECT_NE(CommandsDataModule, nullptr);
  VexaIDE->SetStatusText(StatusPanelText, "Übersetze...");
  VexaIDE->SetStatusText(StatusPanelCaret, "1: 1");
  EXPECT_EQ(w.PanelText(StatusPanelText), "Übersetze...");
  EXPECT_EQ(w.PanelText(StatusPanelCaret), "1: 1");
  EXPECT_EQ(VexaIDE->GetMainForm(), &w);
  EXPECT_EQ(w.GetPageControl(), w.PageControl());

  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  VexaIDE->AddEditor(editor);
  EditCommandHandler = std::make_shared<NiceMock<test::MockEditCommands>>();
  EXPECT_CALL(*editor, Close());
  CommandsDataModule->AddRecentFile("/tmp/shut.v2");
  form.reset();
  EXPECT_EQ(VexaIDE, nullptr);
  EXPECT_EQ(CommandsDataModule, nullptr);
  EXPECT_EQ(EditCommandHandler, nullptr);
  EXPECT_EQ(File()->value("1.0/MostRecentlyUsed/MRUFile1").toString(), "/tmp/shut.v2")
      << "the command module saved its lists";
}

TEST_F(MainForm, FirstShowDocksTheToolWindowsOfTheAssignedServices) {
  auto treeWindow = std::make_shared<NiceMock<test::MockVexaToolWindow>>();
  auto messageWindow = std::make_shared<NiceMock<test::MockVexaToolWindow>>();
  auto watchesWindow = std::make_shared<NiceMock<test::MockVexaToolWindow>>();
  auto tree = std::make_shared<NiceMock<test::MockProjectEditor>>();
  auto messages = std::make_shared<NiceMock<test::MockMessageView>>();
  auto watches = std::make_shared<NiceMock<test::MockWatchesView>>();
  ON_CALL(*tree, GetToolWindow()).WillByDefault(Return(treeWindow));
  ON_CALL(*messages, GetToolWindow()).WillByDefault(Return(messageWindow));
  ON_CALL(*watches, GetToolWindow()).WillByDefault(Return(watchesWindow));
  ProjectEditor = tree;
  MessageView = messages;
  WatchesView = watches;

  TIDEMainForm& w = Make();
  {
    testing::InSequence order;
    EXPECT_CALL(*treeWindow, DockInto(&w, w.DockPanel(Qt::LeftDockWidgetArea)));
    EXPECT_CALL(*messageWindow, DockInto(&w, w.DockPanel(Qt::BottomDockWidgetArea)));
    EXPECT_CALL(*watchesWindow, DockInto(&w, w.DockPanel(Qt::BottomDockWidgetArea)));
  }
  EXPECT_FALSE(w.tmrSplash->isActive());
  w.show();
  EXPECT_TRUE(w.tmrSplash->isActive());
  EXPECT_TRUE(w.tmrSplash->isSingleShot());
  EXPECT_EQ(w.tmrSplash->interval(), 2000);
  w.hide();
  w.show();  // a second show docks nothing again
  testing::Mock::VerifyAndClearExpectations(treeWindow.get());
  testing::Mock::VerifyAndClearExpectations(messageWindow.get());
}

TEST_F(MainForm, WithoutServicesTheFirstShowDocksNothing) {
  TIDEMainForm& w = Shown();
  EXPECT_TRUE(w.findChildren<QDockWidget*>().isEmpty());
  EXPECT_TRUE(w.tmrSplash->isActive());
}

struct TipCase {
  const char* name;
  bool showTip;
};

class SplashTimer : public MainForm, public testing::WithParamInterface<TipCase> {};

TEST_P(SplashTimer, EnablesInfoAndShowsTheTipWhenWanted) {
  settings::WriteBool("Misc", "ShowTipOfTheDay", GetParam().showTip);
  settings::WriteInteger("Misc", "NextTipOfTheDay", 2);
  TIDEMainForm& w = Make();
  w.tmrSplash->setInterval(50);
  test::TModalWatcher<TTipOfTheDayDialog> tips;
  w.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.miHelpInfo->isEnabled(); }, 3000));
  QTest::qWait(100);
  EXPECT_EQ(tips.Seen, GetParam().showTip ? 1 : 0);
  // The dialog moved on to the next tip.
  EXPECT_EQ(w.WindowSettings().NextTipOfTheDay, GetParam().showTip ? 3 : 2);
  EXPECT_EQ(w.WindowSettings().ShowTipOfTheDay, GetParam().showTip);
  // The timer runs once.
  QTest::qWait(150);
  EXPECT_EQ(tips.Seen, GetParam().showTip ? 1 : 0);
  w.close();
  auto file = File();
  EXPECT_EQ(file->value("1.0/Misc/NextTipOfTheDay").toInt(), GetParam().showTip ? 3 : 2);
  EXPECT_EQ(file->value("1.0/Misc/ShowTipOfTheDay").toInt(), GetParam().showTip ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, SplashTimer,
                         testing::Values(TipCase{"Shown", true}, TipCase{"Off", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainForm, ARefusedCloseKeepsTheWindowAndWritesNothing) {
  TIDEMainForm& w = Shown();
  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  ON_CALL(*editor, GetModified()).WillByDefault(Return(true));
  EXPECT_CALL(*editor, CloseQuery()).WillOnce(Return(false)).WillOnce(Return(true));
  VexaIDE->AddEditor(editor);
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(File()->contains("1.0/Main/Width"));
  w.miFileExit->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(File()->contains("1.0/Main/Width"));
}

struct ModalItemCase {
  const char* name;
  QAction* TIDEMainForm::*item;
};

class ModalItems : public MainForm, public testing::WithParamInterface<ModalItemCase> {};

TEST_P(ModalItems, ShowTheirDialogOverTheWindow) {
  TIDEMainForm& w = Shown();
  test::TModalWatcher<TTipOfTheDayDialog> tips;
  test::TModalWatcher<TVexaSplashForm> about;
  QWidget* parent = nullptr;
  QTimer::singleShot(5, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) parent = dialog->parentWidget();
  });
  QAction* item = w.*GetParam().item;
  item->setEnabled(true);
  item->trigger();
  const bool isTip = GetParam().item == &TIDEMainForm::miHelpTipOfTheDay;
  EXPECT_EQ(tips.Seen, isTip ? 1 : 0);
  EXPECT_EQ(about.Seen, isTip ? 0 : 1);
  EXPECT_EQ(parent, &w);
}

INSTANTIATE_TEST_SUITE_P(Help, ModalItems,
                         testing::Values(ModalItemCase{"TipOfTheDay",
                                                       &TIDEMainForm::miHelpTipOfTheDay},
                                         ModalItemCase{"Info", &TIDEMainForm::miHelpInfo}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainForm, ClosingKeepsThePlacementBarsAndTheNormalRectangleOfAMaximisedWindow) {
  settings::WriteInteger("Main", "Left", 30);
  settings::WriteInteger("Main", "Top", 40);
  settings::WriteInteger("Main", "Width", 640);
  settings::WriteInteger("Main", "Height", 420);
  TIDEMainForm& w = Shown();
  EXPECT_EQ(w.geometry(), QRect(30, 40, 640, 420));
  w.tb97View->hide();
  w.StatusBar()->hide();
  w.showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.isMaximized(); }));
  ASSERT_TRUE(w.close());
  auto file = File();
  EXPECT_EQ(file->value("1.0/Main/Left").toInt(), 30);
  EXPECT_EQ(file->value("1.0/Main/Top").toInt(), 40);
  EXPECT_EQ(file->value("1.0/Main/Width").toInt(), 640);
  EXPECT_EQ(file->value("1.0/Main/Height").toInt(), 420);
  EXPECT_EQ(file->value("1.0/Main/Maximized").toInt(), 1);
  EXPECT_EQ(file->value("1.0/Main/StatusbarVisible").toInt(), 0);
  EXPECT_FALSE(file->value("1.0/Main/ToolbarState").toString().isEmpty());
  form.reset();

  // The next start comes back as it was left.
  TIDEMainForm& next = Shown();
  EXPECT_TRUE(next.isMaximized());
  EXPECT_TRUE(next.StatusBar()->isHidden());
  EXPECT_TRUE(next.tb97View->isHidden());
  EXPECT_FALSE(next.tb97Search->isHidden());
  EXPECT_EQ(next.normalGeometry(), QRect(30, 40, 640, 420));
}

// Drags a tool bar by its handle and lets it go over the middle of the window.
void FloatToolbar(QMainWindow& Window, QToolBar* Bar) {
  const int handle = Bar->layout()->contentsMargins().left() +
                     Bar->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, Bar) / 2;
  const QPoint grab = Bar->mapToGlobal(QPoint(handle, Bar->height() / 2));
  const QPoint drop = Window.mapToGlobal(Window.rect().center());
  auto send = [&](QEvent::Type Type, QPoint Global, Qt::MouseButtons Buttons) {
    QWidget* receiver = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : Bar;
    QMouseEvent e(Type, receiver->mapFromGlobal(Global), Global, Qt::LeftButton, Buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(receiver, &e);
    QApplication::processEvents();
  };
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  for (int i = 1; i <= 8; ++i)
    send(QEvent::MouseMove, grab + (drop - grab) * i / 8, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, drop, Qt::NoButton);
}

// A window manager keeps a floating bar above its main window only when the
// bar is mapped after the window, as one floated during the session is.
TEST_F(MainForm, AToolBarLeftFloatingComesBackAboveTheWindow) {
  TIDEMainForm& w = Shown();
  FloatToolbar(w, w.tb97Project);
  ASSERT_TRUE(w.tb97Project->isFloating());
  ASSERT_TRUE(w.close());
  form.reset();

  TIDEMainForm& next = Make();
  ASSERT_TRUE(next.tb97Project->isFloating());
  EXPECT_FALSE(next.tb97Project->isVisible()) << "shown before the main window";
  next.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(next.tb97Project));
  EXPECT_EQ(next.tb97Project->windowHandle()->transientParent(), next.windowHandle());
}

struct PlacementCase {
  const char* name;
  QRect stored;  // width 0: none
};

class Placement : public MainForm, public testing::WithParamInterface<PlacementCase> {};

// A first start, and a place no screen shows any more, give a window of a
// sensible size on the screen.
TEST_P(Placement, AWindowWithoutAUsablePlaceComesUpOnTheScreen) {
  const QRect stored = GetParam().stored;
  if (stored.width() > 0) {
    settings::WriteInteger("Main", "Left", stored.left());
    settings::WriteInteger("Main", "Top", stored.top());
    settings::WriteInteger("Main", "Width", stored.width());
    settings::WriteInteger("Main", "Height", stored.height());
    settings::WriteBool("Main", "Maximized", true);
  }
  TIDEMainForm& w = Shown();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(w.geometry())) << w.geometry().x() << "," << w.geometry().y();
  EXPECT_GE(w.width(), screen.width() / 2);
  EXPECT_GE(w.height(), screen.height() / 2);
  EXPECT_FALSE(w.isMaximized()) << "Maximized belongs to the dropped place";
  EXPECT_TRUE(w.StatusBar()->isVisible());
  for (QToolBar* bar : w.Toolbars()) EXPECT_TRUE(bar->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Cases, Placement,
                         testing::Values(PlacementCase{"FirstStart", QRect()},
                                         PlacementCase{"OffScreen", QRect(9000, 9000, 500, 400)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainForm, HandlersAreClearedWhenTheApplicationGoesInactiveNotForOurOwnDialog) {
  TIDEMainForm& w = Shown();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EditCommandHandler = std::make_shared<NiceMock<test::MockEditCommands>>();
  FileCommandHandler = std::make_shared<NiceMock<test::MockFileCommands>>();

  // A modal dialog of ours takes the activation and gives it back.
  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    QTest::qWait(50);
    sawDialog = QApplication::activeModalWidget() != nullptr;
    if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
  });
  QDialog dialog(&w);
  dialog.exec();
  QTest::qWait(20);
  EXPECT_TRUE(sawDialog);
  EXPECT_NE(EditCommandHandler, nullptr);

  // Inactive only while the focus passes between two of our windows.
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  QTest::qWait(20);
  EXPECT_NE(EditCommandHandler, nullptr);

  // Another application comes to the front.
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_TRUE(QTest::qWaitFor([] { return !EditCommandHandler; }, 1000));
  EXPECT_EQ(FileCommandHandler, nullptr);
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
}

}  // namespace
}  // namespace vexa::ide
