// quill.ini: the first-run file, reading it into the main window's state, and the
// writer's form.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "FileAccess.h"
#include "FileInterface.h"
#include "Modi.h"
#include "Modis.h"
#include "QuillonError.h"
#include "RecordingDialogs.h"
#include "Settings.h"
#include "Setup.h"
#include "Setups.h"
#include "TempFolder.h"

namespace {

const std::string CrLf = "\r\n";

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + CrLf;
    return text;
}

std::vector<std::string> KeysOf(const Modis& modis) {
    std::vector<std::string> keys;
    for (const auto& modi : modis)
        keys.push_back(modi->Key);
    return keys;
}

std::vector<std::string> NamesOf(const Setups& setups) {
    std::vector<std::string> names;
    for (const auto& setup : setups)
        names.push_back(setup->Name);
    return names;
}

class SettingsTest : public ::testing::Test {
  protected:
    TempFolder Temp;
    FileInterface Interface{Temp.Path()};
    RecordingDialogs Dialogs;
    FileAccess SettingsFile;
    SettingsState State;

    void SetUp() override {
        State.Modis = std::make_shared<Modis>();
        State.Setups = std::make_shared<Setups>();
        SettingsFile.Setup("//", "\t", "", "", 0);
        SettingsFile.SetFileByName("quill.ini", Temp.Path(), &Interface);
    }

    // An installed mod, read from a definition as start-up reads it.
    std::shared_ptr<Modi> Install(const std::string& key, const std::string& version) {
        const std::string file = key + "_moddef.txt";
        Temp.Write("mods\\" + file, Lines({"Key\t" + key, "Name\t" + key, "Version\t" + version}));
        FileAccess definition;
        definition.Setup("//", "\t", "", "", 0);
        definition.SetFileByName(file, Temp.Path() + "mods\\", &Interface);
        auto modi = std::make_shared<Modi>();
        EXPECT_FALSE(modi->Import(definition));
        State.Modis->SneakyAdd(modi, modi->Key);
        return modi;
    }

    // Reads a file into a state without setups, as start-up does.
    void Read(const std::string& content) {
        State.Setups = std::make_shared<Setups>();
        State.CurrentSetup = nullptr;
        Temp.Write("quill.ini", content);
        Settings::ReadSettings(SettingsFile, State);
    }

    // The error a file raises, or a failure when it raises none.
    QuillonError ReadError(const std::string& content) {
        try {
            Read(content);
        } catch (const QuillonError& error) {
            return error;
        }
        ADD_FAILURE() << "no error raised";
        return QuillonError(0, "", "");
    }
};

TEST_F(SettingsTest, DefaultLanguageIsTheFourthLineOfLorPaths) {
    Temp.Write("program\\lorpaths.txt",
               Lines({"qel2_data", "", "  maps  ", "saves", " deutsch ", "ignored"}));
    Settings::WriteDefaultSettings(SettingsFile, &Interface, Temp.Path() + "program\\");
    EXPECT_NE(Temp.Read("quill.ini").find(CrLf + "Language\tdeutsch" + CrLf), std::string::npos);
}

// The default language becomes a folder of every "%l" path: anything but a plain
// folder name falls back to english.
TEST_F(SettingsTest, DefaultLanguageFallsBackToEnglish) {
    for (const std::string& fourth : {std::string(), std::string("..\\..\\x"), std::string("../x"),
                                      std::string("c:"), std::string("fr\\..")}) {
        Temp.Write("program\\lorpaths.txt", Lines({"a", "b", "c"}) + fourth);
        Settings::WriteDefaultSettings(SettingsFile, &Interface, Temp.Path() + "program\\");
        State.Language.clear();
        Read(Temp.Read("quill.ini"));
        EXPECT_EQ(State.Language, "english") << "fourth line '" << fourth << "'";
        EXPECT_EQ(State.Setups->Count(), 1) << "fourth line '" << fourth << "'";
    }
}

