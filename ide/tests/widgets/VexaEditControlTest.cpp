#include "widgets/editor/VexaEditControl.h"

#include "TestApp.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vexa::ide {
namespace {

QString NumberedLines(int Count) {
  QStringList lines;
  for (int i = 1; i <= Count; ++i) lines << QStringLiteral("line %1").arg(i);
  return lines.join(u'\n');
}

class EditControlTest : public testing::Test {
 protected:
  void SetUp() override {
    control.resize(400, 300);
    control.setText(NumberedLines(100));
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
  }

  // A point in the middle of a line's row, X pixels from the left.
  QPoint LinePoint(int Line, int X) {
    const long pos = control.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, Line - 1);
    const int y = int(control.SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0, pos));
    return {X, y + control.textHeight(Line - 1) / 2};
  }

  int CaretIndex() {
    int line, index;
    control.getCursorPosition(&line, &index);
    return index;
  }

  QApplication& app = test::TestApp();
  TVexaEditControl control;
};

TEST_F(EditControlTest, GutterToggleNeedsPressAndReleaseOnOneLine) {
  struct Case {
    const char* name;
    int pressLine, releaseLine;
    Qt::MouseButton button;
    bool gutterVisible;
    int toggles;
  } const cases[] = {
      {"press and release on 3", 3, 3, Qt::LeftButton, true, 1},
      {"press 3 release 5", 3, 5, Qt::LeftButton, true, 0},
      {"right button", 3, 3, Qt::RightButton, true, 0},
      {"gutter hidden", 3, 3, Qt::LeftButton, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    control.SetGutterVisible(c.gutterVisible);
    control.setCursorPosition(9, 2);
    QSignalSpy toggles(&control, &TVexaEditControl::ToggleBreakpoint);
    QTest::mousePress(control.viewport(), c.button, {}, LinePoint(c.pressLine, 5));
    QTest::mouseRelease(control.viewport(), c.button, {}, LinePoint(c.releaseLine, 5));
    EXPECT_EQ(toggles.count(), c.toggles);
    if (c.toggles) {
      EXPECT_EQ(control.Caret().Line, c.pressLine);
    }
  }
}

TEST_F(EditControlTest, BookmarksToggleMoveAndFollowTheText) {
  control.ToggleBookMark(4, {3, 2});
  EXPECT_EQ(control.BookMark(4)->Line, 2);
  EXPECT_EQ(control.GetBookMarkMask(), 1u << 4);
  control.ToggleBookMark(4, {7, 2});  // same line: cleared
  EXPECT_FALSE(control.BookMark(4));
  control.ToggleBookMark(4, {1, 2});
  control.ToggleBookMark(4, {1, 6});  // other line: moved
  EXPECT_EQ(control.BookMark(4)->Line, 6);
  EXPECT_EQ(control.ShownBookMark(2), -1);

  // Of two bookmarks on a line the lower number shows.
  control.ToggleBookMark(7, {1, 6});
  control.ToggleBookMark(3, {1, 6});
  EXPECT_EQ(control.ShownBookMark(6), 3);
  EXPECT_EQ(control.GetBookMarkMask(), (1u << 3) | (1u << 4) | (1u << 7));
  control.ToggleBookMark(10, {1, 1});
  control.ToggleBookMark(-1, {1, 1});
  EXPECT_EQ(control.GetBookMarkMask(), (1u << 3) | (1u << 4) | (1u << 7));

  // Two lines inserted above move them along.
  control.insertAt(QStringLiteral("a\nb\n"), 0, 0);
  EXPECT_EQ(control.BookMark(3)->Line, 8);
  EXPECT_EQ(control.ShownBookMark(8), 3);
}

TEST_F(EditControlTest, OwnerChoosesMarkerAndLookPerLine) {
  control.OnGetLineMarker = [](int Line) { return Line == 4 ? 7 : Line == 5 ? 2 : 0; };
  control.OnGetLineLook = [](int Line) { return Line == 4 ? 2 : Line == 5 ? 3 : 0; };
  control.DefineLineLook(2, Qt::blue, Qt::white);
  control.DefineLineLook(3, QColor(), Qt::white);  // no background: the text colour only
  control.RepaintLine(-1);
  EXPECT_EQ(control.ShownLineMarker(4), 7);
  EXPECT_EQ(control.ShownLineMarker(5), 2);
  EXPECT_EQ(control.ShownLineMarker(6), 0);
  EXPECT_EQ(control.ShownLineLook(4), 2);
  EXPECT_EQ(control.ShownLineLook(5), 3);

  control.OnGetLineMarker = [](int) { return 0; };
  control.OnGetLineLook = [](int) { return 0; };
  control.RepaintLine(4);
  EXPECT_EQ(control.ShownLineMarker(4), 0);
  EXPECT_EQ(control.ShownLineLook(4), 0);
  EXPECT_EQ(control.ShownLineMarker(5), 2);  // only line 4 was asked again
}

// The source editor's key table: each key reaches its command, QScintilla's
// through its key map, the control's own by their effect.
TEST_F(EditControlTest, EveryKeyReachesItsCommand) {
  using Check = std::function<void()>;
  using Q = QsciCommand;
  struct Row {
    const char* key;
    int scintilla;  // -1: own command, checked by Effect
    Check effect;
  };
  TVexaEditControl& c = control;
  auto press = [&c](const char* key) {
    const QKeyCombination k = QKeySequence(QString::fromLatin1(key))[0];
    QTest::keyClick(&c, k.key(), k.keyboardModifiers());
  };
  auto selectionMode = [&c] { return int(c.SendScintilla(QsciScintilla::SCI_GETSELECTIONMODE)); };
  auto gotoMarker = [&](int n) {
    return [&, n] {
      c.ToggleBookMark(n, {3, 40 + n});
      c.setCursorPosition(0, 0);
      press(QStringLiteral("Ctrl+%1").arg(n).toLatin1().constData());
      EXPECT_EQ(c.Caret().Line, 40 + n);
      EXPECT_EQ(c.Caret().Column, 3);
    };
  };
  auto setMarker = [&](int n) {
    return [&, n] {
      c.setCursorPosition(60 + n, 0);
      press(QStringLiteral("Ctrl+Shift+%1").arg(n).toLatin1().constData());
      ASSERT_TRUE(c.BookMark(n));
      EXPECT_EQ(c.BookMark(n)->Line, 61 + n);
    };
  };
  auto pageTop = [&](const char* key, bool select) {
    return [&, key, select] {
      c.setFirstVisibleLine(19);
      c.setCursorPosition(29, 0);
      press(key);
      EXPECT_EQ(c.Caret().Line, 20);
      EXPECT_EQ(c.hasSelectedText(), select);
    };
  };
  auto pageBottom = [&](const char* key, bool select) {
    return [&, key, select] {
      c.setFirstVisibleLine(0);
      c.setCursorPosition(0, 0);
      press(key);
      EXPECT_EQ(c.Caret().Line, c.VisibleLineCount());
      EXPECT_EQ(c.hasSelectedText(), select);
    };
  };
  auto halfPage = [&](const char* key, int direction, bool select) {
    return [&, key, direction, select] {
      c.setFirstVisibleLine(40);
      c.setCursorPosition(45, 3);
      const int n = std::max(1, c.VisibleLineCount() / 2 - 1);
      press(key);
      EXPECT_EQ(c.Caret().Line, 46 + direction * n);
      EXPECT_EQ(c.TopLine(), 41 + direction * n);
      EXPECT_EQ(c.hasSelectedText(), select);
      c.SendScintilla(QsciScintilla::SCI_CANCEL);
    };
  };
  auto lineText = [&c](const char* text, auto&& then) {
    return [&c, text, then] {
      c.setText(QString::fromLatin1(text));
      c.setCursorPosition(0, 3);
      then();
    };
  };
  auto mode = [&](const char* key, int wanted) {
    return [&, key, wanted] {
      c.SendScintilla(QsciScintilla::SCI_SETSELECTIONMODE, wanted == 0 ? 1 : 0);
      press(key);
      EXPECT_EQ(selectionMode(), wanted);
      c.SendScintilla(QsciScintilla::SCI_SETSELECTIONMODE, 0);
      c.SendScintilla(QsciScintilla::SCI_CANCEL);
    };
  };

  std::vector<Row> rows = {
      {"Up", Q::LineUp, {}},
      {"Shift+Up", Q::LineUpExtend, {}},
      {"Ctrl+Up", Q::LineScrollUp, {}},
      {"Down", Q::LineDown, {}},
      {"Shift+Down", Q::LineDownExtend, {}},
      {"Ctrl+Down", Q::LineScrollDown, {}},
      {"Left", Q::CharLeft, {}},
      {"Shift+Left", Q::CharLeftExtend, {}},
      {"Ctrl+Left", Q::WordLeft, {}},
      {"Ctrl+Shift+Left", Q::WordLeftExtend, {}},
      {"Right", Q::CharRight, {}},
      {"Shift+Right", Q::CharRightExtend, {}},
      {"Ctrl+Right", Q::WordRight, {}},
      {"Ctrl+Shift+Right", Q::WordRightExtend, {}},
      {"PgDown", -1, halfPage("PgDown", 1, false)},
      {"Shift+PgDown", -1, halfPage("Shift+PgDown", 1, true)},
      {"Ctrl+PgDown", -1, pageBottom("Ctrl+PgDown", false)},
      {"Ctrl+Shift+PgDown", -1, pageBottom("Ctrl+Shift+PgDown", true)},
      {"PgUp", -1, halfPage("PgUp", -1, false)},
      {"Shift+PgUp", -1, halfPage("Shift+PgUp", -1, true)},
      {"Ctrl+PgUp", -1, pageTop("Ctrl+PgUp", false)},
      {"Ctrl+Shift+PgUp", -1, pageTop("Ctrl+Shift+PgUp", true)},
      {"Home", Q::Home, {}},
      {"Shift+Home", Q::HomeExtend, {}},
      {"Ctrl+Home", Q::DocumentStart, {}},
      {"Ctrl+Shift+Home", Q::DocumentStartExtend, {}},
      {"End", Q::LineEnd, {}},
      {"Shift+End", Q::LineEndExtend, {}},
      {"Ctrl+End", Q::DocumentEnd, {}},
      {"Ctrl+Shift+End", Q::DocumentEndExtend, {}},
      {"Ins", Q::EditToggleOvertype, {}},
      {"Ctrl+Ins", Q::SelectionCopy, {}},
      {"Ctrl+C", Q::SelectionCopy, {}},
      {"Shift+Ins", Q::Paste, {}},
      {"Ctrl+V", Q::Paste, {}},
      {"Del", Q::Delete, {}},
      {"Shift+Del", Q::SelectionCut, {}},
      {"Ctrl+X", Q::SelectionCut, {}},
      {"Backspace", Q::DeleteBack, {}},
      {"Ctrl+Backspace", Q::DeleteWordLeft, {}},
      {"Alt+Backspace", Q::Undo, {}},
      {"Alt+Shift+Backspace", Q::Redo, {}},
      {"Return", Q::Newline, {}},
      {"Ctrl+M", Q::Newline, {}},
      {"Ctrl+A", Q::SelectAll, {}},
      {"Ctrl+Shift+I", -1,
       lineText("abc",
                [&] {
                  press("Ctrl+Shift+I");
                  EXPECT_EQ(c.text(), "  abc");
                })},
      {"Ctrl+Alt+N", -1,
       lineText("abcdef",
                [&] {
                  press("Ctrl+Alt+N");
                  EXPECT_EQ(c.text(), "abc\ndef");
                  EXPECT_EQ(c.Caret().Line, 1);
                  EXPECT_EQ(CaretIndex(), 3);
                })},
      {"Ctrl+T", Q::DeleteWordRight, {}},
      {"Ctrl+Shift+U", -1,
       lineText("    abc",
                [&] {
                  press("Ctrl+Shift+U");
                  EXPECT_EQ(c.text(), "  abc");
                })},
      {"Ctrl+Y", Q::LineDelete, {}},
      {"Ctrl+Shift+Y", Q::DeleteLineRight, {}},
  };
  for (int n = 0; n < 10; ++n) {
    static const char* const keys[] = {"Ctrl+0", "Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4",
                                       "Ctrl+5", "Ctrl+6", "Ctrl+7", "Ctrl+8", "Ctrl+9"};
    rows.push_back({keys[n], -1, gotoMarker(n)});
  }
  for (int n = 0; n < 10; ++n) {
    static const char* const keys[] = {
        "Ctrl+Shift+0", "Ctrl+Shift+1", "Ctrl+Shift+2", "Ctrl+Shift+3", "Ctrl+Shift+4",
        "Ctrl+Shift+5", "Ctrl+Shift+6", "Ctrl+Shift+7", "Ctrl+Shift+8", "Ctrl+Shift+9"};
    rows.push_back({keys[n], -1, setMarker(n)});
  }
  rows.insert(rows.end(), {
                              {"Ctrl+Shift+N", -1, mode("Ctrl+Shift+N", 0)},
                              {"Ctrl+Shift+C", -1,
                               [&] {
                                 // Column mode: the selection mode stays at stream.
                                 press("Ctrl+Shift+C");
                                 EXPECT_TRUE(c.ColumnMode());
                                 EXPECT_EQ(selectionMode(), 0);
                                 press("Ctrl+Shift+N");
                                 EXPECT_FALSE(c.ColumnMode());
                               }},
                              {"Ctrl+Shift+L", -1, mode("Ctrl+Shift+L", 2)},
                              {"Tab", Q::Tab, {}},
                              {"Shift+Tab", Q::Backtab, {}},
                              {"Ctrl+Shift+B", -1,
                               lineText("(abc)",
                                        [&] {
                                          c.setCursorPosition(0, 0);
                                          press("Ctrl+Shift+B");
                                          EXPECT_EQ(CaretIndex(), 4);
                                        })},
                              {"Ctrl+Space", -1,
                               [&] {
                                 QSignalSpy completion(&c, &TVexaEditControl::CompletionRequested);
                                 press("Ctrl+Space");
                                 EXPECT_EQ(completion.count(), 1);
                               }},
                          });
  ASSERT_EQ(rows.size(), 78u);  // the 77 bindings and the completion key
  EXPECT_EQ(EditorKeyBindings().size(), rows.size());

  QsciCommandSet* commands = control.standardCommands();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    const QKeyCombination k = QKeySequence(QString::fromLatin1(row.key))[0];
    if (row.scintilla >= 0) {
      QsciCommand* bound = commands->boundTo(k.toCombined());
      ASSERT_NE(bound, nullptr);
      EXPECT_EQ(int(bound->command()), row.scintilla);
    } else {
      EXPECT_EQ(commands->boundTo(k.toCombined()), nullptr);
      control.setText(NumberedLines(100));
      row.effect();
    }
  }
  // Nothing else of QScintilla's own table is left.
  int boundKeys = 0;
  for (QsciCommand* command : commands->commands()) {
    boundKeys += (command->key() != 0) + (command->alternateKey() != 0);
  }
  EXPECT_EQ(boundKeys, 42);
}

