#pragma once

#include <string>
#include <vector>

#include "Dialogs.h"

// Starts the game as a program of its own, never through a shell, without waiting
// for it. On Linux and macOS a program ending in ".exe" that cannot be run itself is
// started through wine when wine is on the PATH.
class NativeLauncher : public Launcher {
  public:
    void Launch(const std::string& program) override;

    // The words that start the program in the system's spelling: the program
    // itself, or wine and the program. Raises QuillonError when it cannot start.
    static std::vector<std::string> CommandFor(const std::string& program);

    // Whether only this launcher can start the game as the system should (on Windows,
    // its window maximized and in front); a front end's own way of starting programs
    // serves elsewhere.
    static bool StartsWindowMaximized();
};
