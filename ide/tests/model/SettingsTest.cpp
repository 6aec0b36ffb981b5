#include "model/settings/Settings.h"

#include "TempSettings.h"

#include <gtest/gtest.h>

#include <QFile>

namespace vexa::ide::settings {
namespace {

using test::TTempSettings;

// Puts raw lines into the file as a hand edit or another program would.
void WriteRaw(const QString& path, const char* text) {
  ReleaseSettings();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

TEST(Settings, ValuesOfAnotherFormReadAsTheDefault) {
  TTempSettings temp;
  WriteRaw(temp.Path(),
           "[1.0]\n"
           "S\\two=2\nS\\zero=0\nS\\minus=-1\nS\\word=abc\nS\\true=true\nS\\False=False\n"
           "S\\hex=0x8000000D\nS\\max=4294967295\nS\\huge=99999999999\nS\\octal=010\n"
           "S\\list=a,b\nS\\blank=\n");
  struct BoolCase {
    const char* name;
    bool def, expected;
  } const bools[] = {
      {"two", false, true},   {"zero", true, false},   {"minus", false, true},
      {"word", true, true},   {"word", false, false},  {"true", false, true},
      {"False", true, false}, {"missing", true, true}, {"blank", true, true},
  };
  for (const BoolCase& c : bools)
    EXPECT_EQ(ReadBool("S", c.name, c.def), c.expected) << c.name << " default " << c.def;

  struct IntCase {
    const char* name;
    int expected;
  } const ints[] = {
      {"two", 2},    {"minus", -1},   {"hex", int(0x8000000Du)},
      {"max", -1},   {"octal", 10},   {"word", 77},
      {"huge", 77},  {"list", 77},    {"true", 77},
      {"blank", 77}, {"missing", 77},
  };
  for (const IntCase& c : ints) EXPECT_EQ(ReadInteger("S", c.name, 77), c.expected) << c.name;

  EXPECT_EQ(ReadString("S", "word", "d"), "abc");
  EXPECT_EQ(ReadString("S", "two", "d"), "2");
  EXPECT_EQ(ReadString("S", "blank", "d"), "");
  EXPECT_EQ(ReadString("S", "list", "d"), "d");
  EXPECT_EQ(ReadString("S", "missing", "d"), "d");
}

TEST(Settings, TextsComeBackAsWritten) {
  TTempSettings temp;
  const QString texts[] = {
      "100% %s %d", "C:\\Work\\a.v2", "a, b",       "key=value; # not a comment",
      "  spaced  ", "\"quoted\"",     "@Invalid()", "Überschreiben",
      "",           "line\r\nbreak",
  };
  int i = 0;
  for (const QString& text : texts) WriteString("Texts", QString("v%1").arg(i++), text);
  ReleaseSettings();
  i = 0;
  for (const QString& text : texts)
    EXPECT_EQ(ReadString("Texts", QString("v%1").arg(i++), "default"), text) << text.toStdString();
}

TEST(Settings, SectionsAreGroupsUnderTheVersionAndBooleansAreNumbers) {
  TTempSettings temp;
  WriteInteger("Editor\\Print", "LeftMargin", 30);
  WriteBool("Editor/Colors", "On", true);
  WriteBool("Editor\\Colors", "Off", false);
  WriteInteger("Main", "Left", -7);
  auto file = temp.File();
  EXPECT_EQ(file->value("1.0/Editor/Print/LeftMargin").toString(), "30");
  EXPECT_EQ(file->value("1.0/Editor/Colors/On").toString(), "1");
  EXPECT_EQ(file->value("1.0/Editor/Colors/Off").toString(), "0");
  EXPECT_EQ(file->value("1.0/Main/Left").toString(), "-7");
  EXPECT_EQ(ReadInteger("Editor/Print", "LeftMargin", 0), 30);
  EXPECT_TRUE(ReadBool("Editor\\Colors", "On", false));
  EXPECT_FALSE(ReadBool("Editor\\Colors", "Off", true));
}

TEST(Settings, DeleteKeyTakesSubsectionsAndDeleteValueOneValue) {
  TTempSettings temp;
  WriteInteger("SyntaxHighlighting\\V2\\Comment", "FontStyle", 1);
  WriteInteger("SyntaxHighlighting", "UseSyntaxHighlighting", 1);
  WriteString("MostRecentlyUsed", "MRUFile1", "a");
  WriteString("MostRecentlyUsed", "MRUFile2", "b");
  WriteString("MostRecentlyUsedX", "MRUFile1", "c");

  DeleteKey("SyntaxHighlighting");
  DeleteValue("MostRecentlyUsed", "MRUFile1");
  DeleteValue("Nowhere", "Nothing");

  EXPECT_EQ(ReadInteger("SyntaxHighlighting\\V2\\Comment", "FontStyle", -1), -1);
  EXPECT_EQ(ReadInteger("SyntaxHighlighting", "UseSyntaxHighlighting", -1), -1);
  EXPECT_EQ(ReadString("MostRecentlyUsed", "MRUFile1", "gone"), "gone");
  EXPECT_EQ(ReadString("MostRecentlyUsed", "MRUFile2", ""), "b");
  EXPECT_EQ(ReadString("MostRecentlyUsedX", "MRUFile1", ""), "c");
}

TEST(Settings, ChangesReachTheFileWhenReleased) {
  TTempSettings temp;
  WriteString("Misc", "LastOpenDirectory", "/home/x");
  ReleaseSettings();
  QSettings file(temp.Path(), QSettings::IniFormat);
  EXPECT_EQ(file.value("1.0/Misc/LastOpenDirectory").toString(), "/home/x");
}

}  // namespace
}  // namespace vexa::ide::settings
