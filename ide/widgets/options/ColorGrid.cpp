#include "widgets/options/ColorGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexa::ide {

const std::array<TVexaColor, TColorGrid::kColorCount>& TColorGrid::GridColors() {
  static const std::array<TVexaColor, kColorCount> colors = {
      TVexaColor::FromRgb(0, 0, 0),       TVexaColor::FromRgb(128, 0, 0),
      TVexaColor::FromRgb(0, 128, 0),     TVexaColor::FromRgb(128, 128, 0),
      TVexaColor::FromRgb(0, 0, 128),     TVexaColor::FromRgb(128, 0, 128),
      TVexaColor::FromRgb(0, 128, 128),   TVexaColor::FromRgb(192, 192, 192),
      TVexaColor::FromRgb(128, 128, 128), TVexaColor::FromRgb(255, 0, 0),
      TVexaColor::FromRgb(0, 255, 0),     TVexaColor::FromRgb(255, 255, 0),
      TVexaColor::FromRgb(0, 0, 255),     TVexaColor::FromRgb(255, 0, 255),
      TVexaColor::FromRgb(0, 255, 255),   TVexaColor::FromRgb(255, 255, 255),
  };
  return colors;
}

int TColorGrid::IndexOf(TVexaColor Color) {
  const auto& colors = GridColors();
  for (int i = 0; i < kColorCount; ++i)
    if (colors[std::size_t(i)] == Color) return i;
  return -1;
}

TColorGrid::TColorGrid(QWidget* Parent) : QWidget(Parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorGrid::SetForegroundIndex(int Index) {
  Index = Index >= 0 && Index < kColorCount ? Index : -1;
  if (foreground_ == Index) return;
  foreground_ = Index;
  update();
}

void TColorGrid::SetBackgroundIndex(int Index) {
  Index = Index >= 0 && Index < kColorCount ? Index : -1;
  if (background_ == Index) return;
  background_ = Index;
  update();
}

TVexaColor TColorGrid::ForegroundColor() const {
  return foreground_ < 0 ? TVexaColor() : GridColors()[std::size_t(foreground_)];
}

TVexaColor TColorGrid::BackgroundColor() const {
  return background_ < 0 ? TVexaColor() : GridColors()[std::size_t(background_)];
}

QSize TColorGrid::sizeHint() const { return {kColumns * 26 + 1, kColorCount / kColumns * 26 + 1}; }

QSize TColorGrid::minimumSizeHint() const { return sizeHint(); }

QRect TColorGrid::CellRect(int Index) const {
  const int rows = kColorCount / kColumns;
  const int w = (width() - 1) / kColumns;
  const int h = (height() - 1) / rows;
  return {Index % kColumns * w, Index / kColumns * h, w, h};
}

int TColorGrid::CellAt(const QPoint& Pos) const {
  for (int i = 0; i < kColorCount; ++i)
    if (CellRect(i).contains(Pos)) return i;
  return -1;
}

void TColorGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool enabled = isEnabled();
  for (int i = 0; i < kColorCount; ++i) {
    const QRect cell = CellRect(i);
    const TVexaColor c = GridColors()[std::size_t(i)];
    QColor fill(c.Red(), c.Green(), c.Blue());
    if (!enabled)
      fill = QColor::fromHsv(fill.hsvHue(), fill.hsvSaturation() / 4, 160 + fill.value() / 4);
    p.fillRect(cell.adjusted(1, 1, -1, -1), fill);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(cell.adjusted(0, 0, 0, 0));
    if (!enabled) continue;
    // The marks: FG in the upper left, BG in the lower right corner, in a
    // colour that stands out from the cell.
    const QColor ink = qGray(fill.rgb()) < 128 ? Qt::white : Qt::black;
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    const QRect inner = cell.adjusted(2, 1, -2, -1);
    if (i == foreground_) p.drawText(inner, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("FG"));
    if (i == background_) p.drawText(inner, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("BG"));
  }
}

void TColorGrid::mousePressEvent(QMouseEvent* Event) {
  const int cell = CellAt(Event->position().toPoint());
  if (cell < 0) return;
  if (Event->button() == Qt::LeftButton) {
    SetForegroundIndex(cell);
    emit ColorMarked(true);
  } else if (Event->button() == Qt::RightButton) {
    SetBackgroundIndex(cell);
    emit ColorMarked(false);
  }
}

}  // namespace vexa::ide
