// quillon.exe: the desktop program on Windows.
// The system header first: the controls' and dialogs' headers need it.
#include "Win32Support.h"

#include <commctrl.h>

#include <cstdio>
#include <iostream>

#include "CommandLine.h"
#include "EventGuard.h"
#include "NativeLauncher.h"
#include "ProgramIdentity.h"
#include "Win32Dialogs.h"
#include "Win32Events.h"
#include "Win32Form.h"
#include "Win32FormFactory.h"
#include "Win32GameFolderMemory.h"
#include "frmMain.h"

namespace {
// A windows program has no console of its own: the usage and the version go to the
// standard output it was given (a pipe, a file), else to the console it was started
// from.
void OpenStandardOutput() {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) &&
        ::AttachConsole(ATTACH_PARENT_PROCESS))
        std::freopen("CONOUT$", "w", stdout);
}
}  // namespace

int main(int argc, char** argv) {
    switch (InfoRequestOf(argc, argv)) {
        case InfoRequest::Usage:
            OpenStandardOutput();
            std::cout << frmMain::Usage() << std::flush;
            return 0;
        case InfoRequest::Version:
            OpenStandardOutput();
            std::cout << "quillon " << ProgramIdentity::Version << std::endl;
            return 0;
        case InfoRequest::None:
            break;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    Win32DialogService dialogs;
    SetDialogService(&dialogs);
    Win32FormFactory factory;
    Win32FileDialog fileDialog;
    NativeLauncher launcher;
    Win32GameFolderMemory rememberedGame;
    int status = 0;
    try {
        frmMain main(factory, fileDialog, launcher, ProcessCommandLine(argc, argv),
                     &rememberedGame);
        auto& window = dynamic_cast<Win32Form&>(main.Window());
        main.Load();
        if (!main.Ended()) {
            // Closed from the title bar, or ended by the logic (its "Exit"): either way
            // the main window's close runs once and the program ends.
            window.Closed = [&main] {
                Win32Events::Raise([&main] {
                    if (!main.Ended())
                        main.Close();
                });
                ::PostQuitMessage(0);
            };
            window.Show();
            status = Win32Form::RunMessageLoop();
            window.Closed = nullptr;
        }
    } catch (...) {
        EventGuard::ShowFatalError(std::current_exception());
        status = 1;
    }
    SetDialogService(nullptr);
    return status;
}
