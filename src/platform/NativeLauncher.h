#pragma once

#include "Dialogs.h"

// Starts the game as a program of its own, never through a shell, without waiting
// for it. On Linux and macOS a program ending in ".exe" that cannot be run itself is
// started through wine when wine is on the PATH.
class NativeLauncher : public Launcher {
public:
    void Launch(const std::string& program) override;
};
