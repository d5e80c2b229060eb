#include "Setup.h"

#include "Operation.h"

Setup::Setup() : modis_(std::make_shared<::Modis>()) {}

bool Setup::AddMod(const std::shared_ptr<::Modi>& Modi, bool Override) {
    const ModCompatibility compatibility = Modi->CompatibleWith(*modis_);
    if (!Override && compatibility.Compatibility != CompatibilityKind::Compatible)
        return true;
    if (!modis_->ItemNoError(Modi->Key))
        modis_->SneakyAdd(Modi, Modi->Key);
    return false;
}

bool Setup::Apply(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                  ::FileInterface* FileInterface, const std::string& Language,
                  const std::string& QELPath, bool OverrideUserProfiles,
                  FileAccess& UserProfileFile) {
    const OperationContext context{Log,           LogFile,  LogFileOpen, Progress,
                                   FileInterface, Language, QELPath};
    OperationFrame frame(context, "Applying setup " + Name + "...", "Applying " + Name + "...");
    const long count = modis_->Count();
    for (long i = 1; i <= count; ++i) {
        if (!modis_->Item(i)->Apply(Log, LogFile, Log, Progress, FileInterface, Language, QELPath,
                                    OverrideUserProfiles, UserProfileFile))
            continue;
        context.LogLine("Encountered error whilst applying " + Name + ", reversing application.");
        // The failed mod has undone its own transfers; the ones before it are undone
        // here, last first. How each of them goes does not change the outcome.
        for (long j = i - 1; j >= 1; --j)
            modis_->Item(j)->UnApply(Log, LogFile, Log, Progress, FileInterface, Language, QELPath);
        return frame.Finish("", true);
    }
    return frame.Finish("Finished applying setup " + Name + ".", false);
}

bool Setup::UnApply(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                    ::FileInterface* FileInterface, const std::string& Language,
                    const std::string& QELPath) {
    const OperationContext context{Log,           LogFile,  LogFileOpen, Progress,
                                   FileInterface, Language, QELPath};
    OperationFrame frame(context, "Unapplying setup " + Name + "...", "Unapplying " + Name + "...");
    bool failed = false;
    for (long i = modis_->Count(); i >= 1; --i) {
        if (!modis_->Item(i)->UnApply(Log, LogFile, Log, Progress, FileInterface, Language,
                                      QELPath))
            continue;
        failed = true;
        context.LogLine("Encountered error whilst unapplying " + Name +
                        ", continuing unapplication...");
    }
    return frame.Finish("Finished unapplying setup " + Name + ".", failed);
}

bool Setup::Initialize(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                       ::FileInterface* FileInterface, const std::string& Language,
                       const std::string& QELPath) {
    const OperationContext context{Log,           LogFile,  LogFileOpen, Progress,
                                   FileInterface, Language, QELPath};
    OperationFrame frame(context, "Initializing setup " + Name + "...",
                         "Initializing " + Name + "...");
    for (const std::shared_ptr<::Modi>& modi : *modis_) {
        if (modi->Initialize(Log, LogFile, Log, Progress, FileInterface, Language, QELPath))
            return frame.Finish(
                "Encountered error whilst initializing " + Name + ", aborting initialization.",
                true);
    }
    return frame.Finish("Finished initializing setup " + Name + ".", false);
}
