#pragma once

// The watches view ("Überwachte Variablen"): the tool window that lists the
// active project's watches with their values, adds and deletes watches,
// changes a value while the simulation is paused and sets the display format
// of integer values. It keeps no copy of the watches: every paint asks the
// active project again.

#include "model/core/VexaIntfs.h"
#include "widgets/views/VexaDockable.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace vexa::ide {

// Row r of the model is the active project's watch r; there is at least one
// (blank) row.
class TWatchesModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

  // The active project's watch count, 0 without a main window or project.
  static int WatchCount();
  // The watch of a row, none when there is no such watch.
  static Ref<IVexaWatch> WatchAt(int Row);

  // Takes the current watch count as the row count.
  void UpdateRowCount();
  // Repaints one row, or every row for -1.
  void RepaintRow(int Row);

 private:
  int rows_ = 1;
};

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
