#include "CommandLine.h"
#include "Win32Support.h"

std::wstring CommandLineTail(const std::wstring& commandLine) {
    const std::size_t size = commandLine.size();
    std::size_t at = 0;
    if (size > 0 && commandLine[0] == L'"') {
        at = commandLine.find(L'"', 1);
        at = at == std::wstring::npos ? size : at + 1;
    } else {
        while (at < size && commandLine[at] != L' ' && commandLine[at] != L'\t')
            ++at;
    }
    while (at < size && (commandLine[at] == L' ' || commandLine[at] == L'\t'))
        ++at;
    return commandLine.substr(at);
}

// The arguments the runtime split are not used: the program reads its words with its
// own rules, quotes included.
std::string ProcessCommandLine(int, char**) {
    return Win32::Narrow(CommandLineTail(::GetCommandLineW()));
}
