#pragma once

// The module list dialogs of a V2 project. Both act on the project at once
// and have only a close button: TSelectModulesDialog switches system or
// common modules on and off, TProjectModulesDialog adds, removes and
// reorders project modules.

#include "model/core/VexaIntfs.h"

#include <initializer_list>

class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QString;
class QWidget;

namespace vexa::ide {

// TModuleKind::Project: TProjectModulesDialog; system, common: TSelectModulesDialog. Modal, over
// the main window. The projects reach it through IDialogs::EditModules.
void ShowModulesDialog(TModuleKind Kind, const Ref<IVexaProject>& Project);

// What both module list dialogs share: their buttons and their geometry.
namespace module_dialogs {

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QString& Text);
// The list under its label, the close button right of the list at the
// bottom, the other buttons above it in a column.
void PlaceControls(QDialog* Dialog, QLabel* Label, QListWidget* List, QPushButton* Close,
                   std::initializer_list<QPushButton*> Others);

}  // namespace module_dialogs

}  // namespace vexa::ide