TEST_F(SettingsTest, DefaultFileReadsBackAsTheFirstRunState) {
    State.UserProfileOverride = false;
    State.Reinitialize = true;
    State.RestoreOriginal = true;
    State.Log = false;
    Settings::WriteDefaultSettings(SettingsFile, &Interface, Temp.Path());
    EXPECT_FALSE(SettingsFile.FileOpen());
    Settings::ReadSettings(SettingsFile, State);

    EXPECT_EQ(State.Language, "english");
    EXPECT_TRUE(State.UserProfileOverride);
    EXPECT_FALSE(State.Reinitialize);
    EXPECT_FALSE(State.RestoreOriginal);
    EXPECT_TRUE(State.Log);
    ASSERT_EQ(State.Setups->Count(), 1);
    const auto& original = State.Setups->Item(1);
    EXPECT_EQ(original->Name, "Original Game");
    EXPECT_EQ(original->Key, "Original Game");
    EXPECT_EQ(original->Modis()->Count(), 0);
    EXPECT_EQ(State.OriginalSetup, original);
    EXPECT_EQ(State.CurrentSetup, original);
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_FALSE(SettingsFile.FileOpen());

    // Rewritten in the writer's form: Yes/No, spaced end lines and an empty Mods section.
    Settings::WriteSettings(SettingsFile, State);
    EXPECT_EQ(Temp.Read("quill.ini"),
              Lines({"Language\tenglish", "UserProfileOverride\tYes", "Reinitialize\tNo",
                     "RestoreOriginal\tNo", "Log\tYes", "", "Mods", "@ // End of Mods", "",
                     "Setups", "Original Game", "@ // End of Original Game", "@ // End of Setups",
                     "", "CurrentSetup", "Original Game"}));
}

TEST_F(SettingsTest, WriterFormReadsAndRewritesByteForByte) {
    auto bigmap = Install("bigmap", "1.1");
    auto rules = Install("baserules", "2");
    auto fresh = Install("fresh", "0");
    const std::string file = Lines({"Language\tFrancais",
                                    "UserProfileOverride\tNo",
                                    "Reinitialize\tYes",
                                    "RestoreOriginal\tYes",
                                    "Log\tNo",
                                    "",
                                    "Mods",
                                    "bigmap\tYes\t1.1",
                                    "baserules\tNo\t2",
                                    "fresh\tYes\t0",
                                    "@ // End of Mods",
                                    "",
                                    "Setups",
                                    "Original Game",
                                    "@ // End of Original Game",
                                    "Big Maps",
                                    "baserules",
                                    "bigmap",
                                    "@ // End of Big Maps",
                                    "Rules only",
                                    "baserules",
                                    "@ // End of Rules only",
                                    "@ // End of Setups",
                                    "",
                                    "CurrentSetup",
                                    "Big Maps"});
    Read(file);

    EXPECT_EQ(State.Language, "Francais");
    EXPECT_FALSE(State.UserProfileOverride);
    EXPECT_TRUE(State.Reinitialize);
    EXPECT_TRUE(State.RestoreOriginal);
    EXPECT_FALSE(State.Log);
    EXPECT_TRUE(bigmap->Initialized());
    EXPECT_FALSE(rules->Initialized());
    EXPECT_FALSE(bigmap->Outdated());
    EXPECT_EQ(NamesOf(*State.Setups),
              (std::vector<std::string>{"Original Game", "Big Maps", "Rules only"}));
    const auto& big = State.Setups->Item("Big Maps");
    EXPECT_EQ(KeysOf(*big->Modis()), (std::vector<std::string>{"baserules", "bigmap"}));
    // The setups hold the installed mods themselves, not copies.
    EXPECT_EQ(big->Modis()->Item(2), bigmap);
    EXPECT_EQ(State.CurrentSetup, big);
    EXPECT_EQ(State.OriginalSetup, State.Setups->Item(1));

    Settings::WriteSettings(SettingsFile, State);
    EXPECT_EQ(Temp.Read("quill.ini"), file);
}

