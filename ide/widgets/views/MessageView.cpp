#include "widgets/views/MessageView.h"

#include "widgets/views/ViewResources.h"

#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vexa::ide {

// --- TMessageViewer ---

TMessageViewer::TMessageViewer(QWidget* MainForm) : TVexaDockable(MainForm) {}

TMessageViewer::~TMessageViewer() {
  // The form asks this viewer for its rows: it goes first.
  delete FForm.data();
}

Ref<IVexaToolWindow> TMessageViewer::GetToolWindow() {
  return std::static_pointer_cast<IVexaToolWindow>(
      std::static_pointer_cast<TVexaDockable>(shared_from_this()));
}

QWidget* TMessageViewer::CreateForm(QWidget* Owner) {
  auto* form = new TMessageViewerForm(this, Owner);
  FForm = form;
  return form;
}

bool TMessageViewer::IsError(const Ref<IVexaMessage>& Message) {
  return Message && Message->GetKind() == MessageKindError;
}

void TMessageViewer::UpdateErrorRange() {
  if (!FErrorRangeDirty) return;
  FErrorRangeDirty = false;
  FLastError = -1;
  for (int i = FMessages.Count() - 1; i >= 0; --i) {
    if (IsError(FMessages.Get(i))) {
      FLastError = i;
      break;
    }
  }
  FFirstError = -1;
  if (FLastError < 0) return;
  for (int i = 0; i <= FLastError; ++i) {
    if (IsError(FMessages.Get(i))) {
      FFirstError = i;
      break;
    }
  }
}

void TMessageViewer::Add(const Ref<IVexaMessage>& Message) {
  if (!Message) return;
  const int before = FMessages.Count();
  FMessages.Add(Message);
  if (FMessages.Count() == before) return;  // already listed
  if (FCurrentIndex == -1) FCurrentIndex = 0;
  FErrorRangeDirty = true;
  if (FForm) FForm->UpdateRows();
}

bool TMessageViewer::CanNextError() {
  UpdateErrorRange();
  return FLastError >= 0 && FLastError > FCurrentIndex;
}

bool TMessageViewer::CanPrevError() {
  UpdateErrorRange();
  return FFirstError >= 0 && FFirstError < FCurrentIndex;
}

void TMessageViewer::Clear() {
  FMessages.Clear();
  // Nothing is left to be current; without this the first message added
  // after a clear would not become current.
  FCurrentIndex = -1;
  RemoveMessagesOf(nullptr);
}

void TMessageViewer::RemoveMessagesOf(const Ref<IVexaProject>& Source) {
  for (int i = FMessages.Count() - 1; i >= 0; --i) {
    const Ref<IVexaProject> source = FMessages.Get(i)->GetSource();
    if (source && source != Source) continue;
    FMessages.Delete(i);
    if (FCurrentIndex == i)
      FCurrentIndex = -1;
    else if (FCurrentIndex > i)
      --FCurrentIndex;
  }
  FErrorRangeDirty = true;
  if (FForm) FForm->UpdateRows();
}

void TMessageViewer::NextError() {
  for (int i = FCurrentIndex + 1; i < FMessages.Count(); ++i) {
    if (IsError(FMessages.Get(i))) {
      SetCurrentIndex(i);
      GoToCurrent();
      return;
    }
  }
}

void TMessageViewer::PrevError() {
  for (int i = FCurrentIndex - 1; i >= 0; --i) {
    if (IsError(FMessages.Get(i))) {
      SetCurrentIndex(i);
      GoToCurrent();
      return;
    }
  }
}

void TMessageViewer::SetCurrentIndex(int Index) {
  if (Index >= FMessages.Count()) Index = FMessages.Count() - 1;
  if (Index == FCurrentIndex) return;
  const int old = FCurrentIndex;
  FCurrentIndex = Index;
  if (FForm) {
    FForm->Model()->RepaintRow(old);
    FForm->Model()->RepaintRow(Index);
  }
}

void TMessageViewer::GoToCurrent() {
  const Ref<IVexaMessage> message = FMessages.Get(FCurrentIndex);
  if (!message) return;
  const Ref<IVexaIDE> ide = VexaIDE;
  const Ref<IVexaSourceEditor> editor = ide ? ide->ShowModuleEditor(message->GetModule()) : nullptr;
  if (editor && IsError(message) && message->GetLine() > 0)
    editor->SetErrorLine(message->GetLine());
  if (FForm) FForm->ShowCurrentRow();
}

// --- TMessageListModel ---

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

// --- TMessageDelegate ---

TMessageDelegate::TMessageDelegate(IMessageView* View, QPixmap Arrow, QObject* Parent)
    : QStyledItemDelegate(Parent), FView(View), FArrow(std::move(Arrow)) {}

QSize TMessageDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const {
  return {Option.rect.width(), kRowHeight};
}

void TMessageDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                             const QModelIndex& Index) const {
  const QRect cell = Option.rect;
  const QPalette& palette = Option.palette;
  const int row = Index.row();
  Painter->save();

  const QRect margin(cell.left(), cell.top(), std::min(kMargin, cell.width()), cell.height());
  Painter->fillRect(margin, palette.color(QPalette::Base));
  if (row == FView->GetCurrentIndex() && !FArrow.isNull())
    Painter->drawPixmap(cell.left() + 4, cell.top() + (cell.height() - FArrow.height()) / 2,
                        FArrow);

  const QRect text(QPoint(cell.left() + kMargin, cell.top()), cell.bottomRight());
  const bool selected = Option.state.testFlag(QStyle::State_Selected);
  const bool focused = selected && Option.state.testFlag(QStyle::State_HasFocus);
  QColor background = palette.color(QPalette::Base);
  if (focused)
    background = palette.color(QPalette::Highlight);
  else if (selected)
    background = palette.color(QPalette::Button);
  Painter->fillRect(text, background);

  if (const Ref<IVexaMessage> message = FView->GetMessage(row)) {
    QColor color = palette.color(QPalette::Text);
    if (focused)
      color = palette.color(QPalette::HighlightedText);
    else if (message->GetKind() == MessageKindError)
      color = QColor::fromRgb(kErrorColor);
    else if (selected)
      color = palette.color(QPalette::ButtonText);
    Painter->setClipRect(text);
    Painter->setPen(color);
    Painter->setFont(Option.font);
    Painter->drawText(text.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      message->GetText());
  }
  Painter->restore();
}

// --- TMessageViewerForm ---

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

// --- start-up ---

void RegisterMessageView() {
  if (MessageView) return;
  auto viewer = std::make_shared<TMessageViewer>();
  MessageView = viewer;
  RegisterToolWindow(viewer->GetToolWindow());
}

}  // namespace vexa::ide
