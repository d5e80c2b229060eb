#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "HeadlessDriver.h"
#include "TempFolder.h"
#include "TextCase.h"

namespace {

// A Varnix mod (68 non-blank lines, the 66th its name) in the game's data folder.
std::string LegacyGameFile(const std::string& name) {
    std::string text;
    for (int line = 1; line <= 65; ++line)
        text += "gamefile line " + std::to_string(line) + "\r\n";
    return text + name + "\r\nnewsprite.txt\r\nlibrary.txt\r\n";
}

// A game folder with one installed, initialized mod and the setups Original Game
// (current) and Base.
void WriteGame(const TempFolder& game) {
    game.Write("qel2_program\\qel\\userprofile.txt", "NumPlayers=8\r\nMaxPlayers=8\r\n");
    game.Write("mods\\base_moddef.txt",
               "Key\tbase\r\nName\tBase\r\nVersion\t1\r\nCompatibleByDefault\tYes\r\n");
    game.Write("quill.ini",
               "Log\tNo\r\nMods\r\nbase\tYes\t1\r\n@\r\n"
               "Setups\r\nOriginal Game\r\n@\r\nBase\r\nbase\r\n@\r\n@\r\n"
               "CurrentSetup\r\nOriginal Game\r\n");
}

struct Played {
    int Status;
    std::string Transcript;
};

Played Play(const TempFolder& game, const std::string& script) {
    std::istringstream in("commandline -path \"" + game.Path() + "\"\n" + script);
    std::ostringstream out;
    std::ostringstream err;
    ScriptDriver driver(in, out, err);
    const int status = driver.Run();
    return {status, out.str() + err.str()};
}

}  // namespace

// The conversion's own errors depend on the system's wording, so this is checked here
// rather than as a scenario with an exact transcript.
TEST(SetupManagerTest, FailedSeekForVarnixModsIsShownAndTheWindowStaysUsable) {
    TempFolder game;
    WriteGame(game);
    game.Write("qel2_data\\default\\gamedata\\alpha_gamefile.txt", LegacyGameFile("Alpha"));
    game.Write("qel2_data\\default\\gamedata\\zeta_gamefile.txt", LegacyGameFile("Zeta"));
    // A folder stands where zeta's definition file must be written.
    game.MakeFolder("mods\\zeta_ModDef.txt");

    const Played run = Play(game,
                            "start\n"
                            "click cmdManageSetups\n"
                            "click cmdConvertVarnixMods\n"
                            "input Later\n"
                            "click cmdNew\n"
                            "show lstSetups\n"
                            "click cmdExit\n");

    EXPECT_EQ(run.Status, 0) << run.Transcript;
    const std::string& transcript = run.Transcript;
    const std::size_t box = transcript.find("MSGBOX exclamation OK Quillon\n");
    ASSERT_NE(box, std::string::npos) << transcript;
    // The message names the file that could not be written (Windows may lower its case).
    EXPECT_NE(TextCase::Lower(transcript).find("zeta_moddef.txt", box), std::string::npos)
        << transcript;
    EXPECT_EQ(transcript.find("restart"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("SHOW lstSetups\n|   Base\tBase\n| * Later\tLater\n"),
              std::string::npos)
        << transcript;
    EXPECT_NE(transcript.find("END\n"), std::string::npos) << transcript;
    // What was converted before the failure stays; the setup made afterwards is saved.
    EXPECT_TRUE(game.Exists("mods\\alpha_ModDef.txt"));
    EXPECT_NE(game.Read("quill.ini").find("Later\r\n@ // End of Later\r\n"), std::string::npos);
}
