// The one table of compiler texts: message texts and token spellings.
#pragma once

#include <string>

namespace vexa::vx2 {

// Message numbers of the text table.
enum Text : int {
  TEXT_VERSION = 0,
  TEXT_COMPILING = 1,
  TEXT_READY = 2,
  TEXT_ERRORS = 3,
  TEXT_OR = 4,
  TEXT_INVALID_SYMBOL = 5,
  TEXT_EXPECTED = 6,
  TEXT_UNEXPECTED = 7,
  TEXT_UNKNOWN = 8,
  TEXT_END_OF_LINE = 9,
  TEXT_END_OF_FILE = 10,
  TEXT_KEYWORD = 11,
  TEXT_INTEGER_CONSTANT = 12,
  TEXT_FLOAT_CONSTANT = 13,
  TEXT_CONSTANT_CHAR = 14,
  TEXT_CONSTANT_STRING = 15,
  TEXT_IDENTIFIER = 16,
  TEXT_IDENT_THREAD = 17,
  TEXT_IDENT_FUNCTION = 18,
  TEXT_IDENT_TYPE = 19,
  TEXT_IDENT_CONSTANT = 20,
  TEXT_IDENT_VARIABLE = 21,
  TEXT_MULTIPLE_DECLARATION = 22,
  TEXT_SIMPLE_TYPE = 23,
  TEXT_TYPE_MISMATCH = 24,
  TEXT_CONSTANT_EXPRESSION = 25,
  TEXT_RECURSIVE_TYPE = 26,
  TEXT_DIVISION_BY_ZERO = 27,
  TEXT_ARRAY_TOO_BIG = 28,
  TEXT_NO_MAIN_THREAD = 29,
  TEXT_TOO_MANY_THREADS = 30,
  TEXT_TOO_MUCH_CONSTANT_DATA = 31,
  TEXT_TOO_MUCH_VARIABLE_DATA = 32,
  TEXT_PROGRAM_TOO_BIG = 33,
  TEXT_FATAL_ERROR = 34,
  TEXT_BUILD_READY = 35,
  TEXT_COUNT = 36,
  // Texts beyond the numbered messages and token spellings.
  TEXT_CANNOT_OPEN_FILE = 1000,
};

// The message text of a number.
const std::string& compilerText(int number);

// How a token type is spelled in messages.
const std::string& tokenSpelling(int tokenType);

// Message composition: the one place where texts are put together.
std::string composeExpected(int tokenType);          // "<spelling> expected"
std::string composeUnexpected(int tokenType);        // "unexpected <spelling>"
std::string composeInvalidSymbol(int expectedType);  // "invalid symbol <spelling>"
std::string composeUnknownIdentifier(const std::string& name);
std::string composeMultipleDeclaration(const std::string& name);
std::string composeKindExpected(int kind);  // "identifier of a ... expected"
std::string composeMessageLine(const std::string& moduleName, int line, const std::string& text);
std::string composeOkLine(const std::string& moduleName);

}  // namespace vexa::vx2
