#pragma once

// The watches view ("Überwachte Variablen"): the tool window that lists the
// active project's watches with their values, adds and deletes watches,
// changes a value while the simulation is paused and sets the display format
// of integer values. It keeps no copy of the watches: every paint asks the
// active project again.

#include "model/core/VexaIntfs.h"
#include "widgets/views/VexaDockable.h"
#include "widgets/views/WatchesViewerForm.h"

#include <memory>

namespace vexa::ide {

class TWatchesViewer final : public TVexaDockable,
                             public IWatchesView,
                             public std::enable_shared_from_this<TWatchesViewer> {
 public:
  explicit TWatchesViewer(QWidget* MainForm = nullptr) : TVexaDockable(MainForm) {}

  // IWatchesView
  void RefreshWatch(int Index) override;
  void RefreshAll() override;
  Ref<IVexaToolWindow> GetToolWindow() override;

  QString GetName() override { return QStringLiteral("WatchesViewer"); }

  TWatchesViewerForm* ViewerForm() const;

 protected:
  QWidget* CreateForm(QWidget* Owner) override;
};

// Fills WatchesView and registers its tool window.
void RegisterWatchesView();

}  // namespace vexa::ide
