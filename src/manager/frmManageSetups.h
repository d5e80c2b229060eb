#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Controls.h"
#include "GameFolder.h"
#include "Modis.h"
#include "Setup.h"
#include "Setups.h"

// The setup manager: a modal window in which setups are created and deleted and
// their mods added, removed and ordered under the compatibility rules. It edits the
// main window's own objects in place.
class frmManageSetups {
  public:
    // ConvertVarnixMods is the main window's conversion, run by "Seek Varnix mods";
    // Game tells where the files of a setup land, for the window that lists them.
    frmManageSetups(FormFactory& Factory, std::function<void()> ConvertVarnixMods,
                    std::function<GameFolder()> Game);
    ~frmManageSetups();

    // The window's controls, as every front end draws them.
    static const WindowDescription& Description();

    void Setup(std::shared_ptr<::Setups> NewSetups, std::shared_ptr<::Modis> NewModis,
               std::shared_ptr<::Setup> NewActiveSetup);
    // Shows the window modally; returns when it has been hidden.
    void ShowModal();
    Form& Window() { return *form_; }

    void RefreshSetups();
    void RefreshSetupModis();
    void RefreshAllMods();
    void AddNewSetup();
    void DeleteSetup();
    void AddSelectedMod();
    void RemoveSelectedMod();
    void RemoveAllMods();
    void MoveModDown();
    void MoveModUp();
    // Shows the files of the selected setup in their own modal window.
    void ShowSetupFiles();

    std::shared_ptr<::Setups> Setups;
    std::shared_ptr<::Modis> Modis;
    std::shared_ptr<::Setup> ActiveSetup;
    std::shared_ptr<::Setup> SelectedSetup;
    bool NeedsRefresh = false;
    bool DisregardIncompatibility = false;
    bool HideIncompatible = false;
    bool HidePrerequisite = false;

  private:
    void CreateControls();
    void SelectSetupItem(int Index);
    void ShowDescription(ListView& List, int Index);
    void SeekVarnixMods();
    // The window has become active: rebuild the lists when new state was handed in.
    void Activated();

    FormFactory& factory_;
    std::unique_ptr<Form> form_;
    std::function<void()> convertVarnixMods_;
    std::function<GameFolder()> game_;
};
