#pragma once

#include <string>

#include "Controls.h"
#include "Dialogs.h"
#include "GameFolderMemory.h"

// The desktop program from its command line to its end: start-up (the main window's
// load step), then the main window until it closes. An error in either, the main
// window's making included, is shown and ends the program without saving. Returns
// the exit status: 0 when the program ended normally, 1 when an error ended it.
// Needs the application object and an installed dialog service.
int RunDesktopProgram(FormFactory& factory, CommonDialog& fileDialog, Launcher& launcher,
                      GameFolderMemory& rememberedGame, const std::string& commandLine);
