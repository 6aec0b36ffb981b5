#include "widgets/views/MessageListModel.h"

#include <algorithm>

namespace vexa::ide {

TMessageListModel::TMessageListModel(IMessageView* View, QObject* Parent)
    : QAbstractListModel(Parent), FView(View), FRows(std::max(1, View->GetCount())) {}

int TMessageListModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : FRows;
}

QVariant TMessageListModel::data(const QModelIndex& Index, int Role) const {
  if (Role != Qt::DisplayRole && Role != Qt::ToolTipRole) return {};
  const Ref<IVexaMessage> message = FView->GetMessage(Index.row());
  return message ? QVariant(message->GetText()) : QVariant();
}

void TMessageListModel::UpdateRowCount() {
  const int rows = std::max(1, FView->GetCount());
  if (rows > FRows) {
    beginInsertRows({}, FRows, rows - 1);
    FRows = rows;
    endInsertRows();
  } else if (rows < FRows) {
    beginRemoveRows({}, rows, FRows - 1);
    FRows = rows;
    endRemoveRows();
  }
  emit dataChanged(index(0), index(FRows - 1));
}

void TMessageListModel::RepaintRow(int Row) {
  if (Row < 0 || Row >= FRows) return;
  emit dataChanged(index(Row), index(Row));
}

}  // namespace vexa::ide
