#include "widgets/editor/VexaEditControl.h"

#include "model/text/SpecialLines.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStringDecoder>
#include <QTimer>

namespace vexa::ide {

namespace {

// Bookmark n is marker 9 - n: Scintilla draws higher numbers on top, so of
// several bookmarks on a line the lowest number shows.
int BookmarkMarkerNumber(int BookMark) { return 9 - BookMark; }
int LineMarkerNumber(int Marker) { return 9 + Marker; }
int LookMarkerNumber(int Look) { return 17 + Look; }
int LookIndicator(int Look) { return 7 + Look; }

constexpr unsigned kBookmarkMask = 0x3FFu;         // markers 0..9
constexpr unsigned kLineMarkerMask = 0xFFu << 10;  // markers 10..17
constexpr unsigned kLookMask = 0xFu << 18;         // markers 18..21

// An invisible marker that follows the watched caret line.
constexpr int kCaretLineMarker = 24;
// Tags the undo group of a trim of trailing blanks.
constexpr int kTrimToken = 0x7472;

bool IsBlank(long Char) { return Char == ' ' || Char == '\t'; }

// X keyboards report the digit row as scan codes 10 ("1") .. 19 ("0").
constexpr quint32 kScanCodeDigit1 = 10;

using C = TEditorCommand;
using Q = QsciCommand;

std::vector<TKeyBinding> MakeBindings() {
  const int ctrl = Qt::CTRL, shift = Qt::SHIFT, alt = Qt::ALT;
  std::vector<TKeyBinding> b = {
      {C::Up, 0, Qt::Key_Up, Q::LineUp},
      {C::SelUp, 0, shift | Qt::Key_Up, Q::LineUpExtend},
      {C::ScrollUp, 0, ctrl | Qt::Key_Up, Q::LineScrollUp},
      {C::Down, 0, Qt::Key_Down, Q::LineDown},
      {C::SelDown, 0, shift | Qt::Key_Down, Q::LineDownExtend},
      {C::ScrollDown, 0, ctrl | Qt::Key_Down, Q::LineScrollDown},
      {C::Left, 0, Qt::Key_Left, Q::CharLeft},
      {C::SelLeft, 0, shift | Qt::Key_Left, Q::CharLeftExtend},
      {C::WordLeft, 0, ctrl | Qt::Key_Left, Q::WordLeft},
      {C::SelWordLeft, 0, ctrl | shift | Qt::Key_Left, Q::WordLeftExtend},
      {C::Right, 0, Qt::Key_Right, Q::CharRight},
      {C::SelRight, 0, shift | Qt::Key_Right, Q::CharRightExtend},
      {C::WordRight, 0, ctrl | Qt::Key_Right, Q::WordRight},
      {C::SelWordRight, 0, ctrl | shift | Qt::Key_Right, Q::WordRightExtend},
      {C::PageDown, 0, Qt::Key_PageDown, -1},
      {C::SelPageDown, 0, shift | Qt::Key_PageDown, -1},
      {C::PageBottom, 0, ctrl | Qt::Key_PageDown, -1},
      {C::SelPageBottom, 0, ctrl | shift | Qt::Key_PageDown, -1},
      {C::PageUp, 0, Qt::Key_PageUp, -1},
      {C::SelPageUp, 0, shift | Qt::Key_PageUp, -1},
      {C::PageTop, 0, ctrl | Qt::Key_PageUp, -1},
      {C::SelPageTop, 0, ctrl | shift | Qt::Key_PageUp, -1},
      {C::LineStart, 0, Qt::Key_Home, Q::Home},
      {C::SelLineStart, 0, shift | Qt::Key_Home, Q::HomeExtend},
      {C::EditorTop, 0, ctrl | Qt::Key_Home, Q::DocumentStart},
      {C::SelEditorTop, 0, ctrl | shift | Qt::Key_Home, Q::DocumentStartExtend},
      {C::LineEnd, 0, Qt::Key_End, Q::LineEnd},
      {C::SelLineEnd, 0, shift | Qt::Key_End, Q::LineEndExtend},
      {C::EditorBottom, 0, ctrl | Qt::Key_End, Q::DocumentEnd},
      {C::SelEditorBottom, 0, ctrl | shift | Qt::Key_End, Q::DocumentEndExtend},
      {C::ToggleMode, 0, Qt::Key_Insert, Q::EditToggleOvertype},
      {C::Copy, 0, ctrl | Qt::Key_Insert, Q::SelectionCopy},
      {C::Copy, 0, ctrl | Qt::Key_C, Q::SelectionCopy},
      {C::Paste, 0, shift | Qt::Key_Insert, Q::Paste},
      {C::Paste, 0, ctrl | Qt::Key_V, Q::Paste},
      {C::DeleteChar, 0, Qt::Key_Delete, Q::Delete},
      {C::Cut, 0, shift | Qt::Key_Delete, Q::SelectionCut},
      {C::Cut, 0, ctrl | Qt::Key_X, Q::SelectionCut},
      {C::DeleteLastChar, 0, Qt::Key_Backspace, Q::DeleteBack},
      {C::DeleteLastWord, 0, ctrl | Qt::Key_Backspace, Q::DeleteWordLeft},
      {C::Undo, 0, alt | Qt::Key_Backspace, Q::Undo},
      {C::Redo, 0, alt | shift | Qt::Key_Backspace, Q::Redo},
      {C::LineBreak, 0, Qt::Key_Return, Q::Newline},
      {C::LineBreak, 0, ctrl | Qt::Key_M, Q::Newline},
      {C::SelectAll, 0, ctrl | Qt::Key_A, Q::SelectAll},
      {C::BlockIndent, 0, ctrl | shift | Qt::Key_I, -1},
      {C::InsertLine, 0, ctrl | alt | Qt::Key_N, -1},
      {C::DeleteWord, 0, ctrl | Qt::Key_T, Q::DeleteWordRight},
      {C::BlockUnindent, 0, ctrl | shift | Qt::Key_U, -1},
      {C::DeleteLine, 0, ctrl | Qt::Key_Y, Q::LineDelete},
      {C::DeleteEOL, 0, ctrl | shift | Qt::Key_Y, Q::DeleteLineRight},
  };
  for (int n = 0; n < TVexaEditControl::kBookmarkCount; ++n) {
    b.push_back({C::GotoMarker, n, ctrl | (Qt::Key_0 + n), -1});
  }
  for (int n = 0; n < TVexaEditControl::kBookmarkCount; ++n) {
    b.push_back({C::SetMarker, n, ctrl | shift | (Qt::Key_0 + n), -1});
  }
  b.insert(b.end(), {
                        {C::NormalSelect, 0, ctrl | shift | Qt::Key_N, -1},
                        {C::ColumnSelect, 0, ctrl | shift | Qt::Key_C, -1},
                        {C::LineSelect, 0, ctrl | shift | Qt::Key_L, -1},
                        {C::Tab, 0, Qt::Key_Tab, Q::Tab},
                        {C::ShiftTab, 0, shift | Qt::Key_Tab, Q::Backtab},
                        {C::MatchBracket, 0, ctrl | shift | Qt::Key_B, -1},
                        {C::Completion, 0, ctrl | Qt::Key_Space, -1},
                    });
  return b;
}

int KeyOf(const QKeyEvent* Event) {
  const Qt::KeyboardModifiers mods =
      Event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  return Event->key() | int(mods);
}

QImage MakeGlyph(int Index) {
  QImage image(TVexaEditControl::kGlyphWidth, TVexaEditControl::kGlyphHeight,
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0.5, 1.5, 10, 11);
  if (Index < TVexaEditControl::kBookmarkCount) {
    // A filled tag with the number: opaque, so it covers the glyph below.
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(255, 255, 160));
    p.drawRoundedRect(box, 2, 2);
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, QString::number(Index));
    return image;
  }
  const int marker = Index - 9;
  const QRectF dot(1, 3, 9, 9);
  const QColor red(220, 0, 0), green(0, 160, 0), blue(0, 0, 200);
  auto arrow = [&p](const QColor& color) {
    const QPointF points[] = {{1, 4.5}, {5, 4.5}, {5, 1.5}, {10, 7}, {5, 12.5}, {5, 9.5}, {1, 9.5}};
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(color);
    p.drawPolygon(points, 7);
  };
  switch (marker) {
    case 1:  // spare: an outlined arrow
      arrow(Qt::white);
      break;
    case LineMarkerBreakpointCode:
      p.setPen(Qt::darkRed);
      p.setBrush(red);
      p.drawEllipse(dot);
      p.setPen(QPen(Qt::white, 1.5));
      p.drawLine(QPointF(3, 7.5), QPointF(5, 9.5));
      p.drawLine(QPointF(5, 9.5), QPointF(8, 5));
      break;
    case LineMarkerBreakpointNoCode:
      p.setPen(Qt::darkRed);
      p.setBrush(red);
      p.drawEllipse(dot);
      p.setPen(QPen(Qt::white, 1.5));
      p.drawLine(QPointF(3.5, 5.5), QPointF(7.5, 9.5));
      p.drawLine(QPointF(7.5, 5.5), QPointF(3.5, 9.5));
      break;
    case LineMarkerBreakpointUnknown:
      p.setPen(Qt::darkRed);
      p.setBrush(red);
      p.drawEllipse(dot);
      break;
    case LineMarkerExecutionBreakpoint:
      p.setPen(Qt::darkRed);
      p.setBrush(red);
      p.drawEllipse(dot);
      arrow(green);
      break;
    case LineMarkerCode:
      p.setPen(Qt::NoPen);
      p.setBrush(blue);
      p.drawEllipse(QRectF(3.5, 5.5, 4, 4));
      break;
    case LineMarkerExecution: arrow(green); break;
    case LineMarkerError:
      p.setPen(QPen(Qt::black, 0.8));
      p.setBrush(QColor(255, 200, 0));
      {
        const QPointF points[] = {{5.5, 1.5}, {10.5, 12.5}, {0.5, 12.5}};
        p.drawPolygon(points, 3);
      }
      p.setPen(QPen(Qt::black, 1.4));
      p.drawLine(QPointF(5.5, 5), QPointF(5.5, 9));
      p.drawPoint(QPointF(5.5, 11));
      break;
    default: break;
  }
  return image;
}

}  // namespace

