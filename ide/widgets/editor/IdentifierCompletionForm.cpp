#include "widgets/editor/IdentifierCompletionForm.h"

#include "model/core/Services.h"
#include "model/text/IdentifierAtCaret.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/VexaEditControl.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>

namespace vexa::ide {

QPointer<TIdentifierCompletionForm> IdentifierCompletionForm;

namespace {

bool IsFilterChar(const QString& Text) {
  if (Text.size() != 1) return false;
  const char16_t c = Text[0].unicode();
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == u'_';
}

// An item as "name" in bold and the rest in normal weight right after it.
class TCompletionDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
             const QModelIndex& Index) const override {
    const bool selected = Option.state & QStyle::State_Selected;
    const QPalette& palette = Option.palette;
    Painter->fillRect(Option.rect, palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QString item = Index.data(Qt::DisplayRole).toString();
    if (item.isEmpty()) return;
    const QString name = CompletionItemName(item);
    Painter->save();
    Painter->setClipRect(Option.rect);
    Painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    QFont bold = Option.font;
    bold.setBold(true);
    QFont normal = Option.font;
    normal.setBold(false);
    QRect text = Option.rect.adjusted(2, 0, 0, 0);
    Painter->setFont(bold);
    Painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    text.setLeft(text.left() + QFontMetrics(bold).horizontalAdvance(name));
    Painter->setFont(normal);
    Painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      item.mid(name.size()));
    Painter->restore();
    if (Option.state & QStyle::State_HasFocus) {
      QPen pen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
      pen.setStyle(Qt::DotLine);
      Painter->save();
      Painter->setPen(pen);
      Painter->drawRect(Option.rect.adjusted(0, 0, -1, -1));
      Painter->restore();
    }
  }

  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QSize size = QStyledItemDelegate::sizeHint(Option, Index);
    size.setHeight(TIdentifierCompletionForm::kItemHeight);
    return size;
  }
};

// Puts the chosen name after the last dot of the identifier that was at the
// caret when the list opened, as one undo step.
void InsertCompletion(TSourceEditor& Editor, const TIdentifierAtCaretInfo& Info, int Line,
                      const QString& Chosen) {
  TVexaEditControl* control = Editor.Control();
  if (!control || control->isReadOnly()) return;
  // The identifier must still stand where it was found.
  QString text = control->text(Line);
  while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
  if (text.mid(Info.Start - 1, Info.Text.size()) != Info.Text) return;
  const std::optional<TCompletionEdit> edit = CompletionEditOf(Info, Chosen);
  if (!edit) return;
  control->beginUndoAction();
  control->setSelection(Line, edit->From, Line, edit->To);
  control->replaceSelectedText(Chosen);
  control->endUndoAction();
}

}  // namespace

TIdentifierCompletionForm::TIdentifierCompletionForm(QWidget* Owner)
    : QWidget(Owner, Qt::Popup | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("IdentifierCompletionForm"));
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);

  lbCompletions = new QListWidget(this);
  lbCompletions->setObjectName(QStringLiteral("lbCompletions"));
  lbCompletions->setFrameShape(QFrame::NoFrame);
  lbCompletions->setUniformItemSizes(true);
  lbCompletions->setItemDelegate(new TCompletionDelegate(lbCompletions));
  lbCompletions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont bold = lbCompletions->font();
  bold.setBold(true);
  lbCompletions->setFont(bold);
  lbCompletions->installEventFilter(this);
  installEventFilter(this);
  setFocusProxy(lbCompletions);

  // The selection, not the current row: the list makes its first row
  // current when it gets the focus, which is no choice of the user's.
  connect(lbCompletions, &QListWidget::itemSelectionChanged, this, [this] {
    const int row = SelectedRow();
    if (selecting_ || row < 0) return;
    FilterText = CompletionItemName(lbCompletions->item(row)->text());
  });
  connect(lbCompletions, &QListWidget::itemDoubleClicked, this, [this] { Accept(); });
  resize(kWidth, kItemHeight * kVisibleItems + 2);
}

TIdentifierCompletionForm::~TIdentifierCompletionForm() = default;

QPoint TIdentifierCompletionForm::Placement(const QRect& Available, const QSize& Size, int X,
                                            int Top, int Bottom) {
  const int left = X + Size.width() > Available.x() + Available.width() ? X - Size.width() : X;
  const int top =
      Bottom + Size.height() > Available.y() + Available.height() ? Top - Size.height() : Bottom;
  return {left, top};
}

void TIdentifierCompletionForm::ShowAt(int X, int Top, int Bottom) {
  const int listHeight = kItemHeight * kVisibleItems;
  lbCompletions->setGeometry(1, 1, kWidth - 2, listHeight);
  resize(kWidth, listHeight + 2);
  selecting_ = true;
  lbCompletions->clear();
  lbCompletions->addItems(Items);
  selecting_ = false;
  SelectMatching();

  QScreen* screen = QGuiApplication::screenAt(QPoint(X, Top));
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
  move(Placement(available, size(), X, Top, Bottom));
  show();
  raise();
  activateWindow();
  lbCompletions->setFocus(Qt::PopupFocusReason);
}

