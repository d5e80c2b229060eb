#include <gtest/gtest.h>

#include "FileInterface.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "Transfer.h"

namespace {
// Whether the path is rejected as a transfer target.
bool Rejected(const std::string& path) {
    Transfer transfer;
    transfer.SetFromFile("%d\\source.txt");
    transfer.SetToFile(path);
    return transfer.Invalid();
}

// The folder as references store it (Windows lower-cases it).
std::string Spelled(const std::string& folder) {
    return NativeFs::FolderSpelling(folder);
}

struct Where {
    std::string Folder;
    std::string Name;
};

Where Target(const std::string& path, const std::string& language = "english") {
    FileInterface files("game\\");
    Transfer transfer;
    transfer.SetFromFile("a.txt");
    transfer.SetToFile(path);
    auto reference = transfer.ToFileRef(&files, language, "C:\\Game\\");
    return {reference->Path(), reference->FileName()};
}
}  // namespace

TEST(TransferPaths, PathsThatCouldHarmTheGameFolderAreRejected) {
    for (const char* path :
         {// backups and escapes, in any letter case
          "%l\\gamedata\\..\\x.txt", "%d\\gamedata\\orig_x.txt", "%d\\gamedata\\subst_x.txt",
          "%d\\gamedata\\my_orig_notes.txt", "%d\\gamedata\\ORIG_const.txt",
          "%d\\gamedata\\Subst_x.txt", "%d/gamedata/../../x.txt", "%d\\gamedata\\*.txt",
          "%d\\gamedata\\?.txt",
          // programs and archives, in any letter case
          "%d\\gamedata\\x.exe", "%d\\gamedata\\x.EXE", "%d\\x.Dll", "%d\\gamedata\\x.qel",
          "%d\\x.cfg", "%d\\x.zip", "%d\\x.RAR", "%d\\x.inf", "%d\\x.def",
          // outside the game folder
          "\\windows\\x.txt", "/etc/passwd", "\\\\server\\share\\x.txt", "C:\\x.txt", "C:x.txt",
          "%d\\x.txt:stream",
          // devices and names Windows trims
          "%d\\con", "%d\\CON.txt", "%d\\aux\\x.txt", "%d\\com1.txt", "%d\\LPT9", "%d\\nul .txt",
          "prn", "%d\\gamedata.\\x.txt", "%d\\x.txt ", "%d\\x.txt.", "%d\\gamedata \\x.txt"}) {
        EXPECT_TRUE(Rejected(path)) << path;
    }
    // The system would cut these at the NUL (evil.exe) or read a control character.
    using namespace std::string_literals;
    for (const std::string& path : {"%d\\evil.exe\0.txt"s, "%d\\con\0.txt"s, "%d\\x.txt.\0.txt"s,
                                    "%d\\x\x01.txt"s, "%d\\x\x1f.txt"s, "%d\\line\nend.txt"s}) {
        EXPECT_TRUE(Rejected(path)) << path;
    }
}

TEST(TransferPaths, OrdinaryPathsAreAccepted) {
    for (const char* path :
         {"%d\\gamedata\\x.txt", "%d\\gamedata\\x.qel.txt", "%d\\gamedata\\console.txt",
          "%d\\com10.txt", "%d\\lpt.txt", "%d\\my maps\\big map.txt", "readme.txt",
          "%l\\gamedata\\y.txt", "%d\\gamedata\\dll"}) {
        EXPECT_FALSE(Rejected(path)) << path;
    }
}

TEST(TransferPaths, EitherRejectedSideMakesTheTransferInvalid) {
    Transfer transfer;
    transfer.SetFromFile("%d\\x.exe");
    transfer.SetToFile("%d\\x.txt");
    EXPECT_TRUE(transfer.Invalid());
    transfer.SetFromFile("%d\\x.txt");
    EXPECT_FALSE(transfer.Invalid());
    transfer.SetToFile("%d\\");
    EXPECT_TRUE(transfer.Invalid());
}

TEST(TransferPaths, PlaceholdersAndSplitting) {
    Where expanded = Target("%d\\gamedata\\a.txt");
    EXPECT_EQ(expanded.Folder, Spelled("C:\\Game\\qel2_data\\default\\gamedata\\"));
    EXPECT_EQ(expanded.Name, "a.txt");

    // Placeholders are exact: %D is a folder of that name.
    EXPECT_EQ(Target("%D\\gamedata\\a.txt").Folder, Spelled("C:\\Game\\%D\\gamedata\\"));

    // "%l" waits for the language of the moment, and only in the folder part.
    EXPECT_EQ(Target("%l\\gamedata\\y.txt", "french").Folder,
              Spelled("C:\\Game\\qel2_data\\french\\gamedata\\"));
    EXPECT_EQ(Target("%d\\gamedata\\%l.txt", "french").Name, "%l.txt");

    // "/" separates like "\"; a bare name lies in the game folder itself.
    EXPECT_EQ(Target("%d/gamedata/a.txt").Folder,
              Spelled("C:\\Game\\qel2_data\\default\\gamedata\\"));
    Where bare = Target("readme.txt");
    EXPECT_EQ(bare.Folder, Spelled("C:\\Game\\"));
    EXPECT_EQ(bare.Name, "readme.txt");
}
