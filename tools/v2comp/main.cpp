#include <iostream>

#include "CommandLineDriver.h"

int main(int argc, char** argv) { return vexa::v2comp::run(argc, argv, std::cout); }
