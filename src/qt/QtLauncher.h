#pragma once

#include <string>

#include "Dialogs.h"

// Starts the game as a process of its own that outlives the program, from the
// program file itself (never a command line for a shell to read), in the
// program's current folder. On Linux and macOS a Windows program that cannot be
// run itself is started through wine when wine is on the PATH.
class QtLauncher : public Launcher {
  public:
    void Launch(const std::string& program) override;
};
