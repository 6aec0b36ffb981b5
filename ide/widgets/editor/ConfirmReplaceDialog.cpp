#include "widgets/editor/ConfirmReplaceDialog.h"

#include "model/text/SearchEngine.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vexa::ide {

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ConfirmReplaceDialog"));
  setWindowTitle(QString::fromUtf8("Ersetzen bestätigen"));

  auto* icon = new QLabel(this);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
  lblConfirmation = new QLabel(this);
  lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
  lblConfirmation->setWordWrap(true);
  lblConfirmation->setMinimumWidth(280);

  auto* buttons = new QDialogButtonBox(this);
  const struct {
    const char* caption;
    int result;
  } answers[] = {{"&Ja", Yes}, {"&Nein", No}, {"Abbrechen", Cancel}, {"A&lle", All}};
  for (const auto& a : answers) {
    QPushButton* button = buttons->addButton(
        QString::fromUtf8(a.caption),
        a.result == Cancel ? QDialogButtonBox::RejectRole : QDialogButtonBox::ActionRole);
    const int result = a.result;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    if (result == Yes) button->setDefault(true);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(lblConfirmation, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  // The size is fixed once; the placement rule works with it.
  lblConfirmation->setText(ConfirmReplaceText(QString()));
  adjustSize();
}

void TConfirmReplaceDialog::Prepare(const QRect& Area, int MatchX, int LineTop, int LineBottom,
                                    const QString& Found) {
  lblConfirmation->setText(ConfirmReplaceText(Found));
  move(ConfirmDialogPosition(Area, MatchX, LineTop, LineBottom, frameGeometry().size()));
}

}  // namespace vexa::ide