void TIdentifierCompletionForm::HideList() { hide(); }

int TIdentifierCompletionForm::SelectedRow() const {
  const QList<QListWidgetItem*> selected = lbCompletions->selectedItems();
  return selected.isEmpty() ? -1 : lbCompletions->row(selected.first());
}

void TIdentifierCompletionForm::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  selecting_ = true;
  lbCompletions->clear();
  selecting_ = false;
}

void TIdentifierCompletionForm::Accept() {
  HideList();
  if (OnAccept) OnAccept();
}

void TIdentifierCompletionForm::SelectMatching() {
  selecting_ = true;
  lbCompletions->setCurrentRow(-1);
  lbCompletions->clearSelection();
  const int n = int(FilterText.size());
  if (n > 0) {
    for (int row = 0; row < lbCompletions->count(); ++row) {
      const QString head = lbCompletions->item(row)->text().left(n);
      const int order = QString::compare(head, FilterText, Qt::CaseSensitive);
      if (order == 0) {
        lbCompletions->setCurrentRow(row);
        lbCompletions->scrollToItem(lbCompletions->item(row));
        break;
      }
      if (order > 0) break;  // the items are sorted: no later one matches
    }
  }
  selecting_ = false;
}

bool TIdentifierCompletionForm::HandleKey(QKeyEvent* Event) {
  const Qt::KeyboardModifiers mods = Event->modifiers() & ~Qt::KeypadModifier;
  switch (Event->key()) {
    case Qt::Key_Escape: HideList(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: Accept(); return true;
    case Qt::Key_Backspace:
      if (mods == Qt::NoModifier) {
        if (!FilterText.isEmpty()) {
          FilterText.chop(1);
          SelectMatching();
        }
      }
      return true;
    default: break;
  }
  const QString text = Event->text();
  if (IsFilterChar(text) && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    if (FilterText.size() < kMaxCompletionFilter) FilterText += text;
    SelectMatching();
    return true;
  }
  // Every other typed character is swallowed; keys without text (arrows,
  // pages) move in the list.
  return !text.isEmpty() && text[0].isPrint();
}

bool TIdentifierCompletionForm::eventFilter(QObject* Watched, QEvent* Event) {
  if ((Watched == lbCompletions || Watched == this) && Event->type() == QEvent::KeyPress)
    return HandleKey(static_cast<QKeyEvent*>(Event));
  if (Watched == lbCompletions && Event->type() == QEvent::FocusOut && isVisible() &&
      static_cast<QFocusEvent*>(Event)->reason() != Qt::PopupFocusReason)
    HideList();
  return QWidget::eventFilter(Watched, Event);
}

void ShowIdentifierCompletion(TSourceEditor& Editor) {
  TVexaEditControl* control = Editor.Control();
  if (!control) return;
  const TIdentifierAtCaretInfo info = Editor.IdentifierAtCaret();
  if (info.Text.isEmpty() || control->isReadOnly()) return;
  Ref<IVexaModule> module = Editor.GetModule();
  Ref<IVexaProject> project = module ? module->GetProject() : nullptr;
  if (!project) return;
  const std::optional<TCompletionRequest> request = CompletionRequestOf(info);
  if (!request) return;

  if (!IdentifierCompletionForm) {
    QWidget* owner = VexaIDE ? VexaIDE->GetMainForm() : nullptr;
    IdentifierCompletionForm = new TIdentifierCompletionForm(owner ? owner : control->window());
  }
  int line = 0, index = 0;
  control->getCursorPosition(&line, &index);
  std::optional<QStringList> items =
      project->GetIdentCompletions(module, line + 1, request->Qualifier);
  TIdentifierCompletionForm* form = IdentifierCompletionForm;
  if (!items || !form) return;
  form->Items = *items;

  // The caret's line top and column on the screen.
  const long pos = control->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  const int x = int(control->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0L, pos));
  const int y = int(control->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0L, pos));
  const int height = int(control->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, line));
  const QPoint at = control->viewport()->mapToGlobal(QPoint(x, y));

  form->FilterText = request->Filter;
  std::weak_ptr<TSourceEditor> editor = Editor.shared_from_this();
  form->OnAccept = [editor, info, line] {
    std::shared_ptr<TSourceEditor> target = editor.lock();
    if (target && IdentifierCompletionForm)
      InsertCompletion(*target, info, line, IdentifierCompletionForm->FilterText);
  };
  form->ShowAt(at.x(), at.y(), at.y() + height - 1);
}

void InstallIdentifierCompletion() {
  SourceEditorHooks().Completion = [](TSourceEditor& Editor) { ShowIdentifierCompletion(Editor); };
}

}  // namespace vexa::ide
