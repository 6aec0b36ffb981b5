#pragma once

// What the source editor shows for a line of a module: the gutter marker and
// the colour kind, chosen from the module's line flags (LineFlag* of
// VexaIntfs.h) and the execution and error lines; and how an edit that adds
// or removes line ends shifts the module's breakpoint lines.

#include "model/settings/VexaColor.h"

namespace vexa::ide {

// Gutter markers 1..8 of the editor control (0: none).
enum : int {
  LineMarkerNone = 0,
  LineMarkerBreakpointCode = 2,
  LineMarkerBreakpointNoCode = 3,
  LineMarkerBreakpointUnknown = 4,
  LineMarkerExecutionBreakpoint = 5,
  LineMarkerCode = 6,
  LineMarkerExecution = 7,
  LineMarkerError = 8,
};

int LineMarkerOf(int Flags, bool IsExecutionLine);

// The colour pair a whole line is drawn with.
enum class TLineColorKind { Normal, ErrorLine, ExecutionLine, Breakpoint, InvalidBreakpoint };

TLineColorKind LineColorKindOf(int Flags, bool IsErrorLine, bool IsExecutionLine);

struct TLineColors {
  TVexaColor Background;  // NoColor: left as the control draws it
  TVexaColor Foreground;
};

// The pair of the editor colour options for Kind; both NoColor for Normal.
TLineColors LineColorsOf(TLineColorKind Kind);

// A change of the module's breakpoint lines.
struct TLineShift {
  enum class Kind { None, Inserted, Deleted };
  Kind What = Kind::None;
  int FirstLine = 0;  // 1-based
  int Count = 0;

  friend bool operator==(const TLineShift&, const TLineShift&) = default;
};

// An insert or delete that starts at Line (1-based) and Column (0-based) and
// adds LinesAdded lines (negative for removed ones). Inserting n line ends at
// column 0 of line L shifts from L, elsewhere on L from L + 1; deleting n line
// ends from line L deletes at L.
TLineShift LineShiftOf(bool Insert, int Line, int Column, int LinesAdded);

}  // namespace vexa::ide