const std::vector<TKeyBinding>& EditorKeyBindings() {
  static const std::vector<TKeyBinding> bindings = MakeBindings();
  return bindings;
}

const QImage& TVexaEditControl::Glyph(int Index) {
  static const std::array<QImage, 18> glyphs = [] {
    std::array<QImage, 18> g;
    for (int i = 0; i < 18; ++i) g[i] = MakeGlyph(i);
    return g;
  }();
  return glyphs[std::clamp(Index, 0, 17)];
}

TVexaEditControl::TVexaEditControl(QWidget* Parent) : QsciScintilla(Parent) {
  bookmarkHandles_.fill(-1);
  // Indents of two spaces; Tab inserts them too.
  setTabWidth(2);
  setIndentationWidth(2);
  setIndentationsUseTabs(false);
  setTabIndents(true);
  setUtf8(true);

  // Key table: nothing of QScintilla's own, then ours (a command with two
  // keys has one as its key and one as its alternate).
  QsciCommandSet* commands = standardCommands();
  commands->clearKeys();
  commands->clearAlternateKeys();
  for (const TKeyBinding& b : EditorKeyBindings()) {
    if (b.Scintilla < 0) continue;
    QsciCommand* command = commands->find(static_cast<QsciCommand::Command>(b.Scintilla));
    if (!command) continue;
    if (command->key() == 0) {
      command->setKey(b.Key);
    } else {
      command->setAlternateKey(b.Key);
    }
  }

  // Gutter: bookmarks, then line markers; no line numbers, no folding.
  setMarginType(kBookmarkMargin, SymbolMargin);
  setMarginType(kMarkerMargin, SymbolMargin);
  setMarginMarkerMask(kBookmarkMargin, int(kBookmarkMask));
  setMarginMarkerMask(kMarkerMargin, int(kLineMarkerMask));
  setMarginSensitivity(kBookmarkMargin, true);
  setMarginSensitivity(kMarkerMargin, true);
  for (int m = 2; m < margins(); ++m) {
    setMarginWidth(m, 0);
    setMarginMarkerMask(m, 0);
  }
  for (int n = 0; n < kBookmarkCount; ++n) markerDefine(Glyph(n), BookmarkMarkerNumber(n));
  for (int m = 1; m <= 8; ++m) markerDefine(Glyph(m + 9), LineMarkerNumber(m));
  for (int look = 1; look <= kLineLookCount; ++look) {
    markerDefine(Background, LookMarkerNumber(look));
    indicatorDefine(TextColorIndicator, LookIndicator(look));
  }
  SetGutterVisible(true);

  SendScintilla(SCI_MARKERDEFINE, kCaretLineMarker, SC_MARK_EMPTY);

  // Mouse context menu requests arrive at the viewport, keyboard ones here.
  viewport()->installEventFilter(this);

  connect(
      this, &QsciScintillaBase::SCN_MODIFIED, this,
      [this](int position, int type, const char* text, int length, int linesAdded, int, int, int,
             int token, int) { OnModified(position, type, text, length, linesAdded, token); });
}

