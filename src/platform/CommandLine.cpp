#include "CommandLine.h"

#include "TextCase.h"

InfoRequest InfoRequestOf(int argc, char** argv) {
    InfoRequest request = InfoRequest::None;
    for (int i = 1; i < argc; ++i) {
        const std::string word = TextCase::Lower(argv[i]);
        if (word == "--help" || word == "-help" || word == "-?")
            return InfoRequest::Usage;
        if (word == "--version" || word == "-version")
            request = InfoRequest::Version;
    }
    return request;
}

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
