#include "widgets/editor/VexaLexer.h"

#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/VexaIntfs.h"
#include "model/settings/Options.h"
#include "model/text/BasicTokenizer.h"
#include "model/text/V2Tokenizer.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>

#include <cstdlib>
#include <string>

namespace vexa::ide {
namespace {

using Sci = QsciScintillaBase;

class VexaLexerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedHighlighting_ = options::UseSyntaxHighlighting;
    savedFace_ = options::EditorFontFace;
    savedSize_ = options::EditorFontSize;
    options::UseSyntaxHighlighting = true;
  }
  void TearDown() override {
    options::UseSyntaxHighlighting = savedHighlighting_;
    options::EditorFontFace = savedFace_;
    options::EditorFontSize = savedSize_;
  }

  TVexaLexer* Install(THighlighterAttributes& attributes) {
    auto* lexer = new TVexaLexer(&attributes, &editor_);
    editor_.setLexer(lexer);
    return lexer;
  }

  void SetText(const char* text) {
    editor_.setText(QString::fromUtf8(text));
    editor_.recolor();
  }

  // The style of the first byte of the n-th occurrence of Needle.
  int StyleOf(const std::string& needle, int occurrence = 1) {
    const QByteArray text = editor_.text().toUtf8();
    qsizetype at = -1;
    for (int i = 0; i < occurrence; ++i) at = text.indexOf(needle.c_str(), at + 1);
    EXPECT_GE(at, 0) << needle;
    return int(editor_.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
  }

  long StyleValue(unsigned int message, int style) {
    return editor_.SendScintilla(message, static_cast<unsigned long>(style));
  }

  // The editor keeps the font's weight negated; SCI_STYLEGETBOLD misses it.
  static bool IsBold(const QsciScintilla& editor, int style) {
    return std::labs(editor.SendScintilla(Sci::SCI_STYLEGETWEIGHT,
                                          static_cast<unsigned long>(style))) >= QFont::DemiBold;
  }
  bool IsBold(int style) { return IsBold(editor_, style); }

  QColor StyleColor(unsigned int message, int style) {
    const long bgr = StyleValue(message, style);
    return QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF));
  }

  struct TApp {
    TApp() { test::TestApp(); }
  } app_;  // before any widget
  QsciScintilla editor_;
  bool savedHighlighting_ = true;
  QString savedFace_;
  int savedSize_ = 10;
};

int V2(TV2TokenKind kind) { return int(kind); }
int Basic(TBasicTokenKind kind) { return int(kind); }

TEST_F(VexaLexerTest, StylesV2TextByTokenKind) {
  THighlighterAttributes attributes(THighlighterLanguage::V2);
  Install(attributes);
  SetText("thread main { // go\n  s = \"Größe\"; n = 0x1F + 12abc; c = 'a'; # }\n");
  struct Case {
    const char* text;
    int style;
  } const cases[] = {
      {"thread", V2(TV2TokenKind::Keyword)},     {" main", V2(TV2TokenKind::Whitespace)},
      {"main", V2(TV2TokenKind::Identifier)},    {"{", V2(TV2TokenKind::Symbol)},
      {"// go", V2(TV2TokenKind::Comment)},      {"\"Gr", V2(TV2TokenKind::String)},
      {"e\";", V2(TV2TokenKind::String)},        {"0x1F", V2(TV2TokenKind::Number)},
      {"12abc", V2(TV2TokenKind::InvalidChars)}, {"'a'", V2(TV2TokenKind::String)},
      {"#", V2(TV2TokenKind::InvalidChars)},     {"}\n", V2(TV2TokenKind::Symbol)},
  };
  for (const Case& c : cases) EXPECT_EQ(StyleOf(c.text), c.style) << c.text;
}

