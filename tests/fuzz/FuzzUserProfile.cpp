// The game's userprofile.txt: its values read as start-up reads them, then rewritten
// as applying a setup does (the window's three values and a mod's entry). Properties:
// nothing escapes; each entry that was there holds its new value, no entry is added,
// every other line stays as it was (blank lines and blanks at the ends of lines
// aside); a second rewrite changes no byte; the rewrite goes through the scratch file,
// which is gone afterwards, and nothing else is written.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FileAccess.h"
#include "FuzzGame.h"
#include "Shared.h"

namespace {

const char* const kProfile = "qel2_program\\qel\\userprofile.txt";

struct Target {
    Fuzz::Game Game;
    Fuzz::Dialogs Dialogs;
    FileAccess Profile;
};
Target* target = nullptr;

std::string NameOf(const std::string& Entry) {
    return Entry.substr(0, Entry.find('='));
}

void RewriteProfile(const std::string& Text) {
    target->Game.Write(kProfile, Text);
    std::vector<std::pair<std::string, std::string>> changes = {
        {"DebugVesk", "Yes"}, {"NumPlayers", "12"}, {"MaxPlayers", "24"}};
    // A mod may name any entry; the file's own first entry is the one most likely there.
    const std::vector<std::string> entries = Fuzz::NonBlankLines(Text);
    if (!entries.empty() && !NameOf(entries.front()).empty())
        changes.emplace_back(NameOf(entries.front()), "fuzz");

    Fuzz::Run([&] {
        Shared::ReadProfileBool(target->Profile, "DebugVesk");
        Shared::ReadProfileValue(target->Profile, "NumPlayers");
        Shared::ReadProfileValue(target->Profile, "MaxPlayers");
        for (const auto& [field, value] : changes)
            Shared::WriteProfileValue(target->Profile, &target->Game.Interface, field, value);
        const std::string rewritten = target->Game.Read(kProfile);

        std::vector<std::string> expected;
        std::set<std::string> present;
        for (const std::string& entry : entries) {
            std::string kept = entry;
            for (const auto& [field, value] : changes) {
                if (NameOf(kept) == field) {
                    kept = field + "=" + value;
                    present.insert(field);
                }
            }
            expected.push_back(kept);
        }
        Fuzz::Check(Fuzz::NonBlankLines(rewritten) == expected, "the rewrite changed other lines");
        // The last entry set reads back as set (or stays absent), and setting it again
        // changes no byte.
        const auto& [field, value] = changes.back();
        Fuzz::Check(
            Shared::ReadProfileValue(target->Profile, field) == (present.count(field) ? value : ""),
            "the entry " + field + " does not read back as written");
        Shared::WriteProfileValue(target->Profile, &target->Game.Interface, field, value);
        Fuzz::Check(target->Game.Read(kProfile) == rewritten, "a second rewrite changed the file");
    });
    target->Game.CheckWrittenOnly({kProfile});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    target = new Target;
    target->Profile.SetFileByName("userprofile.txt", target->Game.Path() + "qel2_program\\qel\\",
                                  &target->Game.Interface);
    Fuzz::CheckLinearTime(
        "many entries",
        [](std::size_t size) {
            return Fuzz::Repeated("DebugVesk=No\r\n", "  Entry=some value \r\n\r\nNumPlayers=3\n",
                                  size);
        },
        RewriteProfile);
    Fuzz::CheckLinearTime(
        "one long entry",
        [](std::size_t size) { return Fuzz::Repeated("MaxPlayers=", "1\t", size); },
        RewriteProfile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    RewriteProfile(std::string(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
