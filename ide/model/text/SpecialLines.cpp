#include "model/text/SpecialLines.h"

#include "model/core/VexaIntfs.h"
#include "model/settings/Options.h"

namespace vexa::ide {

int LineMarkerOf(int Flags, bool IsExecutionLine) {
  const bool breakpoint = (Flags & LineFlagBreakpoint) != 0;
  if (IsExecutionLine) return breakpoint ? LineMarkerExecutionBreakpoint : LineMarkerExecution;
  if (Flags & LineFlagError) return LineMarkerError;
  if (Flags & LineFlagCode) return breakpoint ? LineMarkerBreakpointCode : LineMarkerCode;
  if (breakpoint) {
    return Flags & LineFlagBreakpointCompiled ? LineMarkerBreakpointNoCode
                                              : LineMarkerBreakpointUnknown;
  }
  return LineMarkerNone;
}

TLineColorKind LineColorKindOf(int Flags, bool IsErrorLine, bool IsExecutionLine) {
  if (IsErrorLine) return TLineColorKind::ErrorLine;
  if (IsExecutionLine) return TLineColorKind::ExecutionLine;
  if (Flags & LineFlagBreakpoint) {
    return Flags & LineFlagCode ? TLineColorKind::Breakpoint : TLineColorKind::InvalidBreakpoint;
  }
  return TLineColorKind::Normal;
}

TLineColors LineColorsOf(TLineColorKind Kind) {
  switch (Kind) {
    case TLineColorKind::ErrorLine: return {options::ErrorLineBG, options::ErrorLineFG};
    case TLineColorKind::ExecutionLine: return {options::CurrentLineBG, options::CurrentLineFG};
    case TLineColorKind::Breakpoint: return {options::BreakpointLineBG, options::BreakpointLineFG};
    case TLineColorKind::InvalidBreakpoint:
      return {options::InvalidBreakpointLineBG, options::InvalidBreakpointLineFG};
    case TLineColorKind::Normal: break;
  }
  return {};
}

TLineShift LineShiftOf(bool Insert, int Line, int Column, int LinesAdded) {
  if (Insert && LinesAdded > 0) {
    return {TLineShift::Kind::Inserted, Column == 0 ? Line : Line + 1, LinesAdded};
  }
  if (!Insert && LinesAdded < 0) return {TLineShift::Kind::Deleted, Line, -LinesAdded};
  return {};
}

}  // namespace vexa::ide
