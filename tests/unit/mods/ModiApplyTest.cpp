#include <gtest/gtest.h>

#include <filesystem>

#include "FileReference.h"
#include "FileSizeLimit.h"
#include "GameFixture.h"
#include "NativeFileSystem.h"
#include "TestSeam.h"

namespace {
const std::string kData = "qel2_data\\default\\gamedata\\";
using Lines = std::vector<std::string>;

class ModiApply : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a", "b", "c"})
            game.Folder.Write(kData + name + ".txt", std::string("game ") + name);
        game.Folder.Write("qel2_program\\qel\\userprofile.txt", "MaxPlayers=8\r\n");
        for (const char* name : {"a", "b", "c", "new"})
            game.Folder.Write(std::string("mods\\m\\") + name + ".txt", std::string("mod ") + name);
    }

    // A path of the game folder as the log spells it (Windows lower-cases folders).
    std::string G(const std::string& relative) const {
        const std::size_t slash = relative.rfind('\\');
        return NativeFs::FolderSpelling(game.Folder.Path() + relative.substr(0, slash + 1)) +
               relative.substr(slash + 1);
    }
    std::string Data(const std::string& name) const { return G(kData + name); }
    std::string Read(const std::string& name) const { return game.Folder.Read(kData + name); }

    bool Apply(Modi& modi, bool Log = true, bool Override = false) {
        return modi.Apply(Log, game.LogFile, false, game.Events, &game.Files, "english",
                          game.Folder.Path(), Override, game.ProfileFile);
    }
    bool UnApply(Modi& modi, bool Log = true) {
        return modi.UnApply(Log, game.LogFile, false, game.Events, &game.Files, "english",
                            game.Folder.Path());
    }
    bool Initialize(Modi& modi) {
        return modi.Initialize(true, game.LogFile, false, game.Events, &game.Files, "english",
                               game.Folder.Path());
    }
    // A transfer line from the mod's folder into the game data.
    static std::string T(const std::string& from, const std::string& to) {
        return "mods\\m\\" + from + "\t%d\\gamedata\\" + to;
    }
    // Log lines and events from here on.
    void Forget() {
        game.Folder.Write("Quill.log", "");
        game.Recorded.clear();
    }
    // That the log holds `total` lines, of which the last are `tail`.
    void ExpectLogEndsWith(std::size_t total, const Lines& tail) const {
        const Lines log = game.LogLines();
        ASSERT_EQ(log.size(), total);
        EXPECT_EQ(Lines(log.end() - static_cast<std::ptrdiff_t>(tail.size()), log.end()), tail);
    }
    // What the game data holds once a mod that replaced a.txt, added new.txt and
    // substituted b.txt is undone: the game's own files back, the added file kept, and
    // "orig_" kept for good.
    static std::map<std::string, std::string> UndoneTree() {
        return {
            {"qel2_data/default/gamedata/a.txt", "game a"},
            {"qel2_data/default/gamedata/b.txt", "game b"},
            {"qel2_data/default/gamedata/c.txt", "game c"},
            {"qel2_data/default/gamedata/new.txt", "mod new"},
            {"qel2_data/default/gamedata/orig_a.txt", "game a"},
        };
    }

    GameFixture game;
};
}  // namespace

