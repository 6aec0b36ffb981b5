#pragma once

// The rows of the watches view: the active project's watches, asked again on
// every paint.

#include "model/core/VexaIntfs.h"

#include <QAbstractTableModel>

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

}  // namespace vexa::ide
