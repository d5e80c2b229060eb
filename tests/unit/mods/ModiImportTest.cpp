#include <gtest/gtest.h>

#include "GameFixture.h"
#include "Useful.h"

namespace {
class ModiImport : public ::testing::Test {
  protected:
    // Imports a definition that must be ignored and returns the warning shown.
    std::string Ignored(const std::vector<std::string>& lines) {
        bool ignored = false;
        game.Import("x_moddef.txt", GameFixture::Lines(lines), &ignored);
        EXPECT_TRUE(ignored);
        if (game.Dialogs.Boxes.size() != 1) {
            ADD_FAILURE() << "expected one warning, got " << game.Dialogs.Boxes.size();
            return "";
        }
        const auto& box = game.Dialogs.Boxes[0];
        EXPECT_EQ(box.Icon, MsgIcon::Warning);
        EXPECT_EQ(box.Buttons, MsgButtons::OK);
        EXPECT_EQ(box.Title, "Quillon");
        return box.Text;
    }

    static std::vector<std::string> Targets(const Transfers& transfers) {
        std::vector<std::string> names;
        FileInterface files("");
        for (const auto& transfer : transfers)
            names.push_back(transfer->ToFileRef(&files, "english", "\\")->FileName());
        return names;
    }

    GameFixture game;
};

const std::string kBadKeyword = "Error in x_moddef.txt:\r\nExpected: Section keyword\r\nFound: '";
const std::string kNoKey =
    "Error in x_moddef.txt:\r\nFailed to provide both a name and a key.\r\nThis mod will be "
    "ignored.";
}  // namespace

TEST_F(ModiImport, TheSampleDefinition) {
    auto modi = game.Import("bigmap_moddef.txt",
                            GameFixture::Lines({
                                "// sample definition",
                                "Key\tbigmap",
                                "Name\tBig Map",
                                "Version\t1.1",
                                "Description",
                                "Larger maps.",
                                "Needs the base rules mod.",
                                "@",
                                "Prerequisites\tbaserules\t@",
                                "Application",
                                "%d\\gamedata\\bigmap_const.txt\t%d\\gamedata\\const.txt",
                                "@",
                                "UserProfile\tMaxPlayers\t8\t@",
                            }));
    EXPECT_EQ(modi->Key, "bigmap");
    EXPECT_EQ(modi->Name(), "Big Map");
    EXPECT_EQ(modi->Version(), "1.1");
    EXPECT_EQ(modi->Description(), "Larger maps.\r\nNeeds the base rules mod.");
    EXPECT_EQ(modi->Prerequisites(), (std::vector<std::string>{"baserules"}));
    ASSERT_EQ(modi->ApplicationTransfers().Count(), 1);
    EXPECT_EQ(modi->UserProfileEntries().Item(1)->Field, "MaxPlayers");
    EXPECT_EQ(modi->UserProfileEntries().Item(1)->Value, "8");
    EXPECT_FALSE(modi->CompatibleByDefault());
    EXPECT_TRUE(modi->CreateSetup());
    EXPECT_FALSE(modi->NeedsInitializing());
    EXPECT_TRUE(game.Dialogs.Boxes.empty());
}

TEST_F(ModiImport, KeyAndNameAloneGiveTheDefaults) {
    auto modi = game.Mod("plain", {});
    EXPECT_EQ(modi->Version(), "0");
    EXPECT_TRUE(modi->CreateSetup());
    EXPECT_FALSE(modi->CompatibleByDefault());
    EXPECT_EQ(modi->Description(), "");
    EXPECT_TRUE(modi->Prerequisites().empty());
    EXPECT_EQ(modi->ApplicationTransfers().Count() + modi->SubstitutionTransfers().Count() +
                  modi->InitializationTransfers().Count(),
              0);
    // Not yet in the settings file: outdated until its version is recorded.
    EXPECT_TRUE(modi->Outdated());
    modi->SetOldVersion("0");
    EXPECT_FALSE(modi->Outdated());
}

