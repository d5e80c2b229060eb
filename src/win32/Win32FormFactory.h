#pragma once

#include "Controls.h"

// Makes the program's windows from their descriptions with the system's own controls:
// the main window and the setup manager laid out as a player knows them, any other
// described window in one column with its buttons along the bottom.
class Win32FormFactory : public FormFactory {
  protected:
    std::unique_ptr<Form> MakeForm(const WindowDescription& Description) override;
};
