#include "widgets/editor/SearchController.h"

#include "TestApp.h"
#include "model/settings/Options.h"
#include "widgets/editor/ConfirmReplaceDialog.h"
#include "widgets/editor/QsciTextDocument.h"
#include "widgets/editor/SearchDialogs.h"

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <algorithm>

#include <deque>

namespace vexa::ide {
namespace {

// The search flags a run can be given, as letters: c case, w whole words,
// b backwards, e entire scope, s selection only.
TSearchOptions Flags(const char* Letters) {
  TSearchOptions o;
  for (const char* f = Letters; *f; ++f) {
    if (*f == 'c') o.MatchCase = true;
    if (*f == 'w') o.WholeWord = true;
    if (*f == 'b') o.Backwards = true;
    if (*f == 'e') o.EntireScope = true;
    if (*f == 's') o.SelectedOnly = true;
  }
  return o;
}

class TEditorFixture : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    formPtr_ = std::make_unique<QWidget>();
    form_ = formPtr_.get();
    form_->resize(600, 400);
    auto* layout = new QVBoxLayout(form_);
    layout->setContentsMargins(0, 0, 0, 0);
    editor_ = new QsciScintilla(form_);
    layout->addWidget(editor_);
    form_->show();
    saved_ = {options::SearchText,           options::SearchTextHistory,
              options::ReplaceText,          options::ReplaceTextHistory,
              options::SearchBackwards,      options::SearchCaseSensitive,
              options::SearchFromCaret,      options::SearchInSelectionOnly,
              options::SearchWholeWordsOnly, options::SearchTextAtCaret};
    // The defaults of a fresh installation.
    options::SearchText = options::SearchTextHistory = QString();
    options::ReplaceText = options::ReplaceTextHistory = QString();
    options::SearchBackwards = options::SearchCaseSensitive = false;
    options::SearchWholeWordsOnly = false;
    options::SearchFromCaret = options::SearchInSelectionOnly = true;
    options::SearchTextAtCaret = true;
  }
  void TearDown() override {
    TSearchController::SetDialogRunner({});
    options::SearchText = saved_.searchText;
    options::SearchTextHistory = saved_.searchHistory;
    options::ReplaceText = saved_.replaceText;
    options::ReplaceTextHistory = saved_.replaceHistory;
    options::SearchBackwards = saved_.backwards;
    options::SearchCaseSensitive = saved_.caseSensitive;
    options::SearchFromCaret = saved_.fromCaret;
    options::SearchInSelectionOnly = saved_.selectionOnly;
    options::SearchWholeWordsOnly = saved_.wholeWords;
    options::SearchTextAtCaret = saved_.textAtCaret;
  }

  // Selection as (anchor, caret) in the control's positions.
  std::pair<int, int> Selection() {
    TQsciTextDocument document(editor_);
    return {document.Anchor(), document.Caret()};
  }
  void Select(int Anchor, int Caret) { TQsciTextDocument(editor_).SetSelection(Anchor, Caret); }

  std::unique_ptr<QWidget> formPtr_;
  QWidget* form_ = nullptr;
  QsciScintilla* editor_ = nullptr;

 private:
  struct {
    QString searchText, searchHistory, replaceText, replaceHistory;
    bool backwards, caseSensitive, fromCaret, selectionOnly, wholeWords, textAtCaret;
  } saved_{};
};

using QsciTextDocumentTest = TEditorFixture;

TEST_F(QsciTextDocumentTest, FindsAsTheStringDocumentDoes) {
  const QString text = "foo Foo foobar x_foo foo\r\nbar FOO foo";
  struct Case {
    int anchor, caret;
    const char* what;
    const char* flags;
  } cases[] = {
      {0, 0, "foo", "e"},    {0, 0, "foo", "ec"},   {5, 5, "foo", ""},       {10, 10, "foo", "b"},
      {10, 10, "foo", "bc"}, {0, 0, "foo", "w"},    {21, 21, "foo", "bw"},   {4, 20, "foo", "sb"},
      {4, 20, "foo", "swc"}, {4, 7, "foo", "s"},    {26, 26, "bar foo", ""}, {0, 0, "zz", ""},
      {8, 14, "foo", "s"},   {38, 38, "foo", "be"}, {20, 26, "o\r\nb", "s"},
  };
  editor_->setText(text);
  for (const Case& c : cases) {
    TStringTextDocument expected(text);
    expected.SetSelection(c.anchor, c.caret);
    Select(c.anchor, c.caret);
    TQsciTextDocument document(editor_);
    const int count = SearchReplace(document, c.what, QString(), Flags(c.flags));
    EXPECT_EQ(count, SearchReplace(expected, c.what, QString(), Flags(c.flags)))
        << c.what << c.flags;
    EXPECT_EQ(Selection(), std::make_pair(expected.Anchor(), expected.Caret()))
        << c.anchor << " " << c.what << " " << c.flags;
  }
}

