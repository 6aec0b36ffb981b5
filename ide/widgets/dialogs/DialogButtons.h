#pragma once

// The OK and Abbrechen buttons of the IDE's dialogs, made one way.

class QDialog;
class QDialogButtonBox;

namespace vexa::ide {

// Adds "OK" (the default button; accepts Dialog) and "Abbrechen" (rejects it)
// to Box. Buttons of other roles may stand in the same box.
void AddOkCancel(QDialogButtonBox* Box, QDialog* Dialog);

}  // namespace vexa::ide
