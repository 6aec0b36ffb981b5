#include "widgets/options/SyntaxHighlightPage.h"

#include "model/settings/HighlighterSettings.h"
#include "model/text/BasicTokenizer.h"
#include "model/text/V2Tokenizer.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/editor/VexaLexer.h"
#include "widgets/options/ColorGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <string>

namespace vexa::ide {

namespace {

// The system's window-text and window colours.
constexpr TVexaColor kWindowText = TVexaColor::System(8);
constexpr TVexaColor kWindow = TVexaColor::System(5);

QCheckBox* CheckBox(QWidget* Parent, const char* Name, const char* Caption) {
  auto* box = new QCheckBox(QString::fromUtf8(Caption), Parent);
  box->setObjectName(QString::fromLatin1(Name));
  return box;
}

}  // namespace

TSyntaxHighlightPage::TSyntaxHighlightPage(QWidget* Parent) : TCustomDialogPage(Parent) {
  setObjectName(QStringLiteral("SyntaxHighlightPage"));
  setWindowTitle(QStringLiteral("Syntaxhervorhebung"));
  LastForeground = kWindowText;
  LastBackground = kWindow;

  cbSelectLanguage = new QComboBox(this);
  cbSelectLanguage->setObjectName(QStringLiteral("cbSelectLanguage"));
  lblLanguage = new QLabel(QStringLiteral("&Sprache:"), this);
  lblLanguage->setBuddy(cbSelectLanguage);
  lbElements = new QListWidget(this);
  lbElements->setObjectName(QStringLiteral("lbElements"));
  lbElements->setMinimumWidth(150);
  lblElements = new QLabel(QStringLiteral("&Element:"), this);
  lblElements->setBuddy(lbElements);
  cgAttriColors = new TColorGrid(this);
  cgAttriColors->setObjectName(QStringLiteral("cgAttriColors"));
  cgAttriColors->setEnabled(false);
  lblColors = new QLabel(QStringLiteral("&Farbe:"), this);
  lblColors->setBuddy(cgAttriColors);

  gbTextAttributes = new QGroupBox(QStringLiteral("Textattribute"), this);
  cbFontBold = CheckBox(gbTextAttributes, "cbFontBold", "Fe&tt");
  cbFontItalic = CheckBox(gbTextAttributes, "cbFontItalic", "&Kursiv");
  cbFontUnderline = CheckBox(gbTextAttributes, "cbFontUnderline", "&Unterstrichen");
  auto* styles = new QVBoxLayout(gbTextAttributes);
  for (QCheckBox* box : {cbFontBold, cbFontItalic, cbFontUnderline}) styles->addWidget(box);

  gbDefaults = new QGroupBox(QString::fromUtf8("Vorgaben für"), this);
  cbDefaultForeground = CheckBox(gbDefaults, "cbDefaultForeground", "&Vordergrund");
  cbDefaultBackground = CheckBox(gbDefaults, "cbDefaultBackground", "&Hintergrund");
  auto* defaults = new QVBoxLayout(gbDefaults);
  defaults->addWidget(cbDefaultForeground);
  defaults->addWidget(cbDefaultBackground);

  SynEditPreview = new TVexaEditControl(this);
  SynEditPreview->setObjectName(QStringLiteral("SynEditPreview"));
  SynEditPreview->setReadOnly(true);
  SynEditPreview->setCaretWidth(0);
  SynEditPreview->setCaretLineVisible(false);
  SynEditPreview->setMinimumHeight(160);

  for (QWidget* w :
       {static_cast<QWidget*>(cgAttriColors), static_cast<QWidget*>(cbFontBold),
        static_cast<QWidget*>(cbFontItalic), static_cast<QWidget*>(cbFontUnderline),
        static_cast<QWidget*>(cbDefaultForeground), static_cast<QWidget*>(cbDefaultBackground)})
    w->setEnabled(false);

  connect(cbSelectLanguage, &QComboBox::currentIndexChanged, this, [this] { LanguageChanged(); });
  connect(lbElements, &QListWidget::currentRowChanged, this, [this] { ShowElement(); });
  connect(cbFontBold, &QCheckBox::toggled, this,
          [this](bool Checked) { StyleClicked(FontStyleBold, Checked); });
  connect(cbFontItalic, &QCheckBox::toggled, this,
          [this](bool Checked) { StyleClicked(FontStyleItalic, Checked); });
  connect(cbFontUnderline, &QCheckBox::toggled, this,
          [this](bool Checked) { StyleClicked(FontStyleUnderline, Checked); });
  connect(cbDefaultForeground, &QCheckBox::toggled, this,
          [this](bool Checked) { DefaultClicked(true, Checked); });
  connect(cbDefaultBackground, &QCheckBox::toggled, this,
          [this](bool Checked) { DefaultClicked(false, Checked); });
  connect(cgAttriColors, &TColorGrid::ColorMarked, this, &TSyntaxHighlightPage::ColorMarked);
  connect(SynEditPreview, &QsciScintilla::cursorPositionChanged, this, [this] { CaretMoved(); });
  // No selection in the preview: a drag only moves the caret.
  connect(SynEditPreview, &QsciScintilla::selectionChanged, this, [this] {
    if (!SynEditPreview->hasSelectedText()) return;
    const long pos = SynEditPreview->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    SynEditPreview->SendScintilla(QsciScintilla::SCI_SETEMPTYSELECTION, pos);
  });

  // The language selector goes with its gap below it, so that the element
  // list moves up to the colour label when it is hidden.
  languageBox_ = new QWidget(this);
  auto* language = new QVBoxLayout(languageBox_);
  language->setContentsMargins(0, 0, 0, 8);
  lblLanguage->setParent(languageBox_);
  cbSelectLanguage->setParent(languageBox_);
  language->addWidget(lblLanguage);
  language->addWidget(cbSelectLanguage);
  auto* left = new QVBoxLayout;
  left->addWidget(languageBox_);
  left->addWidget(lblElements);
  left->addWidget(lbElements, 1);

  auto* boxes = new QVBoxLayout;
  boxes->addWidget(gbTextAttributes);
  boxes->addWidget(gbDefaults);
  boxes->addStretch();

  auto* colors = new QGridLayout;
  colors->addWidget(lblColors, 0, 0);
  colors->addWidget(cgAttriColors, 1, 0, Qt::AlignTop);
  colors->addLayout(boxes, 1, 1);
  colors->setRowStretch(2, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addSpacing(8);
  top->addLayout(colors);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(SynEditPreview, 1);
  languageBox_->setVisible(false);
}

TSyntaxHighlightPage::~TSyntaxHighlightPage() {
  // The preview's lexer goes before the clone it reads.
  if (SynEditPreview) SynEditPreview->setLexer(nullptr);
  delete previewLexer_;
}

QString TSyntaxHighlightPage::LanguageName(const THighlighterAttributes& Highlighter) {
  return QString::fromUtf8(Highlighter.Language() == THighlighterLanguage::V2 ? kV2LanguageName
                                                                              : kBasicLanguageName);
}

QString TSyntaxHighlightPage::SampleSource(const THighlighterAttributes& Highlighter) {
  const std::string_view text =
      Highlighter.Language() == THighlighterLanguage::V2 ? V2SampleSource() : BasicSampleSource();
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void TSyntaxHighlightPage::AddHighlighters(const QList<THighlighterAttributes*>& Highlighters) {
  for (THighlighterAttributes* live : Highlighters) {
    if (!live) continue;
    Entries.append(THighlighterEntry{live, new THighlighterAttributes(live->Language(), this)});
  }
  for (const THighlighterEntry& entry : Entries) entry.Clone->Assign(*entry.Highlighter);

  const QString selected = cbSelectLanguage->currentText();
  {
    const QSignalBlocker block(cbSelectLanguage);
    cbSelectLanguage->clear();
    for (const THighlighterEntry& entry : Entries)
      cbSelectLanguage->addItem(LanguageName(*entry.Clone));
    const int index = cbSelectLanguage->findText(selected);
    cbSelectLanguage->setCurrentIndex(index >= 0 ? index : (Entries.isEmpty() ? -1 : 0));
  }
  LanguageChanged();
  languageBox_->setVisible(Entries.size() >= 2);
}

THighlighterAttributes* TSyntaxHighlightPage::CurrentClone() const {
  const int index = cbSelectLanguage->currentIndex();
  return index >= 0 && index < Entries.size() ? Entries[index].Clone : nullptr;
}

void TSyntaxHighlightPage::Load() {
  for (const THighlighterEntry& entry : Entries) entry.Clone->Assign(*entry.Highlighter);
  ShowElement();
}

void TSyntaxHighlightPage::Apply() {
  for (const THighlighterEntry& entry : Entries) entry.Highlighter->Assign(*entry.Clone);
}

void TSyntaxHighlightPage::LanguageChanged() {
  const QString remembered =
      lbElements->currentItem() ? lbElements->currentItem()->text() : QString();
  THighlighterAttributes* clone = CurrentClone();
  {
    const QSignalBlocker block(lbElements);
    lbElements->clear();
    if (clone) {
      for (int i = 0; i < clone->Count(); ++i) lbElements->addItem(clone->At(i).DisplayName);
    }
    int row = 0;
    for (int i = 0; i < lbElements->count(); ++i) {
      if (lbElements->item(i)->text() == remembered) row = i;
    }
    lbElements->setCurrentRow(lbElements->count() > 0 ? row : -1);
  }
  ShowElement();
}

void TSyntaxHighlightPage::ShowElement() {
  LastForeground = kWindowText;
  LastBackground = kWindow;
  THighlighterAttributes* clone = CurrentClone();
  const int row = lbElements->currentRow();
  attribute_ = clone && row >= 0 && row < clone->Count() ? row : -1;
  const bool present = attribute_ >= 0;
  for (QWidget* w :
       {static_cast<QWidget*>(cgAttriColors), static_cast<QWidget*>(cbFontBold),
        static_cast<QWidget*>(cbFontItalic), static_cast<QWidget*>(cbFontUnderline),
        static_cast<QWidget*>(cbDefaultForeground), static_cast<QWidget*>(cbDefaultBackground)})
    w->setEnabled(present);
  if (present) {
    const THighlighterAttribute& a = clone->At(attribute_);
    ++UpdateLock;
    cbFontBold->setChecked(a.Style & FontStyleBold);
    cbFontItalic->setChecked(a.Style & FontStyleItalic);
    cbFontUnderline->setChecked(a.Style & FontStyleUnderline);
    ShowColors();
    --UpdateLock;
    if (!a.Foreground.IsNone()) LastForeground = a.Foreground;
    if (!a.Background.IsNone()) LastBackground = a.Background;
  }
  if (clone && previewClone_ != clone) {
    previewClone_ = clone;
    TVexaLexer* old = previewLexer_;
    previewLexer_ = new TVexaLexer(clone, SynEditPreview);
    previewLexer_->SetAlwaysHighlight(true);
    ++UpdateLock;  // a new text moves the caret: that chooses nothing
    SynEditPreview->setLexer(previewLexer_);
    SynEditPreview->setText(SampleSource(*clone));
    SynEditPreview->setCursorPosition(0, 0);
    --UpdateLock;
    delete old;
  }
}

void TSyntaxHighlightPage::ShowColors() {
  THighlighterAttributes* clone = CurrentClone();
  if (!clone || attribute_ < 0) return;
  const THighlighterAttribute& a = clone->At(attribute_);
  ++UpdateLock;
  cbDefaultForeground->setChecked(a.Foreground.IsNone());
  cgAttriColors->SetForegroundIndex(a.Foreground.IsNone() ? -1 : TColorGrid::IndexOf(a.Foreground));
  cbDefaultBackground->setChecked(a.Background.IsNone());
  cgAttriColors->SetBackgroundIndex(a.Background.IsNone() ? -1 : TColorGrid::IndexOf(a.Background));
  --UpdateLock;
}

void TSyntaxHighlightPage::StyleClicked(int Style, bool Checked) {
  THighlighterAttributes* clone = CurrentClone();
  if (UpdateLock > 0 || !clone || attribute_ < 0) return;
  const int style = clone->At(attribute_).Style;
  clone->SetStyle(attribute_, Checked ? style | Style : style & ~Style);
}

void TSyntaxHighlightPage::DefaultClicked(bool Foreground, bool Checked) {
  THighlighterAttributes* clone = CurrentClone();
  if (UpdateLock > 0 || !clone || attribute_ < 0) return;
  ++UpdateLock;
  if (Foreground) {
    clone->SetForeground(attribute_, Checked ? TVexaColor() : LastForeground);
  } else {
    clone->SetBackground(attribute_, Checked ? TVexaColor() : LastBackground);
  }
  ShowColors();
  --UpdateLock;
}

void TSyntaxHighlightPage::ColorMarked(bool Foreground) {
  THighlighterAttributes* clone = CurrentClone();
  if (UpdateLock > 0 || !clone || attribute_ < 0) return;
  ++UpdateLock;
  if (Foreground && cgAttriColors->ForegroundIndex() >= 0) {
    LastForeground = cgAttriColors->ForegroundColor();
    clone->SetForeground(attribute_, LastForeground);
    cbDefaultForeground->setChecked(false);
  } else if (!Foreground && cgAttriColors->BackgroundIndex() >= 0) {
    LastBackground = cgAttriColors->BackgroundColor();
    clone->SetBackground(attribute_, LastBackground);
    cbDefaultBackground->setChecked(false);
  }
  --UpdateLock;
}

int TSyntaxHighlightPage::AttributeAtCaret() const {
  THighlighterAttributes* clone = previewClone_;
  if (!clone) return -1;
  const int whitespace = clone->IndexOf(QStringLiteral("Whitespace"));
  auto* preview = SynEditPreview;
  const long pos = preview->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  const int caretLine = int(preview->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, pos));
  const long lineStart = preview->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, caretLine);
  const long lineEnd = preview->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, caretLine);
  if (pos >= lineEnd) return whitespace;
  const auto tokenize =
      clone->Language() == THighlighterLanguage::V2 ? &TokenizeV2 : &TokenizeBasic;
  // The lines before the caret's carry their range (a block comment) over.
  int range = 0;
  TTokenizedLine tokens;
  for (int line = 0; line <= caretLine; ++line) {
    const std::string text = preview->text(line).toStdString();
    tokens = tokenize(text, range);
    range = tokens.EndRange;
  }
  const int column = int(pos - lineStart);
  for (const TToken& token : tokens.Tokens) {
    if (column >= token.Start && column < token.Start + token.Length)
      return token.Kind < clone->Count() ? token.Kind : whitespace;
  }
  return whitespace;
}

void TSyntaxHighlightPage::CaretMoved() {
  if (UpdateLock > 0 || previewClone_ != CurrentClone()) return;
  const int attribute = AttributeAtCaret();
  if (attribute < 0 || attribute >= lbElements->count() || attribute == lbElements->currentRow())
    return;
  lbElements->setCurrentRow(attribute);
}

}  // namespace vexa::ide
