#include "frmMain.h"

#include "Clock.h"
#include "ModDiscovery.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "Shared.h"
#include "Useful.h"
#include "VarnixConversion.h"
#include "frmManageSetups.h"
#include "frmPreview.h"
#include "frmVerify.h"

frmMain::frmMain(FormFactory& Factory, CommonDialog& Dialog, Launcher& GameLauncher,
                 std::string CommandLine, GameFolderMemory* RememberedGame)
    : factory_(Factory),
      dialog_(Dialog),
      launcher_(GameLauncher),
      commandLine_(std::move(CommandLine)),
      rememberedGame_(RememberedGame) {
    mRestoreOriginalAction = std::make_shared<Action>();
    Setups = std::make_shared<::Setups>();
    Modis = std::make_shared<::Modis>();
    form_ = factory_.CreateForm(Description());
    CreateControls();
}

frmMain::~frmMain() {
    // The layer below outlives the window: it must neither call back into it nor keep
    // its game folder's confinement for whoever comes next.
    NativeFs::OnNameSkipped(nullptr);
    NativeFs::ConfineWritesTo("");
}

void frmMain::CreateControls() {
    Form& f = *form_;
    auto option = [&f](const char* name, bool& flag) {
        CheckBox& box = f.CheckBoxNamed(name);
        box.Click = [&box, &flag] { flag = box.Value() == CheckState::Ticked; };
    };
    option("chkLog", Log);
    option("chkRestoreOriginal", RestoreOriginal);
    option("chkReinitialize", Reinitialize);
    option("chkUserProfileOverride", UserProfileOverride);
    option("chkDebugVESK", DebugVesk);
    ComboBox& language = f.ComboBoxNamed("cmbLanguage");
    language.Click = [this, &language] { Language = language.Text(); };
    f.ButtonNamed("cmdApply").Click = [this] { RunHandler([this] { ApplySelectedSetup(); }); };
    f.ButtonNamed("cmdPreview").Click = [this] { RunHandler([this] { PreviewSelectedSetup(); }); };
    f.ButtonNamed("cmdApplyLaunch").Click = [this] {
        RunHandler([this] {
            if (!ApplySelectedSetup())
                LaunchGame();
        });
    };
    f.ButtonNamed("cmdManageSetups").Click = [this] { RunHandler([this] { ManageSetups(); }); };
    f.ButtonNamed("cmdVerify").Click = [this] { RunHandler([this] { VerifyGameFiles(); }); };
    f.ButtonNamed("cmdExit").Click = [this] { Close(); };
    f.QueryClose = [this] {
        Close();
        return false;
    };
}

void frmMain::Close() {
    if (ended_)
        return;
    if (loaded_) {
        RunHandler([this] {
            WriteSettings();
            WriteUserProfileSettings();
        });
    }
    ended_ = true;
    if (manager_)
        manager_->Window().Close();
    if (verify_)
        verify_->Window().Close();
    form_->Close();
}

void frmMain::OnProgress(std::int32_t Step, std::int32_t OutOf) {
    ProgressBar& bar = form_->ProgressBarNamed("prgBar");
    if (Step < 0) {
        bar.SetVisible(false);
    } else {
        bar.SetVisible(true);
        // The maximum first, so that a value above the previous maximum is taken.
        bar.SetMax(OutOf);
        bar.SetValue(Step);
    }
    if (ProgressShown)
        ProgressShown(Step, OutOf);
    form_->Refresh();
}

void frmMain::OnStatus(const std::string& Status) {
    form_->StatusBarNamed("stbStatus").SetPanelText(1, Status);
    if (StatusShown)
        StatusShown(Status);
    form_->Refresh();
}

void frmMain::RefreshSetupsList() {
    ListView& list = form_->ListViewNamed("lstSetups");
    list.Clear();
    for (const auto& setup : *Setups) {
        int index = list.AddItem(setup->Key, setup->Name);
        if (setup == CurrentSetup)
            list.Select(index);
    }
}

void frmMain::ManageSetups() {
    if (!manager_)
        manager_ = std::make_unique<frmManageSetups>(
            factory_, [this] { ConvertVarnixMods(); }, [this] { return Game(); });
    manager_->Setup(Setups, Modis, CurrentSetup);
    manager_->ShowModal();
    RefreshSetupsList();
}

void frmMain::VerifyGameFiles() {
    if (!verify_)
        verify_ = std::make_unique<frmVerify>(factory_, *this);
    verify_->ShowModal();
}

GameFolder frmMain::Game() const {
    return GameFolder{FileInterface.get(), Language, GamePath};
}

void frmMain::PreviewSelectedSetup() {
    const std::shared_ptr<Setup> selected = ChosenSetup();
    if (!selected)
        return;
    frmPreview preview(factory_, [this] { ApplySelectedSetup(); });
    preview.ShowModal(*CurrentSetup, *selected, *Modis, ApplyOptions{RestoreOriginal, Reinitialize},
                      Game());
}

void frmMain::ConvertVarnixMods() {
    ::ConvertVarnixMods(FileInterface.get(), GamePath, ModsPath, *Modis);
}

void frmMain::DiscoverMods() {
    ::DiscoverMods(FileInterface.get(), ModsPath, *Modis);
}

void frmMain::WriteDefaultSettings() {
    Settings::WriteDefaultSettings(SettingsFile, FileInterface.get(), ProgramPath);
}

void frmMain::ReadSettings() {
    Settings::ReadSettings(SettingsFile, *this);
}

void frmMain::WriteSettings() {
    Settings::WriteSettings(SettingsFile, *this);
}
