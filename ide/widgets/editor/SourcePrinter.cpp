#include "widgets/editor/SourcePrinter.h"

#include "model/core/Helpers.h"
#include "model/settings/Options.h"
#include "widgets/editor/PrintSourceDialog.h"
#include "widgets/editor/VexaEditControl.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>
#include <QByteArray>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace vexa::ide {

namespace {

using Sci = QsciScintillaBase;

TPrintDialogRunner& Runner() {
  static TPrintDialogRunner runner;
  return runner;
}

int RunDialog(QDialog& Dialog) { return Runner() ? Runner()(Dialog) : Dialog.exec(); }

long Send(const QsciScintillaBase* Editor, unsigned int Message, unsigned long W = 0, long L = 0) {
  return Editor->SendScintilla(Message, W, L);
}

QByteArray StyleFont(const QsciScintillaBase* Editor, int Style) {
  QByteArray name(256, '\0');
  const long length =
      Editor->SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(Style), name.data());
  name.truncate(static_cast<int>(std::clamp(length, 0L, 255L)));
  return name;
}

void SetStyleFont(QsciScintillaBase* Editor, int Style, const QByteArray& Face, long Size) {
  Editor->SendScintilla(Sci::SCI_STYLESETFONT, static_cast<uintptr_t>(Style), Face.constData());
  Send(Editor, Sci::SCI_STYLESETSIZE, Style, Size);
}

// Every style of From on To, in From's default face and size.
void CopyStyles(const QsciScintillaBase* From, QsciScintillaBase* To) {
  const QByteArray face = StyleFont(From, Sci::STYLE_DEFAULT);
  const long size = Send(From, Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT);
  for (int style = 0; style <= Sci::STYLE_MAX; ++style) {
    SetStyleFont(To, style, face, size);
    const struct {
      unsigned get, set;
    } attributes[] = {
        {Sci::SCI_STYLEGETFORE, Sci::SCI_STYLESETFORE},
        {Sci::SCI_STYLEGETBACK, Sci::SCI_STYLESETBACK},
        {Sci::SCI_STYLEGETWEIGHT, Sci::SCI_STYLESETWEIGHT},
        {Sci::SCI_STYLEGETITALIC, Sci::SCI_STYLESETITALIC},
        {Sci::SCI_STYLEGETUNDERLINE, Sci::SCI_STYLESETUNDERLINE},
        {Sci::SCI_STYLEGETEOLFILLED, Sci::SCI_STYLESETEOLFILLED},
        {Sci::SCI_STYLEGETCASE, Sci::SCI_STYLESETCASE},
        {Sci::SCI_STYLEGETCHARACTERSET, Sci::SCI_STYLESETCHARACTERSET},
        {Sci::SCI_STYLEGETVISIBLE, Sci::SCI_STYLESETVISIBLE},
    };
    for (const auto& a : attributes) Send(To, a.set, style, Send(From, a.get, style));
  }
}

constexpr long kBlack = 0x000000;
constexpr long kWhite = 0xFFFFFF;

}  // namespace

TPrintSettings TPrintSettings::FromOptions() {
  TPrintSettings s;
  s.LeftMargin = options::LeftMargin;
  s.RightMargin = options::RightMargin;
  s.TopMargin = options::TopMargin;
  s.BottomMargin = options::BottomMargin;
  s.Header = options::Header;
  s.LineNumbers = options::LineNumbers;
  s.SyntaxHighlighted = options::SyntaxHighlighted;
  s.UseColors = options::UseColors;
  s.WrapLongLines = options::WrapLongLines;
  return s;
}

THeaderLine ExpandHeader(const QString& Template, const QString& Title, int Page, int PageCount) {
  QString text = Template;
  text.replace(QStringLiteral("$TITLE$"), Title)
      .replace(QStringLiteral("$PAGENUM$"), QString::number(Page))
      .replace(QStringLiteral("$PAGECOUNT$"), QString::number(PageCount));
  const qsizetype right = text.indexOf(QStringLiteral("$RIGHT$"));
  if (right < 0) return {text, QString()};
  return {text.left(right), text.mid(right + 7)};
}

