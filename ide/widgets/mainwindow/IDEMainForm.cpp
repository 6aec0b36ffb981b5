#include "widgets/mainwindow/IDEMainForm.h"

#include "model/core/Services.h"
#include "widgets/mainwindow/Help.h"
#include "widgets/mainwindow/ShortcutFilter.h"
#include "widgets/mainwindow/TipOfTheDayDialog.h"
#include "widgets/mainwindow/VexaSplashForm.h"
#include "widgets/options/MultipageOptionDialog.h"
#include "widgets/shared/CommandsDataModule.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDataStream>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace vexa::ide {

namespace {

// A stored rectangle must show at least this much on some screen.
constexpr int kMinVisiblePart = 50;

bool OnSomeScreen(const QRect& Rect) {
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect visible = screen->availableGeometry().intersected(Rect);
    if (visible.width() >= kMinVisiblePart && visible.height() >= kMinVisiblePart) return true;
  }
  return false;
}

// QMainWindow::saveState: a header (version marker, version), then sections
// that each begin with a marker byte: the dock areas, one per floating group
// of tool windows, and last the tool bars.
constexpr qint32 kStateVersionMarker = 0xff;
constexpr qsizetype kStateHeaderSize = 8;
constexpr uchar kToolbarMarker = 0xfe;
constexpr uchar kToolbarMarkerEx = 0xfc;  // with the rectangle of a floating bar

// Reads a tool-bar section after its marker; true when it is well formed.
bool ReadToolbarSection(QDataStream& In, uchar Marker) {
  constexpr qint32 kMaxCount = 256;
  qint32 lines = 0;
  In >> lines;
  if (lines < 0 || lines > kMaxCount) return false;
  for (qint32 line = 0; line < lines && In.status() == QDataStream::Ok; ++line) {
    qint32 area = 0, count = 0;
    In >> area >> count;
    if (area < 0 || area > 3 || count < 0 || count > kMaxCount) return false;
    for (qint32 i = 0; i < count && In.status() == QDataStream::Ok; ++i) {
      QString name;
      quint8 shown = 0;
      qint32 pos = 0, size = 0;
      quint32 geometry = 0;
      In >> name >> shown >> pos >> size >> geometry;
      if (Marker == kToolbarMarkerEx) In >> geometry;
    }
  }
  return In.status() == QDataStream::Ok;
}

// The part of a saved main-window state that places the tool bars, as a
// state of its own; empty when there is none. Tool windows are docked anew
// at each start, and a floating group restored before they exist would come
// up as an empty window.
QByteArray ToolbarStateOnly(const QByteArray& State) {
  QDataStream header(State);
  header.setVersion(QDataStream::Qt_5_0);
  qint32 marker = 0, version = 0;
  header >> marker >> version;
  if (header.status() != QDataStream::Ok || marker != kStateVersionMarker) return {};
  // The sections before it have no length of their own: the tool bars begin
  // at the first marker from which a whole tool-bar section runs to the end.
  for (qsizetype at = kStateHeaderSize; at < State.size(); ++at) {
    const auto first = static_cast<uchar>(State[at]);
    if (first != kToolbarMarker && first != kToolbarMarkerEx) continue;
    const QByteArray section = State.mid(at);
    QDataStream in(section);
    in.setVersion(QDataStream::Qt_5_0);
    in.skipRawData(1);
    if (ReadToolbarSection(in, first) && in.atEnd()) return State.left(kStateHeaderSize) + section;
  }
  return {};
}

QToolBar* MakeToolbar(QMainWindow* Window, const char* Name, const QString& Title) {
  auto* bar = new QToolBar(Title, Window);
  bar->setObjectName(QLatin1String(Name));
  bar->setIconSize(QSize(16, 16));
  return bar;
}

}  // namespace

TIDEMainForm::TIDEMainForm(QWidget* Parent) : TVexaMainForm(Parent) {
  setObjectName(QStringLiteral("IDEMainForm"));
  setWindowTitle(QStringLiteral("Dornik Vexa Entwicklung"));

  core_ = std::make_shared<TVexaIDECore>(this);
  commands_ = new TCommandsDataModule(this);
  shortcutFilter_ = new TShortcutFilter(this, this);
  VexaIDE = core_;

  tmrSplash = new QTimer(this);
  tmrSplash->setObjectName(QStringLiteral("tmrSplash"));
  tmrSplash->setSingleShot(true);
  tmrSplash->setInterval(kSplashInterval);
  connect(tmrSplash, &QTimer::timeout, this, &TIDEMainForm::SplashTimerFired);

  CreateMenus();
  CreateToolbars();
  LoadWindowPlacement();

  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          &TIDEMainForm::ApplicationStateChanged);
}

