#pragma once

// The IDE's main window: menus, tool bars and status bar bound to the
// command module's actions, the window settings, the splash timer with the
// tip of the day, and the hub of the open work (TVexaIDECore), published as
// VexaIDE while the window exists.

#include "model/core/VexaIDECore.h"
#include "model/settings/WindowSettings.h"
#include "widgets/shared/CommandsDataModule.h"
#include "widgets/views/VexaMainForm.h"

#include <array>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

namespace vexa::ide {

class TShortcutFilter;

class TIDEMainForm : public TVexaMainForm, public IVexaIDEFrame {
  Q_OBJECT

 public:
  static constexpr int kSplashInterval = 2000;  // ms
  static constexpr int kToolbarCount = 5;

  explicit TIDEMainForm(QWidget* Parent = nullptr);
  ~TIDEMainForm() override;

  // IVexaIDEFrame
  void SetStatusText(int Panel, const QString& Text) override;
  QWidget* GetMainForm() override { return this; }
  QTabWidget* GetPageControl() override { return pctrlMain; }

  const std::shared_ptr<TVexaIDECore>& Core() const { return core_; }
  // The window settings as loaded, updated when the window closes.
  const TWindowSettings& WindowSettings() const { return settings_; }

  // Runs once, kSplashInterval after the first show: closes the splash,
  // enables "&Info" and shows the tip of the day.
  QTimer* tmrSplash = nullptr;

  QMenu* mnuFile = nullptr;
  QMenu* mnuFileNew = nullptr;
  QMenu* mnuFileReopen = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuSearch = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuViewToolbars = nullptr;
  QMenu* mnuProject = nullptr;
  QMenu* mnuProjectActivate = nullptr;
  QMenu* mnuProjectModules = nullptr;
  QMenu* mnuSimulator = nullptr;
  QMenu* mnuOptions = nullptr;
  QMenu* mnuHelp = nullptr;
  QMenu* pmnuNew = nullptr;
  QMenu* pmnuMRU = nullptr;
  QMenu* pmnuToolbars = nullptr;

  QAction* miMRUSeparator = nullptr;
  QAction* lmiMRUSeparator = nullptr;
  QAction* miFileExit = nullptr;
  // Standard, Search, View, Project, Simulator; shared by "&Werkzeugleisten"
  // and pmnuToolbars.
  std::array<QAction*, kToolbarCount> miToolbars{};
  QAction* miStatusbar = nullptr;
  QAction* miOptionsV2 = nullptr;
  QAction* miOptionsBasic = nullptr;
  QAction* miOptionsEnvironment = nullptr;
  QAction* miHelpIDE = nullptr;
  QAction* miHelpV2 = nullptr;
  QAction* miHelpBasic = nullptr;
  QAction* miHelpWebProduct = nullptr;
  QAction* miHelpWebMaker = nullptr;
  QAction* miHelpTipOfTheDay = nullptr;
  QAction* miHelpInfo = nullptr;

  QToolBar* tb97Standard = nullptr;
  QToolBar* tb97Search = nullptr;
  QToolBar* tb97View = nullptr;
  QToolBar* tb97Project = nullptr;
  QToolBar* tb97Simulator = nullptr;
  // In the order of miToolbars.
  std::array<QToolBar*, kToolbarCount> Toolbars() const {
    return {tb97Standard, tb97Search, tb97View, tb97Project, tb97Simulator};
  }

 protected:
  void FirstShown() override;
  void closeEvent(QCloseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void CreateMenus();
  void CreateToolbars();
  void LoadWindowPlacement();
  // Shows the floating bars LoadWindowPlacement held back.
  void ShowHeldBars();
  void SaveWindowPlacement();
  // True when a recent list holds an entry.
  bool AnyRecentEntry() const;
  // Sets the check marks of the tool-bar and status-bar items.
  void UpdateBarChecks();
  // Rebuilds the open-projects submenu from the hub.
  void UpdateProjectMenu();
  void SplashTimerFired();
  void ShowTipOfTheDay();
  void ApplicationStateChanged(Qt::ApplicationState State);

  // Adds the command module's actions; kSeparator adds a separator.
  void AddActions(QWidget* Target, std::initializer_list<TActionSlot> Slots);

  std::shared_ptr<TVexaIDECore> core_;
  TCommandsDataModule* commands_ = nullptr;
  TShortcutFilter* shortcutFilter_ = nullptr;
  TWindowSettings settings_;
  std::vector<QAction*> projectItems_;
  std::vector<QToolBar*> heldBars_;
  // The "Öffnen" button of tb97Standard, whose drop-down is pmnuMRU.
  QToolButton* mruButton_ = nullptr;
  Qt::ApplicationState applicationState_ = Qt::ApplicationActive;
};

}  // namespace vexa::ide
