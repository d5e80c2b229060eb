// Start-up: the window's load step, from the command line to an idle window.
#include <charconv>

#include "Clock.h"
#include "NativeFileSystem.h"
#include "Shared.h"
#include "Useful.h"
#include "frmMain.h"

namespace {

// The players values of userprofile.txt; what is missing or no 16-bit number reads as
// the fallback (start-up then clamps it into the up-downs' range).
std::int16_t PlayersValue(const std::string& text, std::int16_t fallback) {
    const std::string value = Useful::TrimValue(text);
    int number = 0;
    const char* end = value.data() + value.size();
    auto [at, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc() || at != end || number < INT16_MIN ||
        number > INT16_MAX)
        return fallback;
    return static_cast<std::int16_t>(number);
}
}  // namespace

void frmMain::Load() {
    ParseCommandLine();
    if (!LocateFolders()) {
        ended_ = true;
        return;
    }
    mProgress->OnProgress = [this](std::int32_t Step, std::int32_t OutOf) {
        OnProgress(Step, OutOf);
    };
    mProgress->OnStatus = [this](const std::string& Status) { OnStatus(Status); };
    mRestoreOriginalAction->OnAction = [this](std::shared_ptr<FileReference>& Arg) {
        RestoreOriginalAction(Arg);
    };
    NativeFs::OnNameSkipped([this](const std::string& Path) {
        // The log is open only while an operation that logs walks the folders.
        if (Log && LogFile.FileOpen())
            LogFile.WriteLine("Skipping " + Path +
                              ": a file name may not hold \\ / : * ? \" < > | or control "
                              "characters");
    });
    JournalFile.Setup(GamePath, FileInterface.get());
    Record.Setup(GamePath);

    DiscoverMods();
    if (Modis->Count() == 0) {
        if (MsgBox("Quillon found no mods.  Would you like to search" + Useful::CrLf +
                       "for Varnix mods you have installed?",
                   MsgIcon::Information, MsgButtons::YesNo) == MsgResult::Yes) {
            ConvertVarnixMods();
            DiscoverMods();
        }
    }

    SettingsFile.Setup("//", "\t", "", "", 0);
    SettingsFile.SetFileByName("quill.ini", GamePath, FileInterface.get());
    if (SettingsFile.FileAbsent())
        WriteDefaultSettings();
    ReadSettings();
    loaded_ = true;

    LogFile.SetFileByName("Quill.log", GamePath, FileInterface.get());
    if (Log) {
        Shared::OpenLogForAppend(LogFile);
        LogFile.WriteLine("");
        LogFile.WriteLine("Quillon log");
        LogFile.WriteLine(Clock::DateText());
        LogFile.WriteLine(Clock::TimeText());
        LogFile.WriteLine("Reading userprofile.txt...");
    }

    ReadUserProfileSettings();
    RecoverInterruptedOperation();
    if (Log)
        LogFile.WriteLine("Processing mods...");
    ProcessMods();
    Record.Save();
    if (Log) {
        LogFile.WriteLine("Initializing UI...");
        LogFile.CloseFile();
    }

    ShowLoadedState();
    RefreshSetupsList();
    RunInitialSetup();
}

void frmMain::ProcessMods() {
    for (const auto& mod : *Modis) {
        if (mod->Outdated() && mod->Initialized()) {
            std::string question;
            if (mod->Applied())
                question = "You installed a new version of " + mod->Name() + Useful::CrLf +
                           "whilst it was applied.  This might cause problems," + Useful::CrLf +
                           "please try to unapply mods before updating them in the future." +
                           Useful::CrLf;
            else
                question = "You installed a new version of " + mod->Name() + Useful::CrLf + ".";
            question += "Would you like Quillon to perform a restoration and reinitialization?" +
                        Useful::CrLf + "(This is recommended)";
            if (MsgBox(question, MsgIcon::Information, MsgButtons::YesNo) == MsgResult::Yes) {
                ShowLoadedState();
                RefreshSetupsList();
                JournalOperation journal(JournalFile, {Journal::kRestoration, CurrentSetup->Name,
                                                       OriginalSetup->Name, mod->Name()});
                RestoreOriginals(false, true);
                mod->Initialize(Log, LogFile, true, *mProgress, FileInterface.get(), Language,
                                GamePath);
                Record.Save();
                journal.End();
            }
        }
        // Keys of setups ignore letter case: a setup spelled otherwise counts as there.
        if (!mod->Initialized() && mod->CreateSetup() && !Setups->HasKey(mod->Name())) {
            auto setup = Setups->Add(mod->Name(), mod->Name());
            if (setup->AddMod(mod, false))
                Setups->Remove(mod->Name());
        }
        if (mod->Initialized() || !mod->NeedsInitializing()) {
            mod->SetInitialized(true);
        } else if (MsgBox("You installed a new mod:" + mod->Name() + Useful::CrLf + "." +
                              "Would you like Quillon to initialize it?" + Useful::CrLf +
                              "(This is recommended)",
                          MsgIcon::Information, MsgButtons::YesNo) == MsgResult::Yes) {
            // The setup on the game is named too: its files are among those the
            // initialization may have half replaced.
            JournalOperation journal(JournalFile, {Journal::kInitialization, CurrentSetup->Name,
                                                   CurrentSetup->Name, mod->Name()});
            mod->Initialize(Log, LogFile, true, *mProgress, FileInterface.get(), Language,
                            GamePath);
            Record.Save();
            journal.End();
        }
    }
}

