#include "widgets/editor/SourcePrinter.h"

#include "FakeDialogs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/settings/Options.h"
#include "widgets/editor/PrintSourceDialog.h"
#include "widgets/editor/VexaEditControl.h"

#include <gtest/gtest.h>

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace vexa::ide {
namespace {

using Sci = QsciScintillaBase;

// The page objects of a PDF file.
int PdfPages(const QString& FileName) {
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromLatin1(file.readAll());
  return static_cast<int>(text.count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

QString Lines(int Count) {
  QString text;
  for (int i = 1; i < Count; ++i) text += QString("line %1\n").arg(i);
  return text + "last";
}

class SourcePrinterTest : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    editor_ = std::make_unique<QsciScintilla>();
    ASSERT_TRUE(dir_.isValid());
  }
  void TearDown() override { SetPrintDialogRunner({}); }

  // Prints the editor's text into a PDF file; returns the printer's account.
  struct Printout {
    int pages = 0;      // pages in the file
    int pageCount = 0;  // the count of the first pass
    int firstPageLines = 0;
    QStringList headers;
  };
  Printout Print(const TPrintSettings& Settings, QsciLexer* Lexer = nullptr) {
    const QString file = dir_.filePath(QString("p%1.pdf").arg(++files_));
    TSourcePrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    EXPECT_TRUE(printer.Print(editor_.get(), "/src/demo.v2", Lexer, Settings));
    Printout p;
    p.pageCount = printer.PageCount();
    p.headers = printer.Headers();
    if (printer.PageStarts().size() > 1)
      p.firstPageLines = static_cast<int>(editor_->SendScintilla(
          Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(printer.PageStarts()[1])));
    p.pages = PdfPages(file);
    return p;
  }

  // The print options of a first start: those read from an empty store.
  static TPrintSettings Defaults() {
    test::TTempSettings empty;
    options::ReadOptions();
    return TPrintSettings::FromOptions();
  }

  std::unique_ptr<QsciScintilla> editor_;
  QTemporaryDir dir_;
  int files_ = 0;
};

TEST_F(SourcePrinterTest, ThreePagesNumberedInTheHeader) {
  editor_->setText(Lines(400));
  const int perPage = Print(Defaults()).firstPageLines;
  ASSERT_GT(perPage, 10);

  editor_->setText(Lines(2 * perPage + 1));
  const Printout p = Print(Defaults());
  EXPECT_EQ(p.pages, 3);
  EXPECT_EQ(p.pageCount, 3);
  EXPECT_EQ(p.headers, QStringList({"/src/demo.v2|Seite 1/3", "/src/demo.v2|Seite 2/3",
                                    "/src/demo.v2|Seite 3/3"}));

  // One line less fits on two pages.
  editor_->setText(Lines(2 * perPage));
  EXPECT_EQ(Print(Defaults()).pages, 2);
}

TEST_F(SourcePrinterTest, HeaderAndMarginsTakeTheirRoom) {
  editor_->setText(Lines(400));
  const Printout normal = Print(Defaults());

  TPrintSettings noHeader = Defaults();
  noHeader.Header = false;
  const Printout bare = Print(noHeader);
  EXPECT_TRUE(bare.headers.isEmpty());
  EXPECT_GT(bare.firstPageLines, normal.firstPageLines);
  EXPECT_LE(bare.firstPageLines, normal.firstPageLines + 4);

  TPrintSettings margins = Defaults();
  margins.TopMargin = margins.BottomMargin = 100;
  EXPECT_LT(Print(margins).firstPageLines, normal.firstPageLines / 2);
}

TEST_F(SourcePrinterTest, LongLinesWrapOnlyWhenAsked) {
  editor_->setText(QString("x ").repeated(400) + "\n" + Lines(300));
  const Printout cut = Print(Defaults());
  TPrintSettings wrap = Defaults();
  wrap.WrapLongLines = true;
  EXPECT_LT(Print(wrap).firstPageLines, cut.firstPageLines);
}

TEST_F(SourcePrinterTest, PrintCopyTakesStylesColoursAndLineNumbersAsSet) {
  QsciLexerCPP lexer;
  editor_->setLexer(&lexer);
  editor_->setText("int x; // note\n");
  editor_->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
  const long keywordStyle = editor_->SendScintilla(Sci::SCI_GETSTYLEAT, 0UL);
  ASSERT_NE(keywordStyle, 0);
  const long keywordColour =
      editor_->SendScintilla(Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(keywordStyle));

  struct Case {
    bool withLexer, highlighted, colours, lineNumbers;
  } cases[] = {
      {true, true, true, false},
      {true, true, false, true},  // highlighting without colours
      {true, false, true, false},
      {false, true, true, true},
  };
  for (const Case& c : cases) {
    TPrintSettings s = Defaults();
    s.SyntaxHighlighted = c.highlighted;
    s.UseColors = c.colours;
    s.LineNumbers = c.lineNumbers;
    auto copy = MakePrintCopy(editor_.get(), c.withLexer ? &lexer : nullptr, s);
    const bool styled = c.withLexer && c.highlighted;
    EXPECT_EQ(copy->text(), editor_->text());
    EXPECT_EQ(copy->SendScintilla(Sci::SCI_GETSTYLEAT, 0UL), styled ? keywordStyle : 0);
    if (styled) {
      EXPECT_EQ(
          copy->SendScintilla(Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(keywordStyle)),
          keywordColour);
    }
    EXPECT_EQ(copy->SendScintilla(Sci::SCI_GETPRINTCOLOURMODE),
              c.colours ? Sci::SC_PRINT_NORMAL : Sci::SC_PRINT_BLACKONWHITE);
    EXPECT_EQ(copy->marginWidth(0) > 0, c.lineNumbers);
    for (int m = 1; m < copy->margins(); ++m) EXPECT_EQ(copy->marginWidth(m), 0);
  }
  // The editor keeps its highlighter.
  EXPECT_EQ(editor_->lexer(), &lexer);
  EXPECT_EQ(lexer.editor(), editor_.get());
}

TEST_F(SourcePrinterTest, PrintCopyHoldsTheTextAfterANul) {
  QsciLexerCPP lexer;
  editor_->setLexer(&lexer);
  const QString text = QStringLiteral("int a;") + QChar(0) + QStringLiteral("int b;\nint c;\n");
  SetWholeText(editor_.get(), text);
  ASSERT_EQ(WholeText(editor_.get()), text);
  for (bool highlighted : {true, false}) {
    SCOPED_TRACE(highlighted ? "highlighted" : "plain");
    TPrintSettings s = Defaults();
    s.SyntaxHighlighted = highlighted;
    auto copy = MakePrintCopy(editor_.get(), &lexer, s);
    EXPECT_EQ(WholeText(copy.get()), text);
    EXPECT_EQ(copy->lines(), 3);
  }
}

TEST_F(SourcePrinterTest, PrintToPdfUsesThePrintOptions) {
  editor_->setText(Lines(30));
  const bool savedHeader = options::Header;
  options::Header = false;
  const QString file = dir_.filePath("options.pdf");
  EXPECT_TRUE(PrintSourceToPdf(editor_.get(), "t", nullptr, file));
  options::Header = savedHeader;
  EXPECT_EQ(PdfPages(file), 1);
  EXPECT_FALSE(PrintSourceToPdf(editor_.get(), "t", nullptr, dir_.filePath("no/such/dir.pdf")));
}

class PrintSourceDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    saved_ = {options::LeftMargin, options::RightMargin, options::TopMargin, options::BottomMargin};
    savedFlags_ = {options::Header, options::LineNumbers, options::SyntaxHighlighted,
                   options::UseColors, options::WrapLongLines};
    options::LeftMargin = 25;
    options::RightMargin = 20;
    options::TopMargin = options::BottomMargin = 15;
  }
  void TearDown() override {
    options::LeftMargin = saved_[0];
    options::RightMargin = saved_[1];
    options::TopMargin = saved_[2];
    options::BottomMargin = saved_[3];
    options::Header = savedFlags_[0];
    options::LineNumbers = savedFlags_[1];
    options::SyntaxHighlighted = savedFlags_[2];
    options::UseColors = savedFlags_[3];
    options::WrapLongLines = savedFlags_[4];
    SetPrintDialogRunner({});
  }
  std::array<int, 4> saved_{};
  std::array<bool, 5> savedFlags_{};
  test::TScopedFakeDialogs dialogs_;
};

