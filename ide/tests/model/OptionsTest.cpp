#include "model/settings/Options.h"

#include "TempSettings.h"
#include "model/core/Helpers.h"
#include "model/settings/Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace vexa::ide::options {
namespace {

using test::TTempSettings;

class OptionsTest : public testing::Test {
 protected:
  TTempSettings temp_;
};

TEST_F(OptionsTest, EmptyStoreGivesTheDefaults) {
  // Start from values no default has.
  BackgroundCompilationBASIC = BackgroundCompilationV2 = false;
  BackgroundCompilationDelayBASIC = BackgroundCompilationDelayV2 = 5000;
  DownloadComBASIC = DownloadComV2 = 7;
  AutoIndent = InsertMode = SearchTextAtCaret = ShowGutter = ShowRightEdge = false;
  DragDropEditing = true;
  EditorFontSize = 99;
  EditorFontFace = "x";
  LeftMargin = RightMargin = TopMargin = BottomMargin = 0;
  Header = SyntaxHighlighted = UseColors = false;
  LineNumbers = WrapLongLines = true;
  SelectedTextBG = SelectedTextFG = CurrentLineBG = CurrentLineFG = ErrorLineBG = ErrorLineFG =
      BreakpointLineBG = BreakpointLineFG = InvalidBreakpointLineBG = InvalidBreakpointLineFG =
          TVexaColor(0x123456);
  SearchText = SearchTextHistory = ReplaceText = ReplaceTextHistory = "x";
  SearchBackwards = SearchCaseSensitive = SearchWholeWordsOnly = true;
  SearchFromCaret = SearchInSelectionOnly = false;

  ReadOptions();

  const QString dir = ProgramDirectory();
  EXPECT_TRUE(dir.endsWith('/'));
  // Without "Projects" beside the program, the user's own folder.
  ASSERT_FALSE(QFileInfo::exists(dir + "Projects"));
  EXPECT_EQ(DefaultProjectPath, QDir::homePath() + "/Vexa Projects");
  EXPECT_EQ(SystemModulesPath, dir + "Lib");
  EXPECT_EQ(UserCommonModulesPath, dir + "UserLib");
  EXPECT_TRUE(BackgroundCompilationBASIC && BackgroundCompilationV2);
  EXPECT_EQ(BackgroundCompilationDelayBASIC, 1000);
  EXPECT_EQ(BackgroundCompilationDelayV2, 1000);
  EXPECT_EQ(DownloadComBASIC, 1);
  EXPECT_EQ(DownloadComV2, 1);
  EXPECT_TRUE(AutoIndent && InsertMode && SearchTextAtCaret && ShowGutter && ShowRightEdge);
  EXPECT_FALSE(DragDropEditing);
  EXPECT_EQ(EditorFontSize, 10);
  EXPECT_EQ(EditorFontFace, "Courier New");
  EXPECT_EQ(LeftMargin, 25);
  EXPECT_EQ(RightMargin, 20);
  EXPECT_EQ(TopMargin, 15);
  EXPECT_EQ(BottomMargin, 15);
  EXPECT_TRUE(Header && SyntaxHighlighted && UseColors);
  EXPECT_FALSE(LineNumbers || WrapLongLines);
  EXPECT_EQ(SelectedTextBG.Value(), 0x8000000Du);
  EXPECT_EQ(SelectedTextFG.Value(), 0x8000000Eu);
  EXPECT_EQ(CurrentLineBG.Value(), 0x00FF0000u);
  EXPECT_EQ(CurrentLineFG.Value(), 0x00FFFFFFu);
  EXPECT_EQ(ErrorLineBG.Value(), 0x00000080u);
  EXPECT_EQ(ErrorLineFG.Value(), 0x00FFFFFFu);
  EXPECT_EQ(BreakpointLineBG.Value(), 0x000000FFu);
  EXPECT_EQ(BreakpointLineFG.Value(), 0x00FFFFFFu);
  EXPECT_EQ(InvalidBreakpointLineBG.Value(), 0x00808080u);
  EXPECT_EQ(InvalidBreakpointLineFG.Value(), 0x00FFFFFFu);
  EXPECT_EQ(SearchText, "");
  EXPECT_EQ(SearchTextHistory, "");
  EXPECT_EQ(ReplaceText, "");
  EXPECT_EQ(ReplaceTextHistory, "");
  EXPECT_FALSE(SearchBackwards || SearchCaseSensitive || SearchWholeWordsOnly);
  EXPECT_TRUE(SearchFromCaret && SearchInSelectionOnly);
}

TEST_F(OptionsTest, OneRunWritesEveryStartExitValueButNeverThePaths) {
  ReadOptions();
  WriteOptions();
  auto file = temp_.File();
  const char* const present[] = {"Projects/BackgroundCompilationBASIC",
                                 "Projects/BackgroundCompilationDelayBASIC",
                                 "Projects/BackgroundCompilationV2",
                                 "Projects/BackgroundCompilationDelayV2",
                                 "Projects/DownloadComBASIC",
                                 "Projects/DownloadComV2",
                                 "Editor/AutoIndent",
                                 "Editor/DragDropEditing",
                                 "Editor/InsertMode",
                                 "Editor/SearchTextAtCaret",
                                 "Editor/ShowGutter",
                                 "Editor/ShowRightEdge",
                                 "Editor/EditorFontSize",
                                 "Editor/EditorFontFace",
                                 "Editor/Print/LeftMargin",
                                 "Editor/Print/RightMargin",
                                 "Editor/Print/TopMargin",
                                 "Editor/Print/BottomMargin",
                                 "Editor/Print/Header",
                                 "Editor/Print/LineNumbers",
                                 "Editor/Print/SyntaxHighlighted",
                                 "Editor/Print/UseColors",
                                 "Editor/Print/WrapLongLines",
                                 "Editor/Colors/SelectedTextBG",
                                 "Editor/Colors/SelectedTextFG",
                                 "Editor/Colors/CurrentLineBG",
                                 "Editor/Colors/CurrentLineFG",
                                 "Editor/Colors/ErrorLineBG",
                                 "Editor/Colors/ErrorLineFG",
                                 "Editor/Colors/BreakpointLineBG",
                                 "Editor/Colors/BreakpointLineFG",
                                 "Editor/Colors/InvalidBreakpointLineBG",
                                 "Editor/Colors/InvalidBreakpointLineFG",
                                 "SearchAndReplace/SearchText",
                                 "SearchAndReplace/ReplaceText",
                                 "SearchAndReplace/SearchBackwards",
                                 "SearchAndReplace/SearchCaseSensitive",
                                 "SearchAndReplace/SearchFromCaret",
                                 "SearchAndReplace/SearchInSelectionOnly",
                                 "SearchAndReplace/SearchWholeWordsOnly"};
  for (const char* key : present) EXPECT_TRUE(file->contains(QString("1.0/") + key)) << key;
  for (const char* key : {"Projects/DefaultProjectPath", "Projects/SystemModulesPath",
                          "Projects/UserCommonModulesPath", "SearchAndReplace/SearchTextHistory1"})
    EXPECT_FALSE(file->contains(QString("1.0/") + key)) << key;
  EXPECT_EQ(file->value("1.0/Editor/Colors/SelectedTextBG").toString(),
            QString::number(int(0x8000000Du)));
  EXPECT_EQ(file->value("1.0/Editor/ShowGutter").toString(), "1");
  EXPECT_EQ(file->value("1.0/Editor/DragDropEditing").toString(), "0");
}

TEST_F(OptionsTest, StoredValuesAreClampedOnReading) {
  struct Case {
    const char* name;
    int stored, expected;
    int* option;
  } const cases[] = {
      {"DownloadComV2", 0, 1, &DownloadComV2},
      {"DownloadComV2", 12, 8, &DownloadComV2},
      {"DownloadComV2", 5, 5, &DownloadComV2},
      {"DownloadComBASIC", -3, 1, &DownloadComBASIC},
      {"DownloadComBASIC", 9, 8, &DownloadComBASIC},
      {"BackgroundCompilationDelayV2", 50, 200, &BackgroundCompilationDelayV2},
      {"BackgroundCompilationDelayV2", 200, 200, &BackgroundCompilationDelayV2},
      {"BackgroundCompilationDelayV2", 2500, 2500, &BackgroundCompilationDelayV2},
      {"BackgroundCompilationDelayBASIC", -1, 200, &BackgroundCompilationDelayBASIC},
  };
  for (const Case& c : cases) {
    settings::WriteInteger("Projects", c.name, c.stored);
    ReadOptions();
    EXPECT_EQ(*c.option, c.expected) << c.name << " stored as " << c.stored;
  }
}

TEST_F(OptionsTest, StoredValuesOverrideDefaultsAndComeBackNormalised) {
  settings::WriteInteger("Editor", "ShowGutter", 2);
  settings::WriteString("Editor", "EditorFontSize", "big");
  settings::WriteString("Editor", "EditorFontFace", "Liberation Mono");
  settings::WriteInteger("Editor\\Colors", "CurrentLineBG", 0x00123456);
  settings::WriteInteger("Editor\\Print", "LeftMargin", 40);
  settings::WriteBool("SearchAndReplace", "SearchBackwards", true);
  settings::WriteString("SearchAndReplace", "SearchText", "motor");
  ReadOptions();
  EXPECT_TRUE(ShowGutter);
  EXPECT_EQ(EditorFontSize, 10);
  EXPECT_EQ(EditorFontFace, "Liberation Mono");
  EXPECT_EQ(CurrentLineBG.Value(), 0x00123456u);
  EXPECT_EQ(LeftMargin, 40);
  EXPECT_TRUE(SearchBackwards);
  EXPECT_EQ(SearchText, "motor");
  WriteOptions();
  auto file = temp_.File();
  EXPECT_EQ(file->value("1.0/Editor/ShowGutter").toString(), "1");
  EXPECT_EQ(file->value("1.0/Editor/EditorFontSize").toString(), "10");
}

TEST_F(OptionsTest, HistoriesSkipGapsAndAreWrittenBackCompact) {
  settings::WriteString("SearchAndReplace", "SearchTextHistory1", "alpha");
  settings::WriteString("SearchAndReplace", "SearchTextHistory2", "beta");
  settings::WriteString("SearchAndReplace", "SearchTextHistory5", "gamma");
  settings::WriteString("SearchAndReplace", "ReplaceTextHistory3", "only");
  ReadOptions();
  EXPECT_EQ(SearchTextHistory, "alpha\r\nbeta\r\ngamma");
  EXPECT_EQ(ReplaceTextHistory, "only");
  WriteOptions();
  auto file = temp_.File();
  EXPECT_EQ(file->value("1.0/SearchAndReplace/SearchTextHistory1").toString(), "alpha");
  EXPECT_EQ(file->value("1.0/SearchAndReplace/SearchTextHistory2").toString(), "beta");
  EXPECT_EQ(file->value("1.0/SearchAndReplace/SearchTextHistory3").toString(), "gamma");
  for (int k = 4; k <= 10; ++k)
    EXPECT_FALSE(file->contains(QString("1.0/SearchAndReplace/SearchTextHistory%1").arg(k))) << k;
  EXPECT_EQ(file->value("1.0/SearchAndReplace/ReplaceTextHistory1").toString(), "only");
  EXPECT_FALSE(file->contains("1.0/SearchAndReplace/ReplaceTextHistory3"));
}

TEST_F(OptionsTest, AtMostTenHistoryValuesAreWritten) {
  QStringList lines;
  for (int i = 1; i <= 12; ++i) lines << QString("text%1").arg(i);
  ReadOptions();
  SearchTextHistory = lines.join("\r\n");
  WriteOptions();
  auto file = temp_.File();
  EXPECT_EQ(file->value("1.0/SearchAndReplace/SearchTextHistory10").toString(), "text10");
  EXPECT_FALSE(file->contains("1.0/SearchAndReplace/SearchTextHistory11"));
  EXPECT_FALSE(file->contains("1.0/SearchAndReplace/SearchTextHistory12"));
  ReadOptions();
  EXPECT_EQ(HistoryLines(SearchTextHistory), lines.mid(0, 10));
}

TEST(HistoryLines, SplitsAtLineBreaksLikeTheDialogsJoinThem) {
  struct Case {
    const char* text;
    QStringList expected;
  } const cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(HistoryLines(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace vexa::ide::options
