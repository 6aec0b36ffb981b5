#include "Helpers.h"
#include "Options.h"
#include "Services.h"
#include "Settings.h"
#include "forms/QtDialogs.h"

#include <QApplication>

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
    settings::ReleaseSettings();
    ReleaseServices();
    SetDialogs(nullptr);
  }
  return result;
}