TIDEMainForm::~TIDEMainForm() {
  tmrSplash->stop();
  core_->Shutdown();
  core_->SetFrame(nullptr);
  delete shortcutFilter_;
  // Saves the recent lists and the highlighter settings.
  delete commands_;
}

void TIDEMainForm::SetStatusText(int Panel, const QString& Text) { SetPanelText(Panel, Text); }

void TIDEMainForm::AddActions(QWidget* Target, std::initializer_list<TActionSlot> Slots) {
  commands_->AddActions(Target, Slots);
}

void TIDEMainForm::CreateMenus() {
  QMenuBar* bar = menuBar();
  auto newMenu = [this](QWidget* Parent, const QString& Title, const char* Name) {
    auto* menu = new QMenu(Title, Parent);
    menu->setObjectName(QLatin1String(Name));
    commands_->WatchMenu(menu);
    return menu;
  };
  auto addItem = [](QMenu* Menu, const QString& Caption, const char* Name) {
    QAction* item = Menu->addAction(Caption);
    item->setObjectName(QLatin1String(Name));
    return item;
  };

  // Datei
  mnuFile = newMenu(this, QStringLiteral("&Datei"), "mnuFile");
  bar->addMenu(mnuFile);
  mnuFileNew = newMenu(mnuFile, QStringLiteral("&Neu"), "mnuFileNew");
  AddActions(mnuFileNew, {TAction::FileNewV2Project, TAction::FileNewV2Module, kSeparator,
                          TAction::FileNewBasicProject});
  mnuFile->addMenu(mnuFileNew);
  AddActions(mnuFile, {TAction::FileOpen});
  mnuFileReopen = newMenu(mnuFile, QStringLiteral("Neu öffnen"), "mnuFileReopen");
  for (QAction* a : commands_->RecentProjectActions) mnuFileReopen->addAction(a);
  miMRUSeparator = mnuFileReopen->addSeparator();
  miMRUSeparator->setObjectName(QStringLiteral("miMRUSeparator"));
  for (QAction* a : commands_->RecentFileActions) mnuFileReopen->addAction(a);
  mnuFile->addMenu(mnuFileReopen);
  // Qt 6.4 never maps a popup again once it was popped up with no visible
  // entry: a submenu with nothing to list is disabled before its parent opens.
  connect(mnuFile, &QMenu::aboutToShow, this,
          [this] { mnuFileReopen->menuAction()->setEnabled(AnyRecentEntry()); });
  AddActions(mnuFile, {kSeparator, TAction::FileSave, TAction::FileSaveAs, TAction::FileSaveAll,
                       kSeparator, TAction::FileClose, TAction::FileCloseActiveProject,
                       TAction::FileCloseAll, kSeparator, TAction::FilePrint, kSeparator});
  miFileExit = addItem(mnuFile, QStringLiteral("&Beenden"), "miFileExit");
  miFileExit->setStatusTip(QStringLiteral("Beenden"));
  miFileExit->setToolTip(QStringLiteral("Beenden"));
  miFileExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  connect(miFileExit, &QAction::triggered, this, &QWidget::close);

  // Bearbeiten, Suchen
  mnuEdit = newMenu(this, QStringLiteral("&Bearbeiten"), "mnuEdit");
  bar->addMenu(mnuEdit);
  AddActions(mnuEdit,
             {TAction::EditUndo, TAction::EditRedo, kSeparator, TAction::EditCut, TAction::EditCopy,
              TAction::EditPaste, TAction::EditDelete, TAction::EditSelectAll});
  mnuSearch = newMenu(this, QStringLiteral("&Suchen"), "mnuSearch");
  bar->addMenu(mnuSearch);
  AddActions(mnuSearch, {TAction::SearchFind, TAction::SearchFindNext, TAction::SearchFindPrev,
                         TAction::SearchReplace, kSeparator, TAction::SearchDefinition,
                         TAction::SearchDefinitionReturn});

  // Ansicht; the bar items are shared with the tool-bar area's menu.
  mnuView = newMenu(this, QStringLiteral("&Ansicht"), "mnuView");
  bar->addMenu(mnuView);
  mnuViewToolbars = newMenu(mnuView, QStringLiteral("&Werkzeugleisten"), "mnuViewToolbars");
  const char* const toolbarItems[kToolbarCount][2] = {{"&Standard", "miToolbarStandard"},
                                                      {"S&uchen", "miToolbarSearch"},
                                                      {"&Ansicht", "miToolbarView"},
                                                      {"&Projekt", "miToolbarProject"},
                                                      {"S&imulator", "miToolbarSimulator"}};
  for (int i = 0; i < kToolbarCount; ++i) {
    miToolbars[i] =
        addItem(mnuViewToolbars, QString::fromUtf8(toolbarItems[i][0]), toolbarItems[i][1]);
    miToolbars[i]->setCheckable(true);
    connect(miToolbars[i], &QAction::triggered, this,
            [this, i](bool Checked) { Toolbars()[i]->setVisible(Checked); });
  }
  mnuView->addMenu(mnuViewToolbars);
  miStatusbar = addItem(mnuView, QStringLiteral("Status&zeile"), "miStatusbar");
  miStatusbar->setCheckable(true);
  connect(miStatusbar, &QAction::triggered, Statusbar, &QWidget::setVisible);
  AddActions(mnuView, {kSeparator, TAction::ViewProjectEditor, TAction::ViewMessageViewer,
                       TAction::ViewVariables});
  connect(mnuView, &QMenu::aboutToShow, this, &TIDEMainForm::UpdateBarChecks);
  connect(mnuViewToolbars, &QMenu::aboutToShow, this, &TIDEMainForm::UpdateBarChecks);

  // Projekt
  mnuProject = newMenu(this, QStringLiteral("&Projekt"), "mnuProject");
  bar->addMenu(mnuProject);
  mnuProjectActivate =
      newMenu(mnuProject, QStringLiteral("&Aktives Projekt festlegen"), "mnuProjectActivate");
  mnuProjectActivate->menuAction()->setStatusTip(QStringLiteral("Projekt aktivieren"));
  mnuProjectActivate->menuAction()->setToolTip(QStringLiteral("Projekt aktivieren"));
  connect(mnuProjectActivate, &QMenu::aboutToShow, this, &TIDEMainForm::UpdateProjectMenu);
  mnuProject->addMenu(mnuProjectActivate);
  connect(mnuProject, &QMenu::aboutToShow, this,
          [this] { mnuProjectActivate->menuAction()->setEnabled(core_->GetProjectCount() > 0); });
  mnuProjectModules =
      newMenu(mnuProject, QStringLiteral("Module im aktiven &Projekt"), "mnuProjectModules");
  AddActions(mnuProjectModules,
             {TAction::ProjectInsertModule, kSeparator, TAction::ProjectEditSystemModules,
              TAction::ProjectEditCommonModules, TAction::ProjectEditProjectModules});
  mnuProject->addMenu(mnuProjectModules);
  AddActions(mnuProject, {kSeparator, TAction::ActiveProjectBuild, TAction::ActiveProjectDownload,
                          kSeparator, TAction::ProjectNextError, TAction::ProjectPrevError});

  // Simulator
  mnuSimulator = newMenu(this, QStringLiteral("S&imulator"), "mnuSimulator");
  bar->addMenu(mnuSimulator);
  AddActions(mnuSimulator, {TAction::SimulatorStart, TAction::SimulatorStepOver,
                            TAction::SimulatorStepInto, TAction::SimulatorStepOut,
                            TAction::SimulatorRunToCursor, kSeparator, TAction::SimulatorPause,
                            TAction::SimulatorReset, kSeparator, TAction::ProjectAddWatch,
                            TAction::ProjectToggleBrkpt, TAction::SimulatorClearAllBrkpts});

  // Optionen: each item runs its option dialog.
  mnuOptions = newMenu(this, QStringLiteral("&Optionen"), "mnuOptions");
  bar->addMenu(mnuOptions);
  miOptionsV2 = addItem(mnuOptions, QStringLiteral("&Vexa II..."), "miOptionsV2");
  miOptionsBasic = addItem(mnuOptions, QStringLiteral("Vexa/&BASIC..."), "miOptionsBasic");
  miOptionsEnvironment =
      addItem(mnuOptions, QStringLiteral("&Umgebungseinstellungen..."), "miOptionsEnvironment");
  for (auto [item, kind] : {std::pair{miOptionsV2, TOptionsDialogKind::V2},
                            std::pair{miOptionsBasic, TOptionsDialogKind::Basic},
                            std::pair{miOptionsEnvironment, TOptionsDialogKind::Environment}}) {
    connect(item, &QAction::triggered, this, [this, k = kind] { ExecuteOptionsDialog(k, this); });
  }

  // Hilfe
  mnuHelp = newMenu(this, QStringLiteral("&Hilfe"), "mnuHelp");
  bar->addMenu(mnuHelp);
  miHelpIDE = addItem(mnuHelp, QStringLiteral("&Entwicklungsumgebung"), "miHelpIDE");
  miHelpIDE->setShortcut(QKeySequence(Qt::Key_F1));
  connect(miHelpIDE, &QAction::triggered, this, [] { OpenHelpFile(QStringLiteral("vxide.html")); });
  miHelpV2 = addItem(mnuHelp, QStringLiteral("Sprachbeschreibung Vexa &V2"), "miHelpV2");
  connect(miHelpV2, &QAction::triggered, this, [] { OpenHelpFile(QStringLiteral("v2.html")); });
  miHelpBasic = addItem(mnuHelp, QStringLiteral("Sprachbeschreibung Vexa &BASIC"), "miHelpBasic");
  connect(miHelpBasic, &QAction::triggered, this,
          [] { OpenHelpFile(QStringLiteral("vxbasic.html")); });
  mnuHelp->addSeparator();
  // Without addresses to open these two stay hidden.
  miHelpWebProduct =
      addItem(mnuHelp, QStringLiteral("Dornik Vexa im &Internet"), "miHelpWebProduct");
  miHelpWebMaker =
      addItem(mnuHelp, QStringLiteral("Dornik Electronic im I&nternet"), "miHelpWebMaker");
  mnuHelp->addSeparator();
  miHelpTipOfTheDay = addItem(mnuHelp, QStringLiteral("&Tip des Tages"), "miHelpTipOfTheDay");
  connect(miHelpTipOfTheDay, &QAction::triggered, this, &TIDEMainForm::ShowTipOfTheDay);
  mnuHelp->addSeparator();
  miHelpInfo = addItem(mnuHelp, QStringLiteral("&Info"), "miHelpInfo");
  miHelpInfo->setEnabled(false);
  connect(miHelpInfo, &QAction::triggered, this, [this] { ShowAboutBox(this); });
  for (QAction* item : {miHelpV2, miHelpBasic, miHelpWebProduct, miHelpWebMaker})
    item->setVisible(false);

  // Pop-up menus of the tool bars.
  pmnuNew = newMenu(this, QString(), "pmnuNew");
  AddActions(pmnuNew, {TAction::FileNewV2Project, TAction::FileNewV2Module, kSeparator,
                       TAction::FileNewBasicProject});
  pmnuMRU = newMenu(this, QString(), "pmnuMRU");
  for (QAction* a : commands_->RecentProjectActions) pmnuMRU->addAction(a);
  lmiMRUSeparator = pmnuMRU->addSeparator();
  lmiMRUSeparator->setObjectName(QStringLiteral("lmiMRUSeparator"));
  for (QAction* a : commands_->RecentFileActions) pmnuMRU->addAction(a);
  for (auto [menu, separator] :
       {std::pair{mnuFileReopen, miMRUSeparator}, std::pair{pmnuMRU, lmiMRUSeparator}}) {
    QAction* s = separator;
    connect(menu, &QMenu::aboutToShow, this, [s] {
      s->setVisible(CommandsDataModule && CommandsDataModule->BothRecentListsUsed());
    });
  }
  pmnuToolbars = newMenu(this, QString(), "pmnuToolbars");
  for (QAction* item : miToolbars) pmnuToolbars->addAction(item);
  pmnuToolbars->addSeparator();
  pmnuToolbars->addAction(miStatusbar);
  connect(pmnuToolbars, &QMenu::aboutToShow, this, &TIDEMainForm::UpdateBarChecks);
}

