#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "ErrorOf.h"
#include "FileSizeLimit.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TempFolder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
using NativeFs::OutputFile;

namespace {

// Every entry of a folder as it is on disk, hidden ones included.
std::set<std::string> Entries(const std::string& native) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(native))
        names.insert(entry.path().filename().string());
    return names;
}

// Whether the folder holds that one file with that content, and nothing beside it (no
// temporary left behind).
::testing::AssertionResult HoldsOnly(const TempFolder& tmp, const std::string& name,
                                     const std::string& content) {
    const std::set<std::string> entries = Entries(tmp.Native());
    if (entries != std::set<std::string>{name})
        return ::testing::AssertionFailure() << entries.size() << " entries, not only " << name;
    if (tmp.Read(name) != content)
        return ::testing::AssertionFailure() << name << " holds \"" << tmp.Read(name) << '"';
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(NativeFileSystemCase, ComponentsAreMatchedWithoutRegardToCase) {
    TempFolder tmp;
    tmp.Write("Game/Data/Text.TXT", "found");
    const std::string asWritten = tmp.Path() + "GAME\\data\\text.txt";

    EXPECT_TRUE(NativeFs::FileExists(asWritten));
    EXPECT_TRUE(NativeFs::FolderExists(tmp.Path() + "game\\DATA\\"));
#ifndef _WIN32  // Windows takes every spelling as it is
    EXPECT_EQ(NativeFs::NativePath(asWritten), tmp.NativeOf("Game/Data/Text.TXT"));
#endif
    EXPECT_EQ(ReadLines(asWritten), std::vector<std::string>{"found"});
    EXPECT_EQ(NativeFs::ListFiles(tmp.Path() + "GAME\\DATA", "*.txt"),
              std::vector<std::string>{"Text.TXT"});

#ifndef _WIN32
    // Paths written for Wine name the root as drive Z.
    EXPECT_TRUE(NativeFs::FileExists("Z:" + asWritten));
    EXPECT_TRUE(NativeFs::FolderExists("z:\\"));
#endif

    EXPECT_FALSE(NativeFs::FileExists(tmp.Path() + "game\\data\\other.txt"));
    EXPECT_FALSE(NativeFs::FolderExists(tmp.Path() + "game\\text.txt"));
}

TEST(NativeFileSystemCase, NewFilesTakeTheNameAsGivenAndExistingOnesKeepTheirs) {
    TempFolder tmp;
    tmp.Write("Target.txt", "old");
    tmp.Write("source.txt", "copied");

    OutputFile created(tmp.Path() + "NewName.Txt", OutputFile::Mode::Replace);
    created.Write("x");
    created.Close();
    // Replacing under another spelling must not leave a twin that differs in case.
    NativeFs::CopyFile(tmp.Path() + "source.txt", tmp.Path() + "TARGET.TXT");
    OutputFile rewritten(tmp.Path() + "SOURCE.TXT", OutputFile::Mode::Replace);
    rewritten.Write("rewritten");
    rewritten.Close();

    EXPECT_EQ(Entries(tmp.Native()),
              (std::set<std::string>{"NewName.Txt", "Target.txt", "source.txt"}));
    EXPECT_EQ(tmp.Read("Target.txt"), "copied");
    EXPECT_EQ(tmp.Read("source.txt"), "rewritten");
}

TEST(NativeFileSystemCase, WhatTheProgramCreatesOrDeletesIsSeenAtOnce) {
    TempFolder tmp;
    tmp.MakeFolder("Data");
    const std::string data = tmp.Path() + "Data\\";
    // Looking for a missing name makes the layer learn the folder's names first.
    ASSERT_FALSE(NativeFs::FileExists(data + "fresh.txt"));
    ASSERT_FALSE(NativeFs::FolderExists(data + "newsub"));

    OutputFile out(data + "Fresh.txt", OutputFile::Mode::Replace);
    out.Write("x");
    out.Close();
    NativeFs::CopyFile(data + "Fresh.txt", data + "Copied.txt");
    NativeFs::CreateFolder(data + "NewSub");
    EXPECT_TRUE(NativeFs::FileExists(data + "FRESH.TXT"));
    EXPECT_TRUE(NativeFs::FileExists(data + "copied.TXT"));
    EXPECT_TRUE(NativeFs::FolderExists(data + "newsub"));

    NativeFs::ReplaceFile(data + "copied.txt", data + "Moved.txt");
    EXPECT_FALSE(NativeFs::FileExists(data + "COPIED.txt"));
    EXPECT_TRUE(NativeFs::FileExists(data + "moved.TXT"));

    NativeFs::DeleteFile(data + "fresh.TXT");
    EXPECT_FALSE(NativeFs::FileExists(data + "Fresh.txt"));
    EXPECT_FALSE(NativeFs::FileExists(data + "FRESH.TXT"));
    EXPECT_FALSE(tmp.Exists("Data/Fresh.txt"));
    // A file made again after its deletion is found again.
    OutputFile again(data + "fresh.txt", OutputFile::Mode::Replace);
    again.Close();
    EXPECT_TRUE(NativeFs::FileExists(data + "FRESH.txt"));
}

TEST(NativeFileSystemListing, WildcardsFollowTheWindowsRules) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.*", "README", true},
        {"*.*", "a.b.c", true},
        {"orig_*.*", "orig_Great_Library.txt", true},
        {"orig_*.*", "ORIG_names", true},
        {"orig_*.*", "xorig_a.txt", false},
        {"*_moddef.txt", "Big_MODDEF.TXT", true},
        {"*_moddef.txt", "big_moddef.txt.bak", false},
        {"subst_*", "subst_a.txt", true},
        {"subst_*", "a_subst_b", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"a*b*c", "axxbyybzc", true},
        {"a*b*c", "axxbyybzcd", false},
        {"temp.tmp", "TEMP.TMP", true},
        {"temp.tmp", "temp.tmpx", false},
        {"*.txt", "readme", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NativeFs::WildcardMatch(c.pattern, c.name), c.matches)
            << c.pattern << " on " << c.name;
}

