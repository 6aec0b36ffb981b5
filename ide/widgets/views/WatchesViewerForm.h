#pragma once

// The form of the watches view: the grid of names and values and its popup
// menu.

#include "model/core/VexaIntfs.h"
#include "widgets/views/WatchesModel.h"

#include <QTableView>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace vexa::ide {

class TWatchesViewerForm final : public QWidget {
  Q_OBJECT

 public:
  TWatchesViewerForm(const std::shared_ptr<IWatchesView>& View, QWidget* Parent);

  QTableView* dgWatches;
  TWatchesModel* Model;
  QMenu* lmnuWatch;
  QAction* lmiEditValue;
  QAction* lmiShowBinary;
  QAction* lmiShowDecimal;
  QAction* lmiShowHexaDecimal;
  QAction* lmiAddWatch;
  QAction* lmiDeleteWatch;

  // Width of the first column in per mille of the grid's client width,
  // within 50..950.
  int ColumnSplit() const { return columnSplit_; }
  // Cuts P to 50..950, keeps it and sizes both columns. After a drag by the
  // user the split is measured from the first column's width.
  void SetColumnSplit(int P);

  // The popup menu's state for the selected row.
  void UpdatePopupMenu();
  // The commands of the menu, on the selected row.
  void AddWatch();
  void DeleteWatch();
  void EditValue();
  void ShowFormat(TWatchFormat Format);

  // The selected row's watch index, -1 when nothing is selected.
  int SelectedIndex() const;

  QSize sizeHint() const override { return {324, 110}; }

  std::shared_ptr<IWatchesView> View() const { return view_.lock(); }

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

 private:
  void BuildPopupMenu();

  int columnSplit_ = 650;
  std::weak_ptr<IWatchesView> view_;
};

}  // namespace vexa::ide
