#pragma once

#include "GameFolderMemory.h"

// The remembered game folder in the user's settings of the toolkit (on Linux
// ~/.config/Quillon/Quillon.conf, or under XDG_CONFIG_HOME when that is set).
class QtGameFolderMemory : public GameFolderMemory {
  public:
    std::string Recall() const override;
    void Remember(const std::string& folder) override;
};