// The file records the version seen at the last save; the rewrite records the current one.
TEST_F(SettingsTest, RecordedVersionsAndUnknownModEntries) {
    auto bigmap = Install("bigmap", "1.2");
    auto rules = Install("baserules", "2");
    Read(Lines({"Mods", "gone\tYes\t9", "bigmap\tYes\t1.1", "BASERULES\tYes\t2", "@", "Setups",
                "Original Game", "@"}));
    EXPECT_TRUE(bigmap->Initialized());
    EXPECT_TRUE(bigmap->Outdated());
    // Keys from the file are compared exactly.
    EXPECT_FALSE(rules->Initialized());
    EXPECT_TRUE(rules->Outdated());
    EXPECT_TRUE(Dialogs.Boxes.empty());

    Settings::WriteSettings(SettingsFile, State);
    const std::string written = Temp.Read("quill.ini");
    EXPECT_NE(written.find("Mods" + CrLf + "bigmap\tYes\t1.2" + CrLf + "baserules\tNo\t2" + CrLf +
                           "@ // End of Mods"),
              std::string::npos);
}

TEST_F(SettingsTest, KeywordsIgnoreCaseValuesKeepIt) {
    Read(Lines({"LANGUAGE\tEnglish_UK", "userprofileoverride\tno", "ReInitialize\tYES", "SETUPS",
                "Original Game", "@", "Test Setup", "@", "@", "currentsetup", "Test Setup"}));
    EXPECT_EQ(State.Language, "English_UK");
    EXPECT_FALSE(State.UserProfileOverride);
    EXPECT_TRUE(State.Reinitialize);
    EXPECT_EQ(State.CurrentSetup->Name, "Test Setup");
}

TEST_F(SettingsTest, BooleansAreReadLeniently) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"No", false}, {"n", false},   {"False", false}, {"f", false}, {"0", false},
        {"Yes", true}, {"True", true}, {"1", true},      {"x", true},  {"-1", true},
    };
    for (const auto& [value, expected] : cases) {
        State.Log = !expected;
        Read(Lines({"Log\t" + value, "Setups", "Original Game", "@", "@"}));
        EXPECT_EQ(State.Log, expected) << value;
    }
}

