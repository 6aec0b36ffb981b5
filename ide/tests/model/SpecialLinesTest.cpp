#include "model/text/SpecialLines.h"

#include "model/core/VexaIntfs.h"
#include "model/settings/Options.h"

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

constexpr int B = LineFlagBreakpoint, K = LineFlagBreakpointCompiled, E = LineFlagError,
              C = LineFlagCode;

TEST(SpecialLines, MarkerAndColoursFollowTheFlagsFirstMatchWins) {
  using L = TLineColorKind;
  struct Case {
    int flags;
    bool errorLine;
    bool executionLine;
    int marker;
    L colors;
  } const cases[] = {
      {0, false, false, LineMarkerNone, L::Normal},
      {C, false, false, LineMarkerCode, L::Normal},
      {B | C, false, false, LineMarkerBreakpointCode, L::Breakpoint},
      {B | K, false, false, LineMarkerBreakpointNoCode, L::InvalidBreakpoint},
      {B, false, false, LineMarkerBreakpointUnknown, L::InvalidBreakpoint},
      // The execution line wins over everything but the error colours.
      {B | C, false, true, LineMarkerExecutionBreakpoint, L::ExecutionLine},
      {C, false, true, LineMarkerExecution, L::ExecutionLine},
      {B | C, true, true, LineMarkerExecutionBreakpoint, L::ErrorLine},
      // A compile error leaves no code information: breakpoint colours are
      // the invalid ones, the error colours belong to the error line only.
      {B | E, false, false, LineMarkerError, L::InvalidBreakpoint},
      {E, false, false, LineMarkerError, L::Normal},
      {E, true, false, LineMarkerError, L::ErrorLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags << " error " << c.errorLine
                                    << " execution " << c.executionLine);
    EXPECT_EQ(LineMarkerOf(c.flags, c.executionLine), c.marker);
    EXPECT_EQ(LineColorKindOf(c.flags, c.errorLine, c.executionLine), c.colors);
  }
}

TEST(SpecialLines, ColourPairsComeFromTheOptionsNoColourStaysNone) {
  const TVexaColor saved = options::CurrentLineBG;
  options::CurrentLineBG = TVexaColor(TVexaColor::NoColor);
  const TLineColors execution = LineColorsOf(TLineColorKind::ExecutionLine);
  EXPECT_TRUE(execution.Background.IsNone());
  EXPECT_EQ(execution.Foreground, options::CurrentLineFG);
  options::CurrentLineBG = saved;

  EXPECT_EQ(LineColorsOf(TLineColorKind::ErrorLine).Background, options::ErrorLineBG);
  EXPECT_EQ(LineColorsOf(TLineColorKind::InvalidBreakpoint).Foreground,
            options::InvalidBreakpointLineFG);
  EXPECT_TRUE(LineColorsOf(TLineColorKind::Normal).Background.IsNone());
}

TEST(SpecialLines, LineEndsShiftFromTheLineTheEditTouches) {
  using K = TLineShift::Kind;
  struct Case {
    const char* name;
    bool insert;
    int line, column, linesAdded;
    TLineShift shift;
  } const cases[] = {
      {"insert at column 0", true, 5, 0, 2, {K::Inserted, 5, 2}},
      {"insert inside the line", true, 5, 3, 1, {K::Inserted, 6, 1}},
      {"insert without line end", true, 5, 0, 0, {}},
      {"delete from a line start", false, 5, 0, -2, {K::Deleted, 5, 2}},
      {"delete inside the line", false, 5, 4, -1, {K::Deleted, 5, 1}},
      {"delete within a line", false, 5, 4, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LineShiftOf(c.insert, c.line, c.column, c.linesAdded), c.shift);
  }
}

}  // namespace
}  // namespace vexa::ide