void frmMain::ShowLoadedState() {
    Form& f = *form_;
    f.CheckBoxNamed("chkDebugVESK").SetValue(DebugVesk ? CheckState::Ticked : CheckState::Unticked);
    for (auto [name, value] :
         {std::pair{"udNumPlayers", NumPlayers}, std::pair{"udMaxPlayers", MaxPlayers}}) {
        UpDown& upDown = f.UpDownNamed(name);
        upDown.SetValue(
            static_cast<int>(Useful::MinOf(Useful::MaxOf(value, upDown.Min()), upDown.Max())));
    }
    const std::pair<const char*, bool> options[] = {{"chkUserProfileOverride", UserProfileOverride},
                                                    {"chkRestoreOriginal", RestoreOriginal},
                                                    {"chkReinitialize", Reinitialize},
                                                    {"chkLog", Log}};
    for (const auto& [name, value] : options)
        if (value)
            f.CheckBoxNamed(name).SetValue(CheckState::Ticked);
    f.TextBoxNamed("txtCurrentSetup").SetText(CurrentSetup->Name);
    f.ComboBoxNamed("cmbLanguage").SetText(Language);
}

void frmMain::RunInitialSetup() {
    if (!InitialSetupName.empty()) {
        auto setup = Setups->ItemNoError(InitialSetupName);
        if (!setup) {
            MsgBox("Could not find initial setup " + InitialSetupName + Useful::CrLf +
                       "specified on the command line.",
                   MsgIcon::None, MsgButtons::OK);
            return;
        }
        ListView& list = form_->ListViewNamed("lstSetups");
        list.Select(list.FindKey(setup->Key));
        if (ApplySelectedSetup())
            return;
    }
    if (LaunchOnStart)
        LaunchGame();
}

void frmMain::ReadUserProfileSettings() {
    UserProfileFile.SetFileByName("userprofile.txt", ProgramPath, FileInterface.get());
    if (UserProfileFile.FileAbsent()) {
        MsgBox("Could not locate userprofile.txt.  It was sought at:" + Useful::CrLf +
                   UserProfileFile.Path() + UserProfileFile.FileName() + Useful::CrLf +
                   "Default settings will be shown here," + Useful::CrLf +
                   "and no settings will be used.",
               MsgIcon::Warning, MsgButtons::OK);
        return;
    }
    DebugVesk = Shared::ReadProfileBool(UserProfileFile, "DebugVesk");
    NumPlayers =
        PlayersValue(Shared::ReadProfileValue(UserProfileFile, "NumPlayers"), kDefaultNumPlayers);
    MaxPlayers =
        PlayersValue(Shared::ReadProfileValue(UserProfileFile, "MaxPlayers"), kDefaultMaxPlayers);
}

void frmMain::WriteUserProfileSettings() {
    Shared::WriteProfileValue(UserProfileFile, FileInterface.get(), "DebugVesk",
                              Useful::YesNo(DebugVesk));
    Shared::WriteProfileValue(UserProfileFile, FileInterface.get(), "NumPlayers",
                              std::to_string(form_->UpDownNamed("udNumPlayers").Value()));
    Shared::WriteProfileValue(UserProfileFile, FileInterface.get(), "MaxPlayers",
                              std::to_string(form_->UpDownNamed("udMaxPlayers").Value()));
}
