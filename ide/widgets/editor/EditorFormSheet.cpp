#include "widgets/editor/EditorFormSheet.h"

#include <QVBoxLayout>

namespace vexa::ide {

TEditorFormSheet::TEditorFormSheet(QTabWidget* PageControl) : pageControl_(PageControl) {
  setObjectName(QStringLiteral("EditorFormSheet"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
}

}  // namespace vexa::ide
