#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ModCompatibility.h"
#include "Transfers.h"
#include "UserProfiles.h"

class FileAccess;
class FileInterface;
class FileReference;
class Modis;
class Progress;
struct OperationContext;

// One mod: its definition, transfer lists, user-profile entries, compatibility lists
// and its state. The same object is shared by every collection that holds it.
class Modi {
  public:
    Modi();

    std::string Key;
    bool Applied() const { return applied_; }
    bool CreateSetup() const { return createSetup_; }
    bool Initialized() const { return initialized_; }
    void SetInitialized(bool NewInitialized) { initialized_ = NewInitialized; }
    const std::string& Name() const { return name_; }
    const std::string& Description() const { return description_; }
    bool NeedsInitializing() const { return initialization_->Count() > 0; }
    void SetOldVersion(const std::string& NewOldVersion) { oldVersion_ = NewOldVersion; }
    bool Outdated() const { return oldVersion_ != version_; }
    const std::string& Version() const { return version_; }
    bool CompatibleByDefault() const { return compatibleByDefault_; }
    // True when OtherModi is one of this mod's prerequisites.
    bool IsPrerequisite(const Modi& OtherModi) const;
    ModCompatibility CompatibleWith(const ::Modis& Modis) const;

    // Reads the definition from a token file bound to it and set up with "//" and
    // tab. True when the mod is to be ignored (the user has been told why).
    bool Import(FileAccess& File);
    // Each returns true when it failed.
    bool Initialize(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                    FileInterface* FileInterface, const std::string& Language,
                    const std::string& QELPath);
    bool Apply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
               FileInterface* FileInterface, const std::string& Language,
               const std::string& QELPath, bool OverrideUserProfiles, FileAccess& UserProfileFile);
    bool UnApply(bool Log, FileAccess& LogFile, bool LogFileOpened, ::Progress& Progress,
                 FileInterface* FileInterface, const std::string& Language,
                 const std::string& QELPath);

    void ReadTransfersFromFile(FileAccess& File, ::Transfers& Transfers);
    void ReadUserProfilesFromFile(FileAccess& File, ::UserProfiles& Profiles);
    // The mod's line of the settings file.
    void WriteToFile(FileAccess& File) const;

    const ::Transfers& InitializationTransfers() const { return *initialization_; }
    const ::Transfers& ApplicationTransfers() const { return *application_; }
    const ::Transfers& SubstitutionTransfers() const { return *substitution_; }
    const ::UserProfiles& UserProfileEntries() const { return *userProfiles_; }
    const std::vector<std::string>& Prerequisites() const { return prerequisites_; }
    const std::vector<std::string>& CompatibleKeys() const { return compatible_; }
    const std::vector<std::string>& IncompatibleKeys() const { return incompatible_; }

  private:
    // True when it failed.
    bool PerformTransfers(const ::Transfers& List, const OperationContext& Context,
                          std::int32_t TransferType);
    void ReverseTransfers(const ::Transfers& List, const OperationContext& Context,
                          std::int32_t TransferType, std::int32_t Count);
    std::unique_ptr<FileReference> MakeBackupFile(const FileReference& FileRef,
                                                  std::int32_t TransferType) const;
    void ApplyUserProfiles(const OperationContext& Context, FileAccess& UserProfileFile);

    bool applied_ = false;
    bool createSetup_ = false;
    bool initialized_ = false;
    bool compatibleByDefault_ = false;
    std::string name_;
    std::string description_;
    std::string version_ = "0";
    std::string oldVersion_;
    std::vector<std::string> prerequisites_;
    std::vector<std::string> compatible_;
    std::vector<std::string> incompatible_;
    std::shared_ptr<::Transfers> initialization_;
    std::shared_ptr<::Transfers> application_;
    std::shared_ptr<::Transfers> substitution_;
    std::shared_ptr<::UserProfiles> userProfiles_;
};
