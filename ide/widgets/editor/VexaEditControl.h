#pragma once

// The text control of every source editor: a QScintilla editor with a gutter
// of two symbol margins (bookmarks 0..9, and one line marker 1..8 per line
// that the owner supplies), whole-line colours the owner chooses, the key
// table of the source editor, and a gutter click that toggles a breakpoint.
// A context menu requested by mouse first puts the caret at the click.

#include "model/core/VexaIntfs.h"

#include <Qsci/qsciscintilla.h>

#include <QImage>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vexa::ide {

// The commands of the key table.
enum class TEditorCommand {
  Up,
  SelUp,
  ScrollUp,
  Down,
  SelDown,
  ScrollDown,
  Left,
  SelLeft,
  WordLeft,
  SelWordLeft,
  Right,
  SelRight,
  WordRight,
  SelWordRight,
  PageDown,
  SelPageDown,
  PageBottom,
  SelPageBottom,
  PageUp,
  SelPageUp,
  PageTop,
  SelPageTop,
  LineStart,
  SelLineStart,
  EditorTop,
  SelEditorTop,
  LineEnd,
  SelLineEnd,
  EditorBottom,
  SelEditorBottom,
  ToggleMode,
  Copy,
  Paste,
  DeleteChar,
  Cut,
  DeleteLastChar,
  DeleteLastWord,
  Undo,
  Redo,
  LineBreak,
  SelectAll,
  BlockIndent,
  InsertLine,
  DeleteWord,
  BlockUnindent,
  DeleteLine,
  DeleteEOL,
  GotoMarker,
  SetMarker,
  NormalSelect,
  ColumnSelect,
  LineSelect,
  Tab,
  ShiftTab,
  MatchBracket,
  Completion,
};

// One key of the table. Key is a Qt key code with modifiers (Qt::CTRL | ...).
// Scintilla commands go through QScintilla's key map, the others (Scintilla
// is -1) are the control's own.
struct TKeyBinding {
  TEditorCommand Command;
  int Arg;  // the bookmark of GotoMarker and SetMarker
  int Key;
  int Scintilla;
};

// Every binding of the source editor, the completion key last.
const std::vector<TKeyBinding>& EditorKeyBindings();

class TVexaEditControl : public QsciScintilla {
  Q_OBJECT

 public:
  static constexpr int kBookmarkCount = 10;
  static constexpr int kGlyphWidth = 11;
  static constexpr int kGlyphHeight = 14;
  static constexpr int kBookmarkMargin = 0;
  static constexpr int kMarkerMargin = 1;
  static constexpr int kBookmarkMarginWidth = 16;
  static constexpr int kMarkerMarginWidth = 18;  // gutter 34 wide in all
  // Line looks 1..4 (the owner's colour kinds); 0 is the normal look.
  static constexpr int kLineLookCount = 4;

  explicit TVexaEditControl(QWidget* Parent = nullptr);

  // Glyph 0..17: bookmarks 0..9, then line markers 1..8 (glyph = marker + 9).
  static const QImage& Glyph(int Index);

  // Line marker 1..8 of a line (1-based), asked for every painted line.
  std::function<int(int Line)> OnGetLineMarker;
  // The look 0..kLineLookCount of a line, asked with the line marker.
  std::function<int(int Line)> OnGetLineLook;
  // Colours of look 1..kLineLookCount; an invalid colour leaves that part
  // as the control draws it.
  void DefineLineLook(int Look, const QColor& Background, const QColor& Foreground);

  // Asks the owner again for the lines First..Last (1-based, clamped) and
  // updates their markers and colours; Line -1 of RepaintLine means all.
  void RefreshLines(int First, int Last);
  void RepaintLine(int Line);
  // The marker and look now shown on a line.
  int ShownLineMarker(int Line) const;
  int ShownLineLook(int Line) const;

  // Bookmarks 0..9 at a text position (1-based column and line). Set and on
  // Pos's line: cleared; else set at Pos. Other numbers do nothing.
  void ToggleBookMark(int BookMark, TCaretPos Pos);
  std::optional<TCaretPos> BookMark(int BookMark) const;
  void GotoBookMark(int BookMark);
  // Bit n set when bookmark n is set.
  quint32 GetBookMarkMask() const;
  // The bookmark whose glyph a line shows (of several the lowest), -1 none.
  int ShownBookMark(int Line) const;

