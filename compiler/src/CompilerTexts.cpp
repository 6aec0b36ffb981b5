#include "CompilerTexts.h"

#include <array>

#include "Token.h"

namespace vexa::vx2 {
namespace {

// Message texts 0..35, then the spelling of token type t at 36 + t.
const std::array<std::string, 36 + 76> kTexts = {
    "V2 ver. ", "compiling...", "...ready", "error(s)", "or", "invalid symbol", "expected",
    "unexpected", "unknown", "end of line", "end of file", "keyword", "integer constant",
    "float constant", "constant char", "constant string", "identifier", "identifier of a thread",
    "identifier of a function", "identifier of a type", "identifier of a constant",
    "identifier of a variable", "multiple declaration of", "simple type", "type mismatch",
    "constant expression", "recursive type", "division by zero in constant expression",
    "array too big", "no main thread found", "too many threads", "too much constant data",
    "too much variable data", "program too big", "fatal error, cannot create VMC",
    "compilation ready, VMC available",
    // token spellings 0..75
    "", "", "", "", "", "{", "}", "(", ")", "[", "]", ";", ":", ".", "...", ",", "?", "=",
    "==", "!=", ">", "<", ">=", "<=", "+", "-", "*", "/", "", "mod", "not", "and", "nand", "or",
    "nor", "xor", "shl", "shr", "inline", "module", "thread", "function", "returns", "return",
    "const", "byte", "int", "long", "float", "string", "type", "run", "halt", "resume", "sleep",
    "wait", "capture", "release", "reset", "yield", "quit", "if", "else", "loop", "for", "while",
    "do", "step", "break", "continue", "", "", "", "", "", ""};

const std::string kCannotOpenFile = "cannot open file";
const std::string kEmpty;

}  // namespace

const std::string& compilerText(int number) {
  if (number == TEXT_CANNOT_OPEN_FILE) return kCannotOpenFile;
  if (number < 0 || number >= TEXT_COUNT) return kEmpty;
  return kTexts[number];
}

const std::string& tokenSpelling(int type) {
  switch (type) {
    case TOKEN_NONE: return kTexts[TEXT_KEYWORD];
    case TOKEN_LINE_END: return kTexts[TEXT_END_OF_LINE];
    case TOKEN_END: return kTexts[TEXT_END_OF_FILE];
    case TOKEN_INTEGER: return kTexts[TEXT_INTEGER_CONSTANT];
    case TOKEN_FLOAT: return kTexts[TEXT_FLOAT_CONSTANT];
    case TOKEN_CHAR: return kTexts[TEXT_CONSTANT_CHAR];
    case TOKEN_STRING: return kTexts[TEXT_CONSTANT_STRING];
    case TOKEN_IDENTIFIER: return kTexts[TEXT_IDENTIFIER];
    default: break;
  }
  if (type < 0 || type > TOKEN_IDENTIFIER) return kEmpty;
  return kTexts[TEXT_COUNT + type];
}

std::string composeExpected(int tokenType) {
  return tokenSpelling(tokenType) + " " + compilerText(TEXT_EXPECTED);
}

std::string composeUnexpected(int tokenType) {
  return compilerText(TEXT_UNEXPECTED) + " " + tokenSpelling(tokenType);
}

std::string composeInvalidSymbol(int expectedType) {
  return compilerText(TEXT_INVALID_SYMBOL) + " " + tokenSpelling(expectedType);
}

std::string composeUnknownIdentifier(const std::string& name) {
  return compilerText(TEXT_UNKNOWN) + " " + compilerText(TEXT_IDENTIFIER) + " \"" + name + "\"";
}

std::string composeMultipleDeclaration(const std::string& name) {
  return compilerText(TEXT_MULTIPLE_DECLARATION) + " \"" + name + "\"";
}

std::string composeKindExpected(int kind) {
  int text = TEXT_IDENT_CONSTANT;
  switch (kind) {
    case 1: text = TEXT_IDENT_TYPE; break;
    case 3: text = TEXT_IDENT_FUNCTION; break;
    case 4: text = TEXT_IDENT_THREAD; break;
    case 6: text = TEXT_IDENT_VARIABLE; break;
    default: break;
  }
  return compilerText(text) + " " + compilerText(TEXT_EXPECTED);
}

std::string composeMessageLine(const std::string& moduleName, int line, const std::string& text) {
  return moduleName + " (" + std::to_string(line) + ") : " + text + "\n";
}

std::string composeOkLine(const std::string& moduleName) { return moduleName + " : OK\n"; }

}  // namespace vexa::vx2