TEST(NativeFileSystemListing, ListsAreSortedWithoutRegardToCaseAndSkipHiddenEntries) {
    TempFolder tmp;
    for (const char* name : {"b.txt", "A.txt", "c.TXT", ".hidden.txt", "noext", "d.ini"})
        tmp.Write(name, "");
    tmp.MakeFolder("e.txt");
    tmp.MakeFolder("Zeta");
    tmp.MakeFolder("alpha");
    tmp.MakeFolder(".git");
#ifndef _WIN32
    fs::create_directory_symlink(tmp.NativeOf("alpha"), tmp.NativeOf("link"));
#endif

    EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*.txt"),
              (std::vector<std::string>{"A.txt", "b.txt", "c.TXT"}));
    EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*.*"),
              (std::vector<std::string>{"A.txt", "b.txt", "c.TXT", "d.ini", "noext"}));
    // A walk over folders must neither see hidden ones nor follow links out of the tree.
    EXPECT_EQ(NativeFs::ListFolders(tmp.Path()),
              (std::vector<std::string>{"alpha", "e.txt", "Zeta"}));
    EXPECT_TRUE(NativeFs::ListFiles(tmp.Path() + "missing", "*.*").empty());
    // A plain name is present whether hidden or not.
    EXPECT_TRUE(NativeFs::FileExists(tmp.Path() + ".hidden.txt"));
}

