// A game data file left by the Varnix tool: converted into a mod definition, which
// start-up then discovers and imports. Properties: nothing escapes; the only file
// written is the new definition in the mods folder; it says what the Varnix file
// says or is not written at all: a mod of the file's key and name whose transfers
// replace only the three game files the conversion is about, from files inside the
// game folder (an empty name leaves a definition that is refused).
#include <map>
#include <memory>

#include "FileReference.h"
#include "FuzzGame.h"
#include "ModDiscovery.h"
#include "Modi.h"
#include "Modis.h"
#include "VarnixConversion.h"

namespace {

const char* const kLegacy = "qel2_data\\default\\gamedata\\fuzz_gamefile.txt";
const char* const kDefinition = "mods\\fuzz_ModDef.txt";

struct Target {
    Fuzz::Game Game;
    Fuzz::Dialogs Dialogs;
};
Target* target = nullptr;

// Whether a value can stand in a definition's line and be read back whole.
bool Holdable(const std::string& Value) {
    return Value.find('\t') == std::string::npos && Value.find("//") == std::string::npos;
}

void Convert(const std::string& Text) {
    Fuzz::Game& game = target->Game;
    game.Write(kLegacy, Text);
    const std::string mods = game.Path() + "mods\\";
    std::vector<std::string> tokens = Fuzz::NonBlankLines(Text);
    tokens.resize(std::max<std::size_t>(tokens.size(), 68));
    const std::string& name = tokens[65];

    Modis read;
    Fuzz::Run([&] {
        ConvertVarnixMods(&game.Interface, game.Path(), mods, Modis());
        DiscoverMods(&game.Interface, mods, read);
    });
    const bool holdable = Holdable(tokens[65]) && Holdable(tokens[66]) && Holdable(tokens[67]);
    Fuzz::Check(game.Exists(kDefinition) == holdable,
                holdable ? "no definition written" : "a definition that cannot say what it must");
    Fuzz::Check(read.Count() == (holdable && !name.empty() ? 1 : 0),
                "the definition written does not import as it should");
    const std::string data = game.Path() + "qel2_data\\";
    const std::map<std::string, std::string> replaced = {
        {data + "default\\gamedata\\gamefile.txt", data + "default\\gamedata\\fuzz_gamefile.txt"},
        {data + "default\\gamedata\\newsprite.txt", ""},
        {data + "english\\gamedata\\Great_Library.txt", ""}};
    for (const std::shared_ptr<Modi>& modi : read) {
        Fuzz::Check(modi->Key == "fuzz" && modi->Name() == name, "key or name read back differ");
        Fuzz::Check(modi->InitializationTransfers().Count() == 0 &&
                        modi->SubstitutionTransfers().Count() == 0 &&
                        modi->UserProfileEntries().Count() == 0,
                    "the definition holds more than the conversion wrote");
        std::map<std::string, int> seen;
        for (const std::shared_ptr<Transfer>& transfer : modi->ApplicationTransfers()) {
            const std::string from =
                transfer->FromFileRef(&game.Interface, "english", game.Path())->FullName();
            const std::string to =
                transfer->ToFileRef(&game.Interface, "english", game.Path())->FullName();
            const auto file = replaced.find(to);
            Fuzz::Check(file != replaced.end() && ++seen[to] == 1,
                        "the conversion replaces another file: " + to);
            Fuzz::Check(file->second.empty() ? game.Inside(from) : from == file->second,
                        "a converted transfer reads from elsewhere: " + from);
        }
        Fuzz::Check(seen.count(data + "default\\gamedata\\gamefile.txt") == 1,
                    "the mod's own gamefile.txt is not applied");
    }
    game.CheckWrittenOnly({kDefinition});
    game.Remove(kDefinition);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target = new Target;
    Fuzz::CheckLinearTime(
        "a long file",
        [](std::size_t size) {
            return Fuzz::Repeated("", "  a line of data\t1 // 2\r\n\r\n", size);
        },
        Convert);
    Fuzz::CheckLinearTime(
        "a long name",
        [](std::size_t size) {
            return Fuzz::Repeated(Fuzz::Repeated("", "line\n", 65 * 5), "name ", size) +
                   "\nsprite.txt\nlibrary.txt\n";
        },
        Convert);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    Convert(std::string(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