void TVexaEditControl::DefineLineLook(int Look, const QColor& Background,
                                      const QColor& Foreground) {
  if (Look < 1 || Look > kLineLookCount) return;
  lookBackground_[Look] = Background.isValid();
  if (Background.isValid()) setMarkerBackgroundColor(Background, LookMarkerNumber(Look));
  lookForeground_[Look] = Foreground;
  if (Foreground.isValid()) setIndicatorForegroundColor(Foreground, LookIndicator(Look));
  RepaintLine(-1);
}

void TVexaEditControl::RefreshLines(int First, int Last) {
  First = std::max(First, 1);
  Last = std::min(Last, lines());
  for (int line = First; line <= Last; ++line) {
    const int l = line - 1;
    int marker = OnGetLineMarker ? OnGetLineMarker(line) : 0;
    if (marker < 0 || marker > 8) marker = 0;
    int look = OnGetLineLook ? OnGetLineLook(line) : 0;
    if (look < 0 || look > kLineLookCount) look = 0;

    unsigned wanted = marker ? 1u << LineMarkerNumber(marker) : 0u;
    if (look && lookBackground_[look]) wanted |= 1u << LookMarkerNumber(look);
    const unsigned shown = markersAtLine(l) & (kLineMarkerMask | kLookMask);
    if (shown != wanted) {
      for (int n = 10; n <= 21; ++n) {
        const unsigned bit = 1u << n;
        if ((shown & bit) && !(wanted & bit)) markerDelete(l, n);
        if (!(shown & bit) && (wanted & bit)) markerAdd(l, n);
      }
    }

    // The text colour spans the line's text.
    const long start = SendScintilla(SCI_POSITIONFROMLINE, l);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, l);
    if (end <= start) continue;
    for (int k = 1; k <= kLineLookCount; ++k) {
      const int indicator = LookIndicator(k);
      const bool want = k == look && lookForeground_[k].isValid();
      SendScintilla(SCI_SETINDICATORCURRENT, indicator);
      const bool atStart = SendScintilla(SCI_INDICATORVALUEAT, indicator, start) != 0;
      const bool whole = atStart && SendScintilla(SCI_INDICATOREND, indicator, start) >= end;
      const bool elsewhere = !atStart && SendScintilla(SCI_INDICATOREND, indicator, start) < end;
      if (want && !whole) {
        SendScintilla(SCI_INDICATORFILLRANGE, start, end - start);
      } else if (!want && (atStart || elsewhere)) {
        SendScintilla(SCI_INDICATORCLEARRANGE, start, end - start);
      }
    }
  }
}

