#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GameFolder.h"

class Modis;
class Setup;

// One step of a switch between setups as Apply would take it.
struct PlannedStep {
    enum class Kind {
        Restore,                   // a backup copied back over its game file
        BackUpAndReplace,          // a game file backed up, then a mod's file copied over it
        Replace,                   // a mod's file copied over a game file backed up before
        Add,                       // a mod's file copied where the game has none
        Initialize,                // a mod's initialization file copied
        DeleteSubstitutionBackup,  // a "subst_" backup deleted
        SourceMissing,             // a mod's file is missing: Apply fails here
        FolderMissing              // the folder of a target is missing: Apply fails here
    };
    Kind What = Kind::Restore;
    // The mod whose transfer this is; empty for restores and deletions.
    std::string Mod;
    // The file written or deleted, relative to the game folder.
    std::string File;
    // Full names as Apply's log writes them: the file copied (a mod's file or the backup
    // restored) and the file written or deleted; for BackUpAndReplace also the file
    // kept and the backup it is kept in.
    std::string From;
    std::string To;
    std::string BackedUp;
    std::string Backup;
    // The size of the mod's file a copy takes.
    std::uintmax_t Size = 0;

    // The action as the preview shows it, such as "Back up and replace (Night Mode)".
    std::string Action() const;
};

struct ApplyOptions {
    bool RestoreOriginal = false;
    bool Reinitialize = false;
};

struct ApplyPreview {
    // In the order Apply would take them; after a failing step, the roll back.
    std::vector<PlannedStep> Steps;
    // What Apply would meet: mods that cannot run together or lack a prerequisite, a
    // missing file or folder.
    std::vector<std::string> Problems;
    // Apply would fail (and roll back).
    bool Fails = false;

    // "<r> files restored, <c> files copied (<size>), <b> backups made, <a> files
    // added." and a line for each problem, joined with CR LF.
    std::string Summary() const;
};

// What Apply would do to switch the game from Current to Selected with these options:
// take Current off, restore the originals, initialize and apply Selected, with the
// same backups, in the same order, failing where it would fail. Nothing is written:
// only the definitions, the existence of files and backups (and, for the careful
// restoration, the backups found in the game folder) are looked at. AllModis names
// the prerequisites a setup lacks.
ApplyPreview PreviewApply(const Setup& Current, const Setup& Selected, const Modis& AllModis,
                          const ApplyOptions& Options, const GameFolder& Game);

// A size as a player reads it: "512 bytes", "1.5 KB", "12.0 MB".
std::string SizeText(std::uintmax_t Bytes);
