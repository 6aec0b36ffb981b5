#include "widgets/options/ColorControls.h"

#include "widgets/editor/PaletteColors.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QMouseEvent>
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
