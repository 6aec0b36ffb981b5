#include "model/text/SearchEngine.h"

#include "model/settings/Options.h"

#include <algorithm>

namespace vexa::ide {

int ITextDocument::SelectionStart() const { return std::min(Anchor(), Caret()); }

int ITextDocument::SelectionEnd() const { return std::max(Anchor(), Caret()); }

bool IsWordChar(QChar C) { return C.isLetterOrNumber() || C == u'_'; }

namespace {

class TUndoGroup {
 public:
  TUndoGroup(ITextDocument& Document, bool Active) : document_(Document), active_(Active) {
    if (active_) document_.BeginUndoGroup();
  }
  ~TUndoGroup() {
    if (active_) document_.EndUndoGroup();
  }
  TUndoGroup(const TUndoGroup&) = delete;
  TUndoGroup& operator=(const TUndoGroup&) = delete;

 private:
  ITextDocument& document_;
  bool active_;
};

}  // namespace

int SearchReplace(ITextDocument& Document, const QString& What, const QString& Replacement,
                  const TSearchOptions& Options, const TReplacePrompt& Prompt,
                  std::optional<TTextRange> Ignored) {
  const bool backwards = Options.Backwards;
  const bool replace = Options.Replace || Options.ReplaceAll;
  bool replaceAll = Options.ReplaceAll;
  bool ask = Options.Prompt && Prompt && replace;

  const TTextRange selection{Document.SelectionStart(), Document.SelectionEnd()};
  const bool inSelection = Options.SelectedOnly && selection.Start != selection.End &&
                           !(Ignored && *Ignored == selection);
  int scopeStart = 0;
  int scopeEnd = Document.Length();
  if (inSelection) {
    scopeStart = selection.Start;
    scopeEnd = selection.End;
  } else if (!Options.EntireScope) {
    // Go on from the selection, so that the next run does not find it again.
    if (backwards)
      scopeEnd = selection.Start;
    else
      scopeStart = selection.End;
  }

  int count = 0;
  if (!What.isEmpty()) {
    TUndoGroup group(Document, replace);
    int position = backwards ? scopeEnd : scopeStart;
    for (;;) {
      std::optional<TTextRange> match = Document.Find(
          What, position, backwards ? scopeStart : scopeEnd, Options.MatchCase, Options.WholeWord);
      if (!match) break;
      ++count;
      if (backwards)
        Document.SetSelection(match->End, match->Start);
      else
        Document.SetSelection(match->Start, match->End);
      if (!replace) break;

      TReplaceAction action = TReplaceAction::Replace;
      const QString found = Document.Text(*match);
      if (ask && found == Replacement) {
        action = TReplaceAction::Skip;
      } else if (ask) {
        action = Prompt(found, Replacement, *match);
        if (action == TReplaceAction::Cancel) break;
      }
      if (action == TReplaceAction::Skip) {
        --count;
        position = backwards ? match->Start : match->End;
      } else {
        if (action == TReplaceAction::ReplaceAll) {
          replaceAll = true;
          ask = false;
        }
        const int end = Document.Replace(*match, Replacement);
        if (backwards) {
          position = match->Start;
          Document.SetSelection(match->Start, match->Start);
        } else {
          scopeEnd += end - match->End;
          position = end;
          Document.SetSelection(end, end);
        }
      }
      if (!replaceAll) break;
    }
  }

  if (count == 0) {
    const int to = backwards ? Document.SelectionStart() : Document.SelectionEnd();
    Document.SetSelection(to, to);
  }
  return count;
}

QString SearchTextAtCaret(const ITextDocument& Document) {
  if (Document.HasSelection()) {
    const TTextRange selection{Document.SelectionStart(), Document.SelectionEnd()};
    if (Document.LineOf(selection.Start) == Document.LineOf(selection.End))
      return Document.Text(selection);
  }
  return Document.Text(Document.WordAt(Document.Caret()));
}

QStringList MoveToTop(QStringList Items, const QString& Text) {
  if (Text.isEmpty()) return Items;
  Items.removeAll(Text);
  Items.prepend(Text);
  return Items;
}

QString JoinHistory(const QStringList& Items) {
  return Items.mid(0, options::kMaxHistory).join(QStringLiteral("\r\n"));
}

QPoint ConfirmDialogPosition(const QRect& Area, int MatchX, int LineTop, int LineBottom,
                             const QSize& Dialog) {
  const int areaRight = Area.left() + Area.width();
  int x;
  if (Area.width() > Dialog.width()) {
    // At the match, moved left to end at the area's right edge, but never
    // left of the area (a match scrolled partly out of sight).
    x = std::max(Area.left(), std::min(MatchX, areaRight - Dialog.width()));
  } else {
    x = Area.left() - (Dialog.width() - Area.width()) / 2;
  }
  int y;
  if (LineBottom > Area.top() + Area.height() * 2 / 3)
    y = LineTop - Dialog.height() - 4;
  else
    y = LineBottom + 4;
  return QPoint(x, y);
}

QString ConfirmReplaceText(const QString& Found) {
  return QStringLiteral("Soll dieses Vorkommen von \"%1\" ersetzt werden?").arg(Found);
}

// TStringTextDocument

void TStringTextDocument::SetText(const QString& Text) {
  text_ = Text;
  anchor_ = caret_ = 0;
  undo_.clear();
}

QString TStringTextDocument::Text(TTextRange Range) const {
  return text_.mid(Range.Start, Range.End - Range.Start);
}

void TStringTextDocument::SetSelection(int Anchor, int Caret) {
  anchor_ = std::clamp(Anchor, 0, Length());
  caret_ = std::clamp(Caret, 0, Length());
}

int TStringTextDocument::LineOf(int Position) const {
  int line = 0;
  const int end = std::min(Position, Length());
  for (int i = 0; i < end; ++i) {
    if (text_[i] == u'\n' || (text_[i] == u'\r' && (i + 1 >= Length() || text_[i + 1] != u'\n')))
      ++line;
  }
  return line;
}

TTextRange TStringTextDocument::WordAt(int Position) const {
  int start = std::clamp(Position, 0, Length());
  int end = start;
  while (start > 0 && IsWordChar(text_[start - 1])) --start;
  while (end < Length() && IsWordChar(text_[end])) ++end;
  return {start, end};
}

std::optional<TTextRange> TStringTextDocument::Find(const QString& What, int From, int To,
                                                    bool MatchCase, bool WholeWord) const {
  const int length = static_cast<int>(What.size());
  if (length == 0) return std::nullopt;
  const Qt::CaseSensitivity cs = MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  auto whole = [&](int start) {
    const int end = start + length;
    return (start == 0 || !IsWordChar(text_[start - 1])) &&
           (end >= Length() || !IsWordChar(text_[end]));
  };
  if (From <= To) {
    for (qsizetype i = text_.indexOf(What, From, cs); i >= 0 && i + length <= To;
         i = text_.indexOf(What, i + 1, cs)) {
      if (!WholeWord || whole(static_cast<int>(i))) return TTextRange{int(i), int(i) + length};
    }
  } else {
    for (int from = From - length; from >= To;) {
      const qsizetype i = text_.lastIndexOf(What, from, cs);
      if (i < To) break;
      if (!WholeWord || whole(static_cast<int>(i))) return TTextRange{int(i), int(i) + length};
      from = static_cast<int>(i) - 1;
    }
  }
  return std::nullopt;
}

int TStringTextDocument::Replace(TTextRange Range, const QString& Text) {
  Edit edit{Range.Start, this->Text(Range), Text};
  text_.replace(Range.Start, Range.End - Range.Start, Text);
  if (groupDepth_ > 0)
    undo_.back().push_back(std::move(edit));
  else
    undo_.push_back({std::move(edit)});
  return Range.Start + static_cast<int>(Text.size());
}

void TStringTextDocument::BeginUndoGroup() {
  if (groupDepth_++ == 0) undo_.emplace_back();
}

void TStringTextDocument::EndUndoGroup() {
  if (groupDepth_ > 0 && --groupDepth_ == 0 && undo_.back().empty()) undo_.pop_back();
}

bool TStringTextDocument::Undo() {
  if (undo_.empty() || groupDepth_ > 0) return false;
  const std::vector<Edit> edits = std::move(undo_.back());
  undo_.pop_back();
  for (auto e = edits.rbegin(); e != edits.rend(); ++e)
    text_.replace(e->Start, e->Inserted.size(), e->Removed);
  anchor_ = std::min(anchor_, Length());
  caret_ = std::min(caret_, Length());
  return true;
}

}  // namespace vexa::ide
