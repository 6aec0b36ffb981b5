#pragma once

// Search and replace over a text document: the run that the search commands
// of a source editor make, with its options, the question before each
// replacement and the count of matches. The document is reached through
// ITextDocument, so the same run works on an editor control and on a string.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vexa::ide {

// A range of document positions, Start <= End. Positions are the document's
// own (characters for a string, bytes for an editor control).
struct TTextRange {
  int Start = 0;
  int End = 0;
  bool operator==(const TTextRange&) const = default;
};

class ITextDocument {
 public:
  virtual ~ITextDocument() = default;
  // The position after the last character.
  virtual int Length() const = 0;
  virtual QString Text(TTextRange Range) const = 0;
  // The selection runs from the anchor to the caret; empty when they meet.
  virtual int Anchor() const = 0;
  virtual int Caret() const = 0;
  virtual void SetSelection(int Anchor, int Caret) = 0;
  // The line (from 0) that holds Position.
  virtual int LineOf(int Position) const = 0;
  // The word that touches Position on either side; empty (Start == End ==
  // Position) when neither neighbour is a word character.
  virtual TTextRange WordAt(int Position) const = 0;
  // The first match of What wholly inside From..To; with From > To the last
  // match inside To..From. Whole words: no word character on either side
  // (word characters as the document classes them).
  virtual std::optional<TTextRange> Find(const QString& What, int From, int To, bool MatchCase,
                                         bool WholeWord) const = 0;
  // Replaces Range by Text; returns the position after the new text.
  virtual int Replace(TTextRange Range, const QString& Text) = 0;
  // Edits between the two calls are undone and redone as one step.
  virtual void BeginUndoGroup() = 0;
  virtual void EndUndoGroup() = 0;

  int SelectionStart() const;
  int SelectionEnd() const;
  bool HasSelection() const { return Anchor() != Caret(); }
};

struct TSearchOptions {
  bool MatchCase = false;
  bool WholeWord = false;
  bool Backwards = false;
  bool EntireScope = false;   // from the start (or end) rather than the caret
  bool SelectedOnly = false;  // within the selection, when there is one
  bool Replace = false;
  bool ReplaceAll = false;  // without it a run replaces one match
  bool Prompt = false;      // ask before each replacement
};

// The answer to "replace this match?".
enum class TReplaceAction { Cancel, Skip, Replace, ReplaceAll };

// Asked with the found text, the replacement and the match (selected at the
// time of the question).
using TReplacePrompt = std::function<TReplaceAction(const QString& Found,
                                                    const QString& Replacement, TTextRange Match)>;

// One search run. Without Replace the first match is selected (the caret at
// its end, backwards at its start) and the result is 1, or 0 when there is
// none. With Replace every match in scope is replaced; with Prompt each is
// asked for first (a match that equals the replacement is skipped without
// asking), and a skipped match does not count. A selection restricts
// the run to itself only when SelectedOnly is set and the selection is not
// Ignored. The replacements of one run are one undo step. With no match the
// selection collapses (backwards to its start, forwards to its end).
int SearchReplace(ITextDocument& Document, const QString& What, const QString& Replacement,
                  const TSearchOptions& Options, const TReplacePrompt& Prompt = {},
                  std::optional<TTextRange> Ignored = std::nullopt);

// The text that a search dialog proposes from the caret: the selected text
// when the selection lies within one line, else the word at the caret.
QString SearchTextAtCaret(const ITextDocument& Document);

// Histories of the search dialogs: Text (when not empty) moved to the top of
// Items; the history text of at most ten items joined by CR LF.
QStringList MoveToTop(QStringList Items, const QString& Text);
QString JoinHistory(const QStringList& Items);

// Where the replace question goes, in screen coordinates: Area is the
// editor's client area, MatchX the left of the match, LineTop and LineBottom
// the top of its line and the top of the next. A dialog narrower than the
// area stands within it horizontally, at the match where it can; a wider one
// is centred over it.
QPoint ConfirmDialogPosition(const QRect& Area, int MatchX, int LineTop, int LineBottom,
                             const QSize& Dialog);

// "Soll dieses Vorkommen von "%s" ersetzt werden?"
QString ConfirmReplaceText(const QString& Found);

// A document over a string, with an undo list; for tests and for texts that
// are not shown.
class TStringTextDocument : public ITextDocument {
 public:
  explicit TStringTextDocument(const QString& Text = QString()) : text_(Text) {}

  const QString& String() const { return text_; }
  void SetText(const QString& Text);

  int Length() const override { return static_cast<int>(text_.size()); }
  QString Text(TTextRange Range) const override;
  int Anchor() const override { return anchor_; }
  int Caret() const override { return caret_; }
  void SetSelection(int Anchor, int Caret) override;
  int LineOf(int Position) const override;
  TTextRange WordAt(int Position) const override;
  std::optional<TTextRange> Find(const QString& What, int From, int To, bool MatchCase,
                                 bool WholeWord) const override;
  int Replace(TTextRange Range, const QString& Text) override;
  void BeginUndoGroup() override;
  void EndUndoGroup() override;

  // Takes back the last undo step; false when there is none.
  bool Undo();
  int UndoSteps() const { return static_cast<int>(undo_.size()); }

 private:
  struct Edit {
    int Start;
    QString Removed;
    QString Inserted;
  };
  QString text_;
  int anchor_ = 0;
  int caret_ = 0;
  int groupDepth_ = 0;
  std::vector<std::vector<Edit>> undo_;
};

// Word characters for whole-word matching and the word at the caret.
bool IsWordChar(QChar C);

}  // namespace vexa::ide
