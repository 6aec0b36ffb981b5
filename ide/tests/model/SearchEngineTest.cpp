#include "model/text/SearchEngine.h"

#include <gtest/gtest.h>

#include <deque>

namespace vexa::ide {
namespace {

// Texts with the selection marked: "{" is the anchor, "|" the caret; a lone
// "|" is the caret without a selection.
TStringTextDocument Marked(const QString& Marked) {
  const int caretMark = static_cast<int>(Marked.indexOf(u'|'));
  const int anchorMark = static_cast<int>(Marked.indexOf(u'{'));
  QString text = Marked;
  text.remove(u'|').remove(u'{');
  const int caret = caretMark - (anchorMark >= 0 && anchorMark < caretMark ? 1 : 0);
  const int anchor = anchorMark < 0 ? caret : anchorMark - (caretMark < anchorMark ? 1 : 0);
  TStringTextDocument document(text);
  document.SetSelection(anchor, caret);
  return document;
}

QString Render(const TStringTextDocument& Document) {
  QString text = Document.String();
  const int anchor = Document.Anchor();
  const int caret = Document.Caret();
  if (anchor == caret) return text.insert(caret, u'|');
  // Insert the later mark first so the earlier position stays valid.
  if (anchor > caret) return text.insert(anchor, u'{').insert(caret, u'|');
  return text.insert(caret, u'|').insert(anchor, u'{');
}

TSearchOptions Flags(const char* Flags) {
  TSearchOptions o;
  for (const char* f = Flags; *f; ++f) {
    switch (*f) {
      case 'c': o.MatchCase = true; break;
      case 'w': o.WholeWord = true; break;
      case 'b': o.Backwards = true; break;
      case 'e': o.EntireScope = true; break;
      case 's': o.SelectedOnly = true; break;
    }
  }
  return o;
}

struct FindCase {
  const char* before;
  const char* what;
  const char* flags;
  const char* after;
  int count;
};

class FindTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTest, SelectsTheMatchOrCollapsesTheSelection) {
  const FindCase& c = GetParam();
  TStringTextDocument document = Marked(c.before);
  EXPECT_EQ(SearchReplace(document, c.what, QString(), Flags(c.flags)), c.count);
  EXPECT_EQ(Render(document), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTest,
    testing::Values(
        // From the caret, and from the start or end of the text.
        FindCase{"a foo b| foo", "foo", "", "a foo b {foo|", 1},
        FindCase{"a foo b| foo", "foo", "e", "a {foo| b foo", 1},
        FindCase{"a foo b| foo", "foo", "b", "a |foo{ b foo", 1},
        FindCase{"a foo b| foo", "foo", "be", "a foo b |foo{", 1},
        // A found match is not found again, in either direction.
        FindCase{"{foo| foo", "foo", "", "foo {foo|", 1},
        FindCase{"foo {foo|", "foo", "b", "|foo{ foo", 1},
        // Nothing found: forwards to the selection's end, backwards to its start.
        FindCase{"x {ab| y", "zz", "", "x ab| y", 0}, FindCase{"x {ab| y", "zz", "b", "x |ab y", 0},
        FindCase{"foo b| x", "foo", "", "foo b| x", 0},
        // Case and whole words.
        FindCase{"| Foo foo", "foo", "", " {Foo| foo", 1},
        FindCase{"| Foo foo", "foo", "c", " Foo {foo|", 1},
        FindCase{"| foobar foo_ xfoo foo", "foo", "w", " foobar foo_ xfoo {foo|", 1},
        FindCase{"| Größe gr", "gr", "w", " Größe {gr|", 1},
        // In the selection, whatever the caret.
        FindCase{"foo {x foo| foo", "foo", "s", "foo x {foo| foo", 1},
        FindCase{"foo {foo x foo| foo", "foo", "sb", "foo foo x |foo{ foo", 1},
        FindCase{"foo |foo x foo{ foo", "foo", "s", "foo {foo| x foo foo", 1},
        FindCase{"foo {x y| foo", "foo", "s", "foo x y| foo", 0},
        FindCase{"foo {fo|o", "foo", "s", "foo fo|o", 0},
        // Without a selection the option does not restrict the run.
        FindCase{"foo | x foo", "foo", "s", "foo  x {foo|", 1},
        FindCase{"foo | x foo", "foo", "se", "{foo|  x foo", 1},
        // Across lines.
        FindCase{"|a\r\nfoo\nfoo", "foo", "b", "|a\r\nfoo\nfoo", 0},
        FindCase{"|a\r\nfoo\nfoo", "foo", "", "a\r\n{foo|\nfoo", 1}));

TEST(SearchEngineTest, TheLastMatchDoesNotRestrictTheNextRun) {
  TStringTextDocument document = Marked("{foo| foo foo");
  EXPECT_EQ(SearchReplace(document, "foo", "", Flags("s"), {}, TTextRange{0, 3}), 1);
  EXPECT_EQ(Render(document), "foo {foo| foo");
  // A selection of the user's still does.
  document = Marked("{foo foo| foo");
  EXPECT_EQ(SearchReplace(document, "foo", "", Flags("s"), {}, TTextRange{0, 3}), 1);
  EXPECT_EQ(Render(document), "{foo| foo foo");
}

TEST(SearchEngineTest, EmptySearchTextFindsNothing) {
  TStringTextDocument document = Marked("a{b|c");
  EXPECT_EQ(SearchReplace(document, "", "x", Flags("e")), 0);
  EXPECT_EQ(Render(document), "ab|c");
}

// The replace run of the search commands: prompt, replace and replace all.
TSearchOptions ReplaceFlags(const char* FlagText) {
  TSearchOptions o = Flags(FlagText);
  o.Replace = o.ReplaceAll = o.Prompt = true;
  return o;
}

using Action = TReplaceAction;

struct PromptCase {
  const char* before;
  const char* flags;
  std::vector<Action> answers;
  const char* after;
  int count;
  std::vector<int> asked;  // the match starts asked for
};

class PromptTest : public testing::TestWithParam<PromptCase> {};

TEST_P(PromptTest, AnswersDecideEachReplacement) {
  const PromptCase& c = GetParam();
  TStringTextDocument document = Marked(c.before);
  std::deque<Action> answers(c.answers.begin(), c.answers.end());
  std::vector<int> asked;
  auto prompt = [&](const QString& found, const QString& replacement, TTextRange match) {
    EXPECT_EQ(found.toLower(), "a");
    EXPECT_EQ(replacement, "bb");
    EXPECT_EQ(document.Text(match), found);
    asked.push_back(match.Start);
    if (answers.empty()) {
      ADD_FAILURE() << "asked once too often";
      return Action::Cancel;
    }
    const Action answer = answers.front();
    answers.pop_front();
    return answer;
  };
  EXPECT_EQ(SearchReplace(document, "a", "bb", ReplaceFlags(c.flags), prompt), c.count);
  EXPECT_EQ(Render(document), c.after);
  EXPECT_EQ(asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PromptTest,
    testing::Values(
        PromptCase{"|a x a x a",
                   "e",
                   {Action::Replace, Action::Replace, Action::Replace},
                   "bb x bb x bb|",
                   3,
                   {0, 5, 10}},
        PromptCase{"|a x a x a",
                   "e",
                   {Action::Skip, Action::Replace, Action::Skip},
                   "a x bb x {a|",
                   1,
                   {0, 4, 9}},
        // All: the rest without a question.
        PromptCase{
            "|a x a x a", "e", {Action::Replace, Action::ReplaceAll}, "bb x bb x bb|", 3, {0, 5}},
        // Cancel stops the run with the match still selected.
        PromptCase{"|a x a x a", "e", {Action::Replace, Action::Cancel}, "bb x {a| x a", 2, {0, 5}},
        PromptCase{"|a x a x a",
                   "e",
                   {Action::Skip, Action::Skip, Action::Skip},
                   "a x a x a|",
                   0,
                   {0, 4, 8}},
        PromptCase{"|a x A x a", "ec", {Action::ReplaceAll}, "bb x A x bb|", 2, {0}},
        PromptCase{"|a x a x a", "eb", {Action::ReplaceAll}, "|bb x bb x bb", 3, {8}},
        // In the selection the scope end follows the longer replacement.
        PromptCase{
            "a {a x a| a", "s", {Action::Replace, Action::Replace}, "a bb x bb| a", 2, {2, 7}},
        PromptCase{"a x a| a", "", {Action::ReplaceAll}, "a x a bb|", 1, {6}}));

TEST(SearchEngineTest, MatchEqualToTheReplacementIsNotAsked) {
  TStringTextDocument document = Marked("|a x a");
  int asked = 0;
  auto prompt = [&](const QString&, const QString&, TTextRange) {
    ++asked;
    return Action::Replace;
  };
  EXPECT_EQ(SearchReplace(document, "a", "a", ReplaceFlags("e"), prompt), 0);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(document.UndoSteps(), 0);
}

TEST(SearchEngineTest, ReplacementContainingTheSearchTextEnds) {
  TStringTextDocument document = Marked("|aa");
  TSearchOptions o = Flags("e");
  o.Replace = o.ReplaceAll = true;
  EXPECT_EQ(SearchReplace(document, "a", "aa", o), 2);
  EXPECT_EQ(document.String(), "aaaa");
}

TEST(SearchEngineTest, ReplaceWithoutReplaceAllChangesOneMatch) {
  TStringTextDocument document = Marked("|a a");
  TSearchOptions o = Flags("e");
  o.Replace = true;
  EXPECT_EQ(SearchReplace(document, "a", "b", o), 1);
  EXPECT_EQ(document.String(), "b a");
}

TEST(SearchEngineTest, ReplaceRunIsOneUndoStep) {
  const QString original = "one a two a three a";
  TStringTextDocument document(original);
  document.Replace({0, 3}, "ONE");
  ASSERT_EQ(document.UndoSteps(), 1);
  EXPECT_EQ(
      SearchReplace(document, "a", "xyz", ReplaceFlags("e"),
                    [](const QString&, const QString&, TTextRange) { return Action::ReplaceAll; }),
      3);
  EXPECT_EQ(document.String(), "ONE xyz two xyz three xyz");
  EXPECT_EQ(document.UndoSteps(), 2);
  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(document.String(), "ONE a two a three a");
  // A run that replaces nothing leaves no step behind.
  EXPECT_EQ(SearchReplace(document, "zz", "y", ReplaceFlags("e")), 0);
  EXPECT_EQ(document.UndoSteps(), 1);
}

TEST(SearchEngineTest, SearchTextAtCaret) {
  const std::pair<const char*, const char*> cases[] = {
      {"ab {c d| ef", "c d"},       // the selection, within one line
      {"a{b\nc|d e", "cd"},         // over two lines: the word at the caret
      {"foo  |  bar", ""},          // in white space
      {"fo|o bar", "foo"},          //
      {"foo| bar", "foo"},          // touching the end of the word
      {"x |größe_2 y", "größe_2"},  //
      {"|", ""},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(SearchTextAtCaret(Marked(text)), expected) << text;
}

TEST(SearchEngineTest, Histories) {
  EXPECT_EQ(MoveToTop({"a", "b", "c"}, "b"), QStringList({"b", "a", "c"}));
  EXPECT_EQ(MoveToTop({"a", "b"}, "d"), QStringList({"d", "a", "b"}));
  EXPECT_EQ(MoveToTop({"a", "b"}, ""), QStringList({"a", "b"}));
  QStringList twelve;
  for (int i = 1; i <= 12; ++i) twelve << QString::number(i);
  EXPECT_EQ(JoinHistory(twelve), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10");
}

struct PlaceCase {
  QRect area;
  int matchX, lineTop, lineBottom;
  QPoint expected;
};

TEST(SearchEngineTest, ConfirmDialogPlacement) {
  const QSize dialog(200, 100);
  const QRect area(100, 100, 400, 300);  // lower third starts below y 300
  const PlaceCase cases[] = {
      {area, 150, 120, 135, {150, 139}},                      // below the line, at the match
      {area, 350, 120, 135, {300, 139}},                      // kept inside the area's right edge
      {area, -900, 120, 135, {100, 139}},                     // match left of the area: at its left
      {area, 150, 300, 315, {150, 196}},                      // line in the lower third: above it
      {area, 150, 285, 300, {150, 304}},                      // ending exactly at two thirds: below
      {QRect(100, 100, 150, 300), 120, 120, 135, {75, 139}},  // narrow: centred
      {QRect(100, 100, 151, 300), 120, 120, 135, {76, 139}},
  };
  for (const PlaceCase& c : cases)
    EXPECT_EQ(ConfirmDialogPosition(c.area, c.matchX, c.lineTop, c.lineBottom, dialog), c.expected)
        << c.matchX << "," << c.lineTop;
  EXPECT_EQ(ConfirmReplaceText("x"), "Soll dieses Vorkommen von \"x\" ersetzt werden?");
}

}  // namespace
}  // namespace vexa::ide