TEST_F(VexaLexerTest, BlockCommentStateFollowsEdits) {
  THighlighterAttributes attributes(THighlighterLanguage::V2);
  Install(attributes);
  const int comment = V2(TV2TokenKind::Comment);
  const int identifier = V2(TV2TokenKind::Identifier);
  SetText("a /* open\nsecond\nthird */ b\nlast\n");
  EXPECT_EQ(StyleOf("second"), comment);
  EXPECT_EQ(StyleOf("third"), comment);
  EXPECT_EQ(StyleOf("b\n"), identifier);
  EXPECT_EQ(StyleOf("last"), identifier);
  EXPECT_EQ(editor_.SendScintilla(Sci::SCI_GETLINESTATE, 0ul), V2RangeBlockComment);
  EXPECT_EQ(editor_.SendScintilla(Sci::SCI_GETLINESTATE, 2ul), V2RangeNormal);

  // Taking the opening mark away restyles the following lines as code.
  editor_.SendScintilla(Sci::SCI_DELETERANGE, 2ul, 2l);
  editor_.recolor();
  EXPECT_EQ(StyleOf("second"), identifier);
  EXPECT_EQ(StyleOf("third"), identifier);
  EXPECT_EQ(editor_.SendScintilla(Sci::SCI_GETLINESTATE, 0ul), V2RangeNormal);

  // Undoing the edit brings the comment back.
  editor_.SendScintilla(Sci::SCI_UNDO);
  editor_.recolor();
  EXPECT_EQ(StyleOf("second"), comment);
  EXPECT_EQ(StyleOf("last"), identifier);

  // An opening mark after the closing one turns the rest into comment.
  const auto b = static_cast<unsigned long>(editor_.text().toUtf8().indexOf("b\n"));
  editor_.SendScintilla(Sci::SCI_INSERTTEXT, b, "/*");
  editor_.recolor();
  EXPECT_EQ(StyleOf("last"), comment);
  EXPECT_EQ(StyleOf("third"), comment);
}

TEST_F(VexaLexerTest, StylesBasicTextByTokenKind) {
  THighlighterAttributes attributes(THighlighterLanguage::Basic);
  TVexaLexer* lexer = Install(attributes);
  EXPECT_STREQ(lexer->language(), "Vexa BASIC");
  SetText("#Start PRINT \"x\"; R9600, &HFF ' done\nGOTO #Start!\n");
  struct Case {
    const char* text;
    int style;
  } const cases[] = {
      {"#Start", Basic(TBasicTokenKind::Label)},   {"PRINT", Basic(TBasicTokenKind::Keyword)},
      {"\"x\"", Basic(TBasicTokenKind::String)},   {";", Basic(TBasicTokenKind::Symbol)},
      {"R9600", Basic(TBasicTokenKind::Constant)}, {"&HFF", Basic(TBasicTokenKind::Number)},
      {"' done", Basic(TBasicTokenKind::Comment)}, {"GOTO", Basic(TBasicTokenKind::Keyword)},
      {"!", Basic(TBasicTokenKind::InvalidChars)}, {" #Start!", Basic(TBasicTokenKind::Whitespace)},
  };
  for (const Case& c : cases) EXPECT_EQ(StyleOf(c.text), c.style) << c.text;
}

TEST_F(VexaLexerTest, StylesTakeTheAttributesAndFollowTheirChanges) {
  THighlighterAttributes attributes(THighlighterLanguage::V2);
  const int comment = attributes.IndexOf("Comment");
  const int keyword = attributes.IndexOf("Keyword");
  const int number = attributes.IndexOf("Number");
  attributes.SetForeground(comment, TVexaColor::FromRgb(0, 128, 0));
  Install(attributes);
  SetText("int x; // c\n");
  const QColor base = editor_.palette().color(QPalette::Base);
  const QColor text = editor_.palette().color(QPalette::Text);

  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETFORE, comment), QColor(0, 128, 0));
  EXPECT_TRUE(StyleValue(Sci::SCI_STYLEGETITALIC, comment));
  EXPECT_TRUE(IsBold(keyword));
  EXPECT_FALSE(IsBold(comment));
  // No colour of its own: the editor's text and background.
  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETFORE, keyword), text);
  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETBACK, keyword), base);

  attributes.SetForeground(comment, TVexaColor::FromRgb(255, 0, 0));
  attributes.SetBackground(number, TVexaColor::FromRgb(1, 2, 3));
  attributes.SetStyle(keyword, FontStyleUnderline | FontStyleItalic);
  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETFORE, comment), QColor(255, 0, 0));
  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETBACK, number), QColor(1, 2, 3));
  EXPECT_FALSE(IsBold(keyword));
  EXPECT_TRUE(StyleValue(Sci::SCI_STYLEGETUNDERLINE, keyword));
  EXPECT_TRUE(StyleValue(Sci::SCI_STYLEGETITALIC, keyword));

  // A system colour comes from the editor's palette (13: highlight).
  attributes.SetForeground(number, TVexaColor::System(13));
  EXPECT_EQ(StyleColor(Sci::SCI_STYLEGETFORE, number),
            editor_.palette().color(QPalette::Active, QPalette::Highlight));

  // A second editor over the same attributes follows them too.
  QsciScintilla other;
  other.setLexer(new TVexaLexer(&attributes, &other));
  attributes.SetStyle(comment, FontStyleBold);
  for (QsciScintilla* e : {&editor_, &other}) {
    EXPECT_TRUE(IsBold(*e, comment));
    EXPECT_FALSE(e->SendScintilla(Sci::SCI_STYLEGETITALIC, static_cast<unsigned long>(comment)));
  }
}