TEST_F(EditControlTest, KeysEditThroughTheKeyMap) {
  control.setText(QStringLiteral("one\ntwo\nthree"));
  control.setCursorPosition(1, 1);
  QTest::keyClick(&control, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(control.text(), "one\nthree");
  QTest::keyClick(&control, Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(control.text(), "one\ntwo\nthree");
  QTest::keyClick(&control, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(control.text(), "one\nthree");

  // Ctrl+Shift+3 on a layout that reports the shifted symbol: the scan code
  // of the digit row decides.
  control.setCursorPosition(1, 0);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_section, Qt::ControlModifier | Qt::ShiftModifier, 12, 0,
                  0, QStringLiteral("§"));
  QCoreApplication::sendEvent(&control, &press);
  ASSERT_TRUE(control.BookMark(3));
  EXPECT_EQ(control.BookMark(3)->Line, 2);
  EXPECT_EQ(control.text(), "one\nthree");

  // Shift+Tab arrives as Backtab.
  control.setText(QStringLiteral("    x"));
  control.setCursorPosition(0, 4);
  QTest::keyClick(&control, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(control.text(), "  x");

  QSignalSpy mode(&control, &TVexaEditControl::ModeChanged);
  QTest::keyClick(&control, Qt::Key_Insert);
  EXPECT_TRUE(control.overwriteMode());
  EXPECT_EQ(mode.count(), 1);
}

// Page keys move view and caret by half a page less one line, and the caret
// comes back to its column after a short line.
TEST_F(EditControlTest, PageKeysMoveHalfAPageKeepingTheColumn) {
  QStringList lines;
  for (int i = 1; i <= 100; ++i) lines << QStringLiteral("line number %1").arg(i);
  const int n = std::max(1, control.VisibleLineCount() / 2 - 1);
  ASSERT_GT(control.VisibleLineCount(), 4);
  lines[20 + n - 1] = QStringLiteral("x");  // the first stop is a short line
  control.setText(lines.join(u'\n'));
  control.setFirstVisibleLine(15);
  control.SetCaret({9, 20});

  QTest::keyClick(&control, Qt::Key_PageDown);
  EXPECT_EQ(control.Caret().Line, 20 + n);
  EXPECT_EQ(control.Caret().Column, 2);  // the end of "x"
  EXPECT_EQ(control.TopLine(), 16 + n);
  QTest::keyClick(&control, Qt::Key_PageDown);
  EXPECT_EQ(control.Caret().Line, 20 + 2 * n);
  EXPECT_EQ(control.Caret().Column, 9);
  EXPECT_EQ(control.TopLine(), 16 + 2 * n);

  // Shift extends the selection from where it started.
  QTest::keyClick(&control, Qt::Key_PageUp, Qt::ShiftModifier);
  QTest::keyClick(&control, Qt::Key_PageUp, Qt::ShiftModifier);
  int lineFrom, indexFrom, lineTo, indexTo;
  control.getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  EXPECT_EQ(lineFrom, 19);
  EXPECT_EQ(indexFrom, 8);
  EXPECT_EQ(lineTo, 19 + 2 * n);
  EXPECT_EQ(indexTo, 8);
  EXPECT_EQ(control.TopLine(), 16);

  // At the top the view stays, the caret still moves.
  control.setFirstVisibleLine(0);
  control.SetCaret({5, n + 3});
  QTest::keyClick(&control, Qt::Key_PageUp);
  EXPECT_EQ(control.TopLine(), 1);
  EXPECT_EQ(control.Caret().Line, 3);
  EXPECT_EQ(control.Caret().Column, 5);
}

// Tab goes to the next word start of the nearest line above that reaches
// past the caret; without one it indents as before.
TEST_F(EditControlTest, TabFollowsTheWordsOfTheLineAbove) {
  struct Case {
    const char* name;
    const char* text;
    int line, index;  // the caret, 0-based
    const char* after;
    int column;  // 1-based caret column after Tab
  } const cases[] = {
      {"word start far right", "label     value\nab", 1, 2, "label     value\nab        ", 11},
      {"short line above skipped", "a   b   c\nxy\nabcd", 2, 4, "a   b   c\nxy\nabcd    ", 9},
      {"tabs count as columns", "ab\t\tc\n", 1, 0, "ab\t\tc\n      ", 7},
      {"no line above: indent", "ab", 0, 2, "ab  ", 5},
      {"nearest line has no word start right: indent", "one two three\nabc def\nabcde", 2, 5,
       "one two three\nabc def\nabcde ", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    control.setText(QString::fromLatin1(c.text));
    control.setCursorPosition(c.line, c.index);
    QTest::keyClick(&control, Qt::Key_Tab);
    EXPECT_EQ(control.text(), QString::fromLatin1(c.after));
    EXPECT_EQ(control.Caret().Column, c.column);
  }
}

// A line the caret leaves after typing loses its trailing blanks in the same
// undo step as the typing; lines merely passed keep theirs.
TEST_F(EditControlTest, LeavingAnEditedLineTrimsItsTrailingBlanks) {
  const QString original = QStringLiteral("alpha\nbeta  \ngamma\t \ndelta");
  control.setText(original);
  control.SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
  control.setCursorPosition(0, 0);
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Up, Qt::Key_Up}) {
    QTest::keyClick(&control, key);
  }
  EXPECT_EQ(control.text(), original);

  control.setCursorPosition(0, 5);
  QTest::keyClicks(&control, QStringLiteral(" x  "));
  EXPECT_EQ(control.text(0), "alpha x  \n");  // kept while the caret is on it
  QTest::keyClick(&control, Qt::Key_Down);
  EXPECT_EQ(control.text(), "alpha x\nbeta  \ngamma\t \ndelta");

  // One undo takes back typing and trim, one redo brings both again.
  QTest::keyClick(&control, Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(control.text(), original);
  QTest::keyClick(&control, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(control.text(), "alpha x\nbeta  \ngamma\t \ndelta");
  // Undo from outside the keys completes on the next turn of the loop.
  control.undo();
  QCoreApplication::processEvents();
  EXPECT_EQ(control.text(), original);
  EXPECT_FALSE(control.isUndoAvailable());

  // Typing inside a line with blanks at its end, then leaving it by mouse.
  control.setCursorPosition(1, 2);
  QTest::keyClicks(&control, QStringLiteral("e"));
  QTest::mouseClick(control.viewport(), Qt::LeftButton, {}, LinePoint(4, 60));
  EXPECT_EQ(control.text(), "alpha\nbeeta\ngamma\t \ndelta");

  // A line break: the line it ends is trimmed when the caret moves down.
  control.setText(original);
  control.setCursorPosition(1, 6);
  QTest::keyClick(&control, Qt::Key_Return);
  EXPECT_EQ(control.text(), "alpha\nbeta\n\ngamma\t \ndelta");

  // A deleted line brings the next one under the caret unedited.
  control.setText(original);
  control.setCursorPosition(0, 0);
  QTest::keyClick(&control, Qt::Key_Y, Qt::ControlModifier);
  QTest::keyClick(&control, Qt::Key_Down);
  EXPECT_EQ(control.text(), "beta  \ngamma\t \ndelta");
}

}  // namespace
}  // namespace vexa::ide