TEST_F(QsciTextDocumentTest, ReplaceRunIsUndoneByOneUndo) {
  editor_->setText("a x a\nx a");
  editor_->setCursorPosition(0, 1);
  editor_->insert("b");  // an edit of its own before the run
  TQsciTextDocument document(editor_);
  TSearchOptions o = Flags("e");
  o.Replace = o.ReplaceAll = true;
  EXPECT_EQ(SearchReplace(document, "a", "äh", o), 3);
  EXPECT_EQ(editor_->text(), QString::fromUtf8("äh") + "b x äh\nx äh");
  editor_->undo();
  EXPECT_EQ(editor_->text(), "ab x a\nx a");
  editor_->redo();
  EXPECT_EQ(editor_->text(), QString::fromUtf8("äh") + "b x äh\nx äh");
}

TEST_F(QsciTextDocumentTest, PositionsAreBytesOfNonAsciiText) {
  editor_->setText(QString::fromUtf8("Größe groß ß"));
  TQsciTextDocument document(editor_);
  TSearchOptions o = Flags("ew");
  o.Replace = o.ReplaceAll = true;
  EXPECT_EQ(SearchReplace(document, QString::fromUtf8("groß"), "gross", o), 1);
  EXPECT_EQ(editor_->text(), QString::fromUtf8("Größe gross ß"));
  Select(0, 0);
  EXPECT_EQ(SearchReplace(document, QString::fromUtf8("ß"), QString(), Flags("w")), 1);
  EXPECT_EQ(document.Text({document.SelectionStart(), document.SelectionEnd()}),
            QString::fromUtf8("ß"));
  Select(4, 4);  // inside "Größe", after the "ö" (two bytes)
  EXPECT_EQ(SearchTextAtCaret(document), QString::fromUtf8("Größe"));
}

// The search commands with their dialogs answered by the test.
class SearchControllerTest : public TEditorFixture {
 protected:
  // Each dialog the commands run goes to the next handler.
  std::deque<std::function<int(QDialog&)>> handlers_;
  int dialogsRun_ = 0;

  void SetUp() override {
    TEditorFixture::SetUp();
    TSearchController::SetDialogRunner([this](QDialog& dialog) {
      ++dialogsRun_;
      if (handlers_.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
        return int(QDialog::Rejected);
      }
      auto handler = std::move(handlers_.front());
      handlers_.pop_front();
      return handler(dialog);
    });
  }

  // A search or replace dialog given a search text and OK.
  void AcceptSearch(const QString& What, const QString& Replacement = QString()) {
    handlers_.push_back([=](QDialog& dialog) {
      auto* search = qobject_cast<TTextSearchDialog*>(&dialog);
      EXPECT_NE(search, nullptr);
      if (!search) return int(QDialog::Rejected);
      search->SetSearchText(What);
      if (auto* replace = qobject_cast<TTextReplaceDialog*>(&dialog))
        replace->SetReplaceText(Replacement);
      dialog.accept();
      return dialog.result();
    });
  }

  // A replace question answered with Answer; records where it stood.
  std::vector<QRect> questions_;
  QStringList questionTexts_;
  void Answer(int Result) {
    handlers_.push_back([this, Result](QDialog& dialog) {
      auto* confirm = qobject_cast<TConfirmReplaceDialog*>(&dialog);
      EXPECT_NE(confirm, nullptr);
      if (!confirm) return int(QDialog::Rejected);
      questions_.push_back(confirm->frameGeometry());
      questionTexts_ << confirm->lblConfirmation->text();
      return Result;
    });
  }

