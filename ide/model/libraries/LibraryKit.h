#pragma once

// What every library wrapper shares: the failure of a library call and the
// reading of the texts the libraries write (Windows-1252, NUL-terminated,
// lines ended by CR LF, LF or CR).

#include <QString>
#include <QStringList>

#include <cstddef>
#include <stdexcept>
#include <string>

namespace vexa::ide {

// A library call that failed; each wrapper throws its own kind of it.
class ELibraryException : public std::runtime_error {
 public:
  explicit ELibraryException(const std::string& Message) : std::runtime_error(Message) {}
};

// Function + "() failed".
std::string FailedCallText(const char* Function);

// The Windows-1252 text in Buffer up to its NUL, never past Size bytes.
QString BoundedText(const char* Buffer, std::size_t Size);

// The lines of a library's message text, split at CR LF, LF or CR. Empty
// lines are left out, so an empty text has none.
QStringList MessageLines(const QString& Text);

}  // namespace vexa::ide
