#include "widgets/dialogs/ModuleDialogs.h"

#include "model/core/Services.h"
#include "widgets/dialogs/ProjectModulesDialog.h"
#include "widgets/dialogs/SelectModulesDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace vexa::ide {
namespace {

constexpr int kGap = 8;
constexpr int kListWidth = 209;
constexpr int kListHeight = 193;
constexpr int kButtonHeight = 25;
constexpr int kButtonWidth = 100;

}  // namespace

namespace module_dialogs {

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QString& Text) {
  auto* button = new QPushButton(Text, Parent);
  button->setObjectName(QLatin1String(Name));
  button->setAutoDefault(false);
  return button;
}

// The dialogs' common geometry: the list under its label, the close button
// right of the list at the bottom, the other buttons above it in a column.
void PlaceControls(QDialog* Dialog, QLabel* Label, QListWidget* List, QPushButton* Close,
                   std::initializer_list<QPushButton*> Others) {
  int width = kButtonWidth;
  for (QPushButton* b : Others) width = std::max(width, b->sizeHint().width());
  width = std::max(width, Close->sizeHint().width());
  Label->adjustSize();
  Label->move(kGap, kGap);
  List->setGeometry(kGap, Label->geometry().bottom() + 4, kListWidth, kListHeight);
  const int clientHeight = List->geometry().top() + List->height() + kGap;
  const int left = List->geometry().left() + List->width() + kGap;
  Close->setGeometry(left, clientHeight - kGap - kButtonHeight, width, kButtonHeight);
  int top = List->geometry().top();
  for (QPushButton* b : Others) {
    b->setGeometry(left, top, width, kButtonHeight);
    top += kButtonHeight + 6;
  }
  Dialog->setFixedSize(Close->geometry().left() + Close->width() + kGap, clientHeight);
}

}  // namespace module_dialogs

void ShowModulesDialog(TModuleKind Kind, const Ref<IVexaProject>& Project) {
  if (!Project) return;
  const Ref<IVexaIDE> ide = VexaIDE;
  QWidget* parent = ide ? ide->GetMainForm() : nullptr;
  if (Kind == TModuleKind::Project) {
    TProjectModulesDialog dialog(parent);
    dialog.Init(Project);
    dialog.exec();
  } else {
    TSelectModulesDialog dialog(parent);
    dialog.Init(Kind, Project);
    dialog.exec();
  }
}

}  // namespace vexa::ide
