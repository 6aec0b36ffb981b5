#pragma once

// The dotted identifier around the caret of a source editor (such as
// "motor.speed") and the parts of it that identifier completion uses.

#include <QString>

#include <optional>

namespace vexa::ide {

// One per editor form; computed on demand and kept until a caret move or a
// text change clears Valid.
struct TIdentifierAtCaretInfo {
  bool Valid = false;
  int Start = 0;        // 1-based column of the first character, 0 when there is none
  QString Text;         // dots included; empty when there is none
  int CaretOffset = 0;  // 1 when the caret stands before the first character
};

// "0".."9", "A".."Z", "a".."z", "_" and ".".
bool IsIdentifierChar(QChar C);

// The identifier on LineText (without line end) around the 1-based caret
// Column; none (Valid but empty) when Column lies beyond the end + 1.
TIdentifierAtCaretInfo IdentifierAt(const QString& LineText, int Column);

// What completion asks for: the scope before the last dot and the part after it.
struct TCompletionRequest {
  int DotPos = 0;     // 1-based position of the last dot in the identifier
  QString Qualifier;  // the text before that dot
  QString Filter;     // the text after it, at most kMaxCompletionFilter characters
};
inline constexpr int kMaxCompletionFilter = 256;

// None unless the last dot stands after the first character and before the caret.
std::optional<TCompletionRequest> CompletionRequestOf(const TIdentifierAtCaretInfo& Info);

// Leading run of "0".."9", "A".."Z", "a".."z", "_" of a completion item
// ("speed (variable)" gives "speed").
QString CompletionItemName(const QString& Item);

// The replacement that inserts Chosen after the last dot of Info: the 0-based
// character range [From, To) of the caret line and its new text. None when
// the text there already starts with Chosen or Info has no dot.
struct TCompletionEdit {
  int From = 0;
  int To = 0;
};
std::optional<TCompletionEdit> CompletionEditOf(const TIdentifierAtCaretInfo& Info,
                                                const QString& Chosen);

}  // namespace vexa::ide
