#pragma once

#include <memory>
#include <string>

#include "Controls.h"

// Builds the desktop windows: a widget for each described control, and the layout of
// each window the program has ("frmMain", "frmManageSetups", "frmSetupFiles",
// "frmPreview"). Another window raises QuillonError.
class QtFormFactory : public FormFactory {
  protected:
    std::unique_ptr<Form> MakeForm(const WindowDescription& Description) override;
};
