#include "frmManageSetups.h"

#include "Dialogs.h"
#include "ProgramIdentity.h"
#include "QuillonError.h"
#include "Useful.h"
#include "frmSetupFiles.h"

namespace {

// Why a name could not be written to quill.ini and read back as the same setup, or ""
// when it can.
std::string UnstorableNameReason(const std::string& name) {
    if (name == "@")
        return "A setup cannot be named \"@\": that line ends a list in quill.ini.";
    if (name.find("//") != std::string::npos)
        return "A setup name cannot contain \"//\": quill.ini would read the rest as a comment.";
    if (name.find('\t') != std::string::npos)
        return "A setup name cannot contain a tab: quill.ini separates its entries with tabs.";
    if (name.find_first_of("\r\n") != std::string::npos)
        return "A setup name cannot hold a line break.";
    if (Useful::IsWhiteSpace(name.front()) || Useful::IsWhiteSpace(name.back()))
        return "A setup name cannot begin or end with a blank: quill.ini would not keep it.";
    return "";
}
}  // namespace

frmManageSetups::frmManageSetups(FormFactory& Factory, std::function<void()> ConvertVarnixMods,
                                 std::function<GameFolder()> Game)
    : factory_(Factory),
      form_(Factory.CreateForm(Description())),
      convertVarnixMods_(std::move(ConvertVarnixMods)),
      game_(std::move(Game)) {
    CreateControls();
}

frmManageSetups::~frmManageSetups() = default;

void frmManageSetups::CreateControls() {
    Form& f = *form_;
    ListView& setups = f.ListViewNamed("lstSetups");
    ListView& setupModis = f.ListViewNamed("lstSetupModis");
    ListView& modis = f.ListViewNamed("lstModis");

    setups.ItemClick = [this](int index) { RunHandler([this, index] { SelectSetupItem(index); }); };
    setups.KeyUp = [this](ListKey key) {
        if (key == ListKey::Delete)
            RunHandler([this] { DeleteSetup(); });
    };
    setupModis.ItemClick = [this, &setupModis](int index) {
        RunHandler([this, &setupModis, index] { ShowDescription(setupModis, index); });
    };
    setupModis.KeyUp = [this](ListKey) { RunHandler([this] { RemoveSelectedMod(); }); };
    modis.ItemClick = [this, &modis](int index) {
        RunHandler([this, &modis, index] { ShowDescription(modis, index); });
    };
    modis.KeyUp = [this](ListKey key) {
        if (key == ListKey::Enter)
            RunHandler([this] { AddSelectedMod(); });
    };
    modis.DblClick = [this] { RunHandler([this] { AddSelectedMod(); }); };

    const std::pair<const char*, void (frmManageSetups::*)()> actions[] = {
        {"cmdNew", &frmManageSetups::AddNewSetup},
        {"cmdDelete", &frmManageSetups::DeleteSetup},
        {"cmdAdd", &frmManageSetups::AddSelectedMod},
        {"cmdRemove", &frmManageSetups::RemoveSelectedMod},
        {"cmdRemoveAll", &frmManageSetups::RemoveAllMods},
        {"cmdMoveUp", &frmManageSetups::MoveModUp},
        {"cmdMoveDown", &frmManageSetups::MoveModDown},
        {"cmdConvertVarnixMods", &frmManageSetups::SeekVarnixMods},
        {"cmdSetupFiles", &frmManageSetups::ShowSetupFiles}};
    for (const auto& [name, action] : actions)
        f.ButtonNamed(name).Click = [this, action] {
            RunHandler([this, action] { (this->*action)(); });
        };
    f.ButtonNamed("cmdExit").Click = [this] { form_->Hide(); };

    CheckBox& disregard = f.CheckBoxNamed("chkDisregardIncompatibility");
    disregard.Click = [this, &disregard] {
        DisregardIncompatibility = disregard.Value() == CheckState::Ticked;
    };
    CheckBox& hideIncompatible = f.CheckBoxNamed("chkHideIncompatible");
    hideIncompatible.Click = [this, &hideIncompatible] {
        HideIncompatible = hideIncompatible.Value() == CheckState::Ticked;
        RunHandler([this] { RefreshAllMods(); });
    };
    CheckBox& hidePrerequisite = f.CheckBoxNamed("chkHidePrerequisite");
    hidePrerequisite.Click = [this, &hidePrerequisite] {
        HidePrerequisite = hidePrerequisite.Value() == CheckState::Ticked;
        RunHandler([this] { RefreshAllMods(); });
    };

    f.Activate = [this] { RunHandler([this] { Activated(); }); };
    // Closing from the title bar only hides the window; it is shown again later.
    f.QueryClose = [this] {
        form_->Hide();
        return true;
    };
}

