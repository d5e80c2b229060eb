#pragma once

#include <memory>

#include "Controls.h"
#include "GameFolder.h"
#include "SetupFiles.h"

class Setup;

// The files of a setup: a modal window that lists every game file the setup's mods
// write and the mod whose file the game ends up with. It only reads.
class frmSetupFiles {
  public:
    explicit frmSetupFiles(FormFactory& Factory);
    ~frmSetupFiles();

    // The window's controls, as every front end draws them.
    static const WindowDescription& Description();

    // Lists the files of the setup and shows the window; returns when it is closed.
    void ShowModal(const ::Setup& Setup, const GameFolder& Game);
    Form& Window() { return *form_; }

  private:
    // Fills the list, all files or only those more than one mod writes.
    void RefreshFiles();

    std::unique_ptr<Form> form_;
    SetupFiles files_;
};
