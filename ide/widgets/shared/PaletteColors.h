#pragma once

#include "model/settings/VexaColor.h"

#include <QColor>
#include <QPalette>

namespace vexa::ide {

// The colour to draw with: a plain colour as it is, a system colour from the
// palette, Default for NoColor and for a system colour without a role.
QColor ResolveColor(TVexaColor Color, const QPalette& Palette, const QColor& Default = QColor());

}  // namespace vexa::ide
