#include "widgets/editor/ConfirmReplaceDialog.h"

#include "model/text/SearchEngine.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vexa::ide {

namespace {

// Found texts up to this length keep the question on one line.
constexpr int kOneLineFound = 30;

}  // namespace

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ConfirmReplaceDialog"));
  setWindowTitle(QString::fromUtf8("Ersetzen bestätigen"));

  auto* icon = new QLabel(this);
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(iconSize, iconSize));
  lblConfirmation = new QLabel(this);
  lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
  lblConfirmation->setWordWrap(true);
  lblConfirmation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // "n" stands for a letter of average width; two lines take a wrapped text.
  const QFontMetrics metrics(lblConfirmation->font());
  const QString widest = ConfirmReplaceText(QString(kOneLineFound, QLatin1Char('n')));
  lblConfirmation->setFixedSize(metrics.horizontalAdvance(widest) + metrics.averageCharWidth(),
                                qMax(2 * metrics.lineSpacing(), iconSize));

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
  setFixedSize(sizeHint());
}

void TConfirmReplaceDialog::Prepare(const QRect& Area, int MatchX, int LineTop, int LineBottom,
                                    const QString& Found) {
  lblConfirmation->setText(ConfirmReplaceText(Found));
  area_ = Area;
  matchX_ = MatchX;
  lineTop_ = LineTop;
  lineBottom_ = LineBottom;
  Place();
}

void TConfirmReplaceDialog::Place() {
  placedFrame_ = frameGeometry().size();
  move(ConfirmDialogPosition(area_, matchX_, lineTop_, lineBottom_, placedFrame_));
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
