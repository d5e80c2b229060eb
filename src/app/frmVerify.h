#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"

class frmMain;

// "Verify Game Files": compares the game folder with the record of applied files and
// lists every file that is not as Quillon left it; the player may copy a mod's file
// again (Re-apply) or take a file as it is now (Accept).
class frmVerify {
  public:
    frmVerify(FormFactory& Factory, frmMain& Main);
    ~frmVerify();

    // The window's controls, as every front end draws them.
    static const WindowDescription& Description();

    // Checks the game folder and shows the window modally.
    void ShowModal();
    Form& Window() { return *form_; }

    // Fills the list from a fresh comparison.
    void Check();
    void ReapplySelected();
    void AcceptSelected();

  private:
    // The record's path of the selected file, or "" when none is selected.
    std::string SelectedPath() const;

    std::unique_ptr<Form> form_;
    frmMain& main_;
};
