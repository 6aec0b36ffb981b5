#include "widgets/editor/SearchController.h"

#include "model/settings/Options.h"
#include "widgets/editor/ConfirmReplaceDialog.h"
#include "widgets/editor/SearchDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>

namespace vexa::ide {

namespace {

TSearchController::TDialogRunner& Runner() {
  static TSearchController::TDialogRunner runner;
  return runner;
}

int RunDialog(QDialog& Dialog) { return Runner() ? Runner()(Dialog) : Dialog.exec(); }

}  // namespace

bool HasText(const QsciScintilla* Editor) {
  const long lines = Editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
  for (long line = 0; line < lines; ++line) {
    const long start = Editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                             static_cast<unsigned long>(line));
    const long end = Editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                           static_cast<unsigned long>(line));
    if (end > start) return true;
  }
  return false;
}

TSearchController::TDialogRunner TSearchController::SetDialogRunner(TDialogRunner Runner_) {
  TDialogRunner previous = std::move(Runner());
  Runner() = std::move(Runner_);
  return previous;
}

TSearchController::TSearchController(QsciScintilla* Editor, QWidget* Form)
    : editor_(Editor), form_(Form ? Form : Editor), document_(Editor) {}

TSearchController::~TSearchController() = default;

bool TSearchController::CanFind() const { return editor_ && HasText(editor_); }

bool TSearchController::CanFindNext() const { return CanFind() && !options::SearchText.isEmpty(); }

bool TSearchController::CanFindPrev() const { return CanFindNext(); }

bool TSearchController::CanReplace() const { return CanFind() && !editor_->isReadOnly(); }

bool TSearchController::IsCaseSensitive() const { return options::SearchCaseSensitive; }

bool TSearchController::IsWholeWords() const { return options::SearchWholeWordsOnly; }

void TSearchController::Find() { DialogRun(false); }

void TSearchController::Replace() { DialogRun(true); }

void TSearchController::FindNext() { SearchRun(false, false); }

void TSearchController::FindPrev() { SearchRun(false, true); }

void TSearchController::ToggleCaseSensitive() {
  options::SearchCaseSensitive = !options::SearchCaseSensitive;
}

void TSearchController::ToggleWholeWords() {
  options::SearchWholeWordsOnly = !options::SearchWholeWordsOnly;
}

void TSearchController::DialogRun(bool Replace) {
  std::unique_ptr<TTextSearchDialog> dialog;
  TTextReplaceDialog* replaceDialog = nullptr;
  if (Replace) {
    auto d = std::make_unique<TTextReplaceDialog>(form_);
    replaceDialog = d.get();
    dialog = std::move(d);
  } else {
    dialog = std::make_unique<TTextSearchDialog>(form_);
  }
  dialog->SetSearchBackwards(options::SearchBackwards);
  dialog->SetSearchCaseSensitive(options::SearchCaseSensitive);
  dialog->SetSearchFromCursor(options::SearchFromCaret);
  dialog->SetSearchInSelection(options::SearchInSelectionOnly);
  // The history first: filling the combo's items must not lose the text.
  dialog->SetSearchTextHistory(options::SearchTextHistory);
  dialog->SetSearchText(options::SearchText);
  if (replaceDialog) {
    replaceDialog->SetReplaceTextHistory(options::ReplaceTextHistory);
    replaceDialog->SetReplaceText(options::ReplaceText);
  }
  dialog->SetSearchWholeWords(options::SearchWholeWordsOnly);
  if (options::SearchTextAtCaret) dialog->SetSearchText(SearchTextAtCaret(document_));

  if (RunDialog(*dialog) != QDialog::Accepted) return;
  options::SearchBackwards = dialog->SearchBackwards();
  options::SearchCaseSensitive = dialog->SearchCaseSensitive();
  options::SearchFromCaret = dialog->SearchFromCursor();
  options::SearchInSelectionOnly = dialog->SearchInSelection();
  options::SearchWholeWordsOnly = dialog->SearchWholeWords();
  options::SearchText = dialog->SearchText();
  options::SearchTextHistory = dialog->SearchTextHistory();
  if (replaceDialog) {
    options::ReplaceText = replaceDialog->ReplaceText();
    options::ReplaceTextHistory = replaceDialog->ReplaceTextHistory();
  }
  searchFromCaret_ = options::SearchFromCaret;
  dialog.reset();
  if (!options::SearchText.isEmpty()) SearchRun(Replace, options::SearchBackwards);
}

void TSearchController::SearchRun(bool Replace, bool Backwards) {
  if (!editor_) return;
  TSearchOptions o;
  o.Replace = o.ReplaceAll = o.Prompt = Replace;
  o.Backwards = Backwards;
  o.MatchCase = options::SearchCaseSensitive;
  o.EntireScope = !searchFromCaret_;
  o.SelectedOnly = options::SearchInSelectionOnly;
  o.WholeWord = options::SearchWholeWordsOnly;
  const int count = SearchReplace(
      document_, options::SearchText, options::ReplaceText, o,
      [this](const QString& Found, const QString&, TTextRange Match) {
        return ConfirmReplace(Found, Match);
      },
      lastMatch_);
  if (count == 0) QApplication::beep();
  confirm_.reset();
  // Later runs go on from here rather than finding the same match again.
  searchFromCaret_ = true;
  lastMatch_.reset();
  if (document_.HasSelection())
    lastMatch_ = TTextRange{document_.SelectionStart(), document_.SelectionEnd()};
}

TReplaceAction TSearchController::ConfirmReplace(const QString& Found, TTextRange Match) {
  QWidget* viewport = editor_->viewport();
  const auto position = static_cast<unsigned long>(Match.Start);
  const int x = static_cast<int>(
      editor_->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(position)));
  const int y = static_cast<int>(
      editor_->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(position)));
  const int line = document_.LineOf(Match.Start);
  const int height = static_cast<int>(
      editor_->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));
  const QPoint match = viewport->mapToGlobal(QPoint(x, y));
  QWidget* form = form_ ? form_.data() : editor_;
  const QRect area(form->mapToGlobal(QPoint(0, 0)), form->size());

  if (!confirm_) confirm_ = std::make_unique<TConfirmReplaceDialog>(Found);
  confirm_->Prepare(area, match.x(), match.y(), match.y() + height, Found);
  switch (RunDialog(*confirm_)) {
    case TConfirmReplaceDialog::Yes: return TReplaceAction::Replace;
    case TConfirmReplaceDialog::No: return TReplaceAction::Skip;
    case TConfirmReplaceDialog::All: return TReplaceAction::ReplaceAll;
    default: return TReplaceAction::Cancel;
  }
}

}  // namespace vexa::ide
