#pragma once

// The line-info bytes a compilation delivers for a module (one per source
// line), and the editor's line flags made from them.

#include "model/core/VexaIntfs.h"

#include <QByteArray>

namespace vexa::ide {

constexpr int kLineInfoCode = 0x01;   // the line produced code
constexpr int kLineInfoError = 0x80;  // an error stands on the line

// The byte of Line (from 1); 0 when the infos are not valid or the line lies outside them.
inline int LineInfoOf(const QByteArray& Infos, bool Valid, int Line) {
  if (!Valid || Line < 1 || Line > Infos.size()) return 0;
  return static_cast<unsigned char>(Infos[Line - 1]);
}

// IVexaModule::GetLineFlags of a line: a module with errors shows no
// compiled breakpoint and no code mark.
inline int LineFlagsOf(bool Breakpoint, int Info, bool HasErrors, bool NeedsCompile) {
  int flags = 0;
  if (Breakpoint) flags |= LineFlagBreakpoint;
  if (Info & kLineInfoError) flags |= LineFlagError;
  if (!HasErrors) {
    if (Breakpoint && !NeedsCompile) flags |= LineFlagBreakpointCompiled;
    if (Info & kLineInfoCode) flags |= LineFlagCode;
  }
  return flags;
}

}  // namespace vexa::ide