TEST_F(ModiImport, TokensCommentsAndRepeatedSections) {
    auto modi = game.Import("tokens_moddef.txt", GameFixture::Lines({
                                                     "",
                                                     "   // a comment line",
                                                     "Key\t tokens \t// the key",
                                                     "Name\t  Big   Map  ",
                                                     "Description\tFirst part\t@",
                                                     "",
                                                     "Description",
                                                     "Second part // not part of it",
                                                     "@",
                                                     "Version\t1",
                                                     "Version\t2",
                                                     "Compatible\ta\t@\tCompatible\tb\ta\t@",
                                                     "CreateSetup\tNo",
                                                     "Initialization\t%d\\x.txt\t%d\\y.txt\t@",
                                                     "CompatibleByDefault",
                                                 }));
    EXPECT_EQ(modi->Key, "tokens");
    EXPECT_EQ(modi->Name(), "Big   Map");
    EXPECT_EQ(modi->Description(), "First part\r\nSecond part");
    EXPECT_EQ(modi->Version(), "2");
    EXPECT_EQ(modi->CompatibleKeys(), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_FALSE(modi->CreateSetup());
    EXPECT_TRUE(modi->NeedsInitializing());
    // A flag that is the file's last token reads the end marker, which is true.
    EXPECT_TRUE(modi->CompatibleByDefault());
}

TEST_F(ModiImport, UnknownKeywordsAreReportedAndTheModIgnored) {
    EXPECT_EQ(Ignored({"Key bigmap", "Name\tBig"}),
              kBadKeyword + "Key bigmap'\r\nThis mod will be ignored.");
}

TEST_F(ModiImport, KeywordsAreMatchedInTheirOwnLetterCase) {
    EXPECT_EQ(Ignored({"key\tbigmap", "Name\tBig"}),
              kBadKeyword + "key'\r\nThis mod will be ignored.");
}

TEST_F(ModiImport, AMissingKeyOrNameIsReported) {
    EXPECT_EQ(Ignored({"Key\tonly"}), kNoKey);
}

TEST_F(ModiImport, AListWithoutItsEndSwallowsTheRestOfTheFile) {
    EXPECT_EQ(Ignored({"Prerequisites\ta", "Key\tk", "Name\tn"}), kNoKey);

    GameFixture other;
    auto modi =
        other.Import("list_moddef.txt",
                     GameFixture::Lines({"Key\tk", "Name\tn", "Incompatible\ta", "Version\t3"}));
    EXPECT_EQ(modi->IncompatibleKeys(), (std::vector<std::string>{"a", "Version", "3"}));
    EXPECT_EQ(modi->Version(), "0");
}

TEST_F(ModiImport, TransferPairsAreTakenTwoByTwoAndUnsafeOnesDropped) {
    auto modi =
        game.Import("pairs_moddef.txt", GameFixture::Lines({
                                            "Key\tk",
                                            "Name\tn",
                                            "Application",
                                            "%d\\a.txt\t%d\\1.txt",
                                            "%d\\b.txt\t%d\\orig_2.txt",
                                            "%d\\c.txt\t%d\\3.txt",
                                            "@",
                                            // odd: "@" is paired, and so is the next keyword
                                            "Substitution\t%d\\d.txt\t%d\\4.txt\t%d\\e.txt\t@",
                                            "Version\t9",
                                            "@",
                                        }));
    EXPECT_EQ(Targets(modi->ApplicationTransfers()), (std::vector<std::string>{"1.txt", "3.txt"}));
    EXPECT_EQ(Targets(modi->SubstitutionTransfers()),
              (std::vector<std::string>{"4.txt", "@", "9"}));
    EXPECT_EQ(modi->Version(), "0");
}

TEST_F(ModiImport, WriteToFileWritesTheSettingsLine) {
    auto modi = game.Mod("k", {"Version\t1.5"});
    modi->SetInitialized(true);
    FileAccess settings;
    settings.SetFileByName("quill.ini", game.Folder.Path(), &game.Files);
    settings.OpenFileForOutput();
    modi->WriteToFile(settings);
    modi->SetInitialized(false);
    modi->WriteToFile(settings);
    settings.CloseFile();
    EXPECT_EQ(game.Folder.Read("quill.ini"), "k\tYes\t1.5\r\nk\tNo\t1.5\r\n");
}
