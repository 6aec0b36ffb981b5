#include "model/settings/WindowSettings.h"

#include "TempSettings.h"
#include "model/settings/Settings.h"

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

TEST(WindowSettings, FirstStartLeavesPlacementToTheSystemWithStatusBarAndTip) {
  test::TTempSettings temp;
  TWindowSettings s = LoadWindowSettings();
  EXPECT_FALSE(s.HasPlacement());
  EXPECT_EQ(s.Left, -1);
  EXPECT_EQ(s.Top, -1);
  EXPECT_EQ(s.Width, -1);
  EXPECT_EQ(s.Height, -1);
  EXPECT_FALSE(s.Maximized);
  EXPECT_TRUE(s.StatusbarVisible);
  EXPECT_TRUE(s.ToolbarState.isEmpty());
  EXPECT_TRUE(s.ShowTipOfTheDay);
  EXPECT_EQ(s.NextTipOfTheDay, 0);
}

struct StoredSize {
  const char* name;
  int width;
  int height;
  bool placed;  // and so Maximized is read
};

class MaximizedTest : public testing::TestWithParam<StoredSize> {};

TEST_P(MaximizedTest, IsOnlyReadWithAStoredSize) {
  test::TTempSettings temp;
  settings::WriteInteger("Main", "Left", 10);
  settings::WriteInteger("Main", "Top", 20);
  settings::WriteInteger("Main", "Width", GetParam().width);
  settings::WriteInteger("Main", "Height", GetParam().height);
  settings::WriteBool("Main", "Maximized", true);
  TWindowSettings s = LoadWindowSettings();
  EXPECT_EQ(s.HasPlacement(), GetParam().placed);
  EXPECT_EQ(s.Maximized, GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MaximizedTest,
                         testing::Values(StoredSize{"Valid", 800, 600, true},
                                         StoredSize{"Smallest", 1, 1, true},
                                         StoredSize{"NoWidth", 0, 600, false},
                                         StoredSize{"NoHeight", 800, -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowSettings, SavedValuesComeBackUnderTheirKeys) {
  test::TTempSettings temp;
  TWindowSettings saved;
  saved.Left = -8;  // a maximised window's edge lies off the screen
  saved.Top = 4;
  saved.Width = 1024;
  saved.Height = 700;
  saved.Maximized = true;
  saved.StatusbarVisible = false;
  saved.ToolbarState = QByteArray("\x00\xff\x01state=\n[x]", 12);
  saved.ShowTipOfTheDay = false;
  saved.NextTipOfTheDay = 7;
  SaveWindowSettings(saved);

  auto file = temp.File();
  EXPECT_EQ(file->value("1.0/Main/Width").toString(), "1024");
  EXPECT_EQ(file->value("1.0/Main/Maximized").toString(), "1");
  EXPECT_EQ(file->value("1.0/Main/StatusbarVisible").toString(), "0");
  EXPECT_EQ(file->value("1.0/Misc/ShowTipOfTheDay").toString(), "0");
  EXPECT_EQ(file->value("1.0/Misc/NextTipOfTheDay").toString(), "7");
  EXPECT_TRUE(file->contains("1.0/Main/ToolbarState"));

  settings::ReleaseSettings();
  TWindowSettings loaded = LoadWindowSettings();
  EXPECT_EQ(loaded.Left, -8);
  EXPECT_EQ(loaded.Top, 4);
  EXPECT_EQ(loaded.Width, 1024);
  EXPECT_EQ(loaded.Height, 700);
  EXPECT_TRUE(loaded.Maximized);
  EXPECT_FALSE(loaded.StatusbarVisible);
  EXPECT_EQ(loaded.ToolbarState, saved.ToolbarState);
  EXPECT_FALSE(loaded.ShowTipOfTheDay);
  EXPECT_EQ(loaded.NextTipOfTheDay, 7);
}

TEST(WindowSettings, AnUnreadableToolbarStateIsNone) {
  test::TTempSettings temp;
  settings::WriteString("Main", "ToolbarState", "not base64 ***");
  EXPECT_TRUE(LoadWindowSettings().ToolbarState.isEmpty());
}

}  // namespace
}  // namespace vexa::ide
