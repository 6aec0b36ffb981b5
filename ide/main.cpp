#include "Helpers.h"
#include "Options.h"
#include "Services.h"
#include "Settings.h"
#include "forms/QtDialogs.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  using namespace vexa::ide;
  int result = 0;
  {
    QApplication app(argc, argv);
    // Qt has set the user's C locale; numbers must keep the decimal point.
    FixNumericLocale();
    SetDialogs(std::make_shared<TQtDialogs>());
    options::ReadOptions();

    // The splash, the main window and the event loop come here; the main
    // window is deleted before the options are written.

    options::WriteOptions();
    // The IDE ends anyway; the user learns why the settings are not kept.
    if (!settings::Flush())
      std::fprintf(stderr, "vexaide: the settings could not be written\n");
    settings::ReleaseSettings();
    ReleaseServices();
    SetDialogs(nullptr);
  }
  return result;
}
