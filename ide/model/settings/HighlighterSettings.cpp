#include "model/settings/HighlighterSettings.h"

#include "model/settings/Settings.h"

namespace vexa::ide {

namespace {

constexpr TVexaColor kNone;
constexpr TVexaColor kGray = TVexaColor::FromRgb(128, 128, 128);
constexpr TVexaColor kNavy = TVexaColor::FromRgb(0, 0, 128);
constexpr TVexaColor kRed = TVexaColor::FromRgb(255, 0, 0);
constexpr TVexaColor kMaroon = TVexaColor::FromRgb(128, 0, 0);
constexpr TVexaColor kBlue = TVexaColor::FromRgb(0, 0, 255);
constexpr TVexaColor kBlack = TVexaColor::FromRgb(0, 0, 0);
constexpr TVexaColor kPurple = TVexaColor::FromRgb(128, 0, 128);

std::vector<THighlighterAttribute> DefaultAttributes(THighlighterLanguage Language) {
  using A = THighlighterAttribute;
  if (Language == THighlighterLanguage::V2)
    return {
        A{"Comment", "Kommentar", kNone, kGray, FontStyleItalic},
        A{"Identifier", "Bezeichner", kNone, kNavy, 0},
        A{"InvalidChars", "Ungültige Zeichen", kNone, kRed, 0},
        A{"Keyword", "Schlüsselwort", kNone, kNone, FontStyleBold},
        A{"Number", "Zahl", kNone, kMaroon, 0},
        A{"Whitespace", "Leerzeichen", kNone, kNone, 0},
        A{"String", "Zeichen(ketten)", kNone, kBlue, 0},
        A{"Symbol", "Symbolzeichen", kNone, kNone, 0},
    };
  return {
      A{"Comment", "Kommentar", kNone, kGray, FontStyleItalic},
      A{"Constant", "Konstante", kNone, kBlack, 0},
      A{"Identifier", "Bezeichner", kNone, kNavy, 0},
      A{"InvalidChars", "Ungültige Zeichen", kNone, kRed, 0},
      A{"Keyword", "Schlüsselwort", kNone, kNone, FontStyleBold},
      A{"Label", "Sprungmarke", kNone, kPurple, 0},
      A{"Number", "Zahl", kNone, kMaroon, 0},
      A{"Whitespace", "Leerzeichen", kNone, kNone, 0},
      A{"String", "Zeichen(ketten)", kNone, kBlue, 0},
      A{"Symbol", "Symbolzeichen", kNone, kNone, 0},
  };
}

}  // namespace

THighlighterAttributes::THighlighterAttributes(THighlighterLanguage Language, QObject* Parent)
    : QObject(Parent), language_(Language), attributes_(DefaultAttributes(Language)) {}

QString THighlighterAttributes::StorageSection() const {
  return language_ == THighlighterLanguage::V2 ? QStringLiteral("V2") : QStringLiteral("BASIC");
}

int THighlighterAttributes::IndexOf(const QString& Name) const {
  for (std::size_t i = 0; i < attributes_.size(); ++i)
    if (attributes_[i].Name == Name) return int(i);
  return -1;
}

const THighlighterAttribute* THighlighterAttributes::Find(const QString& Name) const {
  const int i = IndexOf(Name);
  return i < 0 ? nullptr : &attributes_[std::size_t(i)];
}

void THighlighterAttributes::SetBackground(int Index, TVexaColor Color) {
  auto& a = attributes_.at(std::size_t(Index));
  if (a.Background == Color) return;
  a.Background = Color;
  Touch();
}

void THighlighterAttributes::SetForeground(int Index, TVexaColor Color) {
  auto& a = attributes_.at(std::size_t(Index));
  if (a.Foreground == Color) return;
  a.Foreground = Color;
  Touch();
}

void THighlighterAttributes::SetStyle(int Index, int Style) {
  auto& a = attributes_.at(std::size_t(Index));
  if (a.Style == Style) return;
  a.Style = Style;
  Touch();
}

void THighlighterAttributes::Assign(const THighlighterAttributes& Other) {
  if (&Other == this || Other.language_ != language_ || Other.attributes_ == attributes_) return;
  attributes_ = Other.attributes_;
  Touch();
}

void THighlighterAttributes::Load() {
  bool changed = false;
  for (auto& a : attributes_) {
    const QString section =
        QStringLiteral("SyntaxHighlighting\\%1\\%2").arg(StorageSection(), a.Name);
    const int background = settings::ReadInteger(section, QStringLiteral("BackgroundColor"), -1);
    const int foreground = settings::ReadInteger(section, QStringLiteral("ForegroundColor"), -1);
    const int style = settings::ReadInteger(section, QStringLiteral("FontStyle"), -1);
    THighlighterAttribute loaded = a;
    if (background != -1) loaded.Background = TVexaColor(quint32(background));
    if (foreground != -1) loaded.Foreground = TVexaColor(quint32(foreground));
    if (style != -1)
      loaded.Style =
          style & (FontStyleBold | FontStyleItalic | FontStyleUnderline | FontStyleStrikeOut);
    if (!(loaded == a)) {
      a = loaded;
      changed = true;
    }
  }
  if (changed) Touch();
}

void THighlighterAttributes::Save() const {
  for (const auto& a : attributes_) {
    const QString section =
        QStringLiteral("SyntaxHighlighting\\%1\\%2").arg(StorageSection(), a.Name);
    settings::WriteInteger(section, QStringLiteral("BackgroundColor"), int(a.Background.Value()));
    settings::WriteInteger(section, QStringLiteral("ForegroundColor"), int(a.Foreground.Value()));
    settings::WriteInteger(section, QStringLiteral("FontStyle"), a.Style);
  }
}

void THighlighterAttributes::Touch() {
  ++version_;
  emit Changed();
}

}  // namespace vexa::ide
