#pragma once

// How the message view paints one message.

#include "model/core/VexaIntfs.h"

#include <QPixmap>
#include <QStyledItemDelegate>

namespace vexa::ide {

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

}  // namespace vexa::ide