TEST(NativeFileSystemLines, LinesEndAtCrLfCrOrLf) {
    TempFolder tmp;
    tmp.Write("mixed.txt", "a\r\nb\rc\nd");
    tmp.Write("blank.txt", "\r\n\rx\n\r");
    tmp.Write("empty.txt", "");
    const std::string longLine(100000, 'x');
    tmp.Write("long.txt", longLine + "\r\nend\r\n");

    EXPECT_EQ(ReadLines(tmp.Path() + "mixed.txt"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadLines(tmp.Path() + "blank.txt"), (std::vector<std::string>{"", "", "x", ""}));
    EXPECT_TRUE(NativeFs::InputFile(tmp.Path() + "empty.txt").AtEnd());
    EXPECT_EQ(ReadLines(tmp.Path() + "long.txt"), (std::vector<std::string>{longLine, "end"}));
}

TEST(NativeFileSystemWrites, OutputReplacesTheTargetOnlyWhenClosed) {
    TempFolder tmp;
    tmp.Write("quill.ini", "old");
#ifndef _WIN32
    // A rewritten file keeps its permissions.
    fs::permissions(tmp.NativeOf("quill.ini"), fs::perms(0640));
#endif
    {
        OutputFile out(tmp.Path() + "quill.ini", OutputFile::Mode::Replace);
        out.Write("new\r\n");
        EXPECT_EQ(tmp.Read("quill.ini"), "old");

        // The file being written must never be taken for one the program looks for.
        std::set<std::string> during = Entries(tmp.Native());
        during.erase("quill.ini");
        ASSERT_EQ(during.size(), 1u);
        const std::string temporary = *during.begin();
        for (const char* pattern :
             {"orig_*.*", "subst_*", "*_moddef.txt", "*_gamefile.txt", "temp.tmp", "quill.ini"})
            EXPECT_FALSE(NativeFs::WildcardMatch(pattern, temporary)) << temporary;
        EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*.*"), std::vector<std::string>{"quill.ini"});

        out.Close();
    }
    EXPECT_TRUE(HoldsOnly(tmp, "quill.ini", "new\r\n"));
#ifndef _WIN32
    EXPECT_EQ(fs::status(tmp.NativeOf("quill.ini")).permissions(), fs::perms(0640));
#endif
}

#ifndef _WIN32
TEST(NativeFileSystemWrites, AFileThatWouldComeOutTheSameIsNotWrittenAgain) {
    TempFolder tmp;
    // Larger than the pieces a file is written in, as quill.ini is with thousands of mods.
    std::string mods;
    for (int mod = 0; mod < 5000; ++mod)
        mods += "mod" + std::to_string(mod) + "\tYes\t1.0\r\n";
    tmp.Write("quill.ini", "Log\tYes\r\n" + mods);
    const auto before = fs::last_write_time(tmp.NativeOf("quill.ini"));
    const auto inode = [&] {
        struct stat st;
        ::stat(tmp.NativeOf("quill.ini").c_str(), &st);
        return st.st_ino;
    };
    const auto original = inode();
    OutputFile same(tmp.Path() + "quill.ini", OutputFile::Mode::Replace);
    same.Write("Log\t");
    same.Write("Yes\r\n");
    same.Write(mods);
    same.Close();
    EXPECT_EQ(inode(), original);
    EXPECT_EQ(fs::last_write_time(tmp.NativeOf("quill.ini")), before);
    EXPECT_EQ(Entries(tmp.Native()), std::set<std::string>{"quill.ini"});

    OutputFile other(tmp.Path() + "quill.ini", OutputFile::Mode::Replace);
    other.Write("Log\tNo\r\n");
    other.Close();
    EXPECT_EQ(tmp.Read("quill.ini"), "Log\tNo\r\n");
    EXPECT_NE(inode(), original);
}
#endif

TEST(NativeFileSystemWrites, AppendingWritesInPlace) {
    TempFolder tmp;
    tmp.Write("Quill.log", "first\r\n");
    OutputFile log(tmp.Path() + "Quill.log", OutputFile::Mode::Append);
    log.Write("second\r\n");
    // Lines already written survive whatever happens to the process afterwards.
    EXPECT_TRUE(HoldsOnly(tmp, "Quill.log", "first\r\nsecond\r\n"));
    log.Close();
    EXPECT_EQ(tmp.Read("Quill.log"), "first\r\nsecond\r\n");

    EXPECT_THROW(OutputFile(tmp.Path() + "missing.log", OutputFile::Mode::Append), QuillonError);
    EXPECT_FALSE(tmp.Exists("missing.log"));
}

TEST(NativeFileSystemWrites, ReadOnlyFilesAreNotWrittenOver) {
    TempFolder tmp;
    tmp.Write("locked.txt", "kept");
    tmp.Write("source.txt", "other");
    const std::string locked = tmp.Path() + "LOCKED.txt";
    NativeFs::SetReadOnly(locked, true);
    ASSERT_TRUE(NativeFs::IsReadOnly(locked));

    try {
        OutputFile out(locked, OutputFile::Mode::Replace);
        out.Write("lost");
        out.Close();
        ADD_FAILURE() << "a read-only file was written over";
    } catch (const QuillonError& e) {
        EXPECT_EQ(e.Number, PlatformError::PermissionDenied);
    }
    EXPECT_THROW(OutputFile(locked, OutputFile::Mode::Append), QuillonError);
    EXPECT_THROW(NativeFs::CopyFile(tmp.Path() + "source.txt", locked), QuillonError);
    EXPECT_THROW(NativeFs::DeleteFile(locked), QuillonError);
    EXPECT_EQ(tmp.Read("locked.txt"), "kept");
    EXPECT_EQ(Entries(tmp.Native()), (std::set<std::string>{"locked.txt", "source.txt"}));

    NativeFs::SetReadOnly(locked, false);
    EXPECT_FALSE(NativeFs::IsReadOnly(locked));
    NativeFs::CopyFile(tmp.Path() + "source.txt", locked);
    EXPECT_EQ(tmp.Read("locked.txt"), "other");
}

// What only these systems allow: names that differ in letter case side by side, and
// a limit on file sizes that makes writes fail as a full disk does (Windows has its
// own tests).
#ifndef _WIN32
TEST(NativeFileSystemCase, ExactSpellingIsPreferredWhenBothExist) {
    TempFolder tmp;
    tmp.Write("Mods/Readme.txt", "upper");
    tmp.Write("mods/readme.txt", "lower");

    EXPECT_EQ(ReadLines(tmp.Path() + "Mods\\Readme.txt"), std::vector<std::string>{"upper"});
    EXPECT_EQ(ReadLines(tmp.Path() + "mods\\readme.txt"), std::vector<std::string>{"lower"});
    // A spelling that matches neither exactly still finds one of them.
    EXPECT_TRUE(NativeFs::FileExists(tmp.Path() + "MODS\\README.TXT"));
}

TEST(NativeFileSystemHostile, APathWithANulIsRefusedNotCutShort) {
    TempFolder tmp;
    tmp.Write("source.txt", "mod");
    using namespace std::string_literals;
    const std::string source = tmp.Path() + "source.txt";
    const std::string evil = tmp.Path() + "evil.exe\0.txt"s;
    for (const auto& operation :
         std::vector<std::function<void()>>{[&] { NativeFs::CopyFile(source, evil); },
                                            [&] { OutputFile(evil, OutputFile::Mode::Replace); },
                                            [&] { NativeFs::ReadWholeFile(source + "\0.exe"s); },
                                            [&] { NativeFs::FileExists(evil); }}) {
        EXPECT_EQ(ErrorOf(operation).Number, PlatformError::BadFileName);
    }
    EXPECT_EQ(Entries(tmp.Native()), std::set<std::string>{"source.txt"});
}

TEST(NativeFileSystemWrites, AnUnfinishedOrFailedWriteLeavesTheOldFileWhole) {
    TempFolder tmp;
    tmp.Write("userprofile.txt", "DebugVesk=0\r\n");
    {
        OutputFile abandoned(tmp.Path() + "userprofile.txt", OutputFile::Mode::Replace);
        abandoned.Write("Num");
    }
    EXPECT_TRUE(HoldsOnly(tmp, "userprofile.txt", "DebugVesk=0\r\n"));

    // Text is written in large pieces: a long one fails at once, a short one at the close.
    OutputFile full(tmp.Path() + "userprofile.txt", OutputFile::Mode::Replace);
    {
        FileSizeLimit limit(64);
        EXPECT_THROW(full.Write(std::string(1 << 17, 'x')), QuillonError);
    }
    EXPECT_THROW(full.Close(), QuillonError);
    EXPECT_TRUE(HoldsOnly(tmp, "userprofile.txt", "DebugVesk=0\r\n"));
    OutputFile last(tmp.Path() + "userprofile.txt", OutputFile::Mode::Replace);
    last.Write(std::string(4096, 'x'));
    {
        FileSizeLimit limit(64);
        EXPECT_THROW(last.Close(), QuillonError);
    }
    EXPECT_TRUE(HoldsOnly(tmp, "userprofile.txt", "DebugVesk=0\r\n"));
}

TEST(NativeFileSystemWrites, AFailedCopyLeavesTheTargetWhole) {
    TempFolder tmp;
    tmp.Write("big.txt", std::string(100000, 'b'));
    tmp.Write("target.txt", "original");
    {
        FileSizeLimit limit(4096);
        EXPECT_THROW(NativeFs::CopyFile(tmp.Path() + "big.txt", tmp.Path() + "target.txt"),
                     QuillonError);
    }
    EXPECT_EQ(tmp.Read("target.txt"), "original");
    EXPECT_EQ(Entries(tmp.Native()), (std::set<std::string>{"big.txt", "target.txt"}));

    NativeFs::CopyFile(tmp.Path() + "big.txt", tmp.Path() + "target.txt");
    EXPECT_EQ(tmp.Read("target.txt"), std::string(100000, 'b'));
    EXPECT_EQ(Entries(tmp.Native()), (std::set<std::string>{"big.txt", "target.txt"}));
}

TEST(NativeFileSystemHostile, TheLogIsNotAppendedToThroughALinkOrASecondName) {
    TempFolder tmp;
    tmp.Write("elsewhere.txt", "theirs");
    fs::create_symlink(tmp.NativeOf("elsewhere.txt"), tmp.NativeOf("Quill.log"));
    fs::create_hard_link(tmp.NativeOf("elsewhere.txt"), tmp.NativeOf("second.log"));
    for (const char* log : {"Quill.log", "second.log"}) {
        EXPECT_EQ(ErrorOf([&] { OutputFile(tmp.Path() + log, OutputFile::Mode::Append); }).Number,
                  PlatformError::PermissionDenied)
            << log;
    }
    EXPECT_EQ(tmp.Read("elsewhere.txt"), "theirs");
}

// Writes confined to a folder for as long as the test needs, even when it fails.
struct ScopedConfinement {
    explicit ScopedConfinement(const std::string& folder) { NativeFs::ConfineWritesTo(folder); }
    ~ScopedConfinement() { NativeFs::ConfineWritesTo(""); }
};

TEST(NativeFileSystemHostile, AFileLinkedOutOfTheGameIsReplacedNeverChanged) {
    TempFolder tmp;
    tmp.Write("game/source.txt", "mod");
    tmp.Write("theirs.txt", "theirs");
    tmp.Write("locked.txt", "locked");
    fs::permissions(tmp.NativeOf("locked.txt"), fs::perms(0444));
    fs::create_symlink(tmp.NativeOf("theirs.txt"), tmp.NativeOf("game/linked.txt"));
    fs::create_symlink(tmp.NativeOf("locked.txt"), tmp.NativeOf("game/locked.txt"));
    const std::string game = tmp.Path() + "game\\";
    const ScopedConfinement confined(game);

    const QuillonError error = ErrorOf([&] { NativeFs::SetReadOnly(game + "locked.txt", false); });
    EXPECT_EQ(error.Number, PlatformError::PermissionDenied);
    EXPECT_NE(error.Description.find("locked.txt is a link to " + tmp.NativeOf("locked.txt")),
              std::string::npos)
        << error.Description;
    EXPECT_EQ(fs::status(tmp.NativeOf("locked.txt")).permissions(), fs::perms(0444));

    NativeFs::CopyFile(game + "source.txt", game + "linked.txt");
    EXPECT_FALSE(fs::is_symlink(tmp.NativeOf("game/linked.txt")));
    EXPECT_EQ(tmp.Read("game/linked.txt"), "mod");
    EXPECT_EQ(tmp.Read("theirs.txt"), "theirs");
}

// The real path of a folder is kept for an operation; whether it lies inside the game
// folder is not.
TEST(NativeFileSystemHostile, AFolderWrittenIntoBeforeIsCheckedAgainAtEveryWrite) {
    TempFolder tmp;
    tmp.Write("game/source.txt", "mod");
    tmp.Write("game/data/old.txt", "old");
    tmp.Write("game/other/keep.txt", "keep");
    const std::string game = tmp.Path() + "game\\";
    NativeFs::CopyFile(game + "source.txt", game + "data\\first.txt");
    {
        const ScopedConfinement confined(game + "other");
        EXPECT_EQ(ErrorOf([&] {
                      NativeFs::CopyFile(game + "source.txt", game + "data\\second.txt");
                  }).Number,
                  PlatformError::PermissionDenied);
    }
    EXPECT_FALSE(tmp.Exists("game/data/second.txt"));
    EXPECT_EQ(tmp.Read("game/data/first.txt"), "mod");
}

TEST(NativeFileSystemHostile, APipeIsNoFileAndNothingWaitsOnIt) {
    TempFolder tmp;
    ASSERT_EQ(::mkfifo(tmp.NativeOf("pipe.txt").c_str(), 0644), 0);
    const std::string pipe = tmp.Path() + "pipe.txt";
    EXPECT_FALSE(NativeFs::FileExists(pipe));
    EXPECT_TRUE(NativeFs::ListFiles(tmp.Path(), "*.txt").empty());
    EXPECT_THROW(NativeFs::ReadWholeFile(pipe), QuillonError);
    EXPECT_THROW(NativeFs::CopyFile(pipe, tmp.Path() + "copy.txt"), QuillonError);
    EXPECT_FALSE(tmp.Exists("copy.txt"));
}
#endif
