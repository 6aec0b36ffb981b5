#pragma once

// What both tokenizers give for one line of source text. Positions are byte
// offsets into the line as handed in (UTF-8 in the editor).

#include <vector>

namespace vexa::ide {

// Kind is the language's token kind, which is also the index of its display
// attribute in THighlighterAttributes.
struct TToken {
  int Kind = 0;
  int Start = 0;
  int Length = 0;

  friend bool operator==(const TToken&, const TToken&) = default;
};

// The tokens of a line cover it from start to end without gaps; EndRange is
// the range state the next line starts in.
struct TTokenizedLine {
  std::vector<TToken> Tokens;
  int EndRange = 0;
};

}  // namespace vexa::ide
