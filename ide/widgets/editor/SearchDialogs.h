#pragma once

// The dialogs of the search commands: search, and replace on top of it.
// before each replacement.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace vexa::ide {

class TTextSearchDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TTextSearchDialog(QWidget* Parent = nullptr);

  bool SearchBackwards() const;
  void SetSearchBackwards(bool Value);
  bool SearchCaseSensitive() const;
  void SetSearchCaseSensitive(bool Value);
  bool SearchFromCursor() const;
  void SetSearchFromCursor(bool Value);
  bool SearchInSelection() const;
  void SetSearchInSelection(bool Value);
  bool SearchWholeWords() const;
  void SetSearchWholeWords(bool Value);
  QString SearchText() const;
  void SetSearchText(const QString& Value);
  // The combo's items: written as lines (CR LF), read as the first ten.
  QString SearchTextHistory() const;
  void SetSearchTextHistory(const QString& Value);

  // OK moves the texts to the top of their histories first.
  void accept() override;

  QComboBox* cbSearchText = nullptr;
  QCheckBox* cbSearchCaseSensitive = nullptr;
  QCheckBox* cbSearchWholeWords = nullptr;
  QCheckBox* cbSearchFromCursor = nullptr;
  QCheckBox* cbSearchSelectedOnly = nullptr;
  QGroupBox* rgSearchDirection = nullptr;

 protected:
  // The search text comes up selected.
  void showEvent(QShowEvent* Event) override;

  // The grid of labels and combo boxes at the top, for the replace dialog.
  QGridLayout* textGrid_ = nullptr;

 private:
  QRadioButton* forward_ = nullptr;
  QRadioButton* backward_ = nullptr;
};

class TTextReplaceDialog : public TTextSearchDialog {
  Q_OBJECT

 public:
  explicit TTextReplaceDialog(QWidget* Parent = nullptr);

  QString ReplaceText() const;
  void SetReplaceText(const QString& Value);
  QString ReplaceTextHistory() const;
  void SetReplaceTextHistory(const QString& Value);

  void accept() override;

  QComboBox* cbReplaceText = nullptr;
};

}  // namespace vexa::ide
