#include "model/text/IdentifierAtCaret.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vexa::ide {
namespace {

struct IdentCase {
  const char* Line;
  int Column;
  const char* Text;
  int Start;
  int CaretOffset;
};

void PrintTo(const IdentCase& C, std::ostream* Out) {
  *Out << '"' << C.Line << "\" column " << C.Column;
}

class IdentifierAtTest : public testing::TestWithParam<IdentCase> {};

TEST_P(IdentifierAtTest, FindsTheDottedNameAroundTheCaret) {
  const IdentCase& c = GetParam();
  const TIdentifierAtCaretInfo info = IdentifierAt(QString::fromUtf8(c.Line), c.Column);
  EXPECT_TRUE(info.Valid);
  EXPECT_EQ(info.Text, QString::fromUtf8(c.Text));
  EXPECT_EQ(info.Start, c.Start);
  EXPECT_EQ(info.CaretOffset, c.CaretOffset);
}

INSTANTIATE_TEST_SUITE_P(Lines, IdentifierAtTest,
                         testing::Values(
                             // "x = motor.sp;" with the caret right after "sp".
                             IdentCase{"x = motor.sp;", 13, "motor.sp", 5, 9},
                             // Caret in the middle: the whole name, right part included.
                             IdentCase{"x = motor.speed;", 12, "motor.speed", 5, 8},
                             // Before the first character and at the end of the line.
                             IdentCase{"motor.sp", 1, "motor.sp", 1, 1},
                             IdentCase{"a_1.b2", 7, "a_1.b2", 1, 7},
                             // Between two names separated by a blank: the one before the caret.
                             IdentCase{"ab cd", 3, "ab", 1, 3},
                             // On blanks and operators there is none.
                             IdentCase{"x = y", 3, "", 0, 0}, IdentCase{"", 1, "", 0, 0},
                             // Beyond the end + 1 there is none, even next to a name.
                             IdentCase{"abc", 5, "", 0, 0}, IdentCase{"abc", 0, "", 0, 0},
                             // Characters outside the ASCII name set end the identifier.
                             IdentCase{"ä.bc", 5, ".bc", 2, 4}));

struct RequestCase {
  const char* Line;
  int Column;
  bool Completes;
  const char* Qualifier;
  const char* Filter;
};

void PrintTo(const RequestCase& C, std::ostream* Out) {
  *Out << '"' << C.Line << "\" column " << C.Column;
}

class CompletionRequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(CompletionRequestTest, NeedsADotAfterTheFirstCharacterAndBeforeTheCaret) {
  const RequestCase& c = GetParam();
  const auto request = CompletionRequestOf(IdentifierAt(QString::fromUtf8(c.Line), c.Column));
  ASSERT_EQ(request.has_value(), c.Completes);
  if (!request) return;
  EXPECT_EQ(request->Qualifier, QString::fromUtf8(c.Qualifier));
  EXPECT_EQ(request->Filter, QString::fromUtf8(c.Filter));
}

INSTANTIATE_TEST_SUITE_P(Lines, CompletionRequestTest,
                         testing::Values(RequestCase{"x = motor.sp;", 13, true, "motor", "sp"},
                                         // Right after the dot: an empty filter.
                                         RequestCase{"motor.", 7, true, "motor", ""},
                                         // The last dot counts.
                                         RequestCase{"a.b.cd", 7, true, "a.b", "cd"},
                                         // Caret between "motor" and the dot.
                                         RequestCase{"x = motor.sp;", 10, false, "", ""},
                                         // An identifier that begins with its only dot.
                                         RequestCase{".speed", 7, false, "", ""},
                                         RequestCase{"motor", 6, false, "", ""}));

TEST(CompletionRequestTest, TheFilterIsCutTo256Characters) {
  const QString line = QStringLiteral("m.") + QString(300, u'a');
  const auto request = CompletionRequestOf(IdentifierAt(line, int(line.size()) + 1));
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Filter.size(), kMaxCompletionFilter);
}

TEST(CompletionItemNameTest, IsTheLeadingRunOfNameCharacters) {
  EXPECT_EQ(CompletionItemName(QStringLiteral("speed (variable)")), QStringLiteral("speed"));
  EXPECT_EQ(CompletionItemName(QStringLiteral("Set_2(x: int)")), QStringLiteral("Set_2"));
  EXPECT_EQ(CompletionItemName(QStringLiteral("(none)")), QString());
}

TEST(CompletionEditTest, ReplacesEverythingAfterTheDotUnlessItAlreadyStartsWithTheChoice) {
  // "x = motor.sp;": the identifier starts at column 5, "sp" is characters 10..11.
  const TIdentifierAtCaretInfo info = IdentifierAt(QStringLiteral("x = motor.sp;"), 13);
  const auto edit = CompletionEditOf(info, QStringLiteral("spe"));
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->From, 10);
  EXPECT_EQ(edit->To, 12);
  EXPECT_FALSE(CompletionEditOf(info, QStringLiteral("sp")));
  // A longer name after the dot that begins with the choice stays as it is.
  EXPECT_FALSE(
      CompletionEditOf(IdentifierAt(QStringLiteral("motor.speedx"), 9), QStringLiteral("speed")));
  EXPECT_FALSE(CompletionEditOf(IdentifierAt(QStringLiteral("motor"), 3), QStringLiteral("x")));
}

}  // namespace
}  // namespace vexa::ide
