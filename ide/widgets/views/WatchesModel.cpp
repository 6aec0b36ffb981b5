#include "widgets/views/WatchesModel.h"

#include "model/core/Services.h"

#include <QColor>

#include <algorithm>

namespace vexa::ide {

int TWatchesModel::WatchCount() {
  Ref<IVexaProject> project = ActiveProject();
  return project ? std::max(project->GetWatchCount(), 0) : 0;
}

Ref<IVexaWatch> TWatchesModel::WatchAt(int Row) {
  Ref<IVexaProject> project = ActiveProject();
  if (!project || Row < 0 || Row >= project->GetWatchCount()) return nullptr;
  return project->GetWatch(Row);
}

int TWatchesModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : rows_;
}

int TWatchesModel::columnCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : 2; }

QVariant TWatchesModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || (Role != Qt::DisplayRole && Role != Qt::ForegroundRole)) return {};
  Ref<IVexaWatch> watch = WatchAt(Index.row());
  if (!watch) return {};
  if (Role == Qt::ForegroundRole) {
    if (Index.column() == 1 && watch->GetChanged()) return QColor(Qt::red);
    return {};
  }
  return Index.column() == 0 ? watch->GetName() : watch->GetValueText();
}

QVariant TWatchesModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole) return {};
  return Section == 0 ? QStringLiteral("Bezeichner") : QStringLiteral("Wert");
}

void TWatchesModel::UpdateRowCount() {
  const int rows = std::max(WatchCount(), 1);
  if (rows > rows_) {
    beginInsertRows(QModelIndex(), rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  } else if (rows < rows_) {
    beginRemoveRows(QModelIndex(), rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
  }
}

void TWatchesModel::RepaintRow(int Row) {
  if (Row >= 0 && Row < rows_) {
    emit dataChanged(index(Row, 0), index(Row, 1));
  } else {
    emit dataChanged(index(0, 0), index(rows_ - 1, 1));
  }
}

}  // namespace vexa::ide
