#pragma once

// The rows of the message view's list: the messages of an IMessageView.

#include "model/core/VexaIntfs.h"

#include <QAbstractListModel>

namespace vexa::ide {

// The rows of the list view: one per message, at least one (an empty view
// still shows a blank row).
class TMessageListModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  TMessageListModel(IMessageView* View, QObject* Parent);

  int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;

  // Brings the row count in line with the view's messages and repaints
  // every row.
  void UpdateRowCount();
  void RepaintRow(int Row);

  IMessageView* View() const { return FView; }

 private:
  IMessageView* FView;
  int FRows = 1;
};

}  // namespace vexa::ide
