#include "Setup.h"

#include "FileAccess.h"
#include "Progress.h"
#include "Shared.h"

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
    Shared::LogScope scope(Log, LogFile, LogFileOpen);
    Shared::LogLine(Log, LogFile, "Applying setup " + Name + "...");
    Progress.ReportStatus("Applying " + Name + "...");
    const long count = modis_->Count();
    for (long i = 1; i <= count; ++i) {
        if (!modis_->Item(i)->Apply(Log, LogFile, Log, Progress, FileInterface, Language, QELPath,
                                    OverrideUserProfiles, UserProfileFile))
            continue;
        Shared::LogLine(Log, LogFile,
                        "Encountered error whilst applying " + Name + ", reversing application.");
        // The failed mod has undone its own transfers; the ones before it are undone
        // here, last first. How each of them goes does not change the outcome.
        for (long j = i - 1; j >= 1; --j)
            modis_->Item(j)->UnApply(Log, LogFile, Log, Progress, FileInterface, Language, QELPath);
        Progress.ReportStatus("");
        scope.Close();
        return true;
    }
    Shared::LogLine(Log, LogFile, "Finished applying setup " + Name + ".");
    scope.Close();
    Progress.ReportStatus("");
    return false;
}

bool Setup::UnApply(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                    ::FileInterface* FileInterface, const std::string& Language,
                    const std::string& QELPath) {
    Shared::LogScope scope(Log, LogFile, LogFileOpen);
    Shared::LogLine(Log, LogFile, "Unapplying setup " + Name + "...");
    Progress.ReportStatus("Unapplying " + Name + "...");
    bool failed = false;
    for (long i = modis_->Count(); i >= 1; --i) {
        if (!modis_->Item(i)->UnApply(Log, LogFile, Log, Progress, FileInterface, Language,
                                      QELPath))
            continue;
        failed = true;
        Shared::LogLine(
            Log, LogFile,
            "Encountered error whilst unapplying " + Name + ", continuing unapplication...");
    }
    Shared::LogLine(Log, LogFile, "Finished unapplying setup " + Name + ".");
    scope.Close();
    Progress.ReportStatus("");
    return failed;
}

bool Setup::Initialize(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                       ::FileInterface* FileInterface, const std::string& Language,
                       const std::string& QELPath) {
    Shared::LogScope scope(Log, LogFile, LogFileOpen);
    Shared::LogLine(Log, LogFile, "Initializing setup " + Name + "...");
    Progress.ReportStatus("Initializing " + Name + "...");
    for (const std::shared_ptr<::Modi>& modi : *modis_) {
        if (!modi->Initialize(Log, LogFile, Log, Progress, FileInterface, Language, QELPath))
            continue;
        Shared::LogLine(
            Log, LogFile,
            "Encountered error whilst initializing " + Name + ", aborting initialization.");
        Progress.ReportStatus("");
        scope.Close();
        return true;
    }
    Shared::LogLine(Log, LogFile, "Finished initializing setup " + Name + ".");
    scope.Close();
    Progress.ReportStatus("");
    return false;
}
