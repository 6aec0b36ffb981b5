#pragma once

// The one QCoreApplication of a model test program, made on first use (a test
// program of widgets uses TestApp.h instead).

#include <QCoreApplication>

namespace vexa::ide::test {

inline QCoreApplication& CoreApp() {
  static int argc = 1;
  static char name[] = "vexaide_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

}  // namespace vexa::ide::test