TEST_F(ModiApply, ApplyBacksUpWhatItReplacesAndUnApplyPutsItBack) {
    auto modi = game.Mod("one", {"Application", T("a.txt", "a.txt"), T("new.txt", "new.txt"), "@",
                                 "Substitution", T("b.txt", "b.txt"), "@"});
    EXPECT_FALSE(Apply(*modi));
    EXPECT_TRUE(modi->Applied());
    EXPECT_EQ(game.LogLines(), (Lines{
                                   "Applying mod one...",
                                   "Backing up " + Data("a.txt") + " to " + Data("orig_a.txt"),
                                   "Copying " + G("mods\\m\\a.txt") + " to " + Data("a.txt"),
                                   "Copying " + G("mods\\m\\new.txt") + " to " + Data("new.txt"),
                                   "Backing up " + Data("b.txt") + " to " + Data("subst_b.txt"),
                                   "Copying " + G("mods\\m\\b.txt") + " to " + Data("b.txt"),
                                   "Finished applying mod one.",
                               }));
    EXPECT_EQ(game.Recorded,
              (Lines{"status:Applying one...", "1/2", "2/2", "-1/0", "1/1", "-1/0", "status:"}));
    EXPECT_EQ(game.Tree("qel2_data"), (std::map<std::string, std::string>{
                                          {"qel2_data/default/gamedata/a.txt", "mod a"},
                                          {"qel2_data/default/gamedata/b.txt", "mod b"},
                                          {"qel2_data/default/gamedata/c.txt", "game c"},
                                          {"qel2_data/default/gamedata/new.txt", "mod new"},
                                          {"qel2_data/default/gamedata/orig_a.txt", "game a"},
                                          {"qel2_data/default/gamedata/subst_b.txt", "game b"},
                                      }));

    Forget();
    EXPECT_FALSE(UnApply(*modi));
    EXPECT_FALSE(modi->Applied());
    EXPECT_EQ(game.LogLines(), (Lines{
                                   "Unapplying mod one...",
                                   "No backup exists to restore " + Data("new.txt"),
                                   "Restoring " + Data("orig_a.txt") + " to " + Data("a.txt"),
                                   "Restoring " + Data("subst_b.txt") + " to " + Data("b.txt"),
                                   "Deleting " + Data("subst_b.txt"),
                                   "Finished Unapplying mod one.",
                               }));
    EXPECT_EQ(game.Recorded, (Lines{"status:Unapplying mod one...", "1/2", "2/2", "-1/0", "1/1",
                                    "-1/0", "status:"}));
    EXPECT_EQ(game.Tree("qel2_data"), UndoneTree());
}

TEST_F(ModiApply, AMissingFirstSourceChangesNothing) {
    const auto before = game.Tree("qel2_data");
    auto modi = game.Mod("bad", {"Application", T("gone.txt", "a.txt"), T("b.txt", "b.txt"), "@"});
    EXPECT_TRUE(Apply(*modi));
    EXPECT_FALSE(modi->Applied());
    EXPECT_EQ(game.LogLines(), (Lines{
                                   "Applying mod bad...",
                                   "Error: Could not find file: " + G("mods\\m\\gone.txt"),
                                   "Reversing already performed transfers.",
                                   "Encountered error while Applying bad, aborting.",
                               }));
    EXPECT_EQ(game.Recorded, (Lines{"status:Applying bad...", "1/2", "-1/0", "status:"}));
    EXPECT_EQ(game.Tree("qel2_data"), before);
}

TEST_F(ModiApply, AMissingThirdSourceRestoresTheFirstTwoLastFirst) {
    const auto before = game.Tree("qel2_data");
    auto modi = game.Mod("bad", {"Application", T("a.txt", "a.txt"), T("b.txt", "b.txt"),
                                 T("gone.txt", "c.txt"), "@"});
    EXPECT_TRUE(Apply(*modi));
    ExpectLogEndsWith(10, {
                              "Error: Could not find file: " + G("mods\\m\\gone.txt"),
                              "Reversing already performed transfers.",
                              "Restoring " + Data("orig_b.txt") + " to " + Data("b.txt"),
                              "Restoring " + Data("orig_a.txt") + " to " + Data("a.txt"),
                              "Encountered error while Applying bad, aborting.",
                          });
    EXPECT_EQ(game.Recorded, (Lines{"status:Applying bad...", "1/3", "2/3", "3/3", "1/2", "2/2",
                                    "-1/0", "status:"}));
    auto after = game.Tree("qel2_data");
    EXPECT_EQ(after["qel2_data/default/gamedata/orig_a.txt"], "game a");
    EXPECT_EQ(after["qel2_data/default/gamedata/orig_b.txt"], "game b");
    after.erase("qel2_data/default/gamedata/orig_a.txt");
    after.erase("qel2_data/default/gamedata/orig_b.txt");
    EXPECT_EQ(after, before);
}

TEST_F(ModiApply, AFailingSubstitutionUndoesTheWholeApplication) {
    auto modi = game.Mod("bad", {"Application", T("a.txt", "a.txt"), T("new.txt", "new.txt"), "@",
                                 "Substitution", T("b.txt", "b.txt"), T("gone.txt", "c.txt"), "@"});
    EXPECT_TRUE(Apply(*modi));
    EXPECT_FALSE(modi->Applied());
    ExpectLogEndsWith(13, {
                              "Error: Could not find file: " + G("mods\\m\\gone.txt"),
                              "Reversing already performed transfers.",
                              "Restoring " + Data("subst_b.txt") + " to " + Data("b.txt"),
                              "Deleting " + Data("subst_b.txt"),
                              "Encountered error while Applying bad, aborting.",
                              "No backup exists to restore " + Data("new.txt"),
                              "Restoring " + Data("orig_a.txt") + " to " + Data("a.txt"),
                          });
    EXPECT_EQ(game.Recorded, (Lines{"status:Applying bad...", "1/2", "2/2", "-1/0", "1/2", "2/2",
                                    "1/1", "-1/0", "status:", "1/2", "2/2", "-1/0"}));
    EXPECT_EQ(game.Tree("qel2_data"), UndoneTree());
}

