#pragma once

// Tool windows (message view, project tree, watches view): a TVexaDockable
// owns the tool window's form, made on first use, inside a TVexaDockWidget
// that docks into the main window's areas, tabs with other tool windows and
// floats.

#include "model/core/VexaIntfs.h"
#include "widgets/views/VexaDockWidget.h"

#include <QPointer>

namespace vexa::ide {

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
