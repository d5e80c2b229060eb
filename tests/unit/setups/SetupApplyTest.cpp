#include <gtest/gtest.h>

#include "GameFixture.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "Setups.h"

namespace {
const std::string kData = "qel2_data\\default\\gamedata\\";
using Lines = std::vector<std::string>;

class SetupApply : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a", "b", "c"}) {
            game.Folder.Write(kData + name + ".txt", std::string("game ") + name);
            game.Folder.Write(std::string("mods\\m\\") + name + "1.txt",
                              std::string("one ") + name);
            game.Folder.Write(std::string("mods\\m\\") + name + "2.txt",
                              std::string("two ") + name);
        }
        game.Folder.Write("qel2_data\\english\\gamedata\\y.txt", "game y");
        game.Folder.Write("mods\\m\\y.txt", "mod y");
        game.Folder.Write("qel2_program\\qel\\userprofile.txt", "MaxPlayers=8\r\n");
        setup.Name = setup.Key = "Mine";
    }

    static std::string T(const std::string& from, const std::string& to) {
        return "mods\\m\\" + from + "\t%d\\gamedata\\" + to;
    }
    void Add(const std::shared_ptr<Modi>& modi) { setup.AddMod(modi, true); }

    bool Apply(bool Log = true, bool LogFileOpen = false) {
        return setup.Apply(Log, game.LogFile, LogFileOpen, game.Events, &game.Files, "english",
                           game.Folder.Path(), true, game.ProfileFile);
    }
    bool UnApply(bool Log = true, bool LogFileOpen = false) {
        return setup.UnApply(Log, game.LogFile, LogFileOpen, game.Events, &game.Files, "english",
                             game.Folder.Path());
    }
    bool Initialize(bool Log = true, bool LogFileOpen = false) {
        return setup.Initialize(Log, game.LogFile, LogFileOpen, game.Events, &game.Files, "english",
                                game.Folder.Path());
    }
    // The log without the mods' file lines.
    Lines Outline() const {
        Lines outline;
        for (const std::string& line : game.LogLines())
            for (const char* start :
                 {"Applying", "Unapplying", "Initializing", "Finished", "Encountered"})
                if (line.rfind(start, 0) == 0)
                    outline.push_back(line);
        return outline;
    }
    // The game's files, leaving out the "orig_" backups that stay for good.
    std::map<std::string, std::string> GameFiles() const {
        auto tree = game.Tree("qel2_data");
        for (auto it = tree.begin(); it != tree.end();)
            it = it->first.find("/orig_") != std::string::npos ? tree.erase(it) : std::next(it);
        return tree;
    }

    GameFixture game;
    ::Setup setup;
};
}  // namespace

TEST_F(SetupApply, AnEmptySetupOnlyLogsItsStartAndEnd) {
    EXPECT_FALSE(Apply());
    EXPECT_FALSE(UnApply());
    EXPECT_FALSE(Initialize());
    EXPECT_EQ(game.LogLines(),
              (Lines{"Applying setup Mine...", "Finished applying setup Mine.",
                     "Unapplying setup Mine...", "Finished unapplying setup Mine.",
                     "Initializing setup Mine...", "Finished initializing setup Mine."}));
    EXPECT_EQ(game.Recorded,
              (Lines{"status:Applying Mine...", "status:", "status:Unapplying Mine...",
                     "status:", "status:Initializing Mine...", "status:"}));
    EXPECT_FALSE(game.LogFile.FileOpen());
}

TEST_F(SetupApply, ApplyingThenUnapplyingLeavesEveryGameFileAsItWas) {
    const auto before = GameFiles();
    NativeFs::SetReadOnly(game.Folder.Path() + kData + "c.txt", true);
    Add(game.Mod("m1", {"Application", T("a1.txt", "a.txt"), T("b1.txt", "new.txt"), "@",
                        "Substitution", T("b1.txt", "b.txt"), "@"}));
    Add(game.Mod("m2",
                 {"Substitution", T("a2.txt", "a.txt"), T("c2.txt", "c.txt"), "@", "Application",
                  T("b2.txt", "b.txt"), "mods\\m\\y.txt\t%l\\gamedata\\y.txt", "@"}));
    Add(game.Mod("m3", {"Application", T("a1.txt", "a.txt"), T("c1.txt", "c.txt"), "@"}));
    EXPECT_FALSE(Apply());
    EXPECT_EQ(game.Folder.Read(kData + "a.txt"), "one a");
    EXPECT_EQ(game.Folder.Read(kData + "b.txt"), "two b");
    EXPECT_EQ(game.Folder.Read("qel2_data\\english\\gamedata\\y.txt"), "mod y");
    for (const auto& modi : *setup.Modis())
        EXPECT_TRUE(modi->Applied());

    EXPECT_FALSE(UnApply());
    auto after = GameFiles();
    EXPECT_EQ(after.erase("qel2_data/default/gamedata/new.txt"), 1u);
    EXPECT_EQ(after, before);
    EXPECT_EQ(
        Outline(),
        (Lines{"Applying setup Mine...", "Applying mod m1...", "Finished applying mod m1.",
               "Applying mod m2...", "Finished applying mod m2.", "Applying mod m3...",
               "Finished applying mod m3.", "Finished applying setup Mine.",
               "Unapplying setup Mine...", "Unapplying mod m3...", "Finished Unapplying mod m3.",
               "Unapplying mod m2...", "Finished Unapplying mod m2.", "Unapplying mod m1...",
               "Finished Unapplying mod m1.", "Finished unapplying setup Mine."}));
}