  // A replace question run for real and answered by typing Key into it once
  // it is up; records where its frame stood then.
  void Type(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    handlers_.push_back([this, Key, Modifiers](QDialog& dialog) {
      EXPECT_NE(qobject_cast<TConfirmReplaceDialog*>(&dialog), nullptr);
      bool typed = false;
      QTimer::singleShot(0, &dialog, [this, &dialog, &typed, Key, Modifiers] {
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog)) return;
        questions_.push_back(dialog.frameGeometry());
        typed = true;
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &dialog, Key, Modifiers);
      });
      // A key the question does not take leaves it open.
      constexpr int kUnanswered = -1;
      QTimer giveUp;
      giveUp.setSingleShot(true);
      QObject::connect(&giveUp, &QTimer::timeout, &dialog, [&dialog] { dialog.done(kUnanswered); });
      giveUp.start(10000);
      const int result = dialog.exec();
      EXPECT_TRUE(typed) << "the question never became active";
      EXPECT_NE(result, kUnanswered) << QKeySequence(int(Modifiers) | Key).toString().toStdString();
      return result;
    });
  }

  // The screen x of a position.
  int XOnScreen(int Position) {
    const long x =
        editor_->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(Position));
    return editor_->viewport()->mapToGlobal(QPoint(int(x), 0)).x();
  }

  // The screen y of the top and bottom of a position's line.
  std::pair<int, int> LineOnScreen(int Position) {
    const long y =
        editor_->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(Position));
    const long height = editor_->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
    const int top = editor_->viewport()->mapToGlobal(QPoint(0, int(y))).y();
    return {top, top + int(height)};
  }
};

TEST_F(SearchControllerTest, Queries) {
  TSearchController search(editor_, form_);
  editor_->setText("\r\n\n");
  EXPECT_FALSE(search.CanFind() || search.CanReplace() || search.CanFindNext());
  editor_->setText("\n \n");
  EXPECT_TRUE(search.CanFind() && search.CanReplace());
  EXPECT_FALSE(search.CanFindNext() || search.CanFindPrev());
  options::SearchText = "x";
  EXPECT_TRUE(search.CanFindNext() && search.CanFindPrev());
  editor_->setReadOnly(true);
  EXPECT_TRUE(search.CanFind());
  EXPECT_FALSE(search.CanReplace());

  search.ToggleCaseSensitive();
  search.ToggleWholeWords();
  EXPECT_TRUE(search.IsCaseSensitive() && options::SearchCaseSensitive);
  EXPECT_TRUE(search.IsWholeWords() && options::SearchWholeWordsOnly);
  search.ToggleWholeWords();
  EXPECT_FALSE(search.IsWholeWords() || options::SearchWholeWordsOnly);
}

TEST_F(SearchControllerTest, FindDialogStartsFromTheSharedStateAndStoresItOnOK) {
  editor_->setText("foo   bar foo baz");
  Select(4, 4);  // in white space
  options::SearchText = "old";
  options::SearchTextHistory = "old\r\nolder";
  options::SearchCaseSensitive = true;
  options::SearchFromCaret = false;
  TSearchController search(editor_, form_);
  handlers_.push_back([](QDialog& dialog) {
    auto& d = dynamic_cast<TTextSearchDialog&>(dialog);
    EXPECT_EQ(d.windowTitle(), "Text suchen");
    EXPECT_EQ(d.SearchText(), "");  // the caret stands on no word
    EXPECT_EQ(d.cbSearchText->count(), 2);
    EXPECT_EQ(d.cbSearchText->itemText(0), "old");
    EXPECT_TRUE(d.SearchCaseSensitive());
    EXPECT_FALSE(d.SearchFromCursor() || d.SearchBackwards() || d.SearchWholeWords());
    EXPECT_TRUE(d.SearchInSelection());
    d.SetSearchText("foo");
    d.SetSearchFromCursor(true);
    d.SetSearchWholeWords(true);
    d.accept();
    return d.result();
  });
  search.Find();
  EXPECT_EQ(options::SearchText, "foo");
  EXPECT_EQ(options::SearchTextHistory, "foo\r\nold\r\nolder");
  EXPECT_TRUE(options::SearchFromCaret && options::SearchWholeWordsOnly);
  EXPECT_EQ(Selection(), std::make_pair(10, 13));
  EXPECT_TRUE(search.SearchFromCaret());
}

