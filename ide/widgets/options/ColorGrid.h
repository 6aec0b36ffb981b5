#pragma once

// A colour picker of the option pages: a grid of the 16 basic colours in
// which the left button marks the text colour and the right button the
// background.

#include "model/settings/VexaColor.h"

#include <QWidget>

#include <array>

namespace vexa::ide {

class TColorGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColorCount = 16;
  static constexpr int kColumns = 4;

  explicit TColorGrid(QWidget* Parent = nullptr);

  // The grid's colours, in reading order.
  static const std::array<TVexaColor, kColorCount>& GridColors();
  // The index of Color in the grid, -1 when it is not one of them.
  static int IndexOf(TVexaColor Color);

  // The marked cells, -1 for none; setting them emits nothing.
  int ForegroundIndex() const { return foreground_; }
  int BackgroundIndex() const { return background_; }
  void SetForegroundIndex(int Index);
  void SetBackgroundIndex(int Index);
  TVexaColor ForegroundColor() const;  // NoColor when none is marked
  TVexaColor BackgroundColor() const;

  // The cell under a point of the widget, -1 outside the cells.
  int CellAt(const QPoint& Pos) const;
  QRect CellRect(int Index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A click marked a cell: the text colour (Foreground true) or the background.
  void ColorMarked(bool Foreground);

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;

 private:
  int foreground_ = -1;
  int background_ = -1;
};

}  // namespace vexa::ide
