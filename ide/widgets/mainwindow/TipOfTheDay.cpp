#include "widgets/mainwindow/TipOfTheDay.h"

#include "model/core/Helpers.h"
#include "widgets/mainwindow/SplashResources.h"
#include "widgets/shared/PaletteColors.h"

#include <QImage>
#include <QPainter>

namespace vexa::ide {
namespace {

constexpr int kHeadingLeft = 8;
constexpr int kHeadingTop = 18;
constexpr int kLineY = 50;
constexpr int kTipTop = 58;
constexpr int kTipMargin = 12;

// Loaded on the first paint, shared by every tip control.
const QImage& TipBitmap() {
  static const QImage bitmap = [] {
    InitSplashResources();
    return QImage(QStringLiteral(":/vexaide/tipbitmap.png"));
  }();
  return bitmap;
}

QColor SystemColor(const QPalette& Palette, int Index) {
  return ResolveColor(TVexaColor::System(Index), Palette);
}

enum : int {
  kWindowText = 8,
  kAppWorkspace = 12,
  kButtonShadow = 16,
  kButtonHighlight = 20,
  kInfoBackground = 24,
};

}  // namespace

TTipOfTheDay::TTipOfTheDay(QWidget* Parent) : QWidget(Parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(8, 8, 360, 200);
}

void TTipOfTheDay::SetColorBarWidth(int Value) {
  Value = EnsureRange(Value, 0, kMaxColorBarWidth);
  if (Value == colorBarWidth_) return;
  colorBarWidth_ = Value;
  update();
}

void TTipOfTheDay::SetTip(const QString& Value) {
  if (Value == tip_) return;
  tip_ = Value;
  if (isVisible()) update(TipRect());
}

QRect TTipOfTheDay::TipRect() const {
  return QRect(QPoint(colorBarWidth_ + kHeadingLeft, kTipTop),
               QPoint(width() - kTipMargin - 1, height() - kTipMargin - 1));
}

void TTipOfTheDay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  const int w = width();
  const int h = height();
  const QColor workspace = SystemColor(pal, kAppWorkspace);

  // The 3D frame, then the bar and the info area inside it.
  painter.setPen(SystemColor(pal, kButtonShadow));
  painter.drawLine(0, 0, w - 1, 0);
  painter.drawLine(0, 0, 0, h - 1);
  painter.setPen(SystemColor(pal, kButtonHighlight));
  painter.drawLine(0, h - 1, w - 1, h - 1);
  painter.drawLine(w - 1, 0, w - 1, h - 1);
  const QRect inner(1, 1, w - 2, h - 2);
  const QRect bar = inner.intersected(QRect(0, 0, colorBarWidth_, h));
  const QRect info = inner.intersected(QRect(colorBarWidth_, 0, w, h));
  painter.fillRect(info, SystemColor(pal, kInfoBackground));
  painter.fillRect(bar, workspace);

  painter.setPen(workspace);
  painter.drawLine(colorBarWidth_, kLineY, w - 2, kLineY);

  const QImage& bitmap = TipBitmap();
  const int offset = (colorBarWidth_ - bitmap.width()) / 2;
  painter.drawImage(offset, offset, bitmap);

  QFont heading(QStringLiteral("Times New Roman"), 14, QFont::Bold);
  painter.setFont(heading);
  painter.setPen(SystemColor(pal, kWindowText));
  painter.drawText(QRect(colorBarWidth_ + kHeadingLeft, kHeadingTop, w, h),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   QStringLiteral("Wussten Sie schon..."));

  painter.setFont(font());
  painter.drawText(TipRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, tip_);
}

}  // namespace vexa::ide
