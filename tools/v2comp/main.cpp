#include <iostream>

#include "CommandLineDriver.h"

int main(int argc, char** argv) { return v2comp::run(argc, argv, std::cout); }
