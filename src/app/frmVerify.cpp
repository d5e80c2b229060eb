#include "frmVerify.h"

#include "AppliedRecord.h"
#include "Dialogs.h"
#include "FileReference.h"
#include "QuillonError.h"
#include "Shared.h"
#include "TextCase.h"
#include "TransferType.h"
#include "Useful.h"
#include "frmMain.h"

// Each control names only the fields it has.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using K = ControlKind;

// From this many files on, the check shows its progress on the main window.
constexpr int kProgressFrom = 200;

bool IsBackup(const std::string& Path) {
    const std::size_t slash = Path.rfind('\\');
    const std::string name =
        TextCase::Lower(slash == std::string::npos ? Path : Path.substr(slash + 1));
    return name.rfind("orig_", 0) == 0 || name.rfind("subst_", 0) == 0;
}

}  // namespace

const WindowDescription& frmVerify::Description() {
    static const WindowDescription description{
        .Name = "frmVerify",
        .Caption = "Verify Game Files",
        .Dialog = true,
        .Controls = {
            {.Name = "lstVerify",
             .Kind = K::ListView,
             .Items = {"File", "State"},
             .MultiSelect = true},
            {.Name = "lblVerifySummary", .Kind = K::Label},
            {.Name = "cmdVerifyReapply", .Kind = K::Button, .Caption = "&Re-apply"},
            {.Name = "cmdVerifyAccept", .Kind = K::Button, .Caption = "&Accept"},
            {.Name = "cmdVerifyClose", .Kind = K::Button, .Caption = "&Close"},
        }};
    return description;
}

frmVerify::frmVerify(FormFactory& Factory, frmMain& Main)
    : form_(Factory.CreateForm(Description())), main_(Main) {
    Form& f = *form_;
    f.ButtonNamed("cmdVerifyReapply").Click = [this] { RunHandler([this] { ReapplySelected(); }); };
    f.ButtonNamed("cmdVerifyAccept").Click = [this] { RunHandler([this] { AcceptSelected(); }); };
    f.ButtonNamed("cmdVerifyClose").Click = [this] { form_->Hide(); };
}

frmVerify::~frmVerify() = default;

void frmVerify::ShowModal() {
    Check();
    form_->ShowModal();
}

void frmVerify::Check() {
    AppliedRecord& record = main_.Record;
    ListView& list = form_->ListViewNamed("lstVerify");
    list.Clear();
    const std::vector<const AppliedRecord::Entry*> entries = record.Sorted();
    const int count = static_cast<int>(entries.size());
    int checked = 0;
    int differ = 0;
    int step = 0;
    for (const AppliedRecord::Entry* entry : entries) {
        const std::string path(record.PathOf(*entry));
        ++step;
        if (count >= kProgressFrom && step % 100 == 0)
            main_.mProgress->ReportProgress(step, count);
        // The game's own files are the game's business: an update of one is kept at
        // the next application.
        if (record.KindOf(*entry) == AppliedRecord::kGame)
            continue;
        ++checked;
        if (!record.Differs(*entry))
            continue;
        ++differ;
        const bool missing = !NativeFs::FileExists(record.FullName(*entry));
        std::string state;
        if (IsBackup(path))
            state = missing ? "Backup missing" : "Backup changed";
        else
            state = missing ? "Missing" : "Changed since applied (" + record.ModOf(*entry) + ")";
        list.SetSubItem(list.AddItem(path, path), state);
    }
    if (count >= kProgressFrom)
        main_.mProgress->ReportProgress(-1, 0);
    const std::string files = std::to_string(checked) + " files checked, ";
    form_->LabelNamed("lblVerifySummary")
        .SetCaption(differ == 0 ? files + "all as applied."
                                : files + std::to_string(differ) + " differ.");
}

std::vector<std::string> frmVerify::SelectedPaths() const {
    const ListView& list = form_->ListViewNamed("lstVerify");
    std::vector<std::string> paths;
    for (int index : list.SelectedIndices())
        paths.push_back(list.Key(index));
    return paths;
}

void frmVerify::ReapplySelected() {
    const std::vector<std::string> paths = SelectedPaths();
    if (paths.empty())
        return;
    std::string problems;
    Shared::OpenLog(main_.Log, main_.LogFile, false);
    for (const std::string& path : paths) {
        std::string problem;
        // One file that cannot be copied does not stop the others.
        try {
            problem = Reapply(path);
        } catch (const QuillonError& error) {
            problem = "Could not re-apply " + path + ": " + error.Description;
        }
        if (!problem.empty())
            problems += (problems.empty() ? "" : Useful::CrLf) + problem;
    }
    Shared::CloseLog(main_.Log, main_.LogFile, false);
    main_.Record.Save();
    Check();
    // What kept files from being re-applied is told once, after the others are done.
    if (!problems.empty())
        MsgBox(problems, MsgIcon::Warning, MsgButtons::OK);
}

std::string frmVerify::Reapply(const std::string& Path) {
    AppliedRecord& record = main_.Record;
    const AppliedRecord::Entry* entry = record.Find(main_.GamePath + Path);
    // A backup is never re-applied: it keeps the game's file, which no mod has.
    if (!entry || IsBackup(std::string(record.PathOf(*entry))))
        return std::string();
    const std::string target = record.FullName(*entry);
    // Copies: the entry changes when the file is written.
    const std::string modName = record.ModOf(*entry);
    const std::string kindName = record.KindOf(*entry);
    const std::int32_t kind =
        kindName == "Substitution" ? TransferType::Substitution : TransferType::Application;
    std::unique_ptr<FileReference> source;
    for (const auto& mod : *main_.Modis) {
        if (mod->Name() != modName)
            continue;
        const ::Transfers& transfers = kind == TransferType::Substitution
                                           ? mod->SubstitutionTransfers()
                                           : mod->ApplicationTransfers();
        for (const auto& transfer : transfers) {
            const auto to =
                transfer->ToFileRef(main_.FileInterface.get(), main_.Language, main_.GamePath);
            if (TextCase::Lower(to->FullName()) == TextCase::Lower(target))
                source = transfer->FromFileRef(main_.FileInterface.get(), main_.Language,
                                               main_.GamePath);
        }
    }
    if (!source || source->FileAbsent())
        return "The file of " + modName + " for " + Path + " is no longer there.";
    record.KeepIfEdited(target, main_.Log, main_.LogFile);
    Shared::LogLine(main_.Log, main_.LogFile, "Copying " + source->FullName() + " to " + target);
    FileReference into;
    into.Setup(target.substr(0, target.rfind('\\') + 1), target.substr(target.rfind('\\') + 1),
               main_.FileInterface.get());
    AppliedRecord::Copy(&record, *source, into, false, modName, kindName);
    return std::string();
}

void frmVerify::AcceptSelected() {
    AppliedRecord& record = main_.Record;
    const std::vector<std::string> paths = SelectedPaths();
    if (paths.empty())
        return;
    for (const std::string& path : paths) {
        const std::string file = main_.GamePath + path;
        // The record follows the file: one that is gone is no longer answered for.
        if (NativeFs::FileExists(file))
            record.NoteAsItIs(file);
        else
            record.Forget(file);
    }
    record.Save();
    Check();
}