TEST_F(PrintSourceDialogTest, MarginsMustBeIntegersOfTheNamedRange) {
  const QString message = "Geben Sie einen ganzzahligen Wert im Bereich von 0..100 ein!";
  struct Case {
    const char* left;
    const char* right;
    const char* top;
    const char* bottom;
    const char* focused;  // empty: accepted
  } cases[] = {
      {"abc", "20", "15", "15", "eLeftMargin"},
      {"25", "150", "15", "15", "eRightMargin"},
      {"25", "20", "-1", "15", "eTopMargin"},
      {"x", "20", "15", "", "eBottomMargin"},  // the last faulty edit keeps the focus
      {"0", "100", " 7 ", "15", ""},
  };
  for (const Case& c : cases) {
    dialogs_->calls.clear();
    TPrintSourceDialog dialog;
    dialog.show();
    dialog.eLeftMargin->setText(c.left);
    dialog.eRightMargin->setText(c.right);
    dialog.eTopMargin->setText(c.top);
    dialog.eBottomMargin->setText(c.bottom);
    dialog.accept();
    if (*c.focused) {
      EXPECT_EQ(dialog.result(), QDialog::Rejected) << c.focused;
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(dialogs_->Texts(), QStringList{message});
      ASSERT_NE(dialog.focusWidget(), nullptr);
      EXPECT_EQ(dialog.focusWidget()->objectName(), c.focused);
      EXPECT_EQ(options::LeftMargin, 25);
      EXPECT_EQ(options::RightMargin, 20);
    } else {
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_TRUE(dialogs_->calls.empty());
      EXPECT_EQ(options::LeftMargin, 0);
      EXPECT_EQ(options::RightMargin, 100);
      EXPECT_EQ(options::TopMargin, 7);
    }
  }
}

