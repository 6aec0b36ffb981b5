#include "model/files/TipsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

// Writes Bytes into a fresh file and returns its name.
class TipsFileTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& Bytes) {
    const QString name = dir_.path() + "/tips.txt";
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return name;
  }

  QTemporaryDir dir_;
};

TEST_F(TipsFileTest, SplitsLinesAsWrittenOnAnySystem) {
  struct Case {
    QByteArray bytes;
    QStringList expected;
  } const cases[] = {
      {"one\ntwo\nthree\n", {"one", "two", "three"}},
      {"one\r\ntwo\r\nthree", {"one", "two", "three"}},
      {"one\rtwo\r", {"one", "two"}},
      {"one\n\nthree\n", {"one", "", "three"}},
      {"", {}},
      {"\n", {""}},
      {"\xEF\xBB\xBF"
       "erste\n",
       {"erste"}},
      {"Gr\xC3\xBC\xC3\x9F"
       "e\n",
       {QString::fromUtf8("Grüße")}},
      // Not UTF-8: read as Latin-1.
      {"Gr\xFC\xDF"
       "e\n",
       {QString::fromUtf8("Grüße")}},
  };
  for (const Case& c : cases) {
    QStringList lines{"stale"};
    EXPECT_TRUE(ReadTipsFile(Write(c.bytes), lines)) << c.bytes.toStdString();
    EXPECT_EQ(lines, c.expected) << c.bytes.toStdString();
  }
}

TEST_F(TipsFileTest, MissingFileGivesNoLines) {
  QStringList lines{"stale"};
  EXPECT_FALSE(ReadTipsFile(dir_.path() + "/missing.txt", lines));
  EXPECT_TRUE(lines.isEmpty());
}

TEST(DecodeTip, EscapesReadInOnePass) {
  struct Case {
    QString line;
    QString expected;
  } const cases[] = {
      {R"(a\nb)", "a\nb"},
      // An escaped backslash before an "n": the "n" stays a letter.
      {R"(a\\nb)", R"(a\nb)"},
      {R"(a\\b)", R"(a\b)"},
      {R"(a\\\\b)", R"(a\\b)"},
      {R"(a\\\nb)", "a\\\nb"},
      {R"(\n\n)", "\n\n"},
      {R"(C:\temp)", R"(C:\temp)"},
      {R"(a\)", R"(a\)"},
      {"", ""},
      {"ohne", "ohne"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeTip(c.line), c.expected) << c.line.toStdString();
}

TEST(NextTip, WrapsAfterTheLastLineAndFromAnIndexOutside) {
  const QStringList lines{"eins", "zwei", "drei"};
  int index = 0;
  QString tip;
  QStringList shown;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(NextTip(lines, index, tip));
    shown << tip;
  }
  EXPECT_EQ(shown, QStringList({"eins", "zwei", "drei", "eins"}));
  EXPECT_EQ(index, 1);

  for (int start : {3, 7, -1}) {
    index = start;
    ASSERT_TRUE(NextTip(lines, index, tip)) << start;
    EXPECT_EQ(tip, "eins") << start;
    EXPECT_EQ(index, 1) << start;
  }

  index = 1;
  ASSERT_TRUE(NextTip({R"(a\nb)", R"(x\\ny)"}, index, tip));
  EXPECT_EQ(tip, R"(x\ny)");
}

TEST(NextTip, NoLinesLeavesTheTip) {
  int index = 4;
  QString tip = "vorher";
  EXPECT_FALSE(NextTip({}, index, tip));
  EXPECT_EQ(tip, "vorher");
  EXPECT_EQ(index, 0);
}

TEST(ShippedTips, TenToFifteenTipsBesideTheProgram) {
  QStringList lines;
  ASSERT_TRUE(ReadTipsFile(DefaultTipsFileName(), lines)) << DefaultTipsFileName().toStdString();
  EXPECT_GE(lines.size(), 10);
  EXPECT_LE(lines.size(), 15);
  for (const QString& line : lines) {
    EXPECT_FALSE(line.trimmed().isEmpty());
    // Every backslash is one of the two escapes.
    for (qsizetype i = 0; i < line.size(); ++i) {
      if (line[i] != '\\') continue;
      ASSERT_LT(i + 1, line.size()) << line.toStdString();
      EXPECT_TRUE(line[i + 1] == '\\' || line[i + 1] == 'n') << line.toStdString();
      ++i;
    }
  }
}

}  // namespace
}  // namespace vexa::ide
