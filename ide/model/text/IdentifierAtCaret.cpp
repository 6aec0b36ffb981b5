#include "model/text/IdentifierAtCaret.h"

namespace vexa::ide {

namespace {

bool IsNameChar(QChar C) {
  const char16_t c = C.unicode();
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == u'_';
}

}  // namespace

bool IsIdentifierChar(QChar C) { return IsNameChar(C) || C == u'.'; }

TIdentifierAtCaretInfo IdentifierAt(const QString& LineText, int Column) {
  TIdentifierAtCaretInfo info;
  info.Valid = true;
  const int length = int(LineText.size());
  if (Column < 1 || Column > length + 1) return info;
  int start = Column;
  while (start > 1 && IsIdentifierChar(LineText[start - 2])) --start;
  int end = Column;
  while (end <= length && IsIdentifierChar(LineText[end - 1])) ++end;
  if (end == start) return info;
  info.Text = LineText.mid(start - 1, end - start);
  info.Start = start;
  info.CaretOffset = Column - start + 1;
  return info;
}

std::optional<TCompletionRequest> CompletionRequestOf(const TIdentifierAtCaretInfo& Info) {
  const int dot = int(Info.Text.lastIndexOf(u'.')) + 1;
  if (dot <= 1 || dot >= Info.CaretOffset) return std::nullopt;
  TCompletionRequest request;
  request.DotPos = dot;
  request.Qualifier = Info.Text.left(dot - 1);
  request.Filter = Info.Text.mid(dot).left(kMaxCompletionFilter);
  if (request.Qualifier.isEmpty()) return std::nullopt;
  return request;
}

QString CompletionItemName(const QString& Item) {
  int n = 0;
  while (n < Item.size() && IsNameChar(Item[n])) ++n;
  return Item.left(n);
}

std::optional<TCompletionEdit> CompletionEditOf(const TIdentifierAtCaretInfo& Info,
                                                const QString& Chosen) {
  const int dot = int(Info.Text.lastIndexOf(u'.')) + 1;
  if (dot < 1 || Info.Start < 1) return std::nullopt;
  if (Info.Text.mid(dot, Chosen.size()) == Chosen) return std::nullopt;
  // Columns Start + dot .. Start + length - 1 (1-based): everything after the dot.
  return TCompletionEdit{Info.Start + dot - 1, Info.Start + int(Info.Text.size()) - 1};
}

}  // namespace vexa::ide