// The word at the caret is offered selected, so the word typed replaces it;
// a long entry in the histories leaves the dialogs' width alone.
TEST_F(SearchControllerTest, TypedWordReplacesTheOfferedOneAndTheWidthStays) {
  const int widths[] = {TTextSearchDialog().sizeHint().width(),
                        TTextReplaceDialog().sizeHint().width()};
  options::SearchTextHistory = options::ReplaceTextHistory = QString(150, 'x');
  editor_->setText("first Kanal first Kanal");
  for (bool replace : {false, true}) {
    SCOPED_TRACE(replace ? "Text ersetzen" : "Text suchen");
    Select(0, 0);  // on "first"
    TSearchController search(editor_, form_);
    int shownWidth = 0;
    handlers_.push_back([&](QDialog& dialog) {
      QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowActive(&dialog)) return;
        shownWidth = dialog.width();
        QTest::keyClicks(QApplication::focusWidget(), "Kanal");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      });
      QTimer giveUp;
      QObject::connect(&giveUp, &QTimer::timeout, &dialog, &QDialog::reject);
      giveUp.start(10000);
      return dialog.exec();
    });
    if (replace) Answer(TConfirmReplaceDialog::Cancel);
    replace ? search.Replace() : search.Find();
    EXPECT_EQ(options::SearchText, "Kanal");
    EXPECT_EQ(editor_->selectedText(), "Kanal");
    EXPECT_EQ(shownWidth, widths[replace]);
    EXPECT_TRUE(handlers_.empty());
    handlers_.clear();
  }
}

TEST_F(SearchControllerTest, CancelledDialogChangesNothing) {
  editor_->setText("foo bar");
  Select(5, 5);
  options::SearchText = "old";
  options::SearchTextHistory = "old";
  TSearchController search(editor_, form_);
  handlers_.push_back([](QDialog& dialog) {
    auto& d = dynamic_cast<TTextReplaceDialog&>(dialog);
    EXPECT_EQ(d.windowTitle(), "Text ersetzen");
    EXPECT_EQ(d.SearchText(), "bar");  // the word at the caret
    d.SetSearchText("foo");
    d.SetReplaceText("x");
    d.SetSearchBackwards(true);
    d.reject();
    return d.result();
  });
  search.Replace();
  EXPECT_EQ(options::SearchText, "old");
  EXPECT_EQ(options::SearchTextHistory, "old");
  EXPECT_EQ(options::ReplaceText, "");
  EXPECT_FALSE(options::SearchBackwards);
  EXPECT_EQ(editor_->text(), "foo bar");
  EXPECT_EQ(Selection(), std::make_pair(5, 5));
  EXPECT_FALSE(search.SearchFromCaret());
}

TEST_F(SearchControllerTest, FindNextStartsAtTheTopThenGoesOn) {
  editor_->setText("foo x foo x foo");
  Select(7, 7);
  options::SearchText = "foo";
  TSearchController search(editor_, form_);
  // Nothing searched in this editor yet: from the start of the text.
  search.FindNext();
  EXPECT_EQ(Selection(), std::make_pair(0, 3));
  // Then on from the match, although the selection is the match itself.
  search.FindNext();
  EXPECT_EQ(Selection(), std::make_pair(6, 9));
  search.FindNext();
  EXPECT_EQ(Selection(), std::make_pair(12, 15));
  search.FindPrev();
  EXPECT_EQ(Selection(), std::make_pair(9, 6));
  search.FindPrev();
  EXPECT_EQ(Selection(), std::make_pair(3, 0));
  // None before the first: the selection collapses to its start.
  search.FindPrev();
  EXPECT_EQ(Selection(), std::make_pair(0, 0));
  EXPECT_EQ(dialogsRun_, 0);
}

TEST_F(SearchControllerTest, SelectionMadeByTheUserLimitsTheRun) {
  editor_->setText("foo x foo x foo");
  options::SearchText = "foo";
  TSearchController search(editor_, form_);
  search.FindNext();
  Select(4, 11);
  search.FindNext();
  EXPECT_EQ(Selection(), std::make_pair(6, 9));
}

TEST_F(SearchControllerTest, ReplaceAsksAtEachMatchUntilAll) {
  QString text;
  for (int i = 0; i < 40; ++i) text += "line a\n";
  editor_->setText(text);
  Select(0, 0);
  options::SearchFromCaret = false;
  TSearchController search(editor_, form_);
  AcceptSearch("a", "b");
  Answer(TConfirmReplaceDialog::No);
  Answer(TConfirmReplaceDialog::Yes);
  Answer(TConfirmReplaceDialog::All);
  search.Replace();
  EXPECT_EQ(questions_.size(), 3u);
  EXPECT_EQ(questionTexts_.value(0), "Soll dieses Vorkommen von \"a\" ersetzt werden?");
  EXPECT_EQ(options::ReplaceText, "b");
  EXPECT_EQ(options::ReplaceTextHistory, "b");
  QString expected = "line a\n";
  for (int i = 1; i < 40; ++i) expected += "line b\n";
  EXPECT_EQ(editor_->text(), expected);
  editor_->undo();
  EXPECT_EQ(editor_->text(), text);
}