void TIDEMainForm::CreateToolbars() {
  tb97Standard = MakeToolbar(this, "tb97Standard", QStringLiteral("Standard"));
  AddActions(tb97Standard, {TAction::FileNew, TAction::FileOpen, TAction::FileSave,
                            TAction::FileSaveAll, kSeparator, TAction::FilePrint, kSeparator,
                            TAction::EditCut, TAction::EditCopy, TAction::EditPaste, kSeparator,
                            TAction::EditDelete, kSeparator, TAction::EditUndo, TAction::EditRedo});
  for (auto [action, menu] :
       {std::pair{TAction::FileNew, pmnuNew}, std::pair{TAction::FileOpen, pmnuMRU}}) {
    if (auto* button =
            qobject_cast<QToolButton*>(tb97Standard->widgetForAction(commands_->Action(action)))) {
      button->setMenu(menu);
      button->setPopupMode(QToolButton::MenuButtonPopup);
      if (menu == pmnuMRU) {
        mruButton_ = button;
        button->installEventFilter(this);
      }
    }
  }
  tb97Search = MakeToolbar(this, "tb97Search", QStringLiteral("Suchen"));
  AddActions(tb97Search, {TAction::SearchFind, TAction::SearchFindNext, TAction::SearchFindPrev,
                          kSeparator, TAction::SearchReplace, kSeparator,
                          TAction::SearchCaseSensitive, TAction::SearchWholeWords});
  tb97View = MakeToolbar(this, "tb97View", QStringLiteral("Ansicht"));
  AddActions(tb97View,
             {TAction::ViewProjectEditor, TAction::ViewMessageViewer, TAction::ViewVariables});
  tb97Project = MakeToolbar(this, "tb97Project", QStringLiteral("Projekt"));
  AddActions(tb97Project, {TAction::ActiveProjectBuild, TAction::ActiveProjectDownload, kSeparator,
                           TAction::ProjectNextError, TAction::ProjectPrevError, kSeparator,
                           TAction::SearchDefinition, TAction::SearchDefinitionReturn});
  tb97Simulator = MakeToolbar(this, "tb97Simulator", QStringLiteral("Simulator"));
  AddActions(tb97Simulator,
             {TAction::SimulatorStart, TAction::SimulatorStepOver, TAction::SimulatorStepInto,
              TAction::SimulatorStepOut, TAction::SimulatorRunToCursor, kSeparator,
              TAction::SimulatorPause, TAction::SimulatorReset, kSeparator,
              TAction::SimulatorShowCurrent, kSeparator, TAction::ProjectAddWatch,
              TAction::ProjectToggleBrkpt, TAction::SimulatorClearAllBrkpts});

  // First row Standard, View, Search; second row Project, Simulator.
  addToolBar(Qt::TopToolBarArea, tb97Standard);
  addToolBar(Qt::TopToolBarArea, tb97View);
  addToolBar(Qt::TopToolBarArea, tb97Search);
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, tb97Project);
  addToolBar(Qt::TopToolBarArea, tb97Simulator);
}

