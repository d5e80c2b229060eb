// quill.ini, edited by hand or left by an older version: read into the main window's
// state as start-up does, written back and read again. Properties: reading either
// gives a state or ends in one of the settings file's own errors; the file written
// from that state reads back as the same state, without a message, and writes the
// same bytes again; nothing but quill.ini is written.
#include <memory>
#include <sstream>

#include "ErrorNumbers.h"
#include "FileAccess.h"
#include "FuzzGame.h"
#include "ModDiscovery.h"
#include "Modi.h"
#include "Modis.h"
#include "QuillonError.h"
#include "Settings.h"
#include "Setup.h"
#include "Setups.h"

namespace {

struct Target {
    Fuzz::Game Game;
    Fuzz::Dialogs Dialogs;
    // The installed mods, as discovery read them; each input gets copies.
    Modis Installed;
    FileAccess SettingsFile;
};
Target* target = nullptr;

SettingsState FreshState() {
    SettingsState state;
    state.Modis = std::make_shared<Modis>();
    for (const std::shared_ptr<Modi>& modi : target->Installed)
        state.Modis->SneakyAdd(std::make_shared<Modi>(*modi), modi->Key);
    state.Setups = std::make_shared<Setups>();
    return state;
}

// Everything quill.ini keeps, but the mods' recorded versions: those are written as
// the installed versions, which is how an updated mod is recognised.
std::string Describe(const SettingsState& State) {
    std::ostringstream text;
    text << "language " << State.Language << "\noptions " << State.UserProfileOverride
         << State.Reinitialize << State.RestoreOriginal << State.Log << "\n";
    for (const std::shared_ptr<Modi>& modi : *State.Modis)
        text << "mod " << modi->Key << " " << modi->Initialized() << "\n";
    for (const std::shared_ptr<Setup>& setup : *State.Setups) {
        text << "setup " << setup->Name << "|" << setup->Key << ":";
        for (const std::shared_ptr<Modi>& modi : *setup->Modis())
            text << " " << modi->Key;
        text << "\n";
    }
    text << "original " << State.OriginalSetup->Key << "\ncurrent " << State.CurrentSetup->Key;
    return text.str();
}

bool IsSettingsError(const QuillonError& Error) {
    return Error.Source == "Quillon.frmMain" &&
           (Error.Number == ProgramError::SettingsSectionExpected ||
            Error.Number == ProgramError::SettingsWithoutSetups ||
            Error.Number == ProgramError::SettingsFirstSetupHasMods);
}

void ReadSettingsFile(const std::string& Text) {
    target->Game.Write("quill.ini", Text);
    Fuzz::Run([&] {
        SettingsState read = FreshState();
        try {
            Settings::ReadSettings(target->SettingsFile, read);
        } catch (const QuillonError& error) {
            if (!IsSettingsError(error))
                throw;
            Fuzz::Check(!target->SettingsFile.FileOpen(), "quill.ini left open after an error");
            target->Game.CheckWrittenOnly({});
            return;
        }
        Settings::WriteSettings(target->SettingsFile, read);
        const std::string written = target->Game.Read("quill.ini");

        SettingsState again = FreshState();
        const int boxes = target->Dialogs.Boxes;
        Settings::ReadSettings(target->SettingsFile, again);
        Fuzz::Check(target->Dialogs.Boxes == boxes,
                    "the written quill.ini reads with a message: " + target->Dialogs.LastText);
        Fuzz::Check(Describe(again) == Describe(read),
                    "quill.ini written and read back differs:\n" + Describe(read) + "\n---\n" +
                        Describe(again));
        Settings::WriteSettings(target->SettingsFile, again);
        Fuzz::Check(target->Game.Read("quill.ini") == written,
                    "quill.ini written twice from the same state differs");
    });
    target->Game.CheckWrittenOnly({"quill.ini"});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target = new Target;
    for (const char* key : {"baserules", "bigmap", "nightmode", "daymode", "libraryplus"})
        target->Game.Write(
            std::string("mods\\") + key + "_moddef.txt",
            std::string("Key\t") + key + "\r\nName\t" + key + "\r\nVersion\t1.0\r\n");
    DiscoverMods(&target->Game.Interface, target->Game.Path() + "mods\\", target->Installed);
    Fuzz::Check(target->Installed.Count() == 5, "the installed mods were not read");
    target->SettingsFile.Setup("//", "\t", "", "", 0);
    target->SettingsFile.SetFileByName("quill.ini", target->Game.Path(), &target->Game.Interface);

    Fuzz::CheckLinearTime(
        "one line of setups",
        [](std::size_t size) {
            std::string text = "Setups\tOriginal Game\t@";
            for (int i = 0; text.size() < size; ++i)
                text += "\tSetup " + std::to_string(i) + "\tbaserules\tbigmap\t@";
            return text + "\t@\tCurrentSetup\tSetup 1";
        },
        ReadSettingsFile);
    Fuzz::CheckLinearTime(
        "the current setup named again and again",
        [](std::size_t size) {
            std::string text = "Setups\r\nOriginal Game\r\n@";
            int setups = 0;
            while (text.size() < size / 2)
                text += "\r\nSetup " + std::to_string(++setups) + "\r\n@";
            return Fuzz::Repeated(text + "\r\n@",
                                  "\r\nCurrentSetup\tSetup " + std::to_string(setups), size);
        },
        ReadSettingsFile);
    Fuzz::CheckLinearTime(
        "many lines of options and mod states",
        [](std::size_t size) {
            return Fuzz::Repeated(
                "Setups\r\nOriginal Game\r\n@\r\n@\r\n",
                "Log\tYes // on\r\nMods\r\nbigmap\tYes\t1.0\r\nunknown\tNo\t2\r\n@\r\n", size);
        },
        ReadSettingsFile);
    Fuzz::CheckLinearTime(
        "a setup of many mod keys",
        [](std::size_t size) {
            return Fuzz::Repeated("Setups\r\nOriginal Game\r\n@\r\nBig\r\n", "daymode\r\n", size) +
                   "@\r\n@\r\n";
        },
        ReadSettingsFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    ReadSettingsFile(std::string(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
