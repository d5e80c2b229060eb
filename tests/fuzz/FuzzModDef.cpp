// A mod definition, as a mod's author hands it over: discovered and imported as
// start-up does it. Properties: nothing escapes discovery but the warning that the
// mod is ignored; a mod that imports has a key and a name; every transfer it keeps
// reads from and writes to a file inside the game folder, through a path the
// operating system takes as written; nothing is written anywhere.
#include <memory>

#include "FileReference.h"
#include "FuzzGame.h"
#include "ModDiscovery.h"
#include "Modi.h"
#include "Modis.h"

namespace {

const char* const kDefinition = "mods\\fuzz_moddef.txt";

struct Target {
    Fuzz::Game Game;
    Fuzz::Dialogs Dialogs;
};
Target* target = nullptr;

void CheckTransfers(const Transfers& List, const char* Section) {
    for (const std::shared_ptr<Transfer>& transfer : List) {
        Fuzz::Check(!transfer->Invalid(), std::string("an invalid transfer kept in ") + Section);
        const std::string from =
            transfer->FromFileRef(&target->Game.Interface, "english", target->Game.Path())
                ->FullName();
        const std::string to =
            transfer->ToFileRef(&target->Game.Interface, "english", target->Game.Path())
                ->FullName();
        Fuzz::Check(target->Game.Inside(from),
                    std::string(Section) + " source leaves the game folder: " + from);
        Fuzz::Check(target->Game.Inside(to),
                    std::string(Section) + " target leaves the game folder: " + to);
    }
}

void ReadDefinition(const std::string& Text) {
    target->Game.Write(kDefinition, Text);
    Modis modis;
    Fuzz::Run(
        [&] { DiscoverMods(&target->Game.Interface, target->Game.Path() + "mods\\", modis); });
    Fuzz::Check(modis.Count() <= 1, "one definition gave several mods");
    for (const std::shared_ptr<Modi>& modi : modis) {
        Fuzz::Check(!modi->Key.empty() && !modi->Name().empty(), "a mod without key or name");
        CheckTransfers(modi->InitializationTransfers(), "Initialization");
        CheckTransfers(modi->ApplicationTransfers(), "Application");
        CheckTransfers(modi->SubstitutionTransfers(), "Substitution");
    }
    target->Game.CheckWrittenOnly({});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target = new Target;
    Fuzz::CheckLinearTime(
        "one line of tab-separated transfers",
        [](std::size_t size) {
            return Fuzz::Repeated("Key\tk\tName\tn\tApplication", "\ta.txt\tb.txt", size);
        },
        ReadDefinition);
    Fuzz::CheckLinearTime(
        "a long description of short lines",
        [](std::size_t size) {
            return Fuzz::Repeated("Key\tk\r\nName\tn\r\nDescription", "\r\nline // note", size);
        },
        ReadDefinition);
    Fuzz::CheckLinearTime(
        "one line without a delimiter",
        [](std::size_t size) { return Fuzz::Repeated("Key\tk\r\nName\t", "x", size); },
        ReadDefinition);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    ReadDefinition(std::string(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
