#pragma once

#include <functional>
#include <memory>

#include "ApplyPreview.h"
#include "Controls.h"

class Modis;
class Setup;

// The preview of Apply: a modal window that lists what applying the selected setup
// would do to the game folder, step by step, and offers to do it. Short of that it
// only reads.
class frmPreview {
  public:
    // Apply is the main window's Apply of the selected setup.
    frmPreview(FormFactory& Factory, std::function<void()> Apply);
    ~frmPreview();

    // The window's controls, as every front end draws them.
    static const WindowDescription& Description();

    // Shows what switching from Current to Selected would do; returns when the window
    // is closed, or when the setup has been applied from it.
    void ShowModal(const Setup& Current, const Setup& Selected, const Modis& AllModis,
                   const ApplyOptions& Options, const GameFolder& Game);
    Form& Window() { return *form_; }

  private:
    std::unique_ptr<Form> form_;
    std::function<void()> apply_;
};
