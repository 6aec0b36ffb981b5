#include "widgets/options/CustomDialogPage.h"

namespace vexa::ide {

TCustomDialogPage::TCustomDialogPage(QWidget* Parent) : QWidget(Parent) {
  setAutoFillBackground(false);
}

}  // namespace vexa::ide
