#pragma once

#include <memory>
#include <string>

#include "Controls.h"

// Builds the desktop windows: their widgets, names and layout. The captions, the
// entries and every handler come from the window logic.
class QtFormFactory : public FormFactory {
  public:
    // "frmMain" or "frmManageSetups"; another name raises QuillonError.
    std::unique_ptr<Form> CreateForm(const std::string& name) override;
};
