#pragma once

// Printing a source text: a hidden copy of the editor's text with its
// styles (or plain), a header with the title and "Seite n/m", margins in
// millimetres, line numbers, wrapping and black-on-white printing.

#include <Qsci/qsciprinter.h>

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QWidget;
class QsciLexer;
class QsciScintilla;

namespace vexa::ide {

// The Editor\Print options of one printout. Their defaults are those of the
// options:: print variables (model/settings/Options.cpp).
struct TPrintSettings {
  int LeftMargin = 0;  // mm
  int RightMargin = 0;
  int TopMargin = 0;
  int BottomMargin = 0;
  bool Header = false;
  bool LineNumbers = false;
  bool SyntaxHighlighted = false;
  bool UseColors = false;
  bool WrapLongLines = false;

  // The options:: print variables.
  static TPrintSettings FromOptions();
};

// The header's first line; its second is a rule, its third is empty.
inline const char* const kPrintHeader = "$TITLE$$RIGHT$Seite $PAGENUM$/$PAGECOUNT$";

// The left and right parts of a header line with its macros filled in.
struct THeaderLine {
  QString Left;
  QString Right;
};
THeaderLine ExpandHeader(const QString& Template, const QString& Title, int Page, int PageCount);

// The text to print: a copy of Source's text, with Source's styles when
// Lexer is given and highlighting is wanted, else plain in Source's font.
std::unique_ptr<QsciScintilla> MakePrintCopy(QsciScintilla* Source, QsciLexer* Lexer,
                                             const TPrintSettings& Settings);

class TSourcePrinter : public QsciPrinter {
 public:
  explicit TSourcePrinter(QPrinter::PrinterMode Mode = QPrinter::HighResolution);

  // Prints Source on this printer; false when the printer could not be
  // opened.
  bool Print(QsciScintilla* Source, const QString& Title, QsciLexer* Lexer,
             const TPrintSettings& Settings);

  // Both passes: the first counts the pages, the second draws them.
  int printRange(QsciScintillaBase* qsb, QPainter& painter, int from = -1, int to = -1) override;
  int printRange(QsciScintillaBase* qsb, int from = -1, int to = -1) override;
  void formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) override;

  void SetTitle(const QString& Title) { title_ = Title; }
  void SetHeader(bool Header) { header_ = Header; }
  void SetHeaderFont(const QFont& Font) { font_ = Font; }

  // Of the last printout: its pages, the document position each page starts
  // at, and the header lines drawn ("left|right").
  int PageCount() const { return pageCount_; }
  const std::vector<long>& PageStarts() const { return pageStarts_; }
  const QStringList& Headers() const { return headers_; }

 private:
  int Pass(QsciScintillaBase* qsb, QPainter& painter, long start, long end, bool drawing);

  QString title_;
  bool header_ = false;
  QFont font_;
  int pageCount_ = 0;
  std::vector<long> pageStarts_;
  QStringList headers_;
};

// The Print command of a source editor: asks the print options, then prints
// on the printer chosen in their set-up, else on the default printer; with no
// printer known the print dialog (which can print to a PDF file) comes first. Title is the file
// name or the untitled name; LexerOrNull the editor's highlighter.
void PrintSource(QsciScintilla* Source, const QString& Title, QsciLexer* LexerOrNull,
                 QWidget* Parent);

// The same without questions, with the options:: print settings, into a PDF
// file. False when the file could not be written.
bool PrintSourceToPdf(QsciScintilla* Source, const QString& Title, QsciLexer* LexerOrNull,
                      const QString& FileName);

// Runs the dialogs of PrintSource modally; tests answer in its place.
// Returns the previous runner; an empty one restores exec().
using TPrintDialogRunner = std::function<int(QDialog&)>;
TPrintDialogRunner SetPrintDialogRunner(TPrintDialogRunner Runner);
// Runs Dialog with the runner set (exec() without one).
int RunPrintDialog(QDialog& Dialog);

}  // namespace vexa::ide