TEST_F(ModiApply, TheGameFileSurvivesSeveralModsOverIt) {
    game.Folder.Write("mods\\m\\a2.txt", "second a");
    auto first = game.Mod("first", {"Application", T("a.txt", "a.txt"), "@"});
    auto second = game.Mod("second", {"Application", T("a2.txt", "a.txt"), "@"});
    EXPECT_FALSE(Apply(*first));
    EXPECT_FALSE(Apply(*second));
    EXPECT_EQ(Read("a.txt"), "second a");
    EXPECT_EQ(Read("orig_a.txt"), "game a");
    EXPECT_FALSE(UnApply(*second));
    EXPECT_FALSE(UnApply(*first));
    EXPECT_EQ(Read("a.txt"), "game a");
}

TEST_F(ModiApply, AnApplicationOverASubstitutedFileBacksUpTheGamesOwnFile) {
    game.Folder.Write("mods\\m\\a2.txt", "applied a");
    auto substitute = game.Mod("substitute", {"Substitution", T("a.txt", "a.txt"), "@"});
    auto apply = game.Mod("apply", {"Application", T("a2.txt", "a.txt"), "@"});
    EXPECT_FALSE(Apply(*substitute));
    Forget();
    EXPECT_FALSE(Apply(*apply));
    EXPECT_EQ(game.LogLines()[1],
              "Backing up " + Data("subst_a.txt") + " to " + Data("orig_a.txt"));
    EXPECT_EQ(Read("orig_a.txt"), "game a");
    // Taking the later mod off first removes the "subst_" backup with it.
    EXPECT_FALSE(UnApply(*apply));
    EXPECT_EQ(Read("a.txt"), "game a");
    EXPECT_FALSE(game.Folder.Exists(kData + "subst_a.txt"));
    EXPECT_FALSE(UnApply(*substitute));
    EXPECT_EQ(Read("a.txt"), "game a");
}

TEST_F(ModiApply, ReadOnlyGameFilesAreLeftAloneAndTheirBackupsStillRemoved) {
    NativeFs::SetReadOnly(Data("a.txt"), true);
    NativeFs::SetReadOnly(Data("b.txt"), true);
    auto modi = game.Mod(
        "one", {"Application", T("a.txt", "a.txt"), "@", "Substitution", T("b.txt", "b.txt"), "@"});
    EXPECT_FALSE(Apply(*modi));
    EXPECT_EQ(Read("a.txt"), "game a");
    EXPECT_EQ(Read("orig_a.txt"), "game a");
    EXPECT_TRUE(NativeFs::IsReadOnly(Data("subst_b.txt")));
    EXPECT_FALSE(UnApply(*modi));
    EXPECT_FALSE(game.Folder.Exists(kData + "subst_b.txt"));
    EXPECT_EQ(Read("b.txt"), "game b");
    EXPECT_TRUE(NativeFs::IsReadOnly(Data("b.txt")));
}

TEST_F(ModiApply, BackupsAreTheGameFilesThemselvesAndRestoresAreCopies) {
    namespace fs = std::filesystem;
    // Second names of the game's own files tell which file each backup is.
    for (const char* name : {"a", "b", "c"})
        fs::create_hard_link(game.Folder.NativeOf(kData + name + ".txt"),
                             game.Folder.NativeOf(kData + "was_" + name + ".txt"));
    auto modi = game.Mod(
        "one", {"Application", T("a.txt", "a.txt"), "@", "Substitution", T("b.txt", "b.txt"), "@"});
    EXPECT_FALSE(Apply(*modi));
    for (auto [backup, was, name] : {std::tuple{"orig_a.txt", "was_a.txt", "a.txt"},
                                     std::tuple{"subst_b.txt", "was_b.txt", "b.txt"}}) {
        EXPECT_TRUE(NativeFs::SameFile(Data(backup), Data(was))) << backup;
        // The mod's file was renamed over the game file's name.
        EXPECT_FALSE(NativeFs::SameFile(Data(backup), Data(name))) << backup;
    }
    EXPECT_EQ(Read("a.txt"), "mod a");

    EXPECT_FALSE(UnApply(*modi));
    EXPECT_EQ(Read("a.txt"), "game a");
    EXPECT_EQ(Read("b.txt"), "game b");
    // A game that writes into its own file must never change the backup.
    EXPECT_FALSE(NativeFs::SameFile(Data("a.txt"), Data("orig_a.txt")));
    EXPECT_TRUE(NativeFs::SameFile(Data("orig_a.txt"), Data("was_a.txt")));

    // Where the file system has no links, the backup is a copy.
    TestSeam::RefuseHardLinks(true);
    auto other = game.Mod("two", {"Application", T("c.txt", "c.txt"), "@"});
    EXPECT_FALSE(Apply(*other));
    TestSeam::RefuseHardLinks(false);
    EXPECT_FALSE(NativeFs::SameFile(Data("orig_c.txt"), Data("was_c.txt")));
    EXPECT_EQ(Read("orig_c.txt"), "game c");
    EXPECT_EQ(Read("c.txt"), "mod c");
}