std::unique_ptr<QsciScintilla> MakePrintCopy(QsciScintilla* Source, QsciLexer* Lexer,
                                             const TPrintSettings& Settings) {
  auto copy = std::make_unique<QsciScintilla>();
  copy->setUtf8(Source->isUtf8());
  const long length = Send(Source, Sci::SCI_GETLENGTH);
  if (Lexer && Settings.SyntaxHighlighted) {
    // The styles as the editor's highlighter set them, without taking the
    // highlighter away from the editor.
    Send(Source, Sci::SCI_COLOURISE, 0, -1);
    CopyStyles(Source, copy.get());
    QByteArray cells(2 * length + 2, '\0');
    Source->SendScintilla(Sci::SCI_GETSTYLEDTEXT, 0L, length, cells.data());
    copy->SendScintilla(Sci::SCI_ADDSTYLEDTEXT, static_cast<uintptr_t>(2 * length),
                        cells.constData());
    Send(copy.get(), Sci::SCI_STARTSTYLING, static_cast<unsigned long>(length), 0);
  } else {
    SetStyleFont(copy.get(), Sci::STYLE_DEFAULT, StyleFont(Source, Sci::STYLE_DEFAULT),
                 Send(Source, Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT));
    Send(copy.get(), Sci::SCI_STYLESETFORE, Sci::STYLE_DEFAULT, kBlack);
    Send(copy.get(), Sci::SCI_STYLESETBACK, Sci::STYLE_DEFAULT, kWhite);
    Send(copy.get(), Sci::SCI_STYLECLEARALL);
    SetWholeText(copy.get(), WholeText(Source));
  }
  Send(copy.get(), Sci::SCI_SETTABWIDTH, Send(Source, Sci::SCI_GETTABWIDTH));
  Send(copy.get(), Sci::SCI_STYLESETFORE, Sci::STYLE_LINENUMBER, kBlack);
  Send(copy.get(), Sci::SCI_STYLESETBACK, Sci::STYLE_LINENUMBER, kWhite);
  // Only a number margin of some width prints line numbers.
  for (int margin = 0; margin < copy->margins(); ++margin) copy->setMarginWidth(margin, 0);
  if (Settings.LineNumbers) {
    copy->setMarginType(0, QsciScintilla::NumberMargin);
    copy->setMarginWidth(0, QStringLiteral("00000"));
  }
  Send(copy.get(), Sci::SCI_SETPRINTCOLOURMODE,
       Settings.UseColors ? Sci::SC_PRINT_NORMAL : Sci::SC_PRINT_BLACKONWHITE);
  return copy;
}

TSourcePrinter::TSourcePrinter(QPrinter::PrinterMode Mode) : QsciPrinter(Mode) {}

