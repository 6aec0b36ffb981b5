#pragma once

// The IDE's settings dialog: pages in tabs, each loaded from the in-memory
// options when the dialog is built and written back only when the dialog
// closes with OK. Three builders make the V2, the BASIC and the environment
// variant; ExecuteOptionsDialog runs one for the main window's menu.

#include "widgets/options/CustomDialogPage.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTabWidget;

namespace vexa::ide {

class THighlighterAttributes;

class TMultipageOptionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TMultipageOptionDialog(QWidget* Owner = nullptr);

  // A tab with Caption; Page (may be null) fills it and becomes the dialog's.
  void AddPage(TCustomDialogPage* Page, const QString& Caption);

  // Closing asks every page's MayClose in order (the first false keeps the
  // dialog open); with OK every page's Apply runs in order.
  void done(int Result) override;

  QTabWidget* pctrlOptionPages = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QList<TCustomDialogPage*> Pages;
  // Page control size minus a sheet's size, measured on the first sheet.
  int MarginX = 0;
  int MarginY = 0;
  int MaxPageWidth = 0;
  int MaxPageHeight = 0;
};

// The builders fill a fresh dialog. A missing highlighter leaves its page out.
void BuildV2OptionsDialog(TMultipageOptionDialog& Dialog, THighlighterAttributes* Highlighter);
void BuildBasicOptionsDialog(TMultipageOptionDialog& Dialog, THighlighterAttributes* Highlighter);
void BuildEnvironmentOptionsDialog(TMultipageOptionDialog& Dialog);

enum class TOptionsDialogKind { V2, Basic, Environment };

// Builds the dialog of Kind (highlighters of the command module), runs it
// modally over Owner and, on OK, lets the open editors apply the settings
// (environment) and writes the options. True when it ended with OK.
bool ExecuteOptionsDialog(TOptionsDialogKind Kind, QWidget* Owner);

}  // namespace vexa::ide