TEST_F(SearchControllerTest, QuestionStandsClearOfTheMatchLine) {
  QString text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  editor_->setText(text + "a");
  const int visible = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
  ASSERT_GT(visible, 9);
  // A match near the top of the area, then one near its bottom.
  const int lines[] = {1, visible - 2};
  for (int line : lines) {
    editor_->setText(QString("line\n").repeated(line) + "a\n" + text);
    editor_->setFirstVisibleLine(0);
    Select(0, 0);
    TSearchController search(editor_, form_);
    questions_.clear();
    AcceptSearch("a", "b");
    Answer(TConfirmReplaceDialog::Cancel);
    search.Replace();
    ASSERT_EQ(questions_.size(), 1u);
    const auto [top, bottom] = LineOnScreen(line * 5);
    if (line == 1)
      EXPECT_GT(questions_[0].top(), bottom) << "below the line";
    else
      EXPECT_LT(questions_[0].bottom(), top) << "above the line";
    // Cancel: nothing replaced, the match still selected.
    EXPECT_EQ(editor_->selectedText(), "a");
  }
}

// The first question of a run follows the rule with the frame it is shown
// with, as later ones do.
TEST_F(SearchControllerTest, FirstQuestionIsPlacedByItsFrame) {
  QString text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  editor_->setText(text);
  const int visible = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
  ASSERT_GT(visible, 9);
  const QRect area(form_->mapToGlobal(QPoint(0, 0)), form_->size());
  for (int line : {1, visible - 2}) {
    SCOPED_TRACE(line);
    editor_->setText(QString("line\n").repeated(line) + "   a\n" + text);
    editor_->setFirstVisibleLine(0);
    Select(0, 0);
    TSearchController search(editor_, form_);
    questions_.clear();
    AcceptSearch("a", "b");
    Type(Qt::Key_Escape);
    search.Replace();
    ASSERT_EQ(questions_.size(), 1u);
    const QRect frame = questions_[0];
    const int match = line * 5 + 3;
    const auto [top, bottom] = LineOnScreen(match);
    if (line == 1)
      EXPECT_EQ(frame.top(), bottom + 4) << "4 pixels below the line";
    else
      EXPECT_EQ(frame.top() + frame.height(), top - 4) << "4 pixels above the line";
    EXPECT_EQ(frame.topLeft(),
              ConfirmDialogPosition(area, XOnScreen(match), top, bottom, frame.size()));
    EXPECT_EQ(editor_->text(), QString("line\n").repeated(line) + "   a\n" + text);
  }
}

// The question for a match wider than the editor stands on the area and shows
// the whole found text, wrapped inside a long identifier too; a text too long
// for the screen is shown shortened in the middle, the buttons on the screen.
TEST_F(SearchControllerTest, QuestionForALongMatchStaysOnTheAreaAndCanBeRead) {
  const QRect area(form_->mapToGlobal(QPoint(0, 0)), form_->size());
  const QRect screen = form_->screen()->availableGeometry();
  QString words;
  while (words.size() < 230) words += "Motor links vorne ";
  words.truncate(230);
  const QString identifier = QString("Geschwindigkeit_links_vorne_").repeated(4).left(100);
  const QString huge = QString("Motor_").repeated(1000);
  for (const QString& found : {identifier, words, huge}) {
    SCOPED_TRACE(found.size());
    editor_->setText("x = " + found + ";\n");
    Select(0, 0);
    TSearchController search(editor_, form_);
    AcceptSearch(found, "y");
    QRect frame, label;
    QList<QRect> buttons;
    QString shown;
    QFont font;
    handlers_.push_back([&](QDialog& dialog) {
      auto& confirm = dynamic_cast<TConfirmReplaceDialog&>(dialog);
      confirm.show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&confirm));
      frame = confirm.frameGeometry();
      label = confirm.lblConfirmation->contentsRect();
      shown = confirm.lblConfirmation->text();
      font = confirm.lblConfirmation->font();
      for (QPushButton* b : confirm.findChildren<QPushButton*>())
        buttons << QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
      confirm.hide();
      return int(TConfirmReplaceDialog::Cancel);
    });
    search.Replace();
    ASSERT_TRUE(frame.isValid());
    ASSERT_LT(frame.width(), area.width());
    EXPECT_GE(frame.left(), area.left());
    EXPECT_LE(frame.right(), area.right());
    EXPECT_TRUE(screen.contains(frame))
        << "screen " << screen.height() << ", frame " << frame.top() << ".." << frame.bottom();
    ASSERT_EQ(buttons.size(), 4);
    for (const QRect& b : buttons) EXPECT_TRUE(screen.contains(b));
    // The text as laid out in the label fits it.
    const QRect needed = QFontMetrics(font).boundingRect(label, Qt::TextWordWrap, shown);
    EXPECT_LE(needed.width(), label.width());
    EXPECT_LE(needed.height(), label.height());
    QString read = shown;
    read.remove(QChar(0x200B));
    if (found != huge) {
      EXPECT_EQ(read, ConfirmReplaceText(found));
    } else {
      EXPECT_TRUE(read.startsWith(ConfirmReplaceText(found).left(40)));
      EXPECT_TRUE(read.endsWith(ConfirmReplaceText(found).right(40)));
      EXPECT_TRUE(read.contains(QChar(0x2026)));
    }
  }
}

