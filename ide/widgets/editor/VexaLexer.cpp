#include "widgets/editor/VexaLexer.h"

#include "model/commands/CommandsModule.h"
#include "model/core/VexaIntfs.h"
#include "model/settings/Options.h"
#include "model/text/BasicTokenizer.h"
#include "model/text/V2Tokenizer.h"
#include "widgets/shared/PaletteColors.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QByteArray>
#include <QFont>

#include <algorithm>

namespace vexa::ide {

TVexaLexer::TVexaLexer(THighlighterAttributes* Attributes, QObject* Parent)
    : QsciLexerCustom(Parent),
      attributes_(Attributes),
      language_(Attributes->Language()),
      tokenize_(language_ == THighlighterLanguage::V2 ? &TokenizeV2 : &TokenizeBasic),
      kindCount_(language_ == THighlighterLanguage::V2 ? kV2TokenKindCount : kBasicTokenKindCount) {
  connect(Attributes, &THighlighterAttributes::Changed, this, &TVexaLexer::ApplySettings);
  ApplySettings();
}

const char* TVexaLexer::language() const {
  return language_ == THighlighterLanguage::V2 ? kV2LanguageName : kBasicLanguageName;
}

QString TVexaLexer::description(int Style) const {
  if (Style == PlainStyle()) return QStringLiteral("Text");
  if (Style < 0 || !attributes_ || Style >= attributes_->Count()) return QString();
  return attributes_->At(Style).DisplayName;
}

const char* TVexaLexer::wordCharacters() const {
  return language_ == THighlighterLanguage::V2
             ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz"
             : "#0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
}

bool TVexaLexer::caseSensitive() const { return language_ == THighlighterLanguage::V2; }

QPalette TVexaLexer::Palette() const {
  return editor() ? editor()->palette() : QApplication::palette();
}

void TVexaLexer::setEditor(QsciScintilla* Editor) {
  QsciLexerCustom::setEditor(Editor);
  if (Editor) ApplySettings();  // the editor's palette may differ from the application's
}

void TVexaLexer::SetAlwaysHighlight(bool Always) {
  alwaysHighlight_ = Always;
  ApplySettings();
}

void TVexaLexer::ApplySettings() {
  const QPalette palette = Palette();
  const QColor text = palette.color(QPalette::Text);
  const QColor base = palette.color(QPalette::Base);
  const QFont baseFont(options::EditorFontFace, options::EditorFontSize);

  setDefaultColor(text);
  setDefaultPaper(base);
  setDefaultFont(baseFont);
  // Style by style: each setter tells the editor, which redraws.
  for (int style = 0; style < kindCount_; ++style) {
    QColor foreground = text;
    QColor background = base;
    QFont font = baseFont;
    if (attributes_ && style < attributes_->Count()) {
      const THighlighterAttribute& a = attributes_->At(style);
      foreground = ResolveColor(a.Foreground, palette, text);
      background = ResolveColor(a.Background, palette, base);
      // Strike-out has no Scintilla style: kept in the model, not drawn.
      font.setBold(a.Style & FontStyleBold);
      font.setItalic(a.Style & FontStyleItalic);
      font.setUnderline(a.Style & FontStyleUnderline);
    }
    setColor(foreground, style);
    setPaper(background, style);
    setFont(font, style);
  }
  setColor(text, PlainStyle());
  setPaper(base, PlainStyle());
  setFont(baseFont, PlainStyle());
  emit fontChanged(baseFont, QsciScintillaBase::STYLE_DEFAULT);
  emit paperChanged(base, QsciScintillaBase::STYLE_DEFAULT);
  emit colorChanged(text, QsciScintillaBase::STYLE_DEFAULT);

  const bool highlighting = alwaysHighlight_ || options::UseSyntaxHighlighting;
  if (highlighting != highlighting_) {
    highlighting_ = highlighting;
    if (editor()) editor()->recolor();
  }
}

void TVexaLexer::styleText(int Start, int End) {
  QsciScintilla* ed = editor();
  if (!ed) return;
  const long lineCount = ed->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
  const long length = ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  long line = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(Start));
  long pos = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
  int range = line > 0 ? int(ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line - 1)) : 0;
  const long end = std::min<long>(End, length);

  startStyling(int(pos));
  QByteArray text;
  while (line < lineCount && pos < end) {
    const long lineEnd = line + 1 < lineCount
                             ? ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1)
                             : length;
    text.resize(lineEnd - pos + 1);
    ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, pos, lineEnd, text.data());
    const TTokenizedLine tokens =
        tokenize_(std::string_view(text.constData(), std::size_t(lineEnd - pos)), range);
    for (const TToken& token : tokens.Tokens) setStyling(token.Length, StyleOfKind(token.Kind));
    range = tokens.EndRange;
    ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line, long(range));
    pos = lineEnd;
    ++line;
  }
}

TVexaLexer* CreateLexerFor(TFileKind Kind, QsciScintilla* Editor) {
  if (Kind != TFileKind::V2Module && Kind != TFileKind::BasicProject) return nullptr;
  const bool v2 = Kind == TFileKind::V2Module;
  TVexaLexer* lexer = nullptr;
  if (CommandsModule) {
    lexer = new TVexaLexer(v2 ? &CommandsModule->hlV2 : &CommandsModule->hlBasic, Editor);
  } else {
    auto* attributes =
        new THighlighterAttributes(v2 ? THighlighterLanguage::V2 : THighlighterLanguage::Basic);
    lexer = new TVexaLexer(attributes, Editor);
    attributes->setParent(lexer);
  }
  if (Editor) Editor->setLexer(lexer);
  return lexer;
}

}  // namespace vexa::ide