#ifndef _WIN32
TEST_F(ModiApply, ALinkedBackupGoesWhenTheModsFileCannotTakeItsPlace) {
    game.Folder.Write("mods\\m\\a.txt", std::string(100000, 'm'));
    auto modi = game.Mod("big", {"Application", T("a.txt", "a.txt"), "@"});
    {
        FileSizeLimit full(4096);
        EXPECT_TRUE(Apply(*modi));
    }
    EXPECT_EQ(Read("a.txt"), "game a");
    // Left, it would be the game file under a second name for good.
    EXPECT_FALSE(game.Folder.Exists(kData + "orig_a.txt"));
    EXPECT_EQ(game.LogLines()[4], "Deleting " + Data("orig_a.txt"));
}
#endif

TEST_F(ModiApply, AFileErrorIsHandledLikeAMissingSource) {
    // The game lacks the language folder that the second transfer writes into.
    auto modi = game.Mod(
        "lang", {"Application", T("a.txt", "a.txt"), "mods\\m\\b.txt\t%l\\gamedata\\b.txt", "@"});
    EXPECT_TRUE(Apply(*modi));
    EXPECT_FALSE(modi->Applied());
    const Lines log = game.LogLines();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[4].rfind("Error: Could not copy " + G("mods\\m\\b.txt") + " to " +
                               G("qel2_data\\english\\gamedata\\b.txt") + " (",
                           0),
              0u)
        << log[4];
    EXPECT_EQ(Lines(log.begin() + 5, log.end()),
              (Lines{"Reversing already performed transfers.",
                     "Restoring " + Data("orig_a.txt") + " to " + Data("a.txt"),
                     "Encountered error while Applying lang, aborting."}));
    EXPECT_EQ(Read("a.txt"), "game a");
    EXPECT_FALSE(game.LogFile.FileOpen());
}

TEST_F(ModiApply, AWindowsDefinitionFindsFilesSpelledInOtherLetterCase) {
    game.Folder.Write(kData + "const.txt", "game const");
    game.Folder.Write("mods\\m\\Const.TXT", "mod const");
    auto modi =
        game.Mod("win", {"Application", "mods\\M\\Const.TXT\t%d\\GameData\\Const.TXT", "@"});
    EXPECT_FALSE(Apply(*modi));
    EXPECT_EQ(Read("const.txt"), "mod const");
    EXPECT_FALSE(UnApply(*modi));
    EXPECT_EQ(Read("const.txt"), "game const");
    EXPECT_EQ(game.Names("qel2_data\\default"), (Lines{"gamedata"}));
    EXPECT_EQ(game.Names("qel2_data\\default\\gamedata"),
              (Lines{"a.txt", "b.txt", "c.txt", "const.txt", "orig_Const.TXT"}));
}

TEST_F(ModiApply, InitializeCopiesWithoutBackupAndStopsAtAMissingSource) {
    auto good = game.Mod("good", {"Initialization", T("a.txt", "a.txt"), "@"});
    EXPECT_FALSE(Initialize(*good));
    EXPECT_TRUE(good->Initialized());
    EXPECT_EQ(Read("a.txt"), "mod a");
    EXPECT_FALSE(game.Folder.Exists(kData + "orig_a.txt"));

    Forget();
    auto bad =
        game.Mod("bad", {"Initialization", T("b.txt", "b.txt"), T("gone.txt", "c.txt"), "@"});
    EXPECT_TRUE(Initialize(*bad));
    EXPECT_FALSE(bad->Initialized());
    EXPECT_EQ(Read("b.txt"), "mod b");
    EXPECT_EQ(game.LogLines(), (Lines{
                                   "Initializing mod bad...",
                                   "Copying " + G("mods\\m\\b.txt") + " to " + Data("b.txt"),
                                   "Error: Could not find file: " + G("mods\\m\\gone.txt"),
                                   "Reversing already performed transfers.",
                                   "Encountered error while initializing bad.",
                               }));
    EXPECT_EQ(game.Recorded, (Lines{"status:Initializing bad...", "1/2", "2/2", "status:"}));
}