bool TSourcePrinter::Print(QsciScintilla* Source, const QString& Title, QsciLexer* Lexer,
                           const TPrintSettings& Settings) {
  std::unique_ptr<QsciScintilla> copy = MakePrintCopy(Source, Lexer, Settings);
  setFullPage(false);
  setPageMargins(QMarginsF(Settings.LeftMargin, Settings.TopMargin, Settings.RightMargin,
                           Settings.BottomMargin),
                 QPageLayout::Millimeter);
  setWrapMode(Settings.WrapLongLines ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
  SetTitle(Title);
  // The job and a PDF carry the whole title.
  setDocName(Title);
  SetHeader(Settings.Header);
  QFont font(QString::fromLatin1(StyleFont(Source, Sci::STYLE_DEFAULT)));
  font.setPointSize(static_cast<int>(Send(Source, Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT)));
  SetHeaderFont(font);
  return printRange(copy.get()) != 0;
}

int TSourcePrinter::printRange(QsciScintillaBase* qsb, int from, int to) {
  QPainter painter;
  if (!painter.begin(this)) return false;
  const int result = printRange(qsb, painter, from, to);
  painter.end();
  return result;
}

int TSourcePrinter::printRange(QsciScintillaBase* qsb, QPainter& painter, int from, int to) {
  pageCount_ = 0;
  pageStarts_.clear();
  headers_.clear();
  if (!qsb) return false;
  long start = 0;
  long end = Send(qsb, Sci::SCI_GETLENGTH);
  if (from > 0) start = Send(qsb, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(from));
  if (to >= 0 && to + 1 < Send(qsb, Sci::SCI_GETLINECOUNT))
    end = Send(qsb, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(to + 1));
  Send(qsb, Sci::SCI_SETPRINTMAGNIFICATION, static_cast<unsigned long>(magnification()));
  Send(qsb, Sci::SCI_SETPRINTWRAPMODE,
       wrapMode() == QsciScintilla::WrapNone ? Sci::SC_WRAP_NONE : Sci::SC_WRAP_WORD);
  // The header names the page count: count first.
  pageCount_ = Pass(qsb, painter, start, end, false);
  pageStarts_.clear();
  Pass(qsb, painter, start, end, true);
  return true;
}

int TSourcePrinter::Pass(QsciScintillaBase* qsb, QPainter& painter, long start, long end,
                         bool drawing) {
  const int first = fromPage();
  const int last = toPage();
  bool pageOpen = false;
  int page = 0;
  do {
    ++page;
    pageStarts_.push_back(start);
    const bool render = drawing && (first == 0 || page >= first) && (last == 0 || page <= last);
    if (render) {
      if (pageOpen) newPage();
      pageOpen = true;
    }
    QRect area(0, 0, width(), height());
    formatPage(painter, render, area, page);
    const long next = qsb->SendScintilla(Sci::SCI_FORMATRANGE, render, &painter, area, start, end);
    if (next <= start) break;  // nothing fits on a page
    start = next;
  } while (start < end);
  return page;
}

void TSourcePrinter::formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) {
  if (!header_) return;
  const QFontMetrics metrics(font_, painter.device());
  const int height = metrics.lineSpacing();
  if (drawing) {
    const THeaderLine line =
        ExpandHeader(QString::fromLatin1(kPrintHeader), title_, pagenr, pageCount_);
    headers_ << line.Left + u'|' + line.Right;
    painter.save();
    painter.setFont(QFont(font_, painter.device()));
    painter.setPen(Qt::black);
    const QRect first(area.left(), area.top(), area.width(), height);
    painter.drawText(first, Qt::AlignLeft | Qt::AlignVCenter, line.Left);
    painter.drawText(first, Qt::AlignRight | Qt::AlignVCenter, line.Right);
    const int rule = area.top() + height + height / 2;
    painter.drawLine(area.left(), rule, area.right(), rule);
    painter.restore();
  }
  area.setTop(area.top() + 3 * height);
}

TPrintDialogRunner SetPrintDialogRunner(TPrintDialogRunner Runner_) {
  TPrintDialogRunner previous = std::move(Runner());
  Runner() = std::move(Runner_);
  return previous;
}

int RunPrintDialog(QDialog& Dialog) { return RunDialog(Dialog); }

void PrintSource(QsciScintilla* Source, const QString& Title, QsciLexer* LexerOrNull,
                 QWidget* Parent) {
  if (!Source) return;
  TSourcePrinter printer;
  // The print dialogs make their default output file from the document name
  // in the current or home folder: only the file name, not its directory.
  printer.setDocName(QFileInfo(Title).fileName());
  TPrintSourceDialog dialog(Parent);
  dialog.SetPrinter(&printer);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  // Without a printer to print on, the print dialog offers one (or a file).
  if (!dialog.PrinterSetUp() && (QPrinterInfo::defaultPrinter().isNull() || !printer.isValid())) {
    QPrintDialog choose(&printer, Parent);
    if (RunDialog(choose) != QDialog::Accepted) return;
  }
  if (!printer.Print(Source, Title, LexerOrNull, TPrintSettings::FromOptions()))
    ShowError(QStringLiteral("Der Drucker konnte nicht geöffnet werden."));
}

bool PrintSourceToPdf(QsciScintilla* Source, const QString& Title, QsciLexer* LexerOrNull,
                      const QString& FileName) {
  TSourcePrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(FileName);
  return printer.Print(Source, Title, LexerOrNull, TPrintSettings::FromOptions());
}

}  // namespace vexa::ide
