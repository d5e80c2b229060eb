// quillon-headless: runs the program against in-memory windows, driven by a script.
#include <cstdlib>
#include <fstream>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_CHECKS_LEAKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define QUILLON_CHECKS_LEAKS 1
#endif
#endif
#ifndef QUILLON_CHECKS_LEAKS
#define QUILLON_CHECKS_LEAKS 0
#endif

#include "CommandLine.h"
#include "HeadlessDriver.h"
#include "ProgramIdentity.h"

int main(int argc, char** argv) {
    switch (InfoRequestOf(argc, argv)) {
        case InfoRequest::Usage:
            std::cout << ScriptDriver::Usage()
                      << "\n"
                         "quillon-headless --help (also -help, -?) shows this text, and\n"
                         "quillon-headless --version (also -version) the version.\n"
                         "\n"
                         "The game folder is the current folder, or the one that the script's\n"
                         "commandline names with -path (its words are the desktop program's\n"
                         "-path, -setup, -launch and -executable: see quillon --help). The game\n"
                         "folder that the desktop program remembers is never used.\n";
            return 0;
        case InfoRequest::Version:
            std::cout << "quillon-headless " << ProgramIdentity::Version << "\n";
            return 0;
        case InfoRequest::None:
            break;
    }
    if (argc != 2) {
        std::cerr << ScriptDriver::Usage();
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
#if !QUILLON_CHECKS_LEAKS
    // Everything is written and closed by now. Giving back the memory of thousands of
    // mods piece by piece would only delay the end that the caller waits for; the
    // system takes it back at once. A build that looks for leaks ends as usual.
    std::_Exit(status);
#endif
    return status;
}
