#include <gtest/gtest.h>

#include <csignal>
#include <string>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "ErrorOf.h"
#include "FileInterface.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TempFolder.h"

namespace {

FileReference Ref(FileInterface& fi, const std::string& path, const std::string& name) {
    FileReference ref;
    ref.Setup(path, name, &fi);
    return ref;
}

}  // namespace

TEST(FileReference, SetupEndsTheFolderWithABackslashAndKeepsTheName) {
    FileInterface fi;
    FileReference ref = Ref(fi, "D:\\Play\\Demo", "UserProfile.txt");
    EXPECT_EQ(ref.FileName(), "UserProfile.txt");
#ifndef _WIN32
    // Folder names of these systems are case-sensitive: lower-casing them would lose files.
    EXPECT_EQ(ref.Path(), "D:\\Play\\Demo\\");
#else
    EXPECT_EQ(ref.Path(), "d:\\play\\demo\\");
#endif
    EXPECT_EQ(Ref(fi, "", "x").Path(), "\\");

    FileReference unbound;
    QuillonError e = ErrorOf([&] { unbound.Setup("C:\\", "x", nullptr); });
    EXPECT_EQ(e.Number, 1101);
    EXPECT_EQ(e.Source, "FileReference");
    EXPECT_EQ(e.Description, "Failed to provide FileInterface when initializing FileReference");
}

TEST(FileReference, MissingFilesAndFoldersRaiseDescriptiveErrors) {
    TempFolder tmp;
    FileInterface fi;
    FileReference missingFile = Ref(fi, tmp.Path(), "Missing.txt");
    QuillonError e = ErrorOf([&] { missingFile.AssertFileExists(); });
    EXPECT_EQ(e.Number, 1069);
    EXPECT_EQ(e.Source, "FileReference");
    EXPECT_EQ(e.Description, "Path or file not found:\r\n" + tmp.Path() +
                                 "Missing.txt\r\nPlease check paths specified in QELEd.ini");
    EXPECT_EQ(ErrorOf([&] { missingFile.OpenFileForInput(); }).Number, 1069);
    EXPECT_EQ(ErrorOf([&] { missingFile.OpenFileForAppend(); }).Number, 1069);
    EXPECT_EQ(ErrorOf([&] { missingFile.Delete(); }).Number, 1069);
    EXPECT_FALSE(tmp.Exists("Missing.txt"));

    FileReference missingFolder = Ref(fi, tmp.Path() + "Nowhere", "a.txt");
    e = ErrorOf([&] { missingFolder.AssertPathExists(); });
    EXPECT_EQ(e.Number, 1068);
    EXPECT_EQ(e.Source, "FileReference");
    // The folder as the program keeps it (lower case on Windows).
    EXPECT_EQ(e.Description, "Path not found:\r\n" +
                                 NativeFs::FolderSpelling(tmp.Path() + "Nowhere\\") +
                                 "\r\nPlease check paths specified in QELEd.ini");
    EXPECT_EQ(ErrorOf([&] { missingFolder.OpenFileForOutput(); }).Number, 1068);

    // Output into an existing folder makes the file.
    auto out = missingFile.OpenFileForOutput();
    out->Write("made");
    out->Close();
    EXPECT_EQ(tmp.Read("Missing.txt"), "made");
    EXPECT_FALSE(missingFile.FileAbsent());
}

TEST(FileReference, FilesAreFoundThroughFoldersSpelledInAnotherCase) {
    TempFolder tmp;
    tmp.Write("QEL2_Program/QEL/UserProfile.txt", "NumPlayers=4");
    FileInterface fi;
    FileReference ref = Ref(fi, tmp.Path() + "qel2_program\\qel", "userprofile.txt");
    EXPECT_FALSE(ref.FileAbsent());
    ref.AssertPathExists();
    auto in = ref.OpenFileForInput();
    EXPECT_EQ(in->ReadLine(), "NumPlayers=4");

    ref.Delete();
    EXPECT_FALSE(tmp.Exists("QEL2_Program/QEL/UserProfile.txt"));
    EXPECT_TRUE(ref.FileAbsent());
}

