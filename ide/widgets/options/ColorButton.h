#pragma once

// Two small colour pickers of the option pages: a button that shows its
// colour and drops down a swatch menu (a palette, custom colours and
// "&Andere..." for any colour), and a grid of the 16 basic colours in which
// the left button marks the text colour and the right button the background.

#include "model/core/VexaColor.h"

#include <QToolButton>
#include <QWidget>

#include <array>
#include <vector>

class QMenu;

namespace vexa::ide {

class TColorButton : public QToolButton {
  Q_OBJECT

 public:
  static constexpr int kPaletteColumns = 5;
  static constexpr int kPaletteRows = 4;
  static constexpr int kCustomColumns = 8;
  static constexpr int kCustomRows = 2;

  explicit TColorButton(QWidget* Parent = nullptr);

  TVexaColor Color() const { return color_; }
  // Shows Color; emits nothing.
  void SetColor(TVexaColor Color);

  // The swatches of the menu: the palette row by row, then the custom ones.
  const std::vector<TVexaColor>& PaletteColors() const { return palette_; }
  const std::vector<TVexaColor>& CustomColors() const { return custom_; }

  // What a click on a swatch does: takes the colour and emits ColorChosen.
  void ChooseColor(TVexaColor Color);

  QMenu* SwatchMenu() const { return menu_; }

 signals:
  // The user chose a colour from the menu or the colour dialog.
  void ColorChosen(TVexaColor Color);

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  void ChooseOther();

  TVexaColor color_{0};
  std::vector<TVexaColor> palette_;
  std::vector<TVexaColor> custom_;
  QMenu* menu_ = nullptr;
};

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
