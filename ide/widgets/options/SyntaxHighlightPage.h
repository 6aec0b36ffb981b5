#pragma once

// The "Syntaxhervorhebung" page of the V2 and BASIC option dialogs: edits
// the display attributes of the token kinds on a copy of each live
// highlighter, shows the copy in a preview of the language's sample source,
// and copies every attribute back into the live highlighters on OK only.

#include "model/settings/VexaColor.h"
#include "widgets/options/CustomDialogPage.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;

namespace vexa::ide {

class TColorGrid;
class THighlighterAttributes;
class TVexaEditControl;
class TVexaLexer;

struct THighlighterEntry {
  THighlighterAttributes* Highlighter = nullptr;  // the live one, not owned
  THighlighterAttributes* Clone = nullptr;        // owned by the page
};

class TSyntaxHighlightPage : public TCustomDialogPage {
  Q_OBJECT

 public:
  explicit TSyntaxHighlightPage(QWidget* Parent = nullptr);
  ~TSyntaxHighlightPage() override;

  // Appends an entry with a fresh clone per highlighter, reloads every clone
  // and rebuilds the language list (shown only for two or more).
  void AddHighlighters(const QList<THighlighterAttributes*>& Highlighters);

  void Apply() override;
  void Load() override;

  // The language's name in the selector, and its sample source.
  static QString LanguageName(const THighlighterAttributes& Highlighter);
  static QString SampleSource(const THighlighterAttributes& Highlighter);

  // The current clone and the index of the shown attribute (-1 none).
  THighlighterAttributes* CurrentClone() const;
  int CurrentAttribute() const { return attribute_; }
  // The attribute index for the preview's caret: the token there, the
  // whitespace attribute where there is none (beyond a line's end).
  int AttributeAtCaret() const;

  QLabel* lblLanguage = nullptr;
  QComboBox* cbSelectLanguage = nullptr;
  QLabel* lblElements = nullptr;
  QListWidget* lbElements = nullptr;
  QLabel* lblColors = nullptr;
  TColorGrid* cgAttriColors = nullptr;
  QGroupBox* gbTextAttributes = nullptr;
  QCheckBox* cbFontBold = nullptr;
  QCheckBox* cbFontItalic = nullptr;
  QCheckBox* cbFontUnderline = nullptr;
  QGroupBox* gbDefaults = nullptr;
  QCheckBox* cbDefaultForeground = nullptr;
  QCheckBox* cbDefaultBackground = nullptr;
  TVexaEditControl* SynEditPreview = nullptr;

  QList<THighlighterEntry> Entries;
  int UpdateLock = 0;
  TVexaColor LastForeground;
  TVexaColor LastBackground;

 private:
  void LanguageChanged();
  void ShowElement();
  void ShowColors();
  void StyleClicked(int Style, bool Checked);
  void DefaultClicked(bool Foreground, bool Checked);
  void ColorMarked(bool Foreground);
  void CaretMoved();

  QWidget* languageBox_ = nullptr;
  int attribute_ = -1;
  THighlighterAttributes* previewClone_ = nullptr;
  TVexaLexer* previewLexer_ = nullptr;
};

}  // namespace vexa::ide