TEST(FileReference, CopyRespectsAReadOnlyTargetUnlessForced) {
    TempFolder tmp;
    tmp.Write("mods/new.txt", "new");
    tmp.Write("data/game.txt", "old");
    FileInterface fi;
    FileReference source = Ref(fi, tmp.Path() + "mods", "new.txt");
    FileReference target = Ref(fi, tmp.Path() + "data", "game.txt");
    NativeFs::SetReadOnly(target.FullName(), true);

    source.CopyIntoReference(target, false);
    EXPECT_EQ(tmp.Read("data/game.txt"), "old");

    source.CopyIntoReference(target, true);
    EXPECT_EQ(tmp.Read("data/game.txt"), "new");
    EXPECT_TRUE(NativeFs::IsReadOnly(target.FullName()));

    // A writable target stays writable even when the source is read-only, and a new
    // target is simply made.
    tmp.Write("data/other.txt", "other");
    FileReference writable = Ref(fi, tmp.Path() + "data", "other.txt");
    NativeFs::SetReadOnly(source.FullName(), true);
    source.CopyIntoReference(writable, false);
    EXPECT_EQ(tmp.Read("data/other.txt"), "new");
    EXPECT_FALSE(NativeFs::IsReadOnly(writable.FullName()));
    source.CopyIntoReference(Ref(fi, tmp.Path() + "data", "Brand_New.txt"), false);
    EXPECT_EQ(tmp.Read("data/Brand_New.txt"), "new");

    EXPECT_EQ(ErrorOf([&] {
                  Ref(fi, tmp.Path() + "mods", "gone.txt").CopyIntoReference(target, true);
              }).Number,
              1069);
    EXPECT_EQ(ErrorOf([&] {
                  source.CopyIntoReference(Ref(fi, tmp.Path() + "nowhere", "x.txt"), true);
              }).Number,
              1068);
    EXPECT_FALSE(tmp.Exists("nowhere"));
}

#ifndef _WIN32
TEST(FileReference, AFailedForcedCopyLeavesTheTargetAsItWas) {
    TempFolder tmp;
    tmp.Write("mods/big.txt", std::string(100000, 'b'));
    tmp.Write("data/game.txt", "old");
    FileInterface fi;
    FileReference source = Ref(fi, tmp.Path() + "mods", "big.txt");
    FileReference target = Ref(fi, tmp.Path() + "data", "game.txt");
    NativeFs::SetReadOnly(target.FullName(), true);

    // Writes past a few bytes fail, as on a full disk.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_THROW(source.CopyIntoReference(target, true), QuillonError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);

    EXPECT_EQ(tmp.Read("data/game.txt"), "old");
    EXPECT_TRUE(NativeFs::IsReadOnly(target.FullName()));
}
#endif

TEST(FileInterfaceCore, HiddenFilesArePresentByNameButNotThroughWildcards) {
    TempFolder tmp;
    tmp.Write(".quill.ini", "hidden");
    tmp.Write(".orig_hidden.txt", "hidden");
    tmp.Write("orig_Great_Library.txt", "backup");
    tmp.MakeFolder("folder_moddef.txt");
    FileInterface fi;

    EXPECT_FALSE(fi.FileAbsent(tmp.Path(), "ORIG_great_library.TXT"));
    EXPECT_FALSE(fi.FileAbsent(tmp.Path(), "orig_*.*"));
#ifndef _WIN32  // hidden means a name beginning with "."
    EXPECT_FALSE(fi.FileAbsent(tmp.Path(), ".quill.ini"));
    EXPECT_TRUE(fi.FileAbsent(tmp.Path(), ".orig_*.*"));
    EXPECT_TRUE(fi.FileAbsent(tmp.Path(), "*.ini"));
#endif
    // A folder is no file, whatever its name.
    EXPECT_TRUE(fi.FileAbsent(tmp.Path(), "folder_moddef.txt"));
    EXPECT_TRUE(fi.FileAbsent(tmp.Path(), "*_moddef.txt"));
    EXPECT_TRUE(fi.FileAbsent(tmp.Path(), "missing.txt"));
}

TEST(FileInterfaceCore, AnUnusableFolderLeavesTheCurrentPathWhereItWas) {
    TempFolder tmp;
    tmp.Write("Game/a.txt", "");
    FileInterface fi;
    const std::string game = tmp.Path() + "Game\\";
    EXPECT_FALSE(fi.PathInvalid(game));
    EXPECT_EQ(fi.CurrentPath(), game);

    EXPECT_TRUE(fi.FileAbsent(tmp.Path() + "Missing", "a.txt"));
    EXPECT_TRUE(fi.PathInvalid(game + "a.txt"));
    EXPECT_TRUE(fi.PathInvalid(""));
    EXPECT_EQ(fi.CurrentPath(), game);

    // A folder given without its closing backslash is reported with it.
    EXPECT_FALSE(fi.FileAbsent(tmp.Path() + "GAME", "A.TXT"));
    EXPECT_EQ(fi.CurrentPath(), tmp.Path() + "GAME\\");
}
