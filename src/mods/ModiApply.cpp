// Putting a mod's files into the game folder and taking them out again.
#include "FileAccess.h"
#include "FileReference.h"
#include "Modi.h"
#include "NativeFileSystem.h"
#include "Progress.h"
#include "QuillonError.h"
#include "Shared.h"
#include "TransferType.h"
#include "Useful.h"

namespace {

// An error's message as one line of the log.
std::string OneLine(const std::string& Text) {
    return Useful::ReplaceAll(Useful::ReplaceAll(Text, Useful::CrLf, " "), "\n", " ");
}

}  // namespace

bool Modi::Initialize(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                      ::FileInterface* FileInterface, const std::string& Language,
                      const std::string& QELPath) {
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    Shared::LogLine(Log, LogFile, "Initializing mod " + name_ + "...");
    Progress.ReportStatus("Initializing " + name_ + "...");
    if (PerformTransfers(*initialization_, Log, LogFile, Log, Progress, FileInterface, Language,
                         QELPath, TransferType::Initialization)) {
        Progress.ReportStatus("");
        Shared::LogLine(Log, LogFile, "Encountered error while initializing " + name_ + ".");
        scope.Close();
        return true;
    }
    Progress.ReportStatus("");
    initialized_ = true;
    Shared::LogLine(Log, LogFile, "Finished initializing mod " + name_ + ".");
    scope.Close();
    return false;
}

bool Modi::Apply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                 ::FileInterface* FileInterface, const std::string& Language,
                 const std::string& QELPath, bool OverrideUserProfiles,
                 FileAccess& UserProfileFile) {
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    Shared::LogLine(Log, LogFile, "Applying mod " + name_ + "...");
    Progress.ReportStatus("Applying " + name_ + "...");
    const std::string failed = "Encountered error while Applying " + name_ + ", aborting.";
    if (PerformTransfers(*application_, Log, LogFile, Log, Progress, FileInterface, Language,
                         QELPath, TransferType::Application)) {
        applied_ = false;
        Progress.ReportStatus("");
        Shared::LogLine(Log, LogFile, failed);
        scope.Close();
        return true;
    }
    if (PerformTransfers(*substitution_, Log, LogFile, Log, Progress, FileInterface, Language,
                         QELPath, TransferType::Substitution)) {
        applied_ = false;
        Progress.ReportStatus("");
        Shared::LogLine(Log, LogFile, failed);
        ReverseTransfers(*application_, Log, LogFile, Log, Progress, FileInterface, Language,
                         QELPath, TransferType::Application,
                         static_cast<std::int32_t>(application_->Count()));
        scope.Close();
        return true;
    }
    if (OverrideUserProfiles)
        ApplyUserProfiles(Log, LogFile, Log, FileInterface, UserProfileFile);
    Progress.ReportStatus("");
    applied_ = true;
    Shared::LogLine(Log, LogFile, "Finished applying mod " + name_ + ".");
    scope.Close();
    return false;
}

bool Modi::UnApply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                   ::FileInterface* FileInterface, const std::string& Language,
                   const std::string& QELPath) {
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    Shared::LogLine(Log, LogFile, "Unapplying mod " + name_ + "...");
    Progress.ReportStatus("Unapplying mod " + name_ + "...");
    applied_ = false;
    ReverseTransfers(*application_, Log, LogFile, Log, Progress, FileInterface, Language, QELPath,
                     TransferType::Application, static_cast<std::int32_t>(application_->Count()));
    ReverseTransfers(*substitution_, Log, LogFile, Log, Progress, FileInterface, Language, QELPath,
                     TransferType::Substitution, static_cast<std::int32_t>(substitution_->Count()));
    Progress.ReportStatus("");
    Shared::LogLine(Log, LogFile, "Finished Unapplying mod " + name_ + ".");
    scope.Close();
    return false;
}

