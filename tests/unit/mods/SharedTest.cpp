#include <gtest/gtest.h>

#include "GameFixture.h"
#include "NativeFileSystem.h"
#include "Shared.h"

namespace {
const std::string kProfile = "qel2_program\\qel\\userprofile.txt";
}

TEST(UserProfile, ReadingEntries) {
    GameFixture game;
    game.Folder.Write(kProfile,
                      "NumPlayers=4\r\nMaxPlayers = 9\r\n\r\nName=a=b\r\nEmpty=\r\nBare\r\n"
                      "DebugVesk=No\r\nNumPlayers=5\r\n");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "NumPlayers"), "4");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "MaxPlayers"), "");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "MaxPlayers "), " 9");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "Name"), "a=b");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "Bare"), "");
    EXPECT_EQ(Shared::ReadProfileValue(game.ProfileFile, "numplayers"), "");
    EXPECT_FALSE(Shared::ReadProfileBool(game.ProfileFile, "DebugVesk"));
    EXPECT_TRUE(Shared::ReadProfileBool(game.ProfileFile, "Missing"));
    EXPECT_FALSE(game.ProfileFile.FileOpen());
}

TEST(UserProfile, RewritingNormalisesTheFileAndReplacesEveryEntryOfTheName) {
    GameFixture game;
    game.Folder.Write(
        kProfile, "  DebugVesk=No  \r\n\r\nMaxPlayers=8\r\nName=a=b\r\nMaxPlayers=9\r\n\r\n\r\n");
    Shared::WriteProfileValue(game.ProfileFile, &game.Files, "DebugVesk", "Yes");
    Shared::WriteProfileValue(game.ProfileFile, &game.Files, "MaxPlayers", "16");
    Shared::WriteProfileValue(game.ProfileFile, &game.Files, "NotThere", "1");
    EXPECT_EQ(game.Folder.Read(kProfile),
              "DebugVesk=Yes\r\nMaxPlayers=16\r\nName=a=b\r\nMaxPlayers=16\r\n\r\n");
    EXPECT_FALSE(game.Folder.Exists("temp.tmp"));
}

TEST(UserProfile, AReadOnlyProfileIsStillRewrittenAndStaysReadOnly) {
    GameFixture game;
    game.Folder.Write(kProfile, "NumPlayers=2\r\n");
    NativeFs::SetReadOnly(game.Folder.Path() + kProfile, true);
    Shared::WriteProfileValue(game.ProfileFile, &game.Files, "NumPlayers", "6");
    EXPECT_EQ(game.Folder.Read(kProfile), "NumPlayers=6\r\n");
    EXPECT_TRUE(NativeFs::IsReadOnly(game.Folder.Path() + kProfile));
}

TEST(UserProfile, AMissingProfileIsNeitherWrittenNorCreated) {
    GameFixture game;
    game.Folder.MakeFolder("qel2_program\\qel");
    Shared::WriteProfileValue(game.ProfileFile, &game.Files, "NumPlayers", "6");
    EXPECT_FALSE(game.Folder.Exists(kProfile));
    EXPECT_FALSE(game.Folder.Exists("temp.tmp"));
}

TEST(OperationLog, AMissingLogIsCreatedAndOnlyOpenedWhenTheCallerHasNotOpenedIt) {
    GameFixture game;
    Shared::OpenLog(false, game.LogFile, false);
    EXPECT_FALSE(game.Folder.Exists("Quill.log"));
    Shared::OpenLog(true, game.LogFile, false);
    Shared::LogLine(true, game.LogFile, "one");
    Shared::LogLine(false, game.LogFile, "not written");
    Shared::CloseLog(true, game.LogFile, true);
    EXPECT_TRUE(game.LogFile.FileOpen());
    Shared::CloseLog(true, game.LogFile, false);
    EXPECT_FALSE(game.LogFile.FileOpen());
    Shared::OpenLog(true, game.LogFile, false);
    Shared::LogLine(true, game.LogFile, "two");
    Shared::CloseLog(true, game.LogFile, false);
    EXPECT_EQ(game.LogLines(), (std::vector<std::string>{"one", "two"}));
}
