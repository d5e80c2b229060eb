// quillon.exe: the desktop program on Windows.
// The system header first: the controls' and dialogs' headers need it.
#include "Win32Support.h"

#include <commctrl.h>

#include <exception>

#include "CommandLine.h"
#include "NativeLauncher.h"
#include "ProgramIdentity.h"
#include "QuillonError.h"
#include "Win32Dialogs.h"
#include "Win32Events.h"
#include "Win32Form.h"
#include "Win32FormFactory.h"
#include "frmMain.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    Win32DialogService dialogs;
    SetDialogService(&dialogs);
    Win32FormFactory factory;
    Win32FileDialog fileDialog;
    NativeLauncher launcher;
    int status = 0;
    try {
        frmMain main(factory, fileDialog, launcher, ProcessCommandLine(argc, argv));
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
    } catch (const QuillonError& error) {
        Win32Events::ShowFatalError(error.Number, error.Source, error.Description);
        status = 1;
    } catch (const std::exception& error) {
        Win32Events::ShowFatalError(0, ProgramIdentity::Title, error.what());
        status = 1;
    }
    SetDialogService(nullptr);
    return status;
}
