#pragma once

// Token rules of VXBasic for the editor's colouring. Every line stands on its
// own (the range state is always 0); words match without regard to case.

#include "model/text/Tokens.h"

#include <string_view>

namespace vexa::ide {

enum class TBasicTokenKind : int {
  Comment,
  Constant,
  Identifier,
  InvalidChars,
  Keyword,
  Label,
  Number,
  Whitespace,
  String,
  Symbol,
};
inline constexpr int kBasicTokenKindCount = 10;

inline constexpr const char* kBasicLanguageName = "Vexa BASIC";
inline constexpr const char* kBasicDefaultFilter = "Vexa BASIC Dateien (*.bas)|*.BAS";

// Keyword, Constant or Identifier for a word of identifier characters.
TBasicTokenKind ClassifyBasicWord(std::string_view Word);

// Line may hold its line end; Range is ignored and the end range is 0.
TTokenizedLine TokenizeBasic(std::string_view Line, int Range = 0);

std::string_view BasicSampleSource();

}  // namespace vexa::ide