void TIDEMainForm::LoadWindowPlacement() {
  settings_ = LoadWindowSettings();
  const QRect stored(settings_.Left, settings_.Top, settings_.Width, settings_.Height);
  if (settings_.HasPlacement() && OnSomeScreen(stored)) {
    setGeometry(stored);
    if (settings_.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    // First start (or a place no screen shows any more): three quarters of
    // the screen, in its middle.
    const QRect available = screen->availableGeometry();
    const QSize size =
        (available.size() * 3 / 4).expandedTo(minimumSizeHint()).boundedTo(available.size());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
  }
  Statusbar->setVisible(settings_.StatusbarVisible);
  const QByteArray toolbars = ToolbarStateOnly(settings_.ToolbarState);
  if (!toolbars.isEmpty()) restoreState(toolbars);
  // A floating bar mapped before its main window is not kept above it by the
  // window manager: it is shown once the main window is.
  for (QToolBar* bar : Toolbars()) {
    if (bar->isFloating() && !bar->isHidden()) {
      bar->hide();
      heldBars_.push_back(bar);
    }
  }
}

void TIDEMainForm::ShowHeldBars() {
  for (QToolBar* bar : heldBars_) bar->show();
  heldBars_.clear();
}

void TIDEMainForm::SaveWindowPlacement() {
  ShowHeldBars();
  // A maximised window keeps its normal rectangle.
  QRect rect = isVisible() ? normalGeometry() : geometry();
  if (!rect.isValid()) rect = geometry();
  settings_.Left = rect.left();
  settings_.Top = rect.top();
  settings_.Width = rect.width();
  settings_.Height = rect.height();
  settings_.Maximized = isMaximized();
  settings_.StatusbarVisible = !Statusbar->isHidden();
  settings_.ToolbarState = saveState();
  SaveWindowSettings(settings_);
}

bool TIDEMainForm::AnyRecentEntry() const {
  return !commands_->RecentFiles.IsEmpty() || !commands_->RecentProjects.IsEmpty();
}

bool TIDEMainForm::eventFilter(QObject* Watched, QEvent* Event) {
  // The arrow of "Öffnen" cannot be disabled alone: a press on it does
  // nothing while pmnuMRU would be empty.
  const bool press =
      Event->type() == QEvent::MouseButtonPress || Event->type() == QEvent::MouseButtonDblClick;
  if (Watched == mruButton_ && press && !AnyRecentEntry()) {
    QStyleOptionToolButton option;
    option.initFrom(mruButton_);
    option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
    option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
    const QRect arrow = mruButton_->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                            QStyle::SC_ToolButtonMenu, mruButton_);
    if (arrow.contains(static_cast<QMouseEvent*>(Event)->position().toPoint())) return true;
  }
  return TVexaMainForm::eventFilter(Watched, Event);
}