TEST_F(SettingsTest, CurrentSetupFallsBackToTheFirstSetup) {
    Read(Lines({"CurrentSetup", "Second", "Setups", "Original Game", "@", "Second", "@", "@"}));
    EXPECT_EQ(State.CurrentSetup, State.Setups->Item(1));

    Read(Lines({"Setups", "Original Game", "@", "Second", "@", "@", "CurrentSetup", "second"}));
    EXPECT_EQ(State.CurrentSetup, State.Setups->Item(1));
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(SettingsTest, UnfinishedFileEndsReadingQuietly) {
    // A section without its "@", and a value missing at the very end.
    Read(Lines({"Log\tNo", "Setups", "Original Game", "@", "Second"}));
    EXPECT_EQ(NamesOf(*State.Setups), (std::vector<std::string>{"Original Game", "Second"}));
    EXPECT_FALSE(State.Log);

    Read(Lines({"Setups", "Original Game", "@", "@", "Log"}));
    EXPECT_TRUE(State.Log);
    EXPECT_FALSE(SettingsFile.FileOpen());
}

// The language read goes into the path of every "%l" transfer.
TEST_F(SettingsTest, LanguageThatIsNoFolderNameBecomesEnglish) {
    for (const std::string& language :
         {std::string("..\\..\\windows"), std::string(".."), std::string("a/b"), std::string("c:"),
          std::string("x\\y")}) {
        State.Language = "unset";
        Read(Lines({"Language\t" + language, "Setups", "Original Game", "@", "@"}));
        EXPECT_EQ(State.Language, "english") << language;
    }
    Read(Lines({"Setups", "Original Game", "@", "@", "Language"}));
    EXPECT_EQ(State.Language, "english");
    State.Language = "";
    Read(Lines({"Setups", "Original Game", "@", "@"}));
    EXPECT_EQ(State.Language, "english");

    EXPECT_TRUE(Settings::LanguageUsable("english"));
    EXPECT_TRUE(Settings::LanguageUsable("Deutsch (AT).v2"));
    EXPECT_FALSE(Settings::LanguageUsable(""));
    EXPECT_FALSE(Settings::LanguageUsable("en\tus"));
}

TEST_F(SettingsTest, UnknownSectionKeywordEndsReading) {
    const QuillonError error =
        ReadError(Lines({"Log\tNo", "Setups", "Original Game", "@", "@", "Bogus Thing\tx"}));
    EXPECT_EQ(error.Number, -2147221503);
    EXPECT_EQ(error.Source, "Quillon.frmMain");
    EXPECT_EQ(error.Description, "Error in quill.ini:" + CrLf + "Expected: Section keyword" + CrLf +
                                     "Found: 'Bogus Thing'");
    // Nothing read before the fault is undone, and the file is not left open.
    EXPECT_FALSE(State.Log);
    EXPECT_EQ(State.Setups->Count(), 1);
    EXPECT_FALSE(SettingsFile.FileOpen());
}

TEST_F(SettingsTest, NoSetupsAtAll) {
    for (const std::string& file :
         {std::string(), Lines({"Log\tYes"}), Lines({"Setups", "@", "CurrentSetup", "x"})}) {
        const QuillonError error = ReadError(file);
        EXPECT_EQ(error.Number, -2147221502);
        EXPECT_EQ(error.Source, "Quillon.frmMain");
        EXPECT_EQ(error.Description,
                  "No setups!  Please delete quill.ini (In the main QEL2 directory) and restart.");
    }
}

TEST_F(SettingsTest, FirstSetupMustBeTheCleanGame) {
    Install("bigmap", "1");
    const QuillonError error =
        ReadError(Lines({"Setups", "Modded", "bigmap", "@", "Original Game", "@", "@"}));
    EXPECT_EQ(error.Number, -2147221501);
    EXPECT_EQ(error.Source, "Quillon.frmMain");
    EXPECT_EQ(error.Description,
              "First setup listed contains mods - the first setup should be a clean original "
              "game.  Please delete quill.ini (In the main QEL2 directory) and restart.");
}

TEST_F(SettingsTest, SetupNamingMissingModsIsIgnoredWithAMessagePerKey) {
    Install("bigmap", "1");
    Read(Lines({"Setups", "Original Game", "@", "Broken", "ghost", "bigmap", "phantom", "@", "Fine",
                "bigmap", "@", "@", "CurrentSetup", "Broken"}));
    EXPECT_EQ(NamesOf(*State.Setups), (std::vector<std::string>{"Original Game", "Fine"}));
    EXPECT_EQ(State.CurrentSetup, State.Setups->Item(1));
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "The setup Broken" + CrLf + "refers to a mod with key ghost" +
                                         CrLf +
                                         "but no such mod exists.  This setup will be ignored.");
    EXPECT_EQ(Dialogs.Boxes[0].Icon, MsgIcon::None);
    EXPECT_EQ(Dialogs.Boxes[0].Buttons, MsgButtons::OK);
    EXPECT_EQ(Dialogs.Boxes[0].Title, "Quillon");
    EXPECT_NE(Dialogs.Boxes[1].Text.find("refers to a mod with key phantom" + CrLf),
              std::string::npos);

    // An ignored setup vanishes from the file at the next write.
    Settings::WriteSettings(SettingsFile, State);
    EXPECT_EQ(Temp.Read("quill.ini").find("Broken"), std::string::npos);
}

TEST_F(SettingsTest, EveryModMissingLeavesNoSetups) {
    const QuillonError error = ReadError(Lines({"Setups", "Original Game", "ghost", "@", "@"}));
    EXPECT_EQ(error.Number, -2147221502);
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
}

