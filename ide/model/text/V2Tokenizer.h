#pragma once

// Token rules of the V2 language for the editor's colouring. Only a block
// comment carries over from one line to the next (range state 1).

#include "model/text/Tokens.h"

#include <string_view>

namespace vexa::ide {

enum class TV2TokenKind : int {
  Comment,
  Identifier,
  InvalidChars,
  Keyword,
  Number,
  Whitespace,
  String,
  Symbol,
};
inline constexpr int kV2TokenKindCount = 8;

enum : int {
  V2RangeNormal = 0,
  V2RangeBlockComment = 1,
};

inline constexpr const char* kV2LanguageName = "Vexa V2";
inline constexpr const char* kV2DefaultFilter = "Vexa II Module|*.v2|";

// Case-sensitive: "while" is a keyword, "While" is not.
bool IsV2Keyword(std::string_view Word);

// Line may hold its line end (CR, LF or CR LF); Range is the state the
// previous line ended in.
TTokenizedLine TokenizeV2(std::string_view Line, int Range);

// Text for the colour options page's preview, one token kind at least once.
std::string_view V2SampleSource();

}  // namespace vexa::ide
