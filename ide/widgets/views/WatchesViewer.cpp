#include "widgets/views/WatchesViewer.h"

#include "model/core/Services.h"

namespace vexa::ide {

TWatchesViewerForm* TWatchesViewer::ViewerForm() const {
  return qobject_cast<TWatchesViewerForm*>(Form());
}

QWidget* TWatchesViewer::CreateForm(QWidget* Owner) {
  return new TWatchesViewerForm(shared_from_this(), Owner);
}

void TWatchesViewer::RefreshWatch(int Index) {
  TWatchesViewerForm* form = ViewerForm();
  if (!form) return;
  form->Model->UpdateRowCount();
  form->Model->RepaintRow(Index);
}

void TWatchesViewer::RefreshAll() {
  TWatchesViewerForm* form = ViewerForm();
  if (!form) return;
  form->Model->UpdateRowCount();
  form->Model->RepaintRow(-1);
  form->dgWatches->viewport()->update();
}

Ref<IVexaToolWindow> TWatchesViewer::GetToolWindow() {
  return std::static_pointer_cast<IVexaToolWindow>(shared_from_this());
}

void RegisterWatchesView() {
  auto viewer = std::make_shared<TWatchesViewer>();
  WatchesView = viewer;
  RegisterToolWindow(viewer);
}

}  // namespace vexa::ide
