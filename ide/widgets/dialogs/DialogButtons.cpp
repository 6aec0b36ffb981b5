#include "widgets/dialogs/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace vexa::ide {

void AddOkCancel(QDialogButtonBox* Box, QDialog* Dialog) {
  QPushButton* ok = Box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  Box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  QObject::connect(Box, &QDialogButtonBox::accepted, Dialog, &QDialog::accept);
  QObject::connect(Box, &QDialogButtonBox::rejected, Dialog, &QDialog::reject);
}

}  // namespace vexa::ide
