#include "frmPreview.h"

#include "Dialogs.h"
#include "Setup.h"

// Each control names only the fields it has; GCC would warn of the others, which keep
// their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

const WindowDescription& frmPreview::Description() {
    using K = ControlKind;
    static const WindowDescription description{
        .Name = "frmPreview",
        .Caption = "Preview",
        .Dialog = true,
        .Controls = {
            {.Name = "lstPreview", .Kind = K::ListView, .Items = {"File", "Action"}},
            {.Name = "lblPreviewSummary", .Kind = K::Label},
            {.Name = "cmdPreviewApply", .Kind = K::Button, .Caption = "&Apply"},
            {.Name = "cmdPreviewClose", .Kind = K::Button, .Caption = "&Close"},
        }};
    return description;
}

frmPreview::frmPreview(FormFactory& Factory, std::function<void()> Apply)
    : form_(Factory.CreateForm(Description())), apply_(std::move(Apply)) {
    Form& f = *form_;
    // The main window shows the apply's progress and messages: this window goes first.
    f.ButtonNamed("cmdPreviewApply").Click = [this] {
        form_->Hide();
        RunHandler(apply_);
    };
    f.ButtonNamed("cmdPreviewClose").Click = [this] { form_->Hide(); };
}

frmPreview::~frmPreview() = default;

void frmPreview::ShowModal(const Setup& Current, const Setup& Selected, const Modis& AllModis,
                           const ApplyOptions& Options, const GameFolder& Game) {
    const ApplyPreview preview = PreviewApply(Current, Selected, AllModis, Options, Game);
    form_->SetCaption("Preview: " + Current.Name + " to " + Selected.Name);
    ListView& list = form_->ListViewNamed("lstPreview");
    list.Clear();
    int row = 0;
    for (const PlannedStep& step : preview.Steps)
        list.SetSubItem(list.AddItem(std::to_string(++row), step.File), step.Action());
    form_->LabelNamed("lblPreviewSummary").SetCaption(preview.Summary());
    form_->ShowModal();
}
