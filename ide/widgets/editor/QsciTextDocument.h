#pragma once

// The search engine's document over an editor control: Scintilla's target
// range and search flags, positions in the control's bytes.

#include "model/text/SearchEngine.h"

#include <QByteArray>

class QsciScintilla;

namespace vexa::ide {

class TQsciTextDocument : public ITextDocument {
 public:
  explicit TQsciTextDocument(QsciScintilla* Editor) : editor_(Editor) {}

  int Length() const override;
  QString Text(TTextRange Range) const override;
  int Anchor() const override;
  int Caret() const override;
  void SetSelection(int Anchor, int Caret) override;
  int LineOf(int Position) const override;
  TTextRange WordAt(int Position) const override;
  std::optional<TTextRange> Find(const QString& What, int From, int To, bool MatchCase,
                                 bool WholeWord) const override;
  int Replace(TTextRange Range, const QString& Text) override;
  void BeginUndoGroup() override;
  void EndUndoGroup() override;

 private:
  QByteArray Bytes(const QString& Text) const;

  QsciScintilla* editor_;
};

}  // namespace vexa::ide