TEST_F(VexaLexerTest, HighlightingOffGivesPlainTextInTheEditorFont) {
  options::EditorFontFace = QStringLiteral("Courier New");
  options::EditorFontSize = 14;
  THighlighterAttributes attributes(THighlighterLanguage::V2);
  TVexaLexer* lexer = Install(attributes);
  SetText("while x // c\n");
  EXPECT_EQ(StyleValue(Sci::SCI_STYLEGETSIZE, V2(TV2TokenKind::Keyword)), 14);
  EXPECT_EQ(StyleValue(Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT), 14);

  options::UseSyntaxHighlighting = false;
  options::EditorFontSize = 12;
  lexer->ApplySettings();
  for (const char* piece : {"while", " x", "x", "// c"})
    EXPECT_EQ(StyleOf(piece), lexer->PlainStyle()) << piece;
  EXPECT_EQ(StyleValue(Sci::SCI_STYLEGETSIZE, lexer->PlainStyle()), 12);
  EXPECT_EQ(StyleValue(Sci::SCI_STYLEGETSIZE, V2(TV2TokenKind::Keyword)), 12);
  EXPECT_EQ(StyleValue(Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT), 12);
  EXPECT_FALSE(IsBold(lexer->PlainStyle()));

  options::UseSyntaxHighlighting = true;
  lexer->ApplySettings();
  EXPECT_EQ(StyleOf("while"), V2(TV2TokenKind::Keyword));
  EXPECT_EQ(StyleOf("// c"), V2(TV2TokenKind::Comment));
}

TEST_F(VexaLexerTest, FactoryPicksTheLanguageAndTheSharedAttributes) {
  {
    QsciScintilla v2;
    TVexaLexer* lexer = CreateLexerFor(TFileKind::V2Module, &v2);
    ASSERT_NE(lexer, nullptr);
    EXPECT_EQ(v2.lexer(), lexer);
    EXPECT_EQ(lexer->Language(), THighlighterLanguage::V2);
    EXPECT_STREQ(lexer->language(), "Vexa V2");
  }
  for (int kind : {int(TFileKind::Plain), int(TFileKind::V2Project), 4}) {
    QsciScintilla plain;
    EXPECT_EQ(CreateLexerFor(static_cast<TFileKind>(kind), &plain), nullptr) << kind;
    EXPECT_EQ(plain.lexer(), nullptr) << kind;
  }

  test::TTempSettings settings;
  TCommandsModule module;
  QsciScintilla basic;
  TVexaLexer* lexer = CreateLexerFor(TFileKind::BasicProject, &basic);
  ASSERT_NE(lexer, nullptr);
  EXPECT_EQ(lexer->Attributes(), &module.hlBasic);
  basic.setText(QStringLiteral("' x"));
  basic.recolor();
  const int comment = module.hlBasic.IndexOf("Comment");
  module.hlBasic.SetForeground(comment, TVexaColor::FromRgb(9, 8, 7));
  EXPECT_EQ(basic.SendScintilla(Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(comment)),
            0x070809);
}

}  // namespace
}  // namespace vexa::ide
