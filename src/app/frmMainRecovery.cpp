// What start-up does about an operation on the game's files that was cut short (the
// program killed, the machine crashed, the power cut): the journal it left says so,
// and the player is offered the original game back.
#include <set>

#include "NativeFileSystem.h"
#include "Shared.h"
#include "Useful.h"
#include "frmMain.h"

namespace {

// The first line of the question: what the program was doing, in its own words.
std::string WhatWasCutShort(const std::vector<Journal::Record>& Records) {
    if (Records.empty())
        return "Quillon was stopped while it was changing the game's files.";
    const Journal::Record& last = Records.back();
    if (last.Operation == Journal::kRestoration)
        return "Quillon was stopped while it was restoring the original game from the setup '" +
               last.From + "'.";
    if (last.Operation == Journal::kInitialization)
        return "Quillon was stopped while it was initializing the mod '" + last.Mod + "'.";
    return "Quillon was stopped while it was switching the game from the setup '" + last.From +
           "' to '" + last.To + "'.";
}

// The file a backup keeps: "orig_a_b.txt" keeps "a_b.txt" of the same folder.
std::string BackedUpName(const std::string& Backup) {
    return Useful::TextAfter(Backup, "_");
}
}  // namespace

void frmMain::RecoverInterruptedOperation() {
    if (!JournalFile.Present()) {
        // Only an interrupted operation leaves temporary files in the game's folders,
        // and it leaves a journal; a kill while the settings or the profile were
        // written leaves one beside them alone.
        RemoveLeftovers(GamePath, false);
        RemoveLeftovers(ProgramPath, false);
        return;
    }
    // Some files may be either setup's: what the record says of them is not to be
    // trusted; the repair records what it puts back.
    Record.Discard();
    std::vector<Journal::Record> records;
    // A journal that cannot be read names no setups: the restoration alone is left.
    if (!JournalFile.Read(records))
        records.clear();
    if (MsgBox(WhatWasCutShort(records) + Useful::CrLf +
                   "Some game files may belong to either setup." + Useful::CrLf +
                   "Put the original game back now? (This is recommended)",
               MsgIcon::Exclamation, MsgButtons::YesNo) != MsgResult::Yes)
        return;

    // Start-up holds the log open when logging is on.
    Shared::LogLine(Log, LogFile,
                    "Putting the original game back after an interrupted operation...");
    // Every mod of the setups involved comes off from its backups, the setup the game
    // was going to first. Unapplying what is not applied restores what is already
    // restored: it is safe whatever point the operation had reached.
    std::set<std::string> done;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        for (const std::string& name : {record->To, record->From}) {
            auto setup = Setups->ItemNoError(name);
            // The original game holds no mods: there is nothing of it to take off.
            if (!setup || setup == OriginalSetup || !done.insert(setup->Key).second)
                continue;
            setup->UnApply(Log, LogFile, Log, *mProgress, FileInterface.get(), Language, GamePath);
        }
    }
    RemoveLeftovers(GamePath, true);
    RestoreOriginals(true, true);
    SetCurrentSetup(OriginalSetup);
    Record.Save();
    JournalFile.Remove();
    Shared::LogLine(Log, LogFile, "Finished putting the original game back.");
}

void frmMain::RemoveLeftovers(const std::string& Folder, bool Recurse) {
    for (const std::string& name : NativeFs::ListTemporaryFiles(Folder)) {
        Shared::LogLine(Log, LogFile, "Deleting " + Folder + name);
        NativeFs::DeleteFile(Folder + name);
    }
    if (!Recurse)
        return;
    // A backup left sharing its file with the game file by a kill between the link
    // and the rename gets a file of its own again: the game may write into its file.
    for (const char* pattern : {"orig_*.*", "subst_*"}) {
        for (const std::string& backup : NativeFs::ListFiles(Folder, pattern)) {
            const std::string target = BackedUpName(backup);
            if (target.empty() || !NativeFs::SameFile(Folder + backup, Folder + target))
                continue;
            Shared::LogLine(Log, LogFile,
                            "Copying " + Folder + backup + " apart from " + Folder + target);
            // Both names carry the one file's read-only bit, and keep it.
            const bool readOnly = NativeFs::IsReadOnly(Folder + backup);
            if (readOnly)
                NativeFs::SetReadOnly(Folder + backup, false);
            NativeFs::CopyFile(Folder + backup, Folder + backup, true);
            if (readOnly) {
                NativeFs::SetReadOnly(Folder + backup, true);
                NativeFs::SetReadOnly(Folder + target, true);
            }
        }
    }
    for (const std::string& folder : NativeFs::ListFolders(Folder))
        RemoveLeftovers(Folder + folder + "\\", true);
}
