#include "SetupFiles.h"

#include <algorithm>
#include <unordered_map>

#include "FileReference.h"
#include "Setup.h"
#include "TextCase.h"

std::string SetupFile::ModText() const {
    if (!Overridden.empty()) {
        std::string others;
        for (const std::string& name : Overridden)
            others += (others.empty() ? "" : ", ") + name;
        return Winner + " (overrides " + others + ")";
    }
    if (Initialization)
        return Winner + " (initialization)";
    if (Added)
        return Winner + " (adds)";
    return Winner;
}

std::string SetupFiles::Summary() const {
    return std::to_string(Files.size()) + " files from " + std::to_string(Mods) + " mods, " +
           std::to_string(Conflicts) + " of them written by more than one mod.";
}

namespace {

struct Write {
    const Modi* Mod;
    bool Initialization;
};

struct Written {
    std::unique_ptr<FileReference> Target;
    std::vector<Write> Writes;
};

}  // namespace

SetupFiles FilesOfSetup(const Setup& Setup, const GameFolder& Game) {
    // Keyed without regard to case, as the file system finds the files.
    std::unordered_map<std::string, std::size_t> index;
    std::vector<Written> written;
    auto record = [&](const Modi& Mod, const Transfers& List, bool Initialization) {
        for (const std::shared_ptr<Transfer>& transfer : List) {
            auto target = Game.Target(*transfer);
            const std::string key = TextCase::Lower(target->FullName());
            auto [at, added] = index.emplace(key, written.size());
            if (added)
                written.push_back({std::move(target), {}});
            written[at->second].Writes.push_back({&Mod, Initialization});
        }
    };
    const Modis& mods = *Setup.Modis();
    for (const std::shared_ptr<Modi>& mod : mods)
        record(*mod, mod->InitializationTransfers(), true);
    for (const std::shared_ptr<Modi>& mod : mods) {
        record(*mod, mod->ApplicationTransfers(), false);
        record(*mod, mod->SubstitutionTransfers(), false);
    }

    SetupFiles result;
    KnownFiles known;
    std::vector<const Modi*> writers;
    // Each file's path without regard to case, by which the list is sorted.
    std::vector<std::pair<std::string, std::size_t>> order;
    for (const Written& file : written) {
        const Write& last = file.Writes.back();
        SetupFile entry;
        entry.Path = Game.Relative(*file.Target);
        entry.Winner = last.Mod->Name();
        entry.Initialization = last.Initialization;
        std::vector<const Modi*> seen{last.Mod};
        for (const Write& write : file.Writes) {
            if (std::find(seen.begin(), seen.end(), write.Mod) != seen.end())
                continue;
            seen.push_back(write.Mod);
            entry.Overridden.push_back(write.Mod->Name());
        }
        for (const Modi* mod : seen)
            if (std::find(writers.begin(), writers.end(), mod) == writers.end())
                writers.push_back(mod);
        if (!entry.Overridden.empty())
            ++result.Conflicts;
        entry.Added = !known.Exists(*file.Target) &&
                      !known.Exists(*BackupOf(*file.Target, "orig_")) &&
                      !known.Exists(*BackupOf(*file.Target, "subst_"));
        order.emplace_back(TextCase::Lower(entry.Path), result.Files.size());
        result.Files.push_back(std::move(entry));
    }
    result.Mods = static_cast<long>(writers.size());
    std::sort(order.begin(), order.end(), [&result](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : result.Files[a.second].Path < result.Files[b.second].Path;
    });
    std::vector<SetupFile> sorted;
    sorted.reserve(order.size());
    for (const auto& entry : order)
        sorted.push_back(std::move(result.Files[entry.second]));
    result.Files = std::move(sorted);
    return result;
}
