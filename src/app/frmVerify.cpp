#include "frmVerify.h"

#include "AppliedRecord.h"
#include "Dialogs.h"
#include "FileReference.h"
#include "Shared.h"
#include "TextCase.h"
#include "TransferType.h"
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
            {.Name = "lstVerify", .Kind = K::ListView, .Items = {"File", "State"}},
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
    const int count = static_cast<int>(record.Entries().size());
    int checked = 0;
    int differ = 0;
    int step = 0;
    for (const auto& [key, entry] : record.Entries()) {
        ++step;
        if (count >= kProgressFrom && step % 100 == 0)
            main_.mProgress->ReportProgress(step, count);
        // The game's own files are the game's business: an update of one is kept at
        // the next application.
        if (entry.Kind == AppliedRecord::kGame)
            continue;
        ++checked;
        if (!record.Differs(entry))
            continue;
        ++differ;
        const bool missing = !NativeFs::FileExists(record.FullName(entry));
        std::string state;
        if (IsBackup(entry.Path))
            state = missing ? "Backup missing" : "Backup changed";
        else
            state = missing ? "Missing" : "Changed since applied (" + entry.Mod + ")";
        list.SetSubItem(list.AddItem(entry.Path, entry.Path), state);
    }
    if (count >= kProgressFrom)
        main_.mProgress->ReportProgress(-1, 0);
    const std::string files = std::to_string(checked) + " files checked, ";
    form_->LabelNamed("lblVerifySummary")
        .SetCaption(differ == 0 ? files + "all as applied."
                                : files + std::to_string(differ) + " differ.");
}

std::string frmVerify::SelectedPath() const {
    const ListView& list = form_->ListViewNamed("lstVerify");
    const int selected = list.SelectedIndex();
    return selected == 0 ? std::string() : list.Key(selected);
}

void frmVerify::ReapplySelected() {
    AppliedRecord& record = main_.Record;
    const std::string path = SelectedPath();
    const AppliedRecord::Entry* entry = path.empty() ? nullptr : record.Find(main_.GamePath + path);
    // A backup is never re-applied: it keeps the game's file, which no mod has.
    if (!entry || IsBackup(entry->Path))
        return;
    const std::string target = record.FullName(*entry);
    const std::int32_t kind =
        entry->Kind == "Substitution" ? TransferType::Substitution : TransferType::Application;
    std::unique_ptr<FileReference> source;
    for (const auto& mod : *main_.Modis) {
        if (mod->Name() != entry->Mod)
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
    if (!source || source->FileAbsent()) {
        MsgBox("The file of " + entry->Mod + " for " + entry->Path + " is no longer there.",
               MsgIcon::Warning, MsgButtons::OK);
        return;
    }
    const std::string mod = entry->Mod;
    const std::string kindName = entry->Kind;
    Shared::OpenLog(main_.Log, main_.LogFile, false);
    record.KeepIfEdited(target, main_.Log, main_.LogFile);
    Shared::LogLine(main_.Log, main_.LogFile, "Copying " + source->FullName() + " to " + target);
    FileReference into;
    into.Setup(target.substr(0, target.rfind('\\') + 1), target.substr(target.rfind('\\') + 1),
               main_.FileInterface.get());
    source->CopyIntoReference(into, false);
    Shared::CloseLog(main_.Log, main_.LogFile, false);
    record.NoteWritten(target, AppliedRecord::HashOfFile(source->FullName()), mod, kindName);
    record.Save();
    Check();
}

void frmVerify::AcceptSelected() {
    AppliedRecord& record = main_.Record;
    const std::string path = SelectedPath();
    if (path.empty())
        return;
    const std::string file = main_.GamePath + path;
    // The record follows the file: one that is gone is no longer answered for.
    if (NativeFs::FileExists(file))
        record.NoteAsItIs(file);
    else
        record.Forget(file);
    record.Save();
    Check();
}
