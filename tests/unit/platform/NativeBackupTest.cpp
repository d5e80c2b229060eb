// Backups that survive a power cut: a hard link where the file system has them, a
// flushed copy where it has not, and the program's leftovers found again.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "NativeFileSystem.h"
#include "TempFolder.h"
#include "TestSeam.h"

namespace {

// A file system without hard links, for one scope.
class NoHardLinks {
  public:
    NoHardLinks() { TestSeam::RefuseHardLinks(true); }
    ~NoHardLinks() { TestSeam::RefuseHardLinks(false); }
    NoHardLinks(const NoHardLinks&) = delete;
    NoHardLinks& operator=(const NoHardLinks&) = delete;
};

}  // namespace

TEST(NativeBackup, TheBackupIsTheGameFileItselfUntilANewFileIsRenamedOverIt) {
    TempFolder tmp;
    tmp.Write("units.txt", "game's own");
    tmp.Write("mod_units.txt", "the mod's");
    const std::string game = tmp.Path() + "units.txt";
    const std::string backup = tmp.Path() + "orig_units.txt";

    EXPECT_TRUE(NativeFs::BackupFile(game, backup));
    EXPECT_TRUE(NativeFs::SameFile(game, backup));

    // The mod's file takes the game file's name; the backup keeps the old file alone.
    NativeFs::CopyFile(tmp.Path() + "mod_units.txt", game);
    EXPECT_FALSE(NativeFs::SameFile(game, backup));
    EXPECT_EQ(tmp.Read("orig_units.txt"), "game's own");
    EXPECT_EQ(tmp.Read("units.txt"), "the mod's");
    // The file it replaced is gone from beside it, not only from under its name.
    EXPECT_TRUE(NativeFs::ListTemporaryFiles(tmp.Path()).empty());

    // Restoring copies: a game that writes into its file never reaches the backup.
    NativeFs::CopyFile(backup, game);
    EXPECT_FALSE(NativeFs::SameFile(game, backup));
    EXPECT_EQ(tmp.Read("units.txt"), "game's own");
}

TEST(NativeBackup, WithoutHardLinksOrForAReadOnlyFileTheBackupIsACopy) {
    TempFolder tmp;
    tmp.Write("const.txt", "constants");
    tmp.Write("locked.txt", "locked");
    NativeFs::SetReadOnly(tmp.Path() + "locked.txt", true);

    {
        NoHardLinks refused;
        EXPECT_FALSE(NativeFs::BackupFile(tmp.Path() + "const.txt", tmp.Path() + "orig_const.txt"));
    }
    EXPECT_FALSE(NativeFs::SameFile(tmp.Path() + "const.txt", tmp.Path() + "orig_const.txt"));
    EXPECT_EQ(tmp.Read("orig_const.txt"), "constants");

    // A read-only file is not replaced by a mod; a link would stay shared for good.
    EXPECT_FALSE(NativeFs::BackupFile(tmp.Path() + "locked.txt", tmp.Path() + "orig_locked.txt"));
    EXPECT_FALSE(NativeFs::SameFile(tmp.Path() + "locked.txt", tmp.Path() + "orig_locked.txt"));
    EXPECT_EQ(tmp.Read("orig_locked.txt"), "locked");

    // Nothing of the copies is left beside them.
    EXPECT_TRUE(NativeFs::ListTemporaryFiles(tmp.Path()).empty());
}

TEST(NativeBackup, WhatAnUnfinishedWriteLeavesIsFoundByItsOwnListingOnly) {
    TempFolder tmp;
    tmp.Write("quill.ini", "old");
    {
        NativeFs::OutputFile out(tmp.Path() + "quill.ini", NativeFs::OutputFile::Mode::Replace);
        out.Write("new");
        EXPECT_EQ(NativeFs::ListTemporaryFiles(tmp.Path()).size(), 1u);
        // The program's own file patterns never match it.
        EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*.*"), std::vector<std::string>{"quill.ini"});
    }
    EXPECT_TRUE(NativeFs::ListTemporaryFiles(tmp.Path()).empty());

    // One left by a process that was killed can be deleted like any file.
#ifdef _WIN32
    const std::string leftover = "~quillon-12-3.part";
#else
    const std::string leftover = ".~quillon-12-3.part";
#endif
    tmp.Write(leftover, "half");
    tmp.Write("quillon-12-3.part", "someone else's");
    EXPECT_EQ(NativeFs::ListTemporaryFiles(tmp.Path()), std::vector<std::string>{leftover});
    NativeFs::DeleteFile(tmp.Path() + leftover);
    EXPECT_TRUE(NativeFs::ListTemporaryFiles(tmp.Path()).empty());
    EXPECT_FALSE(NativeFs::SameFile(tmp.Path() + "quill.ini", tmp.Path() + "missing.ini"));
}

TEST(NativeBackup, FilesReplacedInAnOperationLeaveNothingBehindWhenItEnds) {
    TempFolder tmp;
    const int count = 200;
    for (int i = 0; i < count; ++i) {
        tmp.Write("old" + std::to_string(i) + ".txt", "old");
        tmp.Write("mod" + std::to_string(i) + ".txt", "mod " + std::to_string(i));
    }
    {
        const NativeFs::BackgroundRemovals removals;
        for (int i = 0; i < count; ++i) {
            const std::string name = "old" + std::to_string(i) + ".txt";
            // Half are backed up first, as a switch does: their old file lives on.
            if (i % 2 == 0)
                NativeFs::BackupFile(tmp.Path() + name, tmp.Path() + "orig_" + name);
            NativeFs::CopyFile(tmp.Path() + "mod" + std::to_string(i) + ".txt", tmp.Path() + name);
        }
    }
    // Hidden names included: the old files swapped out are gone, not only out of sight.
    const auto entries = std::filesystem::directory_iterator(tmp.Native());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), count * 2 + count / 2);
    for (int i = 0; i < count; i += 37) {
        EXPECT_EQ(tmp.Read("old" + std::to_string(i) + ".txt"), "mod " + std::to_string(i));
        if (i % 2 == 0) {
            EXPECT_EQ(tmp.Read("orig_old" + std::to_string(i) + ".txt"), "old");
        }
    }
}
