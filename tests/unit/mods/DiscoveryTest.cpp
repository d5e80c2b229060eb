#include <gtest/gtest.h>

#include <filesystem>

#include "GameFixture.h"
#include "ModDiscovery.h"
#include "Modis.h"

namespace {
// A recording dialog service that lets a test act while a box is shown.
class ActingDialogs : public RecordingDialogs {
  public:
    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override {
        if (OnBox)
            OnBox();
        return RecordingDialogs::MsgBox(text, icon, buttons, title);
    }
    std::function<void()> OnBox;
};

std::vector<std::string> Keys(const Modis& modis) {
    std::vector<std::string> keys;
    for (const auto& modi : modis)
        keys.push_back(modi->Key);
    return keys;
}

std::string Definition(const std::string& key, const std::string& name) {
    return "Key\t" + key + "\r\nName\t" + name + "\r\n";
}
}  // namespace

TEST(DiscoverMods, CreatesAMissingModsFolder) {
    GameFixture game;
    Modis modis;
    DiscoverMods(&game.Files, game.Folder.Path() + "mods\\", modis);
    EXPECT_TRUE(std::filesystem::is_directory(game.Folder.NativeOf("mods")));
    EXPECT_EQ(modis.Count(), 0);
    EXPECT_TRUE(game.Dialogs.Boxes.empty());
}

TEST(DiscoverMods, ReadsDefinitionsInNameOrderAndWarnsAboutTheOnesItIgnores) {
    GameFixture game;
    game.Folder.Write("mods\\b_moddef.txt", Definition("bee", "Bee"));
    game.Folder.Write("mods\\A_MODDEF.TXT", Definition("ay", "Ay"));
    game.Folder.Write("mods\\c_moddef.txt", "Key bad\r\n");
    game.Folder.Write("mods\\d_moddef.txt", Definition("BEE", "Second Bee"));
    game.Folder.Write("mods\\e_moddef.txt", "Key\tnameless\r\n");
    game.Folder.Write("mods\\f_moddef.txt", Definition("eff", "Eff"));
    game.Folder.Write("mods\\notes.txt", Definition("no", "No"));
    game.Folder.Write("mods\\sub\\g_moddef.txt", Definition("sub", "Sub"));
    Modis modis;
    DiscoverMods(&game.Files, game.Folder.Path() + "mods\\", modis);
    EXPECT_EQ(Keys(modis), (std::vector<std::string>{"ay", "bee", "eff"}));
    EXPECT_EQ(modis.Item("Bee")->Name(), "Bee");
    ASSERT_EQ(game.Dialogs.Boxes.size(), 3u);
    EXPECT_EQ(game.Dialogs.Boxes[0].Text,
              "Error in c_moddef.txt:\r\nExpected: Section keyword\r\nFound: 'Key bad'\r\nThis "
              "mod will be ignored.");
    EXPECT_EQ(game.Dialogs.Boxes[1].Text,
              "Error in d_moddef.txt:\r\nThe key 'BEE' is already used by the mod 'Bee'.\r\nThis "
              "mod will be ignored.");
    EXPECT_EQ(game.Dialogs.Boxes[2].Text,
              "Error in e_moddef.txt:\r\nFailed to provide both a name and a key.\r\nThis mod "
              "will be ignored.");
    for (const auto& box : game.Dialogs.Boxes) {
        EXPECT_EQ(box.Icon, MsgIcon::Warning);
        EXPECT_EQ(box.Buttons, MsgButtons::OK);
        EXPECT_EQ(box.Title, "Quillon");
    }
}

TEST(DiscoverMods, ADefinitionThatCannotBeReadIsReportedAndTheOthersStillRead) {
    GameFixture game;
    ActingDialogs dialogs;
    game.Folder.Write("mods\\a_moddef.txt", "Unknown\r\n");
    game.Folder.Write("mods\\b_moddef.txt", Definition("bee", "Bee"));
    game.Folder.Write("mods\\c_moddef.txt", Definition("sea", "Sea"));
    // While the first warning is shown, b's definition turns into a folder.
    dialogs.OnBox = [&] {
        dialogs.OnBox = nullptr;
        std::filesystem::remove(game.Folder.NativeOf("mods\\b_moddef.txt"));
        std::filesystem::create_directory(game.Folder.NativeOf("mods\\b_moddef.txt"));
    };
    Modis modis;
    DiscoverMods(&game.Files, game.Folder.Path() + "mods\\", modis);
    EXPECT_EQ(Keys(modis), (std::vector<std::string>{"sea"}));
    ASSERT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(
        dialogs.Boxes[1].Text.rfind("Error in b_moddef.txt:\r\nThe file could not be read:", 0),
        0u);
    EXPECT_NE(dialogs.Boxes[1].Text.find("\r\nThis mod will be ignored."), std::string::npos);
}
