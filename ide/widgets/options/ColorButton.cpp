#include "widgets/options/ColorButton.h"

#include "widgets/shared/PaletteColors.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace vexa::ide {

namespace {

// The button's palette, row by row (colour references).
constexpr quint32 kPalette[TColorButton::kPaletteRows * TColorButton::kPaletteColumns] = {
    16777215, 255,   65280,    16711680, 12572607, 0,       127,   32512,   8323072, 15712159,
    12566463, 65535, 16776960, 16711935, 15726591, 8355711, 32639, 8355584, 8323199, 10461087,
};

constexpr TVexaColor kWhite(16777215);

QColor ToQColor(TVexaColor Color, const QPalette& Palette) {
  return ResolveColor(Color, Palette, Palette.color(QPalette::Base));
}

QToolButton* Swatch(QWidget* Parent, TVexaColor Color) {
  auto* swatch = new QToolButton(Parent);
  swatch->setAutoRaise(true);
  swatch->setFixedSize(18, 18);
  QPixmap pixmap(12, 12);
  pixmap.fill(ToQColor(Color, Parent->palette()));
  {
    QPainter p(&pixmap);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 11, 11);
  }
  swatch->setIcon(QIcon(pixmap));
  swatch->setToolTip(QStringLiteral("%1").arg(Color.Value()));
  return swatch;
}

}  // namespace

TColorButton::TColorButton(QWidget* Parent) : QToolButton(Parent) {
  for (quint32 value : kPalette) palette_.push_back(TVexaColor(value));
  custom_.assign(kCustomColumns * kCustomRows, kWhite);
  setPopupMode(QToolButton::InstantPopup);
  setMinimumSize(48, 22);
  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("SwatchMenu"));
  setMenu(menu_);
  // The swatches are made each time the menu opens, so that the custom row
  // shows the colours chosen so far.
  connect(menu_, &QMenu::aboutToShow, this, [this] {
    menu_->clear();
    auto* panel = new QWidget(menu_);
    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    const auto add = [&](TVexaColor c, int row, int column) {
      QToolButton* swatch = Swatch(panel, c);
      connect(swatch, &QToolButton::clicked, this, [this, c] {
        menu_->close();
        ChooseColor(c);
      });
      grid->addWidget(swatch, row, column);
    };
    for (int i = 0; i < int(palette_.size()); ++i)
      add(palette_[std::size_t(i)], i / kPaletteColumns, i % kPaletteColumns);
    auto* customs = new QGridLayout;
    customs->setSpacing(1);
    for (int i = 0; i < int(custom_.size()); ++i) {
      QToolButton* swatch = Swatch(panel, custom_[std::size_t(i)]);
      const TVexaColor c = custom_[std::size_t(i)];
      connect(swatch, &QToolButton::clicked, this, [this, c] {
        menu_->close();
        ChooseColor(c);
      });
      customs->addWidget(swatch, i / kCustomColumns, i % kCustomColumns);
    }
    auto* other = new QPushButton(QStringLiteral("&Andere..."), panel);
    other->setObjectName(QStringLiteral("btnOther"));
    connect(other, &QPushButton::clicked, this, [this] {
      menu_->close();
      ChooseOther();
    });
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(grid);
    layout->addLayout(customs);
    layout->addWidget(other);
    auto* action = new QWidgetAction(menu_);
    action->setDefaultWidget(panel);
    menu_->addAction(action);
  });
}

void TColorButton::SetColor(TVexaColor Color) {
  if (color_ == Color) return;
  color_ = Color;
  update();
}

void TColorButton::ChooseColor(TVexaColor Color) {
  SetColor(Color);
  emit ColorChosen(Color);
}

void TColorButton::ChooseOther() {
  const QColor chosen =
      QColorDialog::getColor(ToQColor(color_, palette()), this, QStringLiteral("Farbe"));
  if (!chosen.isValid()) return;
  const TVexaColor c = TVexaColor::FromRgb(chosen.red(), chosen.green(), chosen.blue());
  // The newest colour of the dialog heads the custom swatches.
  custom_.insert(custom_.begin(), c);
  custom_.pop_back();
  ChooseColor(c);
}

void TColorButton::paintEvent(QPaintEvent* Event) {
  QToolButton::paintEvent(Event);
  QPainter p(this);
  const QRect swatch = rect().adjusted(5, 5, -16, -5);
  if (!swatch.isValid()) return;
  QColor fill = ToQColor(color_, palette());
  if (!isEnabled()) fill = palette().color(QPalette::Disabled, QPalette::Button);
  p.fillRect(swatch, fill);
  p.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

}  // namespace vexa::ide
