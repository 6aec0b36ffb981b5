#pragma once

// The dock widget around a tool window's form (see TVexaDockable).

#include <QDockWidget>
#include <QString>

namespace vexa::ide {

class TVexaDockable;
class TVexaMainForm;

// The dock widget around a tool window's form. Remembers the width it had in
// a left or right area, the height it had in the bottom area and its size
// while floating.
class TVexaDockWidget final : public QDockWidget {
  Q_OBJECT

 public:
  TVexaDockWidget(TVexaDockable* Owner, QWidget* Parent);
  ~TVexaDockWidget() override;

  // Remembered sizes; without one the form's preferred size.
  int LRDockWidth() const;
  int TBDockHeight() const;
  int UndockWidth() const;
  // Its width in a left or right area, its height with the tab bar below in
  // the bottom area; 0 while floating, hidden or behind another tab.
  int DockedExtent() const;
  int UndockHeight() const;

  void SetAllowDocking(bool Allow);
  bool AllowDocking() const;

  TVexaMainForm* MainForm() const;
  // The site name of its area, empty while floating or outside a main window.
  QString DockSiteName() const;

  // The owner forgets this widget when it goes (Close while floating).
  void Detach() { FOwner = nullptr; }

  // Lets the form shrink so far that the docked widget is MinDockSize
  // wide and high, and no further.
  void FitMinimumSize();

 protected:
  bool event(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void moveEvent(QMoveEvent* Event) override;

 private:
  TVexaDockable* FOwner;
  int FLRDockWidth = 0;
  int FTBDockHeight = 0;
  int FUndockWidth = 0;
  int FUndockHeight = 0;
  // Moved out from behind another tab, not yet sized.
  bool FToFront = false;
};

}  // namespace vexa::ide
