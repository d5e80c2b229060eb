#include "CommandLine.h"

std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!line.empty())
            line += ' ';
        if (!word.empty() && word[0] == '-')
            line += word;
        else
            line += '"' + word + '"';
    }
    return line;
}
