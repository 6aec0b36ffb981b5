#include "widgets/views/MessageDelegate.h"

#include <QPainter>

namespace vexa::ide {

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
    else if (message->GetKind() == TMessageKind::Error)
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

}  // namespace vexa::ide