TEST_F(ModiApply, TheLogIsOnlyTouchedWhenAskedAndLeftOpenForACallerThatOpenedIt) {
    auto modi = game.Mod("one", {"Application", T("a.txt", "a.txt"), "@"});
    EXPECT_FALSE(Apply(*modi, false));
    EXPECT_FALSE(UnApply(*modi, false));
    EXPECT_FALSE(game.Folder.Exists("Quill.log"));

    game.Folder.Write("Quill.log", "");
    game.LogFile.OpenFileForAppend();
    EXPECT_FALSE(modi->UnApply(true, game.LogFile, true, game.Events, &game.Files, "english",
                               game.Folder.Path()));
    EXPECT_TRUE(game.LogFile.FileOpen());
    game.LogFile.CloseFile();
    EXPECT_EQ(game.LogLines().back(), "Finished Unapplying mod one.");
}

TEST_F(ModiApply, UserProfileEntriesAreWrittenOnlyWhenOverriding) {
    auto modi = game.Mod("big", {"UserProfile\tMaxPlayers\t24\t@"});
    EXPECT_FALSE(Apply(*modi, true, false));
    EXPECT_EQ(game.Folder.Read("qel2_program\\qel\\userprofile.txt"), "MaxPlayers=8\r\n");
    Forget();
    EXPECT_FALSE(Apply(*modi, true, true));
    EXPECT_EQ(game.LogLines(), (Lines{"Applying mod big...", "Altering UserProfile: MaxPlayers=24",
                                      "Finished applying mod big."}));
    EXPECT_FALSE(UnApply(*modi));
    EXPECT_EQ(game.Folder.Read("qel2_program\\qel\\userprofile.txt"), "MaxPlayers=24\r\n");
}

TEST_F(ModiApply, CountsBeyondSixteenBitsWork) {
    const int count = 32770;
    std::string definition = "Key\tmany\r\nName\tmany\r\nApplication\r\n";
    for (int i = 0; i < count; ++i)
        definition += "mods\\m\\a.txt\t%d\\nowhere\\none.txt\r\n";
    auto modi = game.Import("many_moddef.txt", definition + "@\r\n");
    ASSERT_EQ(modi->ApplicationTransfers().Count(), count);
    EXPECT_FALSE(UnApply(*modi, false));
    ASSERT_EQ(game.Recorded.size(), static_cast<std::size_t>(count + 4));
    EXPECT_EQ(game.Recorded[count], "32770/32770");
}

TEST_F(ModiApply, TheSwitchRemembersWhichFilesItRestoredUntilTheyAreWrittenAgain) {
    auto modi = game.Mod("one", {"Application", T("a.txt", "a.txt"), T("b.txt", "B.TXT"), "@"});
    ASSERT_FALSE(Apply(*modi));
    ASSERT_FALSE(UnApply(*modi));
    auto ref = [&](const std::string& name) {
        FileReference file;
        file.Setup(game.Folder.Path() + kData, name, &game.Files);
        return file;
    };
    // However the path spells it, the careful restoration need not copy these again.
    EXPECT_TRUE(game.Files.RestoredFrom(ref("orig_a.txt"), ref("a.txt")));
    EXPECT_TRUE(game.Files.RestoredFrom(ref("orig_b.txt"), ref("b.txt")));
    EXPECT_FALSE(game.Files.RestoredFrom(ref("orig_b.txt"), ref("a.txt")));
    EXPECT_FALSE(game.Files.RestoredFrom(ref("orig_c.txt"), ref("c.txt")));

    // A file written since is another file; the record goes with the switch.
    ref("c.txt").CopyIntoReference(ref("a.txt"), false);
    EXPECT_FALSE(game.Files.RestoredFrom(ref("orig_a.txt"), ref("a.txt")));
    EXPECT_TRUE(game.Files.RestoredFrom(ref("orig_b.txt"), ref("b.txt")));
    game.Files.ForgetRestorations();
    EXPECT_FALSE(game.Files.RestoredFrom(ref("orig_b.txt"), ref("b.txt")));
}