// J, N and L answer without Alt (and still with it), Escape cancels.
TEST_F(SearchControllerTest, QuestionAnswersToItsLettersAndEscape) {
  editor_->setText("a a a a a");
  Select(0, 0);
  options::SearchFromCaret = false;
  TSearchController search(editor_, form_);
  AcceptSearch("a", "b");
  Type(Qt::Key_N);
  Type(Qt::Key_J);
  Type(Qt::Key_N, Qt::AltModifier);
  Type(Qt::Key_J, Qt::AltModifier);
  Type(Qt::Key_Escape);
  search.Replace();
  EXPECT_EQ(editor_->text(), "a b a b a");
  EXPECT_EQ(dialogsRun_, 6);

  Select(0, 0);
  AcceptSearch("a", "c");
  Type(Qt::Key_L);
  search.Replace();
  EXPECT_EQ(editor_->text(), "c b c b c");
  EXPECT_EQ(dialogsRun_, 8);
  EXPECT_TRUE(handlers_.empty());
}

TEST_F(SearchControllerTest, ReplacingByTheSameTextAsksNothing) {
  editor_->setText("a a");
  TSearchController search(editor_, form_);
  AcceptSearch("a", "a");
  search.Replace();
  EXPECT_EQ(dialogsRun_, 1);
  EXPECT_EQ(editor_->text(), "a a");
  EXPECT_FALSE(editor_->isUndoAvailable());
}

TEST_F(SearchControllerTest, HistoriesKeepTenEntriesNewestFirst) {
  editor_->setText("x");
  QStringList twelve;
  for (int i = 1; i <= 12; ++i) twelve << QString("s%1").arg(i);
  options::SearchTextHistory = twelve.join("\r\n");
  options::ReplaceTextHistory = "r1\r\nr2";
  TSearchController search(editor_, form_);
  AcceptSearch("s3", "r2");
  search.Replace();
  EXPECT_EQ(options::SearchTextHistory,
            "s3\r\ns1\r\ns2\r\ns4\r\ns5\r\ns6\r\ns7\r\ns8\r\ns9\r\ns10");
  EXPECT_EQ(options::ReplaceTextHistory, "r2\r\nr1");
  EXPECT_EQ(options::SearchText, "s3");
}

// The size is set when the dialog is made: a found text of 30 characters
// keeps the question on one line, a longer one wraps within that size.
TEST(TConfirmReplaceDialog, SizeStaysAndThirtyCharactersTakeOneLine) {
  test::TestApp();
  TConfirmReplaceDialog dialog;
  const QSize size = dialog.size();
  QLabel* label = dialog.lblConfirmation;
  // The height the label's text needs, wrapped at the label's width.
  const auto needed = [&](const QString& Found) {
    dialog.Prepare(QRect(0, 0, 1000, 800), 10, 10, 30, Found);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), size) << Found.toStdString();
    return label->fontMetrics()
        .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text())
        .height();
  };
  dialog.Prepare(QRect(0, 0, 1000, 800), 10, 10, 30, "a");
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const int oneLine = needed("a");
  ASSERT_GT(oneLine, 0);
  for (const char* found : {"Geschwindigkeit_links_vorne_01", "Soll der Motor jetzt anhalten?"}) {
    EXPECT_EQ(QString(found).size(), 30);
    EXPECT_EQ(needed(found), oneLine) << found;
  }
  const int wrapped = needed(QString("Geschwindigkeit_links_vorne_01").repeated(2));
  EXPECT_GT(wrapped, oneLine);
  EXPECT_LE(wrapped, label->height()) << "the wrapped text fits";
}

}  // namespace
}  // namespace vexa::ide
