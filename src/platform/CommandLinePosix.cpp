#include "CommandLine.h"

std::string ProcessCommandLine(int argc, char** argv) {
    return JoinArguments(argc, argv);
}