void TVexaEditControl::RepaintLine(int Line) {
  if (inModification_) {
    // Scintilla is inside a change: markers wait for the next turn.
    if (!refreshPending_) {
      refreshPending_ = true;
      QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        RefreshLines(1, lines());
      });
    }
    return;
  }
  if (Line < 0) {
    RefreshLines(1, lines());
  } else {
    RefreshLines(Line, Line);
  }
  viewport()->update();
}

int TVexaEditControl::ShownLineMarker(int Line) const {
  const unsigned shown = markersAtLine(Line - 1);
  for (int m = 1; m <= 8; ++m) {
    if (shown & (1u << LineMarkerNumber(m))) return m;
  }
  return 0;
}

int TVexaEditControl::ShownLineLook(int Line) const {
  const unsigned shown = markersAtLine(Line - 1);
  const long start =
      const_cast<TVexaEditControl*>(this)->SendScintilla(SCI_POSITIONFROMLINE, Line - 1);
  for (int k = 1; k <= kLineLookCount; ++k) {
    if (shown & (1u << LookMarkerNumber(k))) return k;
    if (const_cast<TVexaEditControl*>(this)->SendScintilla(SCI_INDICATORVALUEAT, LookIndicator(k),
                                                           start)) {
      return k;
    }
  }
  return 0;
}

void TVexaEditControl::ToggleBookMark(int BookMark, TCaretPos Pos) {
  if (BookMark < 0 || BookMark >= kBookmarkCount) return;
  int& handle = bookmarkHandles_[BookMark];
  const int oldLine = handle >= 0 ? markerLine(handle) : -1;
  if (handle >= 0) {
    markerDeleteHandle(handle);
    handle = -1;
  }
  if (oldLine >= 0 && oldLine == Pos.Line - 1) return;
  const int line = std::clamp(Pos.Line, 1, lines()) - 1;
  handle = markerAdd(line, BookmarkMarkerNumber(BookMark));
  bookmarkColumns_[BookMark] = std::max(Pos.Column, 1);
}

std::optional<TCaretPos> TVexaEditControl::BookMark(int BookMark) const {
  if (BookMark < 0 || BookMark >= kBookmarkCount || bookmarkHandles_[BookMark] < 0) {
    return std::nullopt;
  }
  const int line = markerLine(bookmarkHandles_[BookMark]);
  if (line < 0) return std::nullopt;
  return TCaretPos{bookmarkColumns_[BookMark], line + 1};
}

void TVexaEditControl::GotoBookMark(int BookMark) {
  if (auto pos = this->BookMark(BookMark)) {
    const long column =
        SendScintilla(SCI_FINDCOLUMN, static_cast<unsigned long>(pos->Line - 1), pos->Column - 1);
    SendScintilla(SCI_GOTOPOS, column);
  }
}

quint32 TVexaEditControl::GetBookMarkMask() const {
  quint32 mask = 0;
  for (int n = 0; n < kBookmarkCount; ++n) {
    if (BookMark(n)) mask |= 1u << n;
  }
  return mask;
}

int TVexaEditControl::ShownBookMark(int Line) const {
  const unsigned shown = markersAtLine(Line - 1);
  for (int n = 0; n < kBookmarkCount; ++n) {
    if (shown & (1u << BookmarkMarkerNumber(n))) return n;
  }
  return -1;
}

void TVexaEditControl::SetGutterVisible(bool Visible) {
  gutterVisible_ = Visible;
  setMarginWidth(kBookmarkMargin, Visible ? kBookmarkMarginWidth : 0);
  setMarginWidth(kMarkerMargin, Visible ? kMarkerMarginWidth : 0);
}

int TVexaEditControl::GutterWidth() const {
  return gutterVisible_ ? kBookmarkMarginWidth + kMarkerMarginWidth : 0;
}

TCaretPos TVexaEditControl::Caret() const {
  auto* self = const_cast<TVexaEditControl*>(this);
  const long pos = self->SendScintilla(SCI_GETCURRENTPOS);
  const int line = int(self->SendScintilla(SCI_LINEFROMPOSITION, pos));
  const int column = int(self->SendScintilla(SCI_GETCOLUMN, pos));
  return {column + 1, line + 1};
}

void TVexaEditControl::SetCaret(TCaretPos Pos) {
  const int line = std::clamp(Pos.Line, 1, lines()) - 1;
  const long pos =
      SendScintilla(SCI_FINDCOLUMN, static_cast<unsigned long>(line), std::max(Pos.Column, 1) - 1);
  SendScintilla(SCI_GOTOPOS, pos);
  SendScintilla(SCI_CHOOSECARETX);  // the column that Up and Down keep
  if (!userInput_) CaretLineChecked();
}

int TVexaEditControl::TopLine() const {
  auto* self = const_cast<TVexaEditControl*>(this);
  return int(self->SendScintilla(SCI_DOCLINEFROMVISIBLE,
                                 self->SendScintilla(SCI_GETFIRSTVISIBLELINE))) +
         1;
}

