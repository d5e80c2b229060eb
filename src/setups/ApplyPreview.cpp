// The preview of a switch: the steps of the mod and setup operations and of the careful
// restoration, taken on a record of which files exist instead of on the disk. It
// follows those operations decision for decision; a test holds it to their log.
#include "ApplyPreview.h"

#include "Action.h"
#include "FileInterface.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "Setup.h"
#include "TransferType.h"
#include "Useful.h"

std::string PlannedStep::Action() const {
    switch (What) {
        case Kind::Restore:
            return "Restore from backup";
        case Kind::BackUpAndReplace:
            return "Back up and replace (" + Mod + ")";
        case Kind::Replace:
            return "Replace (" + Mod + ")";
        case Kind::Add:
            return "Add (" + Mod + ")";
        case Kind::Initialize:
            return "Initialize (" + Mod + ")";
        case Kind::DeleteSubstitutionBackup:
            return "Delete substitution backup";
        case Kind::SourceMissing:
            return "Source missing (" + Mod + "): Apply will fail and roll back";
        case Kind::FolderMissing:
            return "Folder missing (" + Mod + "): Apply will fail and roll back";
    }
    return "";
}

std::string SizeText(std::uintmax_t Bytes) {
    if (Bytes == 1)
        return "1 byte";
    if (Bytes < 1024)
        return std::to_string(Bytes) + " bytes";
    const char* const units[] = {"KB", "MB", "GB", "TB"};
    double size = static_cast<double>(Bytes) / 1024.0;
    std::size_t unit = 0;
    while (size >= 1024.0 && unit + 1 < std::size(units)) {
        size /= 1024.0;
        ++unit;
    }
    // One decimal, rounded.
    const auto tenths = static_cast<std::uintmax_t>(size * 10.0 + 0.5);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
}

std::string ApplyPreview::Summary() const {
    long restored = 0, copied = 0, backups = 0, added = 0;
    std::uintmax_t size = 0;
    for (const PlannedStep& step : Steps) {
        switch (step.What) {
            case PlannedStep::Kind::Restore:
                ++restored;
                break;
            case PlannedStep::Kind::BackUpAndReplace:
                ++backups;
                [[fallthrough]];
            case PlannedStep::Kind::Replace:
            case PlannedStep::Kind::Initialize:
                ++copied;
                size += step.Size;
                break;
            case PlannedStep::Kind::Add:
                ++added;
                ++copied;
                size += step.Size;
                break;
            default:
                break;
        }
    }
    std::string text = std::to_string(restored) + " files restored, " + std::to_string(copied) +
                       " files copied (" + SizeText(size) + "), " + std::to_string(backups) +
                       " backups made, " + std::to_string(added) + " files added.";
    for (const std::string& problem : Problems)
        Useful::AppendLine(text, problem);
    return text;
}

namespace {

using Kind = PlannedStep::Kind;

class Planner {
  public:
    Planner(const GameFolder& Game, ApplyPreview& Out) : game_(Game), out_(Out) {}

    void UnApply(const Setup& Setup) {
        const Modis& mods = *Setup.Modis();
        for (long i = mods.Count(); i >= 1; --i)
            UnApplyMod(*mods.Item(i));
    }

    void RestoreOriginals() {
        ::Action found;
        found.OnAction = [this](std::shared_ptr<FileReference>& Arg) {
            const std::string name = Useful::TextAfter(Arg->FileName(), "_");
            if (name.empty())
                return;
            FileReference target;
            target.Setup(Arg->Path(), name, game_.FileInterface);
            Restore(*Arg, target);
        };
        game_.FileInterface->RecurseFolders(game_.QELPath, "orig_*.*", found);
    }

    // Initialize and Apply return true where the operation they follow would fail.
    bool Initialize(const Setup& Setup) {
        for (const std::shared_ptr<Modi>& mod : *Setup.Modis())
            if (Perform(*mod, mod->InitializationTransfers(), TransferType::Initialization))
                return true;
        return false;
    }

    bool Apply(const Setup& Setup) {
        const Modis& mods = *Setup.Modis();
        for (long i = 1; i <= mods.Count(); ++i) {
            if (!ApplyMod(*mods.Item(i)))
                continue;
            for (long j = i - 1; j >= 1; --j)
                UnApplyMod(*mods.Item(j));
            return true;
        }
        return false;
    }

  private:
    bool ApplyMod(const Modi& Mod) {
        if (Perform(Mod, Mod.ApplicationTransfers(), TransferType::Application))
            return true;
        if (Perform(Mod, Mod.SubstitutionTransfers(), TransferType::Substitution)) {
            Reverse(Mod.ApplicationTransfers(), TransferType::Application,
                    static_cast<std::int32_t>(Mod.ApplicationTransfers().Count()));
            return true;
        }
        return false;
    }

    void UnApplyMod(const Modi& Mod) {
        Reverse(Mod.ApplicationTransfers(), TransferType::Application,
                static_cast<std::int32_t>(Mod.ApplicationTransfers().Count()));
        Reverse(Mod.SubstitutionTransfers(), TransferType::Substitution,
                static_cast<std::int32_t>(Mod.SubstitutionTransfers().Count()));
    }

