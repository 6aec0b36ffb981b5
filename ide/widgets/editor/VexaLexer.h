#pragma once

// The colouring of V2 and VXBasic text in a QsciScintilla: one lexer per
// editor over the language's tokenizer. Token kind k is drawn with style k,
// whose colours and font style come from the language's shared attributes
// (re-read whenever they change); with syntax highlighting switched off the
// whole text takes PlainStyle().

#include "model/core/VexaIntfs.h"
#include "model/settings/HighlighterSettings.h"
#include "model/text/Tokens.h"

#include <Qsci/qscilexercustom.h>

#include <QPointer>

#include <string_view>

class QsciScintilla;

namespace vexa::ide {

class TVexaLexer : public QsciLexerCustom {
  Q_OBJECT

 public:
  // Attributes is not owned; it chooses the language.
  explicit TVexaLexer(THighlighterAttributes* Attributes, QObject* Parent = nullptr);

  THighlighterLanguage Language() const { return language_; }
  THighlighterAttributes* Attributes() const { return attributes_; }
  // The style of text when highlighting is off; right after the token kinds.
  int PlainStyle() const { return kindCount_; }
  // The style token kind Kind is drawn with.
  int StyleOfKind(int Kind) const { return highlighting_ ? Kind : PlainStyle(); }

  // A lexer that always colours (the option pages' previews) ignores
  // options::UseSyntaxHighlighting.
  void SetAlwaysHighlight(bool Always);

  // Takes the attributes, options::UseSyntaxHighlighting and the editor font
  // (options::EditorFontFace, EditorFontSize) again; restyles the text when
  // highlighting was switched on or off.
  void ApplySettings();

  const char* language() const override;
  QString description(int Style) const override;
  const char* wordCharacters() const override;
  bool caseSensitive() const override;
  void styleText(int Start, int End) override;
  void setEditor(QsciScintilla* Editor) override;

 private:
  using TTokenizer = TTokenizedLine (*)(std::string_view, int);

  QPalette Palette() const;

  QPointer<THighlighterAttributes> attributes_;
  THighlighterLanguage language_;
  TTokenizer tokenize_;
  int kindCount_;
  bool highlighting_ = true;
  bool alwaysHighlight_ = false;
};

// The lexer for a file kind (TFileKind::V2Module or TFileKind::BasicProject), made
// as a child of Editor and installed there, over the command module's shared
// attributes (or defaults of its own without a command module). nullptr and
// no change to Editor for any other kind.
TVexaLexer* CreateLexerFor(TFileKind Kind, QsciScintilla* Editor);

}  // namespace vexa::ide
