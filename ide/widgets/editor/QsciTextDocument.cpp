#include "widgets/editor/QsciTextDocument.h"

#include <Qsci/qsciscintilla.h>

namespace vexa::ide {

int TQsciTextDocument::Length() const {
  return static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

QString TQsciTextDocument::Text(TTextRange Range) const {
  return editor_->text(Range.Start, Range.End);
}

int TQsciTextDocument::Anchor() const {
  return static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_GETANCHOR));
}

int TQsciTextDocument::Caret() const {
  return static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void TQsciTextDocument::SetSelection(int Anchor, int Caret) {
  editor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(Anchor),
                         static_cast<long>(Caret));
}

int TQsciTextDocument::LineOf(int Position) const {
  return static_cast<int>(
      editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, Position));
}

TTextRange TQsciTextDocument::WordAt(int Position) const {
  const auto start = editor_->SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION,
                                            static_cast<unsigned long>(Position), 1L);
  const auto end = editor_->SendScintilla(QsciScintillaBase::SCI_WORDENDPOSITION,
                                          static_cast<unsigned long>(Position), 1L);
  return {static_cast<int>(start), static_cast<int>(end)};
}

std::optional<TTextRange> TQsciTextDocument::Find(const QString& What, int From, int To,
                                                  bool MatchCase, bool WholeWord) const {
  const QByteArray what = Bytes(What);
  if (what.isEmpty()) return std::nullopt;
  // The target is the control's state: leave it as it was.
  const long oldStart = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
  const long oldEnd = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
  const long oldFlags = editor_->SendScintilla(QsciScintillaBase::SCI_GETSEARCHFLAGS);
  long flags = 0;
  if (MatchCase) flags |= QsciScintillaBase::SCFIND_MATCHCASE;
  if (WholeWord) flags |= QsciScintillaBase::SCFIND_WHOLEWORD;
  editor_->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, flags);
  editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(From),
                         static_cast<long>(To));
  const long found = editor_->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                                            static_cast<uintptr_t>(what.size()), what.constData());
  std::optional<TTextRange> match;
  if (found >= 0) {
    match =
        TTextRange{static_cast<int>(found),
                   static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND))};
  }
  editor_->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, oldFlags);
  editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE,
                         static_cast<unsigned long>(oldStart), oldEnd);
  return match;
}

int TQsciTextDocument::Replace(TTextRange Range, const QString& Text) {
  const QByteArray text = Bytes(Text);
  editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE,
                         static_cast<unsigned long>(Range.Start), static_cast<long>(Range.End));
  const long length = editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                                             static_cast<uintptr_t>(text.size()), text.constData());
  return Range.Start + static_cast<int>(length);
}

void TQsciTextDocument::BeginUndoGroup() {
  editor_->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
}

void TQsciTextDocument::EndUndoGroup() {
  editor_->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
}

QByteArray TQsciTextDocument::Bytes(const QString& Text) const {
  return editor_->isUtf8() ? Text.toUtf8() : Text.toLatin1();
}

}  // namespace vexa::ide
