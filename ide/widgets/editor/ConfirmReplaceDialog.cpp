#include "widgets/editor/ConfirmReplaceDialog.h"

#include "model/text/SearchEngine.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace vexa::ide {

namespace {

// Found texts up to this length keep the question on one line.
constexpr int kOneLineFound = 30;
constexpr QChar kBreak(0x200B);  // zero width space: a line may break here
constexpr QChar kEllipsis(0x2026);

// Found with its middle replaced by an ellipsis, Count characters kept.
QString Shortened(const QString& Found, int Count) {
  qsizetype head = Count - Count / 2, tail = Count / 2;
  // Never half a surrogate pair.
  if (head > 0 && Found[head - 1].isHighSurrogate()) --head;
  if (tail > 0 && Found[Found.size() - tail].isLowSurrogate()) --tail;
  return Found.left(head) + kEllipsis + Found.right(tail);
}

// Found with a break point between the characters of each word wider than
// Width: a label breaks lines only between words.
QString Breakable(const QString& Found, const QFontMetrics& Metrics, int Width) {
  QString result;
  qsizetype i = 0;
  while (i < Found.size()) {
    qsizetype end = i;
    while (end < Found.size() && !Found[end].isSpace()) ++end;
    const QString word = Found.mid(i, end - i);
    // With the quotes that may stand beside it.
    if (Metrics.horizontalAdvance(word + QStringLiteral("\"\"")) > Width) {
      for (qsizetype k = 0; k < word.size(); ++k) {
        if (k > 0 && !word[k].isLowSurrogate()) result += kBreak;
        result += word[k];
      }
    } else {
      result += word;
    }
    for (i = end; i < Found.size() && Found[i].isSpace(); ++i) result += Found[i];
  }
  return result;
}

}  // namespace

TConfirmReplaceDialog::TConfirmReplaceDialog(const QString& Found, QWidget* Parent)
    : QDialog(Parent) {
  setObjectName(QStringLiteral("ConfirmReplaceDialog"));
  setWindowTitle(QString::fromUtf8("Ersetzen bestätigen"));

  auto* icon = new QLabel(this);
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(iconSize, iconSize));
  lblConfirmation = new QLabel(this);
  lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
  lblConfirmation->setTextFormat(Qt::PlainText);
  lblConfirmation->setWordWrap(true);
  lblConfirmation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // "n" stands for a letter of average width; two lines at least.
  const QFontMetrics metrics(lblConfirmation->font());
  const QString widest = ConfirmReplaceText(QString(kOneLineFound, QLatin1Char('n')));
  const int labelWidth = metrics.horizontalAdvance(widest) + metrics.averageCharWidth();
  const int minHeight = qMax(2 * metrics.lineSpacing(), iconSize);
  lblConfirmation->setFixedSize(labelWidth, minHeight);

  // A plain row: a button box would sort them by their roles.
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  const struct {
    const char* caption;
    int result;
  } answers[] = {{"&Ja", Yes}, {"&Nein", No}, {"Abbrechen", Cancel}, {"A&lle", All}};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QPushButton(QString::fromUtf8(answers[i].caption), this);
    const int result = answers[i].result;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    if (result == Yes) button->setDefault(true);
    row->addWidget(button);
    buttons_[i] = button;
  }

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(lblConfirmation, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(row);

  // The height the question needs; the found text may differ in case.
  const auto needed = [&](const QString& Text) {
    int height = 0;
    for (const QString& variant : {Text, Text.toUpper(), Text.toLower()}) {
      const QString question = ConfirmReplaceText(Breakable(variant, metrics, labelWidth));
      height = qMax(
          height,
          metrics.boundingRect(QRect(0, 0, labelWidth, QWIDGETSIZE_MAX), Qt::TextWordWrap, question)
              .height());
    }
    return height;
  };
  // The rest of the dialog and a title bar take the screen's height first.
  const int available = screen()->availableGeometry().height() -
                        (layout->sizeHint().height() - minHeight) -
                        style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  int labelHeight = needed(Found);
  if (labelHeight > available) {
    // The most characters whose question still fits.
    int fits = 0, tooMany = int(Found.size());
    while (tooMany - fits > 1) {
      const int count = (fits + tooMany) / 2;
      if (needed(Shortened(Found, count)) <= available)
        fits = count;
      else
        tooMany = count;
    }
    shownFound_ = fits;
    labelHeight = needed(Shortened(Found, fits));
  }
  lblConfirmation->setFixedSize(labelWidth, qMax(minHeight, labelHeight));
  setFixedSize(sizeHint());
}

void TConfirmReplaceDialog::Prepare(const QRect& Area, int MatchX, int LineTop, int LineBottom,
                                    const QString& Found) {
  lblConfirmation->setText(Question(Found));
  area_ = Area;
  matchX_ = MatchX;
  lineTop_ = LineTop;
  lineBottom_ = LineBottom;
  Place();
}

QString TConfirmReplaceDialog::Question(const QString& Found) const {
  const QString shown =
      shownFound_ >= 0 && Found.size() > shownFound_ ? Shortened(Found, shownFound_) : Found;
  return ConfirmReplaceText(
      Breakable(shown, lblConfirmation->fontMetrics(), lblConfirmation->width()));
}

void TConfirmReplaceDialog::Place() {
  placedFrame_ = frameGeometry().size();
  QPoint at = ConfirmDialogPosition(area_, matchX_, lineTop_, lineBottom_, placedFrame_);
  // Kept on the screen, buttons and all.
  const QScreen* on = QGuiApplication::screenAt(area_.center());
  const QRect bounds = (on ? on : screen())->availableGeometry();
  at.setX(qMax(bounds.left(), qMin(at.x(), bounds.right() + 1 - placedFrame_.width())));
  at.setY(qMax(bounds.top(), qMin(at.y(), bounds.bottom() + 1 - placedFrame_.height())));
  move(at);
}

bool TConfirmReplaceDialog::event(QEvent* Event) {
  const bool handled = QDialog::event(Event);
  switch (Event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
      // Before the first showing the window manager's frame is unknown.
      if (isVisible() && area_.isValid() && frameGeometry().size() != placedFrame_) Place();
      break;
    default: break;
  }
  return handled;
}

void TConfirmReplaceDialog::keyPressEvent(QKeyEvent* Event) {
  if (!(Event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
    for (QPushButton* button : buttons_) {
      const QKeySequence mnemonic = button->shortcut();
      if (!mnemonic.isEmpty() && mnemonic[0].key() == Event->key()) {
        button->animateClick();
        return;
      }
    }
  }
  QDialog::keyPressEvent(Event);
}

}  // namespace vexa::ide
