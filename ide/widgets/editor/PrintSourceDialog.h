#pragma once

// Asks the print options of a source text: margins in millimetres, header,
// line numbers, highlighting, colours and wrapping (the options:: print
// variables, stored on OK).

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace vexa::ide {

class TPrintSourceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPrintSourceDialog(QWidget* Parent = nullptr);

  // The printer "&Einstellungen..." chooses and sets up in the print dialog;
  // none disables the button.
  void SetPrinter(QPrinter* Printer);
  // Whether the printer was set up through the button.
  bool PrinterSetUp() const { return printerSetUp_; }

  // Every margin must be an integer of 0..100; else the error box names
  // the range, the faulty edit gets the focus and the dialog stays open.
  void accept() override;

  QLineEdit* eLeftMargin = nullptr;
  QLineEdit* eRightMargin = nullptr;
  QLineEdit* eTopMargin = nullptr;
  QLineEdit* eBottomMargin = nullptr;
  QCheckBox* cbHeader = nullptr;
  QCheckBox* cbLineNumbers = nullptr;
  QCheckBox* cbSyntaxHighlighting = nullptr;
  QCheckBox* cbUseColors = nullptr;
  QCheckBox* cbWrapLongLines = nullptr;
  QPushButton* btnPrinterSetup = nullptr;

 private:
  QPrinter* printer_ = nullptr;
  bool printerSetUp_ = false;
};

}  // namespace vexa::ide
