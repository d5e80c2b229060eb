// quillon-headless: runs the program against in-memory windows, driven by a script.
#include <fstream>
#include <iostream>

#include "CommandLine.h"
#include "HeadlessDriver.h"
#include "ProgramIdentity.h"

namespace {
const char* const kUsage = "usage: quillon-headless SCRIPT   (- reads standard input)\n";
}

int main(int argc, char** argv) {
    switch (InfoRequestOf(argc, argv)) {
        case InfoRequest::Usage:
            std::cout
                << kUsage
                << "       quillon-headless --help | --version\n"
                   "\n"
                   "Runs Quillon against in-memory windows, driven by SCRIPT (one command a\n"
                   "line), and prints what the program showed. The game folder is the current\n"
                   "folder, or the one that the script's command line names with -path; the\n"
                   "game folder that the desktop program remembers is never used.\n"
                   "\n"
                   "  SCRIPT               the script file; - reads it from standard input\n"
                   "  --help, -help, -?    shows this text\n"
                   "  --version, -version  shows the version\n"
                   "\n"
                   "The script's commandline command takes the desktop program's words\n"
                   "-path, -setup, -launch and -executable (see quillon --help).\n";
            return 0;
        case InfoRequest::Version:
            std::cout << "quillon-headless " << ProgramIdentity::Version << "\n";
            return 0;
        case InfoRequest::None:
            break;
    }
    if (argc != 2) {
        std::cerr << kUsage;
        return 3;
    }
    const std::string name = argv[1];
    std::ifstream file;
    if (name != "-") {
        file.open(name, std::ios::binary);
        if (!file) {
            std::cerr << "SCRIPT 0: cannot read " << name << "\n";
            return 3;
        }
    }
    ScriptDriver driver(name == "-" ? std::cin : file, std::cout, std::cerr);
    const int status = driver.Run();
    std::cout.flush();
    return status;
}
