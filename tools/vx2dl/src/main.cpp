#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "vx2dl/DownloaderApp.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    vexa::vx2dl::TVX2DownloaderApp app(std::cout);
    return app.Run(arguments);
  } catch (const std::exception& error) {
    std::cout << std::flush;
    std::cerr << "vx2dl: " << error.what() << '\n';
    return 1;
  }
}
