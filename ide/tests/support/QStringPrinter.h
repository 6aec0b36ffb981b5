#pragma once

// Readable QStrings in GoogleTest's failure messages, one definition for every
// test file of a program.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out) {
  *Out << '"' << Text.toStdString() << '"';
}
