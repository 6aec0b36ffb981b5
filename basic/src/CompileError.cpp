#include "CompileError.h"

namespace vexa::vxbasic {

namespace {
const char* const kModuleName = "BASIC-Modul";
}

std::string errorText(int code, const std::string& arg) {
  switch (code) {
    case kExpectedOpenMode: return "READ/WRITE/APPEND erwartet";
    case kExpectedWord: return arg + " erwartet";
    case kExpectedBitNumber: return "Bitnummer erwartet";
    case kExpectedLineEnd: return "Zeilenende erwartet";
    case kUnexpectedLineEnd: return "unerwartetes Zeilenende";
    case kExpectedStatementEnd: return "Anweisungsende erwartet";
    case kUnexpectedStatementEnd: return "unerwartetes Anweisungsende";
    case kVariableExpected: return "Variable erwartet";
    case kPortVariableExpected: return "Bitportvariable erwartet";
    case kConstantExpected: return "Konstante erwartet";
    case kExpectedJump: return "GOSUB/GOTO erwartet";
    case kNextWithoutFor: return "NEXT ohne FOR";
    case kUndefinedIdentifier: return "undefinierter Bezeichner " + arg;
    case kInvalidName: return "kein gueltiger Bezeichnername";
    case kDuplicateIdentifier: return "mehrfach definierter Bezeichner " + arg;
    case kUndefinedLabel: return "undefiniertes Label " + arg;
    case kDuplicateLabel: return "mehrfach definiertes Label " + arg;
    case kProgramTooLong: return "Programm zu lang";
    case kSysCodeTooLong: return "Assemblerprogramm zu lang";
    case kFileNotFound: return "Datei nicht gefunden " + arg;
    case kBadFileFormat: return "ungueltiges Dateiformat";
    case kSyntaxError: return "Syntaxfehler";
    case kNoMailSlot: return "kein MAILSLOT definiert";
    default: return "Syntaxfehler";
  }
}

std::string expectedCharText(char c) { return std::string(1, c) + " erwartet"; }

std::string outOfRangeText(int number) {
  return std::to_string(number) + " nicht im gueltigen Bereich";
}

std::string notAVariableText(const std::string& name) {
  return name + " ist nicht als Variable definiert";
}

std::string messageLine(int line, const std::string& text) {
  return std::string(kModuleName) + " (" + std::to_string(line) + ") : " + text + "\r\n";
}

}  // namespace vexa::vxbasic
