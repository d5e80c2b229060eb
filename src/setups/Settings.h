#pragma once

#include <memory>
#include <string>

class FileAccess;
class FileInterface;
class Modis;
class Setup;
class Setups;

// What quill.ini holds: the options, the mod states, the setups and the current one.
// The main window hands in its own state; the procedures read and write it in place.
struct SettingsState {
    std::string Language;
    bool UserProfileOverride = false;
    bool Reinitialize = false;
    bool RestoreOriginal = false;
    bool Log = false;
    std::shared_ptr<::Modis> Modis;
    std::shared_ptr<::Setups> Setups;
    std::shared_ptr<Setup> CurrentSetup;
    std::shared_ptr<Setup> OriginalSetup;
};

namespace Settings {
// The language used when none can be read or the one read is not a plain folder name.
inline const std::string DefaultLanguage = "english";

// Whether a language name can serve as a folder name inside qel2_data.
bool LanguageUsable(const std::string& Language);
// The first-run file; the default language from lorpaths.txt in ProgramPath.
void WriteDefaultSettings(FileAccess& SettingsFile, FileInterface* FileInterface,
                          const std::string& ProgramPath);
// Raises 0x80040001..0x80040003 (source "Quillon.frmMain") on a malformed file.
void ReadSettings(FileAccess& SettingsFile, SettingsState& State);
void WriteSettings(FileAccess& SettingsFile, const SettingsState& State);
}  // namespace Settings
