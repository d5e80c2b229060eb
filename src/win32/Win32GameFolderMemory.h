#pragma once

#include "GameFolderMemory.h"

// The remembered game folder in the user's application data:
// %APPDATA%\Quillon\Quillon.ini, entry GameFolder of the section [Quillon].
class Win32GameFolderMemory : public GameFolderMemory {
  public:
    std::string Recall() const override;
    void Remember(const std::string& folder) override;
};
