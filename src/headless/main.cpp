// quillon-headless: runs the program against in-memory windows, driven by a script.
#include <fstream>
#include <iostream>

#include "HeadlessDriver.h"

int main(int argc, char** argv) {
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
    return status;
}
