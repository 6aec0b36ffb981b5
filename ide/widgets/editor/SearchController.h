#pragma once

// The search commands of one source editor: the search and replace dialogs,
// find next and previous, and the question before each replacement, over
// the editor's control. The shared search state is the options:: search
// variables; the editor object forwards its ISearchCommands here.

#include "model/text/SearchEngine.h"
#include "widgets/editor/QsciTextDocument.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;
class QsciScintilla;

namespace vexa::ide {

class TConfirmReplaceDialog;

class TSearchController {
 public:
  // Editor is the control searched; Form (default: the control) owns the
  // dialogs and gives the area the replace question is placed by.
  explicit TSearchController(QsciScintilla* Editor, QWidget* Form = nullptr);
  ~TSearchController();
  TSearchController(const TSearchController&) = delete;
  TSearchController& operator=(const TSearchController&) = delete;

  bool CanFind() const;
  bool CanFindNext() const;
  bool CanFindPrev() const;
  bool CanReplace() const;
  bool IsCaseSensitive() const;
  bool IsWholeWords() const;
  void Find();
  void FindNext();
  void FindPrev();
  void Replace();
  void ToggleCaseSensitive();
  void ToggleWholeWords();

  // Whether runs continue from the caret rather than the text's start or end.
  bool SearchFromCaret() const { return searchFromCaret_; }

  // Runs every dialog of the search commands modally; tests answer in its
  // place. Returns the previous runner; an empty one restores exec().
  using TDialogRunner = std::function<int(QDialog&)>;
  static TDialogRunner SetDialogRunner(TDialogRunner Runner);

 private:
  void DialogRun(bool Replace);
  void SearchRun(bool Replace, bool Backwards);
  TReplaceAction ConfirmReplace(const QString& Found, TTextRange Match);

  QsciScintilla* editor_;
  QPointer<QWidget> form_;
  TQsciTextDocument document_;
  bool searchFromCaret_ = false;
  // The match the last run selected: find next goes on after it even when
  // searching in the selection only.
  std::optional<TTextRange> lastMatch_;
  std::unique_ptr<TConfirmReplaceDialog> confirm_;
};

// Whether the control holds a character other than line ends.
bool HasText(const QsciScintilla* Editor);

}  // namespace vexa::ide
