#include "Startup.h"
#include "forms/IDEStartup.h"

int main(int argc, char** argv) {
  using namespace vexa::ide;
  return RunIDE(argc, argv, IDEStartupHooks());
}
