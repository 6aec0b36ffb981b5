#include "widgets/editor/PrintSourceDialog.h"

#include "model/core/Helpers.h"
#include "model/settings/Options.h"
#include "widgets/editor/SourcePrinter.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::ide {

namespace {

QLineEdit* MarginEdit(QWidget* Parent, const char* Name, int Value) {
  auto* edit = new QLineEdit(QString::asprintf("%d", Value), Parent);
  edit->setObjectName(QString::fromLatin1(Name));
  return edit;
}

QCheckBox* CheckBox(QWidget* Parent, const char* Name, const char* Caption, bool Value) {
  auto* box = new QCheckBox(QString::fromUtf8(Caption), Parent);
  box->setObjectName(QString::fromLatin1(Name));
  box->setChecked(Value);
  return box;
}

}  // namespace

TPrintSourceDialog::TPrintSourceDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("PrintSourceDialog"));
  setWindowTitle(QStringLiteral("Quelltext drucken"));

  auto* margins = new QGroupBox(QString::fromUtf8("Ränder (in mm)"), this);
  eLeftMargin = MarginEdit(margins, "eLeftMargin", options::LeftMargin);
  eRightMargin = MarginEdit(margins, "eRightMargin", options::RightMargin);
  eTopMargin = MarginEdit(margins, "eTopMargin", options::TopMargin);
  eBottomMargin = MarginEdit(margins, "eBottomMargin", options::BottomMargin);
  auto* marginLayout = new QFormLayout(margins);
  marginLayout->addRow(QStringLiteral("&Links:"), eLeftMargin);
  marginLayout->addRow(QStringLiteral("&Rechts:"), eRightMargin);
  marginLayout->addRow(QStringLiteral("&Oben:"), eTopMargin);
  marginLayout->addRow(QStringLiteral("&Unten:"), eBottomMargin);

  cbHeader = CheckBox(this, "cbHeader", "Überschrift/&Seitennummern", options::Header);
  cbLineNumbers = CheckBox(this, "cbLineNumbers", "Zeilen&nummern", options::LineNumbers);
  cbSyntaxHighlighting =
      CheckBox(this, "cbSyntaxHighlighting", "&Syntaxhervorhebung", options::SyntaxHighlighted);
  cbUseColors = CheckBox(this, "cbUseColors", "&Farben verwenden", options::UseColors);
  cbWrapLongLines = CheckBox(this, "cbWrapLongLines", "&Zeilen umbrechen", options::WrapLongLines);
  auto* checks = new QVBoxLayout;
  for (QCheckBox* box :
       {cbHeader, cbLineNumbers, cbSyntaxHighlighting, cbUseColors, cbWrapLongLines})
    checks->addWidget(box);
  checks->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(margins);
  top->addLayout(checks);

  // A plain row: a button box would sort them by their roles.
  btnPrinterSetup = new QPushButton(QStringLiteral("&Einstellungen..."), this);
  btnPrinterSetup->setObjectName(QStringLiteral("btnPrinterSetup"));
  btnPrinterSetup->setEnabled(false);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {btnPrinterSetup, ok, cancel}) buttons->addWidget(button);
  connect(btnPrinterSetup, &QPushButton::clicked, this, [this] {
    if (!printer_) return;
    // The printer is chosen here (or a PDF file), with its page set-up.
    QPrintDialog setup(printer_, this);
    setup.setOption(QAbstractPrintDialog::PrintToFile);
    if (RunPrintDialog(setup) == QDialog::Accepted) printerSetUp_ = true;
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPrintSourceDialog::SetPrinter(QPrinter* Printer) {
  printer_ = Printer;
  btnPrinterSetup->setEnabled(Printer != nullptr);
}

void TPrintSourceDialog::accept() {
  QLineEdit* edits[] = {eLeftMargin, eRightMargin, eTopMargin, eBottomMargin};
  int values[4] = {};
  bool failed = false;
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    values[i] = edits[i]->text().trimmed().toInt(&ok);
    // The message names the range: hold margins to it.
    if (!ok || values[i] < 0 || values[i] > 100) {
      edits[i]->setFocus();
      failed = true;
    }
  }
  if (failed) {
    ShowError(QStringLiteral("Geben Sie einen ganzzahligen Wert im Bereich von 0..100 ein!"));
    return;
  }
  options::LeftMargin = values[0];
  options::RightMargin = values[1];
  options::TopMargin = values[2];
  options::BottomMargin = values[3];
  options::Header = cbHeader->isChecked();
  options::LineNumbers = cbLineNumbers->isChecked();
  options::SyntaxHighlighted = cbSyntaxHighlighting->isChecked();
  options::UseColors = cbUseColors->isChecked();
  options::WrapLongLines = cbWrapLongLines->isChecked();
  QDialog::accept();
}

}  // namespace vexa::ide
