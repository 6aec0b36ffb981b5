#pragma once

// Identifier completion in the source editor: the pop-up list of the members
// that the project names for the scope before the last dot, placed at the
// caret, and the editor command (Ctrl+Space) that fills and shows it.

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QListWidget;

namespace vexa::ide {

class TSourceEditor;

// A borderless black pop-up with one list: keys go to its filter, Enter or a
// double click accepts, Escape and any click outside hide it.
class TIdentifierCompletionForm final : public QWidget {
  Q_OBJECT

 public:
  explicit TIdentifierCompletionForm(QWidget* Owner);
  ~TIdentifierCompletionForm() override;

  static constexpr int kItemHeight = 15;
  static constexpr int kVisibleItems = 6;
  static constexpr int kWidth = 260;

  QListWidget* lbCompletions;
  // Filled by the project before ShowAt: a name followed by a kind text.
  QStringList Items;
  QString FilterText;
  std::function<void()> OnAccept;

  // Shows the list at X below Bottom; on the left of X when it would leave
  // the screen at the right, above Top when it would leave it at the bottom.
  void ShowAt(int X, int Top, int Bottom);
  // Hides the form and empties the list.
  void HideList();
  // Hides, then calls OnAccept.
  void Accept();
  // Selects the first item that starts with the filter, if any.
  void SelectMatching();
  // The selected item's row, -1 when none is selected.
  int SelectedRow() const;

  // The top left corner ShowAt chooses within the Available screen area.
  static QPoint Placement(const QRect& Available, const QSize& Size, int X, int Top, int Bottom);

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  // A key of the list: true when it was taken.
  bool HandleKey(QKeyEvent* Event);

  bool selecting_ = false;
};

// The one completion form, made on the first completion; empty after its
// destruction.
extern QPointer<TIdentifierCompletionForm> IdentifierCompletionForm;

// The completion command of an editor (Ctrl+Space).
void ShowIdentifierCompletion(TSourceEditor& Editor);

// Installs the command as the editors' completion hook.
void InstallIdentifierCompletion();

}  // namespace vexa::ide
