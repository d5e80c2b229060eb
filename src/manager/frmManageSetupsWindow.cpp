// The setup manager's controls, as every front end draws them.
#include "frmManageSetups.h"

// Each control names only the fields it has; GCC would warn of the others, which keep
// their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
using K = ControlKind;
}

const WindowDescription& frmManageSetups::Description() {
    static const WindowDescription description{
        .Name = "frmManageSetups",
        .Caption = "Manage Setups",
        .Dialog = true,
        .Controls = {
            {.Name = "lblSetups",
             .Kind = K::Label,
             .Caption = "Setups (excluding Original Game and currently applied setup):"},
            {.Name = "lstSetups", .Kind = K::ListView},
            {.Name = "cmdNew", .Kind = K::Button, .Caption = "&New"},
            {.Name = "cmdDelete", .Kind = K::Button, .Caption = "&Delete"},
            {.Name = "lblSetupModis", .Kind = K::Label, .Caption = "Mods in this setup:"},
            {.Name = "lstSetupModis", .Kind = K::ListView},
            // Opens the files of the setup chosen, so none while none is.
            {.Name = "cmdSetupFiles", .Kind = K::Button, .Caption = "&Files...", .Enabled = false},
            {.Name = "cmdAdd", .Kind = K::Button, .Caption = "<< &Add"},
            {.Name = "cmdRemove", .Kind = K::Button, .Caption = "&Remove >>"},
            {.Name = "cmdRemoveAll", .Kind = K::Button, .Caption = "Remove A&ll"},
            {.Name = "cmdMoveUp", .Kind = K::Button, .Caption = "Move &Up"},
            {.Name = "cmdMoveDown", .Kind = K::Button, .Caption = "Move &Down"},
            {.Name = "lblModis", .Kind = K::Label, .Caption = "All mods:"},
            {.Name = "lstModis", .Kind = K::ListView, .Items = {"Name", "Compatibility:"}},
            {.Name = "chkHideIncompatible",
             .Kind = K::CheckBox,
             .Caption = "Do not list mods which are incompatible with current selection"},
            {.Name = "chkHidePrerequisite",
             .Kind = K::CheckBox,
             .Caption = "Do not list mods which have prerequisites not in the current selection"},
            {.Name = "chkDisregardIncompatibility",
             .Kind = K::CheckBox,
             .Caption = "Disregard incompatibility (this is dangerous)"},
            {.Name = "lblDescription", .Kind = K::Label, .Caption = "Description of current mod:"},
            {.Name = "txtDescription", .Kind = K::TextBox, .MultiLine = true, .ReadOnly = true},
            {.Name = "cmdConvertVarnixMods", .Kind = K::Button, .Caption = "Seek Varnix mods"},
            {.Name = "cmdExit", .Kind = K::Button, .Caption = "E&xit"},
        }};
    return description;
}
