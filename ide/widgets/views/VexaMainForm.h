#pragma once

// The base of the IDE main window: the editor page control in the centre,
// three dock areas (left, right, bottom) for the tool windows and the status
// bar with its four panels.

#include "widgets/views/VexaDockPanel.h"

#include <QMainWindow>

#include <array>
#include <vector>

class QDockWidget;
class QLabel;
class QStatusBar;
class QTabWidget;

namespace vexa::ide {

class TVexaDockWidget;

// Status bar panels, left to right.
enum : int {
  StatusPanelCaret = 0,
  StatusPanelModified = 1,
  StatusPanelMode = 2,
  StatusPanelText = 3,
  StatusPanelCount = 4,
};

class TVexaMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // No dock area may be made narrower or lower than this.
  static constexpr int MinDockSize = 42;

  explicit TVexaMainForm(QWidget* Parent = nullptr);
  ~TVexaMainForm() override;

  // The site of an area (left, right or bottom); nullptr for any other area.
  TVexaDockPanel* DockPanel(Qt::DockWidgetArea Area) const;
  // The area a site stands for; Qt::NoDockWidgetArea for anything else.
  static Qt::DockWidgetArea AreaOfSite(const QWidget* Site);

  // Shows: gives the area the client's remembered width (left, right) or
  // height (bottom), a third of the centre's width or height without a
  // client, and shows the client. Hides: closes every tool window of the
  // area, so that it takes no space.
  void ShowDockPanel(QWidget* Panel, bool MakeVisible, TVexaDockWidget* Client);

  // Called by a docked tool window after it was shown or closed.
  void ClientVisibleChanged(TVexaDockWidget* Client);

  // Tool windows docked in an area, in the order they were made; with OnlyVisible those
  // that are not closed (a tab behind another still counts).
  std::vector<TVexaDockWidget*> DockClients(Qt::DockWidgetArea Area, bool OnlyVisible) const;

  // Docks Client into the area of Panel, as a tab behind the area's last
  // tool window when there is one, and shows it.
  void DockClient(TVexaDockWidget* Client, QWidget* Panel);

  // Status panels 0..3; other numbers are ignored.
  void SetPanelText(int Panel, const QString& Text);
  QString PanelText(int Panel) const;
  QLabel* StatusPanel(int Panel) const;

  QTabWidget* PageControl() const { return pctrlMain; }
  QStatusBar* StatusBar() const { return Statusbar; }

  // True while the window's size, not the user, decides the areas' sizes
  // (while the window is resized). A tool window does not remember such a
  // size as its own.
  bool SizingAreas() const { return FSizingAreas || size() != FLaidOutSize; }

 protected:
  // Once, when the window is shown for the first time (the place to dock
  // the tool windows).
  virtual void FirstShown() {}

  void showEvent(QShowEvent* Event) override;
  // A grown window gives the areas it squeezed their remembered size back.
  void resizeEvent(QResizeEvent* Event) override;

  QTabWidget* pctrlMain = nullptr;
  QStatusBar* Statusbar = nullptr;
  TVexaDockPanel* DockPanelLeft = nullptr;
  TVexaDockPanel* DockPanelRight = nullptr;
  TVexaDockPanel* DockPanelBottom = nullptr;

 private:
  std::array<QLabel*, StatusPanelCount> FPanels{};
  bool FShown = false;
  bool FShowingPanel = false;
  bool FSizingAreas = false;
  // The size of the window when its areas were last laid out.
  QSize FLaidOutSize;

  // Lays the areas out now, as the window's size decides.
  void LayOutAreas();
  // Gives each area up to Grown (width left and right, height bottom) of
  // what it lacks of its tool windows' remembered size.
  void ReturnAreaSizes(QSize Grown);
};

}  // namespace vexa::ide