void TIDEMainForm::UpdateBarChecks() {
  const auto bars = Toolbars();
  for (int i = 0; i < kToolbarCount; ++i) miToolbars[i]->setChecked(!bars[i]->isHidden());
  miStatusbar->setChecked(!Statusbar->isHidden());
}

void TIDEMainForm::UpdateProjectMenu() {
  const std::vector<TProjectMenuItem> items = core_->ProjectMenuItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i == projectItems_.size()) {
      QAction* item = mnuProjectActivate->addAction(QString());
      item->setCheckable(true);
      const int index = int(i);
      connect(item, &QAction::triggered, this, [this, index] { core_->ActivateProjectAt(index); });
      projectItems_.push_back(item);
    }
    QAction* item = projectItems_[i];
    item->setText(items[i].Caption);
    item->setChecked(items[i].Checked);
    item->setVisible(true);
  }
  for (std::size_t i = items.size(); i < projectItems_.size(); ++i)
    projectItems_[i]->setVisible(false);
}

void TIDEMainForm::FirstShown() {
  if (ProjectEditor)
    if (Ref<IVexaToolWindow> window = ProjectEditor->GetToolWindow())
      window->DockInto(this, DockPanelLeft);
  if (MessageView)
    if (Ref<IVexaToolWindow> window = MessageView->GetToolWindow())
      window->DockInto(this, DockPanelBottom);
  if (WatchesView)
    if (Ref<IVexaToolWindow> window = WatchesView->GetToolWindow())
      window->DockInto(this, DockPanelBottom);
  // Runs after the main window asked to be mapped.
  QTimer::singleShot(0, this, &TIDEMainForm::ShowHeldBars);
  tmrSplash->start();
}