TEST_F(SetupApply, AFailingThirdModRollsBackTheOthersLastFirst) {
    const auto before = GameFiles();
    Add(game.Mod("m1", {"Application", T("a1.txt", "a.txt"), "@"}));
    Add(game.Mod("m2", {"Application", T("b1.txt", "b.txt"), "@"}));
    Add(game.Mod("m3", {"Application", T("gone.txt", "c.txt"), "@"}));
    EXPECT_TRUE(Apply());
    EXPECT_EQ(Outline(),
              (Lines{"Applying setup Mine...", "Applying mod m1...", "Finished applying mod m1.",
                     "Applying mod m2...", "Finished applying mod m2.", "Applying mod m3...",
                     "Encountered error while Applying m3, aborting.",
                     "Encountered error whilst applying Mine, reversing application.",
                     "Unapplying mod m2...", "Finished Unapplying mod m2.", "Unapplying mod m1...",
                     "Finished Unapplying mod m1."}));
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(game.Recorded.back(), "status:");
    EXPECT_FALSE(game.LogFile.FileOpen());
    for (const auto& modi : *setup.Modis())
        EXPECT_FALSE(modi->Applied());
}

TEST_F(SetupApply, AFailingFirstModUnappliesNothing) {
    Add(game.Mod("m1", {"Application", T("gone.txt", "a.txt"), "@"}));
    Add(game.Mod("m2", {"Application", T("b1.txt", "b.txt"), "@"}));
    EXPECT_TRUE(Apply());
    EXPECT_EQ(Outline(), (Lines{"Applying setup Mine...", "Applying mod m1...",
                                "Encountered error while Applying m1, aborting.",
                                "Encountered error whilst applying Mine, reversing application."}));
}

TEST_F(SetupApply, InitializeStopsAtTheFirstFailingMod) {
    auto m1 = game.Mod("m1", {"Initialization", T("a1.txt", "a.txt"), "@"});
    auto m2 = game.Mod("m2", {"Initialization", T("gone.txt", "b.txt"), "@"});
    auto m3 = game.Mod("m3", {"Initialization", T("c1.txt", "c.txt"), "@"});
    Add(m1);
    Add(m2);
    Add(m3);
    EXPECT_TRUE(Initialize());
    EXPECT_TRUE(m1->Initialized());
    EXPECT_FALSE(m2->Initialized());
    EXPECT_FALSE(m3->Initialized());
    EXPECT_EQ(game.Folder.Read(kData + "c.txt"), "game c");
    EXPECT_EQ(Outline().back(),
              "Encountered error whilst initializing Mine, aborting initialization.");
}

TEST_F(SetupApply, TheLogIsWrittenOnlyWhenAskedAndLeftOpenForACallerThatOpenedIt) {
    Add(game.Mod("m1", {"Application", T("a1.txt", "a.txt"), "@"}));
    EXPECT_FALSE(Apply(false, false));
    EXPECT_FALSE(UnApply(false, true));
    EXPECT_FALSE(game.Folder.Exists("Quill.log"));

    game.Folder.Write("Quill.log", "");
    game.LogFile.OpenFileForAppend();
    EXPECT_FALSE(Apply(true, true));
    EXPECT_TRUE(game.LogFile.FileOpen());
    game.LogFile.CloseFile();
    EXPECT_EQ(game.LogLines().back(), "Finished applying setup Mine.");
}

TEST_F(SetupApply, AnErrorCuttingAnOperationShortLeavesTheLogClosed) {
    Add(game.Mod("m1", {"Application", T("a1.txt", "a.txt"), "@"}));
    EXPECT_FALSE(Apply());
    // A folder where the game file was cannot be restored over: the file layer raises.
    std::filesystem::remove(game.Folder.NativeOf(kData + "a.txt"));
    game.Folder.MakeFolder(kData + "a.txt");
    NativeFs::ForgetCachedFolders();
    EXPECT_THROW(UnApply(), QuillonError);
    EXPECT_FALSE(game.LogFile.FileOpen());
}

TEST_F(SetupApply, AddModFollowsTheCompatibilityRulesUnlessOverridden) {
    auto base = game.Mod("base", {"CompatibleByDefault\tYes"});
    auto needy = game.Mod("needy", {"Prerequisites\tbase\t@"});
    auto loner = game.Mod("loner", {});
    EXPECT_TRUE(setup.AddMod(needy, false));
    EXPECT_EQ(setup.Modis()->Count(), 0);
    EXPECT_FALSE(setup.AddMod(base, false));
    EXPECT_FALSE(setup.AddMod(needy, false));
    EXPECT_TRUE(setup.AddMod(loner, false));
    EXPECT_FALSE(setup.AddMod(loner, true));
    EXPECT_FALSE(setup.AddMod(loner, true));
    EXPECT_FALSE(setup.AddMod(base, true));
    ASSERT_EQ(setup.Modis()->Count(), 3);
    EXPECT_EQ(setup.Modis()->Item(3), loner);
    EXPECT_EQ(setup.Modis()->Item("LONER"), loner);
}

TEST(Setups, AddStoresNameAndKeyAndSneakyAddAppends) {
    Setups setups;
    auto original = setups.Add("Original Game", "Original Game");
    EXPECT_EQ(original->Name, "Original Game");
    EXPECT_EQ(original->Key, "Original Game");
    EXPECT_EQ(original->Modis()->Count(), 0);
    EXPECT_THROW(setups.Add("x", "original game"), QuillonError);
    auto other = std::make_shared<::Setup>();
    other->Key = "Other";
    setups.SneakyAdd(other, "Other");
    EXPECT_EQ(setups.Item(2), other);
    EXPECT_EQ(setups.ItemNoError("other"), nullptr);
    EXPECT_EQ(setups.ItemNoError("Other"), other);
}
