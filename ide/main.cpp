#include "model/startup/Startup.h"
#include "widgets/mainwindow/IDEStartup.h"

int main(int argc, char** argv) {
  using namespace vexa::ide;
  return RunIDE(argc, argv, IDEStartupHooks());
}