void frmManageSetups::Setup(std::shared_ptr<::Setups> NewSetups, std::shared_ptr<::Modis> NewModis,
                            std::shared_ptr<::Setup> NewActiveSetup) {
    Setups = std::move(NewSetups);
    Modis = std::move(NewModis);
    ActiveSetup = std::move(NewActiveSetup);
    NeedsRefresh = true;
}

void frmManageSetups::Activated() {
    if (!NeedsRefresh)
        return;
    NeedsRefresh = false;
    RefreshSetups();
}

void frmManageSetups::ShowModal() {
    // Front ends raise Activate when the window comes up; the refresh must not
    // depend on it.
    RunHandler([this] { Activated(); });
    form_->ShowModal();
}

void frmManageSetups::SelectSetupItem(int Index) {
    ListView& setups = form_->ListViewNamed("lstSetups");
    setups.Select(Index);
    SelectedSetup = Setups->Item(setups.Key(Index));
    RefreshSetupModis();
    RefreshAllMods();
}

void frmManageSetups::ShowDescription(ListView& List, int Index) {
    form_->TextBoxNamed("txtDescription").SetText(Modis->Item(List.Key(Index))->Description());
}

void frmManageSetups::SeekVarnixMods() {
    convertVarnixMods_();
    MsgBox("Mods have been sought.  Please restart Quillon to access them.", MsgIcon::Information,
           MsgButtons::OK);
}

void frmManageSetups::RefreshSetups() {
    ListView& list = form_->ListViewNamed("lstSetups");
    list.Clear();
    SelectedSetup = nullptr;
    for (long i = 2; i <= Setups->Count(); ++i) {
        const auto& setup = Setups->Item(i);
        if (setup == ActiveSetup)
            continue;
        list.AddItem(setup->Key, setup->Name);
    }
    if (list.Count() > 0) {
        SelectSetupItem(1);
    } else {
        RefreshSetupModis();
        RefreshAllMods();
    }
}

void frmManageSetups::RefreshSetupModis() {
    ListView& list = form_->ListViewNamed("lstSetupModis");
    list.Clear();
    form_->ButtonNamed("cmdSetupFiles").SetEnabled(SelectedSetup != nullptr);
    if (!SelectedSetup)
        return;
    for (const auto& mod : *SelectedSetup->Modis())
        list.AddItem(mod->Key, mod->Name());
}

void frmManageSetups::ShowSetupFiles() {
    if (!SelectedSetup)
        return;
    frmSetupFiles files(factory_);
    files.ShowModal(*SelectedSetup, game_());
}

void frmManageSetups::RefreshAllMods() {
    ListView& list = form_->ListViewNamed("lstModis");
    list.Clear();
    if (!SelectedSetup)
        return;
    for (const auto& mod : *Modis) {
        const ModCompatibility compatibility = mod->CompatibleWith(*SelectedSetup->Modis());
        std::string text;
        switch (compatibility.Compatibility) {
            case CompatibilityKind::Compatible:
                text = "Compatible";
                break;
            case CompatibilityKind::Incompatible:
                if (HideIncompatible)
                    continue;
                text = "Incompatible with ";
                break;
            case CompatibilityKind::NeedsPrerequisite:
                if (HidePrerequisite)
                    continue;
                text = "Needs ";
                break;
            default:
                throw QuillonError(ProgramError::InvalidCompatibility, "Quillon.frmManageSetups",
                                   "Invalid compatinility type in sub RefreshAllMods");
        }
        if (!compatibility.ModiKey.empty()) {
            auto other = Modis->ItemNoError(compatibility.ModiKey);
            text += other ? other->Name() : compatibility.ModiKey;
        }
        const int index = list.AddItem(mod->Key, mod->Name());
        list.SetSubItem(index, text);
    }
}

