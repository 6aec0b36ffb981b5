#include "TestApp.h"

namespace vexa::ide::test {

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "vexaide_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: it would outlive the statics Qt needs to tear it down.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace vexa::ide::test

// fontconfig keeps its caches for the life of the process.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
