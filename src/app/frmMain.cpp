#include "frmMain.h"

#include "QuillonError.h"
#include "frmManageSetups.h"
#include "Useful.h"

frmMain::frmMain(FormFactory& Factory, CommonDialog& Dialog, Launcher& GameLauncher,
                 std::string CommandLine)
    : factory_(Factory), dialog_(Dialog), launcher_(GameLauncher), commandLine_(std::move(CommandLine)) {
    mRestoreOriginalAction = std::make_shared<Action>();
    Setups = std::make_shared<::Setups>();
    Modis = std::make_shared<::Modis>();
    form_ = factory_.CreateForm("frmMain");
}

frmMain::~frmMain() = default;

void frmMain::Load() {
    ParseCommandLine();
    if (!LocateFolders()) {
        ended_ = true;
        return;
    }
    loaded_ = true;
}

void frmMain::Close() { ended_ = true; }