int TVexaEditControl::VisibleLineCount() const {
  return int(const_cast<TVexaEditControl*>(this)->SendScintilla(SCI_LINESONSCREEN));
}

void TVexaEditControl::MoveToLine(int Line, bool Extend) {
  Line = std::clamp(Line, 1, lines());
  if (Extend && columnMode_) {
    const int from = Caret().Line;
    const unsigned int step = Line > from ? SCI_LINEDOWNRECTEXTEND : SCI_LINEUPRECTEXTEND;
    for (int i = std::abs(Line - from); i > 0; --i) SendScintilla(step);
    return;
  }
  const int column = Caret().Column;
  const long pos = SendScintilla(SCI_FINDCOLUMN, static_cast<unsigned long>(Line - 1), column - 1);
  if (Extend) {
    SendScintilla(SCI_SETCURRENTPOS, pos);
    SendScintilla(SCI_SCROLLCARET);
  } else {
    SendScintilla(SCI_GOTOPOS, pos);
  }
}

void TVexaEditControl::IndentSelection(bool Indent) {
  int lineFrom, indexFrom, lineTo, indexTo;
  getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  if (lineFrom < 0) {
    int line, index;
    getCursorPosition(&line, &index);
    lineFrom = lineTo = line;
  } else if (indexTo == 0 && lineTo > lineFrom) {
    --lineTo;  // a selection ending at a line start leaves that line alone
  }
  beginUndoAction();
  for (int line = lineFrom; line <= lineTo; ++line) {
    if (Indent) {
      indent(line);
    } else {
      unindent(line);
    }
  }
  endUndoAction();
}

void TVexaEditControl::HalfPage(bool Down, bool Extend) {
  const int n = std::max(1, VisibleLineCount() / 2 - 1);
  const long top = SendScintilla(SCI_GETFIRSTVISIBLELINE);
  // Line by line, so that Scintilla keeps the column the caret came from.
  const unsigned int step = !Extend       ? (Down ? SCI_LINEDOWN : SCI_LINEUP)
                            : columnMode_ ? (Down ? SCI_LINEDOWNRECTEXTEND : SCI_LINEUPRECTEXTEND)
                                          : (Down ? SCI_LINEDOWNEXTEND : SCI_LINEUPEXTEND);
  for (int i = 0; i < n; ++i) SendScintilla(step);
  SendScintilla(SCI_SETFIRSTVISIBLELINE, std::max(0L, top + (Down ? n : -n)));
  const long caretLine = SendScintilla(SCI_VISIBLEFROMDOCLINE, Caret().Line - 1);
  const long newTop = SendScintilla(SCI_GETFIRSTVISIBLELINE);
  if (caretLine < newTop || caretLine >= newTop + VisibleLineCount()) {
    SendScintilla(SCI_SCROLLCARET);
  }
}

bool TVexaEditControl::SmartTab() {
  if (isReadOnly() || !SendScintilla(SCI_GETSELECTIONEMPTY) ||
      SendScintilla(SCI_GETSELECTIONS) != 1 || SendScintilla(SCI_AUTOCACTIVE) || isListActive()) {
    return false;
  }
  const TCaretPos caret = Caret();
  const int column = caret.Column - 1;
  for (int line = caret.Line - 2; line >= 0; --line) {
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    if (SendScintilla(SCI_GETCOLUMN, end) <= column) continue;
    // The nearest line reaching past the caret: its next word start.
    bool afterBlank = false;
    for (long pos = SendScintilla(SCI_POSITIONFROMLINE, line); pos < end;
         pos = SendScintilla(SCI_POSITIONAFTER, pos)) {
      const bool blank = IsBlank(SendScintilla(SCI_GETCHARAT, pos));
      if (!blank && afterBlank) {
        const long target = SendScintilla(SCI_GETCOLUMN, pos);
        if (target > column) {
          const QByteArray pad(int(target - column), ' ');
          SendScintilla(SCI_REPLACESEL, 0UL, pad.constData());
          return true;
        }
      }
      afterBlank = blank;
    }
    return false;
  }
  return false;
}

TVexaEditControl::TUserInput::TUserInput(TVexaEditControl& Control) : control_(Control) {
  if (control_.userInput_++ == 0) control_.CaretLineChecked();
}

TVexaEditControl::TUserInput::~TUserInput() {
  if (--control_.userInput_ == 0) {
    control_.RunPairedUndo();
    control_.CaretLineChecked();
    control_.touchedFirst_ = control_.touchedLast_ = -1;
    // Typing after a line end starts a new undo step: one undo takes back
    // at most a line. Inside an undo group this does nothing.
    if (std::exchange(control_.lineEndTyped_, false)) {
      control_.SendScintilla(SCI_BEGINUNDOACTION);
      control_.SendScintilla(SCI_ENDUNDOACTION);
    }
  }
}

