#pragma once

// Tool windows (message view, project tree, watches view): a TVexaDockable
// owns the tool window's form, made on first use, inside a TVexaDockWidget
// that docks into the main window's areas, tabs with other tool windows and
// floats.

#include "model/core/VexaIntfs.h"

#include <QDockWidget>
#include <QPointer>

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

 private:
  TVexaDockable* FOwner;
  int FLRDockWidth = 0;
  int FTBDockHeight = 0;
  int FUndockWidth = 0;
  int FUndockHeight = 0;
};

class TVexaDockable : public IVexaToolWindow {
 public:
  // MainForm: the owner of the form when VexaIDE gives none.
  explicit TVexaDockable(QWidget* MainForm = nullptr);
  ~TVexaDockable() override;
  TVexaDockable(const TVexaDockable&) = delete;
  TVexaDockable& operator=(const TVexaDockable&) = delete;

  // IVexaToolWindow
  void Close() override;
  void DockInto(QWidget* Owner, QWidget* Site) override;
  // Unused IVexaToolWindow hooks.
  bool ReservedQuery() override { return false; }
  void ReservedNotify() override {}
  void Show(bool Focus) override;
  // Default: the class name.
  QString GetName() override;

  // The form, nullptr until made and after Close while floating.
  QWidget* Form() const { return FForm; }
  TVexaDockWidget* DockWidget() const { return FDock; }
  // What the form had when it was last closed.
  const TVexaToolWindowData& Data() const { return FData; }

 protected:
  // Makes this tool window's form; the dock widget takes it over.
  virtual QWidget* CreateForm(QWidget* Owner) = 0;

 private:
  friend class TVexaDockWidget;

  // Makes the form and its dock widget when they do not exist.
  void EnsureForm(QWidget* Owner);
  // From the dock widget's close: records Data; floating: forgets the form
  // and has it deleted; docked: hides it. Returns true when deleted.
  bool FormClose(TVexaDockWidget* Dock);

  QPointer<QWidget> FMainForm;
  QPointer<TVexaDockWidget> FDock;
  QPointer<QWidget> FForm;
  TVexaToolWindowData FData;
};

}  // namespace vexa::ide
