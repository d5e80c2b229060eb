#pragma once

#include <memory>
#include <string>
#include <unordered_map>

class FileInterface;
class FileReference;
class Transfer;

// Where a mod's transfers land: the game folder, the language that "%l" names and the
// file interface that tells what is there. The planners that foresee what the mod
// operations would do resolve every path through it, as those operations do.
struct GameFolder {
    ::FileInterface* FileInterface = nullptr;
    std::string Language;
    // Ends with "\".
    std::string QELPath;

    std::unique_ptr<FileReference> Source(const Transfer& Transfer) const;
    std::unique_ptr<FileReference> Target(const Transfer& Transfer) const;
    // A file's name relative to the game folder, as a player reads it.
    std::string Relative(const FileReference& File) const;
};

// The backup of a replaced game file: Prefix ("orig_" or "subst_") + its name, beside it.
std::unique_ptr<FileReference> BackupOf(const FileReference& File, const std::string& Prefix);

// What exists in the game folder as a planner sees it: each file and folder is looked
// up on the disk once, and the planner enters what the steps it foresees would change.
// Names are told apart without regard to case, as the file system finds them.
class KnownFiles {
  public:
    bool Exists(const FileReference& File);
    void Now(const FileReference& File, bool Exists);
    // Whether the folder of File is missing (nothing the planners foresee makes one).
    bool FolderMissing(const FileReference& File);

  private:
    std::unordered_map<std::string, bool> files_;
    std::unordered_map<std::string, bool> missingFolders_;
};
