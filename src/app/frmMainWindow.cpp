// The main window's controls, as every front end draws them.
#include "ProgramIdentity.h"
#include "frmMain.h"
#include "frmManageSetups.h"
#include "frmPreview.h"
#include "frmSetupFiles.h"
#include "frmVerify.h"

// Each control names only the fields it has; GCC would warn of the others, which keep
// their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
using K = ControlKind;
// The up-downs' range; NumPlayers may go below 4 (the note in the window says so).
constexpr int kPlayersMin = 1;
constexpr int kPlayersMax = 32;
}  // namespace

const WindowDescription& frmMain::Description() {
    static const WindowDescription description{
        .Name = "frmMain",
        .Caption = ProgramIdentity::Title,
        .Controls = {
            {.Name = "fraSetups", .Kind = K::Frame, .Caption = "Setups"},
            {.Name = "lstSetups", .Kind = K::ListView},
            {.Name = "lblCurrentSetup", .Kind = K::Label, .Caption = "Currently applied:"},
            {.Name = "txtCurrentSetup", .Kind = K::TextBox, .ReadOnly = true},
            {.Name = "cmdApply", .Kind = K::Button, .Caption = "&Apply"},
            {.Name = "cmdPreview", .Kind = K::Button, .Caption = "Pre&view..."},
            {.Name = "cmdApplyLaunch", .Kind = K::Button, .Caption = "Apply and &Launch QEL2"},
            {.Name = "cmdManageSetups", .Kind = K::Button, .Caption = "&Manage..."},
            {.Name = "cmdVerify", .Kind = K::Button, .Caption = "&Verify..."},
            {.Name = "fraAdvanced", .Kind = K::Frame, .Caption = "Advanced settings"},
            {.Name = "chkLog", .Kind = K::CheckBox, .Caption = "Log operations to quill.log"},
            {.Name = "chkRestoreOriginal",
             .Kind = K::CheckBox,
             .Caption = "Perform careful restoration of original settings before application"},
            {.Name = "chkReinitialize",
             .Kind = K::CheckBox,
             .Caption = "Reinitialize mods before application"},
            {.Name = "fraUserProfile", .Kind = K::Frame, .Caption = "Userprofile.txt settings"},
            {.Name = "lblNumPlayers", .Kind = K::Label, .Caption = "NumPlayers:"},
            {.Name = "txtNumPlayers", .Kind = K::TextBox},
            {.Name = "udNumPlayers",
             .Kind = K::UpDown,
             .Buddy = "txtNumPlayers",
             .Min = kPlayersMin,
             .Max = kPlayersMax},
            {.Name = "lblMaxPlayers", .Kind = K::Label, .Caption = "MaxPlayers:"},
            {.Name = "txtMaxPlayers", .Kind = K::TextBox},
            {.Name = "udMaxPlayers",
             .Kind = K::UpDown,
             .Buddy = "txtMaxPlayers",
             .Min = kPlayersMin,
             .Max = kPlayersMax},
            {.Name = "chkUserProfileOverride",
             .Kind = K::CheckBox,
             .Caption = "Allow mods to override your Userprofile.txt settings"},
            {.Name = "chkDebugVESK", .Kind = K::CheckBox, .Caption = "DebugVESK"},
            {.Name = "lblNote",
             .Kind = K::Label,
             .Caption = "(Values of either setting greater than 29, or of NumPlayers less than 4 "
                        "will work only with the Brevane Edition executable)"},
            {.Name = "lblLanguage", .Kind = K::Label, .Caption = "Language:"},
            {.Name = "cmbLanguage",
             .Kind = K::ComboBox,
             .Items = {"english", "french", "german", "italian", "japanese", "spanish"},
             .Text = "english"},
            {.Name = "cmdExit", .Kind = K::Button, .Caption = "Exit"},
            {.Name = "prgBar", .Kind = K::ProgressBar, .Visible = false},
            // The first panel shows the status of long operations.
            {.Name = "stbStatus",
             .Kind = K::StatusBar,
             .Items = {"", ProgramIdentity::VersionText}},
        }};
    return description;
}

const std::vector<const WindowDescription*>& frmMain::Windows() {
    static const std::vector<const WindowDescription*> windows{
        &Description(), &frmManageSetups::Description(), &frmSetupFiles::Description(),
        &frmPreview::Description(), &frmVerify::Description()};
    return windows;
}
