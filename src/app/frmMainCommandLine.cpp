// The command line and the game's folders: the first steps of start-up.
#include "FileInterface.h"
#include "NativeFileSystem.h"
#include "Useful.h"
#include "frmMain.h"

namespace {
const char* const kChooseTitle = "Choose the QEL2 game folder";
}

std::string frmMain::Usage() {
    return "Usage: quillon [-path \"folder\"] [-setup \"name\"] [-launch] [-executable \"name\"]\n"
           "               [-choose]\n"
           "       quillon --help | --version\n"
           "\n"
           "Switches the mods of the game QEL2 between setups.\n"
           "\n"
           "  -path \"folder\"       the game folder (the folder that holds qel2_program and\n"
           "                       mods); without it, the current folder when it holds the\n"
           "                       game, else the game folder Quillon remembers, else the one\n"
           "                       it asks for\n"
           "  -setup \"name\"        applies this setup at start\n"
           "  -launch              starts the game at start (after the -setup setup)\n"
           "  -executable \"name\"   the game program in the game's program folder\n"
           "                       (default qel2.exe)\n"
           "  -choose              asks for the game folder even when one is remembered\n"
           "  --help, -help, -?    shows this text\n"
           "  --version, -version  shows the version\n";
}

void frmMain::ParseCommandLine() {
    std::string rest = Useful::TrimValue(commandLine_);
    while (!rest.empty()) {
        rest = Useful::TrimValue(rest);
        const std::string word = Useful::PopFirst(rest, " ");
        const std::string keyword = TextCase::Lower(word);
        if (keyword == "-path" || keyword == "-setup" || keyword == "-executable") {
            if (rest.find('"') != std::string::npos)
                rest = Useful::TextAfter(rest, "\"");
            const std::string value = Useful::PopFirst(rest, "\"");
            if (keyword == "-path")
                GamePath = value;
            else if (keyword == "-setup")
                InitialSetupName = value;
            else
                ExecutableName = value;
        } else if (keyword == "-launch") {
            LaunchOnStart = true;
        } else if (keyword == "-choose" && rememberedGame_) {
            chooseGame_ = true;
        } else {
            MsgBox("Invalid command line parameter: '" + word + "'" + Useful::CrLf +
                       "Expected: '-path' or '-setup' or '-launch' or '-executable'",
                   MsgIcon::Warning, MsgButtons::OK);
        }
    }
}

bool frmMain::LocateFolders() {
    if (ExecutableName.empty())
        ExecutableName = "qel2.exe";
    mProgress = std::make_shared<::Progress>();
    // A named folder, and every script, use exactly the folder they are given.
    if (!GamePath.empty() || !rememberedGame_) {
        const bool found = UseGameFolder(GamePath.empty() ? lstFile_.Path() : GamePath);
        if (!found)
            ShowNoGameMessage();
        else if (rememberedGame_)
            rememberedGame_->Remember(GamePath);
        return found;
    }
    const std::string remembered = rememberedGame_->Recall();
    if (!chooseGame_) {
        if (UseGameFolder(lstFile_.Path()) || (!remembered.empty() && UseGameFolder(remembered))) {
            rememberedGame_->Remember(GamePath);
            return true;
        }
    } else {
        // The message after a cancelled choice names the folder the program is in.
        UseGameFolder(lstFile_.Path());
    }
    return AskForGameFolder(remembered);
}

bool frmMain::AskForGameFolder(std::string StartFolder) {
    for (;;) {
        const std::string chosen = BrowseForFolder(kChooseTitle, StartFolder);
        if (chosen.empty()) {
            ShowNoGameMessage();
            return false;
        }
        if (UseGameFolder(chosen)) {
            rememberedGame_->Remember(GamePath);
            return true;
        }
        ShowNoGameMessage();
        StartFolder = chosen;
    }
}

bool frmMain::UseGameFolder(const std::string& Folder) {
    GamePath = Folder;
    if (GamePath.empty() || GamePath.back() != '\\')
        GamePath += '\\';
    ModsPath = GamePath + "mods\\";
    FileInterface = std::make_unique<::FileInterface>(GamePath);
    FileInterface->Setup(&dialog_, &lstFileInterface_, &lstDirInterface_);
    for (const char* folder : {"qel2_program\\qel\\", "qel2_code\\qel\\"}) {
        if (!FileInterface->FileAbsent(GamePath + folder, "userprofile.txt")) {
            ProgramPath = GamePath + folder;
            // Mods come from strangers: whatever their files hold, nothing the program
            // writes may land outside the game folder.
            NativeFs::ConfineWritesTo(GamePath);
            return true;
        }
    }
    return false;
}

void frmMain::ShowNoGameMessage() {
    MsgBox("Could not locate userprofile.txt -" + Useful::CrLf +
               "please either run in the main QEL2 directory" + Useful::CrLf +
               "or pass its path on the command line" + Useful::CrLf +
               "(see the readme for details)" + Useful::CrLf +
               "Quillon thought the QEL2 path was:" + Useful::CrLf + GamePath,
           MsgIcon::Warning, MsgButtons::OK);
}
