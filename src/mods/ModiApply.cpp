// Putting a mod's files into the game folder and taking them out again.
#include "AppliedRecord.h"
#include "FileAccess.h"
#include "FileInterface.h"
#include "FileReference.h"
#include "Modi.h"
#include "NativeFileSystem.h"
#include "Operation.h"
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

const char* KindName(std::int32_t TransferType) {
    return TransferType == TransferType::Application ? "Application" : "Substitution";
}

// The transfer lists one operation on a mod works with, whose transfers are given back
// when it ends, however it ends: a switch holds the transfers of one mod at a time,
// not those of every mod it takes off and puts on.
class ListsInUse {
  public:
    ListsInUse(const Transfers& First, const Transfers& Second) : first_(First), second_(Second) {}
    ~ListsInUse() {
        first_.Release();
        second_.Release();
    }
    ListsInUse(const ListsInUse&) = delete;
    ListsInUse& operator=(const ListsInUse&) = delete;

  private:
    const Transfers& first_;
    const Transfers& second_;
};

}  // namespace

bool Modi::Initialize(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                      ::FileInterface* FileInterface, const std::string& Language,
                      const std::string& QELPath) {
    const OperationContext context{Log,           LogFile,  LogFileOpened, Progress,
                                   FileInterface, Language, QELPath};
    OperationFrame frame(context, "Initializing mod " + name_ + "...",
                         "Initializing " + name_ + "...");
    const ListsInUse inUse(*initialization_, *initialization_);
    if (PerformTransfers(*initialization_, context.Inner(), TransferType::Initialization))
        return frame.Finish("Encountered error while initializing " + name_ + ".", true);
    initialized_ = true;
    return frame.Finish("Finished initializing mod " + name_ + ".", false);
}

bool Modi::Apply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                 ::FileInterface* FileInterface, const std::string& Language,
                 const std::string& QELPath, bool OverrideUserProfiles,
                 FileAccess& UserProfileFile) {
    const OperationContext context{Log,           LogFile,  LogFileOpened, Progress,
                                   FileInterface, Language, QELPath};
    OperationFrame frame(context, "Applying mod " + name_ + "...", "Applying " + name_ + "...");
    const ListsInUse inUse(*application_, *substitution_);
    const std::string failed = "Encountered error while Applying " + name_ + ", aborting.";
    if (PerformTransfers(*application_, context.Inner(), TransferType::Application)) {
        applied_ = false;
        return frame.Finish(failed, true);
    }
    if (PerformTransfers(*substitution_, context.Inner(), TransferType::Substitution)) {
        applied_ = false;
        frame.Finish(failed, true);
        // The substitutions have undone themselves; the applications go too.
        ReverseTransfers(*application_, context, TransferType::Application,
                         static_cast<std::int32_t>(application_->Count()));
        return true;
    }
    if (OverrideUserProfiles)
        ApplyUserProfiles(context.Inner(), UserProfileFile);
    applied_ = true;
    return frame.Finish("Finished applying mod " + name_ + ".", false);
}

bool Modi::UnApply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                   ::FileInterface* FileInterface, const std::string& Language,
                   const std::string& QELPath) {
    const OperationContext context{Log,           LogFile,  LogFileOpened, Progress,
                                   FileInterface, Language, QELPath};
    // The status says as much as the log.
    const std::string unapplying = "Unapplying mod " + name_ + "...";
    OperationFrame frame(context, unapplying, unapplying);
    const ListsInUse inUse(*application_, *substitution_);
    applied_ = false;
    ReverseTransfers(*application_, context.Inner(), TransferType::Application,
                     static_cast<std::int32_t>(application_->Count()));
    ReverseTransfers(*substitution_, context.Inner(), TransferType::Substitution,
                     static_cast<std::int32_t>(substitution_->Count()));
    return frame.Finish("Finished Unapplying mod " + name_ + ".", false);
}

