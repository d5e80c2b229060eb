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
    // Act on every selected file, then check again.
    void ReapplySelected();
    void AcceptSelected();

  private:
    // The record's paths of the selected files.
    std::vector<std::string> SelectedPaths() const;
    // Copies the mod's file again over the file at Path (the log open); a problem
    // that keeps it from doing so is returned, in the player's words.
    std::string Reapply(const std::string& Path);

    std::unique_ptr<Form> form_;
    frmMain& main_;
};
