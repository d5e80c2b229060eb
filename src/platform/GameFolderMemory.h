#pragma once

#include <string>

// The game folder the desktop program last worked on, kept for its user between
// runs, so that started from the menu (in the home folder) it still finds the game.
// Folders are in the program's own spelling.
class GameFolderMemory {
  public:
    virtual ~GameFolderMemory() = default;
    // The folder remembered, or "" when there is none.
    virtual std::string Recall() const = 0;
    virtual void Remember(const std::string& folder) = 0;
};
