#pragma once

// Small routines shared by the IDE's windows, projects and workers: integer
// bounds, the message boxes, file names.

#include "model/core/Dialogs.h"
#include "model/core/VexaIntfs.h"

#include <QString>

#include <exception>
#include <initializer_list>

namespace vexa::ide {

// The application title, the caption of every message box.
inline const char* const kApplicationTitle = "Dornik Vexa IDE";

int Min(int A, int B);
int Max(int A, int B);
// Value forced into Lo..Hi; Lo when Lo > Hi.
int EnsureRange(int Value, int Lo, int Hi);

// An argument of FormatText: a text or a number.
class TFormatArg {
 public:
  TFormatArg(const QString& text) : text_(text), isNumber_(false) {}
  TFormatArg(const char* text) : text_(QString::fromUtf8(text)), isNumber_(false) {}
  TFormatArg(int n) : number_(n) {}
  TFormatArg(long n) : number_(n) {}
  TFormatArg(long long n) : number_(n) {}
  TFormatArg(unsigned n) : number_(n) {}
  TFormatArg(unsigned long n) : number_(static_cast<long long>(n)) {}
  TFormatArg(unsigned long long n) : number_(static_cast<long long>(n)) {}
  QString Text() const { return isNumber_ ? QString::number(number_) : text_; }

 private:
  QString text_;
  long long number_ = 0;
  bool isNumber_ = true;
};

// Fills the placeholders %s and %d (optionally with "-" and a width, as
// "%-6d") from Args in order and turns "%%" into "%". The arguments are
// inserted as they are: a "%" in them is never read as a placeholder. A
// placeholder without an argument, and any other "%", stays in the text.
QString FormatText(const QString& Format, std::initializer_list<TFormatArg> Args);

// Message boxes through Dialogs(). Text is shown as it is.
void ShowError(const QString& Text);
bool Confirm(const QString& Text);
// IdYes, IdNo or IdCancel.
int ConfirmCancel(const QString& Text);
// Text, an empty line, then "<class name>: <message>" of E.
void ShowExceptionError(const std::exception& E, const QString& Text);

template <class... A>
void ShowErrorFmt(const QString& Format, const A&... Args) {
  ShowError(FormatText(Format, {TFormatArg(Args)...}));
}

template <class... A>
bool ConfirmFmt(const QString& Format, const A&... Args) {
  return Confirm(FormatText(Format, {TFormatArg(Args)...}));
}

// True for a download port the user chose (COM1..COM8); else asks the user
// to choose one first and returns false.
bool CheckDownloadPort(int Port);

// The class name of an exception object without its namespaces.
QString ExceptionClassName(const std::exception& E);

// File names. Names written on Windows may use "\" as well as "/".

// True when the file exists and its owner may not write it.
bool IsReadOnlyFile(const QString& FileName);
// The name without directory, lower-cased; without ".v2" (any case) when StripExtension.
QString ModuleNameOf(const QString& FileName, bool StripExtension);
// TFileKind::Plain, TFileKind::V2Project, TFileKind::V2Module or TFileKind::BasicProject from the
// extension.
TFileKind FileKindOf(const QString& FileName);
// The name part when FileName's directory (without trailing separator) is
// exactly Directory, else FileName unchanged.
QString RelativeFileName(const QString& FileName, const QString& Directory);
// Shorter than two characters, or starting with "//".
bool IsCommentLine(const QString& Line);

// The part after the last separator.
QString ExtractFileName(const QString& FileName);
// The part before the last separator ("" when there is none; "/" for a file in the root).
QString ExtractFileDir(const QString& FileName);
// "\" turned into "/".
QString ToLocalSeparators(const QString& FileName);
// The absolute, cleaned path; an empty name stays empty.
QString ExpandFileName(const QString& FileName);
// Whether two names denote the same file: canonical paths, compared with case;
// a file that does not exist is compared by its absolute, cleaned path. An
// empty name is no file.
bool SameFileName(const QString& A, const QString& B);

// The directory of the running program, with a trailing "/".
QString ProgramDirectory();
// The user's writable folder for output that would go beside the program
// (untitled projects), with a trailing "/"; made when missing. Empty when it
// cannot be made.
QString UserDataDirectory();

// Number texts of the libraries and the IDE are written with ".", whatever the
// user's locale: called right after the application object is made.
void FixNumericLocale();

}  // namespace vexa::ide