// A second setup of the same name, or of a name differing only in letter case, is
// reported and dropped; the first one read stays.
TEST_F(SettingsTest, DuplicateSetupNamesKeepTheFirst) {
    Install("bigmap", "1");
    Install("baserules", "1");
    Read(Lines({"Setups", "Original Game", "@", "Test", "bigmap", "@", "Test", "baserules", "@",
                "TEST", "@", "Other", "@", "@"}));
    EXPECT_EQ(NamesOf(*State.Setups), (std::vector<std::string>{"Original Game", "Test", "Other"}));
    EXPECT_EQ(KeysOf(*State.Setups->Item("Test")->Modis()), std::vector<std::string>{"bigmap"});
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[0].Text,
              "Duplicate setup name: Test" + CrLf + "One of these setups will be ignored.");
    EXPECT_EQ(Dialogs.Boxes[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(Dialogs.Boxes[0].Buttons, MsgButtons::OK);
    EXPECT_EQ(Dialogs.Boxes[0].Title, "Quillon");
    EXPECT_EQ(Dialogs.Boxes[1].Text,
              "Duplicate setup name: TEST" + CrLf + "One of these setups will be ignored.");
}

TEST_F(SettingsTest, ModListedTwiceInASetupIsKeptOnce) {
    Install("bigmap", "1");
    Install("baserules", "1");
    Read(Lines(
        {"Setups", "Original Game", "@", "Twice", "baserules", "bigmap", "baserules", "@", "@"}));
    EXPECT_EQ(KeysOf(*State.Setups->Item("Twice")->Modis()),
              (std::vector<std::string>{"baserules", "bigmap"}));
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(SettingsTest, SetupBlockReadStopsAfterItsEndLine) {
    auto bigmap = Install("bigmap", "1");
    Temp.Write("quill.ini", Lines({"bigmap\t@ // End of X", "next"}));
    SettingsFile.OpenFileForInput();
    ::Setup setup;
    EXPECT_FALSE(setup.ReadFromFile(SettingsFile, *State.Modis, "X"));
    EXPECT_EQ(setup.Modis()->Item(1), bigmap);
    EXPECT_EQ(SettingsFile.Read(), "next");
    SettingsFile.CloseFile();
}

// A file of a few megabytes, as one line of tab-separated tokens or as many lines,
// is read in one pass: neither the tokens of a long line nor the setups are gone
// over again for each new token, setup or current setup named (each took minutes).
TEST_F(SettingsTest, AFileOfMegabytesIsReadInLinearTime) {
    for (const std::string separator : {"\t", "\r\n"}) {
        const int setups = 100000;
        std::string content = "Setups" + separator + "Original Game" + separator + "@";
        for (int i = 1; i < setups; ++i)
            content += separator + "Setup " + std::to_string(i) + separator + "@";
        content += separator + "@";
        const std::string last = "Setup " + std::to_string(setups - 1);
        for (int i = 0; i < setups / 4; ++i)
            content += separator + "CurrentSetup" + separator + last;
        const auto start = std::chrono::steady_clock::now();
        Read(content);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(State.Setups->Count(), setups);
        EXPECT_EQ(State.CurrentSetup->Name, last);
        // Sanitizers and a busy machine slow it down; the slow reading took minutes.
        EXPECT_LT(took.count(), 15.0) << content.size() << " bytes";
    }
}

#ifndef _WIN32
// A full disk (here: a file-size limit) part-way through must leave the previous
// quill.ini whole; an empty one would end every later start with "No setups!".
TEST_F(SettingsTest, FailedWriteLeavesThePreviousFileWhole) {
    Settings::WriteDefaultSettings(SettingsFile, &Interface, Temp.Path());
    const std::string previous = Temp.Read("quill.ini");
    Settings::ReadSettings(SettingsFile, State);
    State.Language = std::string(256 * 1024, 'x');

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    if (old.rlim_max != RLIM_INFINITY && old.rlim_max < small.rlim_cur)
        GTEST_SKIP() << "the file-size limit cannot be lowered here";
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        Settings::WriteSettings(SettingsFile, State);
    } catch (const QuillonError&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(Temp.Read("quill.ini"), previous);
    EXPECT_FALSE(SettingsFile.FileOpen());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(Temp.Native()))
        if (entry.is_regular_file())
            left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"quill.ini"});

    // The next write goes through as usual.
    State.Language = "english";
    Settings::WriteSettings(SettingsFile, State);
    EXPECT_EQ(Temp.Read("quill.ini").rfind("Language\tenglish" + CrLf, 0), 0u);
}
#endif

}  // namespace
