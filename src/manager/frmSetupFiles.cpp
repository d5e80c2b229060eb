#include "frmSetupFiles.h"

#include "Dialogs.h"
#include "Setup.h"

// Each control names only the fields it has; GCC would warn of the others, which keep
// their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

const WindowDescription& frmSetupFiles::Description() {
    using K = ControlKind;
    static const WindowDescription description{
        .Name = "frmSetupFiles",
        .Caption = "Files",
        .Dialog = true,
        .Controls = {
            {.Name = "lstSetupFiles", .Kind = K::ListView, .Items = {"File", "Mod"}},
            {.Name = "chkSetupFilesConflicts",
             .Kind = K::CheckBox,
             .Caption = "Show only files that more than one mod writes"},
            {.Name = "lblSetupFilesSummary", .Kind = K::Label},
            {.Name = "cmdSetupFilesClose", .Kind = K::Button, .Caption = "&Close"},
        }};
    return description;
}

frmSetupFiles::frmSetupFiles(FormFactory& Factory) : form_(Factory.CreateForm(Description())) {
    Form& f = *form_;
    f.CheckBoxNamed("chkSetupFilesConflicts").Click = [this] {
        RunHandler([this] { RefreshFiles(); });
    };
    f.ButtonNamed("cmdSetupFilesClose").Click = [this] { form_->Hide(); };
}

frmSetupFiles::~frmSetupFiles() = default;

void frmSetupFiles::ShowModal(const ::Setup& Setup, const GameFolder& Game) {
    files_ = FilesOfSetup(Setup, Game);
    form_->SetCaption("Files of " + Setup.Name);
    form_->LabelNamed("lblSetupFilesSummary").SetCaption(files_.Summary());
    RefreshFiles();
    form_->ShowModal();
}

void frmSetupFiles::RefreshFiles() {
    const bool conflictsOnly =
        form_->CheckBoxNamed("chkSetupFilesConflicts").Value() == CheckState::Ticked;
    ListView& list = form_->ListViewNamed("lstSetupFiles");
    list.Clear();
    for (const SetupFile& file : files_.Files) {
        if (conflictsOnly && file.Overridden.empty())
            continue;
        list.SetSubItem(list.AddItem(file.Path, file.Path), file.ModText());
    }
}