void TVexaEditControl::CaretLineChecked() {
  const int line = Caret().Line - 1;
  const int watched =
      caretLineHandle_ >= 0 ? int(SendScintilla(SCI_MARKERLINEFROMHANDLE, caretLineHandle_)) : -1;
  if (watched == line && caretLineHandle_ >= 0) return;
  if (watched >= 0 && caretLineEdited_) TrimTrailingBlanks(watched);
  if (caretLineHandle_ >= 0) SendScintilla(SCI_MARKERDELETEHANDLE, caretLineHandle_);
  caretLineHandle_ = int(SendScintilla(SCI_MARKERADD, line, kCaretLineMarker));
  // A line the input itself made (a line break) counts as edited.
  caretLineEdited_ = touchedFirst_ >= 0 && line >= touchedFirst_ && line <= touchedLast_;
}

void TVexaEditControl::TrimTrailingBlanks(int Line) {
  if (isReadOnly() || Line >= lines()) return;
  const long start = SendScintilla(SCI_POSITIONFROMLINE, Line);
  const long end = SendScintilla(SCI_GETLINEENDPOSITION, Line);
  long from = end;
  while (from > start && IsBlank(SendScintilla(SCI_GETCHARAT, from - 1))) --from;
  if (from == end) return;
  // Its own undo group, tagged; undo and redo take the edit before it along.
  trimming_ = true;
  SendScintilla(SCI_BEGINUNDOACTION);
  SendScintilla(SCI_DELETERANGE, from, end - from);
  SendScintilla(SCI_ADDUNDOACTION, kTrimToken, 0L);
  SendScintilla(SCI_ENDUNDOACTION);
  trimming_ = false;
}

void TVexaEditControl::RunPairedUndo() {
  const TPairedUndo what = std::exchange(pairedUndo_, TPairedUndo::None);
  if (what == TPairedUndo::None) return;
  pairing_ = true;
  SendScintilla(what == TPairedUndo::Undo ? SCI_UNDO : SCI_REDO);
  pairing_ = false;
}

void TVexaEditControl::ExecuteCommand(TEditorCommand Command, int Arg) {
  if (Command == C::Tab && SmartTab()) return;
  if (columnMode_ && ExtendBlock(Command)) {
    if (!userInput_) CaretLineChecked();
    return;
  }
  for (const TKeyBinding& b : EditorKeyBindings()) {
    if (b.Command == Command && b.Scintilla >= 0) {
      SendScintilla(static_cast<unsigned int>(b.Scintilla));
      RunPairedUndo();
      if (!userInput_) CaretLineChecked();
      return;
    }
  }
  switch (Command) {
    case C::PageDown:
    case C::SelPageDown:
    case C::PageUp:
    case C::SelPageUp:
      HalfPage(Command == C::PageDown || Command == C::SelPageDown,
               Command == C::SelPageDown || Command == C::SelPageUp);
      break;
    case C::PageTop:
    case C::SelPageTop: MoveToLine(TopLine(), Command == C::SelPageTop); break;
    case C::PageBottom:
    case C::SelPageBottom:
      MoveToLine(TopLine() + std::max(VisibleLineCount(), 1) - 1, Command == C::SelPageBottom);
      break;
    case C::BlockIndent: IndentSelection(true); break;
    case C::BlockUnindent: IndentSelection(false); break;
    case C::InsertLine: {
      // A line end at the caret; the caret stays in front of it.
      const long pos = SendScintilla(SCI_GETCURRENTPOS);
      const QByteArray eol = eolMode() == EolWindows ? "\r\n" : eolMode() == EolMac ? "\r" : "\n";
      SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(pos), eol.constData());
      break;
    }
    case C::GotoMarker: GotoBookMark(Arg); break;
    case C::SetMarker:
      ToggleBookMark(Arg, Caret());
      viewport()->update();
      break;
    case C::NormalSelect:
    case C::ColumnSelect:
      columnMode_ = Command == C::ColumnSelect;
      SetStreamSelection();
      break;
    case C::LineSelect:
      columnMode_ = false;
      SendScintilla(SCI_SETSELECTIONMODE, SC_SEL_LINES);
      break;
    case C::MatchBracket: {
      // The bracket at the caret, else the one before it.
      const long pos = SendScintilla(SCI_GETCURRENTPOS);
      long match = SendScintilla(SCI_BRACEMATCH, static_cast<unsigned long>(pos), 0L);
      if (match < 0 && pos > 0) {
        match = SendScintilla(SCI_BRACEMATCH, static_cast<unsigned long>(pos - 1), 0L);
      }
      if (match >= 0) SendScintilla(SCI_GOTOPOS, match);
      break;
    }
    case C::Completion: emit CompletionRequested(); break;
    default: break;
  }
  if (!userInput_) CaretLineChecked();
}

void TVexaEditControl::SetStreamSelection() {
  // The message toggles extending moves when the mode does not change.
  SendScintilla(SCI_SETSELECTIONMODE, SC_SEL_STREAM);
  if (SendScintilla(SCI_GETMOVEEXTENDSSELECTION)) {
    SendScintilla(SCI_SETSELECTIONMODE, SC_SEL_STREAM);
  }
}