    bool Perform(const Modi& Mod, const Transfers& List, std::int32_t Type) {
        const auto count = static_cast<std::int32_t>(List.Count());
        for (std::int32_t i = 1; i <= count; ++i) {
            const Transfer& transfer = *List.Item(i);
            const auto from = game_.Source(transfer);
            const auto to = game_.Target(transfer);
            PlannedStep step = Step(Kind::Add, *to);
            step.Mod = Mod.Name();
            step.From = from->FullName();
            if (!Exists(*from)) {
                step.What = Kind::SourceMissing;
                return Fail(step,
                            "The file " + game_.Relative(*from) + " of " + Mod.Name() +
                                " is missing: Apply will fail and roll back.",
                            List, Type, i - 1);
            }
            if (Type != TransferType::Initialization) {
                const auto backup =
                    BackupOf(*to, Type == TransferType::Application ? "orig_" : "subst_");
                if (!Exists(*backup)) {
                    // Where the game's file has been substituted, the "subst_" backup
                    // holds it, and that is what "orig_" keeps.
                    const auto subst =
                        Type == TransferType::Application ? BackupOf(*to, "subst_") : nullptr;
                    const FileReference* original = nullptr;
                    if (subst && Exists(*subst))
                        original = subst.get();
                    else if (Exists(*to))
                        original = to.get();
                    if (original) {
                        step.What = Kind::BackUpAndReplace;
                        step.BackedUp = original->FullName();
                        step.Backup = backup->FullName();
                        Now(*backup, true);
                    }
                }
            }
            if (FolderMissing(*to)) {
                step.What = Kind::FolderMissing;
                std::string folder = game_.Relative(*to);
                folder.resize(folder.size() - to->FileName().size());
                if (!folder.empty() && folder.back() == '\\')
                    folder.pop_back();
                return Fail(step,
                            "The folder " + folder + " for " + Mod.Name() +
                                " is missing: Apply will fail and roll back.",
                            List, Type, i - 1);
            }
            if (Type == TransferType::Initialization)
                step.What = Kind::Initialize;
            else if (step.What != Kind::BackUpAndReplace && Exists(*to))
                step.What = Kind::Replace;
            step.Size = SizeOf(*from);
            Now(*to, true);
            out_.Steps.push_back(step);
        }
        return false;
    }

    // The failing step, then what the failing list undoes of itself.
    bool Fail(const PlannedStep& Step, const std::string& Problem, const Transfers& List,
              std::int32_t Type, std::int32_t Performed) {
        out_.Steps.push_back(Step);
        out_.Problems.push_back(Problem);
        out_.Fails = true;
        Reverse(List, Type, Performed);
        return true;
    }

    void Reverse(const Transfers& List, std::int32_t Type, std::int32_t Count) {
        if (Type == TransferType::Initialization)
            return;
        for (std::int32_t i = Count; i >= 1; --i) {
            const auto target = game_.Target(*List.Item(i));
            const auto orig = BackupOf(*target, "orig_");
            const auto subst = BackupOf(*target, "subst_");
            const bool hasSubst = Exists(*subst);
            if (Exists(*orig))
                Restore(*orig, *target);
            else if (hasSubst)
                Restore(*subst, *target);
            if (hasSubst) {
                PlannedStep step = Step(Kind::DeleteSubstitutionBackup, *subst);
                out_.Steps.push_back(step);
                Now(*subst, false);
            }
        }
    }

    void Restore(const FileReference& Backup, const FileReference& Target) {
        PlannedStep step = Step(Kind::Restore, Target);
        step.From = Backup.FullName();
        out_.Steps.push_back(step);
        Now(Target, true);
    }

    PlannedStep Step(Kind What, const FileReference& File) const {
        PlannedStep step;
        step.What = What;
        step.File = game_.Relative(File);
        step.To = File.FullName();
        return step;
    }

    // What exists so far: the disk, as the steps planned before have left it.
    bool Exists(const FileReference& File) { return known_.Exists(File); }
    void Now(const FileReference& File, bool Exists) { known_.Now(File, Exists); }
    bool FolderMissing(const FileReference& File) { return known_.FolderMissing(File); }

    static std::uintmax_t SizeOf(const FileReference& File) {
        try {
            return NativeFs::FileSize(File.FullName());
        } catch (const QuillonError&) {
            // A file that vanished since it was found counts for nothing here; Apply
            // will say what became of it.
            return 0;
        }
    }

    const GameFolder& game_;
    ApplyPreview& out_;
    KnownFiles known_;
};

// Mods of the setup that cannot run beside the others, or lack a prerequisite.
void CompatibilityProblems(const Setup& Selected, const Modis& AllModis,
                           std::vector<std::string>& Problems) {
    const Modis& mods = *Selected.Modis();
    auto nameOf = [&AllModis](const std::string& Key) {
        auto mod = AllModis.ItemNoError(Key);
        return mod ? mod->Name() : Key;
    };
    for (const std::shared_ptr<Modi>& mod : mods) {
        // Each mod is judged against the others: the rules would make a mod that does
        // not name itself incompatible with itself.
        Modis others;
        for (const std::shared_ptr<Modi>& other : mods)
            if (other != mod)
                others.SneakyAdd(other, other->Key);
        const ModCompatibility compatibility = mod->CompatibleWith(others);
        if (compatibility.Compatibility == CompatibilityKind::Incompatible)
            Problems.push_back(mod->Name() + " is incompatible with " +
                               nameOf(compatibility.ModiKey) + ".");
        else if (compatibility.Compatibility == CompatibilityKind::NeedsPrerequisite)
            Problems.push_back(mod->Name() + " needs " + nameOf(compatibility.ModiKey) +
                               ", which the setup lacks.");
    }
}

}  // namespace

ApplyPreview PreviewApply(const Setup& Current, const Setup& Selected, const Modis& AllModis,
                          const ApplyOptions& Options, const GameFolder& Game) {
    ApplyPreview preview;
    CompatibilityProblems(Selected, AllModis, preview.Problems);
    Planner planner(Game, preview);
    planner.UnApply(Current);
    if (Options.RestoreOriginal)
        planner.RestoreOriginals();
    if (Options.Reinitialize && planner.Initialize(Selected))
        return preview;
    planner.Apply(Selected);
    return preview;
}
