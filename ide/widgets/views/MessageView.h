#pragma once

// The message view: the compiler and status messages of every project in
// one tool window ("Meldungen"), the current one marked with an arrow, errors
// in red. The list and its current index live in TMessageViewer and work
// without a form; the form shows them in a one-column list view.

#include "model/core/InterfaceList.h"
#include "model/core/Services.h"
#include "widgets/views/VexaDockable.h"

#include <QAbstractListModel>
#include <QListView>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

#include <memory>

namespace vexa::ide {

class TMessageViewerForm;

class TMessageViewer final : public TVexaDockable,
                             public IMessageView,
                             public std::enable_shared_from_this<TMessageViewer> {
 public:
  explicit TMessageViewer(QWidget* MainForm = nullptr);
  ~TMessageViewer() override;

  // IMessageView
  void GoToCurrent() override;
  void Add(const Ref<IVexaMessage>& Message) override;
  bool CanNextError() override;
  bool CanPrevError() override;
  void Clear() override;
  void RemoveMessagesOf(const Ref<IVexaProject>& Source) override;
  void NextError() override;
  void PrevError() override;
  int GetCurrentIndex() override { return FCurrentIndex; }
  Ref<IVexaMessage> GetMessage(int Index) override { return FMessages.Get(Index); }
  int GetCount() override { return FMessages.Count(); }
  Ref<IVexaToolWindow> GetToolWindow() override;
  void SetCurrentIndex(int Index) override;

  // IVexaToolWindow
  QString GetName() override { return QStringLiteral("MessageViewer"); }

  // The form, nullptr until the tool window is first docked or shown.
  TMessageViewerForm* ViewerForm() const { return FForm; }

 protected:
  QWidget* CreateForm(QWidget* Owner) override;

 private:
  // Recomputes FirstError and LastError while they are dirty.
  void UpdateErrorRange();
  static bool IsError(const Ref<IVexaMessage>& Message);

  TVexaInterfaceList<IVexaMessage> FMessages;
  int FCurrentIndex = -1;
  bool FErrorRangeDirty = true;
  int FFirstError = -1;
  int FLastError = -1;
  QPointer<TMessageViewerForm> FForm;
};

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

// Draws a row: the arrow of the current message in the left margin, the
// text after it, red for an error.
class TMessageDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 17;
  static constexpr int kMargin = 16;
  static constexpr QRgb kErrorColor = 0xFFFF0000;

  TMessageDelegate(IMessageView* View, QPixmap Arrow, QObject* Parent);

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
             const QModelIndex& Index) const override;
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

 private:
  IMessageView* FView;
  QPixmap FArrow;
};

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

// Makes the message view, publishes it as MessageView and registers its
// tool window. Idempotent.
void RegisterMessageView();

}  // namespace vexa::ide
