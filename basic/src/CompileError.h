// Compile errors of the VXBasic compiler and their German texts.
#pragma once

#include <string>

namespace vexa::vxbasic {

// Message codes; 11 and 23 are not used.
enum ErrorCode : int {
  kExpectedOpenMode = 1,
  kExpectedChar = 2,
  kExpectedWord = 3,
  kExpectedBitNumber = 4,
  kExpectedLineEnd = 5,
  kUnexpectedLineEnd = 6,
  kExpectedStatementEnd = 7,
  kUnexpectedStatementEnd = 8,
  kVariableExpected = 9,
  kPortVariableExpected = 10,
  kConstantExpected = 12,
  kExpectedJump = 13,
  kNextWithoutFor = 14,
  kUndefinedIdentifier = 15,
  kInvalidName = 16,
  kDuplicateIdentifier = 17,
  kUndefinedLabel = 18,
  kDuplicateLabel = 19,
  kOutOfRange = 20,
  kProgramTooLong = 21,
  kSysCodeTooLong = 22,
  kFileNotFound = 24,
  kBadFileFormat = 25,
  kSyntaxError = 26,
  kNoMailSlot = 27,
};

// COMPILERERROR: line, code and the composed message text.
struct CompileError {
  int line = 0;
  int code = 0;
  std::string text;
};

// Composes the message of a code. `arg` is the name, word or path the
// message names (unused by codes without one).
std::string errorText(int code, const std::string& arg = {});
std::string expectedCharText(char c);
std::string outOfRangeText(int number);
std::string notAVariableText(const std::string& name);

// Formats one message line: "BASIC-Modul (line) : text" with CR LF.
std::string messageLine(int line, const std::string& text);

}  // namespace vexa::vxbasic
