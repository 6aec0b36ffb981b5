#pragma once

// VXBasic programs the worker and project tests run.

namespace vexa::ide::test {

// A loop: the FOR line is 3, the body 4, NEXT 5.
constexpr int kLoopBody = 4;
inline const char* const kLoop =
    "DEFINE I WORD\n"
    "DEFINE S WORD\n"
    "FOR I = 1 TO 5\n"
    "S = S + I\n"
    "NEXT\n"
    "PRINT S;\n";
// Reads one value and prints it.
inline const char* const kInput =
    "DEFINE X WORD\n"
    "INPUT X\n"
    "PRINT X;\n";

}  // namespace vexa::ide::test
