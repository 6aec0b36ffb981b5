#include "widgets/views/MessageViewerForm.h"

#include "widgets/views/MessageDelegate.h"
#include "widgets/views/MessageViewer.h"
#include "widgets/views/ViewResources.h"

#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vexa::ide {

TMessageViewerForm::TMessageViewerForm(TMessageViewer* Viewer, QWidget* Parent)
    : QWidget(Parent), FViewer(Viewer) {
  InitViewResources();
  setObjectName(QStringLiteral("MessageViewerForm"));
  setWindowTitle(QStringLiteral("Meldungen"));
  CurrentMessageBitmap = QPixmap(QStringLiteral(":/vexaide/VexaCurrentMessage"));

  dgMessages = new QListView(this);
  dgMessages->setObjectName(QStringLiteral("dgMessages"));
  dgMessages->setUniformItemSizes(true);
  dgMessages->setSelectionMode(QAbstractItemView::SingleSelection);
  dgMessages->setEditTriggers(QAbstractItemView::NoEditTriggers);
  dgMessages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  dgMessages->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  dgMessages->setTextElideMode(Qt::ElideNone);
  FModel = new TMessageListModel(Viewer, this);
  dgMessages->setModel(FModel);
  dgMessages->setItemDelegate(new TMessageDelegate(Viewer, CurrentMessageBitmap, this));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(dgMessages);
  resize(338, 68);

  connect(dgMessages->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& Current) {
            if (!FSyncing && Current.isValid()) FViewer->SetCurrentIndex(Current.row());
          });
  connect(dgMessages, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex&) { FViewer->GoToCurrent(); });
}

void TMessageViewerForm::UpdateRows() {
  // Removed rows move the list view's current index where the model puts
  // it; the viewer's own index stays the one that counts.
  FSyncing = true;
  FModel->UpdateRowCount();
  const int row = FViewer->GetCurrentIndex();
  if (row >= 0 && row < FModel->rowCount())
    dgMessages->selectionModel()->setCurrentIndex(FModel->index(row),
                                                  QItemSelectionModel::ClearAndSelect);
  else
    dgMessages->selectionModel()->clear();
  FSyncing = false;
}

void TMessageViewerForm::ShowCurrentRow() {
  const int row = FViewer->GetCurrentIndex();
  if (row < 0 || row >= FModel->rowCount()) return;
  const QModelIndex index = FModel->index(row);
  FSyncing = true;
  dgMessages->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  FSyncing = false;
  dgMessages->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void TMessageViewerForm::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  UpdateRows();
}

}  // namespace vexa::ide
