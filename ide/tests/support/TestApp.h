#pragma once

// The one QApplication of a widget test program, made on first use (tests are
// listed without a display, so it must not exist before a test runs). Link
// vexaide_widgets_testsupport and set QT_QPA_PLATFORM=offscreen.

#include <QApplication>

namespace vexa::ide::test {

QApplication& TestApp();

}  // namespace vexa::ide::test