void TIDEMainForm::SplashTimerFired() {
  CloseSplash();
  miHelpInfo->setEnabled(true);
  if (settings_.ShowTipOfTheDay) ShowTipOfTheDay();
}

void TIDEMainForm::ShowTipOfTheDay() {
  RunTipOfTheDay(this, settings_.NextTipOfTheDay, settings_.ShowTipOfTheDay);
}

void TIDEMainForm::ApplicationStateChanged(Qt::ApplicationState State) {
  applicationState_ = State;
  if (State == Qt::ApplicationActive) return;
  // Some platforms pass through "inactive" while the focus moves between two
  // of our own windows; only a state that lasts counts.
  QTimer::singleShot(0, this, [this] {
    if (applicationState_ != Qt::ApplicationActive) ClearCommandHandlers();
  });
}

void TIDEMainForm::closeEvent(QCloseEvent* Event) {
  if (!core_->CloseQuery()) {
    Event->ignore();
    return;
  }
  SaveWindowPlacement();
  Event->accept();
}

void TIDEMainForm::contextMenuEvent(QContextMenuEvent* Event) {
  // The tool bars and the free room beside them offer pmnuToolbars.
  QWidget* child = childAt(Event->pos());
  bool toolbarArea = false;
  for (QWidget* w = child; w && w != this; w = w->parentWidget())
    if (qobject_cast<QToolBar*>(w)) toolbarArea = true;
  if (!child) {
    const int top = menuWidget() ? menuWidget()->geometry().bottom() : 0;
    toolbarArea = Event->pos().y() > top && Event->pos().y() < pctrlMain->geometry().top();
  }
  if (!toolbarArea) {
    Event->ignore();
    return;
  }
  pmnuToolbars->popup(Event->globalPos());
  Event->accept();
}

}  // namespace vexa::ide
