#pragma once

#include <memory>
#include <string>

#include "Modis.h"

class FileAccess;
class FileInterface;
class Progress;

// A named, ordered list of mods, initialized, applied and unapplied as a unit. Key
// equals Name for every setup the program makes.
class Setup {
  public:
    Setup();

    std::string Key;
    std::string Name;
    // The setup's own mods in application order; the collection itself, not a copy.
    const std::shared_ptr<::Modis>& Modis() const { return modis_; }

    // Adds a mod under the compatibility rules, or regardless of them with Override;
    // true when the mod was refused.
    bool AddMod(const std::shared_ptr<Modi>& Modi, bool Override);

    // Each returns true when it failed.
    bool Apply(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
               FileInterface* FileInterface, const std::string& Language,
               const std::string& QELPath, bool OverrideUserProfiles, FileAccess& UserProfileFile);
    bool UnApply(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                 FileInterface* FileInterface, const std::string& Language,
                 const std::string& QELPath);
    bool Initialize(bool Log, FileAccess& LogFile, bool LogFileOpen, ::Progress& Progress,
                    FileInterface* FileInterface, const std::string& Language,
                    const std::string& QELPath);

    // Reads the setup's mod list from the open settings file, just after its name;
    // true when the setup is to be ignored (the user has been told why).
    bool ReadFromFile(FileAccess& File, const ::Modis& AllModis, const std::string& NewName);
    void WriteToFile(FileAccess& File) const;

  private:
    std::shared_ptr<::Modis> modis_;
};