bool TVexaEditControl::ExtendBlock(TEditorCommand Command) {
  switch (Command) {
    case C::SelUp: SendScintilla(SCI_LINEUPRECTEXTEND); return true;
    case C::SelDown: SendScintilla(SCI_LINEDOWNRECTEXTEND); return true;
    case C::SelLeft: SendScintilla(SCI_CHARLEFTRECTEXTEND); return true;
    case C::SelRight: SendScintilla(SCI_CHARRIGHTRECTEXTEND); return true;
    case C::SelLineStart: SendScintilla(SCI_HOMERECTEXTEND); return true;
    case C::SelLineEnd: SendScintilla(SCI_LINEENDRECTEXTEND); return true;
    case C::SelWordLeft: BlockTo(SCI_WORDLEFT); return true;
    case C::SelWordRight: BlockTo(SCI_WORDRIGHT); return true;
    case C::SelEditorTop: BlockTo(SCI_DOCUMENTSTART); return true;
    case C::SelEditorBottom: BlockTo(SCI_DOCUMENTEND); return true;
    default: return false;  // the page keys extend in HalfPage and MoveToLine
  }
}

void TVexaEditControl::BlockTo(unsigned int Message) {
  const bool block = SendScintilla(SCI_SELECTIONISRECTANGLE);
  const long anchor = SendScintilla(block ? SCI_GETRECTANGULARSELECTIONANCHOR : SCI_GETANCHOR);
  const long anchorSpace = block ? SendScintilla(SCI_GETRECTANGULARSELECTIONANCHORVIRTUALSPACE) : 0;
  SendScintilla(Message);
  const long caret = SendScintilla(SCI_GETCURRENTPOS);
  SendScintilla(SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
  SendScintilla(SCI_SETRECTANGULARSELECTIONANCHORVIRTUALSPACE, anchorSpace);
  SendScintilla(SCI_SETRECTANGULARSELECTIONCARET, caret);
  SendScintilla(SCI_SCROLLCARET);
}

std::optional<TKeyBinding> TVexaEditControl::OwnBinding(const QKeyEvent* Event) const {
  const int key = KeyOf(Event);
  for (const TKeyBinding& b : EditorKeyBindings()) {
    if (b.Scintilla < 0 && b.Key == key) return b;
  }
  // Ctrl+Shift+digit arrives as the shifted symbol on many layouts.
  const quint32 scan = Event->nativeScanCode();
  if ((Event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
          (Qt::ControlModifier | Qt::ShiftModifier) &&
      scan >= kScanCodeDigit1 && scan < kScanCodeDigit1 + kBookmarkCount) {
    return TKeyBinding{C::SetMarker, int((scan - kScanCodeDigit1 + 1) % kBookmarkCount), key, -1};
  }
  return std::nullopt;
}

bool TVexaEditControl::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == viewport() && Event->type() == QEvent::ContextMenu) {
    auto* request = static_cast<QContextMenuEvent*>(Event);
    if (request->reason() == QContextMenuEvent::Mouse) CaretToContextClick(request->pos());
  }
  return QsciScintilla::eventFilter(Watched, Event);
}

void TVexaEditControl::CaretToContextClick(QPoint Pos) {
  if (InGutter(Pos.x())) {
    SetCaret({1, LineAtY(Pos.y())});
    return;
  }
  const long pos = SendScintilla(SCI_POSITIONFROMPOINT, Pos.x(), Pos.y());
  if (InSelection(pos)) return;
  SendScintilla(SCI_GOTOPOS, pos);
  SendScintilla(SCI_CHOOSECARETX);
  CaretLineChecked();
}

bool TVexaEditControl::InSelection(long Pos) {
  const long count = SendScintilla(SCI_GETSELECTIONS);
  for (long n = 0; n < count; ++n) {
    const long start = SendScintilla(SCI_GETSELECTIONNSTART, n);
    const long end = SendScintilla(SCI_GETSELECTIONNEND, n);
    if (start < end && Pos >= start && Pos <= end) return true;
  }
  return false;
}

bool TVexaEditControl::event(QEvent* Event) {
  if (Event->type() == QEvent::ShortcutOverride && OwnBinding(static_cast<QKeyEvent*>(Event))) {
    Event->accept();
    return true;
  }
  return QsciScintilla::event(Event);
}

void TVexaEditControl::keyPressEvent(QKeyEvent* Event) {
  TUserInput input(*this);
  if (auto b = OwnBinding(Event)) {
    ExecuteCommand(b->Command, b->Arg);
    Event->accept();
    return;
  }
  if (KeyOf(Event) == Qt::Key_Tab && SmartTab()) {
    Event->accept();
    return;
  }
  if (columnMode_) {
    // The selecting keys of QScintilla's key map make a block.
    for (const TKeyBinding& b : EditorKeyBindings()) {
      if (b.Key == KeyOf(Event) && ExtendBlock(b.Command)) {
        Event->accept();
        return;
      }
    }
  }
  const bool overwrite = overwriteMode();
  QsciScintilla::keyPressEvent(Event);
  if (overwrite != overwriteMode()) emit ModeChanged();
}

void TVexaEditControl::inputMethodEvent(QInputMethodEvent* Event) {
  TUserInput input(*this);
  QsciScintilla::inputMethodEvent(Event);
}

int TVexaEditControl::LineAtY(int Y) const {
  auto* self = const_cast<TVexaEditControl*>(this);
  const long pos = self->SendScintilla(SCI_POSITIONFROMPOINT, GutterWidth() + 1, Y);
  return int(self->SendScintilla(SCI_LINEFROMPOSITION, pos)) + 1;
}

