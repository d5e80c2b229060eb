#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Action.h"
#include "AppliedRecord.h"
#include "Controls.h"
#include "Dialogs.h"
#include "FileAccess.h"
#include "FileInterface.h"
#include "FileListBox.h"
#include "GameFolder.h"
#include "GameFolderMemory.h"
#include "Journal.h"
#include "Modis.h"
#include "Progress.h"
#include "Settings.h"
#include "Setup.h"
#include "Setups.h"

class frmManageSetups;
class frmVerify;

// The main window: it owns the program's state for the whole run, starts the
// program (its load step), applies setups, launches the game and saves on close.
class frmMain : public SettingsState {
  public:
    // CommandLine is the text after the program's name. The factory makes the
    // windows, the dialog gives the common file dialog, the launcher starts the game.
    // The desktop program hands in where it remembers the game folder: with it,
    // start-up finds a game that is not in the current folder, or asks for one, and
    // "-choose" is a word of the command line. The script driver hands in none.
    frmMain(FormFactory& Factory, CommonDialog& Dialog, Launcher& GameLauncher,
            std::string CommandLine, GameFolderMemory* RememberedGame = nullptr);
    ~frmMain();

    // The main window's controls, as every front end draws them.
    static const WindowDescription& Description();
    // Every window of the program.
    static const std::vector<const WindowDescription*>& Windows();

    // The window's load step: start-up. Errors are not caught here; an error ends the
    // program. Afterwards Ended() tells whether start-up ended the program itself.
    void Load();
    bool Ended() const { return ended_; }

    // The user closes the window (title bar, "Exit", or the script's close): the
    // settings and the user-profile values are written and the program ends.
    void Close();

    Form& Window() { return *form_; }

    // Front ends may watch what the window shows of long operations (the script
    // driver prints it; the desktop repaints).
    std::function<void(const std::string& Status)> StatusShown;
    std::function<void(std::int32_t Progress, std::int32_t OutOf)> ProgressShown;
    const std::string& TempPath() const { return GamePath; }
    void ConvertVarnixMods();

    // The desktop program's usage: every word of its command line.
    static std::string Usage();
    void ParseCommandLine();
    // Step 2 of start-up; false when the program must end (no userprofile.txt).
    bool LocateFolders();
    void DiscoverMods();
    void WriteDefaultSettings();
    void ReadSettings();
    void WriteSettings();
    void ReadUserProfileSettings();
    void WriteUserProfileSettings();
    void RefreshSetupsList();
    // True when nothing was applied.
    bool ApplySelectedSetup();
    // Shows what applying the selected setup would do, and lets the user apply it.
    void PreviewSelectedSetup();
    // Where the mods' files land with the language chosen now.
    GameFolder Game() const;
    void SetCurrentSetup(const std::shared_ptr<Setup>& S);
    void RestoreOriginals(bool OriginalApplied, bool LogFileOpen);
    void LaunchGame();
    void RunInitialSetup();
    // Start-up's answer to a journal left by an operation that was cut short: the
    // player is asked whether to put the original game back. Without a journal it
    // removes what a kill while the settings or the profile were written left. Start-up
    // calls it with the log open when logging is on.
    void RecoverInterruptedOperation();

    // State besides what quill.ini holds (SettingsState).
    std::string GamePath;
    std::string ProgramPath;
    std::string ModsPath;
    std::string ExecutableName;
    std::string InitialSetupName;
    bool LaunchOnStart = false;
    std::unique_ptr<::FileInterface> FileInterface;
    std::shared_ptr<::Progress> mProgress;
    std::shared_ptr<Action> mRestoreOriginalAction;
    FileAccess SettingsFile;
    FileAccess LogFile;
    FileAccess UserProfileFile;
    // quill.journal, while an operation changes the game's files.
    Journal JournalFile;
    // quill.record: what the program left in the game folder.
    AppliedRecord Record;
    // What the window shows when userprofile.txt lacks a value (or the file is missing).
    static constexpr std::int16_t kDefaultNumPlayers = 8;
    static constexpr std::int16_t kDefaultMaxPlayers = 16;
    bool DebugVesk = false;
    std::int16_t NumPlayers = kDefaultNumPlayers;
    std::int16_t MaxPlayers = kDefaultMaxPlayers;

  private:
    void CreateControls();
    void ProcessMods();
    void ShowLoadedState();
    void OpenLogForStartup();
    void RestoreOriginalAction(std::shared_ptr<FileReference>& Arg);
    // ApplySelectedSetup once the setup is known; true when nothing was applied.
    bool SwitchToSetup(const std::shared_ptr<Setup>& NewSetup);
    // Removes the program's temporary files from Folder (and, with Recurse, below it,
    // where shared backups are split too).
    void RemoveLeftovers(const std::string& Folder, bool Recurse);
    void OnProgress(std::int32_t Progress, std::int32_t OutOf);
    void OnStatus(const std::string& Status);
    void ManageSetups();
    void VerifyGameFiles();
    // Makes this folder the game folder; false when it holds no userprofile.txt.
    bool UseGameFolder(const std::string& Folder);
    bool AskForGameFolder(std::string StartFolder);
    void ShowNoGameMessage();
    // The setup selected in lstSetups, or none after telling the user so.
    std::shared_ptr<Setup> ChosenSetup();

    FormFactory& factory_;
    CommonDialog& dialog_;
    Launcher& launcher_;
    std::string commandLine_;
    GameFolderMemory* rememberedGame_;
    bool chooseGame_ = false;
    std::unique_ptr<Form> form_;
    FileListBox lstFile_;
    FileListBox lstFileInterface_;
    DirListBox lstDirInterface_;
    std::unique_ptr<frmManageSetups> manager_;
    std::unique_ptr<frmVerify> verify_;
    bool ended_ = false;
    bool loaded_ = false;
};
