#pragma once

// A V2 project of three modules (motor, display, main; main uses the other
// two) that the library wrapper and compiler worker tests build.

namespace vexa::ide::test {

inline const char* const kMotor =
    "int speed;\n"
    "function clamp(int v) returns int {\n"
    "  return v;\n"
    "}\n";
inline const char* const kDisplay =
    "byte row;\n"
    "function show() {\n"
    "  row = row + 1;\n"
    "}\n";
inline const char* const kMain =
    "thread main {\n"
    "  motor.speed = motor.clamp(5);\n"
    "  display.show();\n"
    "}\n";

}  // namespace vexa::ide::test
