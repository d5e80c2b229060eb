#pragma once

#include <string>
#include <vector>

#include "GameFolder.h"

class Setup;

// One game file that the mods of a setup write, and the mod whose file the game ends
// up with.
struct SetupFile {
    // Relative to the game folder, "%d" and "%l" expanded.
    std::string Path;
    // The name of the mod that writes it last.
    std::string Winner;
    // The other mods that write it, in the order they write it.
    std::vector<std::string> Overridden;
    // Only an initialization copies it.
    bool Initialization = false;
    // The game has no such file, and no backup of one.
    bool Added = false;

    // The winner, followed by " (overrides A, B)", " (initialization)" or " (adds)".
    std::string ModText() const;
};

struct SetupFiles {
    // Sorted by path.
    std::vector<SetupFile> Files;
    // How many mods write at least one file, and how many files more than one mod writes.
    long Mods = 0;
    long Conflicts = 0;

    // "<n> files from <k> mods, <c> of them written by more than one mod."
    std::string Summary() const;
};

// The files a setup writes, the order of writing being Apply's: every initialization
// comes before any application, then the mods in setup order, each its Application
// list before its Substitution list; a later write wins. Only the definitions and the
// existence of the files and their backups are looked at.
SetupFiles FilesOfSetup(const Setup& Setup, const GameFolder& Game);