bool TVexaEditControl::InGutter(int X) const {
  return gutterVisible_ && X >= 0 && X < GutterWidth();
}

void TVexaEditControl::mousePressEvent(QMouseEvent* Event) {
  QsciScintilla::mousePressEvent(Event);
  CaretLineChecked();
  const QPoint p = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton && InGutter(p.x())) {
    pressedGutterLine_ = LineAtY(p.y());
    SetCaret({1, pressedGutterLine_});
  } else {
    pressedGutterLine_ = -1;
  }
}

void TVexaEditControl::mouseMoveEvent(QMouseEvent* Event) {
  QsciScintilla::mouseMoveEvent(Event);
  if (pressedGutterLine_ >= 0 && LineAtY(Event->position().toPoint().y()) != pressedGutterLine_) {
    pressedGutterLine_ = -1;  // the mouse left the line
  }
}

void TVexaEditControl::mouseReleaseEvent(QMouseEvent* Event) {
  QsciScintilla::mouseReleaseEvent(Event);
  const QPoint p = Event->position().toPoint();
  if (Event->button() != Qt::LeftButton) return;
  const int pressed = std::exchange(pressedGutterLine_, -1);
  if (pressed >= 0 && InGutter(p.x()) && LineAtY(p.y()) == pressed && Caret().Line == pressed) {
    emit ToggleBreakpoint();
  }
}

void TVexaEditControl::paintEvent(QPaintEvent* Event) {
  // The owner is asked for every line about to be painted.
  const int top = TopLine();
  RefreshLines(top, top + VisibleLineCount());
  QsciScintilla::paintEvent(Event);
}

void TVexaEditControl::OnModified(int Position, int Type, const char* Text, int Length,
                                  int LinesAdded, int Token) {
  const bool insert = (Type & SC_MOD_INSERTTEXT) != 0;
  const bool remove = (Type & SC_MOD_DELETETEXT) != 0;
  if ((Type & SC_MOD_CONTAINER) && Token == kTrimToken) groupHasTrim_ = true;
  if (Type & SC_LASTSTEPINUNDOREDO) {
    if (Type & SC_PERFORMED_UNDO) {
      redoTrims_.push_back(groupHasTrim_);
      if (groupHasTrim_ && !pairing_) pairedUndo_ = TPairedUndo::Undo;
    } else if (Type & SC_PERFORMED_REDO) {
      if (!redoTrims_.empty()) redoTrims_.pop_back();
      if (!pairing_ && !redoTrims_.empty() && redoTrims_.back()) pairedUndo_ = TPairedUndo::Redo;
    }
    groupHasTrim_ = false;
    // Undo called from outside: the pair completes on the next turn.
    if (pairedUndo_ != TPairedUndo::None && !userInput_) {
      QTimer::singleShot(0, this, [this] { RunPairedUndo(); });
    }
  } else if ((Type & SC_PERFORMED_USER) && (insert || remove)) {
    redoTrims_.clear();  // a new edit drops the redo history
  }
  if (!(insert || remove)) return;

  const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(Position));
  if (userInput_ && !trimming_ && (Type & SC_PERFORMED_USER)) {
    if (insert && LinesAdded > 0) lineEndTyped_ = true;
    // Whole lines removed from a line start leave the next line untouched.
    const bool wholeLines =
        remove && Length > 0 && Text &&
        Position == SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)) &&
        (Text[Length - 1] == '\n' || Text[Length - 1] == '\r');
    if (!wholeLines) {
      const int first = int(line), last = int(line) + std::max(LinesAdded, 0);
      touchedFirst_ = touchedFirst_ < 0 ? first : std::min(touchedFirst_, first);
      touchedLast_ = std::max(touchedLast_, last);
      const long watched =
          caretLineHandle_ >= 0 ? SendScintilla(SCI_MARKERLINEFROMHANDLE, caretLineHandle_) : -1;
      if (watched >= first && watched <= last) caretLineEdited_ = true;
    }
  }
  if (LinesAdded == 0) return;
  const long column =
      Position - SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  const TLineShift shift = LineShiftOf(insert, int(line) + 1, int(column), LinesAdded);
  inModification_ = true;
  if (shift.What == TLineShift::Kind::Inserted) emit LinesInserted(shift.FirstLine, shift.Count);
  if (shift.What == TLineShift::Kind::Deleted) emit LinesDeleted(shift.FirstLine, shift.Count);
  inModification_ = false;
}

QString WholeText(const QsciScintilla* Control) {
  const long length = Control->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  // The range comes with a NUL after it.
  QByteArray bytes(length + 1, '\0');
  Control->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, 0L, length, bytes.data());
  bytes.chop(1);
  if (!Control->isUtf8()) return QString::fromLatin1(bytes);
  // A BOM at the start is text too (QString::fromUtf8 would drop it).
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  return utf8.decode(bytes);
}

void SetWholeText(QsciScintilla* Control, const QString& Text) {
  const QByteArray bytes = Control->isUtf8() ? Text.toUtf8() : Text.toLatin1();
  const bool readOnly = Control->isReadOnly();
  Control->setReadOnly(false);
  Control->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
  Control->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                         static_cast<unsigned long>(bytes.size()), bytes.constData());
  Control->setReadOnly(readOnly);
}

}  // namespace vexa::ide
