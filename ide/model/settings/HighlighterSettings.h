#pragma once

// The display attributes of one language's token kinds (colours and font
// style), shared by every editor of that language. The lexers read them; the
// colour options page edits a copy and assigns it back; the command module
// loads and saves them. Every change emits Changed() and bumps Version().

#include "model/settings/VexaColor.h"

#include <QObject>
#include <QString>

#include <vector>

namespace vexa::ide {

// Bits of THighlighterAttribute::Style.
enum : int {
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleUnderline = 4,
  FontStyleStrikeOut = 8,
};

struct THighlighterAttribute {
  QString Name;           // storage name ("Comment")
  QString DisplayName;    // shown on the colour options page ("Kommentar")
  TVexaColor Background;  // NoColor: the editor's background
  TVexaColor Foreground;  // NoColor: the editor's text colour
  int Style = 0;          // FontStyle* bits

  friend bool operator==(const THighlighterAttribute&, const THighlighterAttribute&) = default;
};

enum class THighlighterLanguage { V2, Basic };

class THighlighterAttributes : public QObject {
  Q_OBJECT

 public:
  // The language's attributes in their order, with the lexer's own defaults.
  explicit THighlighterAttributes(THighlighterLanguage Language, QObject* Parent = nullptr);

  THighlighterLanguage Language() const { return language_; }
  // "V2" or "BASIC": the settings section below SyntaxHighlighting.
  QString StorageSection() const;

  int Count() const { return int(attributes_.size()); }
  const THighlighterAttribute& At(int Index) const { return attributes_.at(std::size_t(Index)); }
  // -1 when the language has no attribute of that storage name.
  int IndexOf(const QString& Name) const;
  // The attribute of that storage name; nullptr when there is none.
  const THighlighterAttribute* Find(const QString& Name) const;

  // Each setter emits Changed() when the value differs.
  void SetBackground(int Index, TVexaColor Color);
  void SetForeground(int Index, TVexaColor Color);
  void SetStyle(int Index, int Style);
  // Takes every attribute value of Other (same language); one Changed().
  void Assign(const THighlighterAttributes& Other);

  // Counts the changes, for readers that poll.
  quint64 Version() const { return version_; }

  // Section SyntaxHighlighting\<StorageSection()>\<Name>: BackgroundColor,
  // ForegroundColor and FontStyle; a missing value (-1) keeps the current one.
  void Load();
  // Writes all three values of every attribute.
  void Save() const;

 signals:
  void Changed();

 private:
  void Touch();

  THighlighterLanguage language_;
  std::vector<THighlighterAttribute> attributes_;
  quint64 version_ = 0;
};

}  // namespace vexa::ide