void frmManageSetups::AddNewSetup() {
    const std::string name = InputBox("New setup name:", ProgramIdentity::Title, "");
    if (name.empty())
        return;
    // Keys ignore letter case: "test" is taken when "Test" exists.
    if (Setups->HasKey(name) || Setups->ItemNoError(name)) {
        MsgBox("There is already a setup with that name.", MsgIcon::Warning, MsgButtons::OK);
        return;
    }
    const std::string reason = UnstorableNameReason(name);
    if (!reason.empty()) {
        MsgBox(reason, MsgIcon::Warning, MsgButtons::OK);
        return;
    }
    auto setup = Setups->Add(name, name);
    RefreshSetups();
    ListView& list = form_->ListViewNamed("lstSetups");
    list.Select(list.FindKey(setup->Key));
    SelectedSetup = setup;
    RefreshSetupModis();
    RefreshAllMods();
}

void frmManageSetups::DeleteSetup() {
    ListView& list = form_->ListViewNamed("lstSetups");
    const int selected = list.SelectedIndex();
    if (selected == 0)
        return;
    Setups->Remove(list.Key(selected));
    RefreshSetups();
}

void frmManageSetups::AddSelectedMod() {
    ListView& list = form_->ListViewNamed("lstModis");
    const int selected = list.SelectedIndex();
    if (selected == 0 || !SelectedSetup)
        return;
    auto mod = Modis->Item(list.Key(selected));
    const ModCompatibility compatibility = mod->CompatibleWith(*SelectedSetup->Modis());
    if (compatibility.Compatibility == CompatibilityKind::Compatible || DisregardIncompatibility)
        SelectedSetup->AddMod(mod, DisregardIncompatibility);
    else
        MsgBox(mod->Name() + " cannot be added due to compatibility constraints.",
               MsgIcon::Information, MsgButtons::OK);
    RefreshSetupModis();
    RefreshAllMods();
}

void frmManageSetups::RemoveSelectedMod() {
    ListView& list = form_->ListViewNamed("lstSetupModis");
    const int selected = list.SelectedIndex();
    if (selected == 0 || !SelectedSetup)
        return;
    const auto& mods = *SelectedSetup->Modis();
    auto mod = mods.Item(list.Key(selected));
    if (!DisregardIncompatibility) {
        // A prerequisite stands before the mods that need it: only later ones can.
        for (int i = selected + 1; i <= list.Count(); ++i) {
            auto other = mods.Item(list.Key(i));
            if (other->IsPrerequisite(*mod)) {
                MsgBox(mod->Name() + " cannot be removed since it is required by " + other->Name(),
                       MsgIcon::Information, MsgButtons::OK);
                return;
            }
        }
    }
    SelectedSetup->Modis()->Remove(mod->Key);
    RefreshSetupModis();
    RefreshAllMods();
}

void frmManageSetups::RemoveAllMods() {
    ListView& list = form_->ListViewNamed("lstSetupModis");
    while (list.Count() > 0) {
        const int before = list.Count();
        list.Select(before);
        RemoveSelectedMod();
        if (list.Count() >= before)
            break;
    }
}

void frmManageSetups::MoveModDown() {
    ListView& list = form_->ListViewNamed("lstSetupModis");
    const int selected = list.SelectedIndex();
    if (selected == 0 || selected == list.Count() || !SelectedSetup)
        return;
    auto& mods = *SelectedSetup->Modis();
    auto mod = mods.Item(list.Key(selected));
    auto next = mods.Item(list.Key(selected + 1));
    if (next->IsPrerequisite(*mod) && !DisregardIncompatibility) {
        MsgBox("Cannot move since " + mod->Name() + Useful::CrLf + "is a prerequisite of " +
                   next->Name(),
               MsgIcon::Information, MsgButtons::OK);
        return;
    }
    mods.Remove(next->Key);
    mods.SneakyAdd(next, next->Key, mod->Key);
    RefreshSetupModis();
    RefreshAllMods();
    list.Select(selected + 1);
}

void frmManageSetups::MoveModUp() {
    ListView& list = form_->ListViewNamed("lstSetupModis");
    const int selected = list.SelectedIndex();
    if (selected <= 1)
        return;
    list.Select(selected - 1);
    MoveModDown();
    list.Select(selected - 1);
}
