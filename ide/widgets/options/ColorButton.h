#pragma once

// A colour picker of the option pages: a button that shows its colour and
// drops down a swatch menu (a palette, custom colours and "&Andere..." for
// any colour).

#include "model/settings/VexaColor.h"

#include <QToolButton>

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

}  // namespace vexa::ide
