#pragma once

// The form of the message view: a one-column list of the viewer's messages.

#include "widgets/views/MessageListModel.h"

#include <QListView>
#include <QPixmap>
#include <QWidget>

namespace vexa::ide {

class TMessageViewer;

class TMessageViewerForm final : public QWidget {
  Q_OBJECT

 public:
  TMessageViewerForm(TMessageViewer* Viewer, QWidget* Parent);

  QListView* dgMessages = nullptr;
  // The current-message bitmap (resource VexaCurrentMessage).
  QPixmap CurrentMessageBitmap;

  TMessageListModel* Model() const { return FModel; }
  // Selects the current row and scrolls it into view.
  void ShowCurrentRow();
  // After a change of the list: the row count, every row repainted, the
  // selection on the current row.
  void UpdateRows();

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  TMessageViewer* FViewer;
  TMessageListModel* FModel;
  bool FSyncing = false;
};

}  // namespace vexa::ide