  void SetGutterVisible(bool Visible);
  bool GutterVisible() const { return gutterVisible_; }
  int GutterWidth() const;

  // Caret, 1-based; Column counts display columns (tabs expanded).
  TCaretPos Caret() const;
  void SetCaret(TCaretPos Pos);
  int LineCount() const { return lines(); }
  int TopLine() const;  // 1-based
  int VisibleLineCount() const;

  // Runs a command of the key table.
  void ExecuteCommand(TEditorCommand Command, int Arg = 0);
  // Set by ColumnSelect, cleared by NormalSelect and LineSelect: the
  // selecting keys make a block.
  bool ColumnMode() const { return columnMode_; }

 signals:
  // A left press and release on one gutter line (the caret stands on it).
  void ToggleBreakpoint();
  // Line ends inserted or deleted, as the module's breakpoint lines follow them.
  void LinesInserted(int FirstLine, int Count);
  void LinesDeleted(int FirstLine, int Count);
  // Ctrl+Space.
  void CompletionRequested();
  // Insert and overwrite mode switched by the user.
  void ModeChanged();

 protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void inputMethodEvent(QInputMethodEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

 private:
  std::optional<TKeyBinding> OwnBinding(const QKeyEvent* Event) const;
  int LineAtY(int Y) const;  // 1-based
  bool InGutter(int X) const;
  void OnModified(int Position, int Type, const char* Text, int Length, int LinesAdded, int Token);
  void MoveToLine(int Line, bool Extend);
  // A right click in the text moves the caret there unless it hits the
  // selection; in the gutter to the start of the line.
  void CaretToContextClick(QPoint Pos);
  bool InSelection(long Pos);
  // Column mode: a selecting command extends the block; false for others.
  bool ExtendBlock(TEditorCommand Command);
  // The block from its anchor to where the plain move Message takes the caret.
  void BlockTo(unsigned int Message);
  // Stream selection, caret moves not extending it.
  void SetStreamSelection();
  void IndentSelection(bool Indent);
  // Page keys: view and caret move by half a page less one line.
  void HalfPage(bool Down, bool Extend);
  // Tab to the next word start of the nearest longer line above; false when
  // there is none and Tab indents as usual.
  bool SmartTab();
  // The caret line is watched: once the caret has left a line that typing
  // changed, that line loses its trailing blanks.
  void CaretLineChecked();
  void TrimTrailingBlanks(int Line);  // 0-based
  // A trim undone or redone on its own takes the edit before it along.
  void RunPairedUndo();

  // Counts nested user input (keys, input method) whose edits mark lines.
  class TUserInput {
   public:
    explicit TUserInput(TVexaEditControl& Control);
    ~TUserInput();
    TUserInput(const TUserInput&) = delete;
    TUserInput& operator=(const TUserInput&) = delete;

   private:
    TVexaEditControl& control_;
  };

  std::array<int, kBookmarkCount> bookmarkHandles_;
  std::array<int, kBookmarkCount> bookmarkColumns_{};
  std::array<QColor, kLineLookCount + 1> lookForeground_;
  std::array<bool, kLineLookCount + 1> lookBackground_{};
  int pressedGutterLine_ = -1;
  bool gutterVisible_ = true;
  bool columnMode_ = false;
  bool inModification_ = false;
  bool refreshPending_ = false;

  int userInput_ = 0;
  int caretLineHandle_ = -1;  // marker on the watched caret line
  bool caretLineEdited_ = false;
  bool lineEndTyped_ = false;  // the current input inserted a line end
  int touchedFirst_ = -1;      // lines changed by the current input, 0-based
  int touchedLast_ = -1;
  bool trimming_ = false;
  bool groupHasTrim_ = false;    // the undo group being undone or redone
  std::vector<bool> redoTrims_;  // per redo group, top last: is it a trim
  enum class TPairedUndo { None, Undo, Redo } pairedUndo_ = TPairedUndo::None;
  bool pairing_ = false;
};

// The whole text of a control and its replacement, every character kept:
// QsciScintilla's text() and setText() end the text at its first NUL.
QString WholeText(const QsciScintilla* Control);
// Leaves the caret at the start; the undo history stays.
void SetWholeText(QsciScintilla* Control, const QString& Text);

}  // namespace vexa::ide