TEST_F(PrintSourceDialogTest, ShowsAndStoresTheOptions) {
  options::Header = true;
  options::LineNumbers = options::WrapLongLines = false;
  options::SyntaxHighlighted = options::UseColors = true;
  TPrintSourceDialog dialog;
  EXPECT_EQ(dialog.eLeftMargin->text(), "25");
  EXPECT_EQ(dialog.eBottomMargin->text(), "15");
  EXPECT_TRUE(dialog.cbHeader->isChecked() && dialog.cbSyntaxHighlighting->isChecked() &&
              dialog.cbUseColors->isChecked());
  EXPECT_FALSE(dialog.cbLineNumbers->isChecked() || dialog.cbWrapLongLines->isChecked());
  dialog.cbHeader->setChecked(false);
  dialog.cbUseColors->setChecked(false);
  dialog.cbLineNumbers->setChecked(true);
  dialog.cbWrapLongLines->setChecked(true);
  dialog.accept();
  EXPECT_FALSE(options::Header || options::UseColors);
  EXPECT_TRUE(options::LineNumbers && options::WrapLongLines && options::SyntaxHighlighted);
}

TEST_F(PrintSourceDialogTest, PrintCommandAsksForOptionsThenForAPrinter) {
  QsciScintilla editor;
  editor.setText("text");
  QStringList run;
  // Abbrechen in the options: nothing else.
  SetPrintDialogRunner([&](QDialog& d) {
    run << d.metaObject()->className();
    return int(QDialog::Rejected);
  });
  PrintSource(&editor, "t", nullptr, nullptr);
  EXPECT_EQ(run, QStringList{"vexa::ide::TPrintSourceDialog"});

  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a default printer exists";
  // No printer: the print dialog comes next; cancelling it prints nothing.
  run.clear();
  SetPrintDialogRunner([&](QDialog& d) {
    run << d.metaObject()->className();
    if (qobject_cast<TPrintSourceDialog*>(&d)) {
      d.accept();
      return d.result();
    }
    return int(QDialog::Rejected);
  });
  PrintSource(&editor, "t", nullptr, nullptr);
  EXPECT_EQ(run, QStringList({"vexa::ide::TPrintSourceDialog", "QPrintDialog"}));
  EXPECT_TRUE(dialogs_->calls.empty());
}

// "&Einstellungen..." opens the print dialog on the printout's printer; the
// printer (here a PDF file) chosen there is the one OK prints on, without
// asking again.
TEST_F(PrintSourceDialogTest, SetUpChoosesThePrinterThatOkPrintsOn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("gewaehlt.pdf");
  QsciScintilla editor;
  editor.setText("text\nmore text\n");
  QStringList run;
  bool insideOptions = false;
  SetPrintDialogRunner([&](QDialog& d) {
    run << QString::fromLatin1(d.metaObject()->className()) + (insideOptions ? " in options" : "");
    if (auto* options = qobject_cast<TPrintSourceDialog*>(&d)) {
      insideOptions = true;
      EXPECT_TRUE(options->btnPrinterSetup->isEnabled());
      options->btnPrinterSetup->click();
      insideOptions = false;
      EXPECT_TRUE(options->PrinterSetUp());
      d.accept();
      return d.result();
    }
    if (auto* setup = qobject_cast<QPrintDialog*>(&d)) {
      EXPECT_TRUE(setup->testOption(QAbstractPrintDialog::PrintToFile));
      // As the dialog leaves the printer when "print to file (PDF)" is chosen.
      setup->printer()->setOutputFormat(QPrinter::PdfFormat);
      setup->printer()->setOutputFileName(file);
      return int(QDialog::Accepted);
    }
    return int(QDialog::Rejected);
  });
  // A set-up dialog that does not go through the runner is closed here.
  bool stray = false;
  QTimer guard;
  guard.setInterval(500);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      stray = true;
      d->reject();
    }
  });
  guard.start();
  PrintSource(&editor, "t", nullptr, nullptr);
  EXPECT_FALSE(stray) << "a dialog outside the print dialog";
  EXPECT_EQ(run, QStringList({"vexa::ide::TPrintSourceDialog", "QPrintDialog in options"}));
  EXPECT_EQ(PdfPages(file), 1);
  EXPECT_TRUE(dialogs_->calls.empty());
}

}  // namespace
}  // namespace vexa::ide
