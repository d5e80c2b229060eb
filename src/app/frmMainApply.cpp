// Applying a setup, the careful restoration, and launching the game.
#include "FileReference.h"
#include "QuillonError.h"
#include "Shared.h"
#include "Useful.h"
#include "frmMain.h"

std::shared_ptr<Setup> frmMain::ChosenSetup() {
    ListView& list = form_->ListViewNamed("lstSetups");
    const int selected = list.SelectedIndex();
    if (selected == 0) {
        MsgBox("No setup selected.", MsgIcon::Warning, MsgButtons::OK);
        return nullptr;
    }
    return Setups->Item(list.Key(selected));
}

bool frmMain::ApplySelectedSetup() {
    std::shared_ptr<Setup> newSetup = ChosenSetup();
    if (!newSetup)
        return true;
    FileInterface->ForgetRestorations();
    // On disk before the first file changes; removed once the switch has ended as it
    // should, whether the new setup was applied or given up.
    JournalOperation journal(JournalFile, {Journal::kSwitch, CurrentSetup->Name, newSetup->Name});
    bool aborted = true;
    try {
        aborted = SwitchToSetup(newSetup);
    } catch (...) {
        FileInterface->ForgetRestorations();
        // What was done up to the error is known; the journal stays for the rest.
        Record.Save();
        throw;
    }
    FileInterface->ForgetRestorations();
    // Before the journal goes: a record on disk is never older than the game's files
    // unless a journal says so.
    Record.Save();
    journal.End();
    return aborted;
}

bool frmMain::SwitchToSetup(const std::shared_ptr<Setup>& newSetup) {
    WriteUserProfileSettings();

    ::FileInterface* files = FileInterface.get();
    if (CurrentSetup->UnApply(Log, LogFile, false, *mProgress, files, Language, GamePath)) {
        MsgBox("Error unapplying " + CurrentSetup->Name + ", aborting", MsgIcon::Warning,
               MsgButtons::OK);
        SetCurrentSetup(OriginalSetup);
        return true;
    }
    if (RestoreOriginal)
        RestoreOriginals(true, false);
    SetCurrentSetup(newSetup);
    if (Reinitialize &&
        CurrentSetup->Initialize(Log, LogFile, false, *mProgress, files, Language, GamePath)) {
        MsgBox("Error initializing " + CurrentSetup->Name + ", aborting", MsgIcon::Warning,
               MsgButtons::OK);
        SetCurrentSetup(OriginalSetup);
        return true;
    }
    if (CurrentSetup->Apply(Log, LogFile, false, *mProgress, files, Language, GamePath,
                            UserProfileOverride, UserProfileFile)) {
        MsgBox("Error applying " + CurrentSetup->Name + ", aborting", MsgIcon::Warning,
               MsgButtons::OK);
        SetCurrentSetup(OriginalSetup);
        return true;
    }
    return false;
}

void frmMain::SetCurrentSetup(const std::shared_ptr<Setup>& S) {
    CurrentSetup = S;
    form_->TextBoxNamed("txtCurrentSetup").SetText(S->Name);
    ListView& list = form_->ListViewNamed("lstSetups");
    if (int index = list.FindKey(S->Key))
        list.Select(index);
    WriteSettings();
}

void frmMain::RestoreOriginals(bool OriginalApplied, bool LogFileOpen) {
    if (!OriginalApplied) {
        form_->ListViewNamed("lstSetups").Select(1);
        ApplySelectedSetup();
        // The setup operations closed the log; the caller expects it open.
        if (LogFileOpen && Log)
            Shared::OpenLogForAppend(LogFile);
    }
    if (!LogFileOpen && Log)
        Shared::OpenLogForAppend(LogFile);
    FileInterface->RecurseFolders(GamePath, "orig_*.*", *mRestoreOriginalAction);
    if (!LogFileOpen && Log)
        LogFile.CloseFile();
}

void frmMain::RestoreOriginalAction(std::shared_ptr<FileReference>& Arg) {
    const FileReference& backup = *Arg;
    const std::string targetName = Useful::TextAfter(backup.FileName(), "_");
    // A stray file named just "orig_" backs up no file; copying it would aim at the
    // folder itself and end the whole switch half done.
    if (targetName.empty())
        return;
    FileReference target;
    target.Setup(backup.Path(), targetName, FileInterface.get());
    Record.KeepIfEdited(target.FullName(), Log, LogFile);
    if (Log)
        LogFile.WriteLine("Restoring " + backup.Path() + backup.FileName() + " to " +
                          target.Path() + target.FileName());
    // The unapply of this switch has just copied this very backup over the file.
    if (FileInterface->RestoredFrom(backup, target))
        return;
    AppliedRecord::Copy(&Record, backup, target, false, std::string(), AppliedRecord::kGame);
}

void frmMain::LaunchGame() {
    const std::string command = ProgramPath + ExecutableName;
    try {
        launcher_.Launch(command);
    } catch (const QuillonError& error) {
        // A game that cannot be started must not end the tool.
        MsgBox("Could not start QEL2:" + Useful::CrLf + error.Description, MsgIcon::Warning,
               MsgButtons::OK);
    }
}