bool Modi::PerformTransfers(const ::Transfers& List, const OperationContext& Context,
                            std::int32_t TransferType) {
    OperationFrame frame(Context);
    const std::int32_t count = static_cast<std::int32_t>(List.Count());
    // How many transfers of the list must be undone when one fails.
    std::int32_t performed = 0;
    bool failed = false;
    AppliedRecord* record = AppliedRecord::Of(Context.QELPath);
    for (std::int32_t i = 1; i <= count; ++i) {
        Context.Progress.ReportProgress(i, count);
        const Transfer& transfer = *List.Item(i);
        const auto from =
            transfer.FromFileRef(Context.FileInterface, Context.Language, Context.QELPath);
        const auto to =
            transfer.ToFileRef(Context.FileInterface, Context.Language, Context.QELPath);
        const auto backup = MakeBackupFile(*to, TransferType);
        if (from->FileAbsent()) {
            Context.LogLine("Error: Could not find file: " + from->FullName());
            failed = true;
            break;
        }
        // A backup made by link in this transfer is the game file itself until the
        // mod's file takes its place.
        bool linked = false;
        const bool backupThere = backup && !backup->FileAbsent();
        if (backupThere && record && record->GameFileChanged(to->FullName())) {
            // An update of the game since the backup was made: restoring the old backup
            // later would undo it.
            Context.LogLine("Game file " + to->FullName() +
                            " changed since it was backed up: backing it up again");
            AppliedRecord::Copy(record, *to, *backup, true, name_, KindName(TransferType));
        } else if (backup && !backupThere) {
            // A file already substituted has its game version in the "subst_" backup:
            // that one, not the substitute, is what "orig_" must keep. Where the game's
            // own file is in place, a "subst_" backup beside it is older than it (it
            // outlived its setup) and would undo an update of the game.
            const auto subst = TransferType == TransferType::Application &&
                                       !(record && record->GameFileInPlace(to->FullName()))
                                   ? MakeBackupFile(*to, TransferType::Substitution)
                                   : nullptr;
            const FileReference* original = nullptr;
            if (subst && !subst->FileAbsent())
                original = subst.get();
            else if (!to->FileAbsent())
                original = to.get();
            if (original) {
                Context.LogLine("Backing up " + original->FullName() + " to " + backup->FullName());
                try {
                    linked = AppliedRecord::Backup(record, *original, *backup, name_,
                                                   KindName(TransferType));
                } catch (const QuillonError& error) {
                    Context.LogLine("Error: Could not back up " + original->FullName() + " to " +
                                    backup->FullName() + " (" + OneLine(error.Description) + ")");
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
        Context.LogLine("Copying " + from->FullName() + " to " + to->FullName());
        try {
            // What an initialization writes is the mod's business: the record keeps none.
            AppliedRecord::Copy(TransferType == TransferType::Initialization ? nullptr : record,
                                *from, *to, false, name_, KindName(TransferType));
        } catch (const QuillonError& error) {
            Context.LogLine("Error: Could not copy " + from->FullName() + " to " + to->FullName() +
                            " (" + OneLine(error.Description) + ")");
            // The game file stayed: a linked "orig_" backup would share whatever the
            // game writes into it from now on. (A "subst_" one goes with the reversal.)
            if (linked && TransferType == TransferType::Application) {
                Context.LogLine("Deleting " + backup->FullName());
                backup->Delete();
                if (record)
                    record->Forget(backup->FullName());
            }
            failed = true;
            break;
        }
        performed = i;
    }
    if (failed) {
        frame.Finish("Reversing already performed transfers.", true);
        ReverseTransfers(List, Context, TransferType, performed);
        return true;
    }
    Context.Progress.ReportProgress(-1, 0);
    return frame.Finish("", false);
}

void Modi::ReverseTransfers(const ::Transfers& List, const OperationContext& Context,
                            std::int32_t TransferType, std::int32_t Count) {
    if (TransferType == TransferType::Initialization)
        return;
    OperationFrame frame(Context);
    AppliedRecord* record = AppliedRecord::Of(Context.QELPath);
    for (std::int32_t i = Count; i >= 1; --i) {
        Context.Progress.ReportProgress(Count - i + 1, Count);
        const auto target =
            List.Item(i)->ToFileRef(Context.FileInterface, Context.Language, Context.QELPath);
        const auto orig = MakeBackupFile(*target, TransferType::Application);
        const auto subst = MakeBackupFile(*target, TransferType::Substitution);
        const bool hasSubst = !subst->FileAbsent();
        const FileReference* restored = !orig->FileAbsent() ? orig.get()
                                        : hasSubst          ? subst.get()
                                                            : nullptr;
        if (restored) {
            if (record)
                record->KeepIfEdited(target->FullName(), Context.Log, Context.LogFile);
            Context.LogLine("Restoring " + restored->FullName() + " to " + target->FullName());
            AppliedRecord::Copy(record, *restored, *target, false, std::string(),
                                AppliedRecord::kGame);
            // The careful restoration that may follow copies no "orig_" backup again.
            if (restored == orig.get())
                Context.FileInterface->NoteRestored(*orig, *target);
        } else {
            Context.LogLine("No backup exists to restore " + target->FullName());
            // The mod's file stays, and nothing will take it out again.
            if (record)
                record->Forget(target->FullName());
        }
        if (hasSubst) {
            if (record)
                record->Forget(subst->FullName());
            Context.LogLine("Deleting " + subst->FullName());
            // A backup of a read-only game file is read-only too, and must still go.
            if (NativeFs::IsReadOnly(subst->FullName()))
                NativeFs::SetReadOnly(subst->FullName(), false);
            subst->Delete();
        }
    }
    Context.Progress.ReportProgress(-1, 0);
    frame.Finish("", false);
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

void Modi::ApplyUserProfiles(const OperationContext& Context, FileAccess& UserProfileFile) {
    OperationFrame frame(Context);
    for (const std::shared_ptr<UserProfile>& entry : *userProfiles_) {
        Context.LogLine("Altering UserProfile: " + entry->Field + "=" + entry->Value);
        Shared::WriteProfileValue(UserProfileFile, Context.FileInterface, entry->Field,
                                  entry->Value);
    }
    frame.Finish("", false);
}
