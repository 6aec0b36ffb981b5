#include "widgets/options/MultipageOptionDialog.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"
#include "widgets/options/EditorOptionsPage.h"
#include "widgets/options/ProjectOptionsPage.h"
#include "widgets/options/SyntaxHighlightPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vexa::ide {

TMultipageOptionDialog::TMultipageOptionDialog(QWidget* Owner) : QDialog(Owner) {
  setObjectName(QStringLiteral("MultipageOptionDialog"));
  setWindowTitle(QStringLiteral("Einstellungen"));
  pctrlOptionPages = new QTabWidget(this);
  pctrlOptionPages->setObjectName(QStringLiteral("pctrlOptionPages"));
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addSpacing(5);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);
  layout->addWidget(pctrlOptionPages, 1);
  layout->addLayout(buttons);
}

void TMultipageOptionDialog::AddPage(TCustomDialogPage* Page, const QString& Caption) {
  auto* sheet = new QWidget;
  auto* sheetLayout = new QVBoxLayout(sheet);
  sheetLayout->setContentsMargins(0, 0, 0, 0);
  pctrlOptionPages->addTab(sheet, Caption);
  if (Page) {
    const QSize size =
        Page->sizeHint().expandedTo(Page->minimumSizeHint()).expandedTo(Page->minimumSize());
    MaxPageWidth = std::max(MaxPageWidth, size.width());
    MaxPageHeight = std::max(MaxPageHeight, size.height());
    sheetLayout->addWidget(Page);
    Page->setVisible(true);
  }
  if (MarginX == 0 && MarginY == 0) {
    // The tab bar and the frame around a sheet.
    const QSize whole = pctrlOptionPages->sizeHint();
    const QSize inner = sheet->sizeHint();
    MarginX = std::max(0, whole.width() - inner.width());
    MarginY = std::max(0, whole.height() - inner.height());
  }
  // The page control holds the largest page.
  pctrlOptionPages->setMinimumSize(MaxPageWidth + MarginX, MaxPageHeight + MarginY);
  Pages.append(Page);
}

void TMultipageOptionDialog::done(int Result) {
  for (TCustomDialogPage* page : Pages)
    if (page && !page->MayClose()) return;
  if (Result == QDialog::Accepted) {
    for (TCustomDialogPage* page : Pages)
      if (page) page->Apply();
  }
  QDialog::done(Result);
}

namespace {

void AddLanguagePages(TMultipageOptionDialog& Dialog, THighlighterAttributes* Highlighter,
                      bool ForBASIC) {
  if (Highlighter) {
    auto* syntax = new TSyntaxHighlightPage(&Dialog);
    syntax->Load();
    syntax->AddHighlighters({Highlighter});
    Dialog.AddPage(syntax, QStringLiteral("Syntaxhervorhebung"));
  }
  auto* project = new TProjectOptionsPage(ForBASIC, &Dialog);
  project->Load();
  Dialog.AddPage(project, QStringLiteral("Projekt"));
}

}  // namespace

void BuildV2OptionsDialog(TMultipageOptionDialog& Dialog, THighlighterAttributes* Highlighter) {
  AddLanguagePages(Dialog, Highlighter, false);
}

void BuildBasicOptionsDialog(TMultipageOptionDialog& Dialog, THighlighterAttributes* Highlighter) {
  AddLanguagePages(Dialog, Highlighter, true);
}

void BuildEnvironmentOptionsDialog(TMultipageOptionDialog& Dialog) {
  auto* editor = new TEditorOptionsPage(&Dialog);
  editor->Load();
  Dialog.AddPage(editor, QStringLiteral("Editor"));
}

bool ExecuteOptionsDialog(TOptionsDialogKind Kind, QWidget* Owner) {
  TMultipageOptionDialog dialog(Owner);
  switch (Kind) {
    case TOptionsDialogKind::V2:
      BuildV2OptionsDialog(dialog, CommandsModule ? &CommandsModule->hlV2 : nullptr);
      break;
    case TOptionsDialogKind::Basic:
      BuildBasicOptionsDialog(dialog, CommandsModule ? &CommandsModule->hlBasic : nullptr);
      break;
    case TOptionsDialogKind::Environment: BuildEnvironmentOptionsDialog(dialog); break;
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  if (Kind == TOptionsDialogKind::Environment) {
    if (Ref<IVexaIDE> ide = VexaIDE) ide->RefreshEditors();
  }
  // Kept at once, not only at the end of the session.
  options::WriteOptions();
  switch (Kind) {
    case TOptionsDialogKind::V2:
      if (CommandsModule) CommandsModule->hlV2.Save();
      break;
    case TOptionsDialogKind::Basic:
      if (CommandsModule) CommandsModule->hlBasic.Save();
      break;
    case TOptionsDialogKind::Environment:
      settings::WriteBool(QStringLiteral("SyntaxHighlighting"),
                          QStringLiteral("UseSyntaxHighlighting"), options::UseSyntaxHighlighting);
      break;
  }
  settings::Flush();
  return true;
}

}  // namespace vexa::ide
