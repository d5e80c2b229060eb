// The command line and the game's folders: the first steps of start-up.
#include "FileInterface.h"
#include "Useful.h"
#include "frmMain.h"

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
        } else {
            MsgBox("Invalid command line parameter: '" + word + "'" + Useful::CrLf +
                       "Expected: '-path' or '-setup' or '-launch' or '-executable'",
                   MsgIcon::Warning, MsgButtons::OK);
        }
    }
}

bool frmMain::LocateFolders() {
    if (GamePath.empty())
        GamePath = lstFile_.Path();
    if (ExecutableName.empty())
        ExecutableName = "qel2.exe";
    if (GamePath.back() != '\\')
        GamePath += '\\';
    ModsPath = GamePath + "mods\\";
    FileInterface = std::make_unique<::FileInterface>(GamePath);
    mProgress = std::make_shared<::Progress>();
    FileInterface->Setup(&dialog_, &lstFileInterface_, &lstDirInterface_);
    for (const char* folder : {"qel2_program\\qel\\", "qel2_code\\qel\\"}) {
        if (!FileInterface->FileAbsent(GamePath + folder, "userprofile.txt")) {
            ProgramPath = GamePath + folder;
            return true;
        }
    }
    MsgBox("Could not locate userprofile.txt -" + Useful::CrLf +
               "please either run in the main QEL2 directory" + Useful::CrLf +
               "or pass its path on the command line" + Useful::CrLf +
               "(see the readme for details)" + Useful::CrLf +
               "Quillon thought the QEL2 path was:" + Useful::CrLf + GamePath,
           MsgIcon::Warning, MsgButtons::OK);
    return false;
}
