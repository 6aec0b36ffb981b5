#include "model/core/SplashSwitch.h"

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

TEST(NoSplashRequested, DashSwitchInAnyCaseOnly) {
  struct Case {
    QStringList arguments;
    bool expected;
  } const cases[] = {
      {{"vexaide"}, false},
      {{"vexaide", "-ns"}, true},
      {{"vexaide", "-NS"}, true},
      {{"vexaide", "-nS"}, true},
      {{"vexaide", "-NoSplash"}, true},
      {{"vexaide", "-NOSPLASH"}, true},
      {{"vexaide", "-nosplash"}, true},
      {{"vexaide", "project.v2p", "-NoSplash"}, true},
      {{"vexaide", "-NoSplash", "project.v2p"}, true},
      {{"vexaide", "/ns"}, false},
      {{"vexaide", "/NoSplash"}, false},
      {{"vexaide", "--ns"}, false},
      {{"vexaide", "-n"}, false},
      {{"vexaide", "-nsx"}, false},
      {{"vexaide", "-NoSplashes"}, false},
      {{"vexaide", "ns"}, false},
      {{"vexaide", "-"}, false},
      // The program name is no switch.
      {{"-ns"}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NoSplashRequested(c.arguments), c.expected) << c.arguments.join(' ').toStdString();
}

}  // namespace
}  // namespace vexa::ide
