#pragma once

#include <string>

// The process's command line: the text after the program's own name. On Windows it
// is the raw text as typed; elsewhere it is rebuilt from the arguments, the words
// joined by single spaces and each word that does not begin with "-" in double
// quotes, so that `-path "/a b"` reads as it was typed.
std::string ProcessCommandLine(int argc, char** argv);

// The words that ask either program for its usage (--help, -help, -?) or its
// version (--version, -version) instead of a run; letter case is ignored. Any other
// word is the program's own to read.
enum class InfoRequest { None, Usage, Version };
InfoRequest InfoRequestOf(int argc, char** argv);

// The rebuilding rule on its own.
std::string JoinArguments(int argc, char** argv);

#ifdef _WIN32
// The Windows rule on its own: a raw command line without the program's name (up to
// its closing quote when quoted, else up to the first blank) and the blanks after it.
std::wstring CommandLineTail(const std::wstring& commandLine);
#endif