bool Modi::PerformTransfers(const ::Transfers& List, bool Log, FileAccess& LogFile,
                            bool LogFileOpened, ::Progress& Progress,
                            ::FileInterface* FileInterface, const std::string& Language,
                            const std::string& QELPath, std::int32_t TransferType) {
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    const std::int32_t count = static_cast<std::int32_t>(List.Count());
    // How many transfers of the list must be undone when one fails.
    std::int32_t performed = 0;
    bool failed = false;
    for (std::int32_t i = 1; i <= count; ++i) {
        Progress.ReportProgress(i, count);
        const Transfer& transfer = *List.Item(i);
        const auto from = transfer.FromFileRef(FileInterface, Language, QELPath);
        const auto to = transfer.ToFileRef(FileInterface, Language, QELPath);
        const auto backup = MakeBackupFile(*to, TransferType);
        if (from->FileAbsent()) {
            Shared::LogLine(Log, LogFile, "Error: Could not find file: " + from->FullName());
            failed = true;
            break;
        }
        if (backup && backup->FileAbsent()) {
            // A file already substituted has its game version in the "subst_" backup:
            // that one, not the substitute, is what "orig_" must keep.
            const auto subst = TransferType == TransferType::Application
                                   ? MakeBackupFile(*to, TransferType::Substitution)
                                   : nullptr;
            const FileReference* original = nullptr;
            if (subst && !subst->FileAbsent())
                original = subst.get();
            else if (!to->FileAbsent())
                original = to.get();
            if (original) {
                Shared::LogLine(Log, LogFile,
                                "Backing up " + original->FullName() + " to " + backup->FullName());
                try {
                    original->CopyIntoReference(*backup, false);
                } catch (const QuillonError& error) {
                    Shared::LogLine(Log, LogFile,
                                    "Error: Could not back up " + original->FullName() + " to " +
                                        backup->FullName() + " (" + OneLine(error.Description) +
                                        ")");
                    failed = true;
                    break;
                }
                // A "subst_" backup left behind by a failed copy would later pass for
                // the file from before the substitution: reversing this transfer too
                // removes it. An "orig_" backup is kept in any case.
                if (TransferType == TransferType::Substitution)
                    performed = i;
            }
        }
        Shared::LogLine(Log, LogFile, "Copying " + from->FullName() + " to " + to->FullName());
        try {
            from->CopyIntoReference(*to, false);
        } catch (const QuillonError& error) {
            Shared::LogLine(Log, LogFile,
                            "Error: Could not copy " + from->FullName() + " to " + to->FullName() +
                                " (" + OneLine(error.Description) + ")");
            failed = true;
            break;
        }
        performed = i;
    }
    if (failed) {
        Shared::LogLine(Log, LogFile, "Reversing already performed transfers.");
        scope.Close();
        ReverseTransfers(List, Log, LogFile, LogFileOpened, Progress, FileInterface, Language,
                         QELPath, TransferType, performed);
        return true;
    }
    Progress.ReportProgress(-1, 0);
    scope.Close();
    return false;
}

void Modi::ReverseTransfers(const ::Transfers& List, bool Log, FileAccess& LogFile,
                            bool LogFileOpened, ::Progress& Progress,
                            ::FileInterface* FileInterface, const std::string& Language,
                            const std::string& QELPath, std::int32_t TransferType,
                            std::int32_t Count) {
    if (TransferType == TransferType::Initialization)
        return;
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    for (std::int32_t i = Count; i >= 1; --i) {
        Progress.ReportProgress(Count - i + 1, Count);
        const auto target = List.Item(i)->ToFileRef(FileInterface, Language, QELPath);
        const auto orig = MakeBackupFile(*target, TransferType::Application);
        const auto subst = MakeBackupFile(*target, TransferType::Substitution);
        const bool hasSubst = !subst->FileAbsent();
        if (!orig->FileAbsent()) {
            Shared::LogLine(Log, LogFile,
                            "Restoring " + orig->FullName() + " to " + target->FullName());
            orig->CopyIntoReference(*target, false);
        } else if (hasSubst) {
            Shared::LogLine(Log, LogFile,
                            "Restoring " + subst->FullName() + " to " + target->FullName());
            subst->CopyIntoReference(*target, false);
        } else {
            Shared::LogLine(Log, LogFile, "No backup exists to restore " + target->FullName());
        }
        if (hasSubst) {
            Shared::LogLine(Log, LogFile, "Deleting " + subst->FullName());
            // A backup of a read-only game file is read-only too, and must still go.
            if (NativeFs::IsReadOnly(subst->FullName()))
                NativeFs::SetReadOnly(subst->FullName(), false);
            subst->Delete();
        }
    }
    Progress.ReportProgress(-1, 0);
    scope.Close();
}

std::unique_ptr<FileReference> Modi::MakeBackupFile(const FileReference& FileRef,
                                                    std::int32_t TransferType) const {
    std::string prefix;
    switch (TransferType) {
        case TransferType::Initialization:
            return nullptr;
        case TransferType::Application:
            prefix = "orig_";
            break;
        case TransferType::Substitution:
            prefix = "subst_";
            break;
        default:
            throw QuillonError(ProgramError::InvalidTransferType, "Quillon.Modi",
                               "Invalid TransferType in function MakeBackupFile");
    }
    auto backup = std::make_unique<FileReference>();
    backup->Setup(FileRef.Path(), prefix + FileRef.FileName(), FileRef.GetFileInterface());
    return backup;
}

void Modi::ApplyUserProfiles(bool Log, FileAccess& LogFile, bool LogFileOpened,
                             ::FileInterface* FileInterface, FileAccess& UserProfileFile) {
    Shared::LogScope scope(Log, LogFile, LogFileOpened);
    for (const std::shared_ptr<UserProfile>& entry : *userProfiles_) {
        Shared::LogLine(Log, LogFile, "Altering UserProfile: " + entry->Field + "=" + entry->Value);
        Shared::WriteProfileValue(UserProfileFile, FileInterface, entry->Field, entry->Value);
    }
    scope.Close();
}
