#include "widgets/editor/SearchDialogs.h"

#include "model/settings/Options.h"
#include "model/text/SearchEngine.h"
#include "widgets/dialogs/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vexa::ide {

namespace {

QComboBox* HistoryCombo(QWidget* Parent, const char* Name) {
  auto* combo = new QComboBox(Parent);
  combo->setObjectName(QString::fromLatin1(Name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(30);
  // The width stays at 30 characters whatever the history holds.
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return combo;
}

QStringList Items(const QComboBox* Combo) {
  QStringList items;
  for (int i = 0; i < Combo->count(); ++i) items << Combo->itemText(i);
  return items;
}

void SetItems(QComboBox* Combo, const QStringList& Items) {
  const QString text = Combo->currentText();
  Combo->clear();
  Combo->addItems(Items);
  Combo->setEditText(text);
}

// A non-empty text goes to the top of the history and stays the combo's text.
void MoveTextToTop(QComboBox* Combo) {
  const QString text = Combo->currentText();
  if (text.isEmpty()) return;
  SetItems(Combo, MoveToTop(Items(Combo), text));
  Combo->setEditText(text);
}

QCheckBox* CheckBox(QWidget* Parent, const char* Name, const char* Caption) {
  auto* box = new QCheckBox(QString::fromUtf8(Caption), Parent);
  box->setObjectName(QString::fromLatin1(Name));
  return box;
}

}  // namespace

TTextSearchDialog::TTextSearchDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("TextSearchDialog"));
  setWindowTitle(QStringLiteral("Text suchen"));

  cbSearchText = HistoryCombo(this, "cbSearchText");
  auto* label = new QLabel(QStringLiteral("&Suchen nach:"), this);
  label->setBuddy(cbSearchText);
  textGrid_ = new QGridLayout;
  textGrid_->addWidget(label, 0, 0);
  textGrid_->addWidget(cbSearchText, 0, 1);

  auto* optionsBox = new QGroupBox(QStringLiteral("Optionen"), this);
  cbSearchCaseSensitive = CheckBox(optionsBox, "cbSearchCaseSensitive", "Groß-/&Kleinschreibung");
  cbSearchWholeWords = CheckBox(optionsBox, "cbSearchWholeWords", "&Nur ganze Wörter");
  cbSearchFromCursor = CheckBox(optionsBox, "cbSearchFromCursor", "Ab &Cursor suchen");
  cbSearchSelectedOnly = CheckBox(optionsBox, "cbSearchSelectedOnly", "Nur in &markiertem Text");
  auto* optionsLayout = new QVBoxLayout(optionsBox);
  for (QCheckBox* box :
       {cbSearchCaseSensitive, cbSearchWholeWords, cbSearchFromCursor, cbSearchSelectedOnly})
    optionsLayout->addWidget(box);

  rgSearchDirection = new QGroupBox(QStringLiteral("Richtung"), this);
  rgSearchDirection->setObjectName(QStringLiteral("rgSearchDirection"));
  forward_ = new QRadioButton(QStringLiteral("&Vorwärts"), rgSearchDirection);
  backward_ = new QRadioButton(QString::fromUtf8("Rück&wärts"), rgSearchDirection);
  forward_->setChecked(true);
  auto* directionLayout = new QVBoxLayout(rgSearchDirection);
  directionLayout->addWidget(forward_);
  directionLayout->addWidget(backward_);
  directionLayout->addStretch();

  auto* groups = new QHBoxLayout;
  groups->addWidget(optionsBox);
  groups->addWidget(rgSearchDirection);

  auto* buttons = new QDialogButtonBox(this);
  AddOkCancel(buttons, this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(textGrid_);
  layout->addLayout(groups);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TTextSearchDialog::SearchBackwards() const { return backward_->isChecked(); }

void TTextSearchDialog::SetSearchBackwards(bool Value) {
  (Value ? backward_ : forward_)->setChecked(true);
}

bool TTextSearchDialog::SearchCaseSensitive() const { return cbSearchCaseSensitive->isChecked(); }

void TTextSearchDialog::SetSearchCaseSensitive(bool Value) {
  cbSearchCaseSensitive->setChecked(Value);
}

bool TTextSearchDialog::SearchFromCursor() const { return cbSearchFromCursor->isChecked(); }

void TTextSearchDialog::SetSearchFromCursor(bool Value) { cbSearchFromCursor->setChecked(Value); }

bool TTextSearchDialog::SearchInSelection() const { return cbSearchSelectedOnly->isChecked(); }

void TTextSearchDialog::SetSearchInSelection(bool Value) {
  cbSearchSelectedOnly->setChecked(Value);
}

bool TTextSearchDialog::SearchWholeWords() const { return cbSearchWholeWords->isChecked(); }

void TTextSearchDialog::SetSearchWholeWords(bool Value) { cbSearchWholeWords->setChecked(Value); }

QString TTextSearchDialog::SearchText() const { return cbSearchText->currentText(); }

void TTextSearchDialog::SetSearchText(const QString& Value) { cbSearchText->setEditText(Value); }

QString TTextSearchDialog::SearchTextHistory() const { return JoinHistory(Items(cbSearchText)); }

void TTextSearchDialog::SetSearchTextHistory(const QString& Value) {
  SetItems(cbSearchText, options::HistoryLines(Value));
}

void TTextSearchDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  // Selected, so that the keys typed replace the text offered.
  cbSearchText->lineEdit()->selectAll();
}

void TTextSearchDialog::accept() {
  MoveTextToTop(cbSearchText);
  QDialog::accept();
}

TTextReplaceDialog::TTextReplaceDialog(QWidget* Parent) : TTextSearchDialog(Parent) {
  setObjectName(QStringLiteral("TextReplaceDialog"));
  setWindowTitle(QStringLiteral("Text ersetzen"));
  cbReplaceText = HistoryCombo(this, "cbReplaceText");
  auto* label = new QLabel(QStringLiteral("&Ersetzen durch:"), this);
  label->setBuddy(cbReplaceText);
  textGrid_->addWidget(label, 1, 0);
  textGrid_->addWidget(cbReplaceText, 1, 1);
  setTabOrder(cbSearchText, cbReplaceText);
}

QString TTextReplaceDialog::ReplaceText() const { return cbReplaceText->currentText(); }

void TTextReplaceDialog::SetReplaceText(const QString& Value) { cbReplaceText->setEditText(Value); }

QString TTextReplaceDialog::ReplaceTextHistory() const { return JoinHistory(Items(cbReplaceText)); }

void TTextReplaceDialog::SetReplaceTextHistory(const QString& Value) {
  SetItems(cbReplaceText, options::HistoryLines(Value));
}

void TTextReplaceDialog::accept() {
  MoveTextToTop(cbSearchText);
  MoveTextToTop(cbReplaceText);
  QDialog::accept();
}

}  // namespace vexa::ide
